#include "app/workspace/Workspace.h"
#include "cli/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace b2d::cli;

namespace {

struct GenerateRun {
    int status = -1;
    QString out;
    QString err;
};

// A fresh demo workspace for each case, and the command line run inside the test process over
// it (the stand-in customs-management program found through ProgramFiles).
class GenerateCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_hadProgramFiles = qEnvironmentVariableIsSet("ProgramFiles");
        m_oldProgramFiles = qgetenv("ProgramFiles");
        newDemo();
    }
    void newDemo()
    {
        demo = dir.filePath(QStringLiteral("demo%1").arg(++m_demos));
        ASSERT_EQ(run({QStringLiteral("demo"), demo}).status, 0);
        qputenv("ProgramFiles", QFile::encodeName(demo + QStringLiteral("/ProgramFiles")));
    }
    void TearDown() override
    {
        if (m_hadProgramFiles)
            qputenv("ProgramFiles", m_oldProgramFiles);
        else
            qunsetenv("ProgramFiles");
    }

    GenerateRun run(const QStringList &arguments)
    {
        GenerateRun r;
        QTextStream out(&r.out);
        QTextStream err(&r.err);
        QString none;
        QTextStream in(&none, QIODevice::ReadOnly);
        Streams io{out, err, &in};
        r.status = runCommandLine(arguments, io, QStringLiteral("velmorab2d-cli"), QDate::currentDate());
        return r;
    }
    GenerateRun generate(const QStringList &arguments)
    {
        return run(QStringList{QStringLiteral("--connections"), demo + QStringLiteral("/connections.ini"),
                               QStringLiteral("--settings"), demo + QStringLiteral("/settings.ini"),
                               QStringLiteral("generate")}
                   + arguments);
    }
    QStringList answers() const { return {QStringLiteral("--answers"), demo + QStringLiteral("/answers.ini")}; }
    QStringList written() const { return QDir(demo + QStringLiteral("/out")).entryList(QDir::Files); }

    QTemporaryDir dir;
    QString demo;

private:
    int m_demos = 0;
    bool m_hadProgramFiles = false;
    QByteArray m_oldProgramFiles;
};

}  // namespace

TEST_F(GenerateCommandTest, NoNumberIsWrongUsage)
{
    const GenerateRun r = generate(answers());
    EXPECT_EQ(r.status, ExitUsage);
    EXPECT_TRUE(r.err.contains(QStringLiteral("generate needs the number of at least one operation")));
}

TEST_F(GenerateCommandTest, EachOutcomeHasItsStatus)
{
    const struct {
        const char *name;
        QStringList arguments;
        int status;
        int files;
        const char *err;     // a text the error stream holds
        const char *summary; // the summary line of the error stream; empty for one number
    } cases[] = {
        {"export written", {QStringLiteral("26001EC01000045B")}, ExitOk, 1,
         "== information: VelmoraB2D", ""},
        {"cancelled at a prompt", {QStringLiteral("26001IC04000123A"), QStringLiteral("--answer"), QStringLiteral("BrokerRC=")},
         ExitCancelled, 0, "Proceso Cancelado por usuario", ""},
        {"unsupported kind ends the program", {QStringLiteral("26001XC04000123A")}, ExitProgramEnd, 0,
         "== critical: VelmoraB2D", ""},
        {"several, every prompt answered anew", {QStringLiteral("26001EC01000045B"), QStringLiteral("26001IC04000123A")},
         ExitOk, 2, "", "2 written, 0 cancelled, 0 failed"},
        {"several cancelled", {QStringLiteral("26001EC01000045B"), QStringLiteral("26001IC04000123A"),
                               QStringLiteral("--answer"), QStringLiteral("ProcessRC=")},
         ExitCancelled, 0, "", "0 written, 2 cancelled, 0 failed"},
        {"unknown number fails", {QStringLiteral("26001IC04999999Z")}, ExitFailed, 0,
         "26001IC04999999Z has no declaration", ""},
        {"program end stops the rest", {QStringLiteral("26001EC01000045B"), QStringLiteral("26001XC04000123A"),
                                        QStringLiteral("26001IC04000123A")},
         ExitProgramEnd, 1, "the program ended", "1 written, 0 cancelled, 0 failed"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        newDemo();
        // A declaration of a kind the program does not support.
        b2d::Workspace(demo + QStringLiteral("/data"))
            .runSql(QStringLiteral("HISTORIAL"),
                    QStringLiteral("INSERT INTO CARATULA_CARATULA (DESPACHO) VALUES ('26001XC04000123A')"));
        const GenerateRun r = generate(c.arguments + answers());
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        const QStringList files = written();
        EXPECT_EQ(files.size(), c.files);
        // One full path a line, for each written file.
        const QStringList printed = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_EQ(printed.size(), c.files) << r.out.toStdString();
        for (const QString &path : printed) {
            EXPECT_TRUE(QFileInfo(path).isAbsolute());
            EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
            EXPECT_TRUE(files.contains(QFileInfo(path).fileName()));
        }
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.err))) << r.err.toStdString();
        if (*c.summary)
            EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.summary) + QLatin1Char('\n')));
        else
            EXPECT_FALSE(r.err.contains(QStringLiteral(" written, "))) << r.err.toStdString();
    }
}

