#include "support/TestSupport.h"

#include "declaration/Builders.h"
#include "declaration/SubitemLookups.h"
#include "runtime/Errors.h"
#include "values/Values.h"

#include <gtest/gtest.h>

using namespace b2d;
using namespace Qt::StringLiterals;
using b2d::test::TestRun;

namespace {

const QString H = u"HISTORIAL"_s;
const QString I = u"INTERNOS"_s;
const QString N = u"NCM"_s;
const QStringList kDescColumns = {u"desc1"_s, u"desc2"_s, u"desc3"_s, u"desc4"_s};

QString ncmStatement(const QString &p001, const QString &p002, const QString &p003)
{
    return u"select [004] as desc1 ,[005] as desc2,[006] as desc3 ,[010] as desc4 from ncm where  [001] = '"_s
        + p001 + u"' and [002] = '"_s + p002 + u"'  and [003] = '"_s + p003 + u"'"_s;
}

}  // namespace

// The position is looked up by its ten first characters, its three-character suffix and its
// check character; the parts come back trimmed and joined by blanks, carriage returns as blanks.
TEST(SubitemLookups, TariffDescriptionPieces)
{
    struct Case {
        QString posicion;
        QString statement;
        QVariantList parts;
        QString expected;
    };
    const QString longPart(2500, u'X');
    const QList<Case> cases = {
        {u"8471.30.12.100A"_s, ncmStatement(u"8471.30.12"_s, u"100"_s, u"A"_s),
         {u" MAQUINAS "_s, u"PORTATILES"_s, QVariant(), u"LAS DEMAS "_s}, u"MAQUINAS PORTATILES  LAS DEMAS"_s},
        {u"8471,30,12,100A"_s, ncmStatement(u"8471.30.12"_s, u"100"_s, u"A"_s),
         {u"A"_s, u"B"_s, u"C"_s, u"D"_s}, u"A B C D"_s},
        // A carriage return becomes a blank; a line feed stays.
        {u"2204.21.00.100C"_s, ncmStatement(u"2204.21.00"_s, u"100"_s, u"C"_s),
         {u"VINO\r\nDE UVAS\rFRESCAS"_s, u""_s, u""_s, u""_s}, u"VINO \nDE UVAS FRESCAS   "_s},
        {u"1'09.20.00.000K"_s, ncmStatement(u"1''09.20.00"_s, u"000"_s, u"K"_s),
         {u"X"_s, u""_s, u""_s, u""_s}, u"X   "_s},
        {u"8471.30.12.100A"_s, ncmStatement(u"8471.30.12"_s, u"100"_s, u"A"_s),
         {longPart, longPart, u"Y"_s, u"Z"_s}, QString(longPart + u' ' + longPart).left(4000)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.posicion.toStdString());
        TestRun t;
        t.data.onContains(N, u"from ncm"_s, rows(kDescColumns, {c.parts}));
        const QString got = GetNCMDescripcion(t.rt, c.posicion);
        EXPECT_EQ(got, c.expected);
        EXPECT_LE(got.size(), 4000);
        EXPECT_EQ(t.data.statements(N), QStringList{c.statement});
    }

    TestRun t;
    EXPECT_EQ(GetNCMDescripcion(t.rt, u"9999.99.99.999Z"_s), QString());

    // A failure is passed on with the lookup's own number and text.
    t.data.onContains(N, u"from ncm"_s, rows({u"desc1"_s}, {{u"X"_s}}));
    try {
        GetNCMDescripcion(t.rt, u"8471.30.12.100A"_s);
        ADD_FAILURE() << "no failure raised";
    } catch (const B2DError &e) {
        EXPECT_EQ(e.number(), -2146102393);
        EXPECT_EQ(e.source(), u"[ getNCMDescripcion.clMain.getProcductInfo Linea 30 ]"_s);
    }
    EXPECT_TRUE(t.boxes.shown().isEmpty());
}

// The articles of a subitem: both numbers written with four digits, in the caller's variables
// too.
TEST(SubitemLookups, ArticlesOfASubitemUseFourDigitNumbers)
{
    struct Case {
        QString item, subitem;
        QString item4, subitem4;
    };
    const QList<Case> cases = {
        {u"3"_s, u"12"_s, u"0003"_s, u"0012"_s},
        {u"0001"_s, u"7"_s, u"0001"_s, u"0007"_s},
        {u"12345"_s, u"0"_s, u"12345"_s, u"0000"_s},
        {u"A1"_s, u"0002"_s, u"A1"_s, u"0002"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.item.toStdString());
        TestRun t;
        t.data.onContains(I, u"From Subitems"_s,
                          rows({u"IdArticulo"_s}, {{u"A"_s}, {u"B"_s}, {u"C"_s}}));
        QString item = c.item;
        QString subitem = c.subitem;
        Recordset articles;
        EXPECT_TRUE(GetSubitemsByItem(t.rt, item, subitem, u"19/0'420"_s, articles));
        EXPECT_EQ(item, c.item4);
        EXPECT_EQ(subitem, c.subitem4);
        EXPECT_EQ(articles.RecordCount(), 3);
        EXPECT_EQ(t.data.statements(I),
                  QStringList{u"Select IdArticulo,Descripcion,Cantidad,Otros,Factura_Nro, CodArtAlternativo "
                              u"From Subitems Where NROITEM = '"_s
                              + c.item4 + u"' and NROSUBITEM = '"_s + c.subitem4
                              + u"' and Interno = '19/0''420' order by NROSUBITEM"_s});
        EXPECT_TRUE(t.logText().contains(u"[GENERIC] - ITEM: "_s + c.item4 + u" SUBITEM: "_s + c.subitem4
                                         + u" agrupados 3 arts."_s));
    }
    TestRun t;
    QString item = u"1"_s, subitem = u"1"_s;
    Recordset none;
    EXPECT_FALSE(GetSubitemsByItem(t.rt, item, subitem, u"X"_s, none));
}

