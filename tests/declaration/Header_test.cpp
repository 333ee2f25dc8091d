#include "support/TestSupport.h"

#include "app/Builders.h"
#include "declaration/Header.h"
#include "runtime/Errors.h"

#include <gtest/gtest.h>

using namespace b2d;
using namespace b2d::test;

namespace {

const QString H = QStringLiteral("HISTORIAL");
const QString I = QStringLiteral("INTERNOS");

struct Out {
    QString fob, flete, seguro, condicion, broker, process;
};

QString run(TestRun &t, Out &o)
{
    return GetCaratulaInfo(t.rt, declarationBuilders(), o.fob, o.flete, o.seguro, o.condicion, o.broker, o.process);
}

QString el(const QString &tag, const QString &text)
{
    return QStringLiteral("<%1>%2</%1>").arg(tag, text);
}

QString event(const QString &type, const QString &dateTime)
{
    return el(QStringLiteral("declarationEvent"),
              el(QStringLiteral("eventType"), type) + el(QStringLiteral("eventDateTime"), dateTime));
}

QString expense(const QString &type, const QString &value, const QString &currency)
{
    return el(QStringLiteral("declarationExpense"), el(QStringLiteral("expenseType"), type)
                                                       + el(QStringLiteral("expenseValue"), value)
                                                       + el(QStringLiteral("expenseCurrency"), currency));
}

QString duty(const QString &type, const QString &value)
{
    return el(QStringLiteral("declarationDuty"), el(QStringLiteral("dutyType"), type)
                                                    + el(QStringLiteral("dutyValue"), value)
                                                    + el(QStringLiteral("dutyCurrency"), QStringLiteral("DOL")));
}

// A declaration with its header row, items' sums, duties and one party.
void script(TestRun &t, const QString &despacho, const QVariant &fechaOficializacion = QDateTime(
                                                     QDate(2019, 3, 1), QTime(10, 20, 30)))
{
    t.rt.Despacho = despacho;
    t.rt.subregimen = despacho.mid(5, 1).toUpper();
    t.rt.cfg.IGNORARRELACIONMONEDA = true;
    t.rt.cfg.IGNORARRELACIONCONCEPTO = true;
    t.rt.cfg.PERMITIRFECHASVACIAS = true;
    t.rt.cfg.CONCEPTOSSIM = true;
    t.data.onContains(H, QStringLiteral(" as AJD , "), rows({"AJD", "AJI"}, {{5, 7.5}}));
    t.data.onContains(H, QStringLiteral(" From CARATULA_CARATULA WHERE DESPACHO"),
                      rows({"DIVISA_FOB", "DIVISA_FLETE", "DIVISA_SEGURO", "CONDICION_VENTA", "DESPACHO",
                            "DESTINACION", "IDENTIFICADOR_PROPIO", "MONTO_FOB", "MONTO_FLETE", "MONTO_SEGURO",
                            "BASE_IMPONIBLE", "COD_ADUANA", "MONTO_CIF", "COTIZACION_PAGOS",
                            "PESO_BRUTO_BULTOS", "FECHA_OFICIALIZACION"},
                           {{"DOL", "EUR", "YEN", "FOB", despacho, despacho.mid(5, 4), "4711", 1000.5, 120,
                             QStringLiteral("15.25"), 0, "001", 1135.75, 3.87654321, 250.5,
                             fechaOficializacion}}));
    t.data.onContains(H, QStringLiteral("PESO_NETO_KGR"), rows({"total"}, {{200.254}}));
    t.data.onContains(H, QStringLiteral("From TAX, CARATULA_LIQUIDACIONES"),
                      rows({"DESCRIPCION", "MONTO", "CODIGO", "TIPO"}, {{"DERECHOS", 50, "010", "A"}}));
    t.data.onContains(H, QStringLiteral("WHERE CODIGO_CONCEPTO = '900'"),
                      rows({"MONTO", "TIPO_OBLIGACION", "CODIGO_CONCEPTO"}, {{12, "A", "900"}}));
    t.data.onContains(H, QStringLiteral("INNER JOIN JRD"),
                      rows({"MONTO", "CODIGO_CONCEPTO", "PORC_DISTRIBUCION", "NombreConcepto",
                            "TIPO_OBLIGACION"},
                           {{3, "902", 1, "BUENOS AIRES", "A"}}));
    t.data.onContains(H, QStringLiteral("From RelacionVarios"), rows({"ValorDestino"}, {{"R"}}));
    t.data.onContains(I, QStringLiteral("requestentitydvn"),
                      rows({"entityType", "entityReferenceCode", "entityName", "entityCountry", "entityAddress",
                            "entityCity", "entityState", "entityPostalCode", "entityPhone", "RequestEntityID"},
                           {{"IMPORTER", "30-1", "ACME SA", "AR", "Calle 1", "CABA", "BA", "1000", "555", 1}}));
}

// Broker and process codes, a release date, no completion date, a payment date and a channel.
void typeAnswers(TestRun &t)
{
    for (const char *a : {"ab#1", "12345#2", "10/03/2019", "", "12/03/2019 15:45", "rojo"})
        t.boxes.type(QLatin1String(a));
}

// The elements of a whole header up to the channel and after the parties.
QString head(const QString &despacho)
{
    return el(QStringLiteral("declarationNumber"), despacho)
        + el(QStringLiteral("declarationType"), despacho.mid(5, 4))
        + el(QStringLiteral("declarationCustomsHouse"), QStringLiteral("001"))
        + el(QStringLiteral("declarationProcessReferenceCode"), QStringLiteral("12345"))
        + el(QStringLiteral("declarationBrokerReferenceCode"), QStringLiteral("AB_1"))
        + event(QStringLiteral("FechaOficializacion"), QStringLiteral("2019-03-01T10:20:30"))
        + event(QStringLiteral("FechaLiberacion"), QStringLiteral("2019-03-10T00:00:00"))
        + event(QStringLiteral("FechaPago"), QStringLiteral("2019-03-12T15:45:00"))
        + el(QStringLiteral("declarationChannel"), QStringLiteral("R"));
}

QString tail(bool import)
{
    QString s = el(QStringLiteral("declarationFOBValue"), QStringLiteral("1000.50"));
    if (import)
        s += expense(QStringLiteral("FREIGHT"), QStringLiteral("120.00"), QStringLiteral("EUR"))
            + expense(QStringLiteral("INSURANCE"), QStringLiteral("15.25"), QStringLiteral("YEN"))
            + expense(QStringLiteral("AJUSTES A INCLUIR"), QStringLiteral("7.50"), QStringLiteral("DOL"))
            + expense(QStringLiteral("AJUSTES A DEDUCIR"), QStringLiteral("5.00"), QStringLiteral("DOL"));
    s += el(QStringLiteral("declarationCIFValue"), QStringLiteral("1135.75"))
        + el(QStringLiteral("declarationUSDRate"), QStringLiteral("3.8765432"))
        + el(QStringLiteral("declarationCustomsValue"), QStringLiteral("1135.75"))
        + duty(QStringLiteral("010"), QStringLiteral("50.00"));
    if (import)  // concept 900 and its jurisdictions are switched on for the import case
        s += duty(QStringLiteral("900"), QStringLiteral("12.00")) + duty(QStringLiteral("902"), QStringLiteral("3.00"));
    return s + el(QStringLiteral("declarationNetWeight"), QStringLiteral("200.25"))
        + el(QStringLiteral("declarationGrossWeight"), QStringLiteral("250.50"));
}

}  // namespace

