#include "app/workspace/Workspace.h"

#include "data/DataAccess.h"
#include "data/SuffixSorter.h"
#include "runtime/Errors.h"

#include <QFileInfo>
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

TEST(DemoWorkspace, AnswersTheStatementsTheProgramSends)
{
    DemoWorkspace demo;
    struct Case {
        const char *entity;
        const char *sql;
        int rows;
        const char *column = nullptr;  // a value of the first row to check
        const char *value = nullptr;
    };
    const QString licenceSuffixes = ordenarsufijos(QStringLiteral("AC(128GB) AA(NEXA) AB(A52)"));
    const QByteArray djaiDetails =
        ("SELECT Idarticulo, otros, cantidad, CodArtAlternativo  From SUBITEMS WHERE Interno = "
         "'26-0398' And NroITEM = '0001'And Sufijos = '" + licenceSuffixes + "' Order by OTROS ")
            .toUtf8();
    const Case cases[] = {
        {"HISTORIAL", "exec versionbd", 1, "Version", "2.04"},
        {"INTERNOS", "SELECT valor from version where propiedad = 'version'", 1, "Valor", "361"},
        {"HISTORIAL",
         "SELECT DIVISA_FOB, DIVISA_FLETE, DIVISA_SEGURO, CONDICION_VENTA, DESPACHO, DESTINACION, "
         "IDENTIFICADOR_PROPIO, MONTO_FOB,MONTO_FLETE,MONTO_SEGURO,BASE_IMPONIBLE,COD_ADUANA, "
         "SUM(CAST(ISNULL(MONTO_FOB,0) AS FLOAT)+ CAST(ISNULL(MONTO_SEGURO,0) AS FLOAT) + "
         "CAST(ISNULL(MONTO_FLETE,0) AS FLOAT)) AS MONTO_CIF, COTIZACION_PAGOS , "
         "PESO_BRUTO_BULTOS,FECHA_OFICIALIZACION From CARATULA_CARATULA WHERE DESPACHO = "
         "'26073IC04000088F' GROUP BY DIVISA_FOB, DIVISA_FLETE, DIVISA_SEGURO, CONDICION_VENTA, "
         "DESPACHO, DESTINACION, IDENTIFICADOR_PROPIO, MONTO_FOB, COTIZACION_PAGOS, "
         "PESO_BRUTO_BULTOS, FECHA_OFICIALIZACION,MONTO_FLETE,MONTO_SEGURO,BASE_IMPONIBLE,COD_ADUANA",
         1, "MONTO_CIF", "24830"},
        {"HISTORIAL",
         "select sum(cast(ajuste_a_deducir as float)) as AJD , sum(cast(ajuste_a_incluir as float)) "
         "as AJI from items_articulos where idn_despacho = '26073IC04000088F'",
         1, "AJI", "150"},
        {"HISTORIAL",
         "SELECT NRO_ITEM, POSICION_ARANCELARIA, CANTIDAD_ESTADISTICA, UNIDAD_ESTADISTICA, "
         "MONTO_FOB_DIV, BASE_IMPONIBLE_DOL, MONTO_FLETE, MONTO_SEGURO, PESO_NETO_KGR, "
         "EXISTENCIA_SUBITEM, CANTIDAD_DECLARADA, PRECIO_UNITARIO, MONTO_FOB_DOL, "
         "DECLARACION_A_CANCELAR, NRO_ITEM_A_CANCELAR,  SUM(CAST(BASE_IMPONIBLE_DIV AS FLOAT)) as "
         "BID, SUM(CAST(AJUSTE_A_INCLUIR AS FLOAT)) as AAI, SUM(CAST(AJUSTE_A_DEDUCIR AS FLOAT)) as "
         "AAD  , UNIDAD_DECLARADA , PAIS_ORIGEN,PAIS_PROCEDENCIA,ESTADO_MERCADERIA,AJUSTE_A_INCLUIR,"
         "AJUSTE_A_DEDUCIR,IDN_DESPACHO FROM ITEMS_ARTICULOS WHERE IDN_DESPACHO = "
         "'26073IC04000088F' GROUP BY NRO_ITEM, POSICION_ARANCELARIA, CANTIDAD_ESTADISTICA, "
         "UNIDAD_ESTADISTICA, MONTO_FOB_DIV, BASE_IMPONIBLE_DOL, MONTO_FLETE, MONTO_SEGURO, "
         "PESO_NETO_KGR, EXISTENCIA_SUBITEM, CANTIDAD_DECLARADA, PRECIO_UNITARIO, MONTO_FOB_DOL,  "
         "DECLARACION_A_CANCELAR, NRO_ITEM_A_CANCELAR ,base_imponible_div, ajuste_a_incluir, "
         "ajuste_a_deducir , UNIDAD_DECLARADA ,PAIS_ORIGEN,PAIS_PROCEDENCIA, "
         "ESTADO_MERCADERIA,IDN_DESPACHO ORDER BY NRO_ITEM",
         2, "NRO_ITEM", "0001"},
        {"HISTORIAL",
         "SELECT  SUM(CAST(MONTO_FOB_DOL as FLOAT)) / SUM(CAST(MONTO_FOB_DIV as FLOAT)) as "
         "TipoDeCambio FROM ITEMS_ARTICULOS where IDN_DESPACHO = '26073IC04000088F'",
         1, "TipoDeCambio", "1.08"},
        {"HISTORIAL",
         "SELECT CAST(ITEMS_ARTICULOS.MONTO_FOB_DIV as float) as VALOR,CAST(CARATULA_CARATULA."
         "MONTO_FOB as float) as VALORTOTAL,CAST(CARATULA_CARATULA.PESO_BRUTO_BULTOS as float) as "
         "VALORCALCULADO FROM ITEMS_ARTICULOS , CARATULA_CARATULA WHERE ITEMS_ARTICULOS."
         "IDN_DESPACHO = '26001IC04000123A' AND ITEMS_ARTICULOS.IDN_DESPACHO = CARATULA_CARATULA."
         "DESPACHO  AND ITEMS_ARTICULOS.NRO_ITEM = '0002'",
         1, "VALOR", "750"},
        {"HISTORIAL",
         "SELECT TAX.LTAXABR AS DESCRIPCION,CARATULA_LIQUIDACIONES.MONTO_CONCEPTO AS MONTO , "
         "CARATULA_LIQUIDACIONES.CODIGO_CONCEPTO as CODIGO, CARATULA_LIQUIDACIONES.TIPO_OBLIGACION "
         "as TIPO From TAX, CARATULA_LIQUIDACIONES WHERE IDN_DESPACHO = '26001IC04000123A' AND "
         "TAX.CTAX = CARATULA_LIQUIDACIONES.CODIGO_CONCEPTO and CTAX NOT IN ('429','450','451',"
         "'452','453','454','455','456','457','458','459','460','461','462','463','464','465',"
         "'466','467','468','469','470','471','472')",
         4},
        {"HISTORIAL",
         "SELECT cast(caratula_LIQUIDACIONES.MONTO_CONCEPTO as numeric(18,7)) AS MONTO "
         ",caratula_LIQUIDACIONES.CODIGO_CONCEPTO ,caratula_ingresos_brutos.PORC_DISTRIBUCION "
         ",NombreConcepto=(SELECT JRDPRV FROM JRD WHERE JRDEXT=caratula_LIQUIDACIONes."
         "CODIGO_CONCEPTO),caratula_LIQUIDACIONES.TIPO_OBLIGACION From CARATULA_LIQUIDACIONES "
         "INNER JOIN CARATULA_INGRESOS_BRUTOS ON (CARATULA_INGRESOS_BRUTOS.IDN_DESPACHO = "
         "CARATULA_LIQUIDACIONES.IDN_DESPACHO) INNER JOIN JRD ON (CARATULA_LIQUIDACIONES."
         "CODIGO_CONCEPTO = JRD.JRDEXT AND CARATULA_INGRESOS_BRUTOS.JURISDICCION = JRD.JRDNRO) "
         "WHERE CARATULA_LIQUIDACIONES.IDN_DESPACHO ='26001IC04000123A'",
         2},
        {"HISTORIAL",
         " SELECT ITEMS_LIQUIDACION_ITEM.IDN_DESPACHO,ITEMS_LIQUIDACION_ITEM.IDN_ITEM,"
         "ITEMS_LIQUIDACION_ITEM.CODIGO_CONCEPTO,ITEMS_LIQUIDACION_ITEM.TIPO_OBLIGACION,"
         "CARATULA_INGRESOS_BRUTOS.JURISDICCION,NombreConcepto=(SELECT JRDPRV FROM JRD WHERE "
         "JRDNRO=CARATULA_INGRESOS_BRUTOS.JURISDICCION),CODIGOJRDMARIA=(SELECT JRDEXT FROM JRD "
         "WHERE JRDNRO=CARATULA_INGRESOS_BRUTOS.JURISDICCION),ITEMS_LIQUIDACION_ITEM."
         "MONTO_CONCEPTO,CARATULA_INGRESOS_BRUTOS.PORC_DISTRIBUCION,MONTOITEM=cast("
         "ITEMS_LIQUIDACION_ITEM.MONTO_CONCEPTO as numeric(18,7))*cast(CARATULA_INGRESOS_BRUTOS."
         "PORC_DISTRIBUCION as numeric(18,7)) From ITEMS_LIQUIDACION_ITEM LEFT JOIN "
         "CARATULA_INGRESOS_BRUTOS on ITEMS_LIQUIDACION_ITEM.IDN_DESPACHO=CARATULA_INGRESOS_BRUTOS."
         "IDN_DESPACHO WHERE  ITEMS_LIQUIDACION_ITEM.CODIGO_CONCEPTO='900' and  "
         "items_liquidacion_item.idn_Despacho = '26001IC04000131C' and items_liquidacion_item."
         "idn_item = '0001'",
         1, "CODIGOJRDMARIA", "429"},
        {"HISTORIAL",
         "SELECT DISTINCT ITEMS_LIQUIDACION_ITEM.MONTO_CONCEPTO AS MONTO, ITEMS_LIQUIDACION_ITEM."
         "BASE_IMPONIBLE,ITEMS_LIQUIDACION_ITEM.COEFICIENTE,ITEMS_LIQUIDACION_ITEM.CODIGO_CONCEPTO,"
         "ITEMS_LIQUIDACION_ITEM.TIPO_OBLIGACION From ITEMS_LIQUIDACION_ITEM WHERE IDN_DESPACHO = "
         "'26001IC04000123A' AND IDN_ITEM = 0002",
         5},
        {"HISTORIAL",
         "SELECT NRO_SUBITEM,IDN_ITEM,CANTIDAD_DECLARADA,PRECIO_UNITARIO,MONTO_FOB_DOL,"
         "SUFIJOS_DE_VALOR,MONTO_FOB,REFERENCIA FROM ITEMS_SUBITEMS WHERE IDN_DESPACHO = "
         "'26001IC04000131C' AND IDN_ITEM = 0001 order by nro_subitem",
         2, "REFERENCIA", "0001"},
        {"HISTORIAL",
         "Select Valor From ITEMS_INFORMACION_COMPLEMENTARIAS where IDN_Despacho ='26001DJAI000007K'"
         " and IDN_ITEM  = '0002' and Codigo = 'DJAI-FECHA-ARRIB'",
         1, "Valor", "24/04/2026"},
        {"HISTORIAL", "Select ValorDestino From RelacionVarios Where Tipo = 'Canal' AND ValorOrigen "
                      "= 'v' OR ValorDestino = 'v'", 1, "ValorDestino", "VERDE"},
        {"HISTORIAL",
         "Select IDN_ITEM as ITEM, NRO_SUBITEM as SUBITEM , INDICADOR_PROPIO as ARTICULO, ' ' as "
         "DESCRIPCION, sufijos_de_valor as SUFIJOS  From items_subitems Where  IDN_DESPACHO = "
         "'26001EC01000045B' order by ITEM,SUBITEM",
         3, "ARTICULO", "MAL-RES"},
        {"NCM",
         "select [004] as desc1 ,[005] as desc2,[006] as desc3 ,[010] as desc4 from ncm where  "
         "[001] = '8471.30.12' and [002] = '100'  and [003] = 'A'",
         1, "desc4", "LAS DEMAS"},
        {"INTERNOS",
         "Select IdArticulo,Descripcion,Cantidad,Otros,Factura_Nro, CodArtAlternativo From "
         "Subitems Where NROITEM = '0001' and NROSUBITEM = '0001' and Interno = '26-0420' order "
         "by NROSUBITEM",
         2},
        {"INTERNOS",
         "Select * From GroupSubitems Where INTERNO = '26-0417' And ID = 1 And NROSUBITEM = '0002'",
         1, "CANTIDAD", "4"},
        {"INTERNOS",
         "SELECT Idarticulo , otros, cantidad, CodArtAlternativo, idext, factura_nro, descripcion , "
         "NROSUBITEM From SUBITEMS WHERE Interno = '26-0412' And NroITEM = '0001' And NroSUBITEM = "
         "'0000' Order by OTROS ",
         2, "idext", "1"},
        {"INTERNOS",
         "Select ARTNRO as IDARTICULO, ITEMREFERENCECODE as OTROS, ARTCAN as CANTIDAD, ARTNRO2 as "
         "CODARTALTERNATIVO, ARTORD as IDEXT, ART_ITS,ARTFAC as FACTURA_NRO,ARTDSC as DESCRIPCION "
         ", DECLARACION_CANCELA,ITEM_CANCELA,SUBITEM_CANCELA as NROSUBITEM FROM ART WHERE INTNRO = "
         "'DI-0415' AND DECLARACION_CANCELA='26001DJAI000007K' AND ITEM_CANCELA='0001' AND "
         "SUBITEM_CANCELA='0001' Order by ITEM_CANCELA ,SUBITEM_CANCELA",
         2, "OTROS", "DVN-ITR-5501"},
        {"INTERNOS",
         "SELECT a.artNRO ,a.ART_ITS, a.itemReferenceCOde as ITR2, a.artCAN ,b.itemreferencecode as "
         "ITR1 FROM ART A ,ART B WHERE a.INTNRO = 'DI-0415' and (a.artNro = b.artNro or a.ART_ITS = "
         "b.artnro) and a.artcan = b.artcan and b.INTNRO = '26-0415' and b.itemreferencecode =  "
         "'LIC-ITR-7003' and a.dvn_orderitemitemnumber = b.dvn_orderitemitemnumber and "
         "a.dvn_orderitemordernumber =  b.dvn_orderitemordernumber",
         1, "ITR2", "DVN-ITR-5503"},
        {"INTERNOS",
         "Select subitem_cancela from ART where INTNRO = 'DI-0415' AND ITEM_CANCELA = '0001' AND "
         "SUBITEM_CANCELA ='0000'",
         0},
        {"INTERNOS",
         "SELECT SUM(CANTIDAD) as CANTIDAD From SUBITEMS WHERE Interno = '26-0415' And NroITEM = "
         "'0001' And NroSUBITEM = '0001'",
         1, "CANTIDAD", "200"},
        {"INTERNOS", djaiDetails.constData(), 2, "otros", "LIC-ITR-7001"},
        {"INTERNOS",
         "SELECT DISTINCT entityType,entityReferenceCode,entityName,entityCountry,entityAddress,"
         "entityCity,entityState,entityPostalCode,entityPhone,RequestEntityID FROM requestentitydvn "
         "WHERE INTNRO = '26-0412' AND ((ITEMARTID=1 AND INVOICENUMBER ='INV-SZ-20931') OR "
         "(ITEMARTID=2 AND INVOICENUMBER ='INV-SZ-20931')) order by RequestEntityID ASC",
         2, "entityName", "Brightway Computing & Devices Ltd."},
        {"INTERNOS",
         "SELECT DISTINCT entityType,entityReferenceCode,entityName,entityCountry,entityAddress,"
         "entityCity,entityState,entityPostalCode,entityPhone,RequestEntityID FROM requestentitydvn "
         "WHERE INTNRO = '26-0420'  AND ITEMARTID = 0  ORDER BY RequestEntityID ASC",
         3, "entityType", "EXPORTER"},
        {"INTERNOS", "SELECT * FROM ART WHERE INTNRO = 'DI-0415'", 3, "DECLARACION_CANCELA",
         "26001DJAI000007K"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sql);
        const ResultSet rs = demo.read(QString::fromUtf8(c.entity), QString::fromUtf8(c.sql));
        ASSERT_EQ(rs.rows.size(), c.rows);
        if (c.column) {
            const Recordset r(rs);
            EXPECT_EQ(r.field(QString::fromUtf8(c.column)).toString(), QString::fromUtf8(c.value));
        }
    }
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
