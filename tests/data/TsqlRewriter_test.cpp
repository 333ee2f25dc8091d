#include "data/TsqlRewriter.h"

#include <gtest/gtest.h>

using namespace b2d;

namespace {

struct RewriteCase {
    const char *what;
    const char *in;
    const char *out;
};

const RewriteCase kRewrites[] = {
    {"date escape in an update, SET comparisons kept",
     "Update Caratula_Caratula Set Xml_Procesado = {d '2019-03-05'} ,Xml_B2DFile = 'a.xml' Where Despacho ='X'",
     "Update Caratula_Caratula Set Xml_Procesado = '2019-03-05' ,Xml_B2DFile = 'a.xml' Where Despacho ='X'"},
    {"date escape with blanks, and one inside a literal",
     "SELECT '{d ''2019-01-01''}' FROM T WHERE F >= { D '2019-01-31' }",
     "SELECT '{d ''2019-01-01''}' FROM T WHERE F >= '2019-01-31'"},
    {"date-time escape, as a restored value is written",
     "Update Caratula_Caratula Set Xml_Enviado = {ts '2019-03-02 10:11:12'} Where Despacho ='X' AND a = {t '1'}",
     "Update Caratula_Caratula Set Xml_Enviado = '2019-03-02 10:11:12' Where Despacho ='X' AND a = {t '1'}"},
    {"a date escape between literals stays a literal of its own",
     "SELECT 'a'{d '2019-01-31'}'b', x{d '2019-01-31'}", "SELECT 'a' '2019-01-31' 'b', x '2019-01-31'"},
    {"ISNULL nested in casts",
     "SELECT SUM(CAST(ISNULL(MONTO_FOB,0) AS FLOAT)+ CAST(isnull (MONTO_SEGURO,0) AS FLOAT)) AS MONTO_CIF From C",
     "SELECT SUM(CAST(IFNULL(MONTO_FOB,0) AS FLOAT)+ CAST(IFNULL (MONTO_SEGURO,0) AS FLOAT)) AS MONTO_CIF From C"},
    {"ISNULL in brackets, literals and as a qualified name stays",
     "SELECT [ISNULL], t.ISNULL(1) FROM t WHERE x = 'ISNULL(a,b)' AND \"ISNULL\" = 1",
     "SELECT [ISNULL], t.ISNULL(1) FROM t WHERE x = 'ISNULL(a,b)' AND \"ISNULL\" = 1"},
    {"alias of a subquery",
     "SELECT a,NombreConcepto=(SELECT JRDPRV FROM JRD WHERE JRDEXT=x.CODIGO),b From T WHERE c = 1",
     "SELECT a,(SELECT JRDPRV FROM JRD WHERE JRDEXT=x.CODIGO) AS NombreConcepto,b From T WHERE c = 1"},
    {"alias of an expression with nested parentheses, last item",
     "SELECT a,MONTOITEM=cast(a as numeric(18,7))*cast(b as numeric(18,7)) From X",
     "SELECT a,cast(a as numeric(18,7))*cast(b as numeric(18,7)) AS MONTOITEM From X"},
    {"blanks around the alias kept outside the item", "SELECT  x = 1 , y= 2\nFROM t",
     "SELECT  1 AS x , 2 AS y\nFROM t"},
    {"comparisons in WHERE and inside items stay",
     "SELECT CASE WHEN a = 1 THEN 2 END AS x, (b = c), t.a = 1 FROM t WHERE b = 1 AND c=(SELECT d FROM e)",
     "SELECT CASE WHEN a = 1 THEN 2 END AS x, (b = c), t.a = 1 FROM t WHERE b = 1 AND c=(SELECT d FROM e)"},
    {"subquery list at its own level", "SELECT x = (SELECT y = MAX(z) FROM t2) FROM t1",
     "SELECT (SELECT MAX(z) AS y FROM t2) AS x FROM t1"},
    {"subquery in WHERE", "SELECT a FROM t WHERE b IN (SELECT c = d FROM e) AND f = 1",
     "SELECT a FROM t WHERE b IN (SELECT d AS c FROM e) AND f = 1"},
    {"DISTINCT prefix", "SELECT DISTINCT a = b, c FROM t", "SELECT DISTINCT b AS a, c FROM t"},
    {"TOP prefixes", "SELECT TOP (10) PERCENT [Nombre Largo] = b FROM t",
     "SELECT TOP (10) PERCENT b AS [Nombre Largo] FROM t"},
    {"each side of a UNION", "SELECT a = 1 UNION SELECT b = 2", "SELECT 1 AS a UNION SELECT 2 AS b"},
    {"= inside brackets and literals stays", "SELECT [a=b], 'x = y' FROM t",
     "SELECT [a=b], 'x = y' FROM t"},
    {"comment after the item stays after it", "SELECT a = 1 -- x = y\nFROM t",
     "SELECT 1 AS a -- x = y\nFROM t"},
    {"variable assignment stays", "SELECT @v = a FROM t", "SELECT @v = a FROM t"},
    {"unterminated literal goes through", "SELECT a = 'open FROM t", "SELECT a = 'open FROM t"},
    {"unbalanced parentheses go through", "SELECT a = (1 FROM t", "SELECT a = (1 FROM t"},
};

}  // namespace

