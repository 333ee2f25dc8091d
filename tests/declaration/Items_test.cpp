#include "support/TestSupport.h"

#include "declaration/Builders.h"
#include "declaration/Items.h"
#include "declaration/SubitemLookups.h"
#include "runtime/Errors.h"

#include <gtest/gtest.h>

#include <optional>

using namespace b2d;
using namespace Qt::StringLiterals;
using b2d::test::TestRun;

namespace {

const QString H = u"HISTORIAL"_s;
const QString kDespacho = u"19001IC04'0123A"_s;
const QString kDespachoQ = u"19001IC04''0123A"_s;

// Every column of both item statements.
const QStringList kItemColumns = {
    u"NRO_ITEM"_s, u"POSICION_ARANCELARIA"_s, u"CANTIDAD_ESTADISTICA"_s, u"UNIDAD_ESTADISTICA"_s,
    u"MONTO_FOB_DIV"_s, u"BASE_IMPONIBLE_DOL"_s, u"MONTO_FLETE"_s, u"MONTO_SEGURO"_s,
    u"PESO_NETO_KGR"_s, u"EXISTENCIA_SUBITEM"_s, u"CANTIDAD_DECLARADA"_s, u"PRECIO_UNITARIO"_s,
    u"MONTO_FOB_DOL"_s, u"VALOR_CIF_ITEM"_s, u"BID"_s, u"AAI"_s, u"AAD"_s,
    u"DECLARACION_A_CANCELAR"_s, u"NRO_ITEM_A_CANCELAR"_s, u"UNIDAD_DECLARADA"_s, u"PAIS_ORIGEN"_s,
    u"PAIS_PROCEDENCIA"_s, u"ESTADO_MERCADERIA"_s, u"AJUSTE_A_INCLUIR"_s, u"AJUSTE_A_DEDUCIR"_s,
    u"IDN_DESPACHO"_s};

// One item row: distinct figures everywhere, so that a figure read from the wrong column shows.
QVariantList itemRow(const QString &item, const QString &subitems = u"N"_s)
{
    return {item, u"8471.30.12.100A"_s, 40, u"07"_s, 800.0, 1234.0, 40.0, 12.5, 96.125, subitems,
            16, 50.0, 1000.0, 9999.0, 1000.0, 30.0, 5.0, u"19001DJAI0001X"_s, u"0003"_s, u"07"_s,
            u"310"_s, u"320"_s, u"2"_s, 31.0, 4.0, kDespacho};
}

ResultSet items(const QList<QVariantList> &values)
{
    return rows(kItemColumns, values);
}

QString el(const QString &tag, const QString &text)
{
    return u"<%1>%2</%1>"_s.arg(tag, text);
}

QString expense(const QString &type, const QString &value, const QString &currency)
{
    return el(u"declarationItemExpense"_s, el(u"expenseType"_s, type) + el(u"expenseValue"_s, value)
                                               + el(u"expenseCurrency"_s, currency));
}

// What the fake builders of a test were called with.
struct Calls {
    QStringList products;           // "slot:item"
    std::optional<ItemProductInput> lastInput;
    QStringList entities;           // "interno|item|invoice|query"
    QList<QStringList> entityQueries;
};

// Builders that record their calls: each product builder writes "<P slot/>" and, when `article`
// is given for the item, adds it to the article list.
DeclarationBuilders fakeBuilders(Calls &calls, const QMap<QString, QStringList> &articlesOf = {})
{
    DeclarationBuilders b;
    auto product = [&calls, articlesOf](const QString &slot) {
        return [&calls, articlesOf, slot](Runtime &, const ItemProductInput &in, QStringList &articles) -> QString {
            calls.products << slot + u':' + in.itemNumber;
            calls.lastInput.emplace(in);
            articles << articlesOf.value(in.itemNumber);
            return u"<P>"_s + slot + u"</P>"_s;
        };
    };
    b.importProductsWithSubitems = product(u"impoSub"_s);
    b.importProductsWithoutSubitems = product(u"impo"_s);
    b.exportProductsWithoutSubitems = product(u"expo"_s);
    b.exportProductElement = [&calls](Runtime &, const Recordset &, const Recordset &, const Recordset &,
                                      const QString &item, const QString &, double, double, double,
                                      double, double, bool) {
        calls.products << u"expoSubitem:"_s + item;
        return u"<P>expoSubitem</P>"_s;
    };
    b.importEntity = [&calls](Runtime &, const QString &interno, int item, const QString &invoice,
                              const QString &query) {
        calls.entities << u"%1|%2|%3|%4"_s.arg(interno).arg(item).arg(invoice, query);
        return u"<E/>"_s;
    };
    b.importEntityQuery = [&calls](Runtime &, const QString &interno, const QStringList &articles) -> QString {
        calls.entityQueries << articles;
        return u"QUERY OF "_s + interno;
    };
    return b;
}

void setUp(TestRun &t, const QString &subregimen = u"I"_s)
{
    t.rt.Despacho = kDespacho;
    t.rt.subregimen = subregimen;
    t.rt.cfg.IGNORARRELACIONCONCEPTO = true;
}

QString run(TestRun &t, const DeclarationBuilders &b, const QString &monedaFob = u"USD"_s)
{
    return GetItemInfo(t.rt, b, monedaFob, u"USD"_s, u"EUR"_s, u"FOB"_s, u"19-0412"_s,
                       t.rt.subregimen, u"2019/77"_s);
}

}  // namespace

