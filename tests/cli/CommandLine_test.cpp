#include "cli/CommandLine.h"
#include "cli/ListCommand.h"

#include "platform/PeVersion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

#include <algorithm>

using namespace b2d::cli;

namespace {

const QDate kToday(2026, 3, 10);

// One run of the command line inside the test process.
struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

CliRun runCli(const QStringList &arguments)
{
    CliRun r;
    {
        QTextStream out(&r.out);
        QTextStream err(&r.err);
        QString none;
        QTextStream in(&none, QIODevice::ReadOnly);
        Streams io{out, err, &in};
        r.status = runCommandLine(arguments, io, QStringLiteral("velmorab2d-cli"), kToday);
    }
    return r;
}

// The environment variable that locates the customs-management program when the connections
// file names none, for one scope (unset with an empty folder).
class ProgramFilesAt {
public:
    explicit ProgramFilesAt(const QString &folder)
        : m_had(qEnvironmentVariableIsSet("ProgramFiles")), m_old(qgetenv("ProgramFiles"))
    {
        if (folder.isEmpty())
            qunsetenv("ProgramFiles");
        else
            qputenv("ProgramFiles", QFile::encodeName(folder));
    }
    ~ProgramFilesAt()
    {
        if (m_had)
            qputenv("ProgramFiles", m_old);
        else
            qunsetenv("ProgramFiles");
    }

private:
    bool m_had;
    QByteArray m_old;
};

// A demo workspace built by the demo command, on the tests' day.
class CommandLineDemo : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        demoDir = s_dir->filePath(QStringLiteral("demo"));
        const CliRun r = runCli({QStringLiteral("demo"), demoDir});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }

    // The demo's connections file names its executable: no environment variable is needed.
    static CliRun list(const QStringList &options)
    {
        ProgramFilesAt programFiles{QString()};
        return runCli(QStringList{QStringLiteral("--connections"), demoDir + QStringLiteral("/connections.ini"),
                               QStringLiteral("--settings"), demoDir + QStringLiteral("/settings.ini"),
                               QStringLiteral("list")}
                   + options);
    }

    static inline QTemporaryDir *s_dir = nullptr;
    static inline QString demoDir;
};

QStringList firstColumn(const QString &table)
{
    QStringList values;
    for (const QString &line : table.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1))
        values << line.section(QLatin1Char(' '), 0, 0);
    return values;
}

}  // namespace

