#include "support/TestSupport.h"

#include "export/ExportProducts.h"
#include "runtime/Errors.h"

#include <gtest/gtest.h>

using namespace b2d;
using namespace Qt::StringLiterals;
using b2d::test::TestRun;

namespace {

const QString H = u"HISTORIAL"_s;
const QString I = u"INTERNOS"_s;
const QStringList kArticleColumns = {u"IdArticulo"_s, u"Descripcion"_s, u"Cantidad"_s, u"Otros"_s,
                                     u"Factura_Nro"_s, u"CodArtAlternativo"_s};
const QStringList kSubitemColumns = {u"NRO_SUBITEM"_s, u"IDN_ITEM"_s, u"CANTIDAD_DECLARADA"_s,
                                     u"PRECIO_UNITARIO"_s, u"MONTO_FOB_DOL"_s};

QString el(const QString &tag, const QString &text)
{
    return u"<%1>%2</%1>"_s.arg(tag, text);
}

QString productDuty(const QString &value, const QString &basis, const QString &pct)
{
    return u"<productDuty><dutyType>070</dutyType><dutyValue>%1</dutyValue><dutyCurrency>USD</dutyCurrency>"
           u"<dutyBasisOfCalculus>%2</dutyBasisOfCalculus><dutyPercentage>%3</dutyPercentage></productDuty>"_s
        .arg(value, basis, pct);
}

// The item of the examples: 10 units at 100, FOB 1000, net weight 40; the declaration's gross
// weight gives the item 150.
Recordset itemRow(const QVariant &fob = 1000.0, const QVariant &cantidad = 10)
{
    return Recordset(rows({u"NRO_ITEM"_s, u"CANTIDAD_DECLARADA"_s, u"PRECIO_UNITARIO"_s, u"MONTO_FOB_DIV"_s,
                           u"PESO_NETO_KGR"_s},
                          {{u"0001"_s, cantidad, 100.0, fob, 40.0}}));
}

void script(TestRun &t, const QList<QVariantList> &articles)
{
    t.rt.Despacho = u"19001EC01000045B"_s;
    t.rt.cfg.CONCEPTOSSIM = true;
    t.data.onContains(H, u"FROM ITEMS_SUBITEMS"_s,
                      rows(kSubitemColumns, {{u"0000"_s, 1, 10, 100.0, 1080.0}}));
    if (!articles.isEmpty())
        t.data.onContains(I, u"From Subitems"_s, rows(kArticleColumns, articles));
    t.data.onContains(H, u"CARATULA_CARATULA.PESO_BRUTO_BULTOS"_s,
                      rows({u"VALOR"_s, u"VALORTOTAL"_s, u"VALORCALCULADO"_s}, {{1000, 4000, 600}}));
    t.data.onContains(H, u"From ITEMS_LIQUIDACION_ITEM"_s,
                      rows({u"MONTO"_s, u"BASE_IMPONIBLE"_s, u"COEFICIENTE"_s, u"CODIGO_CONCEPTO"_s,
                            u"TIPO_OBLIGACION"_s},
                           {{45, 1000, 4.5, u"070"_s, u"A"_s}}));
    t.data.onContains(H, u"FROM TAX WHERE"_s, rows({u"LTAXABR"_s}, {{u"DERECHOS EXPORTACION"_s}}));
}

QString sinSubitem(TestRun &t, const Recordset &item, double cif = 1200, double factor = 1)
{
    return GetEXPOTag_SubItemInfo_SinSubitem_EX(t.rt, u"0001"_s, u"19/0420"_s, item, cif, u"USD"_s, factor);
}

}  // namespace

