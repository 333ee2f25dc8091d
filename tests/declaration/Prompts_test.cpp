#include "support/TestSupport.h"

#include "declaration/Prompts.h"
#include "runtime/Errors.h"

#include <gtest/gtest.h>

using namespace b2d;
using b2d::test::TestRun;

namespace {

const QString H = QStringLiteral("HISTORIAL");
const QString I = QStringLiteral("INTERNOS");
const QString kCancelHead = QStringLiteral("Error -2147220393 (Proceso Cancelado por usuario)");

struct PromptRun : TestRun {
    PromptRun() { rt.Despacho = QStringLiteral("19001IC04000123A"); }

    QStringList writes() const { return data.writes(); }
    // Texts of the questions (YesNo) or of the other message boxes.
    QStringList messages(bool questions) const
    {
        QStringList out;
        for (const auto &m : boxes.messages())
            if ((m.buttons == BoxButtons::YesNo) == questions)
                out << m.text;
        return out;
    }
    QStringList questions() const { return messages(true); }
    QStringList errorBoxes() const { return messages(false); }
    int inputs() const { return int(boxes.shown().size() - boxes.messages().size()); }
};

}  // namespace

TEST(Prompts, GetDataFromDBSendsTheStatementOfEachKey)
{
    const struct {
        const char *key;
        const char *sql;  // empty: no query at all
    } cases[] = {
        {"ProcessRC", "Select xml_ProcessRC From Caratula_Caratula Where Despacho = 'A''B'"},
        {"BrokerRC", "Select IDENTIFICADOR_PROPIO From Caratula_Caratula Where Despacho = 'A''B'"},
        {"FechaLIB", "Select xml_FechaLIB From Caratula_Caratula Where Despacho = 'A''B'"},
        {"FechaCumplido", "Select xml_FechaCumplido From Caratula_Caratula Where Despacho = 'A''B'"},
        {"Canal", "Select xml_Canal From Caratula_Caratula Where Despacho = 'A''B'"},
        {"FechaOficializacion", "Select FECHA_OFICIALIZACION From Caratula_Caratula Where Despacho = 'A''B'"},
        {"FechaPago", "Select xml_FechaPago From Caratula_Caratula Where Despacho = 'A''B'"},
        {"Otro", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        TestRun t;
        t.rt.Despacho = QStringLiteral("A'B");
        EXPECT_EQ(GetDataFromDB(t.rt, QString::fromUtf8(c.key)), QString());
        const QStringList expected = *c.sql ? QStringList{QString::fromUtf8(c.sql)} : QStringList{};
        EXPECT_EQ(t.data.statements(H), expected);
        EXPECT_TRUE(t.data.statements(I).isEmpty());
    }
}

TEST(Prompts, SetDataTODBSendsTheStatementOfEachKey)
{
    const struct {
        const char *key;
        const char *value;
        const char *sql;
    } cases[] = {
        {"ProcessRC", "O'NEIL", "Update CARATULA_CARATULA set xml_ProcessRC = 'O''NEIL' Where DESPACHO ='A''B'"},
        {"BrokerRC", "0055/09", "Update CARATULA_CARATULA set IDENTIFICADOR_PROPIO ='0055/09' Where DESPACHO = 'A''B'"},
        {"FechaLIB", "5/3/2019", "Update CARATULA_CARATULA set xml_FechaLIB ='5/3/2019' Where DESPACHO = 'A''B'"},
        {"FechaCumplido", "5/3/19", "Update CARATULA_CARATULA set xml_FechaCumplido = {d '2019-03-05'} Where DESPACHO = 'A''B'"},
        {"Canal", "", "Update CARATULA_CARATULA set xml_Canal ='' Where DESPACHO = 'A''B'"},
        {"FechaPago", "05.03.2019", "Update CARATULA_CARATULA set xml_FechaPago ='05.03.2019' Where DESPACHO = 'A''B'"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        TestRun t;
        t.rt.Despacho = QStringLiteral("A'B");
        SetDataTODB(t.rt, QString::fromUtf8(c.key), QString::fromUtf8(c.value));
        EXPECT_EQ(t.data.statements(H), QStringList{QString::fromUtf8(c.sql)});
        EXPECT_TRUE(t.boxes.shown().isEmpty());
    }
}

TEST(Prompts, SetDataTODBReportsWhatItCouldNotSave)
{
    const struct {
        const char *despacho;
        const char *key;
        bool refused;  // the database refuses the statement
        const char *box;
    } cases[] = {
        {"19001IC04000123A", "FechaOficializacion", false,
         "No se pudo guardar [V] en [FechaOficializacion] en la base de datos: Despacho = [19001IC04000123A]\nSetDataTODB20"},
        {"", "Canal", false, "No se pudo guardar [V] en [Canal] en la base de datos: Despacho = []\nSetDataTODB10"},
        {"19001IC04000123A", "Canal", true,
         "No se pudo guardar [V] en [Canal] en la base de datos: Despacho = [19001IC04000123A]\nSetDataTODB30"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.box);
        TestRun t;
        t.rt.Despacho = QString::fromUtf8(c.despacho);
        if (c.refused)
            t.data.failOn(H, QStringLiteral("Update"), QStringLiteral("Timeout expired"));
        SetDataTODB(t.rt, QString::fromUtf8(c.key), QStringLiteral("V"));
        EXPECT_EQ(t.data.statements().size(), c.refused ? 1 : 0);
        ASSERT_EQ(t.boxes.messages().size(), 1);
        EXPECT_EQ(t.boxes.messages()[0].text, QString::fromUtf8(c.box));
        EXPECT_EQ(t.boxes.messages()[0].icon, BoxIcon::Critical);
    }
}

// The channel's answers go through the "Canal" relation: V is known (VERDE), ZZ is not.
TEST(Prompts, ChannelLoopFollowsTheMandatorySwitch)
{
    const struct {
        const char *name;
        bool required;
        QStringList typed;
        QList<bool> yes;         // answers to the cancel questions
        const char *result;
        int inputs;
        int questions;
        bool cancelled;
    } cases[] = {
        {"empty accepted when optional", false, {QString()}, {}, "", 1, 0, false},
        {"unknown asked again silently", false, {QStringLiteral("zz"), QStringLiteral("v")}, {}, "VERDE", 2, 0, false},
        {"unknown then empty when optional", false, {QStringLiteral("zz"), QString()}, {}, "", 2, 0, false},
        {"empty asks when required, No asks again", true, {QString(), QStringLiteral("V")}, {false}, "VERDE", 2, 1, false},
        {"unknown asked again when required", true, {QStringLiteral("zz"), QStringLiteral("v")}, {}, "VERDE", 2, 0, false},
        {"empty, Yes cancels", true, {QString()}, {true}, "", 1, 1, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PromptRun t;
        t.rt.cfg.REQCANALYFECHAS = c.required;
        t.data.onContains(H, QStringLiteral("ValorOrigen = 'V'"),
                          rows({QStringLiteral("ValorDestino")}, {{QStringLiteral("VERDE")}}));
        t.data.onContains(H, QStringLiteral("Select xml_Canal"),
                          rows({QStringLiteral("xml_Canal")}, {{QStringLiteral("R")}}));
        for (const QString &a : c.typed)
            t.boxes.type(a);
        for (bool y : c.yes)
            t.boxes.answer(y);

        EXPECT_EQ(ObtenerCANAL(t.rt), QString::fromUtf8(c.result));
        EXPECT_EQ(t.inputs(), c.inputs);
        EXPECT_EQ(t.questions().size(), c.questions);
        EXPECT_EQ(t.rt.generacionCancelada, c.cancelled);
        const auto &first = t.boxes.shown().first();
        EXPECT_EQ(first.text, QStringLiteral("Ingrese CANAL / DECLARATION CHANNEL"));
        EXPECT_EQ(first.title, QStringLiteral("CANAL Despacho"));
        EXPECT_EQ(first.defaultValue, QStringLiteral("R"));
        for (const QString &q : t.questions())
            EXPECT_EQ(q, QStringLiteral("No ingresó CANAL o el dato ingresado no fue válido, desea cancelar?"));
        if (c.cancelled) {
            EXPECT_TRUE(t.writes().isEmpty());
            EXPECT_EQ(t.errorBoxes(), QStringList{kCancelHead + QStringLiteral("\nin procedure ObtenerCANAL of Módulo Mod_Main - 40")});
        } else {
            EXPECT_EQ(t.writes(), QStringList{QStringLiteral("Update CARATULA_CARATULA set xml_Canal ='")
                                              + QString::fromUtf8(c.result)
                                              + QStringLiteral("' Where DESPACHO = '19001IC04000123A'")});
            EXPECT_TRUE(t.errorBoxes().isEmpty());
        }
    }
}

TEST(Prompts, DateLoopsFollowTheMandatoryAndEmptyDateSwitches)
{
    const struct {
        const char *name;
        bool required;
        bool allowEmpty;
        QStringList typed;
        QList<bool> yes;
        const char *result;  // "=" : the typed valid date
        int questions;
        bool cancelled;
    } cases[] = {
        {"valid date kept as typed", false, false, {QStringLiteral("5/3/19")}, {}, "=", 0, false},
        {"invalid falls back to officialisation", false, false, {QStringLiteral("31/02/2019")}, {}, "2019-03-01", 0, false},
        {"invalid left empty when allowed", false, true, {QStringLiteral("31/02/2019")}, {}, "", 0, false},
        {"required asks, No asks again", true, false, {QStringLiteral("mañana"), QStringLiteral("05-03-2019")}, {false}, "=", 1, false},
        {"required and allowed asks too", true, true, {QString(), QStringLiteral("2019-03-05")}, {false}, "=", 1, false},
        {"required, Yes cancels", true, true, {QStringLiteral("x")}, {true}, "", 1, true},
    };
    const struct {
        const char *procedure;  // as its error box names it
        QString (*ask)(Runtime &);
        const char *prompt;
        const char *title;
        const char *question;
        const char *column;
    } prompts[] = {
        {"ObtenerFechaLiberacion", ObtenerFechaLiberacion, "Ingrese FECHA LIBERACION ", "LIBERACION",
         "Ingresò fecha de liberaciòn invàlida, desea cancelar?", "xml_FechaLIB"},
        {"ObtenerFechaCumplido", ObtenerFechaCumplido, "Ingrese FECHA CUMPLIDO ", "CUMPLIDO",
         "Ingresò fecha de cumplido invàlida, desea cancelar?", "xml_FechaCumplido"},
        {"ObtenerFechaPago_Error", ObtenerFechaPago, "Ingrese FECHA PAGO ", "PAGO",
         "Ingresò Fecha Pago invàlida, desea cancelar?", "xml_FechaPago"},
    };
    for (const auto &p : prompts) {
        for (const auto &c : cases) {
            SCOPED_TRACE(QStringLiteral("%1: %2").arg(QString::fromUtf8(p.procedure), QString::fromUtf8(c.name)).toStdString());
            PromptRun t;
            t.rt.cfg.REQCANALYFECHAS = c.required;
            t.rt.cfg.PERMITIRFECHASVACIAS = c.allowEmpty;
            t.data.onContains(H, QStringLiteral("Select FECHA_OFICIALIZACION"),
                              rows({QStringLiteral("FECHA_OFICIALIZACION")}, {{QStringLiteral("2019-03-01")}}));
            t.data.onContains(H, QStringLiteral("Select ") + QString::fromUtf8(p.column) + QLatin1Char(' '),
                              rows({QString::fromUtf8(p.column)}, {{QStringLiteral("1/2/2019")}}));
            for (const QString &a : c.typed)
                t.boxes.type(a);
            for (bool y : c.yes)
                t.boxes.answer(y);

            const QString got = p.ask(t.rt);
            const bool valid = QString::fromUtf8(c.result) == QLatin1String("=");
            EXPECT_EQ(got, valid ? c.typed.last() : QString::fromUtf8(c.result));
            EXPECT_EQ(t.inputs(), c.typed.size());
            EXPECT_EQ(t.rt.generacionCancelada, c.cancelled);
            const auto &first = t.boxes.shown().first();
            EXPECT_EQ(first.text, QString::fromUtf8(p.prompt));
            EXPECT_EQ(first.title, QString::fromUtf8(p.title));
            EXPECT_EQ(first.defaultValue, QStringLiteral("1/2/2019"));
            EXPECT_EQ(t.questions().size(), c.questions);
            for (const QString &q : t.questions())
                EXPECT_EQ(q, QString::fromUtf8(p.question));
            // Only a valid date is remembered.
            ASSERT_EQ(t.writes().size(), valid ? 1 : 0);
            EXPECT_TRUE(!valid || t.writes()[0].contains(QString::fromUtf8(p.column)));
            const QString cancelBox = kCancelHead + QStringLiteral(" en ") + QString::fromUtf8(p.procedure)
                + QStringLiteral(" de Módulo Mod_Main \nLinea:40");
            EXPECT_EQ(t.errorBoxes(), c.cancelled ? QStringList{cancelBox} : QStringList{});
        }
    }
}

TEST(Prompts, ProcessReferenceDefaultsToTheOperationsWaybill)
{
    const struct {
        const char *given;    // the default handed in
        bool hasIntN;         // the operation has its IntN row
        const char *offered;  // the default the box shows
    } cases[] = {{"  2019/77 ", true, "2019/77"}, {"  ", true, "WB-1"}, {"", false, ""}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.given);
        PromptRun t;
        t.data.onContains(H, QStringLiteral("Select IDENTIFICADOR_PROPIO"),
                          rows({QStringLiteral("IDENTIFICADOR_PROPIO")}, {{QStringLiteral("12'5")}}));
        if (c.hasIntN)
            t.data.onExact(I, QStringLiteral("Select WaybillReferenceCode from IntN Where Intnro = '12''5'"),
                           rows({QStringLiteral("WaybillReferenceCode")}, {{QStringLiteral("WB-1")}}));
        t.boxes.type(QStringLiteral("ab/1"));
        QString def = QString::fromUtf8(c.given);
        EXPECT_EQ(ObtenerProcessReferenceCode(t.rt, def), QStringLiteral("AB/1"));
        EXPECT_EQ(t.boxes.shown().first().defaultValue, QString::fromUtf8(c.offered));
        EXPECT_EQ(t.boxes.shown().first().text,
                  QStringLiteral("Ingresar la informacion de 'ProcessReferenceCode',\n(waybillReferenceCode)\nINTERNO DVN"));
        EXPECT_EQ(t.writes(), QStringList{QStringLiteral(
                                  "Update CARATULA_CARATULA set xml_ProcessRC = 'AB/1' Where DESPACHO ='19001IC04000123A'")});
    }
}

// Yes to the cancel question: the prompt's own box, nothing remembered, and the generation
// stops, except when the operator gives up naming the file.
TEST(Prompts, GivingUpAtAMandatoryPrompt)
{
    const struct {
        const char *procedure;
        QString (*ask)(Runtime &);
        const char *title;
        const char *question;
        int line;
        bool cancels;
    } cases[] = {
        {"ObtenerProcessReferenceCode", [](Runtime &rt) { QString d; return ObtenerProcessReferenceCode(rt, d); },
         "ProcessReferenceCode(waybillReferenceCode)",
         "No ingreso 'ProcessReferenceCode'(waybillReferenceCode), desea cancelar?", 40, true},
        {"ObtenerBrokerReferenceCode", [](Runtime &rt) { QString d; return ObtenerBrokerReferenceCode(rt, d); },
         "BrokerReferenceCode(waybillReferenceCode)",
         "No ingreso 'BrokerReferenceCode'(waybillReferenceCode), desea cancelar?", 40, true},
        {"ObtenerNombreArchivo", ObtenerNombreArchivo, "Generar Archivo",
         "No ingreso nombre de Archivo a Generar, Desea Cancelar?", 30, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.procedure);
        PromptRun t;
        t.boxes.type(QStringLiteral("  "));
        t.boxes.answer(false);  // No asks again
        t.boxes.type(QString());
        t.boxes.answer(true);
        EXPECT_EQ(c.ask(t.rt), QString());
        EXPECT_EQ(t.inputs(), 2);
        EXPECT_EQ(t.boxes.shown().first().title, QString::fromUtf8(c.title));
        EXPECT_EQ(t.questions(), QStringList(2, QString::fromUtf8(c.question)));
        EXPECT_EQ(t.rt.generacionCancelada, c.cancels);
        EXPECT_TRUE(t.writes().isEmpty());
        EXPECT_EQ(t.errorBoxes(), QStringList{kCancelHead + QStringLiteral(" en ") + QString::fromUtf8(c.procedure)
                                              + QStringLiteral(" de Módulo Mod_Main \nLinea:") + QString::number(c.line)});
    }
}

TEST(Prompts, BrokerCuitIsFormattedFromTheOperation)
{
    const struct {
        QVariant broker;
        QVariant cuit;
        const char *result;
    } cases[] = {
        {QStringLiteral("4711"), QStringLiteral("20123456789"), "20-12345678-9"},
        {QStringLiteral("4711"), QVariant(20123456789.0), "20-12345678-9"},
        {QVariant(), QStringLiteral("20123456789"), ""},  // no broker reference: no query
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.result);
        PromptRun t;
        t.data.onContains(H, QStringLiteral("Select IDENTIFICADOR_PROPIO"),
                          rows({QStringLiteral("IDENTIFICADOR_PROPIO")}, {{c.broker}}));
        t.data.onExact(I, QStringLiteral("Select cuitdespaduana From caratula Where interno = '4711'"),
                       rows({QStringLiteral("cuitdespaduana")}, {{c.cuit}}));
        EXPECT_EQ(ObtenerCuitDespachante(t.rt), QString::fromUtf8(c.result));
    }
}