TEST(TsqlRewriter, RewritesOnlyTheTsqlConstructs)
{
    for (const RewriteCase &c : kRewrites) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(TsqlRewriter::rewrite(QString::fromUtf8(c.in)).toStdString(), std::string(c.out));
    }
}

TEST(TsqlRewriter, RecognisesProcedureCalls)
{
    struct Case {
        const char *sql;
        const char *name;
        QVariantList args;
    };
    const Case calls[] = {
        {"exec versionbd", "versionbd", {}},
        {"exec sp_Traer_Internos_VelmoraB2D '01/03/2019','05/03/2019',0",
         "sp_Traer_Internos_VelmoraB2D",
         {QStringLiteral("01/03/2019"), QStringLiteral("05/03/2019"), qlonglong(0)}},
        {"  EXECUTE dbo.[sp x] 'O''Neil', -1.5, NULL;", "sp x",
         {QStringLiteral("O'Neil"), -1.5, QVariant()}},
        {"exec p 0001, abc", "p", {qlonglong(1), QStringLiteral("abc")}},
        {"-- first\n /* then */\tExec[p] 2", "p", {qlonglong(2)}},
    };
    for (const Case &c : calls) {
        SCOPED_TRACE(c.sql);
        const auto call = TsqlRewriter::procedureCall(QString::fromUtf8(c.sql));
        ASSERT_TRUE(call.has_value());
        EXPECT_EQ(call->name, QString::fromUtf8(c.name));
        ASSERT_EQ(call->args.size(), c.args.size());
        for (int i = 0; i < c.args.size(); ++i) {
            EXPECT_EQ(call->args[i].typeId(), c.args[i].typeId()) << i;
            EXPECT_EQ(call->args[i], c.args[i]) << i;
        }
    }
    const char *notCalls[] = {"select 1",       "exec p @a = 1", "exec ('select 1')", "exec p 1 2",
                              "exec p 1,",      "exec",          "exec p 'open",      "exec p -'x'",
                              "executed p 1",   "/* exec p */ select 1", "-- exec p", "/* exec p"};
    for (const char *sql : notCalls) {
        SCOPED_TRACE(sql);
        EXPECT_FALSE(TsqlRewriter::procedureCall(QString::fromUtf8(sql)).has_value());
    }
}

TEST(TsqlRewriter, CountsParametersAsSqliteNumbersThem)
{
    const std::pair<const char *, int> cases[] = {
        {"SELECT ?1, ?2, ?1", 2},     {"SELECT ?, ?", 2},         {"SELECT ?3", 3},
        {"SELECT ?2, ?", 3},          {"SELECT '?1', [?2], \"?3\" -- ?4", 0},
        {"SELECT :a, :a, @b, $c", 3}, {"SELECT 1", 0}, {"SELECT ?2147483647, :a, ?", 2147483647},
    };
    for (const auto &[sql, count] : cases) {
        SCOPED_TRACE(sql);
        EXPECT_EQ(TsqlRewriter::parameterCount(QString::fromUtf8(sql)), count);
    }
}

TEST(TsqlRewriter, BindsArgumentsAsLiterals)
{
    const QVariantList args = {QStringLiteral("O'Neil"), qlonglong(7), 2.0};
    const std::pair<const char *, const char *> cases[] = {
        {"SELECT ?1, ?2, ?3, ?1, ?4", "SELECT 'O''Neil', 7, 2.0, 'O''Neil', NULL"},
        {"SELECT ?, '?1', [?2] WHERE x = ?", "SELECT 'O''Neil', '?1', [?2] WHERE x = 7"},
        {"SELECT :a, @b, :a", "SELECT 'O''Neil', 7, 'O''Neil'"},
        {"SELECT 'a'?1'b', x.?2, ?2.5", "SELECT 'a' 'O''Neil' 'b', x. 7, 7 .5"},
    };
    for (const auto &[sql, bound] : cases) {
        SCOPED_TRACE(sql);
        EXPECT_EQ(TsqlRewriter::bindArguments(QString::fromUtf8(sql), args).toStdString(), std::string(bound));
    }
    // A negative number after a minus stays a number, not the start of a comment.
    EXPECT_EQ(TsqlRewriter::bindArguments(QStringLiteral("SELECT 1 -?"), {-2}).toStdString(),
              "SELECT 1 - -2");
}
