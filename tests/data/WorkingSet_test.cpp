#include "data/DataAccess.h"

#include "data/SqlFixture.h"
#include "platform/Error.h"
#include "support/FaultInjection.h"
#include "support/RecordingData.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace b2d;
using namespace b2d::test;

namespace {

// Key columns of three collations, a code table and a table the working set does not keep.
const QStringList kHistorial = {
    QStringLiteral("CREATE TABLE CARATULA_DOCUMENTOS (IDN_DESPACHO TEXT COLLATE NOCASE, Codigo TEXT, "
                   "REFERENCIA TEXT)"),
    QStringLiteral("CREATE INDEX CD ON CARATULA_DOCUMENTOS (IDN_DESPACHO, Codigo)"),
    QStringLiteral("INSERT INTO CARATULA_DOCUMENTOS VALUES ('D1', 'B', 'r2'), ('d1', 'A', 'r1'), "
                   "('D2', 'A', 'x'), ('D1 ', 'C', 'r3')"),
    QStringLiteral("CREATE TABLE ITEMS_ARTICULOS (IDN_DESPACHO TEXT, NRO_ITEM TEXT, MONTO_FOB_DIV REAL)"),
    QStringLiteral("INSERT INTO ITEMS_ARTICULOS VALUES ('D1', '0001', 10), ('D1', '0002', 2.5), "
                   "('d1', '0003', 7)"),
    // Enough rows under one key for the working set to read them through an indexed copy.
    QStringLiteral("INSERT INTO ITEMS_ARTICULOS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                   "FROM n WHERE i < 250) SELECT 'D3', printf('%04d', 1000 + i), i % 5 FROM n"),
    QStringLiteral("CREATE TABLE CARATULA_CARATULA (DESPACHO TEXT COLLATE RTRIM, MONTO_FOB REAL)"),
    QStringLiteral("INSERT INTO CARATULA_CARATULA VALUES ('D1  ', 12.5), ('d1', 1)"),
    QStringLiteral("CREATE TABLE TAX (CTAX TEXT COLLATE NOCASE PRIMARY KEY, LTAXABR TEXT)"),
    QStringLiteral("INSERT INTO TAX VALUES ('0001', 'DI'), ('0002', 'TE')"),
    QStringLiteral("CREATE TABLE ITEMS_SUBITEMS (IDN_DESPACHO VARCHAR(16) COLLATE NOCASE, IDN_ITEM INTEGER, "
                   "NRO_SUBITEM TEXT)"),
    QStringLiteral("INSERT INTO ITEMS_SUBITEMS VALUES ('d1', 1, '0001'), ('D1', 1, '0002'), ('D2', 1, '0001')"),
    QStringLiteral("CREATE TABLE OTRA (IDN_DESPACHO TEXT)"),
    QStringLiteral("INSERT INTO OTRA VALUES ('D1')"),
};

class WorkingSetData : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        createSqliteFile(dir.filePath(QStringLiteral("historial.db")), kHistorial);
        writeTextFile(dir.filePath(QStringLiteral("connections.ini")),
                      QStringLiteral("[HISTORIAL]\ndriver=sqlite\ndatabase=historial.db\n"));
        db = open();
        db->addTraceSink([this](const StatementTrace &t) { traces << t; });
    }

    std::unique_ptr<DataAccess> open()
    {
        return openConnectionsFile(dir.filePath(QStringLiteral("connections.ini")));
    }

    static ResultSet read(DataAccess &data, const QString &sql)
    {
        Connection &c = data.getDataConnectionByEntity(QStringLiteral("HISTORIAL"));
        c.sql = sql;
        Recordset rs;
        c.crearrs(rs);
        return rs.data();
    }

    // Who answered the last statement with this text.
    Answered answeredBy(const QString &sql) const
    {
        for (qsizetype i = traces.size() - 1; i >= 0; --i)
            if (traces.at(i).sql == sql)
                return traces.at(i).answered;
        ADD_FAILURE() << "not traced: " << sql.toStdString();
        return Answered::Cache;
    }

    QTemporaryDir dir;
    std::unique_ptr<DataAccess> db;
    QList<StatementTrace> traces;
};

