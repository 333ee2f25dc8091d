#include "cli/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace b2d::cli;

namespace {

const QDate kDay(2026, 3, 10);
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
        qputenv("ProgramFiles", QFile::encodeName(demo + QStringLiteral("/ProgramFiles")));
    }
    void TearDown() override { qunsetenv("ProgramFiles"); }

    CliResult run(const QStringList &arguments) const
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
    // The "Enviado" cell of an operation in the list of the demo's last week.
    QString sentDate(const QString &number) const
    {
        const CliResult r = command({QStringLiteral("list"), QStringLiteral("--json")});
        for (const QJsonValue &v : QJsonDocument::fromJson(r.out.toUtf8()).array())
            if (v[QStringLiteral("NroDeclaracion")].toString() == number)
                return v[QStringLiteral("Enviado")].toString();
        return QStringLiteral("(not listed)");
    }
    void writeGenerated(const QString &name, const QByteArray &bytes) const
    {
        QFile f(demo + QStringLiteral("/out/") + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir dir;
    QString demo;
};

}  // namespace

TEST_F(SendCommandDemo, SendsAGeneratedFileAndMarksTheOperation)
{
    writeGenerated(kExportFile + QStringLiteral(".XML"), "<exportDeclaration/>");
    ASSERT_EQ(sentDate(kExport), QString());

    const CliResult r = command({QStringLiteral("send"), kExport});

    ASSERT_EQ(r.status, ExitOk) << r.err.toStdString();
    const QString target = demo + QStringLiteral("/send/") + kExportFile + QStringLiteral(".xml");
    EXPECT_EQ(QDir::cleanPath(r.out.trimmed()), QDir::cleanPath(target));
    QFile sent(target);
    ASSERT_TRUE(sent.open(QIODevice::ReadOnly));
    EXPECT_EQ(sent.readAll(), "<exportDeclaration/>");
    EXPECT_FALSE(sentDate(kExport).isEmpty());
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
    EXPECT_EQ(sentDate(kExport), QString());
    EXPECT_TRUE(QDir(demo + QStringLiteral("/send")).entryList(QDir::Files).isEmpty());
}
