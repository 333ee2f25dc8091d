#include "data/DataAccess.h"
#include "data/SqlBackends.h"

#include "data/SqlFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace b2d;
using namespace b2d::test;

namespace {

const QStringList kHistorial = {
    QStringLiteral("CREATE TABLE CARATULA_CARATULA (DESPACHO TEXT COLLATE NOCASE PRIMARY KEY, "
                   "IDENTIFICADOR_PROPIO TEXT, MONTO_FOB REAL, MONTO_FLETE REAL, MONTO_SEGURO REAL, "
                   "FECHA_OFICIALIZACION TEXT, Xml_Procesado TEXT, Xml_B2DFile TEXT)"),
    QStringLiteral("INSERT INTO CARATULA_CARATULA VALUES ('19001IC04000123A', '0055/09', 1000.5, "
                   "NULL, 20, '2019-03-01 00:00:00', NULL, NULL)"),
    QStringLiteral("INSERT INTO CARATULA_CARATULA VALUES ('19001EC01000077B', '0077/09', 10, 1, 2, "
                   "'2019-02-10', NULL, NULL)"),
    QStringLiteral("CREATE TABLE ITEMS_SUBITEMS (IDN_DESPACHO TEXT, NRO_ITEM INTEGER, NRO_SUBITEM TEXT)"),
    QStringLiteral("INSERT INTO ITEMS_SUBITEMS VALUES ('19001IC04000123A', 1, '0001')"),
    QStringLiteral("CREATE TABLE JRD (JRDNRO INTEGER, JRDEXT TEXT, JRDPRV TEXT)"),
    QStringLiteral("INSERT INTO JRD VALUES (901, '9001', 'Buenos Aires')"),
    QStringLiteral("CREATE TABLE ITEMS_LIQUIDACION_ITEM (IDN_DESPACHO TEXT, IDN_ITEM INTEGER, "
                   "CODIGO_CONCEPTO TEXT, MONTO_CONCEPTO REAL)"),
    QStringLiteral("INSERT INTO ITEMS_LIQUIDACION_ITEM VALUES ('19001IC04000123A', 1, '900', 200)"),
    QStringLiteral("CREATE TABLE CARATULA_INGRESOS_BRUTOS (IDN_DESPACHO TEXT, JURISDICCION INTEGER, "
                   "PORC_DISTRIBUCION REAL)"),
    QStringLiteral("INSERT INTO CARATULA_INGRESOS_BRUTOS VALUES ('19001IC04000123A', 901, 0.25)"),
    QStringLiteral("CREATE TABLE b2d_procedures (name TEXT PRIMARY KEY COLLATE NOCASE, body TEXT NOT NULL)"),
    QStringLiteral("INSERT INTO b2d_procedures VALUES ('versionbd', 'SELECT ''2.04'' AS Version')"),
    QStringLiteral("INSERT INTO b2d_procedures VALUES ('sp_Echo', "
                   "'SELECT ?1 AS a, typeof(?1) AS ta, ?2 AS b, typeof(?2) AS tb')"),
};

const QStringList kInternos = {
    QStringLiteral("CREATE TABLE Caratula (Interno TEXT, Despacho TEXT)"),
    QStringLiteral("INSERT INTO Caratula VALUES ('0055/09', '19001IC04000123A')"),
    QStringLiteral("CREATE TABLE b2d_procedures (name TEXT PRIMARY KEY COLLATE NOCASE, body TEXT NOT NULL)"),
    QStringLiteral("INSERT INTO b2d_procedures VALUES ('sp_Ops', 'SELECT c.Interno, "
                   "h.FECHA_OFICIALIZACION FROM Caratula c JOIN HISTORIAL.CARATULA_CARATULA h "
                   "ON h.DESPACHO = c.Despacho WHERE h.FECHA_OFICIALIZACION >= ?1')"),
};

class SqliteData : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("data")));
        createSqliteFile(dir.filePath(QStringLiteral("data/historial.db")), kHistorial);
        createSqliteFile(dir.filePath(QStringLiteral("internos.db")), kInternos);
        writeTextFile(dir.filePath(QStringLiteral("connections.ini")),
                      QStringLiteral("[HISTORIAL]\ndriver=sqlite\ndatabase=data/historial.db\n\n"
                                     "[Internos]\nDriver = SQLite\ndatabase=internos.db\n"));
        db = openConnectionsFile(dir.filePath(QStringLiteral("connections.ini")));
    }

    Connection &on(const char *entity) { return db->getDataConnectionByEntity(QString::fromUtf8(entity)); }

    // Runs a query on an entity; the recordset is open when it returned rows.
    bool ask(const char *entity, const QString &sql, Recordset &rs)
    {
        on(entity).sql = sql;
        return on(entity).crearrs(rs);
    }

    QTemporaryDir dir;
    std::unique_ptr<DataAccess> db;
};

}  // namespace

