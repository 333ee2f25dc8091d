#include "support/TestSupport.h"

#include "runtime/Errors.h"

#include <gtest/gtest.h>

using namespace b2d;

TEST(DataAccess, SameConnectionForSameEntityAndSqlPersists)
{
    RecordingData data;
    Connection &a = data.db().getDataConnectionByEntity(QStringLiteral("HISTORIAL"));
    a.sql = QStringLiteral("select 1");
    Connection &b = data.db().getDataConnectionByEntity(QStringLiteral("historial"));
    EXPECT_EQ(&a, &b);
    EXPECT_EQ(b.sql, QStringLiteral("select 1"));
}

TEST(DataAccess, CrearrsIsFalseWithoutRowsOrOnFailure)
{
    RecordingData data;
    data.onExact(QStringLiteral("HISTORIAL"), QStringLiteral("q1"), rows({QStringLiteral("A")}, {{1}}));
    data.failOn(QStringLiteral("HISTORIAL"), QStringLiteral("bad"), QStringLiteral("no such table"));
    Connection &c = data.db().getDataConnectionByEntity(QStringLiteral("HISTORIAL"));
    Recordset rs;
    c.sql = QStringLiteral("q1");
    EXPECT_TRUE(c.crearrs(rs));
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.field(QStringLiteral("a")).toInt(), 1);
    c.sql = QStringLiteral("q2");
    EXPECT_FALSE(c.crearrs(rs));
    c.sql = QStringLiteral("bad one");
    EXPECT_FALSE(c.crearrs(rs));
    EXPECT_EQ(c.lastError(), QStringLiteral("no such table"));
    EXPECT_THROW(Recordset().field(0), B2DError);
}

// Outside a generation a refusal reads as false (the caller decides); inside one it throws
// StatementRefused with the entity, the statement and the database's text, for reads and writes
// alike, and an empty answer stays an ordinary false.
TEST(DataAccess, ARefusalThrowsOnlyWhileAGenerationRuns)
{
    const struct {
        const char *sql;
        bool write;
        bool refused;
    } cases[] = {
        {"select bad", false, true},
        {"update bad set x = 1", true, true},
        {"select empty", false, false},
        {"update empty set x = 1", true, false},
    };
    for (const auto &c : cases) {
        for (const bool generation : {false, true}) {
            SCOPED_TRACE(std::string(c.sql) + (generation ? " in a generation" : " outside"));
            RecordingData data;
            data.failOn(QStringLiteral("HISTORIAL"), QStringLiteral("bad"), QStringLiteral("no such table: bad"));
            Connection &conn = data.db().getDataConnectionByEntity(QStringLiteral("historial"));
            conn.sql = QString::fromUtf8(c.sql);
            if (generation)
                data.db().beginGeneration();
            Recordset rs;
            const auto run = [&] { return c.write ? conn.ejecutar() : conn.crearrs(rs); };
            if (generation && c.refused) {
                try {
                    run();
                    ADD_FAILURE() << "no StatementRefused";
                } catch (const StatementRefused &r) {
                    EXPECT_EQ(r.entity(), QStringLiteral("HISTORIAL"));
                    EXPECT_EQ(r.sql(), QString::fromUtf8(c.sql));
                    EXPECT_EQ(r.description(), QStringLiteral("no such table: bad"));
                    EXPECT_EQ(r.asError().number(), ErrNo::Database);
                    EXPECT_EQ(r.asError().source(), QStringLiteral("RecordGate.RGMain"));
                }
            } else {
                EXPECT_EQ(run(), c.write && !c.refused);
            }
            EXPECT_EQ(conn.lastError(), c.refused ? QStringLiteral("no such table: bad") : QString());
            data.db().endGeneration();
            EXPECT_FALSE(data.db().inGeneration());
        }
    }
}

// A statement that loses the connection fails; the next one opens a new backend and runs, inside a
// generation as outside one, without a new data access component.
TEST(DataAccess, TheStatementAfterALostConnectionReconnects)
{
    for (const bool generation : {false, true}) {
        SCOPED_TRACE(generation ? "in a generation" : "outside");
        RecordingData data;
        data.onContains(QStringLiteral("HISTORIAL"), QStringLiteral("select"), rows({QStringLiteral("A")}, {{7}}));
        data.dropConnectionOn(QStringLiteral("HISTORIAL"), QStringLiteral("select 1"),
                              QStringLiteral("Communication link failure"));
        Connection &conn = data.db().getDataConnectionByEntity(QStringLiteral("HISTORIAL"));
        if (generation)
            data.db().beginGeneration();
        Recordset rs;
        conn.sql = QStringLiteral("select 1");
        if (generation)
            EXPECT_THROW(conn.crearrs(rs), StatementRefused);
        else
            EXPECT_FALSE(conn.crearrs(rs));
        EXPECT_EQ(conn.lastError(), QStringLiteral("Communication link failure"));
        EXPECT_EQ(data.backendsOpened(), 1);

        conn.sql = QStringLiteral("select 1");
        ASSERT_TRUE(conn.crearrs(rs));
        EXPECT_EQ(rs.field(0).toInt(), 7);
        conn.sql = QStringLiteral("update t set a = 1");
        EXPECT_TRUE(conn.ejecutar());
        EXPECT_EQ(&conn, &data.db().getDataConnectionByEntity(QStringLiteral("HISTORIAL")));
        EXPECT_EQ(data.backendsOpened(), 2);
        EXPECT_EQ(data.db().reconnections(), 1);
        data.db().endGeneration();
    }
}

