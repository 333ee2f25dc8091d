#include "support/TestSupport.h"

#include "declaration/Builders.h"
#include "import/ImportProducts.h"
#include "runtime/Errors.h"
#include "values/Values.h"

#include <gtest/gtest.h>

using namespace b2d;
using namespace Qt::StringLiterals;
using b2d::test::TestRun;

namespace {

const QString kInternos = u"INTERNOS"_s;
const QString kHistorial = u"HISTORIAL"_s;
const QStringList kArticleColumns{u"Idarticulo"_s, u"otros"_s, u"cantidad"_s,
                                  u"CodArtAlternativo"_s, u"idext"_s, u"factura_nro"_s,
                                  u"descripcion"_s, u"NROSUBITEM"_s};
const QStringList kSubitemColumns{u"NRO_SUBITEM"_s, u"IDN_ITEM"_s, u"CANTIDAD_DECLARADA"_s,
                                  u"PRECIO_UNITARIO"_s, u"MONTO_FOB_DOL"_s,
                                  u"SUFIJOS_DE_VALOR"_s, u"MONTO_FOB"_s, u"REFERENCIA"_s};

QVariantList article(const char *id, const char *otros, double cantidad, const QVariant &alt,
                     int idext, const char *descripcion, const char *subitem)
{
    return {QString::fromUtf8(id), QString::fromUtf8(otros), cantidad, alt, idext, u"F1"_s,
            QString::fromUtf8(descripcion), QString::fromUtf8(subitem)};
}

// The four expenses: freight in USD, insurance in BRL, both adjustments in EUR (the FOB currency).
QString expenses(const char *flete, const char *seguro, const char *incluir, const char *deducir)
{
    auto one = [](const char *type, const char *value, const char *currency) -> QString {
        return u"<productExpense><expenseType>"_s + QLatin1String(type) + u"</expenseType><expenseValue>"_s
            + QLatin1String(value) + u"</expenseValue><expenseCurrency>"_s + QLatin1String(currency)
            + u"</expenseCurrency></productExpense>"_s;
    };
    return one("FRT", flete, "USD") + one("INS", seguro, "BRL") + one("ADJ-INC", incluir, "EUR")
        + one("ADJ-DED", deducir, "EUR");
}

const QString kNoGross = u"<productUnityGrossWeight>0.0000000</productUnityGrossWeight>"
                         u"<productGrossWeight>0.00</productGrossWeight>"_s;

// One import item of declaration 19001IC04000123A: interno BRC, process reference code PRC,
// FOB currency EUR at 1.08, freight in USD, insurance in BRL.
struct Products {
    explicit Products(const QList<QVariantList> &itemValues)
        : item(rows({u"NRO_ITEM"_s, u"CANTIDAD_DECLARADA"_s, u"MONTO_FOB_DIV"_s, u"MONTO_FLETE"_s,
                     u"MONTO_SEGURO"_s, u"AJUSTE_A_INCLUIR"_s, u"AJUSTE_A_DEDUCIR"_s,
                     u"PESO_NETO_KGR"_s, u"DECLARACION_A_CANCELAR"_s, u"NRO_ITEM_A_CANCELAR"_s,
                     u"IDN_DESPACHO"_s},
                    itemValues))
    {
        t.rt.Despacho = u"19001IC04000123A"_s;
        t.data.onContains(kHistorial, u"Select xml_ProcessRC"_s, rows({u"x"_s}, {{u"PRC"_s}}));
        t.data.onContains(kHistorial, u"Select IDENTIFICADOR_PROPIO"_s, rows({u"x"_s}, {{u"BRC"_s}}));
        const char *relations[][2] = {{"FREIGHT", "FRT"}, {"INSURANCE", "INS"},
                                      {"AJUSTES A INCLUIR", "ADJ-INC"},
                                      {"AJUSTES A DEDUCIR", "ADJ-DED"}};
        for (const auto &r : relations)
            t.data.onContains(kHistorial, u"RelacionOrigen ='"_s + QLatin1String(r[0]) + u"'"_s,
                              rows({u"RelacionDestino"_s}, {{QLatin1String(r[1])}}));
    }
    void subitems(const QList<QVariantList> &values)
    {
        t.data.onContains(kHistorial, u"FROM ITEMS_SUBITEMS"_s, rows(kSubitemColumns, values));
    }
    void articles(const QString &subitem, const QList<QVariantList> &lines)
    {
        t.data.onContains(kInternos, u"From SUBITEMS WHERE Interno = 'BRC' And NroITEM = '"_s
                                         + item.field(u"NRO_ITEM"_s).toString()
                                         + u"' And NroSUBITEM = '"_s + subitem + u"'"_s,
                          rows(kArticleColumns, lines));
    }
    ItemProductInput input(double rate, double cif, double fob, double netWeight, double quantity)
    {
        return ItemProductInput{item,
                                item.field(u"NRO_ITEM"_s).toString(),
                                EsNulo(item.field(u"DECLARACION_A_CANCELAR"_s)),
                                EsNulo(item.field(u"NRO_ITEM_A_CANCELAR"_s)),
                                fob,
                                netWeight,
                                quantity,
                                cif,
                                rate,
                                u"BRC"_s,
                                u"PRC"_s,
                                u"EUR"_s,
                                u"USD"_s,
                                u"BRL"_s};
    }

