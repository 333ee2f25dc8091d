#include "support/TestSupport.h"

#include "export/ExportEntities.h"
#include "runtime/Errors.h"

#include <gtest/gtest.h>

using namespace b2d;
using namespace Qt::StringLiterals;
using b2d::test::TestRun;

namespace {
const QString kInternos = u"INTERNOS"_s;
const QStringList kColumns = {u"entityType"_s,   u"entityReferenceCode"_s, u"entityName"_s,
                              u"entityCountry"_s, u"entityAddress"_s,       u"entityCity"_s,
                              u"entityState"_s,  u"entityPostalCode"_s,    u"entityPhone"_s,
                              u"RequestEntityID"_s};
}  // namespace

TEST(ExportEntities, BuildsThePartyQueryAndElementOfTheCall)
{
    const QString head = u"SELECT DISTINCT entityType,entityReferenceCode,entityName,entityCountry,"
                         u"entityAddress,entityCity,entityState,entityPostalCode,entityPhone,"
                         u"RequestEntityID FROM requestentitydvn WHERE INTNRO = 'E''77' "_s;
    struct Case {
        int item;
        QString invoice, prepared, sql, element;
    };
    const Case cases[] = {
        {0, u"F1"_s, {}, head + u" AND ITEMARTID = 0  AND INVOICENUMBER = 'F1'  ORDER BY RequestEntityID ASC"_s,
         u"declarationEntity"_s},
        {2, {}, u"SELECT * FROM requestentitydvn"_s, u"SELECT * FROM requestentitydvn"_s,
         u"declarationItemEntity"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sql.toStdString());
        TestRun t;
        t.data.onContains(kInternos, u"requestentitydvn"_s,
                          rows(kColumns, {{u"EXPORTER"_s, {}, {}, {}, {}, {}, {}, {}, {}, 1}}));
        const QString xml = GetEXPOTAG_declarationEntity(t.rt, u"E'77"_s, c.item, c.invoice, c.prepared);
        EXPECT_EQ(t.data.statements(kInternos), QStringList{c.sql});
        EXPECT_TRUE(xml.startsWith(u'<' + c.element + u"><entityType>EXPORTER</entityType>"_s));
        EXPECT_TRUE(xml.endsWith(u"</"_s + c.element + u'>'));
    }
}

TEST(ExportEntities, WritesPartiesInRowOrderEscapedOnce)
{
    TestRun t;
    t.data.onContains(kInternos, u"requestentitydvn"_s,
                      rows(kColumns, {{u"EXPORTER"_s, u"30-7"_s, u"A & B S.A."_s, u"AR"_s,
                                       u"Av. Roca 12, 3<sup>"_s, u"Rosario"_s, u"SF"_s, u"2000"_s,
                                       QVariant(), 3},
                                      {u"BUYER"_s, u"B1"_s, u"Kuhn"_s, u"DE"_s, u"Hof 1"_s,
                                       u"Köln"_s, QString(), u"50667"_s, u"49"_s, 8}}));
    EXPECT_EQ(GetEXPOTAG_declarationEntity(t.rt, u"E77"_s, 0, {}, {}),
              u"<declarationEntity><entityType>EXPORTER</entityType>"
              u"<entityReferenceCode>30-7</entityReferenceCode>"
              u"<entityName>A &amp; B S.A.</entityName><entityCountry>AR</entityCountry>"
              u"<entityAddress>Av. Roca 12, 3&lt;sup&gt;</entityAddress>"
              u"<entityCity>Rosario</entityCity><entityState>SF</entityState>"
              u"<entityPostalCode>2000</entityPostalCode><entityPhone></entityPhone>"
              u"</declarationEntity><declarationEntity><entityType>BUYER</entityType>"
              u"<entityReferenceCode>B1</entityReferenceCode><entityName>Kuhn</entityName>"
              u"<entityCountry>DE</entityCountry><entityAddress>Hof 1</entityAddress>"
              u"<entityCity>Köln</entityCity><entityState></entityState>"
              u"<entityPostalCode>50667</entityPostalCode><entityPhone>49</entityPhone>"
              u"</declarationEntity>"_s);
}

TEST(ExportEntities, NoRowsGivesNothingAndFailuresPassUnchanged)
{
    TestRun t;
    EXPECT_EQ(GetEXPOTAG_declarationEntity(t.rt, u"E77"_s, 0, {}, {}), QString());

    t.data.onContains(kInternos, u"requestentitydvn"_s, rows({u"entityType"_s}, {{u"EXPORTER"_s}}));
    try {
        GetEXPOTAG_declarationEntity(t.rt, u"E77"_s, 0, {}, {});
        ADD_FAILURE() << "no error raised";
    } catch (const B2DError &e) {
        EXPECT_EQ(e.source(), u"ADODB.Recordset"_s);
    }
    EXPECT_TRUE(t.boxes.shown().isEmpty());
}