TEST(CommandLine, WrongUsageIsStatusOneWithAMessage)
{
    struct Case {
        QStringList arguments;
        const char *message;
    };
    const Case cases[] = {
        {{}, "no command given"},
        {{QStringLiteral("frobnicate")}, "unknown command 'frobnicate'"},
        {{QStringLiteral("list"), QStringLiteral("--bogus")}, "bogus"},
        {{QStringLiteral("list"), QStringLiteral("--from")}, "from"},
        {{QStringLiteral("list"), QStringLiteral("--from"), QStringLiteral("31/02/2026")}, "is not a date"},
        {{QStringLiteral("list"), QStringLiteral("--to"), QStringLiteral("2026-13-01")}, "is not a date"},
        {{QStringLiteral("list"), QStringLiteral("--order"), QStringLiteral("numero")}, "neither fecha nor interno"},
        {{QStringLiteral("list"), QStringLiteral("--from"), QStringLiteral("2026-03-10"), QStringLiteral("--to"),
          QStringLiteral("1/3/2026")},
         "is after --to"},
        {{QStringLiteral("list"), QStringLiteral("26001IC04000123A")}, "list takes no arguments"},
        {{QStringLiteral("--connections"), QStringLiteral("/no/such/connections.ini"), QStringLiteral("list")},
         "connections file not found: /no/such/connections.ini"},
        {{QStringLiteral("demo"), QStringLiteral("a"), QStringLiteral("b")}, "demo takes one folder"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const CliRun r = runCli(c.arguments);
        EXPECT_EQ(r.status, ExitUsage);
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(CommandLine, HelpListsTheCommandsAndTheirOptions)
{
    const CliRun general = runCli({QStringLiteral("--help")});
    EXPECT_EQ(general.status, ExitOk);
    for (const char *text : {"demo", "list", "--connections FILE", "--settings FILE", "--trace-sql FILE"})
        EXPECT_TRUE(general.out.contains(QString::fromUtf8(text))) << text;

    const CliRun list = runCli({QStringLiteral("list"), QStringLiteral("--help")});
    EXPECT_EQ(list.status, ExitOk);
    EXPECT_TRUE(list.out.startsWith(QStringLiteral("usage: velmorab2d-cli [common options] list [options]")));
    EXPECT_TRUE(list.out.contains(QStringLiteral("--order ORDER")));
    EXPECT_EQ(runCli({QStringLiteral("help"), QStringLiteral("demo")}).out,
              runCli({QStringLiteral("demo"), QStringLiteral("-h")}).out);
}

TEST(CommandLine, HelpOfEveryCommandAndVersion)
{
    const QStringList general = runCli({QStringLiteral("--help")}).out.split(u'\n');
    for (const auto &command : buildCommandTable()) {
        // The general help gives each command one whole sentence on a line of at most 79.
        const QString line = QStringLiteral("  ") + command->name().leftJustified(10) + QLatin1Char(' ');
        const auto listed = std::find_if(general.begin(), general.end(),
                                         [&](const QString &l) { return l.startsWith(line); });
        ASSERT_NE(listed, general.end()) << command->name().toStdString();
        EXPECT_TRUE(listed->endsWith(u'.') && listed->size() <= 79) << listed->toStdString();
        const CliRun r = runCli({command->name(), QStringLiteral("--help")});
        EXPECT_EQ(r.status, ExitOk) << command->name().toStdString();
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("usage: velmorab2d-cli [common options] ")
                                     + command->name()))
            << r.out.toStdString();
        EXPECT_TRUE(r.err.isEmpty());
    }
    const CliRun generate = runCli({QStringLiteral("generate"), QStringLiteral("--help")});
    for (const char *text : {"NUMBER...", "--answers FILE", "--answer KEY=VALUE", "--interactive",
                             "--pending"})
        EXPECT_TRUE(generate.out.contains(QString::fromUtf8(text))) << text;

    const QString firstLine = QStringLiteral("velmorab2d-cli %1.%2.%3\n")
                                  .arg(B2D_VERSION_MAJOR)
                                  .arg(B2D_VERSION_MINOR)
                                  .arg(B2D_VERSION_REVISION);
    for (const QStringList &arguments :
         {QStringList{QStringLiteral("--version")},
          QStringList{QStringLiteral("list"), QStringLiteral("--version")}}) {
        const CliRun r = runCli(arguments);
        EXPECT_EQ(r.status, ExitOk);
        EXPECT_TRUE(r.out.startsWith(firstLine)) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("\ninstalled update version: "))) << r.out.toStdString();
    }
}

TEST_F(CommandLineDemo, DemoBuildsAWorkspaceThatPassesTheStartUpChecks)
{
    const QDir d(demoDir);
    for (const char *file : {"connections.ini", "settings.ini", "answers.ini", "data/historial.db",
                             "data/internos.db", "data/ncm.db"})
        EXPECT_TRUE(QFileInfo(d.filePath(QString::fromUtf8(file))).isFile()) << file;
    for (const char *folder : {"out", "send"})
        EXPECT_TRUE(QFileInfo(d.filePath(QString::fromUtf8(folder))).isDir()) << folder;
    EXPECT_EQ(b2d::readProductVersion(d.filePath(QStringLiteral("caldra/caldra.exe"))),
              std::optional<QString>(QStringLiteral("3.4.0.120")));
    QFile connections(d.filePath(QStringLiteral("connections.ini")));
    ASSERT_TRUE(connections.open(QIODevice::ReadOnly));
    EXPECT_TRUE(connections.readAll().startsWith("[CALDRA]\nexecutable=caldra/caldra.exe\n"));
    QFile settings(d.filePath(QStringLiteral("settings.ini")));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(settings.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("RUTAGENXML=") + d.filePath(QStringLiteral("out")) + QLatin1Char('/')));
    EXPECT_TRUE(text.contains(QStringLiteral("RUTAB2D=") + d.filePath(QStringLiteral("send")) + QLatin1Char('/')));
}

