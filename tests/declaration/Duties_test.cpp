#include "support/TestSupport.h"

#include "declaration/Duties.h"
#include "runtime/Errors.h"

#include <gtest/gtest.h>

#include <functional>

using namespace b2d;
using namespace b2d::test;

namespace {

const QString H = QStringLiteral("HISTORIAL");

QString duty(const QString &tag, const QString &type, const QString &value, const QString &currency,
             const QString &basis = {}, const QString &pct = {})
{
    QString s = QStringLiteral("<%1><dutyType>%2</dutyType><dutyValue>%3</dutyValue>"
                               "<dutyCurrency>%4</dutyCurrency>")
                    .arg(tag, type, value, currency);
    if (!pct.isEmpty())
        s += QStringLiteral("<dutyBasisOfCalculus>%1</dutyBasisOfCalculus>"
                            "<dutyPercentage>%2</dutyPercentage>")
                 .arg(basis, pct);
    return s + QStringLiteral("</%1>").arg(tag);
}

void allTypeSwitches(Runtime &rt)
{
    rt.cfg.CONCEPTOSDESCRIPCION = rt.cfg.CONCEPTOSSIM = rt.cfg.TIPOOBLIGACION = true;
}

const QStringList kItemCols = {QStringLiteral("MONTO"), QStringLiteral("BASE_IMPONIBLE"),
                               QStringLiteral("COEFICIENTE"), QStringLiteral("CODIGO_CONCEPTO"),
                               QStringLiteral("TIPO_OBLIGACION")};

}  // namespace

