// The licence items, their subitems and the article details, over the recording data component.

#include "licence/LicenceRun.h"

#include "licence/LicenceItems.h"

#include <gtest/gtest.h>

using namespace b2d;
using b2d::test::LicenceRun;
using b2d::test::element;
using b2d::test::elements;

namespace {

QString items(LicenceRun &t, const QString &moneda = QStringLiteral("USD"))
{
    return DJAI_GetLicenseItems(t.rt, moneda, QStringLiteral("USD"), QStringLiteral("USD"),
                                QStringLiteral("FOB"), QStringLiteral("26-0398"), QString(), QString());
}

const QStringList kSubitemColumns = {QStringLiteral("NRO_SUBITEM"), QStringLiteral("IDN_ITEM"),
                                     QStringLiteral("CANTIDAD_DECLARADA"), QStringLiteral("PRECIO_UNITARIO"),
                                     QStringLiteral("MONTO_FOB_DOL"), QStringLiteral("MONTO_FOB"),
                                     QStringLiteral("SUFIJOS_DE_VALOR"), QStringLiteral("REFERENCIA")};
const QStringList kArticleColumns = {QStringLiteral("Idarticulo"), QStringLiteral("otros"),
                                     QStringLiteral("cantidad"), QStringLiteral("CodArtAlternativo")};

}  // namespace

TEST(LicenceItems, ItemsQueryIsTheLicenceOwnForDollarsAndForOtherCurrencies)
{
    const QString usd = QStringLiteral(
        "SELECT NRO_ITEM,POSICION_ARANCELARIA,CANTIDAD_ESTADISTICA,UNIDAD_ESTADISTICA, MONTO_FOB_DIV,"
        "BASE_IMPONIBLE_DOL,MONTO_FLETE,MONTO_SEGURO,PESO_NETO_KGR,EXISTENCIA_SUBITEM,CANTIDAD_DECLARADA,"
        "PRECIO_UNITARIO,MONTO_FOB_DOL, SUM(CAST(BASE_IMPONIBLE_DIV AS FLOAT) - CAST(AJUSTE_A_INCLUIR AS FLOAT) "
        "+ CAST(AJUSTE_A_DEDUCIR AS FLOAT)) AS VALOR_CIF_ITEM , DECLARACION_A_CANCELAR, NRO_ITEM_A_CANCELAR "
        ",UNIDAD_DECLARADA, PAIS_ORIGEN,PAIS_PROCEDENCIA,ESTADO_MERCADERIA FROM ITEMS_ARTICULOS WHERE "
        "IDN_DESPACHO = '13073DJAI''012345K' GROUP BY NRO_ITEM, POSICION_ARANCELARIA,CANTIDAD_ESTADISTICA,"
        "UNIDAD_ESTADISTICA,MONTO_FOB_DIV,BASE_IMPONIBLE_DOL,MONTO_FLETE,MONTO_SEGURO,PESO_NETO_KGR,"
        "EXISTENCIA_SUBITEM,CANTIDAD_DECLARADA,PRECIO_UNITARIO,MONTO_FOB_DOL , DECLARACION_A_CANCELAR, "
        "NRO_ITEM_A_CANCELAR , UNIDAD_DECLARADA, PAIS_ORIGEN,PAIS_PROCEDENCIA,ESTADO_MERCADERIA ORDER BY NRO_ITEM");
    const QString other = QStringLiteral(
        "SELECT NRO_ITEM, POSICION_ARANCELARIA, CANTIDAD_ESTADISTICA, UNIDAD_ESTADISTICA, MONTO_FOB_DIV, "
        "BASE_IMPONIBLE_DOL, MONTO_FLETE, MONTO_SEGURO, PESO_NETO_KGR, EXISTENCIA_SUBITEM, CANTIDAD_DECLARADA, "
        "PRECIO_UNITARIO, MONTO_FOB_DOL, DECLARACION_A_CANCELAR, NRO_ITEM_A_CANCELAR,  SUM(CAST(BASE_IMPONIBLE_DIV "
        "AS FLOAT)) as BID, SUM(CAST(AJUSTE_A_INCLUIR AS FLOAT)) as AAI, SUM(CAST(AJUSTE_A_DEDUCIR AS FLOAT)) as "
        "AAD  , UNIDAD_DECLARADA , PAIS_ORIGEN,PAIS_PROCEDENCIA,ESTADO_MERCADERIA FROM ITEMS_ARTICULOS WHERE "
        "IDN_DESPACHO = '13073DJAI''012345K' GROUP BY NRO_ITEM, POSICION_ARANCELARIA, CANTIDAD_ESTADISTICA, "
        "UNIDAD_ESTADISTICA, MONTO_FOB_DIV, BASE_IMPONIBLE_DOL, MONTO_FLETE, MONTO_SEGURO, PESO_NETO_KGR, "
        "EXISTENCIA_SUBITEM, CANTIDAD_DECLARADA, PRECIO_UNITARIO, MONTO_FOB_DOL,  DECLARACION_A_CANCELAR, "
        "NRO_ITEM_A_CANCELAR ,base_imponible_div, ajuste_a_incluir, ajuste_a_deducir , UNIDAD_DECLARADA "
        ",PAIS_ORIGEN,PAIS_PROCEDENCIA, ESTADO_MERCADERIA ORDER BY NRO_ITEM");
    for (const auto &[moneda, sql] : {std::pair{QStringLiteral("USD"), usd}, std::pair{QStringLiteral("DOL"), other}}) {
        SCOPED_TRACE(moneda.toStdString());
        LicenceRun t;
        t.rt.Despacho = QStringLiteral("13073DJAI'012345K");
        t.data.onContains(LicenceRun::H, QStringLiteral("ORDER BY NRO_ITEM"), rows({QStringLiteral("NRO_ITEM")}));
        EXPECT_EQ(items(t, moneda), QString());
        EXPECT_EQ(t.data.statements(), QStringList{sql});
    }
}