TEST_F(CommandLineDemo, ListPrintsTheLastSevenDaysAsATable)
{
    struct Case {
        QStringList options;
        QStringList despachos;
    };
    const Case cases[] = {
        {{},
         {QStringLiteral("26001DJAI000007K"), QStringLiteral("26001EC01000039X"), QStringLiteral("26001IC04000123A"),
          QStringLiteral("26001IC04000131C"), QStringLiteral("26073IC04000088F"), QStringLiteral("26001EC01000045B")}},
        {{QStringLiteral("--order"), QStringLiteral("fecha")},
         {QStringLiteral("26001DJAI000007K"), QStringLiteral("26001EC01000039X"), QStringLiteral("26073IC04000088F"),
          QStringLiteral("26001EC01000045B"), QStringLiteral("26001IC04000123A"), QStringLiteral("26001IC04000131C")}},
        {{QStringLiteral("--from"), QStringLiteral("2026-02-01"), QStringLiteral("--to"), QStringLiteral("20/2/2026")},
         {QStringLiteral("26001IC04000098D")}},
        {{QStringLiteral("--from"), QStringLiteral("10/03/2026")}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.options.join(QLatin1Char(' ')).toStdString());
        const CliRun r = list(c.options);
        ASSERT_EQ(r.status, ExitOk) << r.err.toStdString();
        EXPECT_EQ(firstColumn(r.out), c.despachos);
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("NroDeclaracion  "))) << r.out.toStdString();
    }

    const CliRun old = list({QStringLiteral("--from"), QStringLiteral("18/02/2026"), QStringLiteral("--to"),
                          QStringLiteral("18/02/2026")});
    EXPECT_EQ(old.out,
              QStringLiteral("NroDeclaracion    Fecha Of.            SubReg  Archivo D2B  Int. Caldra  "
                             "Int. Dorvane  Archivo B2D                     Procesado   Enviado\n"
                             "26001IC04000098D  18/02/2026 14:45:00  IC04                 26-0377      "
                             "HAWB-53001    IC04_HAWB-53001_20260221101500  21/02/2026  21/02/2026\n"));
}