// Values compared with their types: an integer and a real of the same value differ.
std::string describe(const ResultSet &r)
{
    QStringList out{r.columns.join(QLatin1Char(','))};
    for (const QVariantList &row : r.rows) {
        QStringList values;
        for (const QVariant &v : row)
            values << (v.isNull() ? QStringLiteral("<null>")
                                  : QString::fromLatin1(v.typeName()) + QLatin1Char(':') + v.toString());
        out << values.join(QLatin1Char('|'));
    }
    return out.join(QLatin1Char('\n')).toStdString();
}

}  // namespace

TEST_F(WorkingSetData, AnswersExactlyAsTheDatabaseOrLeavesTheStatementToIt)
{
    const struct {
        const char *sql;
        Answered by;
    } cases[] = {
        // A key in another case and with trailing blanks matches as the column's collation says.
        {"SELECT Codigo, REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1'", Answered::WorkingSet},
        {"SELECT Codigo, REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'd1'", Answered::WorkingSet},
        {"SELECT Codigo FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1 ' ORDER BY Codigo", Answered::WorkingSet},
        {"SELECT Codigo FROM CARATULA_DOCUMENTOS WHERE 'D1' = IDN_DESPACHO", Answered::WorkingSet},
        {"SELECT * FROM ITEMS_ARTICULOS WHERE IDN_DESPACHO = 'd1'", Answered::WorkingSet},
        {"SELECT * FROM ITEMS_ARTICULOS WHERE IDN_DESPACHO = 'D1 '", Answered::WorkingSet},
        // A table without index read through an indexed copy: the same rows in the same order.
        {"SELECT NRO_ITEM FROM ITEMS_ARTICULOS WHERE IDN_DESPACHO = 'D3' AND MONTO_FOB_DIV = 2", Answered::WorkingSet},
        {"SELECT NRO_ITEM FROM ITEMS_ARTICULOS WHERE MONTO_FOB_DIV > 2 AND IDN_DESPACHO = 'D3' ORDER BY MONTO_FOB_DIV",
         Answered::WorkingSet},
        {"SELECT NRO_ITEM FROM ITEMS_ARTICULOS i WHERE i.IDN_DESPACHO = 'D1' AND MONTO_FOB_DIV > 1", Answered::WorkingSet},
        {"SELECT NRO_ITEM, MONTO_FOB_DIV FROM ITEMS_ARTICULOS WHERE IDN_DESPACHO = 'd1' AND NRO_ITEM = '0003' "
         "ORDER BY IDN_DESPACHO", Answered::WorkingSet},
        {"SELECT SUM(MONTO_FOB_DIV) FROM ITEMS_ARTICULOS WHERE IDN_DESPACHO = 'D1' ORDER BY MONTO_FOB_DIV",
         Answered::WorkingSet},
        {"SELECT * FROM CARATULA_CARATULA WHERE DESPACHO = 'D1'", Answered::WorkingSet},
        {"SELECT MONTO_FOB FROM CARATULA_CARATULA WHERE DESPACHO = 'D1     '", Answered::WorkingSet},
        // Joins with a code table, T-SQL aliases, aggregates and subqueries keyed themselves.
        {"SELECT a.NRO_ITEM, t.LTAXABR FROM ITEMS_ARTICULOS a, TAX t WHERE a.IDN_DESPACHO = 'D1' "
         "AND t.CTAX = a.NRO_ITEM ORDER BY a.NRO_ITEM", Answered::WorkingSet},
        {"SELECT Total=SUM(MONTO_FOB_DIV), n = count(*) FROM ITEMS_ARTICULOS WHERE "
         "IDN_DESPACHO = 'D1' AND NRO_ITEM <> '0002'", Answered::WorkingSet},
        {"SELECT NRO_ITEM, (SELECT LTAXABR FROM TAX WHERE CTAX = NRO_ITEM) FROM ITEMS_ARTICULOS "
         "WHERE IDN_DESPACHO = 'D1'", Answered::WorkingSet},
        // A key carried by equal columns of the same collation, a conjunction in parentheses.
        {"SELECT s.NRO_SUBITEM, d.Codigo FROM ITEMS_SUBITEMS s INNER JOIN CARATULA_DOCUMENTOS d ON "
         "(d.IDN_DESPACHO = s.IDN_DESPACHO) WHERE s.IDN_DESPACHO = 'd1' ORDER BY 1, 2", Answered::WorkingSet},
        {"SELECT s.NRO_SUBITEM, d.Codigo FROM ITEMS_SUBITEMS s LEFT JOIN CARATULA_DOCUMENTOS d ON "
         "s.IDN_DESPACHO = d.IDN_DESPACHO AND d.Codigo = 'A' WHERE s.IDN_DESPACHO = 'D1'", Answered::WorkingSet},
        {"SELECT * FROM ITEMS_ARTICULOS WHERE IDN_DESPACHO = 'D1' AND (NRO_ITEM = '0001' OR "
         "NRO_ITEM = '0003')", Answered::WorkingSet},
        // No key, a key that does not restrict the table's rows, columns of other collations, a
        // table not kept: the database.
        {"SELECT d.Codigo, c.MONTO_FOB FROM CARATULA_DOCUMENTOS d, CARATULA_CARATULA c WHERE "
         "d.IDN_DESPACHO = 'D1' AND c.DESPACHO = d.IDN_DESPACHO", Answered::Database},
        {"SELECT * FROM CARATULA_DOCUMENTOS d LEFT JOIN ITEMS_SUBITEMS s ON d.IDN_DESPACHO = 'D1' "
         "AND s.IDN_DESPACHO = d.IDN_DESPACHO", Answered::Database},
        {"SELECT * FROM ITEMS_ARTICULOS WHERE NRO_ITEM BETWEEN '0001' AND IDN_DESPACHO = 'D1'",
         Answered::Database},
        {"SELECT * FROM ITEMS_ARTICULOS WHERE NRO_ITEM = '0001'", Answered::Database},
        {"SELECT * FROM ITEMS_ARTICULOS WHERE IDN_DESPACHO = 'D1' OR 1 = 1", Answered::Database},
        {"SELECT * FROM ITEMS_ARTICULOS WHERE NOT IDN_DESPACHO = 'D1'", Answered::Database},
        {"SELECT * FROM ITEMS_ARTICULOS WHERE IDN_DESPACHO = 'D1' || ''", Answered::Database},
        {"SELECT (SELECT count(*) FROM TAX WHERE IDN_DESPACHO = 'D1') FROM ITEMS_ARTICULOS",
         Answered::Database},
        {"SELECT * FROM ITEMS_ARTICULOS a WHERE a.IDN_DESPACHO = 'D1' AND EXISTS (SELECT 1 FROM "
         "ITEMS_ARTICULOS b WHERE b.IDN_DESPACHO = a.IDN_DESPACHO)", Answered::Database},
        {"SELECT * FROM OTRA, TAX WHERE IDN_DESPACHO = 'D1'", Answered::Database},
        {"SELECT * FROM ITEMS_ARTICULOS AS TAX WHERE TAX.IDN_DESPACHO = 'D1'", Answered::Database},
        {"SELECT * FROM CARATULA_DOCUMENTOS LEFT JOIN TAX ON IDN_DESPACHO = 'D1'", Answered::Database},
    };
    auto plain = open();
    plain->setWorkingSetAllowed(false);
    db->beginGeneration();
    plain->beginGeneration();
    for (const auto &c : cases) {
        const QString sql = QString::fromLatin1(c.sql);
        SCOPED_TRACE(c.sql);
        const ResultSet got = read(*db, sql);
        EXPECT_EQ(describe(got), describe(read(*plain, sql)));
        EXPECT_EQ(int(answeredBy(sql)), int(c.by));
    }
    // Each key as written was fetched once (three spellings of D1 in each keyed table but two in
    // CARATULA_CARATULA and ITEMS_SUBITEMS, and D3), and TAX once, whole.
    int sent = 0;
    for (const StatementTrace &t : traces)
        sent += t.answered == Answered::Database && t.sql.startsWith(QLatin1String("SELECT rowid"));
    EXPECT_EQ(sent, 12);
    db->endGeneration();
}