// The two item statements, and the item CIF each currency gives: in dollars the FOB, insurance
// and freight in dollars; in another currency the base in that currency at the declaration's
// rate plus the adjustments to include minus those to deduct.
TEST(Items, StatementAndCifFollowTheFobCurrency)
{
    struct Case {
        QString moneda;
        QString statement;
        QString cif;
        QStringList rateStatements;
    };
    const QList<Case> cases = {
        {u"USD"_s,
         u"SELECT NRO_ITEM,POSICION_ARANCELARIA,CANTIDAD_ESTADISTICA,UNIDAD_ESTADISTICA, MONTO_FOB_DIV,"
         u"BASE_IMPONIBLE_DOL,MONTO_FLETE,MONTO_SEGURO,PESO_NETO_KGR,EXISTENCIA_SUBITEM,CANTIDAD_DECLARADA,"
         u"PRECIO_UNITARIO,MONTO_FOB_DOL, SUM(CAST(BASE_IMPONIBLE_DIV AS FLOAT) - CAST(AJUSTE_A_INCLUIR AS "
         u"FLOAT) + CAST(AJUSTE_A_DEDUCIR AS FLOAT)) AS VALOR_CIF_ITEM , DECLARACION_A_CANCELAR, "
         u"NRO_ITEM_A_CANCELAR ,UNIDAD_DECLARADA, PAIS_ORIGEN,PAIS_PROCEDENCIA,ESTADO_MERCADERIA,"
         u"AJUSTE_A_INCLUIR,AJUSTE_A_DEDUCIR,IDN_DESPACHO FROM ITEMS_ARTICULOS WHERE IDN_DESPACHO = "
         u"'19001IC04''0123A' GROUP BY NRO_ITEM, POSICION_ARANCELARIA,CANTIDAD_ESTADISTICA,"
         u"UNIDAD_ESTADISTICA,MONTO_FOB_DIV,BASE_IMPONIBLE_DOL,MONTO_FLETE,MONTO_SEGURO,PESO_NETO_KGR,"
         u"EXISTENCIA_SUBITEM,CANTIDAD_DECLARADA,PRECIO_UNITARIO,MONTO_FOB_DOL , DECLARACION_A_CANCELAR, "
         u"NRO_ITEM_A_CANCELAR , UNIDAD_DECLARADA, PAIS_ORIGEN,PAIS_PROCEDENCIA,ESTADO_MERCADERIA,"
         u"AJUSTE_A_INCLUIR,AJUSTE_A_DEDUCIR,IDN_DESPACHO ORDER BY NRO_ITEM"_s,
         // 1000 + 12.5 + 40
         u"1052.50"_s,
         {}},
        {u"EUR"_s,
         u"SELECT NRO_ITEM, POSICION_ARANCELARIA, CANTIDAD_ESTADISTICA, UNIDAD_ESTADISTICA, MONTO_FOB_DIV, "
         u"BASE_IMPONIBLE_DOL, MONTO_FLETE, MONTO_SEGURO, PESO_NETO_KGR, EXISTENCIA_SUBITEM, "
         u"CANTIDAD_DECLARADA, PRECIO_UNITARIO, MONTO_FOB_DOL, DECLARACION_A_CANCELAR, NRO_ITEM_A_CANCELAR, "
         u" SUM(CAST(BASE_IMPONIBLE_DIV AS FLOAT)) as BID, SUM(CAST(AJUSTE_A_INCLUIR AS FLOAT)) as AAI, "
         u"SUM(CAST(AJUSTE_A_DEDUCIR AS FLOAT)) as AAD  , UNIDAD_DECLARADA , PAIS_ORIGEN,PAIS_PROCEDENCIA,"
         u"ESTADO_MERCADERIA,AJUSTE_A_INCLUIR,AJUSTE_A_DEDUCIR,IDN_DESPACHO FROM ITEMS_ARTICULOS WHERE "
         u"IDN_DESPACHO = '19001IC04''0123A' GROUP BY NRO_ITEM, POSICION_ARANCELARIA, "
         u"CANTIDAD_ESTADISTICA, UNIDAD_ESTADISTICA, MONTO_FOB_DIV, BASE_IMPONIBLE_DOL, MONTO_FLETE, "
         u"MONTO_SEGURO, PESO_NETO_KGR, EXISTENCIA_SUBITEM, CANTIDAD_DECLARADA, PRECIO_UNITARIO, "
         u"MONTO_FOB_DOL,  DECLARACION_A_CANCELAR, NRO_ITEM_A_CANCELAR ,base_imponible_div, "
         u"ajuste_a_incluir, ajuste_a_deducir , UNIDAD_DECLARADA ,PAIS_ORIGEN,PAIS_PROCEDENCIA, "
         u"ESTADO_MERCADERIA,IDN_DESPACHO ORDER BY NRO_ITEM"_s,
         // 1000 x 1.25 + 30 - 5
         u"1275.00"_s,
         {u"Insert INTO Despacho_TiposCambio (Moneda,Despacho,Valor) Values('EUR','19001IC04''0123A',"
          u"'01.25')"_s}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.moneda.toStdString());
        TestRun t;
        setUp(t);
        Calls calls;
        t.data.onContains(H, u"ORDER BY NRO_ITEM"_s, items({itemRow(u"0001"_s)}));
        t.data.onContains(H, u"as TipoDeCambio"_s, rows({u"TipoDeCambio"_s}, {{1.2549}}));
        const QString xml = run(t, fakeBuilders(calls), c.moneda);
        ASSERT_FALSE(t.data.statements(H).isEmpty());
        EXPECT_EQ(t.data.statements(H).first(), c.statement);
        EXPECT_TRUE(xml.contains(el(u"declarationItemCIFValue"_s, c.cif)
                                 + el(u"declarationItemCustomsValue"_s, c.cif)))
            << xml.toStdString();
        QStringList writes;
        for (const RecordingData::Call &call : t.data.calls())
            if (call.write)
                writes << call.sql;
        EXPECT_EQ(writes, c.rateStatements);
        ASSERT_TRUE(calls.lastInput.has_value());
        EXPECT_EQ(calls.lastInput->cif, c.cif.toDouble());
        EXPECT_EQ(calls.lastInput->rate, c.moneda == u"USD"_s ? 1.0 : 1.25);
    }
}

