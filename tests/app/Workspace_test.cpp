#include "app/workspace/Workspace.h"

#include "data/DataAccess.h"
#include "data/SuffixSorter.h"
#include "e2e/DemoCliRun.h"
#include "runtime/Errors.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace b2d;

namespace {

// The day the demo workspaces of these tests are built on.
const QDate kToday(2026, 3, 10);

// A demo workspace in a temporary folder, opened through its connections file.
struct DemoWorkspace {
    DemoWorkspace() : workspace(dir.filePath(QStringLiteral("data")))
    {
        workspace.create();
        workspace.loadDemoData(kToday);
        connections = dir.filePath(QStringLiteral("connections.ini"));
        workspace.writeConnectionsFile(connections);
        db = openConnectionsFile(connections);
    }

    // Runs a read; returns the rows, failing the test when the statement is refused.
    ResultSet read(const QString &entity, const QString &sql)
    {
        Connection &c = db->getDataConnectionByEntity(entity);
        c.sql = sql;
        Recordset rs;
        const bool opened = c.crearrs(rs);
        EXPECT_TRUE(c.lastError().isEmpty()) << entity.toStdString() << ": " << sql.toStdString()
                                             << "\n" << c.lastError().toStdString();
        return opened ? rs.data() : ResultSet{};
    }

    QTemporaryDir dir;
    Workspace workspace;
    QString connections;
    std::unique_ptr<DataAccess> db;
};

QStringList column(const ResultSet &rs, int index)
{
    QStringList values;
    for (const QVariantList &row : rs.rows)
        values << row.value(index).toString();
    return values;
}

}  // namespace

TEST(Workspace, SplitsStatementsOnlyOutsideLiteralsNamesAndComments)
{
    struct Case {
        const char *sql;
        QStringList statements;
    };
    const Case cases[] = {
        {"CREATE TABLE a (x); INSERT INTO a VALUES (1);",
         {QStringLiteral("CREATE TABLE a (x)"), QStringLiteral("INSERT INTO a VALUES (1)")}},
        {"INSERT INTO p VALUES ('x', 'SELECT 1; SELECT ''2;''');",
         {QStringLiteral("INSERT INTO p VALUES ('x', 'SELECT 1; SELECT ''2;''')")}},
        {"-- a comment; with a semicolon\nSELECT 1", {QStringLiteral("SELECT 1")}},
        {"SELECT 1 /* a; b */ ; SELECT [00;1] FROM t", {QStringLiteral("SELECT 1"), QStringLiteral("SELECT [00;1] FROM t")}},
        {"SELECT \"a;b\" FROM t;;  ;", {QStringLiteral("SELECT \"a;b\" FROM t")}},
        {"SELECT '-- not a comment'", {QStringLiteral("SELECT '-- not a comment'")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sql);
        EXPECT_EQ(splitSqlStatements(QString::fromUtf8(c.sql)), c.statements);
    }
}

TEST(Workspace, PlacesDatesAroundToday)
{
    struct Case {
        const char *sql;
        const char *expected;
    };
    const Case cases[] = {
        {"'{TODAY}'", "'2026-03-10'"},
        {"'{TODAY-10} 10:15:00'", "'2026-02-28 10:15:00'"},
        {"'{TODAY+22:dd/MM/yyyy}'", "'01/04/2026'"},
        {"'X_{TODAY-70:yyyyMMdd}1015'", "'X_202512301015'"},
        {"{d '2019-01-01'} and {TODAY", "{d '2019-01-01'} and {TODAY"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sql);
        EXPECT_EQ(placeDates(QString::fromUtf8(c.sql), kToday), QString::fromUtf8(c.expected));
    }
}

TEST(Workspace, CreateRefusesToBuildOverAnExistingDatabase)
{
    QTemporaryDir dir;
    const Workspace ws(dir.filePath(QStringLiteral("data")));
    EXPECT_FALSE(ws.exists());
    ws.create();
    EXPECT_TRUE(ws.exists());
    ws.runSql(QStringLiteral("historial"),
              QStringLiteral("INSERT INTO TAX (CTAX, LTAXABR) VALUES ('010', 'DERECHOS')"));
    try {
        ws.create();
        FAIL() << "created over existing databases";
    } catch (const B2DError &e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("historial.db"))) << e.what();
    }
    // The refused creation left the data alone.
    EXPECT_NO_THROW(ws.runSql(QStringLiteral("HISTORIAL"),
                              QStringLiteral("SELECT CTAX FROM TAX WHERE CTAX = '010'")));
}