    TestRun t;
    Recordset item;
    QStringList list{QString()};
};

}  // namespace

TEST(ImportProducts, ItemWithoutSubitemsAndOneArticle)
{
    Products p({{u"0001"_s, 40, 24500, 870, 145, 10, 5, 96, QVariant(), QVariant(), u"19001IC04000123A"_s}});
    p.subitems({{u"0000"_s, 1, 40, 612.5, 26460, u"AA(X)"_s, QVariant(), QVariant()}});
    p.articles(u"0000"_s, {article("NB-14", "ITR-1", 40, QVariant(), 1, "Notebook & <case>", "0000")});

    const QString xml = Getsubitemsinfo_sinsubitem_ex(p.t.rt, p.input(1.08, 27000, 24500, 96, 40), p.list);

    EXPECT_EQ(xml,
              u"<declarationItemProduct><productSequenceNumber>0000</productSequenceNumber>"
              u"<productPartNumber>NB-14</productPartNumber>"
              u"<productDescription>Notebook &amp; &lt;case&gt;</productDescription>"
              u"<productQuantity>40.0000000</productQuantity>"
              u"<productUnityFOBValue>612.5000000</productUnityFOBValue>"
              u"<productTotalFOBValue>24500.00</productTotalFOBValue>"_s
                  + expenses("939.60", "156.60", "10.80", "5.40")
                  + u"<productUnityCIFValue>625.0000000</productUnityCIFValue>"
                    u"<productCIFValue>25000.00</productCIFValue>"
                    u"<productUnityNetWeight>2.4000000</productUnityNetWeight>"
                    u"<productNetWeight>96.00</productNetWeight>"_s
                  + kNoGross
                  + u"<productReferenceCode>ITR-1</productReferenceCode>"
                    u"<productDJAINumber></productDJAINumber>"
                    u"<productDJAIItemNumber></productDJAIItemNumber> "
                    u"<productDJAISubitemNumber>0000</productDJAISubitemNumber>"
                    u"</declarationItemProduct>"_s);
    EXPECT_EQ(p.t.data.statements(kHistorial).filter(u"ITEMS_SUBITEMS"_s),
              QStringList{u"SELECT NRO_SUBITEM,IDN_ITEM,CANTIDAD_DECLARADA,PRECIO_UNITARIO,"
                          u"MONTO_FOB_DOL,SUFIJOS_DE_VALOR,REFERENCIA FROM ITEMS_SUBITEMS WHERE "
                          u"IDN_DESPACHO = '19001IC04000123A' AND IDN_ITEM = 0001"_s});
    const QString log = p.t.logText();
    EXPECT_TRUE(log.contains(u"En ITEM 0001 subitem 0000 se encontro: 1 articulos:"_s));
    EXPECT_TRUE(log.contains(u"ITEM: 1SUBITEM: 0000\n Cantidad Declarada: 40\n MontoFobDol:26460\n"
                             u" MontoFobDiv:24500\n Sufijos:AA(X)"_s));
    EXPECT_TRUE(log.contains(u"[001] PRC: ITR-1 ART: NB-14 CantDVN: 40 CantSIM: 40"_s));
    EXPECT_TRUE(p.t.boxes.shown().isEmpty());
}

