#include "support/TestSupport.h"

#include "app/Processing.h"
#include "declaration/StatusUpdates.h"
#include "runtime/Errors.h"

#include <gtest/gtest.h>

using namespace b2d;
using b2d::test::TestRun;

TEST(StatusUpdates, StatementsCarryTodayAndQuotedValues)
{
    const struct {
        const char *name;
        void (*run)(Runtime &);
        const char *sql;
    } cases[] = {
        {"processed",
         [](Runtime &rt) { Set_Procesado(rt, QStringLiteral("19001IC04000123A"), QStringLiteral("AB__IC04_O'N_1")); },
         "Update Caratula_Caratula Set Xml_Procesado = {d '2019-03-05'} ,Xml_B2DFile = 'AB__IC04_O''N_1' "
         "Where Despacho ='19001IC04000123A'"},
        {"sent", [](Runtime &rt) { Set_Enviado(rt, true, QStringLiteral("19001EC01'9")); },
         "Update Caratula_Caratula Set Xml_Enviado = {d '2019-03-05'} Where Despacho ='19001EC01''9'"},
        {"not sent", [](Runtime &rt) { Set_Enviado(rt, false, QStringLiteral("19001EC019")); },
         "Update Caratula_Caratula Set Xml_Enviado = NULL Where Despacho ='19001EC019'"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestRun t;
        c.run(t.rt);
        ASSERT_EQ(t.data.calls().size(), 1);
        EXPECT_TRUE(t.data.calls()[0].write);
        EXPECT_EQ(t.data.calls()[0].entity, QStringLiteral("HISTORIAL"));
        EXPECT_EQ(t.data.calls()[0].sql, QString::fromUtf8(c.sql));
        EXPECT_TRUE(t.boxes.shown().isEmpty());
    }
}

// A refused update (an error, or no row changed where the database tells) is shown and answered
// false; a database that does not tell the count is taken at its word.
TEST(StatusUpdates, RefusedUpdatesAreShownAndAnsweredFalse)
{
    enum class Db { Accepts, Refuses, ChangesNoRow };
    const struct {
        const char *name;
        Db db;
        const char *text;  // the refusal's text ("" accepted)
    } cases[] = {
        {"accepted", Db::Accepts, ""},
        {"refused", Db::Refuses, "UPDATE permission denied"},
        {"no row", Db::ChangesNoRow, "No se actualizó ninguna fila de Caratula_Caratula con Despacho 19001IC04000123A"},
    };
    const QString number = QStringLiteral("19001IC04000123A");
    for (const auto &c : cases) {
        for (const char *procedure : {"Set_Procesado", "Set_Enviado"}) {
            SCOPED_TRACE(std::string(c.name) + " " + procedure);
            TestRun t;
            if (c.db == Db::Refuses)
                t.data.failOn(QStringLiteral("HISTORIAL"), QStringLiteral("Update"), QString::fromUtf8(c.text));
            else if (c.db == Db::ChangesNoRow)
                t.data.changesNoRow(QStringLiteral("HISTORIAL"), QStringLiteral("Update"));
            QString refusal = QStringLiteral("unset");
            const bool done = QLatin1String(procedure) == QLatin1String("Set_Procesado")
                ? Set_Procesado(t.rt, number, QStringLiteral("AB__IC04_1"))
                : Set_Enviado(t.rt, true, number, &refusal);
            EXPECT_EQ(done, c.db == Db::Accepts);
            if (c.db == Db::Accepts) {
                EXPECT_TRUE(t.boxes.shown().isEmpty());
                if (QLatin1String(procedure) == QLatin1String("Set_Enviado")) {
                    EXPECT_EQ(refusal, QStringLiteral("unset"));
                }
                continue;
            }
            ASSERT_EQ(t.boxes.messages().size(), 1);
            EXPECT_EQ(t.boxes.messages()[0].text, QStringLiteral("Error -2147217900 (") + QString::fromUtf8(c.text)
                                                      + QStringLiteral(")\nin procedure ") + QLatin1String(procedure)
                                                      + QStringLiteral(" of Módulo Mod_Main - 20"));
            if (QLatin1String(procedure) == QLatin1String("Set_Enviado")) {
                EXPECT_EQ(refusal, QString::fromUtf8(c.text));
            }
        }
    }
}

// What the row held is read once and written back as it was: nulls as NULL, texts quoted, dates
// as date escapes and a time of day kept.
TEST(StatusUpdates, EarlierValuesAreReadAndRestoredAsTheyWere)
{
    const QString number = QStringLiteral("19001IC04'1");
    const QString read = QStringLiteral("Select Xml_Procesado, Xml_B2DFile, Xml_Enviado From Caratula_Caratula "
                                        "Where Despacho ='19001IC04''1'");
    const struct {
        const char *name;
        QVariantList row;  // empty: no row
        const char *procesado;
        const char *enviado;
    } cases[] = {
        {"never processed", {QVariant(), QVariant(), QVariant()},
         "Update Caratula_Caratula Set Xml_Procesado = NULL ,Xml_B2DFile = NULL Where Despacho ='19001IC04''1'",
         "Update Caratula_Caratula Set Xml_Enviado = NULL Where Despacho ='19001IC04''1'"},
        {"texts of SQLite", {QStringLiteral("2019-03-01"), QStringLiteral("AB_O'N"), QStringLiteral("2019-03-02 10:11:12")},
         "Update Caratula_Caratula Set Xml_Procesado = '2019-03-01' ,Xml_B2DFile = 'AB_O''N' Where Despacho ='19001IC04''1'",
         "Update Caratula_Caratula Set Xml_Enviado = '2019-03-02 10:11:12' Where Despacho ='19001IC04''1'"},
        {"date-times of ODBC", {QDateTime(QDate(2019, 3, 1), QTime(0, 0)), QStringLiteral("AB_1"),
                                QDateTime(QDate(2019, 3, 2), QTime(10, 11, 12))},
         "Update Caratula_Caratula Set Xml_Procesado = {d '2019-03-01'} ,Xml_B2DFile = 'AB_1' Where Despacho ='19001IC04''1'",
         "Update Caratula_Caratula Set Xml_Enviado = {ts '2019-03-02 10:11:12'} Where Despacho ='19001IC04''1'"},
        {"no row", {},
         "Update Caratula_Caratula Set Xml_Procesado = NULL ,Xml_B2DFile = NULL Where Despacho ='19001IC04''1'",
         "Update Caratula_Caratula Set Xml_Enviado = NULL Where Despacho ='19001IC04''1'"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestRun t;
        if (!c.row.isEmpty())
            t.data.onExact(QStringLiteral("HISTORIAL"), read,
                           rows({QStringLiteral("XML_PROCESADO"), QStringLiteral("Xml_B2DFile"), QStringLiteral("xml_enviado")},
                                {c.row}));
        const EstadoDespacho earlier = LeerEstadoDespacho(t.rt, number);
        EXPECT_EQ(earlier.found, !c.row.isEmpty());
        RestaurarProcesado(t.rt, number, earlier);
        RestaurarEnviado(t.rt, number, earlier);
        EXPECT_EQ(t.data.statements(), (QStringList{read, QString::fromUtf8(c.procesado), QString::fromUtf8(c.enviado)}));
        EXPECT_TRUE(t.boxes.shown().isEmpty());
    }

    TestRun t;
    t.data.failOn(QStringLiteral("HISTORIAL"), QStringLiteral("Select Xml_Procesado"), QStringLiteral("no such table"));
    EXPECT_THROW(LeerEstadoDespacho(t.rt, number), B2DError);
}
