// config, relations and subitems: what the configuration window and the subitem viewer do, from
// the command line, on the demo workspace.
#include "cli/CommandLine.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace b2d::cli;

namespace {

const QDate kDay(2026, 3, 10);

struct CliResult {
    int status = -1;
    QString out;
    QString err;
};

class ConfigurationCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        demo = dir.filePath(QStringLiteral("demo"));
        ASSERT_EQ(run({QStringLiteral("demo"), demo}).status, ExitOk);
        qputenv("ProgramFiles", QFile::encodeName(demo + QStringLiteral("/ProgramFiles")));
    }
    void TearDown() override { qunsetenv("ProgramFiles"); }

    static CliResult run(const QStringList &arguments)
    {
        CliResult r;
        {
            QTextStream out(&r.out);
            QTextStream err(&r.err);
            Streams io{out, err, nullptr};
            r.status = runCommandLine(arguments, io, QStringLiteral("velmorab2d-cli"), kDay);
        }
        return r;
    }
    CliResult command(const QStringList &arguments) const
    {
        return run(QStringList{QStringLiteral("--connections"), demo + QStringLiteral("/connections.ini"),
                               QStringLiteral("--settings"), demo + QStringLiteral("/settings.ini")}
                   + arguments);
    }
    QString settingsFile() const
    {
        QFile f(demo + QStringLiteral("/settings.ini"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    // The rows of `relations list KIND` whose first cell is `origin`.
    QStringList relationRows(const QString &kind, const QString &origin) const
    {
        const CliResult r = command({QStringLiteral("relations"), QStringLiteral("list"), kind});
        EXPECT_EQ(r.status, ExitOk) << r.err.toStdString();
        QStringList out;
        for (const QString &line : r.out.split(QLatin1Char('\n')))
            if (line.section(QLatin1Char('\t'), 0, 0) == origin)
                out << line;
        return out;
    }

    QTemporaryDir dir;
    QString demo;
};

}  // namespace

TEST_F(ConfigurationCommands, ConfigShowsTheSettingsAsTheProgramReadsThemAndSetStoresOne)
{
    CliResult r = command({QStringLiteral("config"), QStringLiteral("show")});
    ASSERT_EQ(r.status, ExitOk) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 21);
    EXPECT_EQ(lines.at(0), QStringLiteral("PREFIJO=DVNI"));
    EXPECT_EQ(lines.at(2), QStringLiteral("PAISESSIM=1"));
    EXPECT_EQ(lines.at(12), QStringLiteral("INCLUIR900PENCARATULA=0"));
    EXPECT_TRUE(lines.at(20).startsWith(QLatin1String("RUTAGENXML=")));

    ASSERT_EQ(command({QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("prefijo"),
                       QStringLiteral("AB_")}).status,
              ExitOk);
    ASSERT_EQ(command({QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("INCLUIR900PENCARATULA"),
                       QStringLiteral("1")}).status,
              ExitOk);
    EXPECT_TRUE(settingsFile().contains(QLatin1String("\nPREFIJO=AB_\n")));
    r = command({QStringLiteral("config"), QStringLiteral("show")});
    EXPECT_TRUE(r.out.startsWith(QLatin1String("PREFIJO=AB_\nPREFIJOEXPO=DVNE\n")));
    EXPECT_TRUE(r.out.contains(QLatin1String("\nINCLUIR900PENCARATULA=1\n")));
}