// Each builder: its exact statement (with the declaration number's quote doubled), where its type
// text comes from, the element it writes and its trace line.
TEST(Duties, EachBuilderSendsItsStatementAndWritesItsElements)
{
    struct Case {
        const char *name;
        std::function<QString(Runtime &)> call;
        QString statement;
        ResultSet result;
        QString expected;
        QString traceLine;
    };
    const QString d = QStringLiteral("19001IC04'X");
    const QString dq = QStringLiteral("19001IC04''X");
    const QList<Case> cases = {
        // Concept 429 and concepts 450 to 472 never reach the declaration level.
        {"declaration concepts",
         [](Runtime &rt) { return GetCaratulaConceptos(rt, QStringLiteral("USD")); },
         QStringLiteral("SELECT TAX.LTAXABR AS DESCRIPCION,CARATULA_LIQUIDACIONES.MONTO_CONCEPTO AS MONTO , "
                        "CARATULA_LIQUIDACIONES.CODIGO_CONCEPTO as CODIGO, CARATULA_LIQUIDACIONES.TIPO_OBLIGACION "
                        "as TIPO From TAX, CARATULA_LIQUIDACIONES WHERE IDN_DESPACHO = '%1' AND TAX.CTAX = "
                        "CARATULA_LIQUIDACIONES.CODIGO_CONCEPTO and CTAX NOT IN ('429','450','451','452','453',"
                        "'454','455','456','457','458','459','460','461','462','463','464','465','466','467',"
                        "'468','469','470','471','472')")
             .arg(dq),
         rows({"DESCRIPCION", "MONTO", "CODIGO", "TIPO"}, {{"DERECHOS", 150.5, "010", "A"}}),
         duty("declarationDuty", "DERECHOS010A", "150.50", "USD"),
         QStringLiteral("Concepto Caratula: DERECHOS010A")},
        {"concept 900 at declaration level",
         [](Runtime &rt) { return GetCaratulaINGBRUTOS(rt, QStringLiteral("USD")); },
         QStringLiteral("SELECT SUM(CAST(MONTO_CONCEPTO as FLOAT)) AS MONTO , TIPO_OBLIGACION , CODIGO_CONCEPTO "
                        "From ITEMS_LIQUIDACION_ITEM WHERE CODIGO_CONCEPTO = '900' AND IDN_DESPACHO = '%1' "
                        "GROUP BY TIPO_OBLIGACION, CODIGO_CONCEPTO")
             .arg(dq),
         rows({"MONTO", "TIPO_OBLIGACION", "CODIGO_CONCEPTO"}, {{"33.333", "A", "900"}}),
         duty("declarationDuty", "INGRESOS BRUTOS900A", "33.33", "USD"),
         QStringLiteral("Concepto en Caratula INGBRUTOS: INGRESOS BRUTOS900A")},
        {"concept 900 per jurisdiction at declaration level",
         [](Runtime &rt) { return GetCaratulaINGBRUTOSDesglose(rt); },
         QStringLiteral("SELECT cast(caratula_LIQUIDACIONES.MONTO_CONCEPTO as numeric(18,7)) AS MONTO "
                        ",caratula_LIQUIDACIONES.CODIGO_CONCEPTO ,caratula_ingresos_brutos.PORC_DISTRIBUCION "
                        ",NombreConcepto=(SELECT JRDPRV FROM JRD WHERE JRDEXT=caratula_LIQUIDACIONes.CODIGO_CONCEPTO),"
                        "caratula_LIQUIDACIONES.TIPO_OBLIGACION From CARATULA_LIQUIDACIONES INNER JOIN "
                        "CARATULA_INGRESOS_BRUTOS ON (CARATULA_INGRESOS_BRUTOS.IDN_DESPACHO = "
                        "CARATULA_LIQUIDACIONES.IDN_DESPACHO) INNER JOIN JRD ON (CARATULA_LIQUIDACIONES.CODIGO_CONCEPTO "
                        "= JRD.JRDEXT AND CARATULA_INGRESOS_BRUTOS.JURISDICCION = JRD.JRDNRO) WHERE "
                        "CARATULA_LIQUIDACIONES.IDN_DESPACHO ='%1'")
             .arg(dq),
         rows({"MONTO", "CODIGO_CONCEPTO", "PORC_DISTRIBUCION", "NombreConcepto", "TIPO_OBLIGACION"},
              {{80, "902", 0.5, "BUENOS AIRES", "A"}, {20, "904", 0.5, "CORDOBA", "A"}}),
         duty("declarationDuty", "IIBB BUENOS AIRES902A", "80.00", "USD")
             + duty("declarationDuty", "IIBB CORDOBA904A", "20.00", "USD"),
         QStringLiteral("Concepto INGBRUTOS Desglose: IIBB CORDOBA904A")},
        {"concept 900 per jurisdiction of an item",
         [d](Runtime &rt) { return GetItemINGBRUTOSDesglose(rt, d, QStringLiteral("0001")); },
         QStringLiteral(" SELECT ITEMS_LIQUIDACION_ITEM.IDN_DESPACHO,ITEMS_LIQUIDACION_ITEM.IDN_ITEM,"
                        "ITEMS_LIQUIDACION_ITEM.CODIGO_CONCEPTO,ITEMS_LIQUIDACION_ITEM.TIPO_OBLIGACION,"
                        "CARATULA_INGRESOS_BRUTOS.JURISDICCION,NombreConcepto=(SELECT JRDPRV FROM JRD WHERE "
                        "JRDNRO=CARATULA_INGRESOS_BRUTOS.JURISDICCION),CODIGOJRDMARIA=(SELECT JRDEXT FROM JRD "
                        "WHERE JRDNRO=CARATULA_INGRESOS_BRUTOS.JURISDICCION),ITEMS_LIQUIDACION_ITEM.MONTO_CONCEPTO,"
                        "CARATULA_INGRESOS_BRUTOS.PORC_DISTRIBUCION,MONTOITEM=cast(ITEMS_LIQUIDACION_ITEM."
                        "MONTO_CONCEPTO as numeric(18,7))*cast(CARATULA_INGRESOS_BRUTOS.PORC_DISTRIBUCION as "
                        "numeric(18,7)) From ITEMS_LIQUIDACION_ITEM LEFT JOIN CARATULA_INGRESOS_BRUTOS on "
                        "ITEMS_LIQUIDACION_ITEM.IDN_DESPACHO=CARATULA_INGRESOS_BRUTOS.IDN_DESPACHO WHERE  "
                        "ITEMS_LIQUIDACION_ITEM.CODIGO_CONCEPTO='900' and  items_liquidacion_item.idn_Despacho = "
                        "'%1' and items_liquidacion_item.idn_item = '0001'")
             .arg(dq),
         // The second row is the left join's row of a declaration without jurisdictions.
         rows({"IDN_DESPACHO", "IDN_ITEM", "CODIGO_CONCEPTO", "TIPO_OBLIGACION", "JURISDICCION",
               "NombreConcepto", "CODIGOJRDMARIA", "MONTO_CONCEPTO", "PORC_DISTRIBUCION", "MONTOITEM"},
              {{d, 1, "900", "B", 902, "CORDOBA", "904", 40, 0.25, 10},
               {d, 1, "900", "B", {}, {}, {}, 40, {}, {}}}),
         duty("declarationItemDuty", "IIBB CORDOBA904B", "10.00", "USD", "40.00", "0.25")
             + duty("declarationItemDuty", "IIBB B", "0.00", "USD", "40.00", "0.01"),
         QStringLiteral("Concepto ITEM INGBRUT DESGLOSE :IIBB CORDOBA904B")},
        {"item concepts",
         [](Runtime &rt) { return GetItemConceptos(rt, QStringLiteral("0001"), {}, false); },
         QStringLiteral("SELECT DISTINCT ITEMS_LIQUIDACION_ITEM.MONTO_CONCEPTO AS MONTO, "
                        "ITEMS_LIQUIDACION_ITEM.BASE_IMPONIBLE,ITEMS_LIQUIDACION_ITEM.COEFICIENTE,"
                        "ITEMS_LIQUIDACION_ITEM.CODIGO_CONCEPTO,ITEMS_LIQUIDACION_ITEM.TIPO_OBLIGACION From "
                        "ITEMS_LIQUIDACION_ITEM WHERE IDN_DESPACHO = '%1' AND IDN_ITEM = '0001'")
             .arg(dq),
         rows(kItemCols, {{12.345, 1000, 21, "010", "A"}}),
         duty("declarationItemDuty", "DERECHOS010A", "12.35", "USD", "1000.00", "21.00"),
         QStringLiteral("Concepto ITEM 0001: DERECHOS010A")},
        {"item concepts of a product",
         [](Runtime &rt) { return GetItemConceptos(rt, QStringLiteral("0001"), {}, true); },
         QString(), rows(kItemCols, {{12.345, 1000, 21, "010", "A"}}),
         duty("productDuty", "DERECHOS010A", "12.35", "USD", "1000.00", "21.00"),
         QStringLiteral("Concepto ITEM 0001: DERECHOS010A")},
        {"prorated product concepts",
         [](Runtime &rt) { return GetItemConceptosProrrateados(rt, QStringLiteral("2"), {}, 200, 50); },
         QStringLiteral("SELECT DISTINCT ITEMS_LIQUIDACION_ITEM.MONTO_CONCEPTO AS MONTO, "
                        "ITEMS_LIQUIDACION_ITEM.BASE_IMPONIBLE,ITEMS_LIQUIDACION_ITEM.COEFICIENTE,"
                        "ITEMS_LIQUIDACION_ITEM.CODIGO_CONCEPTO,ITEMS_LIQUIDACION_ITEM.TIPO_OBLIGACION From "
                        "ITEMS_LIQUIDACION_ITEM WHERE IDN_DESPACHO = '%1' AND IDN_ITEM = 2")
             .arg(dq),
         rows(kItemCols, {{100, 400, 21, "010", "A"}, {8, 400, 0.02, "010", "B"}}),
         duty("productDuty", "DERECHOS010A", "25.00", "USD", "100.00", "5.25")
             + duty("productDuty", "DERECHOS010B", "2.00", "USD", "100.00", "0.01"),
         QStringLiteral("Concepto ITEM 2: DERECHOS010B")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestRun t;
        t.rt.Despacho = d;
        allTypeSwitches(t.rt);
        t.data.onContains(H, QStringLiteral("Select LTAXABR FROM TAX WHERE TAX.CTAX = '010'"),
                          rows({"LTAXABR"}, {{"DERECHOS"}}));
        t.data.onContains(H, c.statement.isEmpty() ? QStringLiteral("ITEMS_LIQUIDACION_ITEM") : c.statement,
                          c.result);
        EXPECT_EQ(c.call(t.rt), c.expected);
        if (!c.statement.isEmpty()) {
            ASSERT_FALSE(t.data.statements(H).isEmpty());
            EXPECT_EQ(t.data.statements(H).first(), c.statement);
        }
        EXPECT_TRUE(t.logText().contains(c.traceLine)) << t.logText().toStdString();
        EXPECT_TRUE(t.boxes.shown().isEmpty());
    }
}

TEST(Duties, TypeTextFollowsTheThreeSwitches)
{
    struct Case {
        bool descripcion, sim, tipo;
        const char *expected;
    };
    const Case cases[] = {
        {true, true, true, "DERECHOS010A"}, {false, true, false, "010"}, {false, false, false, ""},
        {true, false, true, "DERECHOSA"},   {false, true, true, "010A"},  {true, false, false, "DERECHOS"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected);
        TestRun t;
        t.rt.Despacho = QStringLiteral("19001IC04000123A");
        t.rt.cfg.CONCEPTOSDESCRIPCION = c.descripcion;
        t.rt.cfg.CONCEPTOSSIM = c.sim;
        t.rt.cfg.TIPOOBLIGACION = c.tipo;
        t.data.onContains(H, QStringLiteral("From TAX, CARATULA_LIQUIDACIONES"),
                          rows({"DESCRIPCION", "MONTO", "CODIGO", "TIPO"}, {{"DERECHOS", 1, "010", "A"}}));
        t.data.onContains(H, QStringLiteral("From ITEMS_LIQUIDACION_ITEM"), rows(kItemCols, {{1, 1, 1, "010", "A"}}));
        t.data.onContains(H, QStringLiteral("FROM TAX"), rows({"LTAXABR"}, {{"DERECHOS"}}));
        const QString type = QStringLiteral("<dutyType>%1</dutyType>").arg(QLatin1String(c.expected));
        EXPECT_TRUE(GetCaratulaConceptos(t.rt, {}).contains(type));
        EXPECT_TRUE(GetItemConceptos(t.rt, QStringLiteral("1"), {}, false).contains(type));
    }
}

TEST(Duties, PercentageIsNeverZeroAndAlwaysHasAPoint)
{
    const struct {
        QVariant coeficiente;
        const char *expected;
    } cases[] = {
        {0, "0.01"}, {QVariant(), "0.01"}, {0.004, "0.01"}, {21, "21.00"},
        {QStringLiteral("10,5"), "10.50"}, {0.015, "0.02"}, {-0.001, "0.01"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.expected);
        TestRun t;
        t.rt.Despacho = QStringLiteral("D1");
        t.data.onContains(H, QStringLiteral("From ITEMS_LIQUIDACION_ITEM"),
                          rows(kItemCols, {{1234.5, 2, c.coeficiente, "010", "A"}}));
        t.data.onContains(H, QStringLiteral("FROM TAX"), rows({"LTAXABR"}, {{"DERECHOS"}}));
        const QString out = GetItemConceptos(t.rt, QStringLiteral("1"), {}, false);
        EXPECT_TRUE(out.contains(QStringLiteral("<dutyValue>1234.50</dutyValue>"))) << out.toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("<dutyPercentage>%1</dutyPercentage>")
                                     .arg(QLatin1String(c.expected))))
            << out.toStdString();
    }
}

