#include "app/Startup.h"
#include "data/SqlFixture.h"
#include "platform/Clock.h"
#include "platform/PeVersion.h"
#include "runtime/Errors.h"
#include "runtime/RunLog.h"
#include "runtime/Runtime.h"
#include "support/ScriptedBoxes.h"
#include "support/TestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace b2d;

namespace {

// A workspace with the two databases, a connections file, a settings file and an installation.
struct Workspace {
    QTemporaryDir dir;
    ShellOptions options;
    QByteArray savedProgramFiles = qgetenv("ProgramFiles");

    explicit Workspace(int caldraDbVersion)
    {
        test::createSqliteFile(dir.filePath(QStringLiteral("internos.db")),
                               {QStringLiteral("CREATE TABLE version (propiedad TEXT, valor INTEGER)"),
                                QStringLiteral("INSERT INTO version VALUES ('version', %1)").arg(caldraDbVersion)});
        test::createSqliteFile(dir.filePath(QStringLiteral("historial.db")),
                               {QStringLiteral("CREATE TABLE b2d_procedures (name TEXT PRIMARY KEY COLLATE NOCASE, body TEXT NOT NULL)"),
                                QStringLiteral("INSERT INTO b2d_procedures VALUES ('versionbd', 'SELECT ''2.04'' AS Version')")});
        test::writeTextFile(dir.filePath(QStringLiteral("connections.ini")),
                            QStringLiteral("[HISTORIAL]\ndriver=sqlite\ndatabase=historial.db\n"
                                           "[INTERNOS]\ndriver=sqlite\ndatabase=internos.db\n"));
        test::writeTextFile(dir.filePath(QStringLiteral("settings.ini")),
                            QStringLiteral("[GENERAL]\nPREFIJO=DVN, S.A.\nRUTAGENXML=C:\\B2D\\OUT\\\n"));
        writeStandInExecutable(dir.filePath(QStringLiteral("Program Files/Caldra/caldra.exe")),
                               QStringLiteral("3.4.0.120"));
        qputenv("ProgramFiles", dir.filePath(QStringLiteral("Program Files")).toLocal8Bit());
        options.connectionsFile = dir.filePath(QStringLiteral("connections.ini"));
        options.settingsFile = dir.filePath(QStringLiteral("settings.ini"));
        options.traceSqlFile = dir.filePath(QStringLiteral("trace.jsonl"));
        options.logFolder = dir.filePath(QStringLiteral("Logs"));
    }
    ~Workspace() { qputenv("ProgramFiles", savedProgramFiles); }
};

std::unique_ptr<Clock> fixedClock()
{
    return std::make_unique<FixedClock>(QDateTime(QDate(2019, 3, 5), QTime(14, 7, 9)));
}

TEST(Shell, StartsOverTheConfiguredDatabasesAndSettings)
{
    Workspace ws(361);
    ScriptedBoxes boxes;
    Shell shell(ws.options, boxes, fixedClock());
    shell.start();
    ASSERT_TRUE(shell.started());
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(shell.rt().cfg.PREFIJO, QStringLiteral("DVN, S.A."));
    EXPECT_EQ(shell.rt().cfg.RUTAGENXML, QStringLiteral("C:\\B2D\\OUT\\"));
    EXPECT_EQ(shell.rt().programFiles, ws.dir.filePath(QStringLiteral("Program Files")));

    // Both version statements are traced to the file and, with the log folder, to the debug window.
    const QList<QByteArray> lines = test::readFile(ws.options.traceSqlFile).trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(QJsonDocument::fromJson(lines[0]).object().value(QStringLiteral("entity")).toString(),
              QStringLiteral("INTERNOS"));
    EXPECT_EQ(QJsonDocument::fromJson(lines[1]).object().value(QStringLiteral("sql")).toString(),
              QStringLiteral("exec versionbd"));
    QStringList debug;
    shell.log().addDebugSink([&](const QString &l) { debug << l; });
    ASSERT_EQ(debug.size(), 3);
    EXPECT_TRUE(debug[0].contains(QStringLiteral("Logs"))) << debug[0].toStdString();
    EXPECT_TRUE(debug[1].contains(QStringLiteral("SELECT valor from version"))) << debug[1].toStdString();
}

TEST(Shell, FailedCheckOrMissingConnectionsEndTheStart)
{
    {
        Workspace ws(360);
        ScriptedBoxes boxes;
        Shell shell(ws.options, boxes, fixedClock());
        EXPECT_THROW(shell.start(), ProgramEnd);
        EXPECT_EQ(boxes.texts().value(0),
                  QStringLiteral("Necesita tener la versión de base de datos del CALDRA actualizada a nro: 361"));
        EXPECT_TRUE(test::readFile(ws.options.logFolder + QStringLiteral("/VelmoraB2D_20190305.Log"))
                        .endsWith("05/03/2019 14:07:09 - Finalizar Programa\r\n"));
    }
    {
        Workspace ws(361);
        ws.options.connectionsFile = ws.dir.filePath(QStringLiteral("nowhere.ini"));
        ScriptedBoxes boxes;
        Shell shell(ws.options, boxes, fixedClock());
        try {
            shell.start();
            FAIL() << "started without a connections file";
        } catch (const B2DError &e) {
            EXPECT_TRUE(e.description().contains(QStringLiteral("nowhere.ini"))) << e.what();
        }
        EXPECT_FALSE(shell.started());
    }
}

}  // namespace