TEST_F(SqliteData, RunsTheSystemsTsqlStatements)
{
    struct Case {
        const char *entity;
        QString sql;
        const char *field;
        QVariant value;
    };
    const Case cases[] = {
        {"HISTORIAL",
         QStringLiteral("SELECT DESPACHO, SUM(CAST(ISNULL(MONTO_FOB,0) AS FLOAT)+ CAST(ISNULL(MONTO_SEGURO,0) "
                        "AS FLOAT) + CAST(ISNULL(MONTO_FLETE,0) AS FLOAT)) AS MONTO_CIF From CARATULA_CARATULA "
                        "WHERE DESPACHO = '19001IC04000123A' GROUP BY DESPACHO"),
         "MONTO_CIF", 1020.5},
        {"HISTORIAL",
         QStringLiteral(" SELECT ITEMS_LIQUIDACION_ITEM.IDN_ITEM,"
                        "NombreConcepto=(SELECT JRDPRV FROM JRD WHERE JRDNRO=CARATULA_INGRESOS_BRUTOS.JURISDICCION),"
                        "MONTOITEM=cast(ITEMS_LIQUIDACION_ITEM.MONTO_CONCEPTO as numeric(18,7))"
                        "*cast(CARATULA_INGRESOS_BRUTOS.PORC_DISTRIBUCION as numeric(18,7))"
                        " From ITEMS_LIQUIDACION_ITEM LEFT JOIN CARATULA_INGRESOS_BRUTOS on "
                        "ITEMS_LIQUIDACION_ITEM.IDN_DESPACHO=CARATULA_INGRESOS_BRUTOS.IDN_DESPACHO"
                        " WHERE  ITEMS_LIQUIDACION_ITEM.CODIGO_CONCEPTO='900' and "
                        "items_liquidacion_item.idn_item = '1'"),
         "montoitem", 50.0},  // runs only with NombreConcepto= rewritten as well
        {"HISTORIAL",
         QStringLiteral("SELECT DESPACHO FROM CARATULA_CARATULA WHERE FECHA_OFICIALIZACION >= {d '2019-03-01'}"),
         "DESPACHO", QStringLiteral("19001IC04000123A")},
        {"INTERNOS",
         QStringLiteral("SELECT c.Interno, h.IDENTIFICADOR_PROPIO FROM Caratula c, HISTORIAL.CARATULA_CARATULA h "
                        "WHERE h.DESPACHO = c.Despacho"),
         "IDENTIFICADOR_PROPIO", QStringLiteral("0055/09")},
        {"historial", QStringLiteral("SELECT Interno FROM INTERNOS.Caratula WHERE Despacho = '19001IC04000123A'"),
         "Interno", QStringLiteral("0055/09")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sql.toStdString());
        Recordset rs;
        ASSERT_TRUE(ask(c.entity, c.sql, rs)) << on(c.entity).lastError().toStdString();
        EXPECT_EQ(rs.field(QString::fromUtf8(c.field)), c.value);
    }
}