TEST(ImportProducts, ItemWithSubitemsSeveralArticlesAndOne)
{
    Products p({{u"0002"_s, 10, 1000, 50, 20, 0, 0, 25, u"19001DJAI000001A"_s, u"0007"_s,
                 u"19001IC04000123A"_s}});
    p.t.rt.cfg.CONCEPTOSSIM = true;
    p.subitems({{u"0001"_s, 2, 6, 100, 600, u"AA(X)"_s, 555, u"0005"_s},
                {u"0002"_s, 2, 4, 100, 400, u"AA(Y)"_s, 370, QString()}});
    p.articles(u"0001"_s, {article("A1", "R1", 1, QVariant(), 1, "Uno", "0001"),
                           article("A2", "R2", 2, u"ALT-2"_s, 2, "Dos", "0001"),
                           article("A3", "R3", 3, QVariant(), 3, "Tres", "0001")});
    p.articles(u"0002"_s, {article("B1", "S1", 4, u"ALT-B"_s, 4, "Cuatro", "0002")});
    p.t.data.onContains(kInternos, u"SUM(CANTIDAD)"_s, rows({u"CANTIDAD"_s}, {{6}}));
    p.t.data.onContains(kHistorial, u"SELECT BASE_IMPONIBLE_DOL as total"_s, rows({u"total"_s}, {{1100}}));
    p.t.data.onContains(kHistorial, u"From ITEMS_LIQUIDACION_ITEM"_s,
                        rows({u"MONTO"_s, u"BASE_IMPONIBLE"_s, u"COEFICIENTE"_s, u"CODIGO_CONCEPTO"_s,
                              u"TIPO_OBLIGACION"_s},
                             {{80, 1100, 0, u"010"_s, u"A"_s}}));
    p.t.data.onContains(kHistorial, u"Select LTAXABR FROM TAX"_s, rows({u"LTAXABR"_s}, {{u"DERECHOS"_s}}));

    const QString xml = Getsubitemsinfo_ex(p.t.rt, p.input(1.08, 1070, 1000, 25, 10), p.list);

    const QString duty = u"<productDuty><dutyType>010</dutyType><dutyValue>80.00</dutyValue>"
                         u"<dutyCurrency>USD</dutyCurrency><dutyBasisOfCalculus>1100.00"
                         u"</dutyBasisOfCalculus><dutyPercentage>0.01</dutyPercentage></productDuty>"_s;
    auto detail = [](const char *cantidad, const char *codigo, const char *parte) -> QString {
        return u"<productReferenceCodeDetail><productReferenceCodeQuantity>"_s + QLatin1String(cantidad)
            + u"</productReferenceCodeQuantity><productReferenceCodeID>"_s + QLatin1String(codigo)
            + u"</productReferenceCodeID><productReferenceCodePartNumber>"_s + QLatin1String(parte)
            + u"</productReferenceCodePartNumber><productReferenceCodeDJAINumber>19001DJAI000001A"
              u"</productReferenceCodeDJAINumber><productReferenceCodeDJAIItemNumber>0007"
              u"</productReferenceCodeDJAIItemNumber><productReferenceCodeDJAISubitemNumber>0005"
              u"</productReferenceCodeDJAISubitemNumber><productReferenceCodeSpecification>AA(X)"
              u"</productReferenceCodeSpecification></productReferenceCodeDetail>"_s;
    };
    EXPECT_EQ(xml,
              u"<declarationItemProduct>"_s + detail("1", "R1", "A1") + detail("2", "R2", "ALT-2")
                  + detail("3", "R3", "A3")
                  + u"<productSequenceNumber>0001</productSequenceNumber>"
                    u"<productDescription>Uno</productDescription>"
                    u"<productQuantity>6.0000000</productQuantity>"
                    u"<productUnityFOBValue>100.0000000</productUnityFOBValue>"
                    u"<productTotalFOBValue>600.0000000</productTotalFOBValue>"_s
                  + expenses("30.00", "12.00", "0.00", "0.00")
                  + u"<productUnityCIFValue>110.00</productUnityCIFValue>"
                    u"<productCIFValue>660.00</productCIFValue>"
                    u"<productCustomsValue>660.00</productCustomsValue>"_s
                  + duty
                  + u"<productUnityNetWeight>2.5000000</productUnityNetWeight>"
                    u"<productNetWeight>15.00</productNetWeight>"_s
                  + kNoGross
                  + u"<productDJAINumber>19001DJAI000001A</productDJAINumber>"
                    u"<productDJAIItemNumber>0007</productDJAIItemNumber> "
                    u"<productDJAISubitemNumber>0005</productDJAISubitemNumber>"
                    u"</declarationItemProduct>"
                    u"<declarationItemProduct><productSequenceNumber>0002</productSequenceNumber>"
                    u"<productPartNumber>ALT-B</productPartNumber>"
                    u"<productDescription>Cuatro</productDescription>"
                    u"<productQuantity>4.0000000</productQuantity>"
                    u"<productUnityFOBValue>100.0000000</productUnityFOBValue>"
                    u"<productTotalFOBValue>400.0000000</productTotalFOBValue>"_s
                  + expenses("20.00", "8.00", "0.00", "0.00")
                  + u"<productUnityCIFValue>110.00</productUnityCIFValue>"
                    u"<productCIFValue>440.00</productCIFValue>"
                    u"<productCustomsValue>440.00</productCustomsValue>"_s
                  + duty
                  + u"<productUnityNetWeight>2.5000000</productUnityNetWeight>"
                    u"<productNetWeight>10.00</productNetWeight>"_s
                  + kNoGross
                  + u"<productReferenceCode>S1</productReferenceCode>"
                    u"<productDJAINumber>19001DJAI000001A</productDJAINumber>"
                    u"<productDJAIItemNumber>0007</productDJAIItemNumber> "
                    u"<productDJAISubitemNumber>0000</productDJAISubitemNumber>"
                    u"</declarationItemProduct>"_s);
    EXPECT_EQ(p.list, QStringList{QString()});
    EXPECT_EQ(p.t.data.statements(kHistorial).filter(u"ITEMS_SUBITEMS"_s),
              QStringList{u"SELECT NRO_SUBITEM,IDN_ITEM,CANTIDAD_DECLARADA,PRECIO_UNITARIO,"
                          u"MONTO_FOB_DOL,SUFIJOS_DE_VALOR,MONTO_FOB,REFERENCIA FROM ITEMS_SUBITEMS "
                          u"WHERE IDN_DESPACHO = '19001IC04000123A' AND IDN_ITEM = 0002 order by "
                          u"nro_subitem"_s});
    const QString log = p.t.logText();
    EXPECT_TRUE(log.contains(u"EL ITEM 0002: contiene 2 subitems."_s));
    EXPECT_TRUE(log.contains(u"ITEM: 2SUBITEM: 0002\n Cantidad Declarada: 4\n MontoFobDOL:400\n"
                             u" MontoFOBDIV:370\n Sufijos:AA(Y)"_s));
}

