#include "app/workspace/Workspace.h"
#include "cli/CommandLine.h"
#include "platform/Clock.h"
#include "support/TestSupport.h"

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
// it (the stand-in customs-management program named by the demo's connections file).
class GenerateCommandTest : public ::testing::Test {
protected:
    void SetUp() override { newDemo(); }
    void newDemo()
    {
        demo = dir.filePath(QStringLiteral("demo%1").arg(++m_demos));
        ASSERT_EQ(run({QStringLiteral("demo"), demo}).status, 0);
    }
    void sql(const QString &entity, const QString &text) const
    {
        b2d::test::execSqlite(b2d::Workspace(demo + QStringLiteral("/data")).databaseFile(entity), text);
    }

    GenerateRun run(const QStringList &arguments)
    {
        GenerateRun r;
        QTextStream out(&r.out);
        QTextStream err(&r.err);
        QString none;
        QTextStream in(&none, QIODevice::ReadOnly);
        Streams io{out, err, &in};
        r.status = runCommandLine(arguments, io, QStringLiteral("velmorab2d-cli"), clock);
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
    // The run's clock, pinned; the demo's operations are dated around its day.
    b2d::FixedClock clock{QDateTime(QDate(2026, 3, 10), QTime(14, 7, 9))};

private:
    int m_demos = 0;
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

// generate --pending: every operation of the list's range whose Procesado cell is empty, in the
// list's order; one processed meanwhile by another workstation is skipped.
TEST_F(GenerateCommandTest, PendingGeneratesWhatTheListShowsUnprocessed)
{
    const struct {
        const char *name;
        QStringList options;
        const char *otherWorkstation;  // processed by a trigger once the first file is recorded
        QStringList written;           // interno part of each printed file name, in order
        int status;
        const char *summary;
    } cases[] = {
        // The licence is pending too.
        {"the window's range, by interno", {}, "",
         {QStringLiteral("26-0398"), QStringLiteral("HAWB-55120"), QStringLiteral("DI-0415"), QStringLiteral("26-0417"),
          QStringLiteral("26-0420")},
         ExitOk, "5 written, 0 cancelled, 0 failed"},
        {"by official date", {QStringLiteral("--order"), QStringLiteral("fecha")}, "",
         {QStringLiteral("26-0398"), QStringLiteral("26-0417"), QStringLiteral("26-0420"), QStringLiteral("HAWB-55120"),
          QStringLiteral("DI-0415")},
         ExitOk, "5 written, 0 cancelled, 0 failed"},
        {"one processed meanwhile is skipped", {}, "26001IC04000131C",
         {QStringLiteral("26-0398"), QStringLiteral("HAWB-55120"), QStringLiteral("26-0417"), QStringLiteral("26-0420")},
         ExitOk, "4 written, 0 cancelled, 0 failed"},
        {"nothing pending", {QStringLiteral("--from"), QStringLiteral("2026-02-01"), QStringLiteral("--to"),
                             QStringLiteral("2026-02-20")},
         "", {}, ExitOk, "0 written, 0 cancelled, 0 failed"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        newDemo();
        const QString other = QString::fromUtf8(c.otherWorkstation);
        if (!other.isEmpty())
            sql(QStringLiteral("HISTORIAL"),
                QStringLiteral("CREATE TRIGGER other_workstation AFTER UPDATE OF Xml_Procesado ON CARATULA_CARATULA "
                               "WHEN NEW.DESPACHO = '26001IC04000123A' BEGIN UPDATE CARATULA_CARATULA "
                               "SET Xml_Procesado = '2026-01-02', Xml_B2DFile = 'ELSEWHERE' WHERE DESPACHO = '")
                    + other + QStringLiteral("'; END"));
        const GenerateRun r = generate(QStringList{QStringLiteral("--pending")} + c.options + answers());
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        const QStringList printed = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QStringList internos;
        for (const QString &path : printed) {
            EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
            internos << QFileInfo(path).completeBaseName().section(QLatin1Char('_'), 2, -2);
        }
        EXPECT_EQ(internos, c.written);
        EXPECT_EQ(written().size(), c.written.size());
        EXPECT_TRUE(r.err.endsWith(QString::fromUtf8(c.summary) + QLatin1Char('\n'))) << r.err.toStdString();
        if (!other.isEmpty()) {
            EXPECT_TRUE(r.err.contains(QStringLiteral("operation ") + other
                                       + QStringLiteral(" was processed meanwhile (2026-01-02); skipped")))
                << r.err.toStdString();
        }
    }
}

TEST_F(GenerateCommandTest, PendingStopsAtAConditionThatEndsTheProgram)
{
    // An operation of a kind the program does not support, last in the list by interno.
    sql(QStringLiteral("HISTORIAL"),
        QStringLiteral("INSERT INTO CARATULA_CARATULA (DESPACHO, FECHA_OFICIALIZACION, IDENTIFICADOR_PROPIO) "
                       "VALUES ('26001XC04000999Z', '") + clock.now().date().toString(QStringLiteral("yyyy-MM-dd"))
            + QStringLiteral(" 08:00:00', '26-0999')"));
    const GenerateRun r = generate(QStringList{QStringLiteral("--pending")} + answers());
    EXPECT_EQ(r.status, ExitProgramEnd);
    EXPECT_EQ(r.out.count(QLatin1Char('\n')), 5);
    EXPECT_TRUE(r.err.contains(QStringLiteral("5 written, 0 cancelled, 0 failed\nvelmorab2d-cli: the program ended")))
        << r.err.toStdString();
}

TEST_F(GenerateCommandTest, PendingRefusesWhatBelongsToOneOperation)
{
    const QString file = demo + QStringLiteral("/mine.ini");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[answers]\nCanal=V\nNombreArchivo=0055-09\n");
    f.close();
    const struct {
        QStringList arguments;
        const char *message;
    } cases[] = {
        {{QStringLiteral("--pending"), QStringLiteral("--answer"), QStringLiteral("BrokerRC=26-0001")},
         "the answer BrokerRC belongs to one operation and cannot be given with --pending"},
        {{QStringLiteral("--pending"), QStringLiteral("--answer"), QStringLiteral("processrc=")},
         "the answer ProcessRC belongs to one operation"},
        {{QStringLiteral("--pending"), QStringLiteral("--answers"), file},
         "the answer NombreArchivo belongs to one operation"},
        {{QStringLiteral("--pending"), QStringLiteral("26001IC04000123A")}, "generate --pending takes no numbers"},
        {{QStringLiteral("26001IC04000123A"), QStringLiteral("--from"), QStringLiteral("2026-02-01")},
         "--from is only for generate --pending"},
        {{QStringLiteral("--pending"), QStringLiteral("--order"), QStringLiteral("numero")}, "neither fecha nor interno"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const GenerateRun r = generate(c.arguments);
        EXPECT_EQ(r.status, ExitUsage);
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_TRUE(written().isEmpty());
}

// The database refuses to record the file: no file, no success message, status 4.
TEST_F(GenerateCommandTest, RefusedRecordWritesNoFile)
{
    sql(QStringLiteral("HISTORIAL"),
        QStringLiteral("CREATE TRIGGER read_only BEFORE UPDATE OF Xml_B2DFile ON CARATULA_CARATULA "
                       "BEGIN SELECT RAISE(ABORT, 'solo lectura'); END"));
    const GenerateRun r = generate(QStringList{QStringLiteral("26001EC01000045B")} + answers());
    EXPECT_EQ(r.status, ExitFailed) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(QDir(demo + QStringLiteral("/out")).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_FALSE(r.err.contains(QStringLiteral("El archivo se ha generado")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("solo lectura")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("in procedure Set_Procesado of Módulo Mod_Main - 20\n==\n")));
}

// Control characters in the databases' texts cannot make the file unreadable.
TEST_F(GenerateCommandTest, ControlCharactersStillGiveAWellFormedFile)
{
    sql(QStringLiteral("INTERNOS"),
        QStringLiteral("UPDATE requestentitydvn SET entityName = 'Bodega' || char(1) || 'Los' || char(11) || "
                       "'Algarrobos' || char(31) || char(9) || 'S.A.' WHERE INTNRO = '26-0420' AND entityType = 'EXPORTER'"));
    sql(QStringLiteral("HISTORIAL"),
        QStringLiteral("UPDATE CARATULA_DOCUMENTOS SET REFERENCIA = 'E-0003' || char(0) || char(27) || '-00001452' "
                       "WHERE IDN_DESPACHO = '26001EC01000045B'"));
    const GenerateRun r = generate(QStringList{QStringLiteral("26001EC01000045B")} + answers());
    ASSERT_EQ(r.status, ExitOk) << r.err.toStdString();
    QFile f(r.out.trimmed());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd())
        xml.readNext();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at " << xml.characterOffset();
    EXPECT_TRUE(bytes.contains("<entityName>Bodega Los Algarrobos \tS.A.</entityName>")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("<invoicesNumber>E-0003  -00001452</invoicesNumber>")) << bytes.toStdString();
}

// The file's name and the recorded processing date come from the run's clock.
TEST_F(GenerateCommandTest, DatesComeFromTheRunsClock)
{
    const GenerateRun r = generate(QStringList{QStringLiteral("26001EC01000045B")} + answers());
    ASSERT_EQ(r.status, ExitOk) << r.err.toStdString();
    EXPECT_EQ(r.out, demo + QStringLiteral("/out/DVNE_EC01_26-0420_20260310140709.XML\n"));
    const QString historial = demo + QStringLiteral("/data/historial.db");
    EXPECT_EQ(b2d::test::querySqlite(historial, QStringLiteral("SELECT Xml_Procesado || ' ' || Xml_B2DFile "
                                                               "FROM CARATULA_CARATULA WHERE DESPACHO = '26001EC01000045B'")),
              QVariant(QStringLiteral("2026-03-10 DVNE_EC01_26-0420_20260310140709")));
}

TEST_F(GenerateCommandTest, ProgressLinesOnlyWhenAskedAndNeverWithQuiet)
{
    // The test's standard error is no terminal: progress only with --progress; --quiet silences
    // it but never the message blocks or the count line.
    const QString licence = QStringLiteral("26001DJAI000007K"), expo = QStringLiteral("26001EC01000045B");
    const QStringList progress{licence + QStringLiteral(": item 1 of 2"),
                               licence + QStringLiteral(": item 2 of 2"),
                               expo + QStringLiteral(": item 1 of 2"), expo + QStringLiteral(": item 2 of 2")};
    const struct {
        const char *name;
        QStringList options;
        bool shown;
    } cases[] = {
        {"default", {}, false},
        {"--progress", {QStringLiteral("--progress")}, true},
        {"--quiet", {QStringLiteral("--quiet")}, false},
        {"--progress --quiet", {QStringLiteral("--progress"), QStringLiteral("--quiet")}, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        newDemo();
        const GenerateRun r = generate(QStringList{licence, expo} + answers() + c.options);
        ASSERT_EQ(r.status, ExitOk) << r.err.toStdString();
        QStringList lines;
        for (const QString &line : r.err.split(QLatin1Char('\n')))
            if (line.contains(QStringLiteral(": item ")))
                lines << line;
        EXPECT_EQ(lines, c.shown ? progress : QStringList{});
        EXPECT_TRUE(r.err.contains(QStringLiteral("El archivo se ha generado correctamente,")));
        EXPECT_TRUE(r.err.contains(QStringLiteral("2 written, 0 cancelled, 0 failed\n")));
    }
}

// A table a builder reads is gone in the middle of a generation: the database refuses the
// statement, so the generation ends with the database's text, status 4, no file and the row as it
// was, instead of a file without that part recorded as processed.
TEST_F(GenerateCommandTest, ARefusedReadEndsTheGenerationWithNothingWritten)
{
    const struct {
        const char *entity;
        const char *table;
        const char *despacho;
    } cases[] = {
        {"HISTORIAL", "CARATULA_DOCUMENTOS", "26001EC01000045B"},
        {"HISTORIAL", "ITEMS_ARTICULOS", "26001EC01000045B"},
        {"INTERNOS", "requestentitydvn", "26001DJAI000007K"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.table);
        newDemo();
        const QString historial = b2d::Workspace(demo + QStringLiteral("/data")).databaseFile(QStringLiteral("HISTORIAL"));
        const QString state = QStringLiteral("SELECT coalesce(Xml_Procesado, '-') || ' ' || coalesce(Xml_B2DFile, '-') "
                                             "FROM CARATULA_CARATULA WHERE DESPACHO = '")
            + QString::fromUtf8(c.despacho) + QStringLiteral("'");
        const QVariant before = b2d::test::querySqlite(historial, state);
        ASSERT_TRUE(before.isValid());
        sql(QString::fromUtf8(c.entity), QStringLiteral("DROP TABLE ") + QString::fromUtf8(c.table));

        const GenerateRun r = generate(QStringList{QString::fromUtf8(c.despacho)} + answers());
        EXPECT_EQ(r.status, ExitFailed) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_TRUE(QDir(demo + QStringLiteral("/out")).entryList(QDir::Files | QDir::Hidden).isEmpty());
        EXPECT_TRUE(r.err.contains(QStringLiteral("no such table: ") + QString::fromUtf8(c.table), Qt::CaseInsensitive))
            << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QStringLiteral("se ha generado")));
        EXPECT_EQ(b2d::test::querySqlite(historial, state), before);
    }
}
