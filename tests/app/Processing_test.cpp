#include "app/Processing.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace b2d;
using namespace b2d::test;

namespace {

const QString kSeparator(57, QLatin1Char('='));

QString fileNameQuery(const QString &number)
{
    return QStringLiteral("Select Xml_B2DFile From Caratula_Caratula where DESPACHO = '") + number
        + QStringLiteral("'");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

bool sentMark(const RecordingData &data, const QString &number)
{
    for (const auto &call : data.calls())
        if (call.write && call.sql.contains(QLatin1String("Xml_Enviado"))
            && call.sql.contains(number))
            return true;
    return false;
}

struct HandOff : ::testing::Test {
    TestRun run;
    QString gen;
    QString send;

    void SetUp() override
    {
        gen = run.dir.path() + QStringLiteral("/gen");
        send = run.dir.path() + QStringLiteral("/send");
        QDir().mkpath(gen);
        QDir().mkpath(send);
        run.rt.cfg.RUTAGENXML = gen;
        run.rt.cfg.RUTAB2D = send;
    }
    void storedName(const QString &number, const QVariant &name)
    {
        run.data.onExact(QStringLiteral("HISTORIAL"), fileNameQuery(number),
                         rows({QStringLiteral("Xml_B2DFile")}, {{name}}));
    }
};

}  // namespace

TEST_F(HandOff, CopiesWhateverTheCaseOfTheExtensionAndMarksSent)
{
    const struct {
        const char *sourceName;
        const char *expectedTarget;
    } cases[] = {
        {"AB__IC04_2019_77_20190305140709.XML", "AB__IC04_2019_77_20190305140709.xml"},
        {"AB__IC04_2019_77_20190305140709.xml", "AB__IC04_2019_77_20190305140709.xml"},
        {"AB__IC04_2019_77_20190305140709.Xml", "AB__IC04_2019_77_20190305140709.xml"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sourceName);
        QDir(gen).removeRecursively();
        QDir(send).removeRecursively();
        QDir().mkpath(gen);
        QDir().mkpath(send);
        run.data.clearCalls();
        const QString number = QStringLiteral("19001IC04000077A");
        storedName(number, QStringLiteral("AB__IC04_2019_77_20190305140709"));
        const QByteArray body = QByteArrayLiteral("<?xml version=\"1.0\"?><importDeclaration/>");
        writeBytes(gen + QLatin1Char('/') + QLatin1String(c.sourceName), body);

        EXPECT_TRUE(CopiarXMLa_preFTP(run.rt, number));

        EXPECT_EQ(readFile(send + QLatin1Char('/') + QLatin1String(c.expectedTarget)), body);
        // Nothing but the finished file lies in the send folder.
        EXPECT_EQ(QDir(send).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QLatin1String(c.expectedTarget)});
        EXPECT_TRUE(sentMark(run.data, number));
        EXPECT_TRUE(run.boxes.shown().isEmpty());
    }
    EXPECT_TRUE(run.logText().contains(QStringLiteral("Archivo:") + gen));
}

TEST_F(HandOff, SecondSendOverwritesTheEarlierCopyUnderItsName)
{
    const QString number = QStringLiteral("19001EC01000012B");
    storedName(number, QStringLiteral("CD__EC01_2019_12_20190305140709"));
    writeBytes(gen + QStringLiteral("/CD__EC01_2019_12_20190305140709.XML"), "new");
    writeBytes(send + QStringLiteral("/CD__EC01_2019_12_20190305140709.XML"), "old, longer text");

    EXPECT_TRUE(CopiarXMLa_preFTP(run.rt, number));

    EXPECT_EQ(QDir(send).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("CD__EC01_2019_12_20190305140709.XML")});
    EXPECT_EQ(readFile(send + QStringLiteral("/CD__EC01_2019_12_20190305140709.XML")), "new");
    EXPECT_TRUE(sentMark(run.data, number));
}