TEST(Header, ImportAndExportWriteTheirElementsInOrder)
{
    for (const bool import : {true, false}) {
        SCOPED_TRACE(import ? "import" : "export");
        const QString despacho = import ? QStringLiteral("19001IC04000123A") : QStringLiteral("19001EC01000045B");
        TestRun t;
        script(t, despacho);
        typeAnswers(t);
        t.rt.cfg.INCLUIR900PENCARATULA = import;
        t.rt.cfg.INCLUIRDETALLEJURIS = import;
        Out o;
        const QString out = run(t, o);
        ASSERT_TRUE(out.startsWith(head(despacho))) << out.toStdString();
        ASSERT_TRUE(out.endsWith(tail(import))) << out.toStdString();
        // The declaration's parties sit between the channel and the FOB value.
        const QString parties = out.mid(head(despacho).size(), out.size() - head(despacho).size() - tail(import).size());
        EXPECT_TRUE(parties.startsWith(QStringLiteral("<declarationEntity><entityType>IMPORTER</entityType>")))
            << parties.toStdString();
        bool partiesOfBroker = false;
        for (const QString &sql : t.data.statements(I))
            partiesOfBroker |= sql.contains(QStringLiteral("requestentitydvn")) && sql.contains(QStringLiteral("'AB#1'"));
        EXPECT_TRUE(partiesOfBroker);
        EXPECT_EQ(o.fob, QStringLiteral("DOL"));
        EXPECT_EQ(o.flete, QStringLiteral("EUR"));
        EXPECT_EQ(o.seguro, QStringLiteral("YEN"));
        EXPECT_EQ(o.condicion, QStringLiteral("FOB"));
        EXPECT_EQ(o.broker, QStringLiteral("AB#1"));
        EXPECT_EQ(o.process, QStringLiteral("12345"));
        EXPECT_TRUE(t.logText().contains(import ? QStringLiteral("Incluir 900 en Caratula:SI")
                                                : QStringLiteral("Incluir 900 en Caratula:NO")));
        EXPECT_FALSE(t.rt.generacionCancelada);
    }
}