TEST_F(SqliteData, RunsStoredProceduresWithLiteralArguments)
{
    struct Case {
        const char *entity;
        const char *sql;
        QVariantList row;
    };
    const Case cases[] = {
        {"HISTORIAL", "exec versionbd", {QStringLiteral("2.04")}},
        {"HISTORIAL", "exec sp_Echo 'O''Neil', 0001",
         {QStringLiteral("O'Neil"), QStringLiteral("text"), qlonglong(1), QStringLiteral("integer")}},
        {"HISTORIAL", "EXEC SP_ECHO '0001', 2.5",
         {QStringLiteral("0001"), QStringLiteral("text"), 2.5, QStringLiteral("real")}},
        {"HISTORIAL", "exec sp_Echo 'x'", {QStringLiteral("x"), QStringLiteral("text"), QVariant(), QStringLiteral("null")}},
        {"INTERNOS", "exec sp_Ops {d '2019-02-15'}", {QStringLiteral("0055/09"), QStringLiteral("2019-03-01 00:00:00")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sql);
        Recordset rs;
        ASSERT_TRUE(ask(c.entity, QString::fromUtf8(c.sql), rs)) << on(c.entity).lastError().toStdString();
        ASSERT_EQ(rs.RecordCount(), 1);
        ASSERT_EQ(rs.fieldCount(), c.row.size());
        for (int i = 0; i < c.row.size(); ++i)
            EXPECT_EQ(rs.field(i), c.row[i]) << i;
    }

    const std::pair<const char *, const char *> failures[] = {
        {"exec sp_Nada 1", "sp_Nada"},
        {"exec sp_Echo 1, 2, 3", "sp_Echo"},
    };
    for (const auto &[sql, named] : failures) {
        SCOPED_TRACE(sql);
        Recordset rs;
        EXPECT_FALSE(ask("HISTORIAL", QString::fromUtf8(sql), rs));
        EXPECT_FALSE(rs.isOpen());
        EXPECT_TRUE(on("HISTORIAL").lastError().contains(QString::fromUtf8(named)))
            << on("HISTORIAL").lastError().toStdString();
    }
}

TEST_F(SqliteData, CrearrsIsFalseWithoutRowsOrOnFailureAndEjecutarWrites)
{
    Recordset rs;
    EXPECT_FALSE(ask("HISTORIAL", QStringLiteral("SELECT * FROM CARATULA_CARATULA WHERE DESPACHO = 'nada'"), rs));
    EXPECT_TRUE(on("HISTORIAL").lastError().isEmpty());
    EXPECT_FALSE(ask("HISTORIAL", QStringLiteral("SELECT * FROM NO_EXISTE"), rs));
    EXPECT_TRUE(on("HISTORIAL").lastError().contains(QLatin1String("NO_EXISTE")));

    Connection &c = on("HISTORIAL");
    c.sql = QStringLiteral("Update Caratula_Caratula Set Xml_Procesado = {d '2019-03-05'} ,Xml_B2DFile = "
                           "'O''Neil.xml' Where Despacho ='19001ic04000123a'");
    EXPECT_TRUE(c.ejecutar()) << c.lastError().toStdString();
    ASSERT_TRUE(ask("HISTORIAL", QStringLiteral("SELECT Xml_Procesado, Xml_B2DFile FROM CARATULA_CARATULA "
                                                "WHERE Xml_Procesado IS NOT NULL"), rs));
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.field(QStringLiteral("xml_procesado")), QVariant(QStringLiteral("2019-03-05")));
    EXPECT_EQ(rs.field(QStringLiteral("Xml_B2DFile")), QVariant(QStringLiteral("O'Neil.xml")));

    c.sql = QStringLiteral("Update NO_EXISTE Set a = 1");
    EXPECT_FALSE(c.ejecutar());
    EXPECT_FALSE(c.lastError().isEmpty());

    // Values arrive as null, integer, real or text.
    ASSERT_TRUE(ask("HISTORIAL", QStringLiteral("SELECT 7 AS N, MONTO_FOB, MONTO_FLETE FROM CARATULA_CARATULA "
                                                "ORDER BY DESPACHO DESC"), rs));
    EXPECT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs.field(QStringLiteral("N")).typeId(), QMetaType::LongLong);
    EXPECT_EQ(rs.field(QStringLiteral("MONTO_FOB")).typeId(), QMetaType::Double);
    EXPECT_TRUE(rs.field(QStringLiteral("MONTO_FLETE")).isNull());
}