TEST_F(ConfigurationCommands, ConfigRefusesWhatTheWindowCouldNotStore)
{
    const QString before = settingsFile();
    const struct {
        QStringList arguments;
        const char *message;
    } cases[] = {
        {{"config", "set", "NOSUCHKEY", "1"}, "unknown setting NOSUCHKEY"},
        {{"config", "set", "REQDIIMPO", "2"}, "REQDIIMPO is a switch"},
        {{"config", "set", "REQDIIMPO", "yes"}, "REQDIIMPO is a switch"},
        {{"config", "set", "PREFIJO"}, "config takes show or set KEY VALUE"},
        {{"config"}, "config needs show or set KEY VALUE"},
        {{"config", "list"}, "config takes show or set KEY VALUE"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const CliResult r = command(c.arguments);
        EXPECT_EQ(r.status, ExitUsage);
        EXPECT_TRUE(r.err.contains(QLatin1String(c.message))) << r.err.toStdString();
    }
    EXPECT_EQ(settingsFile(), before);
}

TEST_F(ConfigurationCommands, RelationsAddListAndRemoveWithTheWindowsStatements)
{
    CliResult r = command({QStringLiteral("relations"), QStringLiteral("list"), QStringLiteral("currency")});
    ASSERT_EQ(r.status, ExitOk) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QLatin1String("SIM\tISO\tDescripcion\n"))) << r.out.toStdString();
    r = command({QStringLiteral("relations"), QStringLiteral("list"), QStringLiteral("concept")});
    EXPECT_TRUE(r.out.startsWith(QLatin1String("Relacion Origen\tRelacion Destino\n"))) << r.out.toStdString();

    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(command({QStringLiteral("relations"), QStringLiteral("add"), QStringLiteral("country"),
                           QStringLiteral("O'Higgins"), QStringLiteral("CL")}).status,
                  ExitOk);
    EXPECT_EQ(relationRows(QStringLiteral("country"), QStringLiteral("O'Higgins")),
              (QStringList{QStringLiteral("O'Higgins\tCL\t"), QStringLiteral("O'Higgins\tCL\t")}));
    r = command({QStringLiteral("relations"), QStringLiteral("remove"), QStringLiteral("country"),
                 QStringLiteral("O'Higgins"), QStringLiteral("CL")});
    EXPECT_EQ(r.status, ExitOk) << r.err.toStdString();
    EXPECT_TRUE(relationRows(QStringLiteral("country"), QStringLiteral("O'Higgins")).isEmpty());
    // The pair is gone now: removing it again is reported, not taken for done.
    r = command({QStringLiteral("relations"), QStringLiteral("remove"), QStringLiteral("country"),
                 QStringLiteral("O'Higgins"), QStringLiteral("CL")});
    EXPECT_EQ(r.status, ExitFailed);
    EXPECT_TRUE(r.err.contains(QLatin1String("no Pais relation O'Higgins -> CL; nothing removed")))
        << r.err.toStdString();

    const struct {
        QStringList arguments;
        const char *message;
    } wrong[] = {
        {{"relations", "list", "tax"}, "unknown relation \"tax\""},
        {{"relations", "add", "concept", "X"}, "relations takes list KIND"},
        {{"relations", "drop", "concept", "X", "Y"}, "relations takes list KIND"},
    };
    for (const auto &c : wrong) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        r = command(c.arguments);
        EXPECT_EQ(r.status, ExitUsage);
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
    }
}

TEST_F(ConfigurationCommands, SubitemsPrintsTheViewersThreeTables)
{
    const CliResult r = command({QStringLiteral("subitems"), QStringLiteral("26-0398")});
    ASSERT_EQ(r.status, ExitOk) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'));
    const QStringList expected{
        "== Subitems cargados (MSFG_CRGS)",
        "ITEM\tSUBITEM\tARTICULO\tDESCRIPCION\tSUFIJOS",
        " \t1\tPH-A52-BLK\tSmartphone Nexa A52 128GB negro\tAA(NEXA) AB(A52) AC(128GB)",
        " \t2\tPH-A52-BLU\tSmartphone Nexa A52 128GB azul\tAA(NEXA) AB(A52) AC(128GB)",
        " \t3\tPH-A72-GRY\tSmartphone Nexa A72 256GB gris\tAA(NEXA) AB(A72) AC(256GB)",
        " \t4\tBUDS-2-WHT\tAuriculares Nexa Buds 2 blancos\tAA(NEXA) AB(BUDS2)",
        "== Subitems agrupados (MSFG_GRP_CALDRA)",
        "ITEM\tARTICULO\tDESCRIPCION\tSUFIJOS",
        "1\tPH-A52\tSmartphones A52\tAC(128GB) AA(NEXA) AB(A52)",
        "1\tPH-A72\tSmartphones A72\tAB(A72) AA(NEXA) AC(256GB)",
        "2\tBUDS-2\tAuriculares Buds 2\tAB(BUDS2) AA(NEXA)",
        "== Subitems oficializados (MSFG_MARIA)",
        "ITEM\tSUBITEM\tARTICULO\tDESCRIPCION\tSUFIJOS",
        "1\t0001\tA52\t \tAA(NEXA) AB(A52) AC(128GB)",
        "1\t0002\tA72\t \tAA(NEXA) AB(A72) AC(256GB)",
        "2\t0000\tBUDS2\t \tAA(NEXA) AB(BUDS2)",
        "",
    };
    EXPECT_EQ(lines, expected);

    // An interno with a quote is asked for as it is, and has nothing.
    const CliResult none = command({QStringLiteral("subitems"), QStringLiteral("26-'0398")});
    EXPECT_EQ(none.status, ExitOk) << none.err.toStdString();
    EXPECT_EQ(none.out.count(QLatin1String("== ")), 3);
    EXPECT_EQ(none.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 6);
    EXPECT_EQ(command({QStringLiteral("subitems")}).status, ExitUsage);
}