TEST(ImportProducts, SeveralArticlesOfAnItemWithoutSubitemsFillTheArticleList)
{
    Products p({{u"0001"_s, 5, 500, 0, 0, 0, 0, 10, QVariant(), QVariant(), u"19001IC04000123A"_s}});
    p.subitems({{u"0000"_s, 1, 5, 100, 500, u"AA(X)"_s, QVariant(), u"0003"_s}});
    p.articles(u"0000"_s, {article("A1", "R1", 2, QVariant(), 11, "Uno", "0000"),
                           article("A2", "R2", 3, QVariant(), 12, "Dos", "0000")});
    p.t.data.onContains(kInternos, u"SUM(CANTIDAD)"_s, rows({u"CANTIDAD"_s}, {{5}}));
    const QString xml = Getsubitemsinfo_sinsubitem_ex(p.t.rt, p.input(1, 500, 500, 10, 5), p.list);
    EXPECT_EQ(p.list, (QStringList{{}, u"11|||F1"_s, u"12|||F1"_s}));
    // No part number and no reference code; the first article's description.
    EXPECT_FALSE(xml.contains(u"productPartNumber"_s));
    EXPECT_FALSE(xml.contains(u"<productReferenceCode>"_s));
    EXPECT_TRUE(xml.contains(u"</productTotalFOBValue>"_s));
    EXPECT_TRUE(xml.contains(u"<productSequenceNumber>0000</productSequenceNumber>"
                             u"<productDescription>Uno</productDescription>"_s));
    EXPECT_TRUE(xml.contains(u"<productDJAISubitemNumber>0003</productDJAISubitemNumber>"_s));
}