// Item numbers stored as INTEGER match quoted and unquoted numbers; four-digit codes stored as
// TEXT keep their zeros and match only as written.
TEST_F(SqliteData, ColumnTypesDecideHowQuotedNumbersMatch)
{
    const std::pair<const char *, bool> cases[] = {
        {"NRO_ITEM = '0001'", true},   {"NRO_ITEM = 0001", true},     {"NRO_ITEM = 1", true},
        {"NRO_SUBITEM = '0001'", true}, {"NRO_SUBITEM = 1", false},   {"NRO_SUBITEM = '1'", false},
        {"IDN_DESPACHO = '19001ic04000123a'", false},
    };
    for (const auto &[where, found] : cases) {
        SCOPED_TRACE(where);
        Recordset rs;
        EXPECT_EQ(ask("HISTORIAL", QStringLiteral("SELECT * FROM ITEMS_SUBITEMS WHERE ") + QString::fromUtf8(where), rs),
                  found);
    }
    Recordset rs;
    EXPECT_TRUE(ask("HISTORIAL", QStringLiteral("SELECT * FROM CARATULA_CARATULA WHERE DESPACHO = '19001ic04000123a'"), rs))
        << "key columns declared COLLATE NOCASE compare without case";
}

TEST_F(SqliteData, SeveralComponentsInOneProcessKeepTheirOwnConnections)
{
    auto second = openConnectionsFile(dir.filePath(QStringLiteral("connections.ini")));
    Recordset rs;
    second->getDataConnectionByEntity(QStringLiteral("HISTORIAL")).sql = QStringLiteral("exec versionbd");
    EXPECT_TRUE(second->getDataConnectionByEntity(QStringLiteral("HISTORIAL")).crearrs(rs));
    EXPECT_TRUE(ask("HISTORIAL", QStringLiteral("exec versionbd"), rs));
    second.reset();
    EXPECT_TRUE(ask("HISTORIAL", QStringLiteral("exec versionbd"), rs));
}