TEST_F(WorkingSetData, AWriteIsSeenByTheNextReadAndCountsAsSent)
{
    db->beginGeneration();
    const QString docs = QStringLiteral("SELECT Codigo, REFERENCIA FROM CARATULA_DOCUMENTOS "
                                        "WHERE IDN_DESPACHO = 'D1' ORDER BY Codigo");
    EXPECT_EQ(read(*db, docs).rows.size(), 2);
    Connection &c = db->getDataConnectionByEntity(QStringLiteral("HISTORIAL"));
    // An update is applied to the rows held; an insert (or a write naming a key column) has them
    // fetched again. Every statement sent to the database is counted.
    const struct {
        const char *write;
        const char *after;
        int sent;
    } steps[] = {
        {"UPDATE CARATULA_DOCUMENTOS SET REFERENCIA = 'nueva' WHERE IDN_DESPACHO = 'D1' AND Codigo = 'A'",
         "A|nueva B|r2", 1},
        {"DELETE FROM CARATULA_DOCUMENTOS WHERE Codigo IN ('B')", "A|nueva", 1},
        {"INSERT INTO CARATULA_DOCUMENTOS VALUES ('D1', 'Z', 'z')", "A|nueva Z|z", 2},
        {"UPDATE CARATULA_DOCUMENTOS SET IDN_DESPACHO = 'D1' WHERE IDN_DESPACHO = 'D2'", "A|nueva A|x Z|z", 2},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.write);
        const int run = db->statementsRun();
        c.sql = QString::fromLatin1(step.write);
        ASSERT_TRUE(c.ejecutar());
        QStringList rows;
        for (const QVariantList &row : read(*db, docs).rows)
            rows << row.value(0).toString() + QLatin1Char('|') + row.value(1).toString();
        EXPECT_EQ(rows.join(QLatin1Char(' ')), QLatin1String(step.after));
        EXPECT_EQ(int(answeredBy(docs)), int(Answered::WorkingSet));
        EXPECT_EQ(db->statementsRun(), run + step.sent);
    }
    db->endGeneration();
}

