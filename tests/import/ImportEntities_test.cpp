#include "support/TestSupport.h"

#include "import/DiLicence.h"
#include "import/ImportEntities.h"
#include "runtime/Errors.h"

#include <gtest/gtest.h>

using namespace b2d;
using namespace Qt::StringLiterals;
using b2d::test::TestRun;

namespace {

const QString kInternos = u"INTERNOS"_s;
const QString kSelect = u"SELECT DISTINCT entityType,entityReferenceCode,entityName,entityCountry,"
                        u"entityAddress,entityCity,entityState,entityPostalCode,entityPhone,"
                        u"RequestEntityID"_s;
const QStringList kColumns = kSelect.mid(16).split(u',');

ResultSet party(const QString &name)
{
    return rows(kColumns, {{u"IMPORTER"_s, u"30-1"_s, name, u"AR"_s, u"Calle 1"_s, u"CABA"_s,
                            u"BA"_s, u"1000"_s, u"555"_s, 1}});
}

}  // namespace

TEST(ImportEntities, BuildsThePartyQueryAndElementOfTheCall)
{
    struct Case {
        QString interno;
        int item;
        QString invoice;
        QString filters;
        QString element;
    };
    const Case cases[] = {
        {u"12345"_s, 0, {}, u" WHERE INTNRO = '12345'  AND ITEMARTID = 0 "_s, u"declarationEntity"_s},
        {u"12345"_s, 3, u"A-1"_s,
         u" WHERE INTNRO = '12345'  AND ITEMARTID = 3  AND INVOICENUMBER = 'A-1' "_s,
         u"declarationItemEntity"_s},
        {u"O'B"_s, 0, u"F'1"_s, u" WHERE INTNRO = 'O''B'  AND ITEMARTID = 0  AND INVOICENUMBER = 'F''1' "_s,
         u"declarationEntity"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.filters.toStdString());
        TestRun t;
        t.data.onContains(kInternos, u"requestentitydvn"_s, party(u"X"_s));
        const QString xml = GetIMPOTAG_declarationEntity(t.rt, c.interno, c.item, c.invoice, {});
        EXPECT_EQ(t.data.statements(kInternos),
                  QStringList{kSelect + u" FROM requestentitydvn"_s + c.filters
                              + u" ORDER BY RequestEntityID ASC"_s});
        EXPECT_TRUE(xml.startsWith(u'<' + c.element + u"><entityType>"_s));
        EXPECT_TRUE(xml.endsWith(u"</"_s + c.element + u'>'));
    }
}

TEST(ImportEntities, WritesEveryColumnEscapedOnce)
{
    TestRun t;
    t.data.onContains(kInternos, u"requestentitydvn"_s,
                      rows(kColumns, {{u"IMPORTER"_s, u"30-1"_s, u"A & B"_s, u"AR"_s,
                                       u"Ruta 8 <km 3>, Pilar"_s, QVariant(), u"BA"_s, u"1629"_s,
                                       QVariant(), 4}}));
    EXPECT_EQ(GetIMPOTAG_declarationEntity(t.rt, u"12345"_s, 0, {}, {}),
              u"<declarationEntity><entityType>IMPORTER</entityType>"
              u"<entityReferenceCode>30-1</entityReferenceCode><entityName>A &amp; B</entityName>"
              u"<entityCountry>AR</entityCountry>"
              u"<entityAddress>Ruta 8 &lt;km 3&gt;, Pilar</entityAddress><entityCity></entityCity>"
              u"<entityState>BA</entityState><entityPostalCode>1629</entityPostalCode>"
              u"<entityPhone></entityPhone></declarationEntity>"_s);
}

TEST(ImportEntities, NoRowsGivesNothingAndAMissingColumnIsRaisedAgain)
{
    TestRun t;
    EXPECT_EQ(GetIMPOTAG_declarationEntity(t.rt, u"12345"_s, 0, {}, {}), QString());

    t.data.onContains(kInternos, u"requestentitydvn"_s,
                      rows({u"entityType"_s}, {{u"IMPORTER"_s}}));
    try {
        GetIMPOTAG_declarationEntity(t.rt, u"12345"_s, 0, {}, {});
        ADD_FAILURE() << "no error raised";
    } catch (const B2DError &e) {
        EXPECT_EQ(e.number(), ErrNo::Product);
        EXPECT_TRUE(e.source().startsWith(u"GetIMPOTAG_declarationEntity linea "_s));
        EXPECT_TRUE(e.source().endsWith(u"::ADODB.Recordset"_s));
    }
    EXPECT_TRUE(t.boxes.shown().isEmpty());
}