TEST(Workspace, FailedSqlNamesTheEntityAndLeavesNothingHalfDone)
{
    QTemporaryDir dir;
    const Workspace ws(dir.filePath(QStringLiteral("data")));
    ws.create();
    try {
        ws.runSql(QStringLiteral("INTERNOS"),
                  QStringLiteral("INSERT INTO Caratula (Interno) VALUES ('A'); INSERT INTO nada VALUES (1)"));
        FAIL() << "no error";
    } catch (const B2DError &e) {
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("INTERNOS:"))) << e.what();
        EXPECT_TRUE(e.description().contains(QStringLiteral("INSERT INTO nada"))) << e.what();
    }
    auto db = [&] {
        ws.writeConnectionsFile(dir.filePath(QStringLiteral("c.ini")));
        return openConnectionsFile(dir.filePath(QStringLiteral("c.ini")));
    }();
    Connection &c = db->getDataConnectionByEntity(QStringLiteral("INTERNOS"));
    c.sql = QStringLiteral("SELECT Interno FROM Caratula");
    Recordset rs;
    EXPECT_FALSE(c.crearrs(rs)) << "the first insert was kept";
}

TEST(DemoWorkspace, ProcedureListsTheOperationsOfTheRangeByDateOrByInterno)
{
    DemoWorkspace demo;
    struct Case {
        const char *call;
        QStringList despachos;
    };
    const Case cases[] = {
        {"exec sp_Traer_Internos_VelmoraB2D '03/03/2026','10/03/2026',0",
         {QStringLiteral("26001DJAI000007K"), QStringLiteral("26001EC01000039X"),
          QStringLiteral("26073IC04000088F"), QStringLiteral("26001EC01000045B"),
          QStringLiteral("26001IC04000123A"), QStringLiteral("26001IC04000131C")}},
        {"exec sp_Traer_Internos_VelmoraB2D '03/03/2026','10/03/2026',1",
         {QStringLiteral("26001DJAI000007K"), QStringLiteral("26001EC01000039X"),
          QStringLiteral("26001IC04000123A"), QStringLiteral("26001IC04000131C"),
          QStringLiteral("26073IC04000088F"), QStringLiteral("26001EC01000045B")}},
        // Both days of the range count, whatever the time of day.
        {"exec sp_Traer_Internos_VelmoraB2D '09/03/2026','09/03/2026',1",
         {QStringLiteral("26001IC04000131C")}},
        {"exec sp_Traer_Internos_VelmoraB2D '01/02/2026','20/02/2026',0",
         {QStringLiteral("26001IC04000098D")}},
        {"exec sp_Traer_Internos_VelmoraB2D '10/03/2026','10/03/2026',0", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.call);
        const ResultSet rs = demo.read(QStringLiteral("INTERNOS"), QString::fromUtf8(c.call));
        EXPECT_EQ(column(rs, 0), c.despachos);
    }

    const ResultSet old = demo.read(
        QStringLiteral("INTERNOS"),
        QStringLiteral("exec sp_Traer_Internos_VelmoraB2D '18/02/2026','18/02/2026',0"));
    ASSERT_EQ(old.rows.size(), 1);
    ASSERT_EQ(old.columns.size(), 8);
    EXPECT_EQ(old.rows[0], (QVariantList{QStringLiteral("26001IC04000098D"),
                                         QStringLiteral("2026-02-18 14:45:00"), QStringLiteral("IC04"),
                                         QStringLiteral("26-0377"), QStringLiteral("HAWB-53001"),
                                         QStringLiteral("DVNI_IC04_HAWB-53001_20260221101500"),
                                         QStringLiteral("2026-02-21"), QStringLiteral("2026-02-21")}));
}

