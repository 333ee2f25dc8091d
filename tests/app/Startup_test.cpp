#include "app/Startup.h"

#include "lookups/Operations.h"
#include "platform/PeVersion.h"
#include "runtime/Errors.h"
#include "support/TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace b2d;

namespace {

const QString kCaldraDbQuery = QStringLiteral("SELECT valor from version where propiedad = 'version'");
const QString kExchangeDbQuery = QStringLiteral("exec versionbd");
const QString kCaldraDbMessage =
    QStringLiteral("Necesita tener la versión de base de datos del CALDRA actualizada a nro: 361");
const QString kExchangeDbMessage =
    QStringLiteral("Necesita tener la versión de base de datos del ARDENXML actualizada a nro: 2.04");
const QString kExeMessage = QStringLiteral("Necesita tener la versión del CALDRA actualizada a nro: 3.4.0.120");
const QString kNoVersion = QStringLiteral("No Version Info available!");

TEST(Startup, CompareVersionsNumericallyByComponent)
{
    const struct {
        const char *a;
        const char *b;
        int expected;
    } cases[] = {
        {"3.4.0.99", "3.4.0.120", -1},  {"3.10.0.0", "3.4.0.120", 1}, {"3.4.0.120", "3.4.0.120", 0},
        {"3.3.9.999", "3.4.0.120", -1}, {"", "3.4.0.120", -1},        {"3.4", "3.4.0.0", 0},
        {"3.4.0.120.1", "3.4.0.120", 1}, {"03.004.0.120", "3.4.0.120", 0},
        {"99999999999999999999.0", "3.4", 1}, {"4", "3.99.99.99", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        EXPECT_EQ(compareVersions(QLatin1String(c.a), QLatin1String(c.b)), c.expected);
        EXPECT_EQ(compareVersions(QLatin1String(c.b), QLatin1String(c.a)), -c.expected);
    }
}

// What the databases and the installation answer, and what start-up must do with them.
struct StartupCase {
    const char *name;
    QVariant caldraDb;       // invalid: the query fails
    QVariant exchangeDb;     // invalid: no row
    const char *exeVersion;  // nullptr: no executable
    QStringList boxes;       // every box shown, in order
    bool ends;               // ProgramEnd thrown
};

TEST(Startup, VersionChecks)
{
    const StartupCase cases[] = {
        {"all current", 361, QStringLiteral("2.04"), "3.4.0.120", {}, false},
        {"newer everywhere", QStringLiteral("400"), 2.1, "3.10.0.0", {}, false},
        {"old customs database", 360, QStringLiteral("2.04"), "3.4.0.120", {kCaldraDbMessage}, true},
        {"old exchange database", 361, QStringLiteral("2.03"), "3.4.0.120", {kExchangeDbMessage}, true},
        {"version query fails", QVariant(), QStringLiteral("2.04"), "3.4.0.120", {}, false},
        {"no versionbd row", 361, QVariant(), "3.4.0.120", {}, false},
        {"executable 3.4.0.99", 361, QStringLiteral("2.04"), "3.4.0.99", {kExeMessage}, true},
        {"executable 3.3.9.999", 361, QStringLiteral("2.04"), "3.3.9.999", {kExeMessage}, true},
        {"no executable", 361, QStringLiteral("2.04"), nullptr, {kNoVersion, kExeMessage}, true},
    };
    for (const StartupCase &c : cases) {
        SCOPED_TRACE(c.name);
        test::TestRun run;
        run.rt.programFiles = run.dir.filePath(QStringLiteral("Program Files"));
        run.rt.trazaDetallada = false;
        if (c.exeVersion) {
            ASSERT_TRUE(writeStandInExecutable(run.rt.programFiles + QStringLiteral("/Caldra/caldra.exe"),
                                               QLatin1String(c.exeVersion)));
        }
        if (c.caldraDb.isValid())
            run.data.onExact(QStringLiteral("INTERNOS"), kCaldraDbQuery,
                             rows({QStringLiteral("Valor")}, {{c.caldraDb}}));
        else
            run.data.failOn(QStringLiteral("INTERNOS"), kCaldraDbQuery, QStringLiteral("Invalid object name 'version'"));
        if (c.exchangeDb.isValid())
            run.data.onExact(QStringLiteral("HISTORIAL"), kExchangeDbQuery,
                             rows({QStringLiteral("Version")}, {{c.exchangeDb}}));
        run.store.save(QStringLiteral("VELMORAB2D"), QStringLiteral("GENERAL"), QStringLiteral("PREFIJO"),
                       QStringLiteral("DVN"));

        bool ended = false;
        try {
            runStartupChecks(run.rt);
        } catch (const ProgramEnd &) {
            ended = true;
        }
        EXPECT_EQ(ended, c.ends);
        EXPECT_EQ(run.boxes.texts(), c.boxes);
        for (const auto &box : run.boxes.shown()) {
            EXPECT_EQ(box.icon, BoxIcon::None);
            EXPECT_EQ(box.buttons, BoxButtons::Ok);
            EXPECT_EQ(box.title, Runtime::appTitle());
        }
        EXPECT_TRUE(run.rt.trazaDetallada);
        // The settings load only when every check passed; the end is in the run log.
        EXPECT_EQ(run.rt.cfg.PREFIJO, c.ends ? QString() : QStringLiteral("DVN"));
        EXPECT_EQ(run.logText().contains(QStringLiteral(" - Finalizar Programa\r\n")), c.ends);
        // A failed customs-database check stops before the exchange database is asked.
        const QStringList expected = c.boxes.value(0) == kCaldraDbMessage
            ? QStringList{kCaldraDbQuery}
            : QStringList{kCaldraDbQuery, kExchangeDbQuery};
        EXPECT_EQ(run.data.statements(), expected);
    }
}

TEST(Startup, ExisteInternoEnCaldra)
{
    const struct {
        const char *interno;
        bool exists;
        bool fails;
        const char *statement;
    } cases[] = {
        {"19001I0001", true, false, "Select Interno from Caratula where Interno = '19001I0001'"},
        {"19001I0002", false, false, "Select Interno from Caratula where Interno = '19001I0002'"},
        {"O'1", false, true, "Select Interno from Caratula where Interno = 'O''1'"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.interno);
        test::TestRun run;
        if (c.exists)
            run.data.onContains(QStringLiteral("INTERNOS"), QLatin1String(c.interno),
                                rows({QStringLiteral("Interno")}, {{QLatin1String(c.interno)}}));
        if (c.fails)
            run.data.failOn(QStringLiteral("INTERNOS"), QStringLiteral("Caratula"), QStringLiteral("timeout"));
        EXPECT_EQ(ExisteInternoEnCaldra(run.rt, QLatin1String(c.interno)), c.exists);
        EXPECT_EQ(run.data.statements(), QStringList{QLatin1String(c.statement)});
        EXPECT_TRUE(run.boxes.shown().isEmpty());
    }
}

}  // namespace