// The working set's in-memory engine is handed rows and read without Qt's driver in between:
// each value must arrive as the driver would have bound it, and every read must answer what the
// driver gives for the same statement on a database file.
TEST(MemorySqlite, RowsAndReadsAreThoseOfQtsDriver)
{
    const QVariantList values = {
        QVariant(), QVariant(QMetaType::fromType<QString>()), QString(), QString::fromUtf8(""),
        QStringLiteral("0012"), QString::fromUtf8("ñ €"), QString::fromLatin1("a b\xE9"),
        QByteArray("\0b", 2), QByteArray(),
        0, -7, true, 4294967295u, qlonglong(9007199254740993), 0.1, -0.0, 1e300,
    };
    MemorySqliteBackend db(QStringLiteral("test-memory-binding"));
    QString error;
    ASSERT_TRUE(db.open(error)) << error.toStdString();
    ASSERT_TRUE(db.execute(QStringLiteral("CREATE TABLE direct (n INTEGER, v)"), error));
    ASSERT_TRUE(db.execute(QStringLiteral("CREATE TABLE through_qt (n INTEGER, v, d)"), error));
    QList<QVariantList> direct, throughQt;
    for (int i = 0; i < values.size(); ++i) {
        direct.push_back({i, values[i]});
        throughQt.push_back({i, values[i], QDate(2026, 1, 2)});  // a date: Qt's driver binds it
    }
    const QStringList two{QStringLiteral("n"), QStringLiteral("v")};
    ASSERT_TRUE(db.insertRows(QStringLiteral("direct"), two, direct, error)) << error.toStdString();
    ASSERT_TRUE(db.insertRows(QStringLiteral("through_qt"), two + QStringList{QStringLiteral("d")}, throughQt, error));
    ResultSet a, b;
    const QString read = QStringLiteral("SELECT n, typeof(v), quote(v) FROM %1 ORDER BY n");
    ASSERT_TRUE(db.query(read.arg(QStringLiteral("direct")), a, error));
    ASSERT_TRUE(db.query(read.arg(QStringLiteral("through_qt")), b, error));
    ASSERT_EQ(a.rows.size(), values.size());
    EXPECT_EQ(a.rows, b.rows);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("file.db"));
    QFile(path).open(QIODevice::WriteOnly);  // an empty file is an empty database
    SqliteBackend file(QStringLiteral("test-memory-file"), path);
    ASSERT_TRUE(file.open({}, error)) << error.toStdString();
    ASSERT_TRUE(file.execute(QStringLiteral("CREATE TABLE direct (n INTEGER, v)"), error));
    ASSERT_TRUE(db.query(QStringLiteral("SELECT n, v FROM direct ORDER BY n"), a, error));
    for (const QVariantList &row : std::as_const(a.rows))  // the rows as the engine keeps them
        ASSERT_TRUE(file.execute(QStringLiteral("INSERT INTO direct SELECT %1, %2")
                                     .arg(row[0].toLongLong())
                                     .arg(b.rows[row[0].toInt()][2].toString()),
                                 error)) << error.toStdString();
    const char *reads[] = {
        "SELECT n, v, typeof(v) FROM direct ORDER BY n",
        "  SELECT v AS \"a\"\"b\", n + 0.5 AS [x y], 'it''s' FROM direct ORDER BY n  ",
        "SELECT n FROM direct WHERE n > 99",
        "SELECT count(*), sum(n), max(v) FROM direct",
        "SELECT * FROM missing",
        "SELECT 1; SELECT 2",
        "SELECT 1;  ",
        "SELECT abs(-9223372036854775807 - n) FROM direct ORDER BY n",
        "",
        // Reads whose literals are taken out as parameters, twice the same shape in a row.
        "SELECT n, v FROM direct WHERE v = '0012' ORDER BY n",
        "SELECT n, v FROM direct WHERE v = '0013' ORDER BY n",
        "SELECT n FROM direct WHERE n = '4' OR v = 'it''s' OR v = 4294967295 OR n >= 00014 ORDER BY 1",
        "SELECT n FROM direct WHERE n = 5 OR n=6 OR v IN (X'0062', 'ñ €') GROUP BY 1 ORDER BY 1 DESC",
        "SELECT 'a', n - 1 FROM direct WHERE n = 99999999999999999999 OR [n] < 2 -- 'x'",
        "SELECT n FROM direct WHERE v = 'x' UNION SELECT 'y' ORDER BY 1",
        "SELECT (SELECT count(*) FROM direct WHERE n > 3), 'z' FROM direct WHERE n = 1",
        "SELECT n FROM direct WHERE length('it''s') = 4 AND [v] <> ']' ORDER BY n",
        // Written in T-SQL: adapted once per shape, literals and all.
        "SELECT n FROM direct WHERE ISNULL(v, 'z') = '0012' OR n = {d '2026-01-02'}",
        "SELECT n FROM direct WHERE ISNULL(v, 'z') = '0013' OR n = {d '2026-01-03'}",
        "SELECT x = 'a', n FROM direct WHERE n = 1",
        "SELECT x = 'b', n FROM direct WHERE n = 1",
        "SELECT n FROM direct WHERE v = '5' OR v = 5",
        "SELECT n FROM direct WHERE v = 5 OR v = '5'",
        "SELECT n FROM direct WHERE n < 99 ORDER BY 'x', n DESC",
        "SELECT n FROM direct WHERE n < 99 ORDER BY 1, n DESC",
        "SELECT n FROM direct WHERE nope = 'a'",
        "SELECT n FROM direct WHERE n = ? OR v = 'a'",
        "SELECT n FROM direct WHERE n = $n OR v = 'a'",
    };
    for (const char *sql : reads) {
        SCOPED_TRACE(sql);
        ResultSet direct, qt;
        QString directError, qtError;
        const bool directOk = db.query(QString::fromUtf8(sql), direct, directError);
        EXPECT_EQ(directOk, file.query(QString::fromUtf8(sql), qt, qtError)) << directError.toStdString();
        EXPECT_EQ(direct.columns, qt.columns);
        ASSERT_EQ(direct.rows.size(), qt.rows.size());
        for (qsizetype r = 0; r < qt.rows.size(); ++r)
            for (qsizetype c = 0; c < qt.rows[r].size(); ++c) {
                // The same type too: QVariant compares numbers of different types as equal.
                EXPECT_EQ(direct.rows[r].value(c).typeId(), qt.rows[r][c].typeId()) << r << ',' << c;
                EXPECT_EQ(direct.rows[r].value(c), qt.rows[r][c]) << r << ',' << c;
            }
    }
}