TEST(ImportProducts, WithoutArticlesThePartAndReferenceCodeAreEmpty)
{
    // The DI carries no licence data: no article statement, no article recordset.
    Products p({{u"0001"_s, 5, 500, 0, 0, 0, 0, 10, QVariant(), QVariant(), u"19001IC04000123A"_s}});
    p.subitems({{u"0000"_s, 1, 5, 100, 500, u"AA(X)"_s, QVariant(), QVariant()}});
    p.t.data.onContains(kInternos, u"SELECT * FROM ART WHERE INTNRO = 'PRC'"_s,
                        rows({u"DECLARACION_CANCELA"_s}, {{QString()}}));
    const QString xml = Getsubitemsinfo_sinsubitem_ex(p.t.rt, p.input(1, 500, 500, 10, 5), p.list);
    EXPECT_TRUE(xml.startsWith(u"<declarationItemProduct><productSequenceNumber>0000</productSequenceNumber>"
                               u"<productPartNumber></productPartNumber>"
                               u"<productDescription></productDescription><productQuantity>"_s));
    EXPECT_TRUE(xml.contains(u"<productGrossWeight>0.00</productGrossWeight>"
                             u"<productReferenceCode></productReferenceCode><productDJAINumber>"_s));
    EXPECT_TRUE(p.t.data.statements(kInternos).filter(u"SUBITEMS"_s).isEmpty());
}