TEST_F(WorkingSetData, ARefusedFetchRefusesTheStatementThatNeededIt)
{
    StatementFaults faults;
    auto data = open();
    data->addTraceSink([this](const StatementTrace &t) { traces << t; });
    data->beginGeneration();
    faults.failAt(2, StatementFaults::Kind::Error);  // the schema, then the rows of D1
    const QString sql = QStringLiteral("SELECT * FROM ITEMS_ARTICULOS WHERE IDN_DESPACHO = 'D1'");
    try {
        read(*data, sql);
        ADD_FAILURE() << "not refused";
    } catch (const StatementRefused &e) {
        EXPECT_EQ(e.sql(), sql);
        EXPECT_TRUE(e.description().contains(QLatin1String("inyectado"))) << e.description().toStdString();
    }
    ASSERT_GE(traces.size(), 3);
    EXPECT_FALSE(traces.at(traces.size() - 2).ok);
    EXPECT_EQ(int(traces.at(traces.size() - 2).answered), int(Answered::Database));
    EXPECT_FALSE(traces.last().ok);
    data->endGeneration();
}

TEST_F(WorkingSetData, TheTariffRowsOfEveryArticleComeWithTheFirstOnesAsked)
{
    // Two declarations' articles; the tariff table in its own database.
    for (const char *sql : {"CREATE TABLE ARTS (IDN_DESPACHO TEXT, POSICION_ARANCELARIA TEXT)",
                            "DROP TABLE ITEMS_ARTICULOS", "ALTER TABLE ARTS RENAME TO ITEMS_ARTICULOS",
                            "INSERT INTO ITEMS_ARTICULOS VALUES ('D1', '8471.30.12.100A'), ('D1', '8471,30,19.000B'), "
                            "('D1', 'O''Hig.0001.000C'), ('D2', '9999.99.99.000Z')"})
        execSqlite(dir.filePath(QStringLiteral("historial.db")), QLatin1String(sql));
    createSqliteFile(dir.filePath(QStringLiteral("ncm.db")),
                     {QStringLiteral("CREATE TABLE ncm ([001] TEXT, [002] TEXT, [004] TEXT)"),
                      QStringLiteral("INSERT INTO ncm VALUES ('8471.30.12', '100', 'a'), ('8471.30.19', '000', 'b'), "
                                     "('O''Hig.0001', '000', 'c'), ('9999.99.99', '000', 'z')")});
    writeTextFile(dir.filePath(QStringLiteral("connections.ini")),
                  QStringLiteral("[HISTORIAL]\ndriver=sqlite\ndatabase=historial.db\n"
                                 "[NCM]\ndriver=sqlite\ndatabase=ncm.db\n"));
    auto data = open();
    data->addTraceSink([this](const StatementTrace &t) { traces << t; });
    data->beginGeneration();
    read(*data, QStringLiteral("SELECT * FROM ITEMS_ARTICULOS WHERE IDN_DESPACHO = 'D1'"));
    Connection &ncm = data->getDataConnectionByEntity(QStringLiteral("NCM"));
    const struct {
        const char *first;
        const char *description;
        int sent;  // statements sent to the database for it
    } asked[] = {{"8471.30.12", "a", 2}, {"8471.30.19", "b", 0}, {"O''Hig.0001", "c", 0}, {"9999.99.99", "z", 1}};
    for (const auto &a : asked) {
        SCOPED_TRACE(a.first);
        const int before = data->statementsRun();
        ncm.sql = QStringLiteral("select [004] as desc1 from ncm where  [001] = '%1'").arg(QLatin1String(a.first));
        Recordset rs;
        ASSERT_TRUE(ncm.crearrs(rs));
        EXPECT_EQ(rs.field(QStringLiteral("desc1")).toString(), QLatin1String(a.description));
        EXPECT_EQ(int(answeredBy(ncm.sql)), int(Answered::WorkingSet));
        EXPECT_EQ(data->statementsRun() - before, a.sent);  // the schema and every D1 position at once
    }
    data->endGeneration();
}

