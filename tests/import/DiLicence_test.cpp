#include "support/TestSupport.h"

#include "import/DiLicence.h"
#include "runtime/Errors.h"

#include <gtest/gtest.h>

using namespace b2d;
using namespace Qt::StringLiterals;
using b2d::test::TestRun;

namespace {

const QString kInternos = u"INTERNOS"_s;
const QString kHistorial = u"HISTORIAL"_s;

// The remembered reference codes of the declaration being generated.
void remember(TestRun &t, const QString &processRC, const QString &brokerRC)
{
    t.rt.Despacho = u"19001IC04000123A"_s;
    t.data.onContains(kHistorial, u"Select xml_ProcessRC"_s, rows({u"xml_ProcessRC"_s}, {{processRC}}));
    t.data.onContains(kHistorial, u"Select IDENTIFICADOR_PROPIO"_s,
                      rows({u"IDENTIFICADOR_PROPIO"_s}, {{brokerRC}}));
}

Recordset itemRow(const QVariant &item, const QVariant &cantidad, const QVariant &fobDiv)
{
    return Recordset(rows({u"NRO_ITEM"_s, u"CANTIDAD_DECLARADA"_s, u"MONTO_FOB_DIV"_s},
                          {{item, cantidad, fobDiv}}));
}

Recordset subitemRow(const QString &nro, const QVariant &cantidad, const QVariant &fob)
{
    return Recordset(rows({u"NRO_SUBITEM"_s, u"CANTIDAD_DECLARADA"_s, u"MONTO_FOB"_s},
                          {{nro, cantidad, fob}}));
}

ResultSet grouped(const QList<QVariantList> &values)
{
    return rows({u"INTERNO"_s, u"ID"_s, u"NROSUBITEM"_s, u"CANTIDAD"_s, u"FOB"_s}, values);
}

QString articlesOf(const QString &subitem)
{
    return u"SELECT Idarticulo , otros, cantidad, CodArtAlternativo, idext, factura_nro, descripcion , "
           u"NROSUBITEM From SUBITEMS WHERE Interno = 'I''1' And NroITEM = '0003' And NroSUBITEM = '"_s
        + subitem + u"' Order by OTROS "_s;
}

}  // namespace

