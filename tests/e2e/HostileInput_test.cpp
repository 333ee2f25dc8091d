// Hostile texts typed by the operator, held by the databases or set as file prefixes, through the
// command line's generate on the demo workspace: every case ends in a well-formed document in the
// output folder or in a message with nothing written, and every statement sent keeps each hostile
// value whole inside one quoted literal.

#include "app/workspace/Workspace.h"
#include "e2e/DemoCliRun.h"
#include "support/SqlTokens.h"
#include "support/TestSupport.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using b2d::test::DemoCliRun;

namespace {

const QString kInjection = u"O'Neil & Sons <b>]]> \"x\" '; DROP TABLE CARATULA_CARATULA; --"_s;
// Path pieces, characters ISO-8859-1 cannot hold (one outside the basic plane) and control
// characters, after the quotes and markup.
const QString kText = kInjection + u" ../..\\/\\:ref € Ω 中文 "_s + QString::fromUcs4(U"\U0001F600")
    + u" \x01\x1b\x7f\t"_s;
const QString kLong = QString(100000 - kInjection.size(), u'x') + kInjection;
// The demo's first import renumbered with quotes and path pieces, and a number no row holds.
const QString kOddNumber = u"26001IC'/..\\:0123A"_s;
const QString kNoNumber = u"26001IC04'; DROP TABLE CARATULA_CARATULA; --"_s;
// Words of the hostile texts that no statement of the program holds outside a literal.
const QStringList kMarkers = {u"Neil"_s, u"DROP TABLE"_s};

// Columns that tie the rows of one operation together (declaration, interno, item, subitem):
// left alone so that the builders still find the rows they poison.
const QSet<QString> kLinks = {u"DESPACHO"_s, u"IDN_DESPACHO"_s, u"IDN_ITEM"_s, u"NRO_ITEM"_s,
                              u"NRO_SUBITEM"_s, u"INTERNO"_s, u"INTNRO"_s, u"NROITEM"_s,
                              u"NROSUBITEM"_s, u"ID"_s, u"IDEXT"_s, u"ITEMARTID"_s, u"ARTORD"_s,
                              u"IDENTIFICADOR_PROPIO"_s, u"CODIGO_CONCEPTO"_s, u"JURISDICCION"_s};

enum class Poison { None, Texts, Nulls, Amounts, Dates };

struct Case {
    const char *name;
    Poison poison;
    QVariant value;           // what the poisoned columns receive
    QStringList answers;      // KEY=VALUE typed at the prompts
    QString prefix;           // PREFIJO and PREFIJOEXPO
    QString only = {};        // TABLE.COLUMN: the one column poisoned, when not every one of the kind
};

QVariant poisonFor(const Case &c, const QString &table, const QString &column, const QString &type, bool notNull)
{
    const QString upper = column.toUpper();
    if (kLinks.contains(upper) || column.startsWith(u"Xml_"_s) || table == u"b2d_procedures"_s
        || table == u"version"_s || (!c.only.isEmpty() && table + u'.' + upper != c.only))
        return {};
    switch (c.poison) {
    case Poison::None:
        return {};
    case Poison::Texts:
        return type == u"TEXT"_s ? c.value : QVariant();
    case Poison::Nulls:
        return notNull ? QVariant() : QVariant(QMetaType::fromType<QString>());
    case Poison::Amounts:
        return type == u"REAL"_s ? c.value : QVariant();
    case Poison::Dates:
        return upper.contains(u"FECHA"_s) || (table == u"ITEMS_INFORMACION_COMPLEMENTARIAS"_s && upper == u"VALOR"_s)
            ? c.value
            : QVariant();
    }
    return {};
}

QString quoted(const QString &text)
{
    return u'\'' + QString(text).replace(u"'"_s, u"''"_s) + u'\'';
}

void renumberFirstImport(const QString &historial)
{
    const QList<std::pair<const char *, const char *>> columns = {
        {"CARATULA_CARATULA", "DESPACHO"}, {"ITEMS_ARTICULOS", "IDN_DESPACHO"},
        {"ITEMS_SUBITEMS", "IDN_DESPACHO"}, {"ITEMS_LIQUIDACION_ITEM", "IDN_DESPACHO"},
        {"CARATULA_LIQUIDACIONES", "IDN_DESPACHO"}, {"CARATULA_INGRESOS_BRUTOS", "IDN_DESPACHO"},
        {"CARATULA_DOCUMENTOS", "IDN_DESPACHO"}, {"ITEMS_INFORMACION_COMPLEMENTARIAS", "IDN_DESPACHO"}};
    for (const auto &[table, column] : columns)
        b2d::test::execSqlite(historial, u"UPDATE %1 SET %2 = %3 WHERE %2 = '26001IC04000123A'"_s.arg(
                                             QLatin1String(table), QLatin1String(column), quoted(kOddNumber)));
}

QStringList filesUnder(const QString &folder)
{
    QStringList files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
        files << it.next();
    return files;
}

QStringList hostileValues(const Case &c)
{
    QStringList values;
    if (c.value.typeId() == QMetaType::QString && !c.value.isNull())
        values << c.value.toString();
    for (const QString &a : c.answers)
        values << a.section(u'=', 1);
    if (c.prefix.size() >= 3)  // a lone separator also stands in statements of its own
        values << c.prefix;
    return values;
}

// Generates operation `numero` under case `c` and checks the outcome, the files and the statements.
void generateHostile(const QString &numero, const Case &c, bool workingSet)
{
    DemoCliRun run;
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    for (const QString &key : {u"PREFIJO"_s, u"PREFIJOEXPO"_s})
        ASSERT_EQ(run.run({u"config"_s, u"set"_s, key, c.prefix}), 0) << run.err.toStdString();
    const b2d::Workspace workspace(run.demo + u"/data"_s);
    for (const QString &entity : b2d::workspaceEntities())
        b2d::test::setColumnsSqlite(workspace.databaseFile(entity),
                                    [&](const QString &t, const QString &col, const QString &type, bool nn) {
                                        return poisonFor(c, t, col, type, nn);
                                    });
    const QString historial = workspace.databaseFile(u"HISTORIAL"_s);
    if (numero == kOddNumber)
        renumberFirstImport(historial);
    const QString recordQuery = u"SELECT Xml_B2DFile FROM CARATULA_CARATULA WHERE DESPACHO = "_s + quoted(numero);
    const QVariant recordedBefore = b2d::test::querySqlite(historial, recordQuery);
    const QString trace = run.dir.filePath(u"trace.jsonl"_s);
    const QStringList before = filesUnder(run.dir.path());
    QStringList answers;
    for (const QString &a : c.answers)
        answers << u"--answer"_s << a;

    run.err.clear();
    QStringList options{u"--trace-sql"_s, trace};
    if (!workingSet)
        options << u"--no-working-set"_s;
    const int status = run.generate({numero}, answers, options);

    // A document in the output folder, or a message and nothing written.
    const QString err = run.err.left(2000);
    ASSERT_TRUE(status == 0 || status == 3 || status == 4 || status == 5) << status;
    // A name that begins with a dot counts too: it is in the folder, though hidden.
    const QStringList out = QDir(run.demo + u"/out"_s).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    QStringList added;
    for (const QString &f : filesUnder(run.dir.path()))
        if (!before.contains(f) && f != trace && !f.startsWith(run.demo + u"/out/"_s))
            added << f;
    EXPECT_TRUE(added.isEmpty()) << added.join(u' ').toStdString();
    const QVariant recorded = b2d::test::querySqlite(historial, recordQuery);
    if (status == 0) {
        ASSERT_EQ(out.size(), 1) << out.join(u' ').toStdString();
        EXPECT_TRUE(out.first().endsWith(u".XML"_s)) << out.first().toStdString();
        EXPECT_EQ(recorded.toString() + u".XML"_s, out.first());
        QFile file(run.outPath(out.first()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>"));
        QXmlStreamReader xml(bytes);
        while (!xml.atEnd())
            xml.readNext();
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at column "
                                     << xml.columnNumber() << ": "
                                     << bytes.mid(qMax<qint64>(0, xml.characterOffset() - 80), 160).toStdString();
    } else {
        EXPECT_TRUE(out.isEmpty()) << out.join(u' ').toStdString();
        EXPECT_EQ(recorded, recordedBefore);
        EXPECT_FALSE(run.err.trimmed().isEmpty()) << "no message for status " << status;
    }

    // Every statement went through whole, each hostile value inside one literal.
    QFile lines(trace);
    ASSERT_TRUE(lines.open(QIODevice::ReadOnly)) << err.toStdString();
    const QStringList values = hostileValues(c) << numero;
    int statements = 0;
    while (!lines.atEnd()) {
        const QJsonObject t = QJsonDocument::fromJson(lines.readLine()).object();
        const QString sql = t.value(u"sql"_s).toString();
        ++statements;
        EXPECT_TRUE(t.value(u"ok"_s).toBool())
            << sql.left(300).toStdString() << ": " << t.value(u"error"_s).toString().toStdString();
        for (const QString &v : values) {
            const QString why = b2d::test::unsafeValueInStatement(sql, v, kMarkers);
            EXPECT_TRUE(why.isEmpty()) << why.toStdString() << ": " << sql.left(300).toStdString();
        }
    }
    EXPECT_GT(statements, 0);
}

}  // namespace

TEST(HostileInput, EndsInAWellFormedDocumentOrAMessageAndNeverBreaksAStatement)
{
    const QStringList operations = {u"26001IC04000123A"_s, u"26001IC04000131C"_s, u"26001EC01000045B"_s,
                                    u"26001DJAI000007K"_s, kOddNumber, kNoNumber};
    const QStringList textAnswers = {u"Canal="_s + kText, u"ProcessRC="_s + kText, u"BrokerRC="_s + kText,
                                     u"NombreArchivo="_s + kText};
    const Case cases[] = {
        {"answers", Poison::None, {}, textAnswers, u"../"_s},
        {"impossible dates answered", Poison::None, {},
         {u"FechaLIB=31/02/2019"_s, u"FechaCumplido="_s + kText, u"FechaPago=31/02/2019"_s}, u"..\\"_s},
        {"texts in every column", Poison::Texts, kText, {}, u"/"_s},
        {"long texts", Poison::Texts, kLong, {u"ProcessRC="_s + kLong, u"BrokerRC="_s + kLong}, u"\\"_s},
        {"nulls", Poison::Nulls, {}, {u"ProcessRC=REF-1"_s, u"BrokerRC=REF-2"_s}, u":"_s},
        {"non-numeric amounts", Poison::Amounts, u"abc'; --"_s, {}, u"../../"_s},
        {"amounts with two separators", Poison::Amounts, u"1.234,5"_s, {}, u"DVN"_s},
        {"declaration FOB of 0", Poison::Amounts, 0.0, {}, u"DVN"_s, u"CARATULA_CARATULA.MONTO_FOB"_s},
        {"impossible dates stored", Poison::Dates, u"31/02/2019"_s, {}, u"DVN"_s},
    };
    for (const bool workingSet : {true, false})
        for (const QString &numero : operations)
            for (const Case &c : cases) {
                SCOPED_TRACE(numero.toStdString() + ": " + c.name
                             + (workingSet ? "" : " (no working set)"));
                generateHostile(numero, c, workingSet);
            }
}