TEST(DemoWorkspace, AnswersEveryStatementTheProgramSends)
{
    // The demo's commands as an operator and support run them, every statement traced: the list,
    // the generation of each operation with the demo's answers, the hand-off, the viewer and the
    // relation editors.
    test::DemoCliRun run;
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QString trace = run.dir.filePath(QStringLiteral("trace.jsonl"));
    const QStringList operations = {QStringLiteral("26001IC04000123A"), QStringLiteral("26001IC04000131C"),
                                    QStringLiteral("26001EC01000045B"), QStringLiteral("26001DJAI000007K")};
    QList<QStringList> commands = {{QStringLiteral("list")},
                                   QStringList{QStringLiteral("generate")} + operations
                                       + QStringList{QStringLiteral("--answers"), run.demo + QStringLiteral("/answers.ini")},
                                   {QStringLiteral("subitems"), QStringLiteral("26-0398")}};
    for (const QString &number : operations)
        commands.append({QStringLiteral("send"), number});
    for (const char *relation : {"concept", "currency", "country"})
        commands.append({QStringLiteral("relations"), QStringLiteral("list"), QLatin1String(relation)});
    for (const char *edit : {"add", "remove"})
        commands.append({QStringLiteral("relations"), QLatin1String(edit), QStringLiteral("country"),
                         QStringLiteral("O'Higgins"), QStringLiteral("CL")});
    for (const QStringList &command : commands)
        EXPECT_EQ(run.run(command, {QStringLiteral("--trace-sql"), trace}), 0)
            << command.join(u' ').toStdString() << "\n" << run.err.toStdString();

    QFile lines(trace);
    ASSERT_TRUE(lines.open(QIODevice::ReadOnly));
    QMap<QString, int> kinds;  // the first word of each statement, upper-cased
    while (!lines.atEnd()) {
        const QJsonObject t = QJsonDocument::fromJson(lines.readLine()).object();
        const QString sql = t.value(QStringLiteral("sql")).toString();
        ++kinds[sql.section(u' ', 0, 0, QString::SectionSkipEmpty).toUpper()];
        EXPECT_TRUE(t.value(QStringLiteral("ok")).toBool())
            << t.value(QStringLiteral("entity")).toString().toStdString() << ": " << sql.toStdString() << "\n"
            << t.value(QStringLiteral("error")).toString().toStdString();
    }
    for (const char *kind : {"SELECT", "EXEC", "UPDATE", "INSERT", "DELETE"})
        EXPECT_GT(kinds.value(QLatin1String(kind)), 0) << kind;
}

TEST(DemoWorkspace, TakesTheStatementsThatRecordAnswersAndGeneration)
{
    DemoWorkspace demo;
    const char *writes[] = {
        "Update Caratula_Caratula Set Xml_Procesado = {d '2026-03-10'} ,Xml_B2DFile = "
        "'DVNI_IC04_HAWB-55120_20260310101500' Where Despacho ='26001IC04000123A'",
        "Update Caratula_Caratula Set Xml_Enviado = {d '2026-03-10'} Where Despacho ='26001IC04000123A'",
        "Update CARATULA_CARATULA set xml_FechaCumplido = {d '2026-03-10'} Where DESPACHO = "
        "'26001IC04000123A'",
        "Update CARATULA_CARATULA set xml_Canal ='VERDE' Where DESPACHO = '26001ic04000123a'",
        "Insert INTO Despacho_TiposCambio (Moneda,Despacho,Valor) Values('060','26073IC04000088F','01.08')",
        "Insert into RelacionPaises(IDSIM,IDISO) Values ('O''Higgins','CL')",
    };
    Connection &c = demo.db->getDataConnectionByEntity(QStringLiteral("HISTORIAL"));
    for (const char *sql : writes) {
        SCOPED_TRACE(sql);
        c.sql = QString::fromUtf8(sql);
        EXPECT_TRUE(c.ejecutar()) << c.lastError().toStdString();
    }
    const ResultSet listed = demo.read(
        QStringLiteral("INTERNOS"),
        QStringLiteral("exec sp_Traer_Internos_VelmoraB2D '08/03/2026','08/03/2026',1"));
    ASSERT_EQ(listed.rows.size(), 1);
    EXPECT_EQ(listed.rows[0].mid(5), (QVariantList{QStringLiteral("DVNI_IC04_HAWB-55120_20260310101500"),
                                                   QStringLiteral("2026-03-10"),
                                                   QStringLiteral("2026-03-10")}));
    const ResultSet canal = demo.read(
        QStringLiteral("HISTORIAL"),
        QStringLiteral("Select xml_Canal From Caratula_Caratula Where Despacho = '26001IC04000123A'"));
    EXPECT_EQ(column(canal, 0), QStringList{QStringLiteral("VERDE")});
}

