#include "Workloads.h"

#include <QStringList>

namespace bench {
namespace {

constexpr int kSubitems = 10;
constexpr int kArticles = 5;

QString num4(int n) { return QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0')); }

// Rows of many VALUES tuples joined under one INSERT head.
QString insert(const QString &head, const QStringList &rows)
{
    return rows.isEmpty() ? QString() : head + QStringLiteral(" VALUES\n") + rows.join(QStringLiteral(",\n"))
                                            + QStringLiteral(";\n");
}

QString caratula(const QString &despacho, const QString &destinacion, const QString &interno,
                 const QString &divisa, const QString &processRC)
{
    return QStringLiteral(
               "INSERT INTO CARATULA_CARATULA (DESPACHO, DESTINACION, COD_ADUANA, IDENTIFICADOR_PROPIO, "
               "FECHA_OFICIALIZACION, ESTADO_DECLARACION, MEDIO_TRANSPORTE, CONDICION_VENTA, DIVISA_FOB, "
               "DIVISA_FLETE, DIVISA_SEGURO, MONTO_FOB, MONTO_FLETE, MONTO_SEGURO, BASE_IMPONIBLE, "
               "COTIZACION_PAGOS, PESO_BRUTO_BULTOS, xml_ProcessRC) VALUES ('%1', '%2', '001', '%3', "
               "date('now') || ' 09:00:00', 'OFIC', '1', 'FOB', '%4', 'DOL', '%4', 100000.00, 1000.00, "
               "200.00, 101200.00, 1050.00, 5000.00, %5);\n")
        .arg(despacho, destinacion, interno, divisa,
             processRC.isEmpty() ? QStringLiteral("NULL") : QLatin1Char('\'') + processRC + QLatin1Char('\''));
}

// Items, subitems, duties and documents of a declaration whose every item holds 10 subitems.
// The tariff position of item `i` in the distinct shape: 8517.AA.BB.000X, AA.BB the item number.
QString distinctPosition(int i)
{
    return QStringLiteral("8517.%1.%2").arg(i / 100, 2, 10, QLatin1Char('0')).arg(i % 100, 2, 10, QLatin1Char('0'));
}

// Items, subitems, duties and documents of a declaration whose every item holds 10 subitems;
// `distinct` gives every item its own tariff position, duty amounts and complementary values.
QString declarationRows(const QString &despacho, int items, bool cancels, bool exportDuty,
                        bool licence, bool distinct)
{
    QStringList articulos, subitems, duties, info;
    for (int i = 1; i <= items; ++i) {
        const QString position = distinct ? distinctPosition(i) + QStringLiteral(".000X")
                                          : QStringLiteral("8517.13.00.000X");
        const QString item = QString::number(i);
        // The distinct shape's own values of an item: its duty amount and a text of its own.
        const QString amount = distinct ? QString::number(1000 + i) + QStringLiteral(".00")
                                        : QStringLiteral("1000.00");
        const QString own = distinct ? QStringLiteral(" ITEM ") + item : QString();
        articulos << QStringLiteral("('%1', '%2', '%5', 250, '07', 250, '07', 100.00, "
                                    "25000.00, 25000.00, 250.00, 50.00, 25300.00, 25300.00, 0, 0, 40.00, "
                                    "'S', %3, %4, '310', '310', '2')")
                         .arg(despacho, num4(i),
                              cancels && i == 1 ? QStringLiteral("'26001DJAI000007K'") : QStringLiteral("NULL"),
                              cancels && i == 1 ? QStringLiteral("'0001'") : QStringLiteral("NULL"),
                              position);
        for (int s = 1; s <= kSubitems; ++s)
            subitems << QStringLiteral("('%1', %2, '%3', 25, 100.00, 2500.00, 2500.00, "
                                       "'AA(MARCA%2) AB(MODELO%3)', '%3', 'IP-%2-%3')")
                            .arg(despacho, QString::number(i), num4(s));
        const QStringList codes = exportDuty ? QStringList{QStringLiteral("070")}
                                             : QStringList{QStringLiteral("010"), QStringLiteral("011"),
                                                           QStringLiteral("020"), QStringLiteral("040"),
                                                           QStringLiteral("900")};
        for (const QString &code : codes)
            duties << QStringLiteral("('%1', %2, '%3', %4, 25300.00, 4, 'A')")
                          .arg(despacho, item, code, amount);
        if (licence) {
            info << QStringLiteral("('%1', %2, 'DJAI-FECHA-EMBAR', strftime('%d/%m/%Y', 'now', '+10 days'))")
                        .arg(despacho, item);
            info << QStringLiteral("('%1', %2, 'DJAI-FECHA-ARRIB', strftime('%d/%m/%Y', 'now', '+45 days'))")
                        .arg(despacho, item);
            info << QStringLiteral("('%1', %2, 'DJAI-DESC-MERC01', 'MERCADERIA DEL ITEM %2')").arg(despacho, item);
        } else {
            info << QStringLiteral("('%1', %2, 'BANCOSARGENTINA', 'BANCO DE LA NACION ARGENTINA%3')")
                        .arg(despacho, item, own);
        }
    }
    QString sql;
    sql += insert(QStringLiteral(
                      "INSERT INTO ITEMS_ARTICULOS (IDN_DESPACHO, NRO_ITEM, POSICION_ARANCELARIA, "
                      "CANTIDAD_ESTADISTICA, UNIDAD_ESTADISTICA, CANTIDAD_DECLARADA, UNIDAD_DECLARADA, "
                      "PRECIO_UNITARIO, MONTO_FOB_DIV, MONTO_FOB_DOL, MONTO_FLETE, MONTO_SEGURO, "
                      "BASE_IMPONIBLE_DIV, BASE_IMPONIBLE_DOL, AJUSTE_A_INCLUIR, AJUSTE_A_DEDUCIR, "
                      "PESO_NETO_KGR, EXISTENCIA_SUBITEM, DECLARACION_A_CANCELAR, NRO_ITEM_A_CANCELAR, "
                      "PAIS_ORIGEN, PAIS_PROCEDENCIA, ESTADO_MERCADERIA)"),
                  articulos);
    sql += insert(QStringLiteral("INSERT INTO ITEMS_SUBITEMS (IDN_DESPACHO, IDN_ITEM, NRO_SUBITEM, "
                                 "CANTIDAD_DECLARADA, PRECIO_UNITARIO, MONTO_FOB, MONTO_FOB_DOL, "
                                 "SUFIJOS_DE_VALOR, REFERENCIA, INDICADOR_PROPIO)"),
                  subitems);
    sql += insert(QStringLiteral("INSERT INTO ITEMS_LIQUIDACION_ITEM (IDN_DESPACHO, IDN_ITEM, "
                                 "CODIGO_CONCEPTO, MONTO_CONCEPTO, BASE_IMPONIBLE, COEFICIENTE, "
                                 "TIPO_OBLIGACION)"),
                  duties);
    sql += insert(QStringLiteral("INSERT INTO ITEMS_INFORMACION_COMPLEMENTARIAS (IDN_DESPACHO, IDN_ITEM, "
                                 "Codigo, Valor)"),
                  info);
    const QString code = exportDuty ? QStringLiteral("070") : QStringLiteral("010");
    sql += QStringLiteral("INSERT INTO CARATULA_LIQUIDACIONES (IDN_DESPACHO, CODIGO_CONCEPTO, "
                          "MONTO_CONCEPTO, TIPO_OBLIGACION) VALUES ('%1', '%2', 5000.00, 'A');\n")
               .arg(despacho, code);
    if (!exportDuty)
        sql += QStringLiteral("INSERT INTO CARATULA_INGRESOS_BRUTOS (IDN_DESPACHO, JURISDICCION, "
                              "PORC_DISTRIBUCION) VALUES ('%1', '901', 1.0);\n")
                   .arg(despacho);
    sql += QStringLiteral("INSERT INTO CARATULA_DOCUMENTOS (IDN_DESPACHO, Codigo, REFERENCIA) VALUES "
                          "('%1', 'FACTURACOMERCIAL', 'INV-BENCH-1');\n")
               .arg(despacho);
    return sql;
}

// The interno's articles (5 per subitem, grouped under it), its parties and, for an import whose
// DI cancels a licence, the DI lines under `di` and the licence lines under the interno.
QString internoRows(const QString &interno, int items, const QStringList &partyTypes, const QString &di)
{
    QStringList lines, groups, art;
    int id = 0;
    for (int i = 1; i <= items; ++i) {
        for (int s = 1; s <= kSubitems; ++s) {
            groups << QStringLiteral("('%1', %2, '%3', 25, 2500.00, 'G-%2-%3', 'Grupo %2/%3', "
                                     "'AA(MARCA%2) AB(MODELO%3)')")
                          .arg(interno, QString::number(i), num4(s));
            for (int a = 1; a <= kArticles; ++a) {
                ++id;
                const QString art_ = QStringLiteral("A-%1-%2-%3").arg(i).arg(s).arg(a);
                lines << QStringLiteral("(%1, '%2', '%3', '%4', '%5', 'Articulo %5', 5, 'ITR-%1', "
                                        "'INV-BENCH-1', NULL, %6, 'AA(MARCA%7) AB(MODELO%4)')")
                             .arg(QString::number(id), interno, num4(i), num4(s), art_,
                                  QString::number(a), QString::number(i));
                if (!di.isEmpty() && i == 1) {
                    art << QStringLiteral("('%1', %2, '%3', NULL, NULL, 'Articulo %3', 5, 'INV-BENCH-1', "
                                          "'ITR-%2', '%2', 'PO-BENCH', '26001DJAI000007K', '%4', '%5')")
                               .arg(di, QString::number(id), art_, num4(i), num4(s));
                    art << QStringLiteral("('%1', %2, '%3', NULL, NULL, 'Articulo %3', 5, 'INV-BENCH-1', "
                                          "'ITR-%2', '%2', 'PO-BENCH', NULL, NULL, NULL)")
                               .arg(interno, QString::number(id), art_);
                }
            }
        }
    }
    QString sql;
    sql += QStringLiteral("INSERT INTO Caratula (Interno, cuitdespaduana) VALUES ('%1', '20184512347');\n")
               .arg(interno);
    sql += QStringLiteral("INSERT INTO IntN (Intnro, WaybillReferenceCode) VALUES ('%1', 'BL-%1');\n")
               .arg(interno);
    sql += insert(QStringLiteral("INSERT INTO Subitems (ID, Interno, NROITEM, NROSUBITEM, IdArticulo, "
                                 "Descripcion, Cantidad, Otros, Factura_Nro, CodArtAlternativo, IDEXT, "
                                 "Sufijos)"),
                  lines);
    sql += insert(QStringLiteral("INSERT INTO GroupSubitems (INTERNO, ID, NROSUBITEM, CANTIDAD, FOB, "
                                 "IdArticulo, Descripcion, Sufijos)"),
                  groups);
    sql += insert(QStringLiteral("INSERT INTO ART (INTNRO, ARTORD, artNRO, ART_ITS, ARTNRO2, ARTDSC, artCAN, "
                                 "ARTFAC, itemReferenceCode, dvn_orderitemitemnumber, "
                                 "dvn_orderitemordernumber, DECLARACION_CANCELA, ITEM_CANCELA, "
                                 "SUBITEM_CANCELA)"),
                  art);
    QStringList parties;
    for (const QString &type : partyTypes)
        parties << QStringLiteral("('%1', 0, NULL, '%2', '30-71234567-9', 'Empresa %2 S.A.', 'AR', "
                                  "'Av. Corrientes 1234', 'Buenos Aires', 'CABA', 'C1043AAZ', '+54 11 4321-5500')")
                       .arg(interno, type);
    sql += insert(QStringLiteral("INSERT INTO requestentitydvn (INTNRO, ITEMARTID, INVOICENUMBER, entityType, "
                                 "entityReferenceCode, entityName, entityCountry, entityAddress, entityCity, "
                                 "entityState, entityPostalCode, entityPhone)"),
                  parties);
    return sql;
}

}  // namespace

namespace {

// What sets one synthetic declaration apart from the others.
struct Shape {
    QString despacho, destinacion, interno, divisa, processRC, di;
    bool cancels = false, exportDuty = false, licence = false, distinct = false;
    QStringList parties;
};

Workload declarationWorkload(const Shape &d, int items)
{
    Workload w;
    w.number = d.despacho;
    w.historial = caratula(d.despacho, d.destinacion, d.interno, d.divisa, d.processRC)
        + declarationRows(d.despacho, items, d.cancels, d.exportDuty, d.licence, d.distinct);
    w.internos = internoRows(d.interno, items, d.parties, d.di);
    if (d.distinct) {
        QStringList positions;
        for (int i = 1; i <= items; ++i)
            positions << QStringLiteral("('%1', '000', 'X', 'TELEFONOS DEL ITEM %2', 'PARA REDES INALAMBRICAS', "
                                        "'MODELO %2', '')")
                             .arg(distinctPosition(i), QString::number(i));
        w.ncm = insert(QStringLiteral("INSERT INTO ncm ([001], [002], [003], [004], [005], [006], [010])"),
                       positions);
        w.bareInternos = true;
    }
    return w;
}

const QStringList kImportParties{QStringLiteral("IMPORTER"), QStringLiteral("SUPPLIER")};

Shape importShape(bool foreign)
{
    Shape d;
    d.despacho = foreign ? QStringLiteral("26001IC04000902E") : QStringLiteral("26001IC04000901D");
    d.destinacion = QStringLiteral("IC04");
    d.interno = foreign ? QStringLiteral("BX-IMPE") : QStringLiteral("BX-IMP");
    d.divisa = foreign ? QStringLiteral("060") : QStringLiteral("DOL");
    d.processRC = d.di = QStringLiteral("BX-DI");
    d.cancels = true;
    d.parties = kImportParties;
    return d;
}

Shape exportShape()
{
    Shape d;
    d.despacho = QStringLiteral("26001EC01000903F");
    d.destinacion = QStringLiteral("EC01");
    d.interno = d.processRC = QStringLiteral("BX-EXP");
    d.divisa = QStringLiteral("DOL");
    d.exportDuty = true;
    d.parties = {QStringLiteral("EXPORTER"), QStringLiteral("BUYER")};
    return d;
}

Shape licenceShape()
{
    Shape d;
    d.despacho = QStringLiteral("26001DJAI000904G");
    d.destinacion = QStringLiteral("DJAI");
    d.interno = QStringLiteral("BX-LIC");
    d.divisa = QStringLiteral("DOL");
    d.licence = true;
    d.parties = kImportParties;
    return d;
}

Shape distinct(Shape d)
{
    d.distinct = true;
    return d;
}

}  // namespace

Workload importWorkload(int items, bool foreign) { return declarationWorkload(importShape(foreign), items); }
Workload exportWorkload(int items) { return declarationWorkload(exportShape(), items); }
Workload licenceWorkload(int items) { return declarationWorkload(licenceShape(), items); }
// The distinct import is its own process interno: every subitem finds its grouped subitem and
// its articles under the interno (no DI, so no licence lines shared by the items).
Workload distinctImportWorkload(int items, bool foreign)
{
    Shape d = distinct(importShape(foreign));
    d.processRC = d.interno;
    d.di.clear();
    d.cancels = false;
    return declarationWorkload(d, items);
}
Workload distinctExportWorkload(int items) { return declarationWorkload(distinct(exportShape()), items); }
Workload distinctLicenceWorkload(int items) { return declarationWorkload(distinct(licenceShape()), items); }

Workload listWorkload(int count)
{
    QStringList rows;
    for (int i = 1; i <= count; ++i)
        rows << QStringLiteral("('26001IC04%1', 'IC04', '001', 'LS-%1', date('now') || ' 08:00:00', 'OFIC', "
                               "'1', 'FOB', 'DOL', 'DOL', 'DOL', 1000.00, 0, 0, 1000.00, 1050.00, 10.00)")
                    .arg(i, 7, 10, QLatin1Char('0'));
    Workload w;
    w.historial = insert(QStringLiteral(
                             "INSERT INTO CARATULA_CARATULA (DESPACHO, DESTINACION, COD_ADUANA, "
                             "IDENTIFICADOR_PROPIO, FECHA_OFICIALIZACION, ESTADO_DECLARACION, "
                             "MEDIO_TRANSPORTE, CONDICION_VENTA, DIVISA_FOB, DIVISA_FLETE, DIVISA_SEGURO, "
                             "MONTO_FOB, MONTO_FLETE, MONTO_SEGURO, BASE_IMPONIBLE, COTIZACION_PAGOS, "
                             "PESO_BRUTO_BULTOS)"),
                         rows);
    return w;
}

}  // namespace bench