TEST(Header, StatementsAreTheDeclarationsOwnWithQuotesDoubled)
{
    TestRun t;
    t.rt.Despacho = QStringLiteral("19001IC0'4");
    Out o;
    EXPECT_EQ(run(t, o), QString());
    EXPECT_EQ(t.data.statements(H),
              QStringList({QStringLiteral("select sum(cast(ajuste_a_deducir as float)) as AJD , sum(cast(ajuste_a_incluir "
                                          "as float)) as AJI from items_articulos where idn_despacho = '19001IC0''4'"),
                           QStringLiteral("SELECT DIVISA_FOB, DIVISA_FLETE, DIVISA_SEGURO, CONDICION_VENTA, DESPACHO, "
                                          "DESTINACION, IDENTIFICADOR_PROPIO, MONTO_FOB,MONTO_FLETE,MONTO_SEGURO,"
                                          "BASE_IMPONIBLE,COD_ADUANA, SUM(CAST(ISNULL(MONTO_FOB,0) AS FLOAT)+ "
                                          "CAST(ISNULL(MONTO_SEGURO,0) AS FLOAT) + CAST(ISNULL(MONTO_FLETE,0) AS FLOAT)) "
                                          "AS MONTO_CIF, COTIZACION_PAGOS , PESO_BRUTO_BULTOS,FECHA_OFICIALIZACION From "
                                          "CARATULA_CARATULA WHERE DESPACHO = '19001IC0''4' GROUP BY DIVISA_FOB, "
                                          "DIVISA_FLETE, DIVISA_SEGURO, CONDICION_VENTA, DESPACHO, DESTINACION, "
                                          "IDENTIFICADOR_PROPIO, MONTO_FOB, COTIZACION_PAGOS, PESO_BRUTO_BULTOS, "
                                          "FECHA_OFICIALIZACION,MONTO_FLETE,MONTO_SEGURO,BASE_IMPONIBLE,COD_ADUANA")}));
    // No header row: nothing asked of the operator.
    EXPECT_TRUE(t.boxes.shown().isEmpty());

    t.data.clearCalls();
    GetKILOBRUTOCaratula(t.rt);
    GetFacturas(t.rt);
    GetAduanaDescripcion(t.rt, QStringLiteral("0'01"));
    EXPECT_EQ(t.data.statements(),
              QStringList({QStringLiteral("SELECT SUM(CAST(PESO_NETO_KGR as float))as total FROM ITEMS_ARTICULOS "
                                          "WHERE IDN_DESPACHO = '19001IC0''4'"),
                           QStringLiteral("Select REFERENCIA From CARATULA_DOCUMENTOS Where IDN_Despacho "
                                          "='19001IC0''4' and Codigo = 'FACTURACOMERCIAL'"),
                           QStringLiteral("Select descripcion from aduana Where Id = '0''01'")}));
    EXPECT_EQ(t.data.calls().last().entity, I);
}