// Three articles of quantities 2, 3 and 5 under an item of 10 at FOB 1000: the FOB, the net and
// the gross weight are shared out 2:3:5; the duties are prorated by FOB and come last.
TEST(ExportProducts, GroupedArticlesShareTheItemByQuantity)
{
    TestRun t;
    script(t, {{u"NB-A"_s, u"Notebook A"_s, 2, u"ITR-A"_s, u"F-1"_s, QVariant()},
               {u"NB-B"_s, u"Notebook B"_s, 3, u"ITR-B"_s, u"F-1"_s, u"ALT-B"_s},
               {u"NB-C"_s, u"Notebook C"_s, 5, u"ITR-C"_s, u"F-2"_s, u""_s}});
    const QString xml = sinSubitem(t, itemRow());

    const struct {
        const char *part, *desc, *qty, *fob, *cif, *net, *gross, *invoice, *ref;
        QString duty;
    } products[] = {
        {"NB-A", "Notebook A ITR-A", "2.0000000", "200.0000000", "240.00", "8.00", "30.00", "F-1", "ITR-A",
         productDuty(u"9.00"_s, u"200.00"_s, u"0.90"_s)},
        {"ALT-B", "Notebook B ITR-B", "3.0000000", "300.0000000", "360.00", "12.00", "45.00", "F-1", "ITR-B",
         productDuty(u"13.50"_s, u"300.00"_s, u"1.35"_s)},
        {"", "Notebook C ITR-C", "5.0000000", "500.0000000", "600.00", "20.00", "75.00", "F-2", "ITR-C",
         productDuty(u"22.50"_s, u"500.00"_s, u"2.25"_s)},
    };
    QString expected;
    for (const auto &p : products)
        expected += u"<declarationItemProduct>"_s + el(u"invoiceReferenceCode"_s, QLatin1String(p.invoice))
            + el(u"productSequenceNumber"_s, u"0000"_s) + el(u"productPartNumber"_s, QLatin1String(p.part))
            + el(u"productDescription"_s, QLatin1String(p.desc)) + el(u"productQuantity"_s, QLatin1String(p.qty))
            + el(u"productUnityFOBValue"_s, u"100.0000000"_s) + el(u"productTotalFOBValue"_s, QLatin1String(p.fob))
            + el(u"productUnityCIFValue"_s, u"120.00"_s) + el(u"productCIFValue"_s, QLatin1String(p.cif))
            + el(u"productCustomsValue"_s, QLatin1String(p.cif)) + el(u"productUnityNetWeight"_s, u"4.0000000"_s)
            + el(u"productNetWeight"_s, QLatin1String(p.net)) + el(u"productUnityGrossWeight"_s, u"15"_s)
            + el(u"productGrossWeight"_s, QLatin1String(p.gross)) + el(u"productReferenceCode"_s, QLatin1String(p.ref))
            + p.duty + u"</declarationItemProduct>"_s;
    EXPECT_EQ(xml, expected);
    EXPECT_EQ(t.data.statements(H).first(),
              u"SELECT NRO_SUBITEM,IDN_ITEM,CANTIDAD_DECLARADA,PRECIO_UNITARIO,MONTO_FOB_DOL,SUFIJOS_DE_VALOR,"
              u"REFERENCIA FROM ITEMS_SUBITEMS WHERE IDN_DESPACHO = '19001EC01000045B' AND IDN_ITEM = 0001"_s);
    EXPECT_TRUE(t.logText().contains(u"En ITEM 1 subitem 0000 se encontro: 1 articulos:"_s));
    EXPECT_TRUE(t.logText().contains(u"[EXPO] - ITEM: 1 SUBITEM: 0000 agrupados 3 arts."_s));
    EXPECT_TRUE(t.boxes.shown().isEmpty());
}

// The gross share is formatted with seven decimals, read back and divided by the article's
// quantity, then written in the plain form.
TEST(ExportProducts, UnitGrossWeightIsWrittenInThePlainForm)
{
    TestRun t;
    t.rt.Despacho = u"D"_s;
    t.data.onContains(H, u"CARATULA_CARATULA.PESO_BRUTO_BULTOS"_s,
                      rows({u"VALOR"_s, u"VALORTOTAL"_s, u"VALORCALCULADO"_s}, {{1, 3, 959.53}}));
    Recordset item = itemRow(1296.0, 300);
    Recordset articles(rows(kArticleColumns, {{u"A"_s, u"x"_s, 120, u"o"_s, u"f"_s, QVariant()}}));
    Recordset subitem(rows(kSubitemColumns, {{u"0002"_s, 2, 200, 6.0, 1296.0}}));
    const QString xml = GetExpoTagDeclarationItemProduct(t.rt, item, articles, subitem, u"0001"_s, u"EUR"_s,
                                                         2100, 1296, 1.3608, 272.16, 2274, true);
    // Gross 319.84; share 319.84 x 518.4 / 1296 = 127.936; / 120 = 1.06613333333333. Unit CIF
    // 518.4 x 2274 / 2100 x 100 (the item's unit price) / 518.4.
    EXPECT_TRUE(xml.contains(el(u"productTotalFOBValue"_s, u"518.4000000"_s)
                             + el(u"productUnityCIFValue"_s, u"108.29"_s) + el(u"productCIFValue"_s, u"561.35"_s)
                             + el(u"productCustomsValue"_s, u"561.35"_s)
                             + el(u"productUnityNetWeight"_s, u"1.3608000"_s)
                             + el(u"productNetWeight"_s, u"108.86"_s)
                             + el(u"productUnityGrossWeight"_s, u"1.06613333333333"_s)
                             + el(u"productGrossWeight"_s, u"127.94"_s)))
        << xml.toStdString();
}