TEST(Duties, ItemConceptUnknownToTaxEndsTheProgram)
{
    TestRun t;
    t.rt.Despacho = QStringLiteral("D1");
    t.data.onContains(H, QStringLiteral("From ITEMS_LIQUIDACION_ITEM"),
                      rows(kItemCols, {{1, 1, 1, "999", "A"}}));
    for (bool prorated : {false, true}) {
        SCOPED_TRACE(prorated);
        t.boxes.clear();
        EXPECT_THROW(prorated ? GetItemConceptosProrrateados(t.rt, QStringLiteral("1"), {}, 1, 1)
                              : GetItemConceptos(t.rt, QStringLiteral("1"), {}, false),
                     ProgramEnd);
        ASSERT_EQ(t.boxes.messages().size(), 1);
        const auto box = t.boxes.messages().first();
        EXPECT_EQ(box.icon, BoxIcon::Critical);
        EXPECT_EQ(box.text, QStringLiteral("Informacion incompleta en la tabla de jurisdicciones [TAX], "
                                           "verificarlo\ny reintentar.\nID:999\nEl Programa se cerrara."));
    }
}

TEST(Duties, TextsAreEscapedOnceAndCurrencyFollowsTheSwitch)
{
    TestRun t;
    t.rt.Despacho = QStringLiteral("D1");
    t.rt.cfg.CONCEPTOSDESCRIPCION = true;
    t.rt.cfg.IGNORARRELACIONMONEDA = true;
    t.data.onContains(H, QStringLiteral("From TAX, CARATULA_LIQUIDACIONES"),
                      rows({"DESCRIPCION", "MONTO", "CODIGO", "TIPO"}, {{"TASA & <EST>, IVA", 1, "011", "A"}}));
    EXPECT_EQ(GetCaratulaConceptos(t.rt, {}),
              duty("declarationDuty", "TASA &amp; &lt;EST&gt;, IVA", "1.00", "DOL"));
}