TEST_F(HandOff, NothingIsCopiedOrMarkedWhenTheFileCannotBeSent)
{
    const QString number = QStringLiteral("19001IC04000078B");
    const struct {
        const char *name;
        QVariant stored;        // the stored file name (null: never processed)
        bool sourceExists;
        bool sendFolderUsable;  // false: the send folder lies under a plain file
        const char *logged;     // the reason in the run log
        const char *boxText;    // part of the box shown
    } cases[] = {
        {"never processed", QVariant(), true, true, "no tiene un archivo B2D generado",
         "no tiene un archivo B2D generado"},
        {"empty name", QStringLiteral(""), true, true, "no tiene un archivo B2D generado",
         "no tiene un archivo B2D generado"},
        {"source missing", QStringLiteral("AB__IC04_2019_78_20190305140709"), false, true,
         "no se encontró el archivo", "no se encontró el archivo"},
        {"copy fails", QStringLiteral("AB__IC04_2019_78_20190305140709"), true, false,
         "No se pudo copiar", "in procedure CopiarXMLa_preFTP of Formulario Frm_Main"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestRun fresh;
        const QString g = fresh.dir.path() + QStringLiteral("/gen");
        const QString s = fresh.dir.path()
            + (c.sendFolderUsable ? QStringLiteral("/send") : QStringLiteral("/blocker/send"));
        QDir().mkpath(g);
        if (c.sendFolderUsable)
            QDir().mkpath(s);
        else
            writeBytes(fresh.dir.path() + QStringLiteral("/blocker"), "");
        fresh.rt.cfg.RUTAGENXML = g;
        fresh.rt.cfg.RUTAB2D = s;
        fresh.data.onExact(QStringLiteral("HISTORIAL"), fileNameQuery(number),
                           rows({QStringLiteral("Xml_B2DFile")}, {{c.stored}}));
        if (c.sourceExists)
            writeBytes(g + QStringLiteral("/AB__IC04_2019_78_20190305140709.XML"), "x");

        EXPECT_FALSE(CopiarXMLa_preFTP(fresh.rt, number));

        EXPECT_FALSE(sentMark(fresh.data, number));
        EXPECT_TRUE(QDir(s).entryList(QDir::Files | QDir::Hidden).isEmpty());
        EXPECT_TRUE(fresh.logText().contains(QString::fromUtf8(c.logged)))
            << fresh.logText().toStdString();
        ASSERT_EQ(fresh.boxes.messages().size(), 1);
        EXPECT_TRUE(fresh.boxes.messages().first().text.contains(QString::fromUtf8(c.boxText)))
            << fresh.boxes.messages().first().text.toStdString();
    }
}

TEST_F(HandOff, QuotesInTheNumberAreDoubledInTheQuery)
{
    CopiarXMLa_preFTP(run.rt, QStringLiteral("19'001"));
    ASSERT_FALSE(run.data.statements().isEmpty());
    EXPECT_EQ(run.data.statements().first(), fileNameQuery(QStringLiteral("19''001")));
}

TEST(ProcesarOperacion, LogsTheOperationAndSendsLicencesToTheLicenceDriver)
{
    const struct {
        const char *number;
        bool licence;
    } cases[] = {
        {"19001IC04DJAI12X", true},
        {"DJAI1IC04000123X", true},
        {"19001IC04djai12X", false},
        {"19001IC04000077A", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.number);
        TestRun run;
        const QString number = QLatin1String(c.number);
        run.rt.generacionCancelada = true;

        ProcesarOperacion(run.rt, number);

        EXPECT_EQ(run.rt.Despacho, number);
        EXPECT_FALSE(run.rt.generacionCancelada);
        // Each driver starts by reading the operation's header row its own way.
        const QStringList read = run.data.statements(QStringLiteral("HISTORIAL"));
        ASSERT_FALSE(read.isEmpty());
        EXPECT_EQ(read.first() == QStringLiteral("Select * From caratula_caratula where despacho = '") + number
                                      + QLatin1Char('\''),
                  c.licence)
            << read.first().toStdString();
        EXPECT_TRUE(read.first().contains(number));

        const QStringList lines = run.logText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QStringList messages;
        for (const QString &line : lines)
            if (line.contains(QStringLiteral(" - ")))
                messages << line.mid(line.indexOf(QStringLiteral(" - ")) + 3);
        ASSERT_GE(messages.size(), 4);
        EXPECT_EQ(messages.at(0), kSeparator);
        EXPECT_EQ(messages.at(1), QStringLiteral("Operacion a procesar: ") + number);
        EXPECT_EQ(messages.at(messages.size() - 2), QStringLiteral("Fin de proceso: ") + number);
        EXPECT_EQ(messages.last(), kSeparator);
    }
}