// One article behind the item: the item's own figures, the CIF in the currency factor, an empty
// customs value, the item's duties between it and the weights, no gross weight.
TEST(ExportProducts, SingleArticleStandsForTheItem)
{
    TestRun t;
    script(t, {{u"EST-1"_s, u"Estuches & fundas <PVC>"_s, 4, u"NW-420"_s, u"F-9"_s, QVariant()}});
    const QString xml = sinSubitem(t, itemRow(), 1250, 1.25);
    EXPECT_EQ(xml, u"<declarationItemProduct>"_s + el(u"invoiceReferenceCode"_s, u"F-9"_s)
                       + el(u"productSequenceNumber"_s, u"0000"_s) + el(u"productPartNumber"_s, u"EST-1"_s)
                       + el(u"productDescription"_s, u"Estuches &amp; fundas &lt;PVC&gt;"_s)
                       + el(u"productQuantity"_s, u"10.0000000"_s) + el(u"productUnityFOBValue"_s, u"100.0000000"_s)
                       + el(u"productTotalFOBValue"_s, u"1000.00"_s) + el(u"productUnityCIFValue"_s, u"100.0000000"_s)
                       + el(u"productCIFValue"_s, u"1000.00"_s) + u"<productCustomsValue></productCustomsValue>"_s
                       + productDuty(u"45.00"_s, u"1000.00"_s, u"4.50"_s)
                       + el(u"productUnityNetWeight"_s, u"4.0000000"_s) + el(u"productNetWeight"_s, u"40.00"_s)
                       + el(u"productUnityGrossWeight"_s, u"0.0000000"_s) + el(u"productGrossWeight"_s, u"0.00"_s)
                       + el(u"productReferenceCode"_s, u"NW-420"_s) + u"</declarationItemProduct>"_s);
    // No gross weight was asked for.
    for (const QString &sql : t.data.statements(H))
        EXPECT_FALSE(sql.contains(u"PESO_BRUTO_BULTOS"_s));
}

// Not grouped: the subitem's quantity and price, the FOB amount as given, the CIF apportioned
// against the CIF base.
TEST(ExportProducts, UngroupedProductTakesTheSubitemsFigures)
{
    TestRun t;
    t.rt.Despacho = u"D"_s;
    t.rt.cfg.CONCEPTOSSIM = true;
    t.data.onContains(H, u"From ITEMS_LIQUIDACION_ITEM"_s,
                      rows({u"MONTO"_s, u"BASE_IMPONIBLE"_s, u"COEFICIENTE"_s, u"CODIGO_CONCEPTO"_s,
                            u"TIPO_OBLIGACION"_s},
                           {{94.5, 2100, 4.5, u"070"_s, u"A"_s}}));
    t.data.onContains(H, u"FROM TAX WHERE"_s, rows({u"LTAXABR"_s}, {{u"DERECHOS"_s}}));
    Recordset item = itemRow(2100.0, 300);
    Recordset articles(rows(kArticleColumns, {{u"MAL"_s, u"Malbec"_s, 100, u"NW-410"_s, u"F-1"_s, u"ALT"_s}}));
    Recordset subitem(rows(kSubitemColumns, {{u"0001"_s, 2, 100, 9.0, 972.0}}));
    const QString xml = GetExpoTagDeclarationItemProduct(t.rt, item, articles, subitem, u"0002"_s, u"EUR"_s,
                                                         2100, 972, 2.0412, 204.12, 2274, false);
    EXPECT_EQ(xml, u"<declarationItemProduct>"_s + el(u"invoiceReferenceCode"_s, u"F-1"_s)
                       + el(u"productSequenceNumber"_s, u"0001"_s) + el(u"productPartNumber"_s, u"ALT"_s)
                       + el(u"productDescription"_s, u"Malbec NW-410"_s)
                       + el(u"productQuantity"_s, u"100.0000000"_s) + el(u"productUnityFOBValue"_s, u"9.0000000"_s)
                       + el(u"productTotalFOBValue"_s, u"972.0000000"_s) + el(u"productUnityCIFValue"_s, u"9.75"_s)
                       + el(u"productCIFValue"_s, u"1052.54"_s) + el(u"productCustomsValue"_s, u"1052.54"_s)
                       + el(u"productUnityNetWeight"_s, u"2.0412000"_s) + el(u"productNetWeight"_s, u"204.12"_s)
                       + el(u"productUnityGrossWeight"_s, u"0.0000000"_s) + el(u"productGrossWeight"_s, u"0.00"_s)
                       + el(u"productReferenceCode"_s, u"NW-410"_s) + productDuty(u"43.74"_s, u"972.00"_s, u"2.08"_s)
                       + u"</declarationItemProduct>"_s);
    // The prorated duties of the item number given, unquoted.
    EXPECT_TRUE(t.data.statements(H).first().endsWith(u"' AND IDN_ITEM = 0002"_s));
}