TEST_F(WorkingSetData, AnEntityTheConnectionsFileKeepsOutIsReadAsAsked)
{
    // The entity's group, or the whole file (the switch before the first group).
    for (const char *file : {"[HISTORIAL]\ndriver=sqlite\ndatabase=historial.db\nworking_set=%1\n",
                             "working_set=%1\n[HISTORIAL]\ndriver=sqlite\ndatabase=historial.db\n"})
    for (const char *value : {"off", "No", "0", "on"}) {
        SCOPED_TRACE(value);
        writeTextFile(dir.filePath(QStringLiteral("connections.ini")),
                      QString::fromLatin1(file).arg(QLatin1String(value)));
        auto data = open();
        data->addTraceSink([this](const StatementTrace &t) { traces << t; });
        data->beginGeneration();
        const QString sql = QStringLiteral("SELECT * FROM ITEMS_ARTICULOS WHERE IDN_DESPACHO = 'D1'");
        EXPECT_EQ(read(*data, sql).rows.size(), 2);
        EXPECT_EQ(int(answeredBy(sql)), int(QLatin1String(value) == QLatin1String("on") ? Answered::WorkingSet
                                                                                       : Answered::Database));
        data->endGeneration();
    }
}

namespace {

// An entity whose data source says it is SQL Server: its catalog, and the rows the database gives
// for each key as written (its default collation finds 'd1' under 'D1' and 'd1 ').
class SqlServerWorkingSet : public ::testing::Test {
protected:
    static constexpr const char *kFetch = "SELECT * FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1'";