// The 18 elements of an item in their order: import items with their four expenses (adjustments
// in the insurance currency), export items without; the products, parties and bank after the
// weights.
TEST(Items, ElementsComeInTheirOrder)
{
    for (const QString &subregimen : {u"I"_s, u"E"_s}) {
        SCOPED_TRACE(subregimen.toStdString());
        TestRun t;
        setUp(t, subregimen);
        t.rt.cfg.INCLUIRDETALLEJURIS = true;
        t.rt.cfg.CONCEPTOSSIM = true;
        Calls calls;
        t.data.onContains(H, u"ORDER BY NRO_ITEM"_s, items({itemRow(u"0001"_s)}));
        t.data.onContains(u"NCM"_s, u"from ncm"_s,
                          rows({u"desc1"_s, u"desc2"_s, u"desc3"_s, u"desc4"_s},
                               {{u"MAQUINAS"_s, u"PORTATILES & <10 KG>"_s, u""_s, u"LAS DEMAS"_s}}));
        t.data.onContains(H, u"SELECT DISTINCT ITEMS_LIQUIDACION_ITEM"_s,
                          rows({u"MONTO"_s, u"BASE_IMPONIBLE"_s, u"COEFICIENTE"_s, u"CODIGO_CONCEPTO"_s,
                                u"TIPO_OBLIGACION"_s},
                               {{10, 100, 10, u"010"_s, u"A"_s}}));
        t.data.onContains(H, u"FROM TAX WHERE"_s, rows({u"LTAXABR"_s}, {{u"DERECHOS"_s}}));
        t.data.onContains(H, u"LEFT JOIN CARATULA_INGRESOS_BRUTOS"_s,
                          rows({u"NombreConcepto"_s, u"CODIGOJRDMARIA"_s, u"TIPO_OBLIGACION"_s,
                                u"MONTOITEM"_s, u"MONTO_CONCEPTO"_s, u"PORC_DISTRIBUCION"_s},
                               {{u"CORDOBA"_s, u"452"_s, u"A"_s, 3, 6, 0.5}}));
        t.data.onContains(H, u"CARATULA_CARATULA.PESO_BRUTO_BULTOS"_s,
                          rows({u"VALOR"_s, u"VALORTOTAL"_s, u"VALORCALCULADO"_s}, {{800, 1000, 150}}));
        t.data.onContains(H, u"ITEMS_INFORMACION_COMPLEMENTARIAS"_s,
                          rows({u"Valor"_s}, {{u"BANCO NACION"_s}}));
        const QStringList twoArticles = {u"7|||F-1"_s, u"8|||F-1"_s};
        const QString xml = run(t, fakeBuilders(calls, {{u"0001"_s, twoArticles}}));

        const bool impo = subregimen == u"I"_s;
        const QString expected =
            u"<declarationItem>"_s + el(u"declarationItemSequenceNumber"_s, u"0001"_s)
            + el(u"declarationItemHTS"_s, u"84713012100A"_s)
            + el(u"declarationItemHTSDescription"_s, u"MAQUINAS PORTATILES &amp; &lt;10 KG&gt;  LAS DEMAS"_s)
            + el(u"declarationItemStatisticalQuantity"_s, u"40.00"_s)
            + el(u"declarationItemStatisticalUnity"_s, u"07"_s) + el(u"declarationItemIncoterm"_s, u"FOB"_s)
            + el(u"declarationItemCurrency"_s, u"USD"_s) + el(u"declarationItemFOBValue"_s, u"800.00"_s)
            + (impo ? expense(u"FREIGHT"_s, u"40.00"_s, u"USD"_s) + expense(u"INSURANCE"_s, u"12.50"_s, u"EUR"_s)
                          + expense(u"AJUSTES A INCLUIR"_s, u"31.00"_s, u"EUR"_s)
                          + expense(u"AJUSTES A DEDUCIR"_s, u"4.00"_s, u"EUR"_s)
                    : QString())
            + el(u"declarationItemCIFValue"_s, u"1052.50"_s) + el(u"declarationItemCustomsValue"_s, u"1052.50"_s)
            + u"<declarationItemDuty><dutyType>010</dutyType><dutyValue>10.00</dutyValue><dutyCurrency>USD"
              u"</dutyCurrency><dutyBasisOfCalculus>100.00</dutyBasisOfCalculus><dutyPercentage>10.00"
              u"</dutyPercentage></declarationItemDuty>"_s
            + u"<declarationItemDuty><dutyType>452</dutyType><dutyValue>3.00</dutyValue><dutyCurrency>USD"
              u"</dutyCurrency><dutyBasisOfCalculus>6.00</dutyBasisOfCalculus><dutyPercentage>0.50"
              u"</dutyPercentage></declarationItemDuty>"_s
            + el(u"declarationItemNetWeight"_s, u"96.13"_s) + el(u"declarationItemGrossWeight"_s, u"120.00"_s)
            + u"<P>"_s + (impo ? u"impo"_s : u"expo"_s) + u"</P>"_s + u"<E/>"_s
            + u"<declarationItemFlexField><flexFieldName>BANCO</flexFieldName><flexFieldValue>BANCO NACION"
              u"</flexFieldValue></declarationItemFlexField>"_s
            + u"</declarationItem>"_s;
        EXPECT_EQ(xml, expected);
        EXPECT_TRUE(t.boxes.shown().isEmpty());
        EXPECT_TRUE(t.logText().contains(u"***** [ Procesando Item: 0001 ] *****"_s));
        EXPECT_TRUE(t.logText().contains(u"EL ITEM 0001: no tiene subitems"_s));
    }
}

