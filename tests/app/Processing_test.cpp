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

// The copy waits as a temporary file until the row says it was sent: a refused mark leaves the
// send folder as it was, and a copy that cannot be put in place puts the mark back.
TEST_F(HandOff, SendFolderHoldsAFileExactlyWhenTheRowSaysSent)
{
    enum class Fault { MarkFails, MarkChangesNoRow, RenameFails };
    const struct {
        const char *name;
        Fault fault;
        QVariant earlier;      // Xml_Enviado before the send
        bool sentBefore;       // an earlier copy lies in the send folder
        const char *reason;    // the database's (or the rename's) text in the run log line
        const char *box;       // the end of the one box shown
        const char *restore;   // the statement that puts the mark back ("" none)
    } cases[] = {
        {"mark refused", Fault::MarkFails, QVariant(), false, "sin permiso",
         "Error -2147217900 (sin permiso)\nin procedure Set_Enviado of Módulo Mod_Main - 20", ""},
        {"mark changes no row", Fault::MarkChangesNoRow, QVariant(), false,
         "No se actualizó ninguna fila de Caratula_Caratula con Despacho 19001IC04000079C",
         "in procedure Set_Enviado of Módulo Mod_Main - 20", ""},
        {"resend refused keeps the earlier copy", Fault::MarkFails, QStringLiteral("2019-03-01"), true,
         "sin permiso", "in procedure Set_Enviado of Módulo Mod_Main - 20", ""},
        {"rename fails", Fault::RenameFails, QVariant(), false, "Path/File access error",
         "in procedure CopiarXMLa_preFTP of Formulario Frm_Main - ",
         "Update Caratula_Caratula Set Xml_Enviado = NULL Where Despacho ='19001IC04000079C'"},
        {"rename fails on a resend", Fault::RenameFails, QStringLiteral("2019-03-01"), false,
         "Path/File access error", "in procedure CopiarXMLa_preFTP of Formulario Frm_Main - ",
         "Update Caratula_Caratula Set Xml_Enviado = '2019-03-01' Where Despacho ='19001IC04000079C'"},
    };
    const QString number = QStringLiteral("19001IC04000079C");
    const QString stem = QStringLiteral("AB__IC04_2019_79_20190305140709");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestRun fresh;
        const QString g = fresh.dir.path() + QStringLiteral("/gen");
        const QString s = fresh.dir.path() + QStringLiteral("/send");
        QDir().mkpath(g);
        QDir().mkpath(s);
        fresh.rt.cfg.RUTAGENXML = g;
        fresh.rt.cfg.RUTAB2D = s;
        fresh.data.onExact(QStringLiteral("HISTORIAL"), fileNameQuery(number),
                           rows({QStringLiteral("Xml_B2DFile")}, {{stem}}));
        fresh.data.onContains(QStringLiteral("HISTORIAL"), QStringLiteral("Select Xml_Procesado, Xml_B2DFile, Xml_Enviado"),
                              rows({QStringLiteral("Xml_Procesado"), QStringLiteral("Xml_B2DFile"), QStringLiteral("Xml_Enviado")},
                                   {{QStringLiteral("2019-03-05"), stem, c.earlier}}));
        writeBytes(g + QLatin1Char('/') + stem + QStringLiteral(".XML"), "new");
        if (c.sentBefore)
            writeBytes(s + QLatin1Char('/') + stem + QStringLiteral(".xml"), "sent earlier");
        const QString mark = QStringLiteral("Set Xml_Enviado = {d '2019-03-05'}");
        switch (c.fault) {
        case Fault::MarkFails:
            fresh.data.failOn(QStringLiteral("HISTORIAL"), mark, QStringLiteral("sin permiso"));
            break;
        case Fault::MarkChangesNoRow:
            fresh.data.changesNoRow(QStringLiteral("HISTORIAL"), mark);
            break;
        case Fault::RenameFails:
            fresh.data.whenRun(QStringLiteral("HISTORIAL"), mark,
                               [&] { QDir(s).mkdir(stem + QStringLiteral(".xml")); });
            break;
        }

        QString sentTo = QStringLiteral("untouched");
        EXPECT_FALSE(CopiarXMLa_preFTP(fresh.rt, number, &sentTo));

        EXPECT_EQ(sentTo, QStringLiteral("untouched"));
        const QStringList inSendFolder = QDir(s).entryList(QDir::Files | QDir::Hidden);
        if (c.sentBefore) {
            EXPECT_EQ(inSendFolder, QStringList{stem + QStringLiteral(".xml")});
            EXPECT_EQ(readFile(s + QLatin1Char('/') + stem + QStringLiteral(".xml")), "sent earlier");
        } else {
            EXPECT_TRUE(inSendFolder.isEmpty()) << inSendFolder.join(QLatin1Char(' ')).toStdString();
        }
        QStringList writes;
        for (const auto &call : fresh.data.calls())
            if (call.write)
                writes << call.sql;
        QStringList expected{QStringLiteral("Update Caratula_Caratula Set Xml_Enviado = {d '2019-03-05'} Where Despacho ='")
                             + number + QStringLiteral("'")};
        if (*c.restore)
            expected << QString::fromUtf8(c.restore);
        EXPECT_EQ(writes, expected);
        EXPECT_TRUE(fresh.logText().contains(QStringLiteral("No se registró el envío de ") + number
                                             + QStringLiteral(": ") + QString::fromUtf8(c.reason)))
            << fresh.logText().toStdString();
        EXPECT_FALSE(fresh.logText().contains(QStringLiteral("Enviado: ")));
        ASSERT_EQ(fresh.boxes.messages().size(), 1);
        EXPECT_TRUE(fresh.boxes.messages().first().text.contains(QString::fromUtf8(c.box)))
            << fresh.boxes.messages().first().text.toStdString();
    }
}

// Without an output folder the file would be looked for in the working directory, where an
// unrelated file of the same name may lie.
TEST_F(HandOff, NoOutputFolderIsRefused)
{
    const QString number = QStringLiteral("19001IC04000080D");
    storedName(number, QStringLiteral("AB__IC04_2019_80_20190305140709"));
    writeBytes(run.dir.path() + QStringLiteral("/AB__IC04_2019_80_20190305140709.XML"), "unrelated");
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(run.dir.path()));
    for (const QString &empty : {QString(), QStringLiteral("  ")}) {
        run.rt.cfg.RUTAGENXML = empty;
        EXPECT_FALSE(CopiarXMLa_preFTP(run.rt, number));
    }
    QDir::setCurrent(before);
    EXPECT_FALSE(sentMark(run.data, number));
    EXPECT_TRUE(QDir(send).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_TRUE(run.logText().contains(QStringLiteral("no hay carpeta de generación configurada (RUTAGENXML)")));
    ASSERT_EQ(run.boxes.messages().size(), 2);
    EXPECT_EQ(run.boxes.messages().first().icon, BoxIcon::Warning);
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