TEST(ImportEntities, QueryForSeveralArticleLines)
{
    const QString head = kSelect + u" FROM requestentitydvn WHERE INTNRO = '12345'"_s;
    const QString tail = u" order by RequestEntityID ASC"_s;
    struct Case {
        QStringList articles;
        QString expected;  // empty: no query
        QString box;       // the error box's first line; empty: no box
    };
    const Case cases[] = {
        {{QString()}, {}, {}},
        {{{}, u"12|||F1"_s, u"  "_s, u"13|||F1"_s},
         head + u" AND ((ITEMARTID=12 AND INVOICENUMBER ='F1') OR (ITEMARTID=13 AND "
                u"INVOICENUMBER ='F1'))"_s + tail,
         {}},
        {{{}, u"007|||O'K"_s}, head + u" AND ((ITEMARTID=7 AND INVOICENUMBER ='O''K'))"_s + tail,
         {}},
        {{{}, u"12"_s}, {}, u"Error 9 (Subscript out of range)"_s},
        {{{}, u"x|||F1"_s}, {}, u"Error 13 (Type mismatch)"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.articles.join(u';').toStdString());
        TestRun t;
        EXPECT_EQ(EntityQueryByITEM(t.rt, u"12345"_s, c.articles), c.expected);
        EXPECT_EQ(t.logText().contains(u"EntityQueryByItem :"_s + c.expected), !c.expected.isEmpty());
        ASSERT_EQ(t.boxes.messages().size(), c.box.isEmpty() ? 0 : 1);
        if (!c.box.isEmpty()) {
            // The bare description in the box; the entry at fault in the run log.
            EXPECT_TRUE(t.boxes.messages()[0].text.startsWith(
                c.box + u"\nin procedure EntityQueryByITEM of Módulo Mod_Main"_s))
                << t.boxes.messages()[0].text.toStdString();
            EXPECT_TRUE(t.logText().contains(u'"' + c.articles.last().section(u"|||"_s, 0, 0) + u'"'));
        }
    }
}

TEST(ImportEntities, PreparedQueryRunsUnchangedAndKeepsTheElementOfItemZero)
{
    TestRun t;
    const QString sql = EntityQueryByITEM(t.rt, u"12345"_s, {{}, u"3|||A-1"_s, u"5|||A-1"_s});
    t.data.onExact(kInternos, sql, party(u"Multi"_s));
    const QString xml = GetIMPOTAG_declarationEntity(t.rt, u"12345"_s, 0, {}, sql);
    EXPECT_EQ(t.data.statements(kInternos), QStringList{sql});
    EXPECT_TRUE(xml.startsWith(u"<declarationEntity><entityType>IMPORTER</entityType>"
                               u"<entityReferenceCode>30-1</entityReferenceCode>"
                               u"<entityName>Multi</entityName>"_s));
}