// The reads of an import item, and their boxes, come in the order of its elements: tariff text,
// the four expense mappings, the duties, the net weight, the gross weight, the bank.
TEST(Items, ReadsOfAnImportItemComeInTheOrderOfItsElements)
{
    TestRun t;
    setUp(t);
    t.rt.cfg.IGNORARRELACIONCONCEPTO = false;
    Calls calls;
    QVariantList row = itemRow(u"0001"_s);
    row[kItemColumns.indexOf(u"PESO_NETO_KGR"_s)] = u"9.6,125"_s;  // a number the item cannot read
    t.data.onContains(H, u"ORDER BY NRO_ITEM"_s, items({row}));
    t.data.onContains(H, u"CARATULA_CARATULA.PESO_BRUTO_BULTOS"_s, rows({u"OTRA"_s}, {{1}}));
    run(t, fakeBuilders(calls));

    const QStringList marks = {u"from ncm"_s, u"='FREIGHT'"_s, u"='INSURANCE'"_s, u"='AJUSTES A INCLUIR'"_s,
                               u"='AJUSTES A DEDUCIR'"_s, u"ITEMS_LIQUIDACION_ITEM"_s,
                               u"CARATULA_CARATULA.PESO_BRUTO_BULTOS"_s, u"'BANCOSARGENTINA'"_s};
    QStringList seen;
    for (const QString &sql : t.data.statements())
        for (const QString &mark : marks)
            if (sql.contains(mark) && !seen.contains(mark))
                seen << mark;
    EXPECT_EQ(seen, marks);
    const QStringList boxes = t.boxes.texts();
    // The net weight, the gross weight, then the net weight again as the products' figure.
    ASSERT_EQ(boxes.size(), 3) << boxes.join(u"\n--\n"_s).toStdString();
    EXPECT_TRUE(boxes[0].contains(u"in procedure EsNumero"_s)) << boxes[0].toStdString();
    EXPECT_TRUE(boxes[1].contains(u"in procedure GetKILOBRUTOItem"_s)) << boxes[1].toStdString();
    EXPECT_TRUE(boxes[2].contains(u"in procedure EsNumero"_s)) << boxes[2].toStdString();
}

