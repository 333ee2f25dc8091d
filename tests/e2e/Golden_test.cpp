// Whole declaration and licence documents generated over a fixture workspace and compared byte for byte with
// documents written by hand from the rules of the exchange format (tests/data/golden).

#include "app/Processing.h"
#include "app/workspace/Workspace.h"
#include "data/DataAccess.h"
#include "platform/Clock.h"
#include "runtime/RunLog.h"
#include "runtime/Runtime.h"
#include "settings/Settings.h"
#include "support/MemorySettingsStore.h"
#include "support/ScriptedBoxes.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

using namespace b2d;

namespace {

QString readUtf8(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

// The elements open at `offset` of a document, outermost first ("importDeclaration/
// declarationEntity/entityAddress"), so that a difference names the element it falls in.
QString openElementsAt(const QByteArray &doc, qsizetype offset)
{
    QStringList open;
    qsizetype i = 0;
    while (i < offset) {
        const qsizetype lt = doc.indexOf('<', i);
        if (lt < 0 || lt >= offset)
            break;
        const qsizetype gt = doc.indexOf('>', lt);
        if (gt < 0)
            break;
        const QByteArray tag = doc.mid(lt + 1, gt - lt - 1);
        if (tag.startsWith('/')) {
            if (!open.isEmpty())
                open.removeLast();
        } else if (!tag.startsWith('?')) {
            open << QString::fromLatin1(tag);
        }
        i = gt + 1;
    }
    return open.join(QLatin1Char('/'));
}

// Where two documents first differ, with some text of each around that place.
std::string describeDifference(const QByteArray &expected, const QByteArray &actual)
{
    qsizetype at = 0;
    const qsizetype common = qMin(expected.size(), actual.size());
    while (at < common && expected.at(at) == actual.at(at))
        ++at;
    const qsizetype from = qMax<qsizetype>(0, at - 80);
    auto around = [&](const QByteArray &doc) -> QString {
        return QString::fromLatin1(doc.mid(from, at - from)) + QStringLiteral(" >>>")
             + QString::fromLatin1(doc.mid(at, 80));
    };
    const QString text = QStringLiteral("documents differ at byte %1 (expected %2 bytes, got %3)\n"
                                        "  inside:   %4\n"
                                        "  expected: ...%5\n"
                                        "  actual:   ...%6\n"
                                        "whole actual document:\n%7")
                             .arg(at)
                             .arg(expected.size())
                             .arg(actual.size())
                             .arg(openElementsAt(expected, at), around(expected), around(actual),
                                  QString::fromLatin1(actual));
    return text.toStdString();
}

// One prompt of the generation: the box's title, the default it must offer (the remembered
// value), and what the operator does (nullopt: OK on the default; "": Cancel).
struct Prompt {
    const char *title;
    const char *offered;
    std::optional<const char *> typed;
};

// A column of the declaration's row after the generation; nullptr: NULL.
struct Column {
    const char *name;
    const char *value;
};

struct GoldenCase {
    const char *despacho;
    const char *golden;
    QList<QPair<const char *, const char *>> settings;
    QList<Prompt> prompts;
    const char *fileName;           // the written file, without folder and extension
    QList<Column> row;              // CARATULA_CARATULA after the generation
    QStringList exchangeRates;      // Despacho_TiposCambio rows "Moneda=Valor"
    QStringList logLines;           // lines the run log must hold
    // The fixture files loaded over the workspace schema, by entity.
    QList<QPair<const char *, const char *>> fixtures = {{"HISTORIAL", "fixture_historial.sql"},
                                                         {"INTERNOS", "fixture_internos.sql"},
                                                         {"NCM", "fixture_ncm.sql"}};
};

const QList<GoldenCase> &goldenCases()
{
    static const QList<GoldenCase> cases = {
        {"19001IC04000123A",
         "import.xml",
         {{"PREFIJO", "AB_"},
          {"CONCEPTOSDESCRIPCION", "1"},
          {"CONCEPTOSSIM", "1"},
          {"TIPOOBLIGACION", "1"},
          {"INCLUIR900PENCARATULA", "True"},
          {"INCLUIRDETALLEJURIS", "1"}},
         {{"BrokerReferenceCode(waybillReferenceCode)", "19-0412", std::nullopt},
          {"ProcessReferenceCode(waybillReferenceCode)", "HBL-HAM-44120", "2019/77#3"},
          {"LIBERACION", "", "4/3/2019 9:30"},
          {"CUMPLIDO", "2019-03-05", std::nullopt},
          {"PAGO", "", ""},
          {"CANAL Despacho", "", "r"}},
         "AB__IC04_2019_77_20190305140709",
         {{"IDENTIFICADOR_PROPIO", "19-0412"},
          {"xml_ProcessRC", "2019/77#3"},
          {"xml_FechaLIB", "4/3/2019 9:30"},
          {"xml_FechaCumplido", "2019-03-05"},
          {"xml_FechaPago", nullptr},
          {"xml_Canal", "ROJO"},
          {"Xml_Procesado", "2019-03-05"},
          {"Xml_B2DFile", "AB__IC04_2019_77_20190305140709"},
          {"Xml_Enviado", nullptr}},
         // The header records the declaration's currency; every item records the code it is
         // written in.
         {QStringLiteral("060=01.23"), QStringLiteral("EUR=01.23")},
         {QStringLiteral("Incluir 900 en Caratula:SI"), QStringLiteral("EL ITEM 0002: no tiene subitems"),
          QStringLiteral("[IMPO] - ITEM: 0001 SUBITEM: 0000 agrupados 2 arts."),
          QStringLiteral("[0000] PRC: KS-ITR-902 ART: PMP-CN-50 CantDVN: 4 CantSIM: 10"),
          // The invoice of the second pump reaches the party query with its quote doubled.
          QStringLiteral("(ITEMARTID=2 AND INVOICENUMBER ='RE-2019-00413''A'))")}},
        {"19001EC01000045B",
         "export.xml",
         {{"PREFIJOEXPO", "EXP"},
          {"CONCEPTOSSIM", "1"},
          {"FIXPROCESSREFERENCECODE", "1"},
          {"PREDETERMINARHORA", "12:00:00"},
          {"PERMITIRFECHASVACIAS", "1"}},
         {{"BrokerReferenceCode(waybillReferenceCode)", "19/0420", std::nullopt},
          {"ProcessReferenceCode(waybillReferenceCode)", "BKG-77120#2", std::nullopt},
          {"LIBERACION", "04/03/2019", std::nullopt},
          {"CUMPLIDO", "", ""},
          {"PAGO", "", "2019-03-05"},
          {"CANAL Despacho", "VERDE", std::nullopt}},
         "EXP_EC01_19_0420_20190305140709",
         {{"IDENTIFICADOR_PROPIO", "19/0420"},
          {"xml_ProcessRC", "BKG-77120#2"},
          {"xml_FechaLIB", "04/03/2019"},
          {"xml_FechaCumplido", nullptr},
          {"xml_FechaPago", "2019-03-05"},
          {"xml_Canal", "VERDE"},
          {"Xml_Procesado", "2019-03-05"},
          {"Xml_B2DFile", "EXP_EC01_19_0420_20190305140709"},
          {"Xml_Enviado", nullptr}},
         {},
         {QStringLiteral("Incluir 900 en Caratula:NO"), QStringLiteral("EL ITEM 0001: tiene subitems"),
          QStringLiteral("[GENERIC] - ITEM: 0001 SUBITEM: 0001 agrupados 2 arts."),
          QStringLiteral("En ITEM 2 subitem 0000 se encontro: 1 articulos:")}},
        // An import in dollars whose process reference code is its own interno: the interno's
        // grouping decides the articles, one official subitem found under another number by its
        // quantity; an item without subitems names the parties of its two articles.
        {"19001IC04000140D",
         "import_grouped.xml",
         {{"PREFIJO", "AB_"}, {"CONCEPTOSSIM", "1"}},
         {{"BrokerReferenceCode(waybillReferenceCode)", "19-0440", std::nullopt},
          {"ProcessReferenceCode(waybillReferenceCode)", "19-0440", std::nullopt},
          {"LIBERACION", "04/03/2019", std::nullopt},
          {"CUMPLIDO", "2019-03-05", std::nullopt},
          {"PAGO", "05/03/2019", std::nullopt},
          {"CANAL Despacho", "VERDE", std::nullopt}},
         "AB__IC04_19-0440_20190305140709",
         {{"IDENTIFICADOR_PROPIO", "19-0440"},
          {"xml_ProcessRC", "19-0440"},
          {"xml_FechaLIB", "04/03/2019"},
          {"xml_FechaCumplido", "2019-03-05"},
          {"xml_FechaPago", "05/03/2019"},
          {"xml_Canal", "VERDE"},
          {"Xml_Procesado", "2019-03-05"},
          {"Xml_B2DFile", "AB__IC04_19-0440_20190305140709"},
          {"Xml_Enviado", nullptr}},
         {},
         {QStringLiteral("EL ITEM 0001: contiene 2 subitems."),
          QStringLiteral("[IMPO] - ITEM: 0001 SUBITEM: 0002 agrupados 1 arts."),
          QStringLiteral("[001] PRC: KS-ITR-413 ART: PMP-HD-80 CantDVN: 4 CantSIM: 14"),
          QStringLiteral("(ITEMARTID=5 AND INVOICENUMBER ='RE-2019-00441''B'))")}},
        // An import whose DI, loaded under the process reference code, cancels a licence: the
        // licence lines of the DI stand behind each subitem, a licence item cancelled as a whole
        // gives its product the number 0000; the DI is required, so the parties are the DI's.
        {"19001IC04000150F",
         "import_di.xml",
         {{"PREFIJO", "AB_"}, {"CONCEPTOSSIM", "1"}, {"REQDIIMPO", "1"}},
         {{"BrokerReferenceCode(waybillReferenceCode)", "19-0450", std::nullopt},
          {"ProcessReferenceCode(waybillReferenceCode)", "DI-0450", std::nullopt},
          {"LIBERACION", "04/03/2019", std::nullopt},
          {"CUMPLIDO", "2019-03-05", std::nullopt},
          {"PAGO", "05/03/2019", std::nullopt},
          {"CANAL Despacho", "VERDE", std::nullopt}},
         "AB__IC04_DI-0450_20190305140709",
         {{"IDENTIFICADOR_PROPIO", "19-0450"},
          {"xml_ProcessRC", "DI-0450"},
          {"xml_FechaLIB", "04/03/2019"},
          {"xml_FechaCumplido", "2019-03-05"},
          {"xml_FechaPago", "05/03/2019"},
          {"xml_Canal", "VERDE"},
          {"Xml_Procesado", "2019-03-05"},
          {"Xml_B2DFile", "AB__IC04_DI-0450_20190305140709"},
          {"Xml_Enviado", nullptr}},
         {},
         {QStringLiteral("existeDI Tiene InfoDJAI"),
          QStringLiteral("valor bCFG_ReqDI_Impo: True"),
          QStringLiteral("existeDITiene InfoDJAI"),
          QStringLiteral("pero tambien existe el interno en el CALDRA"),
          QStringLiteral("pero tambien existe Interno en Caldra (lo priorizamos ... salvo que ignoremos "
                         "relacion DJ_DI)"),
          QStringLiteral("[IMPO] - ITEM: 0002 SUBITEM: 0001 agrupados 1 arts.")}},
        // An export in euros whose items are stored out of order: items with and without
        // subitems, articles grouped and single.
        {"19001EC01000052C",
         "export_items.xml",
         {{"PREFIJOEXPO", "EXP"},
          {"CONCEPTOSSIM", "1"},
          {"TIPOOBLIGACION", "1"},
          {"PERMITIRFECHASVACIAS", "1"}},
         {{"BrokerReferenceCode(waybillReferenceCode)", "19/0433", std::nullopt},
          {"ProcessReferenceCode(waybillReferenceCode)", "BKG-80133", std::nullopt},
          {"LIBERACION", "04/03/2019", std::nullopt},
          {"CUMPLIDO", "", ""},
          {"PAGO", "", "2019-03-05"},
          {"CANAL Despacho", "VERDE", std::nullopt}},
         "EXP_EC01_19_0433_20190305140709",
         {{"IDENTIFICADOR_PROPIO", "19/0433"},
          {"xml_ProcessRC", "BKG-80133"},
          {"xml_FechaLIB", "04/03/2019"},
          {"xml_FechaCumplido", nullptr},
          {"xml_FechaPago", "2019-03-05"},
          {"xml_Canal", "VERDE"},
          {"Xml_Procesado", "2019-03-05"},
          {"Xml_B2DFile", "EXP_EC01_19_0433_20190305140709"},
          {"Xml_Enviado", nullptr}},
         {QStringLiteral("060=01.08"), QStringLiteral("EUR=01.08")},
         {QStringLiteral("***** [ Procesando Item: 0003 ] *****"),
          QStringLiteral("[EXPO] - ITEM: 1 SUBITEM: 0000 agrupados 3 arts."),
          QStringLiteral("[GENERIC] - ITEM: 0002 SUBITEM: 0002 agrupados 2 arts.")}},
        // The licence: in euros, so every item records the euro rate again; "#" stays in the
        // file name; the hour of its dates fixed by PREDETERMINARHORA.
        {"13073DJAI012345K",
         "licence.xml",
         {{"PREFIJO", "XY"},
          {"PAISESSIM", "1"},
          {"PAISESDESCRIPCION", "1"},
          {"PREDETERMINARHORA", "00:00:00"}},
         {{"BrokerReferenceCode(waybillReferenceCode)", "13/0455#2", std::nullopt}},
         "XY_DJAI_13_0455#2_20190305140709",
         {{"IDENTIFICADOR_PROPIO", "13/0455#2"},
          {"Xml_Procesado", "2019-03-05"},
          {"Xml_B2DFile", "XY_DJAI_13_0455#2_20190305140709"},
          {"Xml_Enviado", nullptr}},
         {QStringLiteral("060=01.08"), QStringLiteral("EUR=01.08")},
         {QStringLiteral("Operacion a procesar: 13073DJAI012345K")},
         {{"HISTORIAL", "licence_historial.sql"},
          {"INTERNOS", "licence_internos.sql"},
          {"NCM", "licence_ncm.sql"}}},
    };
    return cases;
}

// A fixture workspace with the golden declarations, and a run over it as the shell builds one:
// data access from the connections file, scripted operator, settings in memory, a fixed clock.
struct GoldenRun {
    explicit GoldenRun(const GoldenCase &c)
        : workspace(dir.filePath(QStringLiteral("data"))),
          clock(QDateTime(QDate(2019, 3, 5), QTime(14, 7, 9))),
          log(clock, dir.filePath(QStringLiteral("Logs")))
    {
        workspace.create();
        for (const auto &[entity, file] : c.fixtures)
            workspace.runSql(QLatin1String(entity), readUtf8(test::goldenPath(file)));
        const QString connections = dir.filePath(QStringLiteral("connections.ini"));
        workspace.writeConnectionsFile(connections);
        db = openConnectionsFile(connections);

        outFolder = dir.filePath(QStringLiteral("out"));
        QDir().mkpath(outFolder);
        QDir().mkpath(dir.filePath(QStringLiteral("send")));
        const QString app = QLatin1String(kSettingsApp);
        const QString section = QLatin1String(kSettingsSection);
        store.save(app, section, QStringLiteral("RUTAGENXML"), outFolder);
        store.save(app, section, QStringLiteral("RUTAB2D"), dir.filePath(QStringLiteral("send")));
        for (const auto &[key, value] : c.settings)
            store.save(app, section, QLatin1String(key), QString::fromUtf8(value));

        rt = std::make_unique<Runtime>(*db, boxes, store, log, clock);
        CargarConfiguracion(*rt);
        for (const Prompt &p : c.prompts) {
            if (p.typed)
                boxes.type(QString::fromUtf8(*p.typed));
            else
                boxes.acceptDefault();
        }
    }

    // Enter on the operation's row.
    GenerationReport generate(const QString &despacho) { return ProcesarOperacion(*rt, despacho); }

    // The rows of a read on HISTORIAL, each row's values joined with "=" (NULL as "<null>").
    QStringList read(const QString &sql)
    {
        Connection &c = db->getDataConnectionByEntity(QStringLiteral("HISTORIAL"));
        c.sql = sql;
        Recordset rs;
        QStringList rows;
        if (!c.crearrs(rs))
            return rows;
        for (const QVariantList &row : rs.data().rows) {
            QStringList values;
            for (const QVariant &v : row)
                values << (v.isNull() ? QStringLiteral("<null>") : v.toString());
            rows << values.join(QLatin1Char('='));
        }
        return rows;
    }

    QString logText() const
    {
        QString all;
        const QDir d(dir.filePath(QStringLiteral("Logs")));
        for (const QString &f : d.entryList(QDir::Files, QDir::Name))
            all += QString::fromLatin1(test::readFile(d.filePath(f)));
        return all;
    }

    QTemporaryDir dir;
    Workspace workspace;
    FixedClock clock;
    RunLog log;
    ScriptedBoxes boxes;
    MemorySettingsStore store;
    std::unique_ptr<DataAccess> db;
    std::unique_ptr<Runtime> rt;
    QString outFolder;
};

QString boxesShown(const ScriptedBoxes &boxes)
{
    QStringList out;
    for (const ScriptedBoxes::Shown &s : boxes.shown())
        out << QStringLiteral("[%1] %2: %3").arg(s.title, s.text, s.answer);
    return out.join(QLatin1Char('\n'));
}

}  // namespace

TEST(Golden, DocumentsMatchTheHandWrittenFiles)
{
    for (const bool workingSet : {true, false}) {
        for (const GoldenCase &c : goldenCases()) {
            SCOPED_TRACE(std::string(c.despacho) + (workingSet ? "" : " (no working set)"));
            GoldenRun run(c);
            run.db->setWorkingSetAllowed(workingSet);
            const GenerationReport report = run.generate(QLatin1String(c.despacho));

            // The operator was asked in the order of the header, offered what was remembered.
            QList<ScriptedBoxes::Shown> inputs;
            for (const ScriptedBoxes::Shown &s : run.boxes.shown())
                if (s.kind == ScriptedBoxes::Shown::Input)
                    inputs << s;
            ASSERT_EQ(inputs.size(), c.prompts.size()) << boxesShown(run.boxes).toStdString();
            for (qsizetype i = 0; i < inputs.size(); ++i) {
                EXPECT_EQ(inputs[i].title, QLatin1String(c.prompts[i].title)) << "prompt " << i;
                EXPECT_EQ(inputs[i].defaultValue, QString::fromUtf8(c.prompts[i].offered))
                    << c.prompts[i].title;
            }

            // One file, named from the prefix, subregime code, reference code and the local time.
            const QString name = QLatin1String(c.fileName);
            const QString path = QDir(run.outFolder).filePath(name + QStringLiteral(".XML"));
            ASSERT_EQ(report.outcome, GenerationReport::Written) << boxesShown(run.boxes).toStdString();
            EXPECT_EQ(QDir(run.outFolder).entryList(QDir::Files), QStringList{name + QStringLiteral(".XML")});
            EXPECT_EQ(report.fileName, name);
            EXPECT_EQ(QDir::cleanPath(report.path), QDir::cleanPath(path));

            // The only box besides the prompts tells where the file lies.
            const QList<ScriptedBoxes::Shown> messages = run.boxes.messages();
            ASSERT_EQ(messages.size(), 1) << boxesShown(run.boxes).toStdString();
            EXPECT_EQ(messages[0].icon, BoxIcon::Information);
            EXPECT_TRUE(messages[0].text.contains(QStringLiteral(" Ubicacion: ") + report.path))
                << messages[0].text.toStdString();

            const QByteArray expected = test::readGolden(c.golden);
            ASSERT_FALSE(expected.isEmpty()) << c.golden;
            const QByteArray actual = test::readFile(path);
            EXPECT_TRUE(actual == expected) << describeDifference(expected, actual);

            // What was answered and generated is remembered in the declaration's row.
            for (const Column &col : c.row) {
                const QStringList got =
                    run.read(QStringLiteral("SELECT %1 FROM CARATULA_CARATULA WHERE DESPACHO = '%2'")
                                 .arg(QLatin1String(col.name), QLatin1String(c.despacho)));
                const QString want = col.value ? QString::fromUtf8(col.value) : QStringLiteral("<null>");
                EXPECT_EQ(got, QStringList{want}) << col.name;
            }
            EXPECT_EQ(run.read(QStringLiteral("SELECT Moneda, Valor FROM Despacho_TiposCambio "
                                              "WHERE Despacho = '%1'")
                                   .arg(QLatin1String(c.despacho))),
                      c.exchangeRates);
            const QString logText = run.logText();
            for (const QString &line : c.logLines)
                EXPECT_TRUE(logText.contains(line)) << line.toStdString();
        }
    }
}

TEST(Golden, AOneByteChangeToAStoredFileChangesTheDocumentComparedWith)
{
    for (const GoldenCase &c : goldenCases()) {
        SCOPED_TRACE(c.golden);
        const QByteArray stored = test::readFile(test::goldenPath(c.golden));
        const QByteArray document = test::goldenDocument(stored);
        ASSERT_FALSE(document.contains('\n')) << "the stored form must be the only source of line breaks";
        // Every byte but the line breaks of the stored form, changed, removed, or followed by a
        // line break of its own.
        for (qsizetype i = 0; i < stored.size(); ++i) {
            if (stored[i] == '\n')
                continue;
            QByteArray changed = stored, removed = stored, broken = stored;
            changed[i] = char(stored[i] ^ 0x20);
            removed.remove(i, 1);
            broken.insert(stored[i] == '>' ? i : i + 1, '\n');
            for (const QByteArray *mutated : {&changed, &removed, &broken})
                ASSERT_NE(test::goldenDocument(*mutated), document) << "byte " << i;
        }
    }
}

TEST(Golden, TheReadCacheAndTheWorkingSetChangeNoByteOfADocumentNorARowNorALogLine)
{
    const struct {
        bool cache, workingSet;
    } variants[] = {{true, true}, {true, false}, {false, true}};
    for (const GoldenCase &c : goldenCases())
        for (const auto &v : variants) {
            SCOPED_TRACE(testing::Message() << c.despacho << ", cache " << v.cache << ", working set "
                                            << v.workingSet);
            GoldenRun on(c), off(c);
            on.db->setReadCacheAllowed(v.cache);
            on.db->setWorkingSetAllowed(v.workingSet);
            off.db->setReadCacheAllowed(false);
            off.db->setWorkingSetAllowed(false);
            ASSERT_EQ(on.generate(QLatin1String(c.despacho)).outcome, GenerationReport::Written);
            ASSERT_EQ(off.generate(QLatin1String(c.despacho)).outcome, GenerationReport::Written);
            EXPECT_GT(off.db->statementsRun(), on.db->statementsRun());

            const QString file = QLatin1String(c.fileName) + QStringLiteral(".XML");
            const QByteArray expected = test::readGolden(c.golden);
            EXPECT_TRUE(test::readFile(QDir(off.outFolder).filePath(file)) == expected);
            EXPECT_TRUE(test::readFile(QDir(on.outFolder).filePath(file)) == expected);
            // The same boxes and log lines, each naming its own folder.
            EXPECT_EQ(boxesShown(on.boxes).replace(on.dir.path(), QStringLiteral("DIR")).toStdString(),
                      boxesShown(off.boxes).replace(off.dir.path(), QStringLiteral("DIR")).toStdString());
            EXPECT_EQ(on.logText().replace(on.dir.path(), QStringLiteral("DIR")).toStdString(),
                      off.logText().replace(off.dir.path(), QStringLiteral("DIR")).toStdString());
            for (const QString &entity : workspaceEntities())
                EXPECT_EQ(test::dumpSqlite(on.workspace.databaseFile(entity)),
                          test::dumpSqlite(off.workspace.databaseFile(entity)))
                    << entity.toStdString();
        }
}