TEST(DemoWorkspace, DataHoldTogetherAsTheBuildersReadThem)
{
    DemoWorkspace demo;
    // Each query lists what breaks a rule the builders rely on; all must come back empty.
    struct Check {
        const char *rule;
        const char *sql;
    };
    const Check checks[] = {
        {"every liquidated concept of an item has its TAX row",
         "SELECT l.IDN_DESPACHO, l.CODIGO_CONCEPTO FROM HISTORIAL.ITEMS_LIQUIDACION_ITEM l "
         "WHERE NOT EXISTS (SELECT 1 FROM HISTORIAL.TAX t WHERE t.CTAX = l.CODIGO_CONCEPTO)"},
        {"the header FOB is the sum of the items' FOB",
         "SELECT c.DESPACHO FROM HISTORIAL.CARATULA_CARATULA c WHERE ABS(c.MONTO_FOB - "
         "(SELECT SUM(a.MONTO_FOB_DIV) FROM HISTORIAL.ITEMS_ARTICULOS a WHERE a.IDN_DESPACHO = "
         "c.DESPACHO)) > 0.005"},
        {"an item's quantity and FOB are the sums of its subitems'",
         "SELECT a.IDN_DESPACHO, a.NRO_ITEM FROM HISTORIAL.ITEMS_ARTICULOS a WHERE NOT EXISTS "
         "(SELECT 1 FROM HISTORIAL.ITEMS_SUBITEMS s WHERE s.IDN_DESPACHO = a.IDN_DESPACHO AND "
         "s.IDN_ITEM = CAST(a.NRO_ITEM AS INTEGER) GROUP BY s.IDN_DESPACHO HAVING "
         "SUM(s.CANTIDAD_DECLARADA) = a.CANTIDAD_DECLARADA AND ABS(SUM(s.MONTO_FOB) - "
         "a.MONTO_FOB_DIV) < 0.005 AND ABS(SUM(s.MONTO_FOB_DOL) - a.MONTO_FOB_DOL) < 0.005)"},
        {"an item without subitems has exactly its subitem 0000",
         "SELECT a.IDN_DESPACHO, a.NRO_ITEM FROM HISTORIAL.ITEMS_ARTICULOS a WHERE "
         "(a.EXISTENCIA_SUBITEM = 'S') = EXISTS (SELECT 1 FROM HISTORIAL.ITEMS_SUBITEMS s WHERE "
         "s.IDN_DESPACHO = a.IDN_DESPACHO AND s.IDN_ITEM = CAST(a.NRO_ITEM AS INTEGER) AND "
         "s.NRO_SUBITEM = '0000')"},
        {"the articles of the broker's interno add up to each official subitem",
         "SELECT s.IDN_DESPACHO, s.IDN_ITEM, s.NRO_SUBITEM FROM HISTORIAL.ITEMS_SUBITEMS s JOIN "
         "HISTORIAL.CARATULA_CARATULA c ON c.DESPACHO = s.IDN_DESPACHO WHERE s.CANTIDAD_DECLARADA "
         "<> IFNULL((SELECT SUM(a.Cantidad) FROM Subitems a WHERE a.Interno = "
         "c.IDENTIFICADOR_PROPIO AND a.NROITEM = printf('%04d', s.IDN_ITEM) AND a.NROSUBITEM = "
         "s.NRO_SUBITEM), -1)"},
        {"the grouping of every subitem carries its quantity and FOB",
         "SELECT s.IDN_DESPACHO, s.IDN_ITEM, s.NRO_SUBITEM FROM HISTORIAL.ITEMS_SUBITEMS s JOIN "
         "HISTORIAL.CARATULA_CARATULA c ON c.DESPACHO = s.IDN_DESPACHO WHERE c.DESTINACION <> "
         "'DJAI' AND NOT EXISTS (SELECT 1 FROM GroupSubitems g WHERE g.INTERNO = "
         "c.IDENTIFICADOR_PROPIO AND g.ID = s.IDN_ITEM AND g.NROSUBITEM = s.NRO_SUBITEM AND "
         "g.CANTIDAD = s.CANTIDAD_DECLARADA AND ABS(g.FOB - s.MONTO_FOB) < 0.005)"},
        {"every operation's interno is known, with its waybill and its parties",
         "SELECT c.DESPACHO FROM HISTORIAL.CARATULA_CARATULA c WHERE NOT EXISTS (SELECT 1 FROM "
         "Caratula k WHERE k.Interno = c.IDENTIFICADOR_PROPIO) OR NOT EXISTS (SELECT 1 FROM IntN n "
         "WHERE n.Intnro = c.IDENTIFICADOR_PROPIO) OR NOT EXISTS (SELECT 1 FROM requestentitydvn r "
         "WHERE r.INTNRO = c.IDENTIFICADOR_PROPIO AND r.ITEMARTID = 0)"},
        {"a DI line cancels a subitem the licence has",
         "SELECT a.INTNRO, a.ARTORD FROM ART a WHERE IFNULL(a.DECLARACION_CANCELA, '') <> '' AND "
         "NOT EXISTS (SELECT 1 FROM HISTORIAL.ITEMS_SUBITEMS s WHERE s.IDN_DESPACHO = "
         "a.DECLARACION_CANCELA AND printf('%04d', s.IDN_ITEM) = a.ITEM_CANCELA AND s.NRO_SUBITEM "
         "= a.SUBITEM_CANCELA)"},
        {"every tariff position has its NCM row",
         "SELECT a.POSICION_ARANCELARIA FROM HISTORIAL.ITEMS_ARTICULOS a WHERE NOT EXISTS (SELECT 1 "
         "FROM NCM.ncm n WHERE n.[001] = substr(a.POSICION_ARANCELARIA, 1, 10) AND n.[002] = "
         "substr(a.POSICION_ARANCELARIA, 12, 3) AND n.[003] = substr(a.POSICION_ARANCELARIA, -1))"},
        {"currencies, countries and customs houses in use have their relations",
         "SELECT c.DESPACHO FROM HISTORIAL.CARATULA_CARATULA c WHERE NOT EXISTS (SELECT 1 FROM "
         "HISTORIAL.RelacionMonedas m WHERE m.IDSIM = c.DIVISA_FOB) OR NOT EXISTS (SELECT 1 FROM "
         "aduana d WHERE d.Id = c.COD_ADUANA) UNION SELECT a.IDN_DESPACHO FROM "
         "HISTORIAL.ITEMS_ARTICULOS a WHERE NOT EXISTS (SELECT 1 FROM HISTORIAL.RelacionPaises p "
         "WHERE p.IDSIM = a.PAIS_ORIGEN) OR NOT EXISTS (SELECT 1 FROM ORG o WHERE o.ORI = "
         "a.PAIS_PROCEDENCIA)"},
        {"every licence item has its shipment and arrival dates",
         "SELECT a.NRO_ITEM FROM HISTORIAL.ITEMS_ARTICULOS a WHERE a.IDN_DESPACHO LIKE '%DJAI%' AND "
         "(SELECT COUNT(*) FROM HISTORIAL.ITEMS_INFORMACION_COMPLEMENTARIAS i WHERE i.IDN_DESPACHO "
         "= a.IDN_DESPACHO AND i.IDN_ITEM = CAST(a.NRO_ITEM AS INTEGER) AND i.Codigo IN "
         "('DJAI-FECHA-EMBAR', 'DJAI-FECHA-ARRIB')) <> 2"},
    };
    for (const Check &c : checks) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(demo.read(QStringLiteral("INTERNOS"), QString::fromUtf8(c.sql)).rows.size(), 0);
    }

    // The licence's subitems find their articles by the canonical form of their value suffixes.
    const ResultSet subitems = demo.read(
        QStringLiteral("HISTORIAL"),
        QStringLiteral("SELECT IDN_ITEM, SUFIJOS_DE_VALOR FROM ITEMS_SUBITEMS WHERE IDN_DESPACHO = "
                       "'26001DJAI000007K'"));
    ASSERT_EQ(subitems.rows.size(), 3);
    for (const QVariantList &row : subitems.rows) {
        const QString sql = QStringLiteral("SELECT Idarticulo FROM SUBITEMS WHERE Interno = '26-0398' "
                                           "And NroITEM = '%1' And Sufijos = '%2'")
                                .arg(row[0].toInt(), 4, 10, QLatin1Char('0'))
                                .arg(ordenarsufijos(row[1].toString()));
        SCOPED_TRACE(sql.toStdString());
        EXPECT_GE(demo.read(QStringLiteral("INTERNOS"), sql).rows.size(), 1);
    }
}