TEST(GetProcessReferenceCodeDI, SendsItsStatementAndTakesTheFirstMatch)
{
    struct Case {
        const char *name;
        QList<QVariantList> matches;  // ITR2 of each matching DI line
        QString result;
        QString warning;
    };
    const Case cases[] = {
        {"one match", {{u"DI-ITR-1"_s}}, u"DI-ITR-1"_s, {}},
        {"two matches warn", {{u"DI-ITR-1"_s}, {u"DI-ITR-9"_s}}, u"DI-ITR-1"_s,
         u"Error: ITRValue LIC'7 devolvio 2 registros."_s},
        {"a NULL code", {{QVariant()}}, QString(), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestRun t;
        remember(t, u"P'RC"_s, u"B'RC"_s);
        t.data.onContains(kInternos, u"FROM ART A ,ART B"_s, rows({u"ITR2"_s}, c.matches));
        EXPECT_EQ(Get_ProcessReferenceCode_DI(t.rt, u"LIC'7"_s), c.result);
        EXPECT_EQ(t.data.statements(kInternos),
                  QStringList{u"SELECT a.artNRO ,a.ART_ITS, a.itemReferenceCOde as ITR2, a.artCAN "
                              u",b.itemreferencecode as ITR1 FROM ART A ,ART B WHERE a.INTNRO = 'P''RC'"
                              u" and (a.artNro = b.artNro or a.ART_ITS = b.artnro) and a.artcan = "
                              u"b.artcan and b.INTNRO = 'B''RC' and b.itemreferencecode =  'LIC''7' and "
                              u"a.dvn_orderitemitemnumber = b.dvn_orderitemitemnumber and "
                              u"a.dvn_orderitemordernumber =  b.dvn_orderitemordernumber"_s});
        if (c.warning.isEmpty()) {
            EXPECT_TRUE(t.boxes.shown().isEmpty());
        } else {
            ASSERT_EQ(t.boxes.messages().size(), 1);
            EXPECT_EQ(t.boxes.messages()[0].text, c.warning);
            EXPECT_EQ(t.boxes.messages()[0].icon, BoxIcon::None);
            EXPECT_EQ(t.boxes.messages()[0].title, QString());
        }
        const QString log = t.logText();
        EXPECT_TRUE(log.contains(u"entro Get_ProcessReferenceCode_DI  ITRValue: LIC'7"_s));
        EXPECT_TRUE(log.contains(u"devolver de Get_ProcessReferenceCode_DI  el valor: "_s + c.result));
    }
}

TEST(GetProcessReferenceCodeDI, NoEquivalentEndsTheProgram)
{
    TestRun t;
    remember(t, u"DI-0415"_s, u"26-0415"_s);
    EXPECT_THROW(Get_ProcessReferenceCode_DI(t.rt, u"LIC-ITR-7001"_s), ProgramEnd);
    const QString sentence =
        u"No se encontro equivalente al ITRC [LIC-ITR-7001] de la DJAI [26-0415] en la DI.[DI-0415]"_s;
    ASSERT_EQ(t.boxes.messages().size(), 1);
    EXPECT_EQ(t.boxes.messages()[0].text,
              sentence + u"\r\nNo se puede generar el archivo de retorno\r\n"
                         u"Verifique que en Velmora este cargado la DJAI 26-0415"_s);
    EXPECT_EQ(t.boxes.messages()[0].icon, BoxIcon::Critical);
    EXPECT_EQ(t.boxes.messages()[0].title, QString());
    const QString log = t.logText();
    EXPECT_LT(log.indexOf(sentence), log.indexOf(u"Finalizar Programa"_s));
}

TEST(GetSubitemsQueryByGroup, FindsTheGroupedSubitemByNumberQuantityOrFob)
{
    const QString byNumber = u"Select * From GroupSubitems Where INTERNO = 'I''1' And ID = 3 And "_s;
    struct Case {
        const char *name;
        Recordset subitem;
        QVariant itemQuantity, itemFob;
        ResultSet groupedByNumber, byQuantity, byFob;
        QStringList statements;  // after the lookup by number
        QString chosen;          // empty: no query
        QString message;
    };
    const Case cases[] = {
        {"number, quantity and FOB agree", subitemRow(u"0002"_s, 4, 800), 10, 1000,
         grouped({{u"I'1"_s, 3, u"0002"_s, 4, 800}}), {}, {}, {}, u"0002"_s, {}},
        {"official 0002 grouped under 0003", subitemRow(u"0002"_s, 4, 800), 10, 1000,
         grouped({{u"I'1"_s, 3, u"0002"_s, 6, 1200}}), grouped({{u"I'1"_s, 3, u"0003"_s, 4, 800}}), {},
         {byNumber + u"CANTIDAD = 4"_s}, u"0003"_s, {}},
        {"same quantity, other FOB", subitemRow(u"0002"_s, 4, 800), 10, 1000,
         grouped({{u"I'1"_s, 3, u"0002"_s, 4, 790}}), grouped({{u"I'1"_s, 3, u"0001"_s, 4, 800}}), {},
         {byNumber + u"CANTIDAD = 4"_s}, u"0001"_s, {}},
        {"several of that quantity, the FOB decides", subitemRow(u"0002"_s, 2.5, 812.25), 10, 1000,
         grouped({{u"I'1"_s, 3, u"0002"_s, 3, 1}}),
         grouped({{u"I'1"_s, 3, u"0001"_s, 2.5, 100}, {u"I'1"_s, 3, u"0004"_s, 2.5, 812.25}}),
         grouped({{u"I'1"_s, 3, u"0004"_s, 2.5, 812.25}}),
         {byNumber + u"CANTIDAD = 2.5"_s, byNumber + u"CANTIDAD = 2.5 AND FOB = 812.25"_s}, u"0004"_s, {}},
        {"no grouped row of that number", subitemRow(u"0002"_s, 4, 800), 10, 1000, {}, {}, {}, {}, {}, {}},
        {"two grouped rows of that number", subitemRow(u"0002"_s, 4, 800), 10, 1000,
         grouped({{u"I'1"_s, 3, u"0002"_s, 4, 800}, {u"I'1"_s, 3, u"0002"_s, 4, 800}}), {}, {}, {}, {}, {}},
        {"no grouped row of that quantity", subitemRow(u"0002"_s, 4, 800), 10, 1000,
         grouped({{u"I'1"_s, 3, u"0002"_s, 5, 800}}), {}, {}, {byNumber + u"CANTIDAD = 4"_s}, {},
         u"No hay subitems coincidentes para el ITEM 0003entre el CALDRA y el SIM , en el "
         u"SUBITEM0002[L1: CANTIDAD_DECLARADA]"_s},
        {"several of that quantity, none of that FOB", subitemRow(u"0002"_s, 4, 800), 10, 1000,
         grouped({{u"I'1"_s, 3, u"0002"_s, 5, 800}}),
         grouped({{u"I'1"_s, 3, u"0001"_s, 4, 1}, {u"I'1"_s, 3, u"0003"_s, 4, 2}}), {},
         {byNumber + u"CANTIDAD = 4"_s, byNumber + u"CANTIDAD = 4 AND FOB = 800"_s}, {},
         u"No hay subitems coincidentes para el ITEM 0003entre el CALDRA y el SIM , en el "
         u"SUBITEM0002[L2: MONTO_FOB]"_s},
        {"several of that quantity and FOB", subitemRow(u"0002"_s, 4, 800), 10, 1000,
         grouped({{u"I'1"_s, 3, u"0002"_s, 5, 800}}),
         grouped({{u"I'1"_s, 3, u"0001"_s, 4, 800}, {u"I'1"_s, 3, u"0003"_s, 4, 800}}),
         grouped({{u"I'1"_s, 3, u"0001"_s, 4, 800}, {u"I'1"_s, 3, u"0003"_s, 4, 800}}),
         {byNumber + u"CANTIDAD = 4"_s, byNumber + u"CANTIDAD = 4 AND FOB = 800"_s}, {}, {}},
        {"item without subitems compares the item's figures", subitemRow(u"0000"_s, QVariant(), 5), 10,
         1000, grouped({{u"I'1"_s, 3, u"0000"_s, 10, 1000}}), {}, {}, {}, u"0000"_s, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestRun t;
        const Recordset item = itemRow(u"0003"_s, c.itemQuantity, c.itemFob);
        const QString number = c.subitem.field(u"NRO_SUBITEM"_s).toString();
        t.data.onExact(kInternos, byNumber + u"NROSUBITEM = '"_s + number + u"'"_s, c.groupedByNumber);
        t.data.onContains(kInternos, u"CANTIDAD = "_s, c.byQuantity);
        t.data.onContains(kInternos, u" AND FOB = "_s, c.byFob);

        const QString sql = GetSubitemsQueryByGroup(t.rt, item, c.subitem, u"I'1"_s);

        EXPECT_EQ(sql, c.chosen.isEmpty() ? QString() : articlesOf(c.chosen));
        EXPECT_EQ(t.data.statements(kInternos),
                  QStringList{byNumber + u"NROSUBITEM = '"_s + number + u"'"_s} + c.statements);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(t.boxes.shown().isEmpty());
        } else {
            ASSERT_EQ(t.boxes.messages().size(), 1);
            EXPECT_EQ(t.boxes.messages()[0].text, c.message);
            EXPECT_EQ(t.boxes.messages()[0].icon, BoxIcon::None);
            EXPECT_EQ(t.boxes.messages()[0].title, QString());
        }
    }
}

TEST(GetSubitemsQueryByGroup, AnItemNumberBeyondSixteenBitsIsRaised)
{
    TestRun t;
    const Recordset subitem = subitemRow(u"0001"_s, 1, 1);
    try {
        GetSubitemsQueryByGroup(t.rt, itemRow(u"40000"_s, 1, 1), subitem, u"I1"_s);
        ADD_FAILURE() << "no error raised";
    } catch (const B2DError &e) {
        EXPECT_EQ(e.number(), 6);
    }
    EXPECT_TRUE(t.data.statements().isEmpty());
    EXPECT_TRUE(t.boxes.shown().isEmpty());
}

TEST(ExisteCancelaItemCompleto, AskesForALineCancellingTheWholeItem)
{
    for (const bool found : {false, true}) {
        TestRun t;
        t.data.onContains(kInternos, u"subitem_cancela"_s,
                          rows({u"subitem_cancela"_s}, found ? QList<QVariantList>{{u"0000"_s}}
                                                             : QList<QVariantList>{}));
        EXPECT_EQ(ExisteCancelaItemCompleto(t.rt, u"0'1"_s, u"DI-1"_s), found);
        EXPECT_EQ(t.data.statements(kInternos),
                  QStringList{u"Select subitem_cancela from ART where INTNRO = 'DI-1' AND "
                              u"ITEM_CANCELA = '0''1' AND SUBITEM_CANCELA ='0000'"_s});
    }
}
