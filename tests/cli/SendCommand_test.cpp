#include "cli/CommandLine.h"
#include "platform/Clock.h"
#include "runtime/RunLog.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace b2d::cli;

namespace {

// The run's clock, pinned: the recorded sending date must be its day.
const QDateTime kNow(QDate(2026, 3, 10), QTime(14, 7, 9));
// The demo's export processed five days back and not sent yet, and its stored file name.
const QString kExport = QStringLiteral("26001EC01000039X");
const QString kExportFile = QStringLiteral("DVNE_EC01_26-0405_20260305163012");

struct CliResult {
    int status = -1;
    QString out;
    QString err;
};

class SendCommandDemo : public ::testing::Test {
protected:
    void SetUp() override
    {
        demo = dir.filePath(QStringLiteral("demo"));
        ASSERT_EQ(run({QStringLiteral("demo"), demo}).status, ExitOk);
    }

    CliResult run(const QStringList &arguments) const
    {
        CliResult r;
        {
            QTextStream out(&r.out);
            QTextStream err(&r.err);
            Streams io{out, err, nullptr};
            r.status = runCommandLine(arguments, io, QStringLiteral("velmorab2d-cli"), clock);
        }
        return r;
    }
    CliResult command(const QStringList &arguments) const
    {
        return run(QStringList{QStringLiteral("--connections"), demo + QStringLiteral("/connections.ini"),
                               QStringLiteral("--settings"), demo + QStringLiteral("/settings.ini")}
                   + arguments);
    }
    // Xml_Enviado of an operation as the database holds it ("NULL" for null).
    QString sentColumn(const QString &number) const
    {
        const QVariant v = b2d::test::querySqlite(
            demo + QStringLiteral("/data/historial.db"),
            QStringLiteral("SELECT ifnull(Xml_Enviado, 'NULL') FROM CARATULA_CARATULA WHERE DESPACHO = '") + number
                + QLatin1Char('\''));
        return v.isValid() ? v.toString() : QStringLiteral("(no row)");
    }
    void sql(const QString &text) const
    {
        b2d::test::execSqlite(demo + QStringLiteral("/data/historial.db"), text);
    }
    void writeGenerated(const QString &name, const QByteArray &bytes) const
    {
        QFile f(demo + QStringLiteral("/out/") + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QStringList sendFolder() const
    {
        return QDir(demo + QStringLiteral("/send")).entryList(QDir::Files | QDir::Hidden);
    }
    QString logText() const
    {
        QString text;
        const QDir logs(b2d::RunLog::chooseLogFolder());
        QFile f(logs.filePath(QStringLiteral("VelmoraB2D_") + kNow.date().toString(QStringLiteral("yyyyMMdd"))
                              + QStringLiteral(".Log")));
        if (f.open(QIODevice::ReadOnly))
            text = QString::fromLatin1(f.readAll());
        return text;
    }

    QTemporaryDir dir;
    QString demo;
    b2d::FixedClock clock{kNow};
};

}  // namespace

TEST_F(SendCommandDemo, SendsAGeneratedFileAndRecordsTheRunsDay)
{
    writeGenerated(kExportFile + QStringLiteral(".XML"), "<exportDeclaration/>");
    ASSERT_EQ(sentColumn(kExport), QStringLiteral("NULL"));

    const CliResult r = command({QStringLiteral("send"), kExport});

    ASSERT_EQ(r.status, ExitOk) << r.err.toStdString();
    const QString target = demo + QStringLiteral("/send/") + kExportFile + QStringLiteral(".xml");
    EXPECT_EQ(QDir::cleanPath(r.out.trimmed()), QDir::cleanPath(target));
    QFile sent(target);
    ASSERT_TRUE(sent.open(QIODevice::ReadOnly));
    EXPECT_EQ(sent.readAll(), "<exportDeclaration/>");
    EXPECT_EQ(sentColumn(kExport), QStringLiteral("2026-03-10"));
}

TEST_F(SendCommandDemo, NothingSentIsStatusFourAndWrongUsageOne)
{
    const struct {
        QStringList arguments;
        int status;
        const char *message;
    } cases[] = {
        // Never processed: no stored file name.
        {{QStringLiteral("send"), QStringLiteral("26001IC04000123A")}, ExitFailed,
         "no tiene un archivo B2D generado"},
        // Processed, but its file is not in the output folder.
        {{QStringLiteral("send"), kExport}, ExitFailed, "was not sent"},
        {{QStringLiteral("send")}, ExitUsage, "send needs the operation's number"},
        {{QStringLiteral("send"), kExport, kExport}, ExitUsage, "send takes one operation number"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const CliResult r = command(c.arguments);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
    }
    EXPECT_EQ(sentColumn(kExport), QStringLiteral("NULL"));
    EXPECT_TRUE(sendFolder().isEmpty());
}

// A stored file name is a name inside the folders, never a path out of them.
TEST_F(SendCommandDemo, StoredNameWithAPathIsNotSent)
{
    for (const QString &stored : {QStringLiteral("../outside"), QStringLiteral("..\\outside"),
                                  QStringLiteral("out:outside")}) {
        SCOPED_TRACE(stored.toStdString());
        writeGenerated(QStringLiteral("../outside.XML"), "<exportDeclaration/>");
        sql(QStringLiteral("UPDATE CARATULA_CARATULA SET Xml_B2DFile = '") + stored
            + QStringLiteral("' WHERE DESPACHO = '") + kExport + QLatin1Char('\''));
        const CliResult r = command({QStringLiteral("send"), kExport});
        EXPECT_EQ(r.status, ExitFailed);
        EXPECT_TRUE(r.err.contains(QStringLiteral("el nombre de archivo registrado no es válido: ") + stored))
            << r.err.toStdString();
        EXPECT_EQ(sentColumn(kExport), QStringLiteral("NULL"));
        EXPECT_TRUE(sendFolder().isEmpty());
        EXPECT_EQ(QDir(demo).entryList({QStringLiteral("outside*")}, QDir::Files),
                  QStringList{QStringLiteral("outside.XML")});
    }
}

// Several workstations share one database: an operation already marked sent goes again only
// when asked to.
TEST_F(SendCommandDemo, AlreadySentNeedsAgain)
{
    writeGenerated(kExportFile + QStringLiteral(".XML"), "<exportDeclaration/>");
    sql(QStringLiteral("UPDATE CARATULA_CARATULA SET Xml_Enviado = '2026-03-08' WHERE DESPACHO = '") + kExport
        + QLatin1Char('\''));

    const CliResult refused = command({QStringLiteral("send"), kExport});
    EXPECT_EQ(refused.status, ExitFailed);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_TRUE(refused.err.contains(QStringLiteral("operation 26001EC01000039X was already sent on 08/03/2026; "
                                                    "nothing sent (give --again to send it again)")))
        << refused.err.toStdString();
    EXPECT_TRUE(sendFolder().isEmpty());
    EXPECT_EQ(sentColumn(kExport), QStringLiteral("2026-03-08"));

    const CliResult again = command({QStringLiteral("send"), kExport, QStringLiteral("--again")});
    EXPECT_EQ(again.status, ExitOk) << again.err.toStdString();
    EXPECT_EQ(sendFolder(), QStringList{kExportFile + QStringLiteral(".xml")});
    EXPECT_EQ(sentColumn(kExport), QStringLiteral("2026-03-10"));
}

// The database refuses the mark: the send folder stays empty, the standard error box is shown,
// the run log says why, and the command fails.
TEST_F(SendCommandDemo, RefusedMarkSendsNothing)
{
    writeGenerated(kExportFile + QStringLiteral(".XML"), "<exportDeclaration/>");
    sql(QStringLiteral("CREATE TRIGGER no_envio BEFORE UPDATE OF Xml_Enviado ON CARATULA_CARATULA "
                       "BEGIN SELECT RAISE(ABORT, 'envio bloqueado'); END"));

    const qsizetype logBefore = logText().size();  // the log folder lies beside the tests
    const CliResult r = command({QStringLiteral("send"), kExport});

    EXPECT_EQ(r.status, ExitFailed);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(sendFolder().isEmpty()) << sendFolder().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(sentColumn(kExport), QStringLiteral("NULL"));
    EXPECT_TRUE(r.err.contains(QStringLiteral("== warning: VelmoraB2D"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("envio bloqueado")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("in procedure Set_Enviado of Módulo Mod_Main - 20\n==\n")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("operation 26001EC01000039X was not sent")));
    const QString logged = logText().mid(logBefore);
    EXPECT_TRUE(logged.contains(QStringLiteral(" - No se registr\u00f3 el env\u00edo de 26001EC01000039X: envio bloqueado")))
        << logged.toStdString();
}