    void SetUp() override
    {
        data.setSourceEngine(SourceEngine::SqlServer);
        scriptCatalog(QStringLiteral("Modern_Spanish_CI_AS"));
        const ResultSet d1 =
            rows({"IDN_DESPACHO", "Codigo", "REFERENCIA", "NRO", "FECHA", "NOTA", "OTRA", "SERIE"},
                 {{"D1", "A  ", "r1", qlonglong(1), QDateTime(QDate(2026, 1, 2), QTime(0, 0)), "x", "aa", "B-10"},
                  {"d1", "b", "R2", qlonglong(2), QVariant(), QStringLiteral("Ñu"), "x", "a-02"},
                  {"D1", QVariant(), "r3", QVariant(), QVariant(), "x", "x", QVariant()},
                  {"D1", " A", "r4", qlonglong(3), QVariant(), "x", "x", "A-02 "}});
        data.onExact(kEntity, QLatin1String(kFetch), d1);
        data.onExact(kEntity, QStringLiteral("SELECT * FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'd1 '"), d1);
        data.onExact(kEntity, QStringLiteral("SELECT * FROM TAX"),
                     rows({"CTAX", "LTAXABR"}, {{"0001", "DI"}, {"0002", "TE"}}));
        data.db().addTraceSink([this](const StatementTrace &t) { traces << t; });
        data.db().beginGeneration();
    }

    // The catalog of the kept tables, in a database of this collation.
    void scriptCatalog(const QString &databaseCollation)
    {
        const QString ci = QStringLiteral("SQL_Latin1_General_CP1_CI_AS");
        QList<QVariantList> catalog;
        for (const QStringList &c : QList<QStringList>{
                 {"dbo", "CARATULA_DOCUMENTOS", "IDN_DESPACHO", "varchar", ci},
                 {"dbo", "CARATULA_DOCUMENTOS", "Codigo", "char", "Modern_Spanish_CI_AS"},
                 {"dbo", "CARATULA_DOCUMENTOS", "REFERENCIA", "nvarchar", "Latin1_General_100_CS_AS"},
                 {"dbo", "CARATULA_DOCUMENTOS", "NRO", "int", ""},
                 {"dbo", "CARATULA_DOCUMENTOS", "FECHA", "datetime", ""},
                 {"dbo", "CARATULA_DOCUMENTOS", "NOTA", "varchar", ci},
                 {"dbo", "CARATULA_DOCUMENTOS", "OTRA", "varchar", "Danish_Norwegian_CI_AS"},
                 {"dbo", "CARATULA_DOCUMENTOS", "SERIE", "varchar", "Modern_Spanish_CI_AS"},
                 {"dbo", "TAX", "CTAX", "varchar", ci},
                 {"dbo", "TAX", "LTAXABR", "varchar", ci},
                 {"dbo", "ART", "INTNRO", "varchar", ci},
                 {"otro", "ART", "INTNRO", "varchar", ci}})
            catalog << QVariantList(c.cbegin(), c.cend()) + QVariantList{databaseCollation};
        data.onContains(kEntity, QStringLiteral("FROM INFORMATION_SCHEMA.COLUMNS"),
                        rows({"TABLE_SCHEMA", "TABLE_NAME", "COLUMN_NAME", "DATA_TYPE", "COLLATION_NAME", ""}, catalog));
    }

    // The answer's values, '|' between columns and ' ' between rows.
    QString read(const QString &sql)
    {
        Connection &c = data.db().getDataConnectionByEntity(kEntity);
        c.sql = sql;
        Recordset rs;
        c.crearrs(rs);
        columns = rs.data().columns;
        QStringList out;
        for (const QVariantList &row : rs.data().rows) {
            QStringList values;
            for (const QVariant &v : row)
                values << v.toString();
            out << values.join(QLatin1Char('|'));
        }
        return out.join(QLatin1Char(' '));
    }

    int sent(const QString &sql) const { return int(data.statements().count(sql)); }

    const QString kEntity = QStringLiteral("HISTORIAL");
    RecordingData data;
    QList<StatementTrace> traces;
    QStringList columns;  // of the last answer read
};

}  // namespace