namespace {

struct ProductCall {
    QString itemNumber, currency, subitem, article;
    double cifBase, fob, unitNet, net, cif;
    bool grouped;
};

DeclarationBuilders recordingProducts(QList<ProductCall> &calls)
{
    DeclarationBuilders b;
    b.exportProductElement = [&calls](Runtime &, const Recordset &, const Recordset &articles,
                                      const Recordset &subitem, const QString &item, const QString &currency,
                                      double cifBase, double fob, double unitNet, double net, double cif,
                                      bool grouped) {
        calls << ProductCall{item, currency, EsNulo(subitem.field(u"NRO_SUBITEM"_s)),
                             EsNulo(articles.field(u"IdArticulo"_s)), cifBase, fob, unitNet, net, cif, grouped};
        return u"[%1]"_s.arg(EsNulo(articles.field(u"IdArticulo"_s)));
    };
    return b;
}

}  // namespace

// The export subitem walker: each subitem's net-weight share N (its dollar FOB over the item's
// FOB, seven decimals) and the unit net weight N over its declared quantity go to one product
// per article, grouped when the subitem has several articles.
TEST(SubitemLookups, ExportSubitemsSplitTheNetWeight)
{
    TestRun t;
    t.rt.Despacho = u"19001EC'0045B"_s;
    t.data.onContains(H, u"FROM ITEMS_SUBITEMS"_s,
                      rows({u"NRO_SUBITEM"_s, u"IDN_ITEM"_s, u"CANTIDAD_DECLARADA"_s, u"MONTO_FOB_DOL"_s},
                           {{u"0001"_s, 1, 1200, 11400}, {u"0002"_s, 1, 7, 100}}));
    t.data.onContains(I, u"NROSUBITEM = '0001'"_s, rows({u"IdArticulo"_s}, {{u"A"_s}, {u"B"_s}}));
    t.data.onContains(I, u"NROSUBITEM = '0002'"_s, rows({u"IdArticulo"_s}, {{u"C"_s}}));
    QList<ProductCall> calls;
    Recordset item(rows({u"NRO_ITEM"_s}, {{u"0001"_s}}));
    const QString xml = GetSubitemInfo_V2(t.rt, recordingProducts(calls), u"0001"_s, 16200, 17000, 2160,
                                          u"19/0420"_s, 1800, item, u"USD"_s, u"EUR"_s, u"DOL"_s);
    EXPECT_EQ(xml, u"[A][B][C]"_s);
    EXPECT_EQ(t.data.statements(H),
              QStringList{u"SELECT NRO_SUBITEM,IDN_ITEM,CANTIDAD_DECLARADA,PRECIO_UNITARIO,MONTO_FOB_DOL,"
                          u"SUFIJOS_DE_VALOR,MONTO_FOB,REFERENCIA FROM ITEMS_SUBITEMS WHERE IDN_DESPACHO = "
                          u"'19001EC''0045B' AND IDN_ITEM = 0001 order by nro_subitem"_s});
    EXPECT_TRUE(t.data.statements(I).at(0).contains(u"NROITEM = '0001' and NROSUBITEM = '0001' and "
                                                    u"Interno = '19/0420'"_s));
    ASSERT_EQ(calls.size(), 3);
    // N = 11400 x 2160 / 16200 = 1520; unit = 1520 / 1200 = 1.2666667.
    // N = 100 x 2160 / 16200 = 13.3333333; unit = 13.3333333 / 7 = 1.9047619.
    const struct {
        const char *subitem, *article;
        double fob, unitNet, net;
        bool grouped;
    } expected[] = {
        {"0001", "A", 11400, 1.2666667, 1520, true},
        {"0001", "B", 11400, 1.2666667, 1520, true},
        {"0002", "C", 100, 1.9047619, 13.3333333, false},
    };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(calls[i].itemNumber, u"0001"_s);
        EXPECT_EQ(calls[i].currency, u"DOL"_s);
        EXPECT_EQ(calls[i].subitem, QLatin1String(expected[i].subitem));
        EXPECT_EQ(calls[i].article, QLatin1String(expected[i].article));
        EXPECT_EQ(calls[i].cifBase, 16200);
        EXPECT_EQ(calls[i].cif, 17000);
        EXPECT_EQ(calls[i].fob, expected[i].fob);
        EXPECT_DOUBLE_EQ(calls[i].unitNet, expected[i].unitNet);
        EXPECT_DOUBLE_EQ(calls[i].net, expected[i].net);
        EXPECT_EQ(calls[i].grouped, expected[i].grouped);
    }
}

