#include "data/SqlTrace.h"

#include "runtime/Errors.h"
#include "support/RecordingData.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace b2d;

namespace {

StatementTrace trace(const QString &sql, int rows, double ms, bool cached = false, bool ok = true,
                     bool write = false, const QString &error = {})
{
    return StatementTrace{QStringLiteral("HISTORIAL"), sql, rows, ms, cached, ok, write, error,
                          cached ? Answered::Cache : Answered::Database};
}

void openQueryOn(RecordingData &data, const char *entity, const char *sql, Recordset &rs)
{
    Connection &c = data.db().getDataConnectionByEntity(QString::fromUtf8(entity));
    c.sql = QString::fromUtf8(sql);
    c.crearrs(rs);
}

}  // namespace

TEST(SqlTrace, JsonLineHoldsTheStatementAsWritten)
{
    const std::pair<StatementTrace, const char *> cases[] = {
        {trace(QStringLiteral("SELECT * FROM T WHERE A = 'x'"), 3, 0.42),
         R"({"entity": "HISTORIAL", "sql": "SELECT * FROM T WHERE A = 'x'", "rows": 3, "ms": 0.42, "cached": false, "ok": true, "answered": "database"})"},
        {trace(QStringLiteral("SELECT \"Año\"\n\tFROM [T\\1]"), 0, 12.0, true),
         R"({"entity": "HISTORIAL", "sql": "SELECT \"Año\"\n\tFROM [T\\1]", "rows": 0, "ms": 12, "cached": true, "ok": true, "answered": "cache"})"},
        {trace(QStringLiteral("SELECT x"), 0, 1.23456, false, false, false, QStringLiteral("no such column: x")),
         R"({"entity": "HISTORIAL", "sql": "SELECT x", "rows": 0, "ms": 1.235, "cached": false, "ok": false, "error": "no such column: x", "answered": "database"})"},
        {StatementTrace{QStringLiteral("NCM"), QStringLiteral("SELECT 1"), 1, 0.5, false, true, false, {},
                        Answered::WorkingSet},
         R"({"entity": "NCM", "sql": "SELECT 1", "rows": 1, "ms": 0.5, "cached": false, "ok": true, "answered": "working set"})"},
    };
    for (const auto &[t, line] : cases) {
        SCOPED_TRACE(line);
        EXPECT_EQ(jsonTraceLine(t).toStdString(), std::string(line));
    }
}

TEST(SqlTrace, FileReceivesOneLinePerStatementAfterWhatItHeld)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.jsonl"));
    {
        QFile earlier(path);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("{}\n");
    }
    RecordingData data;
    data.onExact(QStringLiteral("HISTORIAL"), QStringLiteral("q"), rows({QStringLiteral("A")}, {{1}, {2}}));
    data.failOn(QStringLiteral("INTERNOS"), QStringLiteral("bad"), QStringLiteral("no such table: bad"));
    addJsonTraceFile(data.db(), path);
    Recordset rs;
    data.db().beginGeneration();
    openQueryOn(data, "HISTORIAL", "q", rs);
    openQueryOn(data, "HISTORIAL", "q", rs);
    // Refused inside a generation: the statement ends it, and is traced as failed all the same.
    EXPECT_THROW(openQueryOn(data, "Internos", "select * from bad", rs), StatementRefused);

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 5);  // the earlier line, three statements, the text after the last line end
    EXPECT_EQ(lines[0], "{}");
    EXPECT_TRUE(lines[4].isEmpty());
    const std::tuple<const char *, int, bool, bool> expected[] = {
        {"HISTORIAL", 2, false, true}, {"HISTORIAL", 2, true, true}, {"INTERNOS", 0, false, false}};
    for (int n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        const auto &[entity, count, cached, ok] = expected[n];
        const QJsonObject o = QJsonDocument::fromJson(lines[n + 1]).object();
        EXPECT_EQ(o.value(QLatin1String("entity")).toString(), QString::fromUtf8(entity));
        EXPECT_EQ(o.value(QLatin1String("rows")).toInt(-1), count);
        EXPECT_EQ(o.value(QLatin1String("cached")).toBool(!cached), cached);
        EXPECT_EQ(o.value(QLatin1String("ok")).toBool(!ok), ok);
    }

    EXPECT_THROW(addJsonTraceFile(data.db(), dir.filePath(QStringLiteral("no/such/folder/t.jsonl"))), B2DError);
}

TEST(SqlTrace, DescribesAStatementOnOneLine)
{
    const std::pair<StatementTrace, const char *> cases[] = {
        {trace(QStringLiteral("SELECT A\r\nFROM T"), 1, 0.5), "HISTORIAL | 1 fila | 0.5 ms | SELECT A FROM T"},
        {trace(QStringLiteral("q"), 3, 0, true), "HISTORIAL | 3 filas (caché) | 0 ms | q"},
        {trace(QStringLiteral("Update T"), 0, 2, false, true, true), "HISTORIAL | ejecutada | 2 ms | Update T"},
        {trace(QStringLiteral("bad"), 0, 1, false, false, false, QStringLiteral("no such table: bad")),
         "HISTORIAL | ERROR: no such table: bad | 1 ms | bad"},
    };
    for (const auto &[t, line] : cases) {
        SCOPED_TRACE(line);
        EXPECT_EQ(describeStatement(t).toStdString(), std::string(line));
    }
}