TEST(LicenceItems, EveryItemRecordsTheRateOfItsCurrencyAgain)
{
    LicenceRun t;
    QVariantList second = LicenceRun::columnValues(t.item);
    second[0] = QStringLiteral("0002");
    t.scriptItems({second});
    t.complementary("0002", "DJAI-FECHA-EMBAR", QStringLiteral("15/02/2013"));
    t.complementary("0002", "DJAI-FECHA-ARRIB", QStringLiteral("15/03/2013"));
    // The rate row of the licence already exists: each item rewrites it.
    t.data.onContains(LicenceRun::H, QStringLiteral("From Despacho_TiposCambio Where Moneda ='EUR'"),
                      rows({QStringLiteral("Moneda")}, {{QStringLiteral("EUR")}}));
    t.data.onContains(LicenceRun::H, QStringLiteral("as TipoDeCambio"), rows({QStringLiteral("TipoDeCambio")}, {{1.2345}}));

    const QString doc = items(t, QStringLiteral("EUR"));
    EXPECT_EQ(doc.count(QStringLiteral("<licenseItem>")), 2);
    const QString update = QStringLiteral(
        "Update Despacho_TiposCambio Set Valor ='01.23' Where Moneda = 'EUR' AND Despacho = '13073DJAI012345K'");
    EXPECT_EQ(t.writes(), (QStringList{update, update}));
    // No CIF value is written.
    EXPECT_FALSE(doc.contains(QStringLiteral("1326")));
}

TEST(LicenceItems, DescriptionIsTheTariffTextCleaned)
{
    const struct {
        QVariantList parts;
        const char *description;
    } cases[] = {
        {{QStringLiteral("MAQUINAS-AUTOMATICAS"), QStringLiteral("P/PROC."), QString(), QString()},
         "MAQUINASAUTOMATICAS P PROC "},
        {{QStringLiteral(" caño-12/b "), QVariant(), QVariant(), QVariant()}, "CAÑO12 B"},
        {{QStringLiteral("A & B"), QStringLiteral("<c>"), QStringLiteral("\u00e9l\r\nX"), QString()},
         "A   B  C   L  X"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.description);
        LicenceRun t;
        t.data.onContains(QStringLiteral("NCM"), QStringLiteral("from ncm where"),
                          rows({QStringLiteral("desc1"), QStringLiteral("desc2"), QStringLiteral("desc3"),
                                QStringLiteral("desc4")},
                               {c.parts}));
        const QString doc = items(t);
        EXPECT_EQ(element(doc, QStringLiteral("itemDescription")), QString::fromUtf8(c.description));
        // An item without declared subitems describes its subitem the same way.
        EXPECT_EQ(element(doc, QStringLiteral("subItemDescription")), QString::fromUtf8(c.description));
    }
}

