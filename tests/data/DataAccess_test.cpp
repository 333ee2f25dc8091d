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