TEST(ImportProducts, LicenceItemCancelledAsAWholeCarriesTheItemsFullAmounts)
{
    struct Case {
        const char *name;
        bool sinSubitems;
        QVariantList subitem;
        double rate, cif;
        QString figures;  // from the expenses to the net weight
    };
    // Item 0002: FOB 1000 in the currency, freight 50, insurance 20, adjustments 10 and 5, net
    // weight 25, quantity 10. Cancelling its licence item as a whole, the subitem's part of the
    // FOB is the whole FOB, whatever its own FOB in dollars (1080 in euros at 1.08).
    const Case cases[] = {
        {"with subitems", false, {u"0001"_s, 2, 6, 100, 600, u"AA(X)"_s, 555, u"0005"_s}, 1, 1070,
         expenses("50.00", "20.00", "10.00", "5.00")
             + u"<productUnityCIFValue>110.00</productUnityCIFValue>"
               u"<productCIFValue>1100.00</productCIFValue>"
               u"<productCustomsValue>1100.00</productCustomsValue>"
               u"<productUnityNetWeight>4.1666667</productUnityNetWeight>"
               u"<productNetWeight>25.00</productNetWeight>"_s},
        // CIF 1134 in dollars: per unit 1134 / 10 / 1.08, in the currency 1134 / 1.08.
        {"without subitems, in euros", true, {u"0000"_s, 2, 10, 100, 1080, u"AA(X)"_s, QVariant(), u"0005"_s},
         1.08, 1134,
         expenses("50.00", "20.00", "10.00", "5.00")
             + u"<productUnityCIFValue>105.0000000</productUnityCIFValue>"
               u"<productCIFValue>1050.00</productCIFValue>"
               u"<productUnityNetWeight>2.5000000</productUnityNetWeight>"
               u"<productNetWeight>25.00</productNetWeight>"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Products p({{u"0002"_s, 10, 1000, 50, 20, 10, 5, 25, u"19001DJAI000001A"_s, u"0007"_s,
                     u"19001IC04000123A"_s}});
        p.t.rt.cfg.OMITIRRELACIONDJDI = true;
        p.subitems({c.subitem});
        p.t.data.onContains(kInternos, u"subitem_cancela from ART"_s, rows({u"s"_s}, {{u"0000"_s}}));
        p.t.data.onContains(kInternos, u"SUBITEM_CANCELA='0000'"_s,
                            rows(kArticleColumns, {article("L1", "LIC-1", 6, QVariant(), 1, "Lic", "0000")}));
        p.t.data.onContains(kHistorial, u"SELECT BASE_IMPONIBLE_DOL as total"_s, rows({u"total"_s}, {{1100}}));

        const ItemProductInput in = p.input(c.rate, c.cif, 1000, 25, 10);
        const QString xml = c.sinSubitems ? Getsubitemsinfo_sinsubitem_ex(p.t.rt, in, p.list)
                                          : Getsubitemsinfo_ex(p.t.rt, in, p.list);

        EXPECT_TRUE(xml.startsWith(u"<declarationItemProduct><productSequenceNumber>0000</productSequenceNumber>"
                                   u"<productPartNumber>L1</productPartNumber>"_s));
        EXPECT_TRUE(xml.contains(c.figures + kNoGross)) << xml.toStdString();
        EXPECT_TRUE(xml.contains(u"<productReferenceCode>LIC-1</productReferenceCode>"_s));
    }
}

TEST(ImportProducts, ACancellationStopsTheBuilder)
{
    // Under OMITIRRELACIONDJDI the licence lines of the first subitem are missing.
    Products p({{u"0002"_s, 10, 1000, 50, 20, 0, 0, 25, u"19001DJAI000001A"_s, u"0007"_s,
                 u"19001IC04000123A"_s}});
    p.t.rt.cfg.OMITIRRELACIONDJDI = true;
    p.subitems({{u"0001"_s, 2, 6, 100, 600, u"AA(X)"_s, 555, u"0005"_s},
                {u"0002"_s, 2, 4, 100, 400, u"AA(Y)"_s, 370, u"0006"_s}});
    EXPECT_EQ(Getsubitemsinfo_ex(p.t.rt, p.input(1, 1070, 1000, 25, 10), p.list), u"<declarationItemProduct>"_s);
    EXPECT_TRUE(p.t.rt.generacionCancelada);
    EXPECT_EQ(p.t.boxes.messages().size(), 1);
    EXPECT_EQ(p.t.data.statements(kInternos).filter(u"SUBITEM_CANCELA='0002'"_s).size(), 0);
    // The item's customs value belongs to a product: none was reached.
    EXPECT_TRUE(p.t.data.statements(kHistorial).filter(u"BASE_IMPONIBLE_DOL as total"_s).isEmpty());
}

TEST(ImportProducts, EachProductReadsTheItemsCustomsValue)
{
    // The customs value's answer lacks its column: its box shows once per product.
    Products p({{u"0002"_s, 10, 1000, 50, 20, 0, 0, 25, QVariant(), QVariant(), u"19001IC04000123A"_s}});
    p.subitems({{u"0001"_s, 2, 6, 100, 600, u"AA(X)"_s, 555, QVariant()},
                {u"0002"_s, 2, 4, 100, 400, u"AA(Y)"_s, 370, QVariant()}});
    p.articles(u"0001"_s, {article("A1", "R1", 6, QVariant(), 1, "Uno", "0001")});
    p.articles(u"0002"_s, {article("B1", "S1", 4, QVariant(), 2, "Dos", "0002")});
    p.t.data.onContains(kHistorial, u"SELECT BASE_IMPONIBLE_DOL as total"_s, rows({u"otro"_s}, {{1100}}));

    const QString xml = Getsubitemsinfo_ex(p.t.rt, p.input(1, 1070, 1000, 25, 10), p.list);

    EXPECT_EQ(xml.count(u"<productCustomsValue>0.00</productCustomsValue>"_s), 2);
    const QStringList texts = p.t.boxes.texts();
    ASSERT_EQ(texts.size(), 2);
    for (const QString &text : texts)
        EXPECT_TRUE(text.contains(u"in procedure GetVALORENADUANAItem of Módulo Mod_Main"_s)) << text.toStdString();
}

TEST(ImportProducts, ADivisionByZeroIsRaisedAgain)
{
    struct Case {
        const char *name;
        bool sinSubitems;
        double fob, quantity, subitemFob;
        QString source;
    };
    const Case cases[] = {
        {"item FOB 0, without subitems", true, 0, 5, 500, u"Getsubitemsinfo_sinsubitem_ex linea "_s},
        {"quantity 0, without subitems", true, 500, 0, 500, u"Getsubitemsinfo_sinsubitem_ex linea "_s},
        {"item FOB 0, with subitems", false, 0, 5, 500, u"Getsubitemsinfo_ex linea "_s},
        {"a subitem share of 0", false, 500, 5, 0, u"Getsubitemsinfo_ex linea "_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Products p({{u"0001"_s, 5, c.fob, 10, 0, 0, 0, 10, QVariant(), QVariant(), u"19001IC04000123A"_s}});
        p.subitems({{u"0001"_s, 1, 5, 100, c.subitemFob, u"AA(X)"_s, c.subitemFob, QVariant()}});
        p.articles(u"0001"_s, {article("A1", "R1", 5, QVariant(), 1, "Uno", "0001")});
        p.articles(u"0000"_s, {article("A1", "R1", 5, QVariant(), 1, "Uno", "0000")});
        const ItemProductInput in = p.input(1, 500, c.fob, 10, c.quantity);
        try {
            c.sinSubitems ? Getsubitemsinfo_sinsubitem_ex(p.t.rt, in, p.list) : Getsubitemsinfo_ex(p.t.rt, in, p.list);
            ADD_FAILURE() << "no error raised";
        } catch (const B2DError &e) {
            EXPECT_EQ(e.number(), ErrNo::Product);
            EXPECT_TRUE(e.source().startsWith(c.source)) << e.source().toStdString();
            EXPECT_TRUE(e.source().endsWith(u"::VelmoraB2D"_s)) << e.source().toStdString();
            EXPECT_EQ(e.description(), u"Division by zero"_s);
        }
        // Reported once, by the driver: no proration box on the way.
        EXPECT_TRUE(p.t.boxes.shown().isEmpty());
    }
}

TEST(ImportProducts, ReferenceCodeOfTheSingleArticleUnderTheRequiredDi)
{
    struct Case {
        const char *name;
        bool sinSubitems;
        bool omitir;
        QVariant diCancela;       // invalid: no DI
        QStringList inCaldra;
        QString processRC;        // as the header hands it
        QString code;             // "!": generation cancelled
    };
    const Case cases[] = {
        {"no DI, process interno loaded", true, false, {}, {u"PRC"_s}, u"PRC"_s, u"R1"_s},
        {"no DI, broker interno loaded", false, false, {}, {u"BRC"_s}, u"PRC"_s, u"R1"_s},
        {"no DI, interno missing", false, false, {}, {u"PRC"_s}, u"PRC"_s, u"!"_s},
        {"DI with licence data, without subitems", true, false, u"DJ"_s, {}, u"PRC"_s, u"R1"_s},
        {"DI, relation ignored, without subitems", true, true, QString(), {}, u"PRC"_s, u"R1"_s},
        {"DI without licence data, without subitems", true, false, QString(), {}, u"BRC"_s, u"DI-R1"_s},
        {"DI, broker interno not in Caldra", false, false, u"DJ"_s, {}, u"PRC"_s, u"DI-R1"_s},
        {"DI, broker interno in Caldra, licence data", false, false, u"DJ"_s, {u"BRC"_s}, u"PRC"_s, u"R1"_s},
        {"DI, process code is the interno", false, false, QString(), {u"BRC"_s}, u"BRC"_s, u"R1"_s},
        {"DI, relation ignored", false, true, QString(), {u"BRC"_s}, u"PRC"_s, u"R1"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Products p({{u"0001"_s, 5, 500, 0, 0, 0, 0, 10, u"DJ1"_s, u"0001"_s, u"19001IC04000123A"_s}});
        p.t.rt.cfg.REQDIIMPO = true;
        p.t.rt.cfg.OMITIRRELACIONDJDI = c.omitir;
        const QString nro = c.sinSubitems ? u"0000"_s : u"0001"_s;
        p.subitems({{nro, 1, 5, 100, 500, u"AA(X)"_s, 500, QVariant()}});
        const QList<QVariantList> one{article("A1", "R1", 5, QVariant(), 1, "Uno", "0001")};
        p.articles(nro, one);
        p.t.data.onContains(kInternos, u"ARTNRO as IDARTICULO"_s, rows(kArticleColumns, one));
        p.t.data.onContains(kInternos, u"From GroupSubitems"_s,
                            rows({u"CANTIDAD"_s, u"FOB"_s, u"NROSUBITEM"_s}, {{5, 500, nro}}));
        if (c.diCancela.isValid())
            p.t.data.onContains(kInternos, u"SELECT * FROM ART WHERE INTNRO = 'PRC'"_s,
                                rows({u"DECLARACION_CANCELA"_s}, {{c.diCancela}}));
        for (const QString &interno : c.inCaldra)
            p.t.data.onContains(kInternos, u"from Caratula where Interno = '"_s + interno + u"'"_s,
                                rows({u"Interno"_s}, {{interno}}));
        p.t.data.onContains(kInternos, u"b.itemreferencecode =  'R1'"_s, rows({u"ITR2"_s}, {{u"DI-R1"_s}}));
        ItemProductInput in = p.input(1, 500, 500, 10, 5);
        in.processReferenceCode = c.processRC;

        const QString xml = c.sinSubitems ? Getsubitemsinfo_sinsubitem_ex(p.t.rt, in, p.list)
                                          : Getsubitemsinfo_ex(p.t.rt, in, p.list);

        if (c.code == u"!"_s) {
            EXPECT_TRUE(p.t.rt.generacionCancelada);
            EXPECT_FALSE(xml.contains(u"productReferenceCode"_s));
            EXPECT_FALSE(xml.endsWith(u"</declarationItemProduct>"_s));
            ASSERT_EQ(p.t.boxes.messages().size(), 1);
            EXPECT_EQ(p.t.boxes.messages()[0].title, u"Requerimientos de generacion del DI incompleto."_s);
            continue;
        }
        EXPECT_FALSE(p.t.rt.generacionCancelada);
        EXPECT_TRUE(xml.contains(u"<productReferenceCode>"_s + c.code + u"</productReferenceCode>"_s))
            << xml.toStdString();
    }
}
