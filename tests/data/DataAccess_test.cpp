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

TEST(DataAccess, CacheAnswersRepeatedReadsUntilAWrite)
{
    RecordingData data;
    data.onExact(QStringLiteral("HISTORIAL"), QStringLiteral("q"), rows({QStringLiteral("A")}, {{1}}));
    QList<StatementTrace> traced;
    data.db().addTraceSink([&](const StatementTrace &t) { traced << t; });
    Connection &c = data.db().getDataConnectionByEntity(QStringLiteral("HISTORIAL"));
    Recordset rs;
    data.db().beginGeneration();
    c.sql = QStringLiteral("q");
    c.crearrs(rs);
    c.crearrs(rs);
    c.sql = QStringLiteral("update x");
    c.ejecutar();
    c.sql = QStringLiteral("q");
    c.crearrs(rs);
    data.db().endGeneration();
    EXPECT_EQ(data.calls().size(), 3);  // q, update, q again after the write
    ASSERT_EQ(traced.size(), 4);
    EXPECT_TRUE(traced[1].cached);
    EXPECT_FALSE(traced[3].cached);
    EXPECT_EQ(data.db().statementsAsked(), 4);
    EXPECT_EQ(data.db().statementsRun(), 3);
}