TEST_F(GenerateCommandTest, DemoLicenceIsWrittenWellFormedWithAllItsParts)
{
    const GenerateRun r = generate(QStringList{QStringLiteral("26001DJAI000007K")} + answers());
    ASSERT_EQ(r.status, ExitOk) << r.err.toStdString();
    const QStringList files = written();
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^DVNI_DJAI_26-0398_\\d{14}\\.XML$")).match(files.first()).hasMatch())
        << files.first().toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("El archivo se ha generado correctamente,")));

    QFile f(demo + QStringLiteral("/out/") + files.first());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    QMap<QString, int> count;
    QStringList path;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement) {
            path << xml.name().toString();
            ++count[path.join(QLatin1Char('/'))];
        } else if (xml.isEndElement()) {
            path.removeLast();
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(count.value(QStringLiteral("Broker2Dorvane/importLicense/requestReference")), 1);
    EXPECT_EQ(count.value(QStringLiteral("Broker2Dorvane/importLicense/licenseEntity")), 3);
    EXPECT_EQ(count.value(QStringLiteral("Broker2Dorvane/importLicense/licenseItem")), 2);
    EXPECT_EQ(count.value(QStringLiteral("Broker2Dorvane/importLicense/licenseItem/itemDateShipmentForecast")), 2);
    EXPECT_EQ(count.value(QStringLiteral("Broker2Dorvane/importLicense/licenseItem/itemDateArrivalForecast")), 2);
    EXPECT_EQ(count.value(QStringLiteral("Broker2Dorvane/importLicense/licenseItem/itemSubItem")), 3);
    EXPECT_EQ(count.value(QStringLiteral("Broker2Dorvane/importLicense/licenseItem/itemSubItem/subItemDetail")), 4);
    EXPECT_EQ(count.value(QStringLiteral("Broker2Dorvane/importLicense/licenseFlexField")), 1);
}

TEST_F(GenerateCommandTest, LicenceWithTwoHeaderRowsEndsCancelledAtTheSecondPrompt)
{
    // The second row asks for its broker reference code again: the scripted operator cancels
    // a prompt shown a second time, so nothing is written.
    b2d::Workspace(demo + QStringLiteral("/data"))
        .runSql(QStringLiteral("HISTORIAL"),
                QStringLiteral("INSERT INTO CARATULA_CARATULA (DESPACHO, IDENTIFICADOR_PROPIO, FECHA_OFICIALIZACION) "
                               "VALUES ('26001DJAI000007K', '26-0399', '2026-01-02 10:00:00')"));
    const GenerateRun r = generate(QStringList{QStringLiteral("26001DJAI000007K")} + answers());
    EXPECT_EQ(r.status, ExitCancelled) << r.err.toStdString();
    EXPECT_TRUE(written().isEmpty());
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(QStringLiteral("Proceso Cancelado por usuario")));
}