TEST_F(CommandLineDemo, ListAsJsonKeysEachRowByTheHeaders)
{
    const CliRun r = list({QStringLiteral("--json"), QStringLiteral("--order"), QStringLiteral("fecha")});
    ASSERT_EQ(r.status, ExitOk) << r.err.toStdString();
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    const QJsonArray rows = doc.array();
    ASSERT_EQ(rows.size(), 6);
    const QJsonObject processed = rows.at(1).toObject();
    EXPECT_EQ(processed.keys().size(), 9);
    EXPECT_EQ(processed.value(QStringLiteral("NroDeclaracion")).toString(), QStringLiteral("26001EC01000039X"));
    EXPECT_EQ(processed.value(QStringLiteral("Fecha Of.")).toString(), QStringLiteral("05/03/2026 16:10:00"));
    EXPECT_EQ(processed.value(QStringLiteral("SubReg")).toString(), QStringLiteral("EC01"));
    EXPECT_EQ(processed.value(QStringLiteral("Archivo D2B")).toString(), QString());
    EXPECT_EQ(processed.value(QStringLiteral("Int. Caldra")).toString(), QStringLiteral("26-0405"));
    EXPECT_EQ(processed.value(QStringLiteral("Int. Dorvane")).toString(), QStringLiteral("BKG-76980"));
    // The export file keeps its own prefix.
    EXPECT_EQ(processed.value(QStringLiteral("Archivo B2D")).toString(),
              QStringLiteral("DVNE_EC01_26-0405_20260305163012"));
    EXPECT_EQ(processed.value(QStringLiteral("Procesado")).toString(), QStringLiteral("05/03/2026"));
    EXPECT_EQ(processed.value(QStringLiteral("Enviado")).toString(), QString());

    // Each row's keys come in the columns' order, as the window shows them.
    const QStringList headers{QStringLiteral("NroDeclaracion"), QStringLiteral("Fecha Of."), QStringLiteral("SubReg"),
                              QStringLiteral("Archivo D2B"), QStringLiteral("Int. Caldra"), QStringLiteral("Int. Dorvane"),
                              QStringLiteral("Archivo B2D"), QStringLiteral("Procesado"), QStringLiteral("Enviado")};
    const QStringList objects = r.out.split(QStringLiteral("    {\n"), Qt::SkipEmptyParts).mid(1);
    ASSERT_EQ(objects.size(), 6);
    for (const QString &object : objects) {
        QStringList keys;
        for (const QString &line : object.split(QLatin1Char('\n')))
            if (line.startsWith(QStringLiteral("        \"")))
                keys << line.mid(9, line.indexOf(QStringLiteral("\": ")) - 9);
        EXPECT_EQ(keys, headers) << object.toStdString();
    }

    const CliRun none = list({QStringLiteral("--json"), QStringLiteral("--from"), QStringLiteral("10/03/2026")});
    EXPECT_EQ(QJsonDocument::fromJson(none.out.toUtf8()).array().size(), 0);
}

// Texts a cell may hold come back as they were: quotes, backslashes, control characters and
// characters outside ASCII.
TEST(CommandLine, ListAsJsonEscapesEveryCell)
{
    const QString odd = QStringLiteral("say \"hi\" \\ tab\there ") + QChar(0x01) + QStringLiteral(" ñ € /");
    const QList<QStringList> rows{
        {odd, QStringLiteral("a"), QString(), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
         QStringLiteral("e"), QStringLiteral("f"), QStringLiteral("g")},
        {QStringLiteral("x")},  // a short row: the missing cells are empty
    };
    const QString text = ListCommand::formatJson(rows);
    QJsonParseError error;
    const QJsonArray back = QJsonDocument::fromJson(text.toUtf8(), &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << text.toStdString();
    ASSERT_EQ(back.size(), 2);
    EXPECT_EQ(back.at(0)[QStringLiteral("NroDeclaracion")].toString(), odd);
    EXPECT_EQ(back.at(0)[QStringLiteral("Enviado")].toString(), QStringLiteral("g"));
    EXPECT_EQ(back.at(1)[QStringLiteral("NroDeclaracion")].toString(), QStringLiteral("x"));
    EXPECT_EQ(back.at(1)[QStringLiteral("Enviado")].toString(), QString());
    EXPECT_EQ(back.at(1).toObject().size(), 9);
    EXPECT_EQ(ListCommand::formatJson({}), QStringLiteral("[\n]\n"));
}

// The executable checked at start-up is the one [CALDRA] names; without the group, the one under
// %ProgramFiles%.
TEST_F(CommandLineDemo, StartUpChecksTheExecutableTheConnectionsFileNames)
{
    QTemporaryDir elsewhere;
    QFile demoIni(demoDir + QStringLiteral("/connections.ini"));
    ASSERT_TRUE(demoIni.open(QIODevice::ReadOnly));
    const QByteArray demoText = demoIni.readAll();
    const QByteArray entities = demoText.mid(demoText.indexOf("[HISTORIAL]"));
    // The databases named from another folder, so that relative paths are relative to it.
    const QByteArray databases = QByteArray(entities).replace("database=data/", QByteArray("database=" + QFile::encodeName(demoDir) + "/data/"));
    const struct {
        const char *name;
        QByteArray caldraGroup;  // prepended to the entities
        QString programFiles;    // the environment variable ("" unset)
        int status;
    } cases[] = {
        {"named, no variable", "[CALDRA]\nexecutable=" + QFile::encodeName(demoDir) + "/caldra/caldra.exe\n",
         QString(), ExitOk},
        {"named relative to the file", "[caldra]\nexecutable=\"bin/caldra.exe\"\n", QString(), ExitOk},
        // The variable would find a good executable; the named one decides.
        {"named, missing", "[CALDRA]\nexecutable=nada/caldra.exe\n", elsewhere.filePath(QStringLiteral("pf")),
         ExitProgramEnd},
        {"not named, variable set", "", elsewhere.filePath(QStringLiteral("pf")), ExitOk},
        {"not named, variable unset", "", QString(), ExitProgramEnd},
    };
    ASSERT_TRUE(b2d::writeStandInExecutable(elsewhere.filePath(QStringLiteral("pf/Caldra/caldra.exe")),
                                            QStringLiteral("3.4.0.120")));
    ASSERT_TRUE(b2d::writeStandInExecutable(elsewhere.filePath(QStringLiteral("bin/caldra.exe")),
                                            QStringLiteral("3.4.0.120")));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString ini = elsewhere.filePath(QStringLiteral("connections.ini"));
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.caldraGroup + "\n" + databases);
        f.close();
        ProgramFilesAt programFiles(c.programFiles);
        const CliRun r = runCli({QStringLiteral("--connections"), ini, QStringLiteral("--settings"),
                                 demoDir + QStringLiteral("/settings.ini"), QStringLiteral("list")});
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        if (c.status == ExitProgramEnd) {
            EXPECT_TRUE(r.out.isEmpty());
            EXPECT_TRUE(r.err.contains(QStringLiteral("No Version Info available!\n==\n"))) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(QStringLiteral("Necesita tener la versión del CALDRA actualizada a nro: 3.4.0.120")));
        } else {
            EXPECT_TRUE(r.out.startsWith(QStringLiteral("NroDeclaracion  "))) << r.out.toStdString();
        }
    }
}