TEST_F(SqlServerWorkingSet, AnswersAsTheDefaultCollationWouldOrLeavesTheStatementToTheDatabase)
{
    const struct {
        const char *sql;
        const char *answer;  // null: sent to the database
    } cases[] = {
        // Text without regard to case, trailing blanks ignored and leading ones counted; exact
        // under a case-sensitive collation; whole numbers numerically; NULL equals nothing.
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' AND Codigo = 'a'", "r1"},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE Codigo = 'A   ' AND IDN_DESPACHO = 'd1 '", "r1"},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' AND Codigo = ' a'", "r4"},
        {"SELECT REFERENCIA, NRO FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' AND REFERENCIA = 'R2'", "R2|2"},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' AND REFERENCIA = 'r2'", ""},
        {"SELECT [REFERENCIA] FROM CARATULA_DOCUMENTOS AS d WHERE 3 = d.[NRO] AND d.IDN_DESPACHO = 'D1'", "r4"},
        {"SELECT * FROM CARATULA_DOCUMENTOS d WHERE d.IDN_DESPACHO = 'D1' AND NRO = 2", "d1|b|R2|2||Ñu|x|a-02"},
        {"SELECT d.REFERENCIA FROM CARATULA_DOCUMENTOS d WHERE IDN_DESPACHO = 'D1'", "r1 R2 r3 r4"},
        // Names without regard to case, as the database's collation matches them.
        {"select [nro] AS n, codigo c from caratula_documentos D where d.idn_despacho = 'D1' and Nro = 3", "3| A"},
        {"SELECT LTAXABR, CTAX FROM TAX WHERE CTAX = '0002'", "TE|0002"},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' AND NRO = '0002'", "R2"},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' AND NRO = 2147483648", ""},
        // ORDER BY whole numbers, date-times and codes of one shape, NULL first, ties in the fetch's
        // order.
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' ORDER BY NRO DESC", "r4 R2 r1 r3"},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' ORDER BY FECHA, NRO ASC", "r3 R2 r4 r1"},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' ORDER BY SERIE", "r3 R2 r4 r1"},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' ORDER BY SERIE DESC", "r1 R2 r4 r3"},
        // Outside the class, or a comparison not decided here exactly.
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' AND NOTA = 'x'", nullptr},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' AND OTRA = 'x'", nullptr},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' AND NRO = ' 1'", nullptr},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' AND NRO = '2147483648'", nullptr},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' AND NRO = 1.0", nullptr},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' AND Codigo = 1", nullptr},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' AND FECHA = '2026-01-02'", nullptr},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' AND Codigo = N'A'", nullptr},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' AND Codigo LIKE 'A'", nullptr},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' OR NRO = 1", nullptr},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' ORDER BY REFERENCIA", nullptr},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' ORDER BY Codigo", nullptr},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' ORDER BY NOTA", nullptr},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' ORDER BY 1", nullptr},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' /* c */", nullptr},
        {"SELECT TOP 1 REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1'", nullptr},
        {"SELECT DISTINCT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1'", nullptr},
        {"SELECT count(*) FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1'", nullptr},
        {"SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE Codigo = 'A'", nullptr},
        {"SELECT REFERENCIA FROM dbo.CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1'", nullptr},
        {"SELECT x.REFERENCIA FROM CARATULA_DOCUMENTOS d WHERE IDN_DESPACHO = 'D1'", nullptr},
        {"SELECT CARATULA_DOCUMENTOS.REFERENCIA FROM CARATULA_DOCUMENTOS d WHERE IDN_DESPACHO = 'D1'", nullptr},
        {"SELECT d.REFERENCIA, t.LTAXABR FROM CARATULA_DOCUMENTOS d, TAX t WHERE d.IDN_DESPACHO = 'D1'", nullptr},
        {"SELECT INTNRO FROM ART WHERE INTNRO = '1'", nullptr},
    };
    for (const auto &c : cases) {
        const QString sql = QString::fromUtf8(c.sql);
        SCOPED_TRACE(c.sql);
        const QString got = read(sql);
        ASSERT_FALSE(traces.isEmpty());
        EXPECT_EQ(traces.last().sql, sql);
        EXPECT_EQ(int(traces.last().answered), int(c.answer ? Answered::WorkingSet : Answered::Database));
        if (c.answer) {
            EXPECT_EQ(got, QString::fromUtf8(c.answer));
        }
    }
    read(QStringLiteral("SELECT Referencia AS Ref, nro FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1'"));
    EXPECT_EQ(columns, QStringList({"Ref", "nro"}));
    // The catalog once, each key as written once, the code table once and whole.
    EXPECT_EQ(data.statements().filter(QStringLiteral("INFORMATION_SCHEMA")).size(), 1);
    EXPECT_EQ(sent(QLatin1String(kFetch)), 1);
    EXPECT_EQ(sent(QStringLiteral("SELECT * FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'd1 '")), 1);
    EXPECT_EQ(sent(QStringLiteral("SELECT * FROM TAX")), 1);
}