TEST(Header, ReferenceCodesInTheirElements)
{
    const struct {
        bool fix;
        const char *broker, *process, *processElement, *brokerElement, *processBack;
    } cases[] = {
        {false, "ab#1", "12345#2", "12345", "AB_1", "12345"},
        {true, "ab#1", "12345#2", "AB_1", "12345", "12345"},
        {false, "4711", "X_Y#Z", "X", "4711", "X"},
        {false, "#9", "77", "77", "_9", "77"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.broker) + " " + c.process + (c.fix ? " fixed" : ""));
        TestRun t;
        script(t, QStringLiteral("19001IC04000123A"));
        t.rt.cfg.FIXPROCESSREFERENCECODE = c.fix;
        t.boxes.type(QLatin1String(c.broker));
        t.boxes.type(QLatin1String(c.process));
        Out o;
        const QString out = run(t, o);
        EXPECT_TRUE(out.contains(el(QStringLiteral("declarationProcessReferenceCode"), QLatin1String(c.processElement))
                                 + el(QStringLiteral("declarationBrokerReferenceCode"), QLatin1String(c.brokerElement))))
            << out.toStdString();
        // The values handed back do not depend on the switch.
        EXPECT_EQ(o.broker, QString::fromLatin1(c.broker).toUpper());
        EXPECT_EQ(o.process, QLatin1String(c.processBack));
    }
}