// A zero divisor (the item's FOB, a subitem's quantity, a subitem's net-weight share) is passed
// on, no box shown.
TEST(SubitemLookups, ExportSubitemFailuresArePassedOn)
{
    struct Case {
        double fobDiv;
        QVariant cantidad;
        QString source;
        double netWeight = 1;
    };
    const QList<Case> cases = {
        {0, 10, u"Error 11 (Division by zero)\nin procedure GetSubitemInfo_V2 of Módulo Mod_Varios - 30"_s},
        {1000, 0, u"Error 11 (Division by zero)\nin procedure GetSubitemInfo_V2 of Módulo Mod_Varios - 50"_s},
        // An item of net weight 0: every subitem's share N is 0.
        {1000, 10, u"Error 11 (Division by zero)\nin procedure GetSubitemInfo_V2 of Módulo Mod_Varios - 50"_s, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.source.toStdString());
        TestRun t;
        t.data.onContains(H, u"FROM ITEMS_SUBITEMS"_s,
                          rows({u"NRO_SUBITEM"_s, u"IDN_ITEM"_s, u"CANTIDAD_DECLARADA"_s, u"MONTO_FOB_DOL"_s},
                               {{u"0001"_s, 1, c.cantidad, 500}}));
        t.data.onContains(I, u"From Subitems"_s, rows({u"IdArticulo"_s}, {{u"A"_s}}));
        QList<ProductCall> calls;
        Recordset item(rows({u"NRO_ITEM"_s}, {{u"0001"_s}}));
        try {
            GetSubitemInfo_V2(t.rt, recordingProducts(calls), u"0001"_s, c.fobDiv, 1, c.netWeight, u"X"_s, 1, item,
                              {}, {}, {});
            ADD_FAILURE() << "no failure raised";
        } catch (const B2DError &e) {
            EXPECT_EQ(e.number(), ErrNo::Lookup);
            EXPECT_EQ(e.source(), c.source);
            EXPECT_EQ(e.description(), u"Division by zero"_s);
        }
        EXPECT_TRUE(calls.isEmpty());
        EXPECT_TRUE(t.boxes.shown().isEmpty());
    }
}

// A declaration in dollars takes its total from the header; any other sums its items.
TEST(SubitemLookups, TotalDollarPriceAndSubitemQuantity)
{
    struct Case {
        QString moneda;
        QString statement;
        QList<QVariantList> values;
        QString expected;
    };
    const QList<Case> cases = {
        {u"DOL"_s, u"SELECT MONTO_FOB  as TotalDollarPrice FROM CARATULA_CARATULA where DESPACHO = 'D''1'"_s,
         {{2182.455}}, u"2182.46"_s},
        {u"060"_s,
         u"SELECT SUM(CAST(MONTO_FOB_DOL as FLOAT)) as TotalDollarPrice FROM ITEMS_ARTICULOS where "
         u"IDN_DESPACHO = 'D''1'"_s,
         {{u"12345"_s}}, u"12345.00"_s},
        {u"060"_s, QString(), {}, u"0.00"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        TestRun t;
        if (!c.values.isEmpty())
            t.data.onContains(H, u"TotalDollarPrice"_s, rows({u"TotalDollarPrice"_s}, c.values));
        EXPECT_EQ(GetTotalDollarPrice(t.rt, c.moneda, u"D'1"_s), c.expected);
        if (!c.statement.isEmpty()) {
            EXPECT_EQ(t.data.statements(H), QStringList{c.statement});
        }
    }

    TestRun t;
    Recordset item(rows({u"NRO_ITEM"_s}, {{u"0003"_s}}));
    const QString sql = u"SELECT SUM(CANTIDAD) as CANTIDAD From SUBITEMS WHERE Interno = '19/0''420' And "
                        u"NroITEM = '0003' And NroSUBITEM = '0001'"_s;
    EXPECT_EQ(GetCantidadSubitem(t.rt, item, u"0001"_s, u"19/0'420"_s), 0.0);
    t.data.onExact(I, sql, rows({u"CANTIDAD"_s}, {{u"12.5"_s}}));
    EXPECT_EQ(GetCantidadSubitem(t.rt, item, u"0001"_s, u"19/0'420"_s), 12.5);
    EXPECT_EQ(t.data.statements(I), (QStringList{sql, sql}));
}