TEST_F(SqlServerWorkingSet, AWriteHasTheNextReadFetchAgain)
{
    const QString sql = QStringLiteral("SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1' AND NRO = 1");
    EXPECT_EQ(read(sql), QLatin1String("r1"));
    const struct {
        const char *statement;
        int fetches;  // of the rows of D1, so far
    } steps[] = {
        {"UPDATE TAX SET LTAXABR = 'X' WHERE CTAX = '0001'", 1},
        {"UPDATE CARATULA_DOCUMENTOS SET REFERENCIA = 'z' WHERE NRO = 1", 2},
        {"exec sp_recalcular 'D1'", 3},
    };
    Connection &c = data.db().getDataConnectionByEntity(kEntity);
    for (const auto &step : steps) {
        SCOPED_TRACE(step.statement);
        data.onExact(kEntity, QLatin1String(kFetch),
                     rows({"IDN_DESPACHO", "REFERENCIA", "NRO"}, {{"D1", step.statement, qlonglong(1)}}));
        c.sql = QString::fromLatin1(step.statement);
        ASSERT_TRUE(c.ejecutar());
        const QString got = read(sql);
        EXPECT_NE(int(traces.last().answered), int(Answered::Database));
        EXPECT_EQ(sent(QLatin1String(kFetch)), step.fetches);
        if (step.fetches > 1) {
            EXPECT_EQ(got, QLatin1String(step.statement));
        }
    }
}

TEST_F(SqlServerWorkingSet, ARefusedCatalogOrFetchRefusesTheStatement)
{
    // Rules add up: the fetch refused first, then the catalog too.
    for (const char *refused : {"SELECT * FROM CARATULA_DOCUMENTOS", "INFORMATION_SCHEMA"}) {
        SCOPED_TRACE(refused);
        data.failOn(kEntity, QLatin1String(refused), QStringLiteral("rechazada"));
        data.db().beginGeneration();
        const QString sql = QStringLiteral("SELECT REFERENCIA FROM CARATULA_DOCUMENTOS WHERE IDN_DESPACHO = 'D1'");
        try {
            read(sql);
            ADD_FAILURE() << "not refused";
        } catch (const StatementRefused &e) {
            EXPECT_EQ(e.sql(), sql);
            EXPECT_TRUE(e.description().contains(QLatin1String("rechazada"))) << e.description().toStdString();
        }
        ASSERT_GE(traces.size(), 2);
        EXPECT_TRUE(traces.at(traces.size() - 2).sql.contains(QLatin1String(refused)));
        EXPECT_FALSE(traces.last().ok);
    }
}

TEST_F(SqlServerWorkingSet, NamesInAnotherCaseAreServedOnlyWhereTheDatabaseIgnoresCase)
{
    const QString sql = QStringLiteral("SELECT referencia, d.Codigo FROM CARATULA_DOCUMENTOS D WHERE IDN_DESPACHO = 'D1'");
    for (const char *collation : {"Latin1_General_CI_AS", "Latin1_General_CS_AS", "Turkish_CI_AS"}) {
        SCOPED_TRACE(collation);
        scriptCatalog(QLatin1String(collation));
        data.db().beginGeneration();
        read(sql);
        EXPECT_EQ(int(traces.last().answered),
                  int(QLatin1String(collation).startsWith(QLatin1String("Latin1_General_CI")) ? Answered::WorkingSet
                                                                                            : Answered::Database));
    }
}