// The part number: the article's own code with OMITIRCODIGOALTERNATIVO, else the alternative
// code unless it is null; an empty alternative code gives an empty part number.
TEST(ExportProducts, PartNumberRule)
{
    struct Case {
        bool omitir;
        QVariant alternativo;
        const char *expected;
    };
    const Case cases[] = {
        {false, QVariant(), "ART-1"},
        {false, u""_s, ""},
        {false, u"ALT-1"_s, "ALT-1"},
        {true, QVariant(), "ART-1"},
        {true, u""_s, "ART-1"},
        {true, u"ALT-1"_s, "ART-1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.omitir ? "on " : "off ") + c.expected);
        TestRun t;
        t.rt.cfg.OMITIRCODIGOALTERNATIVO = c.omitir;
        Recordset item = itemRow();
        Recordset articles(rows(kArticleColumns, {{u"ART-1"_s, u"d"_s, 1, u"o"_s, u"f"_s, c.alternativo}}));
        Recordset subitem(rows(kSubitemColumns, {{u"0001"_s, 1, 1, 1.0, 1.0}}));
        const QString xml = GetExpoTagDeclarationItemProduct(t.rt, item, articles, subitem, u"0001"_s, {}, 1, 1,
                                                             1, 1, 1, false);
        EXPECT_TRUE(xml.contains(el(u"productPartNumber"_s, QLatin1String(c.expected)))) << xml.toStdString();

        // The single-article product follows the same rule.
        script(t, {{u"ART-1"_s, u"d"_s, 1, u"o"_s, u"f"_s, c.alternativo}});
        EXPECT_TRUE(sinSubitem(t, item).contains(el(u"productPartNumber"_s, QLatin1String(c.expected))));
    }
}

// Failures are passed on with their chain of sources; the text built so far is lost.
TEST(ExportProducts, FailuresArePassedOnWithTheirSource)
{
    struct Case {
        const char *name;
        QVariant fob;
        QVariant cantidad;
        QList<QVariantList> articles;
        QString source;
        QString description;
    };
    const QList<QVariantList> one = {{u"A"_s, u"d"_s, 1, u"o"_s, u"f"_s, QVariant()}};
    const QList<Case> cases = {
        {"null item FOB", QVariant(), 10, one,
         u"GetEXPOTag_SubItemInfo_SinSubitem_EX linea 10::VelmoraB2D"_s,
         u"Type mismatch\r\n"_s},
        {"item quantity 0", 1000.0, 0, one, u"GetEXPOTag_SubItemInfo_SinSubitem_EX linea 40::VelmoraB2D"_s,
         u"Division by zero\r\n"_s},
        {"subitem without articles", 1000.0, 10, {},
         u"GetEXPOTag_SubItemInfo_SinSubitem_EX linea 60::ADODB.Recordset"_s, QString()},
        {"grouped article of quantity 0", 1000.0, 10,
         {{u"A"_s, u"d"_s, 0, u"o"_s, u"f"_s, QVariant()}, {u"B"_s, u"d"_s, 1, u"o"_s, u"f"_s, QVariant()}},
         u"GetEXPOTag_SubItemInfo_SinSubitem_EX linea 90::GetExpoTagDeclarationItemProduct of Módulo Mod_EXPO "
         u"linea 30::VelmoraB2D"_s,
         u"Division by zero\r\n"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestRun t;
        script(t, c.articles);
        try {
            sinSubitem(t, itemRow(c.fob, c.cantidad));
            ADD_FAILURE() << "no failure raised";
        } catch (const B2DError &e) {
            EXPECT_EQ(e.number(), ErrNo::Product);
            EXPECT_EQ(e.source(), c.source);
            if (!c.description.isEmpty()) {
                EXPECT_EQ(e.description(), c.description);
            }
            EXPECT_TRUE(e.description().endsWith(u"\r\n"_s));
            // The bare description; the run log says which figure was at fault.
            if (e.description().startsWith(u"Type mismatch"_s))
                EXPECT_TRUE(t.logText().contains(u"Type mismatch: Monto_Fob_Div = \"\" is not a number"_s));
        }
        EXPECT_TRUE(t.boxes.shown().isEmpty());
    }

    // No subitem row: nothing written, nothing logged.
    TestRun t;
    t.rt.Despacho = u"D"_s;
    EXPECT_EQ(sinSubitem(t, itemRow()), QString());
    EXPECT_FALSE(t.logText().contains(u"En ITEM"_s));
}