TEST_F(CommandLineDemo, DatabaseThatCannotBeOpenedIsAReportedFailure)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("connections.ini"));
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[HISTORIAL]\ndriver=sqlite\ndatabase=missing/historial.db\n");
    f.close();
    const CliRun r = runCli({QStringLiteral("--connections"), ini, QStringLiteral("list")});
    EXPECT_EQ(r.status, ExitFailed);
    EXPECT_TRUE(r.err.contains(QStringLiteral("HISTORIAL"))) << r.err.toStdString();
}

TEST_F(CommandLineDemo, DemoRefusesAnExistingFolderUnlessForced)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("ws"));
    ASSERT_TRUE(QDir().mkpath(target + QStringLiteral("/out")));
    QFile keep(target + QStringLiteral("/out/earlier.XML"));
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.write("<x/>");
    keep.close();

    const CliRun refused = runCli({QStringLiteral("demo"), target});
    EXPECT_EQ(refused.status, ExitUsage);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("already exists; use --force"))) << refused.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(target + QStringLiteral("/connections.ini")));

    for (int time = 0; time < 2; ++time) {
        const CliRun forced = runCli({QStringLiteral("demo"), target, QStringLiteral("--force")});
        ASSERT_EQ(forced.status, ExitOk) << forced.err.toStdString();
        // The printed commands work as they stand: no environment variable in front.
        EXPECT_FALSE(forced.out.contains(QStringLiteral("ProgramFiles"))) << forced.out.toStdString();
        EXPECT_TRUE(forced.out.contains(QStringLiteral("\n  velmorab2d-cli --connections ") + target
                                        + QStringLiteral("/connections.ini --settings ") + target
                                        + QStringLiteral("/settings.ini list\n")))
            << forced.out.toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(target + QStringLiteral("/out/earlier.XML")));
    EXPECT_TRUE(QFileInfo::exists(target + QStringLiteral("/data/historial.db")));
}