TEST(DataAccess, AWriteDropsOnlyTheCachedReadsNamingItsTable)
{
    RecordingData data;
    const QString caratula = QStringLiteral("SELECT * FROM Caratula_Caratula WHERE Despacho = '1'");
    const QString tipos = QStringLiteral("Select Moneda From Despacho_TiposCambio Where Moneda ='EUR'");
    const QString items = QStringLiteral("SELECT * FROM ITEMS WHERE X = 'Caratula_Caratula2'");
    data.onExact(QStringLiteral("HISTORIAL"), caratula, rows({QStringLiteral("A")}, {{1}}));
    data.onExact(QStringLiteral("HISTORIAL"), tipos, rows({QStringLiteral("A")}, {{2}}));
    data.onExact(QStringLiteral("NCM"), items, rows({QStringLiteral("A")}, {{3}}));
    QList<StatementTrace> traced;
    data.db().addTraceSink([&](const StatementTrace &t) { traced << t; });
    Connection &h = data.db().getDataConnectionByEntity(QStringLiteral("HISTORIAL"));
    Connection &n = data.db().getDataConnectionByEntity(QStringLiteral("NCM"));
    Recordset rs;
    auto read = [&](Connection &c, const QString &sql) {
        c.sql = sql;
        c.crearrs(rs);
        return traced.last().cached;
    };
    data.db().beginGeneration();
    EXPECT_FALSE(read(h, caratula));
    EXPECT_FALSE(read(h, tipos));
    EXPECT_FALSE(read(n, items));
    EXPECT_TRUE(read(h, caratula));
    // A write in another entity's connection names the table in any case: the read naming it
    // goes to the database again, the others stay cached ("Caratula_Caratula2" is another word).
    n.sql = QStringLiteral("update CARATULA_caratula Set Xml_Procesado = NULL");
    n.ejecutar();
    EXPECT_FALSE(read(h, caratula));
    EXPECT_TRUE(read(h, tipos));
    EXPECT_TRUE(read(n, items));
    h.sql = QStringLiteral("Insert INTO Despacho_TiposCambio (Moneda,Despacho,Valor) Values('EUR','1','01.1')");
    h.ejecutar();
    EXPECT_FALSE(read(h, tipos));
    EXPECT_TRUE(read(h, caratula));
    // A name outside ASCII, in another case.
    const QString anio = QString::fromUtf8("SELECT * FROM año_Cierre WHERE X = '1'");
    EXPECT_FALSE(read(h, anio));
    EXPECT_TRUE(read(h, anio));
    h.sql = QString::fromUtf8("UPDATE AÑO_CIERRE SET X = '2'");
    h.ejecutar();
    EXPECT_FALSE(read(h, anio));
    EXPECT_TRUE(read(h, caratula));
    // A write whose table cannot be told drops everything.
    h.sql = QStringLiteral("merge something");
    h.ejecutar();
    EXPECT_FALSE(read(h, caratula));
    EXPECT_FALSE(read(n, items));
    data.db().endGeneration();
    // Outside a generation nothing is cached.
    EXPECT_FALSE(read(h, caratula));
    EXPECT_EQ(data.db().statementsRun(), data.calls().size());
}

TEST(DataAccess, ProcedureCallsAndADisallowedCacheAlwaysReachTheDatabase)
{
    RecordingData data;
    const QString call = QStringLiteral("  EXEC dbo.b2d_lista '01/01/2019','02/01/2019',1");
    const QString q = QStringLiteral("select 1");
    data.onExact(QStringLiteral("HISTORIAL"), call, rows({QStringLiteral("A")}, {{1}}));
    data.onExact(QStringLiteral("HISTORIAL"), q, rows({QStringLiteral("A")}, {{1}}));
    Connection &c = data.db().getDataConnectionByEntity(QStringLiteral("HISTORIAL"));
    Recordset rs;
    data.db().beginGeneration();
    for (int i = 0; i < 2; ++i) {
        c.sql = call;
        c.crearrs(rs);
        c.sql = q;
        c.crearrs(rs);
    }
    data.db().endGeneration();
    EXPECT_EQ(data.calls().size(), 3);  // the call twice, the read once

    data.db().setReadCacheAllowed(false);
    data.db().beginGeneration();
    EXPECT_FALSE(data.db().cacheEnabled());
    c.crearrs(rs);
    c.crearrs(rs);
    data.db().endGeneration();
    EXPECT_EQ(data.calls().size(), 5);
}

TEST(DataAccess, WrittenTableAndProcedureCallsAreToldFromTheText)
{
    const struct {
        const char *sql;
        const char *table;
    } writes[] = {
        {"Update Caratula_Caratula Set Xml_Enviado = NULL", "CARATULA_CARATULA"},
        {"  insert   into Despacho_TiposCambio (Moneda) Values('X')", "DESPACHO_TIPOSCAMBIO"},
        {"Insert INTO RelacionConcepto(Origen) Values('a')", "RELACIONCONCEPTO"},
        {"DELETE FROM [dbo].[RelacionPais] WHERE 1=1", "RELACIONPAIS"},
        {"delete RelacionMoneda where IdSim = 'x'", "RELACIONMONEDA"},
        {"UPDATE HISTORIAL.dbo.Caratula_Caratula SET a = 1", "CARATULA_CARATULA"},
        {"select * from Caratula_Caratula", ""},
        {"exec sp_x", ""},
    };
    for (const auto &w : writes)
        EXPECT_EQ(DataAccess::writtenTable(QString::fromLatin1(w.sql)), QString::fromLatin1(w.table))
            << w.sql;
    for (const char *sql : {"exec b2d_x 1", "  EXECUTE b2d_x", "{call b2d_x(1)}"})
        EXPECT_TRUE(DataAccess::isProcedureCall(QString::fromLatin1(sql))) << sql;
    for (const char *sql : {"select exec from t", "executed", "SELECT 1"})
        EXPECT_FALSE(DataAccess::isProcedureCall(QString::fromLatin1(sql))) << sql;
}