TEST(ImportEntities, RequiredDiChoosesTheInterno)
{
    struct Case {
        const char *name;
        QList<QVariantList> artRows;  // DECLARACION_CANCELA per article line of the DI
        bool inCaldra;
        QStringList logLines;
        QString party;  // whose parties are written; empty: none, generation cancelled
    };
    const Case cases[] = {
        {"DI cancels a licence", {{u"DJAI1"_s}, {QString()}}, false,
         {u"existeDI Tiene InfoDJAI"_s}, u"Process party"_s},
        {"only a later line cancels", {{QVariant()}, {u"DJAI1"_s}}, false,
         {u"existeDI NO Tiene InfoDJAI"_s}, u"Process party"_s},
        {"no DI, process interno loaded", {}, true,
         {u"NO existeDI"_s, u"NoExisteInternoEnCaldra"_s}, u"Broker party"_s},
        {"no DI, process interno missing", {}, false, {u"NO existeDI"_s}, {}},
    };
    // The choice runs on every call; a prepared query (the broker interno's parties of several
    // article lines) is run unchanged once the choice lets the generation go on.
    const QString prepared = kSelect + u" FROM requestentitydvn WHERE INTNRO = 'BRC1' AND ((ITEMARTID=3 AND "
                                       u"INVOICENUMBER ='A-1')) order by RequestEntityID ASC"_s;
    for (const Case &c : cases) {
        for (const bool withQuery : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (withQuery ? ", prepared query" : ""));
            TestRun t;
            t.rt.cfg.REQDIIMPO = true;
            t.rt.Despacho = u"19001IC04000123X"_s;
            t.data.onContains(u"HISTORIAL"_s, u"xml_ProcessRC"_s,
                              rows({u"xml_ProcessRC"_s}, {{u"PRC77"_s}}));
            t.data.onContains(kInternos, u"requestentitydvn WHERE INTNRO = 'PRC77'"_s,
                              party(u"Process party"_s));
            t.data.onContains(kInternos, u"requestentitydvn WHERE INTNRO = 'BRC1'"_s,
                              party(u"Broker party"_s));
            t.data.onContains(kInternos, u"FROM ART WHERE INTNRO = 'PRC77'"_s,
                              rows({u"DECLARACION_CANCELA"_s}, c.artRows));
            if (c.inCaldra)
                t.data.onContains(kInternos, u"from Caratula where Interno = 'PRC77'"_s,
                                  rows({u"Interno"_s}, {{u"PRC77"_s}}));

            const QString xml =
                GetIMPOTAG_declarationEntity(t.rt, u"BRC1"_s, 0, {}, withQuery ? prepared : QString());

            const QString log = t.logText();
            for (const char *known : {"existeDI Tiene InfoDJAI", "existeDI NO Tiene InfoDJAI",
                                      "NO existeDI", "NoExisteInternoEnCaldra"})
                EXPECT_EQ(log.contains(QLatin1String(known)), c.logLines.contains(QLatin1String(known)))
                    << known;
            if (c.logLines.size() == 2) {
                EXPECT_LT(log.indexOf(c.logLines[0]), log.indexOf(c.logLines[1]));
            }
            EXPECT_EQ(t.rt.generacionCancelada, c.party.isEmpty());
            if (!c.party.isEmpty()) {
                EXPECT_TRUE(xml.contains(u"<entityName>"_s + (withQuery ? u"Broker party"_s : c.party)));
                EXPECT_TRUE(t.boxes.shown().isEmpty());
                continue;
            }
            EXPECT_EQ(xml, QString());
            EXPECT_FALSE(t.data.statements(kInternos).join(u'\n').contains(u"requestentitydvn"_s));
            ASSERT_EQ(t.boxes.messages().size(), 1);
            const auto box = t.boxes.messages()[0];
            EXPECT_EQ(box.text,
                      u"Interno PRC77 no encontrado en el Velmora (Paso 1).\r\nLa operación finalizará. "
                      u"\r\n\r\nGenere dicho interno incorporando en el Paso 1 , el archivo \"DI\" "
                      u"asociado a la \"IC\" ,\r\nposteriormente vuelva a generar el XML de la DI. \r\n"_s);
            EXPECT_EQ(box.title, u"Requerimientos de generacion del DI incompleto."_s);
            EXPECT_EQ(box.icon, BoxIcon::Warning);
        }
    }
}

TEST(ExisteDI, LooksOnlyAtTheFirstArticleLine)
{
    struct Case {
        const char *name;
        QList<QVariantList> artRows;
        bool flagBefore, exists, flagAfter;
    };
    const Case cases[] = {
        {"no article lines", {}, false, false, false},
        {"first line cancels", {{u"DJAI1"_s}}, false, true, true},
        {"only a later line cancels", {{QString()}, {u"DJAI1"_s}}, false, true, false},
        {"flag is never cleared", {{QVariant()}}, true, true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestRun t;
        t.data.onContains(kInternos, u"FROM ART"_s, rows({u"DECLARACION_CANCELA"_s}, c.artRows));
        bool flag = c.flagBefore;
        EXPECT_EQ(ExisteDI(t.rt, u"O'B"_s, flag), c.exists);
        EXPECT_EQ(flag, c.flagAfter);
        EXPECT_EQ(t.data.statements(kInternos),
                  QStringList{u"SELECT * FROM ART WHERE INTNRO = 'O''B'"_s});
    }
}

TEST(ExisteDI, AFailureShowsItsBoxAndKeepsWhatWasFound)
{
    TestRun t;
    t.data.onContains(kInternos, u"FROM ART"_s, rows({u"artNRO"_s}, {{u"1"_s}}));
    bool flag = false;
    EXPECT_TRUE(ExisteDI(t.rt, u"PRC77"_s, flag));
    EXPECT_FALSE(flag);
    ASSERT_EQ(t.boxes.messages().size(), 1);
    EXPECT_TRUE(t.boxes.messages()[0].text.contains(u"in procedure ExisteDI of Módulo Mod_IMPO"_s));
}