TEST(LicenceItems, SubitemsOfAnItemWithAndWithoutDeclaredSubitems)
{
    const QString query = QStringLiteral(
        "SELECT NRO_SUBITEM,IDN_ITEM,CANTIDAD_DECLARADA,PRECIO_UNITARIO,MONTO_FOB_DOL,MONTO_FOB,SUFIJOS_DE_VALOR,"
        "REFERENCIA FROM ITEMS_SUBITEMS WHERE IDN_DESPACHO = '13073DJAI012345K' AND IDN_ITEM = 0003");
    const struct {
        bool declared;
        const char *statement;
        QStringList quantities, prices, totals, descriptions;
    } cases[] = {
        {true, " ORDER BY NRO_SUBITEM",
         {QStringLiteral("4.0000000"), QStringLiteral("6.0000000")},
         {QStringLiteral("1.5000000"), QStringLiteral("2.0000000")},
         {QStringLiteral("6.0000000"), QStringLiteral("12.0000000")},
         {QStringLiteral("Notebooks, 14\""), QStringLiteral("Notebooks, 14\"")}},
        {false, "",
         {QStringLiteral("10.0000000"), QStringLiteral("10.0000000")},
         {QStringLiteral("123.4500000"), QStringLiteral("123.4500000")},
         {QStringLiteral("1234.5000000"), QStringLiteral("1234.5000000")},
         {QStringLiteral("MAQUINASAUTOMATICAS P PROC "), QStringLiteral("MAQUINASAUTOMATICAS P PROC ")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.declared);
        LicenceRun t;
        t.complementary("0003", "DJAI-DESC-MERC01", QStringLiteral("Notebooks, 14\""));
        t.data.onContains(LicenceRun::H, QStringLiteral("FROM ITEMS_SUBITEMS"),
                          rows(kSubitemColumns, {{QStringLiteral("0001"), 3, 4, QStringLiteral("1.5"), 6, 6,
                                                  QStringLiteral("AA(X)"), QVariant()},
                                                 {QStringLiteral("0002"), 3, 6, 2, 12, 12, QStringLiteral("AA(Y)"),
                                                  QVariant()}}));
        LicenceRun::set(t.item, "NRO_ITEM", QStringLiteral("0003"));
        LicenceRun::set(t.item, "UNIDAD_DECLARADA", QStringLiteral("<u>"));
        const Recordset item(rows(LicenceRun::columnNames(t.item), {LicenceRun::columnValues(t.item)}));

        const QString doc = c.declared ? DJAI_GetItemSubItems(t.rt, item, QStringLiteral("26-0398"))
                                       : DJAI_GetItemSubItems_SinSubitem(t.rt, item, QStringLiteral("26-0398"));
        EXPECT_EQ(t.data.statements(LicenceRun::H).first(), query + QLatin1String(c.statement));
        EXPECT_EQ(elements(doc, QStringLiteral("subItemLineNumber")), (QStringList{QStringLiteral("0001"), QStringLiteral("0002")}));
        EXPECT_EQ(elements(doc, QStringLiteral("subItemMeasureUnity")), QStringList(2, QStringLiteral("&lt;u&gt;")));
        EXPECT_EQ(elements(doc, QStringLiteral("subItemQuantity")), c.quantities);
        EXPECT_EQ(elements(doc, QStringLiteral("subItemUnityPrice")), c.prices);
        EXPECT_EQ(elements(doc, QStringLiteral("subItemTotalPrice")), c.totals);
        EXPECT_EQ(elements(doc, QStringLiteral("subItemDescription")), c.descriptions);
        EXPECT_EQ(doc.count(QStringLiteral("<subItemDetail>")), 2);
        EXPECT_TRUE(doc.startsWith(QStringLiteral("<itemSubItem><subItemLineNumber>")));
        EXPECT_TRUE(doc.endsWith(QStringLiteral("</subItemDetail></itemSubItem>")));
    }
}

TEST(LicenceItems, QueriesThatDoNotOpenLeaveTheirPartEmpty)
{
    const struct {
        const char *name;
        const char *entity;
        const char *fragment;
        const char *subitems;  // what the item's subitems come to
    } cases[] = {
        {"subitems", "HISTORIAL", "FROM ITEMS_SUBITEMS", ""},
        {"details", "INTERNOS", "CodArtAlternativo  From SUBITEMS",
         "<itemSubItem><subItemLineNumber>0000</subItemLineNumber><subItemMeasureUnity>07</subItemMeasureUnity>"
         "<subItemQuantity>10.0000000</subItemQuantity><subItemUnityPrice>123.4500000</subItemUnityPrice>"
         "<subItemTotalPrice>1234.5000000</subItemTotalPrice>"
         "<subItemDescription>MAQUINASAUTOMATICAS P PROC </subItemDescription></itemSubItem>"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LicenceRun t;
        t.data.failOn(QLatin1String(c.entity), QLatin1String(c.fragment), QStringLiteral("refused"));
        const QString doc = items(t);
        EXPECT_TRUE(doc.contains(QStringLiteral("<itemDeductionValue>0.000000000</itemDeductionValue>")
                                 + QLatin1String(c.subitems) + QStringLiteral("<itemFlexField>")))
            << doc.toStdString();
        EXPECT_TRUE(t.boxes.shown().isEmpty());
    }
}

TEST(LicenceItems, ArticleQuantitiesAreKeptOnlyWhenTheyAddUpToTheDeclaredOne)
{
    const struct {
        const char *name;
        bool sinSubitem;
        QList<QVariantList> articles;  // Idarticulo, otros, cantidad, CodArtAlternativo
        QVariant total;                // what the article quantities of the subitem add up to
        QStringList quantities;
        int totals;                    // how often the total was asked
    } cases[] = {
        {"adding up", false,
         {{QStringLiteral("A"), QStringLiteral("ITR-A"), 4, QVariant()}, {QStringLiteral("B"), QStringLiteral("ITR-B"), 6, QVariant()}},
         10, {QStringLiteral("4"), QStringLiteral("6")}, 2},
        {"not adding up", false,
         {{QStringLiteral("A"), QStringLiteral("ITR-A"), 4, QVariant()}, {QStringLiteral("B"), QStringLiteral("ITR-B"), 5, QVariant()}},
         9, {QStringLiteral("10"), QStringLiteral("10")}, 2},
        {"one article", false, {{QStringLiteral("A"), QStringLiteral("ITR-A"), 3, QVariant()}}, 3,
         {QStringLiteral("10")}, 0},
        {"item without declared subitems", true, {{QStringLiteral("A"), QStringLiteral("ITR-A"), 3, QVariant()}}, 3,
         {QStringLiteral("7.5")}, 0},
        {"fractions adding up", true,
         {{QStringLiteral("A"), QStringLiteral("ITR-A"), QStringLiteral("2.25"), QVariant()},
          {QStringLiteral("B"), QStringLiteral("ITR-B"), 5.25, QVariant()}},
         7.5, {QStringLiteral("2.25"), QStringLiteral("5.25")}, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LicenceRun t;
        t.data.onContains(LicenceRun::I, QStringLiteral("CodArtAlternativo  From SUBITEMS"), rows(kArticleColumns, c.articles));
        t.data.onContains(LicenceRun::I, QStringLiteral("SUM(CANTIDAD) as CANTIDAD"), rows({QStringLiteral("CANTIDAD")}, {{c.total}}));
        const Recordset item(rows({QStringLiteral("NRO_ITEM"), QStringLiteral("CANTIDAD_DECLARADA")},
                                  {{QStringLiteral("0001"), 7.5}}));
        const Recordset subitem(rows(kSubitemColumns, {{QStringLiteral("0002"), 1, 10, 1, 1, 1,
                                                        QStringLiteral("AC(128GB) AA(NEXA) AB(A52)"), QVariant()}}));

        const QString doc = DJAI_GetSubItemDetail(t.rt, item, subitem, QStringLiteral("26-0398"), c.sinSubitem);
        EXPECT_EQ(elements(doc, QStringLiteral("itemDetailQuantity")), c.quantities);
        EXPECT_EQ(elements(doc, QStringLiteral("itemDetailRequest")).first(), QStringLiteral("ITR-A"));
        const QStringList statements = t.data.statements(LicenceRun::I);
        EXPECT_EQ(statements.first(),
                  QStringLiteral("SELECT Idarticulo, otros, cantidad, CodArtAlternativo  From SUBITEMS WHERE Interno = "
                                 "'26-0398' And NroITEM = '0001'And Sufijos = 'AA(NEXA) AB(A52) AC(128GB)' Order by OTROS "));
        EXPECT_EQ(statements.filter(QStringLiteral("NroSUBITEM = '0002'")).size(), c.totals);
    }
}

TEST(LicenceItems, PartNumberIsTheAlternativeCodeUnlessOmittedOrNull)
{
    const struct {
        bool omit;
        QVariant alternative;
        const char *partNumber;
    } cases[] = {
        {false, QStringLiteral("ALT-1"), "ALT-1"},
        {false, QVariant(), "PH-&1"},
        {true, QStringLiteral("ALT-1"), "PH-&1"},
        {false, QString(), ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.partNumber);
        LicenceRun t;
        t.rt.cfg.OMITIRCODIGOALTERNATIVO = c.omit;
        t.data.onContains(LicenceRun::I, QStringLiteral("CodArtAlternativo  From SUBITEMS"),
                          rows(kArticleColumns, {{QStringLiteral("PH-&1"), QStringLiteral("ITR <1>"), 4, c.alternative}}));
        const Recordset item(rows({QStringLiteral("NRO_ITEM"), QStringLiteral("CANTIDAD_DECLARADA")}, {{QStringLiteral("0001"), 4}}));
        const Recordset subitem(rows(kSubitemColumns, {{QStringLiteral("0001"), 1, 4, 1, 1, 1, QStringLiteral("AA(X)"), QVariant()}}));
        const QString doc = DJAI_GetSubItemDetail(t.rt, item, subitem, QStringLiteral("26-0398"), false);
        EXPECT_EQ(doc, QStringLiteral("<subItemDetail><itemDetailRequest>ITR &lt;1&gt;</itemDetailRequest>"
                                      "<itemDetailQuantity>4</itemDetailQuantity><itemDetailPartNumber>")
                           + QString::fromUtf8(c.partNumber).toHtmlEscaped()
                           + QStringLiteral("</itemDetailPartNumber></subItemDetail>"));
    }
}