TEST(Duties, FailuresShowTheBuildersBoxAndKeepGoing)
{
    struct Case {
        const char *name;
        std::function<QString(Runtime &)> call;
        QString fragment;
        QString boxEnd;
    };
    const QList<Case> cases = {
        {"declaration", [](Runtime &rt) { return GetCaratulaConceptos(rt, {}); },
         QStringLiteral("From TAX, CARATULA_LIQUIDACIONES"),
         QStringLiteral("\nin procedure GetCaratulaConceptos of Módulo Mod_Main - ")},
        {"jurisdictions", [](Runtime &rt) { return GetCaratulaINGBRUTOSDesglose(rt); },
         QStringLiteral("INNER JOIN JRD"),
         QStringLiteral("\nin procedure GetCaratulaINGBRUTOS of Módulo Mod_Main - ")},
        {"item", [](Runtime &rt) { return GetItemConceptos(rt, QStringLiteral("1"), {}, false); },
         QStringLiteral("From ITEMS_LIQUIDACION_ITEM"),
         QStringLiteral(") en GetItemConceptos de Módulo Mod_Main \nLinea:")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestRun t;
        t.rt.Despacho = QStringLiteral("D1");
        // A result without the amount column.
        t.data.onContains(H, c.fragment, rows({"X"}, {{1}}));
        EXPECT_EQ(c.call(t.rt), QString());
        ASSERT_EQ(t.boxes.messages().size(), 1);
        const QString text = t.boxes.messages().first().text;
        EXPECT_TRUE(text.startsWith(QStringLiteral("Error 3265 ("))) << text.toStdString();
        EXPECT_TRUE(text.contains(c.boxEnd)) << text.toStdString();
    }
}