// Which builder writes the products: by subitems and by kind of declaration. The builder gets
// the item's figures as numbers and the codes of the declaration.
TEST(Items, ProductDetailGoesToTheBuilderOfItsKind)
{
    struct Case {
        const char *subregimen;
        const char *subitems;
        QString builder;
        QString trace;
    };
    const Case cases[] = {
        {"I", "S", u"impoSub:0001"_s, u"EL ITEM 0001: tiene subitems"_s},
        {"D", "N", u"impo:0001"_s, u"EL ITEM 0001: no tiene subitems"_s},
        {"E", "N", u"expo:0001"_s, u"EL ITEM 0001: no tiene subitems"_s},
        {"R", "S", u"expoSubitem:0001"_s, u"EL ITEM 0001: tiene subitems"_s},
        // Only "S" marks subitems.
        {"E", "s", u"expo:0001"_s, u"EL ITEM 0001: no tiene subitems"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.builder.toStdString() + " " + c.subitems);
        TestRun t;
        setUp(t, QLatin1String(c.subregimen));
        Calls calls;
        t.data.onContains(H, u"ORDER BY NRO_ITEM"_s, items({itemRow(u"0001"_s, QLatin1String(c.subitems))}));
        t.data.onContains(H, u"FROM ITEMS_SUBITEMS"_s,
                          rows({u"NRO_SUBITEM"_s, u"IDN_ITEM"_s, u"CANTIDAD_DECLARADA"_s, u"MONTO_FOB_DOL"_s},
                               {{u"0001"_s, 1, 16, 800}}));
        t.data.onContains(u"INTERNOS"_s, u"From Subitems"_s, rows({u"IdArticulo"_s}, {{u"A1"_s}}));
        const QString xml = run(t, fakeBuilders(calls));
        EXPECT_EQ(calls.products, QStringList{c.builder});
        EXPECT_TRUE(xml.contains(u"<P>"_s + c.builder.section(u':', 0, 0) + u"</P>"_s)) << xml.toStdString();
        EXPECT_TRUE(t.logText().contains(c.trace));
        if (c.builder.startsWith(u"expoSubitem"_s)) {
            EXPECT_TRUE(t.data.statements(H).contains(
                u"SELECT NRO_SUBITEM,IDN_ITEM,CANTIDAD_DECLARADA,PRECIO_UNITARIO,MONTO_FOB_DOL,"
                u"SUFIJOS_DE_VALOR,MONTO_FOB,REFERENCIA FROM ITEMS_SUBITEMS WHERE IDN_DESPACHO = "
                u"'19001IC04''0123A' AND IDN_ITEM = 0001 order by nro_subitem"_s));
            continue;
        }
        ASSERT_TRUE(calls.lastInput.has_value());
        const ItemProductInput &in = *calls.lastInput;
        EXPECT_EQ(in.itemNumber, u"0001"_s);
        EXPECT_EQ(in.declaracionACancelar, u"19001DJAI0001X"_s);
        EXPECT_EQ(in.nroItemACancelar, u"0003"_s);
        EXPECT_EQ(in.fobDiv, 800.0);
        EXPECT_EQ(in.netWeight, 96.125);
        EXPECT_EQ(in.cantidadDeclarada, 16.0);
        EXPECT_EQ(in.cif, 1052.5);
        EXPECT_EQ(in.brokerReferenceCode, u"19-0412"_s);
        EXPECT_EQ(in.processReferenceCode, u"2019/77"_s);
        EXPECT_EQ(in.monedaFob + in.monedaFlete + in.monedaSeguro, u"USDUSDEUR"_s);
    }
}

// An empty product slot writes no product; the item keeps everything else.
TEST(Items, AnEmptyProductSlotWritesNoProduct)
{
    TestRun t;
    setUp(t);
    t.data.onContains(H, u"ORDER BY NRO_ITEM"_s, items({itemRow(u"0001"_s)}));
    DeclarationBuilders none;
    const QString xml = run(t, none);
    EXPECT_TRUE(xml.startsWith(u"<declarationItem><declarationItemSequenceNumber>0001"_s));
    EXPECT_TRUE(xml.endsWith(u"<declarationItemGrossWeight></declarationItemGrossWeight></declarationItem>"_s))
        << xml.toStdString();
}