TEST(Header, EventDateTimesWithAndWithoutAFixedTime)
{
    const struct {
        const char *hora;
        QVariant oficializacion;
        const char *oficial, *liberacion;
    } cases[] = {
        {"", QDateTime(QDate(2019, 3, 1), QTime(10, 20, 30)), "2019-03-01T10:20:30", "2019-03-10T00:00:00"},
        {"", QStringLiteral("2019-03-01 08:05:00"), "2019-03-01T08:05:00", "2019-03-10T00:00:00"},
        {"12:00:00", QDateTime(QDate(2019, 3, 1), QTime(10, 20, 30)), "2019-03-01T12:00:00",
         "2019-03-10T12:00:00"},
        {"12:00:00", QVariant(), "12:00:00", "2019-03-10T12:00:00"},
        {"", QVariant(), "", "2019-03-10T00:00:00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.hora) + " " + c.oficializacion.toString().toStdString());
        TestRun t;
        script(t, QStringLiteral("19001IC04000123A"), c.oficializacion);
        typeAnswers(t);
        t.rt.cfg.PREDETERMINARHORA = QLatin1String(c.hora);
        Out o;
        const QString out = run(t, o);
        EXPECT_TRUE(out.contains(event(QStringLiteral("FechaOficializacion"), QLatin1String(c.oficial))
                                 + event(QStringLiteral("FechaLiberacion"), QLatin1String(c.liberacion))))
            << out.toStdString();
        // No completion date was given: no completion event.
        EXPECT_FALSE(out.contains(QStringLiteral("FechaCumplido")));
    }
}

TEST(Header, ACancelledPromptStopsTheHeader)
{
    const struct {
        const char *name;
        QStringList answers;  // the last one is left empty and the cancel question answered Yes
        bool required;
    } cases[] = {
        {"broker code", {""}, false},
        {"process code", {"AB", ""}, false},
        {"release date", {"AB", "1", ""}, true},
        {"channel", {"AB", "1", "1/3/2019", "1/3/2019", "1/3/2019", ""}, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestRun t;
        script(t, QStringLiteral("19001IC04000123A"));
        t.rt.cfg.REQCANALYFECHAS = c.required;
        t.data.onContains(H, QStringLiteral("From RelacionVarios"), rows({"ValorDestino"}));  // no channel known
        for (const QString &a : c.answers)
            t.boxes.type(a);
        t.boxes.answer(true);
        Out o;
        EXPECT_EQ(run(t, o), QString());
        EXPECT_TRUE(t.rt.generacionCancelada);
        int inputs = 0;
        for (const auto &s : t.boxes.shown())
            inputs += s.kind == ScriptedBoxes::Shown::Input;
        EXPECT_EQ(inputs, c.answers.size());  // nothing asked after the cancel
        for (const QString &sql : t.data.statements())
            EXPECT_FALSE(sql.contains(QStringLiteral("CARATULA_LIQUIDACIONES"))) << sql.toStdString();
    }
}

TEST(Header, AFailureIsRaisedToTheDriverWithItsSource)
{
    TestRun t;
    t.rt.Despacho = QStringLiteral("19001IC04000123A");
    t.data.onContains(H, QStringLiteral("From CARATULA_CARATULA"), rows({"DESPACHO"}, {{"19001IC04000123A"}}));
    Out o;
    try {
        run(t, o);
        FAIL() << "no error raised";
    } catch (const B2DError &e) {
        EXPECT_EQ(e.number(), ErrNo::Builder);
        EXPECT_TRUE(e.source().startsWith(QStringLiteral("GetCaratulaInfo linea ")));
        EXPECT_TRUE(e.source().endsWith(QStringLiteral("::ADODB.Recordset"))) << e.source().toStdString();
    }
    EXPECT_TRUE(t.boxes.shown().isEmpty());
}

TEST(Header, InvoicesFlexFieldAndCustomsHouse)
{
    TestRun t;
    t.rt.Despacho = QStringLiteral("D1");
    t.data.onContains(H, QStringLiteral("CARATULA_DOCUMENTOS"),
                      rows({"REFERENCIA"}, {{"0001-00001234"}, {"A&B <2>, 3"}}));
    EXPECT_EQ(GetFacturas(t.rt),
              QStringLiteral("<declarationInvoices><invoicesNumber>0001-00001234</invoicesNumber></declarationInvoices>"
                             "<declarationInvoices><invoicesNumber>A&amp;B &lt;2&gt;, 3</invoicesNumber>"
                             "</declarationInvoices>"));

    t.data.onContains(H, QStringLiteral("Select IDENTIFICADOR_PROPIO"), rows({"IDENTIFICADOR_PROPIO"}, {{"4711"}}));
    t.data.onContains(I, QStringLiteral("cuitdespaduana"), rows({"cuitdespaduana"}, {{"20123456789"}}));
    EXPECT_EQ(GetDeclarationFlexField_CUIT(t.rt),
              QStringLiteral("<declarationFlexField><flexFieldName>CUIT</flexFieldName>"
                             "<flexFieldValue>20-12345678-9</flexFieldValue></declarationFlexField>"));

    t.data.onContains(I, QStringLiteral("from aduana"), rows({"descripcion"}, {{"BUENOS AIRES "}}));
    const struct {
        bool sim, descripcion;
        const char *expected;
    } aduanas[] = {{false, false, ""}, {true, false, "001"}, {false, true, "BUENOS AIRES"}, {true, true, "001 BUENOS AIRES"}};
    for (const auto &c : aduanas) {
        SCOPED_TRACE(c.expected);
        t.rt.cfg.PAISESSIM = c.sim;
        t.rt.cfg.PAISESDESCRIPCION = c.descripcion;
        EXPECT_EQ(GetAduanaDescripcion(t.rt, QStringLiteral("001")), QLatin1String(c.expected));
    }
    EXPECT_TRUE(t.boxes.shown().isEmpty());
}