// The parties of an item come from its own article list: one entry by its article and invoice,
// several through one prepared query, none without a call. The list starts empty for every item.
TEST(Items, EntitiesComeFromTheItemsOwnArticleList)
{
    struct Case {
        const char *name;
        bool omitirRelacion;
        QStringList articlesOfItem1;
        QStringList entities;
        QList<QStringList> queries;
    };
    const QList<Case> cases = {
        {"none", false, {}, {}, {}},
        {"one", false, {u"0012|||F-1|||x"_s}, {u"19-0412|12|F-1|||x|"_s}, {}},
        {"one under the process code", true, {u"12|||F-1"_s}, {u"2019/77|12|F-1|"_s}, {}},
        {"two", false, {u"12|||F-1"_s, u"13|||F-2"_s},
         {u"19-0412|0||QUERY OF 19-0412"_s},
         {{QString(), u"12|||F-1"_s, u"13|||F-2"_s}}},
        {"two under the process code", true, {u"12|||F-1"_s, u"13|||F-2"_s},
         {u"2019/77|0||QUERY OF 19-0412"_s},
         {{QString(), u"12|||F-1"_s, u"13|||F-2"_s}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestRun t;
        setUp(t);
        t.rt.cfg.OMITIRRELACIONDJDI = c.omitirRelacion;
        Calls calls;
        // Item 2's builder adds nothing: it must not inherit item 1's articles.
        t.data.onContains(H, u"ORDER BY NRO_ITEM"_s, items({itemRow(u"0001"_s), itemRow(u"0002"_s)}));
        run(t, fakeBuilders(calls, {{u"0001"_s, c.articlesOfItem1}}));
        EXPECT_EQ(calls.entities, c.entities);
        EXPECT_EQ(calls.entityQueries, c.queries);
    }
}

TEST(Items, ExportItemWithSubitemsHasNoPartiesOfThePreviousItem)
{
    TestRun t;
    setUp(t, u"E"_s);
    Calls calls;
    t.data.onContains(H, u"ORDER BY NRO_ITEM"_s,
                      items({itemRow(u"0001"_s), itemRow(u"0002"_s, u"S"_s)}));
    run(t, fakeBuilders(calls, {{u"0001"_s, {u"12|||F-1"_s}}}));
    EXPECT_EQ(calls.entities, QStringList{u"19-0412|12|F-1|"_s});
}

// The bank of an item: the last row of its complementary information, escaped; none without a
// value.
TEST(Items, BankFlexFieldTakesTheLastValue)
{
    struct Case {
        QList<QVariantList> values;
        QString expected;
    };
    const QList<Case> cases = {
        {{}, QString()},
        {{{QVariant()}}, QString()},
        {{{u"BANCO VIEJO"_s}, {u"BANCO & HIJOS <SA>"_s}},
         u"<declarationItemFlexField><flexFieldName>BANCO</flexFieldName><flexFieldValue>BANCO &amp; "
         u"HIJOS &lt;SA&gt;</flexFieldValue></declarationItemFlexField>"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        TestRun t;
        setUp(t);
        Recordset item(items({itemRow(u"0'7"_s)}));
        if (!c.values.isEmpty())
            t.data.onContains(H, u"ITEMS_INFORMACION_COMPLEMENTARIAS"_s, rows({u"Valor"_s}, c.values));
        EXPECT_EQ(GetDeclarationsItemFlexField_InformacionComplementaria(t.rt, item), c.expected);
        EXPECT_EQ(t.data.statements(H),
                  QStringList{u"Select Valor From ITEMS_INFORMACION_COMPLEMENTARIAS where IDN_Despacho ='"_s
                              + kDespachoQ + u"' and IDN_ITEM  = '0''7' and Codigo = 'BANCOSARGENTINA'"_s});
    }
}

// A failure inside the items is raised again to the driver, with the step where it happened.
TEST(Items, FailuresAreRaisedAgainToTheDriver)
{
    struct Case {
        const char *name;
        QString failOn;
        QString source;
        QStringList articles;  // what the product builder leaves in the article list
        QString description;   // when given
    };
    const QList<Case> cases = {
        {"item row without a column", QString(), u"GetItemInfo linea 50 :: ADODB.Recordset"_s},
        {"tariff table", u"from ncm"_s,
         u"GetItemInfo linea 50 :: [ getNCMDescripcion.clMain.getProcductInfo Linea 30 ]"_s},
        // The bare description; the article line at fault goes to the run log.
        {"article line that is no number", u"-"_s, u"GetItemInfo linea 100 :: VelmoraB2D"_s,
         {u"7a|||F-1"_s}, u"Type mismatch"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestRun t;
        setUp(t);
        QStringList columns = kItemColumns;
        QVariantList row = itemRow(u"0001"_s);
        if (c.failOn.isEmpty()) {
            columns.removeAt(1);  // POSICION_ARANCELARIA
            row.removeAt(1);
        } else if (c.articles.isEmpty()) {
            t.data.onContains(u"NCM"_s, c.failOn, rows({u"desc1"_s}, {{u"X"_s}}));
        }
        t.data.onContains(H, u"ORDER BY NRO_ITEM"_s, rows(columns, {row}));
        Calls calls;
        try {
            run(t, fakeBuilders(calls, {{u"0001"_s, c.articles}}));
            ADD_FAILURE() << "no failure raised";
        } catch (const B2DError &e) {
            EXPECT_EQ(e.number(), ErrNo::Builder);
            EXPECT_EQ(e.source(), c.source);
            if (!c.description.isEmpty())
                EXPECT_EQ(e.description(), c.description);
        }
        for (const QString &entry : c.articles)
            EXPECT_TRUE(t.logText().contains(u"article line \"%1\""_s.arg(entry.section(u"|||"_s, 0, 0))));
        EXPECT_EQ(calls.products.size(), c.articles.size());
    }
}

// A product builder that cancels the generation stops the items at once.
TEST(Items, CancelledGenerationStopsTheItems)
{
    TestRun t;
    setUp(t);
    t.data.onContains(H, u"ORDER BY NRO_ITEM"_s, items({itemRow(u"0001"_s), itemRow(u"0002"_s)}));
    DeclarationBuilders b;
    int calls = 0;
    b.importProductsWithoutSubitems = [&calls](Runtime &rt, const ItemProductInput &, QStringList &) {
        ++calls;
        rt.generacionCancelada = true;
        return u"<P/>"_s;
    };
    EXPECT_EQ(run(t, b), QString());
    EXPECT_EQ(calls, 1);
}

TEST(Items, NoItemRowsGiveNoItems)
{
    TestRun t;
    setUp(t);
    Calls calls;
    EXPECT_EQ(run(t, fakeBuilders(calls)), QString());
    EXPECT_TRUE(calls.products.isEmpty());
}

// Gross weight: the declaration's gross weight shared by the item's FOB; a declaration FOB of 0
// is reported by the proration and gives 0.00. Customs value: the item's base in dollars.
TEST(Items, GrossWeightAndCustomsValueOfAnItem)
{
    TestRun t;
    setUp(t);
    const QString kilo = u"SELECT CAST(ITEMS_ARTICULOS.MONTO_FOB_DIV as float) as VALOR,CAST(CARATULA_CARATULA."
                         u"MONTO_FOB as float) as VALORTOTAL,CAST(CARATULA_CARATULA.PESO_BRUTO_BULTOS as float) "
                         u"as VALORCALCULADO FROM ITEMS_ARTICULOS , CARATULA_CARATULA WHERE "
                         u"ITEMS_ARTICULOS.IDN_DESPACHO = '19001IC04''0123A' AND ITEMS_ARTICULOS.IDN_DESPACHO = "
                         u"CARATULA_CARATULA.DESPACHO  AND ITEMS_ARTICULOS.NRO_ITEM = '0001'"_s;
    const QStringList columns = {u"VALOR"_s, u"VALORTOTAL"_s, u"VALORCALCULADO"_s};
    t.data.onExact(H, kilo, rows(columns, {{8000, 10000, 130.4}}));
    EXPECT_EQ(GetKILOBRUTOItem(t.rt, u"0001"_s), u"104.32"_s);
    EXPECT_EQ(t.data.statements(H), QStringList{kilo});
    EXPECT_TRUE(t.boxes.shown().isEmpty());

    t.data.onExact(H, kilo, rows(columns, {{8000, 0, 130.4}}));
    EXPECT_EQ(GetKILOBRUTOItem(t.rt, u"0001"_s), u"0.00"_s);
    ASSERT_EQ(t.boxes.messages().size(), 1);
    EXPECT_TRUE(t.boxes.messages().at(0).text.endsWith(u"in procedure CalcularProrrateo of Módulo Mod_Main - "_s));

    t.boxes.clear();
    t.data.onExact(H, kilo, rows({u"VALOR"_s}, {{8000}}));
    EXPECT_EQ(GetKILOBRUTOItem(t.rt, u"0001"_s), QString());
    ASSERT_EQ(t.boxes.messages().size(), 1);
    EXPECT_TRUE(t.boxes.messages().at(0).text.endsWith(u"in procedure GetKILOBRUTOItem of Módulo Mod_Main - "_s));

    t.data.clearCalls();
    t.data.onContains(H, u"as total"_s, rows({u"total"_s}, {{u"10410.515"_s}}));
    EXPECT_EQ(GetVALORENADUANAItem(t.rt, u"0001"_s), u"10410.52"_s);
    EXPECT_EQ(t.data.statements(H),
              QStringList{u"SELECT BASE_IMPONIBLE_DOL as total FROM ITEMS_ARTICULOS WHERE IDN_DESPACHO = "
                          u"'19001IC04''0123A' AND NRO_ITEM = '0001'"_s});
}

// Countries of an item: the first row's code (origin logged); a country's text by the relation
// table or, ignoring it, by the code and/or the name in ORG.
TEST(Items, CountriesOfAnItem)
{
    TestRun t;
    setUp(t);
    t.data.onContains(H, u"Select PAIS_ORIGEN"_s, rows({u"PAIS_ORIGEN"_s}, {{u"310"_s}, {u"999"_s}}));
    t.data.onContains(H, u"Select PAIS_PROCEDENCIA"_s, rows({u"PAIS_PROCEDENCIA"_s}, {{u"203"_s}}));
    EXPECT_EQ(GetCountryOfOrigin(t.rt, u"0001"_s), u"310"_s);
    EXPECT_EQ(GetCountryOfProvenance(t.rt, u"0001"_s), u"203"_s);
    EXPECT_EQ(GetCountryOfOrigin(t.rt, u"0002"_s), u"310"_s);
    EXPECT_EQ(t.data.statements(H).mid(0, 2),
              (QStringList{u"Select PAIS_ORIGEN From ITEMS_ARTICULOS where IDN_Despacho ='19001IC04''0123A' "
                           u"and NRO_ITEM  = '0001'"_s,
                           u"Select PAIS_PROCEDENCIA From ITEMS_ARTICULOS where IDN_Despacho ="
                           u"'19001IC04''0123A' and NRO_ITEM  = '0001'"_s}));
    EXPECT_TRUE(t.logText().contains(u"GetCountryOfOrigin es: 310"_s));

    struct Case {
        bool ignorar, sim, descripcion;
        QString expected;
        QString logLine;
    };
    const QList<Case> cases = {
        {false, true, true, u"CN"_s, u"GetPaisNameFromID.pais GetPaisRelacion(sValue): CN"_s},
        {true, false, false, QString(), u"GetPaisNameFromID.pais sPais: "_s},
        {true, true, false, u"310"_s, u"GetPaisNameFromID.pais sPais: 310"_s},
        {true, false, true, u"CHINA"_s, u"GetPaisNameFromID.pais sPais: CHINA"_s},
        {true, true, true, u"310 CHINA"_s, u"GetPaisNameFromID.pais sPais: 310 CHINA"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        TestRun p;
        p.rt.cfg.IGNORARRELACIONPAIS = c.ignorar;
        p.rt.cfg.PAISESSIM = c.sim;
        p.rt.cfg.PAISESDESCRIPCION = c.descripcion;
        p.data.onExact(H, u"Select IDISO From RelacionPaises Where IDSIM ='310'"_s, rows({u"IDISO"_s}, {{u"CN"_s}}));
        p.data.onExact(u"INTERNOS"_s, u"Select PAI from ORG Where ORI = '310'"_s, rows({u"PAI"_s}, {{u"CHINA "_s}}));
        EXPECT_EQ(GetPaisNameFromID(p.rt, u"310"_s), c.expected.isEmpty() ? QString() : c.expected);
        EXPECT_TRUE(p.logText().contains(u"valor bCFG_IgnorarRelacionPais: "_s
                                         + (c.ignorar ? u"True"_s : u"False"_s)));
        EXPECT_TRUE(p.logText().contains(c.logLine)) << p.logText().toStdString();
    }
}

// The tariff position loses every point in declarationItemHTS and is looked up as it stands.
TEST(Items, TariffPositionLosesItsPoints)
{
    const struct {
        const char *posicion, *hts;
    } cases[] = {
        {"8471.30.12", "84713012"},
        {"8471.30.12.100A", "84713012100A"},
        {"8471,30", "8471,30"},
        {"", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.posicion);
        TestRun t;
        setUp(t);
        QVariantList row = itemRow(u"0001"_s);
        row[1] = QString::fromLatin1(c.posicion);
        t.data.onContains(H, u"ORDER BY NRO_ITEM"_s, items({row}));
        DeclarationBuilders none;
        EXPECT_TRUE(run(t, none).contains(el(u"declarationItemHTS"_s, QLatin1String(c.hts))));
    }
}
