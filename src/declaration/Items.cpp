#include "declaration/Items.h"

#include "data/DataAccess.h"
#include "declaration/Builders.h"
#include "declaration/Duties.h"
#include "declaration/SubitemLookups.h"
#include "lookups/CodeMappings.h"
#include "lookups/Currency.h"
#include "runtime/Errors.h"
#include "runtime/Numbers.h"
#include "runtime/Queries.h"
#include "runtime/RunLog.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

namespace {

const QString kHistorial = QStringLiteral("HISTORIAL");
const QString kModule = QStringLiteral("Mod_Main");
const QString kSeparator = QStringLiteral("|||");

}  // namespace

QString itemsQuery(const QString &monedaFob, const QString &despacho, bool licencia)
{
    // A declaration also selects (and groups by) its adjustments and its number.
    const bool usd = monedaFob == QLatin1String("USD");
    const QString adjustments = QStringLiteral(",AJUSTE_A_INCLUIR,AJUSTE_A_DEDUCIR,IDN_DESPACHO");
    const QString selected = licencia ? QString() : adjustments;
    const QString grouped = licencia ? QString() : usd ? adjustments : QStringLiteral(",IDN_DESPACHO");
    if (!usd)
        return QStringLiteral("SELECT NRO_ITEM, POSICION_ARANCELARIA, CANTIDAD_ESTADISTICA, "
                              "UNIDAD_ESTADISTICA, MONTO_FOB_DIV, BASE_IMPONIBLE_DOL, MONTO_FLETE, "
                              "MONTO_SEGURO, PESO_NETO_KGR, EXISTENCIA_SUBITEM, CANTIDAD_DECLARADA, "
                              "PRECIO_UNITARIO, MONTO_FOB_DOL, DECLARACION_A_CANCELAR, "
                              "NRO_ITEM_A_CANCELAR, ")
            + QStringLiteral(" SUM(CAST(BASE_IMPONIBLE_DIV AS FLOAT)) as BID, "
                             "SUM(CAST(AJUSTE_A_INCLUIR AS FLOAT)) as AAI, "
                             "SUM(CAST(AJUSTE_A_DEDUCIR AS FLOAT)) as AAD  , UNIDAD_DECLARADA , "
                             "PAIS_ORIGEN,PAIS_PROCEDENCIA,ESTADO_MERCADERIA")
            + selected + QStringLiteral(" FROM ITEMS_ARTICULOS")
            + QStringLiteral(" WHERE IDN_DESPACHO = '") + sqlQuote(despacho) + QStringLiteral("'")
            + QStringLiteral(" GROUP BY NRO_ITEM, POSICION_ARANCELARIA, CANTIDAD_ESTADISTICA, "
                             "UNIDAD_ESTADISTICA, MONTO_FOB_DIV, BASE_IMPONIBLE_DOL, MONTO_FLETE, "
                             "MONTO_SEGURO, PESO_NETO_KGR, EXISTENCIA_SUBITEM, CANTIDAD_DECLARADA, "
                             "PRECIO_UNITARIO, MONTO_FOB_DOL,  DECLARACION_A_CANCELAR, "
                             "NRO_ITEM_A_CANCELAR ,base_imponible_div, ajuste_a_incluir, "
                             "ajuste_a_deducir , UNIDAD_DECLARADA ,PAIS_ORIGEN,PAIS_PROCEDENCIA, "
                             "ESTADO_MERCADERIA")
            + grouped + QStringLiteral(" ORDER BY NRO_ITEM");
    return QStringLiteral("SELECT NRO_ITEM,POSICION_ARANCELARIA,CANTIDAD_ESTADISTICA,"
                          "UNIDAD_ESTADISTICA, MONTO_FOB_DIV,BASE_IMPONIBLE_DOL,MONTO_FLETE,"
                          "MONTO_SEGURO,PESO_NETO_KGR,EXISTENCIA_SUBITEM,CANTIDAD_DECLARADA,"
                          "PRECIO_UNITARIO,MONTO_FOB_DOL,")
        + QStringLiteral(" SUM(CAST(BASE_IMPONIBLE_DIV AS FLOAT) - CAST(AJUSTE_A_INCLUIR AS FLOAT) "
                         "+ CAST(AJUSTE_A_DEDUCIR AS FLOAT)) AS VALOR_CIF_ITEM , "
                         "DECLARACION_A_CANCELAR, NRO_ITEM_A_CANCELAR ,UNIDAD_DECLARADA, "
                         "PAIS_ORIGEN,PAIS_PROCEDENCIA,ESTADO_MERCADERIA")
        + selected + QStringLiteral(" FROM ITEMS_ARTICULOS")
        + QStringLiteral(" WHERE IDN_DESPACHO = '") + sqlQuote(despacho) + QStringLiteral("'")
        + QStringLiteral(" GROUP BY NRO_ITEM, POSICION_ARANCELARIA,CANTIDAD_ESTADISTICA,"
                         "UNIDAD_ESTADISTICA,MONTO_FOB_DIV,BASE_IMPONIBLE_DOL,MONTO_FLETE,"
                         "MONTO_SEGURO,PESO_NETO_KGR,EXISTENCIA_SUBITEM,CANTIDAD_DECLARADA,"
                         "PRECIO_UNITARIO,MONTO_FOB_DOL , DECLARACION_A_CANCELAR, "
                         "NRO_ITEM_A_CANCELAR , UNIDAD_DECLARADA, PAIS_ORIGEN,PAIS_PROCEDENCIA,"
                         "ESTADO_MERCADERIA")
        + grouped + QStringLiteral(" ORDER BY NRO_ITEM");
}

namespace {

// An item expense: its type's mapping first, then its amount from the item's row.
QString itemExpense(Runtime &rt, const char *tipo, const Recordset &rs, const char *column,
                    const QString &moneda)
{
    const QString tipoRelacion = ObtenerRelacionConcepto(rt, QLatin1String(tipo));
    const double valor = columnNumber(rt, rs, column);
    return QStringLiteral("<declarationItemExpense>") + xmlElement("expenseType", tipoRelacion)
        + xmlElement("expenseValue", mask2(valor)) + xmlElement("expenseCurrency", moneda)
        + QStringLiteral("</declarationItemExpense>");
}

// The product builder of an item: by whether it has subitems and whether the declaration is an
// export. Export items with subitems go through the subitem walker.
DeclarationBuilders::ProductBuilder productBuilder(const DeclarationBuilders &builders,
                                                   bool conSubitems, bool exportacion)
{
    if (!exportacion)
        return conSubitems ? builders.importProductsWithSubitems
                           : builders.importProductsWithoutSubitems;
    if (!conSubitems)
        return builders.exportProductsWithoutSubitems;
    return [&builders](Runtime &rt, const ItemProductInput &in, QStringList &) {
        return GetSubitemInfo_V2(rt, builders, in.itemNumber, in.fobDiv, in.cif, in.netWeight,
                                 in.brokerReferenceCode, in.cantidadDeclarada, in.item,
                                 in.monedaFlete, in.monedaSeguro, in.monedaFob);
    };
}

// The parties of the item's article lines: several lines through one prepared query, a single
// line by its article number and invoice, none without lines.
QString itemEntities(Runtime &rt, const DeclarationBuilders &builders, const QStringList &articles,
                     const QString &brokerReferenceCode, const QString &processReferenceCode)
{
    const qsizetype entries = articles.size() - 1;  // slot 0 is not used
    if (entries < 1 || !builders.importEntity)
        return {};
    const QString interno = rt.cfg.OMITIRRELACIONDJDI ? processReferenceCode : brokerReferenceCode;
    if (entries >= 2) {
        const QString query = builders.importEntityQuery
            ? builders.importEntityQuery(rt, brokerReferenceCode, articles)
            : QString();
        return builders.importEntity(rt, interno, 0, QString(), query);
    }
    const QString &entry = articles.at(1);
    const qsizetype at = entry.indexOf(kSeparator);
    const QString articulo = at < 0 ? entry : entry.left(at);
    const QString factura = at < 0 ? QString() : entry.mid(at + kSeparator.size());
    const NumberReading r = readNumberValue(articulo);
    if (r.kind != NumberKind::Number) {
        // The box shows the bare failure; which article line it was goes to the run log.
        rt.log.EscribirLog(QStringLiteral("Type mismatch: article line \"%1\" is not a number").arg(articulo));
        throw B2DError(ErrNo::TypeMismatch, QLatin1String(kAppName), QStringLiteral("Type mismatch"));
    }
    return builders.importEntity(rt, interno, int(r.value), factura, QString());
}

}  // namespace

void GetItemInfo(Runtime &rt, const DeclarationBuilders &builders, const QString &monedaFob,
                 const QString &monedaFlete, const QString &monedaSeguro, const QString &condicionVenta,
                 const QString &brokerReferenceCode, const QString &subregimen,
                 const QString &processReferenceCode, const ItemTextSink &sink)
{
    int linea = 10;
    try {
        const bool exportacion = subregimen == QLatin1String("E") || subregimen == QLatin1String("R");
        const bool enDolares = monedaFob == QLatin1String("USD");

        linea = 20;
        Recordset rs;
        if (!openQuery(rt, kHistorial, itemsQuery(monedaFob, rt.Despacho), rs))
            return;

        while (!rs.EOF_()) {
            // The article list holds the article lines of this item only.
            linea = 30;
            QStringList articles{QString()};
            const QString item = columnText(rs, "NRo_item");
            rt.progress(rs.AbsolutePosition(), rs.RecordCount());
            rt.trace(QStringLiteral("***** [ Procesando Item: ") + item + QStringLiteral(" ] *****"));

            // The item's value in dollars.
            linea = 40;
            double rate = 1.0;
            double cif = 0;
            // Each figure is read in its own step, in the order given, so that the statements,
            // boxes and log lines of the reads come in that order too.
            if (!enDolares) {
                EquivalenciaMonedas(rt, monedaFob, rate);
                const double bid = columnNumber(rt, rs, "BID");
                const double aai = columnNumber(rt, rs, "AAI");
                const double aad = columnNumber(rt, rs, "AAD");
                cif = bid * rate + aai - aad;
            } else {
                const double fobDol = columnNumber(rt, rs, "MONTO_FOB_DOL");
                const double seguro = columnNumber(rt, rs, "MONTO_SEGURO");
                const double flete = columnNumber(rt, rs, "MONTO_FLETE");
                cif = fobDol + seguro + flete;
            }

            linea = 50;
            const QString posicion = columnText(rs, "POSICION_ARANCELARIA");
            QString hts = posicion;
            hts.remove(QLatin1Char('.'));
            QString itemXml = xmlElement("declarationItemSequenceNumber", item);
            itemXml += xmlElement("declarationItemHTS", hts);
            itemXml += xmlElement("declarationItemHTSDescription", GetNCMDescripcion(rt, posicion));
            itemXml += xmlElement("declarationItemStatisticalQuantity",
                                  mask2(columnNumber(rt, rs, "CANTIDAD_ESTADISTICA")));
            itemXml += xmlElement("declarationItemStatisticalUnity", columnText(rs, "UNIDAD_ESTADISTICA"));
            itemXml += xmlElement("declarationItemIncoterm", condicionVenta);
            itemXml += xmlElement("declarationItemCurrency", monedaFob);
            itemXml += xmlElement("declarationItemFOBValue", mask2(columnNumber(rt, rs, "Monto_Fob_Div")));

            linea = 60;
            if (!exportacion) {
                itemXml += itemExpense(rt, "FREIGHT", rs, "MONTO_FLETE", monedaFlete);
                itemXml += itemExpense(rt, "INSURANCE", rs, "MONTO_SEGURO", monedaSeguro);
                itemXml += itemExpense(rt, "AJUSTES A INCLUIR", rs, "AJUSTE_A_INCLUIR", monedaSeguro);
                itemXml += itemExpense(rt, "AJUSTES A DEDUCIR", rs, "AJUSTE_A_DEDUCIR", monedaSeguro);
            }

            linea = 70;
            itemXml += xmlElement("declarationItemCIFValue", mask2(cif));
            itemXml += xmlElement("declarationItemCustomsValue", mask2(cif));
            itemXml += GetItemConceptos(rt, item, monedaFob, false);
            if (rt.cfg.INCLUIRDETALLEJURIS)
                itemXml += GetItemINGBRUTOSDesglose(rt, rt.Despacho, item);

            linea = 80;
            itemXml += xmlElement("declarationItemNetWeight", mask2(columnNumber(rt, rs, "PESO_NETO_KGR")));
            itemXml += xmlElement("declarationItemGrossWeight", GetKILOBRUTOItem(rt, item));

            // The products of the item's articles.
            linea = 90;
            const bool conSubitems = columnText(rs, "EXISTENCIA_SUBITEM") == QLatin1String("S");
            rt.trace(QStringLiteral("EL ITEM ") + item
                     + (conSubitems ? QStringLiteral(": tiene subitems")
                                    : QStringLiteral(": no tiene subitems")));
            const DeclarationBuilders::ProductBuilder productos =
                productBuilder(builders, conSubitems, exportacion);
            if (productos) {
                const ItemProductInput in{rs,
                                          item,
                                          columnText(rs, "DECLARACION_A_CANCELAR"),
                                          columnText(rs, "NRO_ITEM_A_CANCELAR"),
                                          columnNumber(rt, rs, "Monto_Fob_Div"),
                                          columnNumber(rt, rs, "PESO_NETO_KGR"),
                                          columnNumber(rt, rs, "CANTIDAD_DECLARADA"),
                                          cif,
                                          rate,
                                          brokerReferenceCode,
                                          processReferenceCode,
                                          monedaFob,
                                          monedaFlete,
                                          monedaSeguro};
                itemXml += productos(rt, in, articles);
            }
            if (rt.generacionCancelada)
                return;

            linea = 100;
            itemXml += itemEntities(rt, builders, articles, brokerReferenceCode, processReferenceCode);

            linea = 110;
            itemXml += GetDeclarationsItemFlexField_InformacionComplementaria(rt, rs);

            sink(u"<declarationItem>");
            sink(itemXml);
            sink(u"</declarationItem>");
            rs.MoveNext();
        }
    } catch (const B2DError &e) {
        throw B2DError(ErrNo::Builder,
                       QStringLiteral("GetItemInfo linea ") + QString::number(linea)
                           + QStringLiteral(" :: ") + e.source(),
                       e.description());
    }
}

QString GetItemInfo(Runtime &rt, const DeclarationBuilders &builders, const QString &monedaFob,
                    const QString &monedaFlete, const QString &monedaSeguro,
                    const QString &condicionVenta, const QString &brokerReferenceCode,
                    const QString &subregimen, const QString &processReferenceCode)
{
    QString out;
    GetItemInfo(rt, builders, monedaFob, monedaFlete, monedaSeguro, condicionVenta, brokerReferenceCode,
                subregimen, processReferenceCode, [&out](QStringView piece) { out += piece; });
    return rt.generacionCancelada ? QString() : out;
}

QString GetKILOBRUTOItem(Runtime &rt, const QString &item)
{
    QString out;
    try {
        const QString sql =
            QStringLiteral("SELECT CAST(ITEMS_ARTICULOS.MONTO_FOB_DIV as float) as VALOR,")
            + QStringLiteral("CAST(CARATULA_CARATULA.MONTO_FOB as float) as VALORTOTAL,")
            + QStringLiteral("CAST(CARATULA_CARATULA.PESO_BRUTO_BULTOS as float) as VALORCALCULADO")
            + QStringLiteral(" FROM ITEMS_ARTICULOS , CARATULA_CARATULA")
            + QStringLiteral(" WHERE ITEMS_ARTICULOS.IDN_DESPACHO = '") + sqlQuote(rt.Despacho)
            + QStringLiteral("'")
            + QStringLiteral(" AND ITEMS_ARTICULOS.IDN_DESPACHO = CARATULA_CARATULA.DESPACHO ")
            + QStringLiteral(" AND ITEMS_ARTICULOS.NRO_ITEM = '") + sqlQuote(item) + QStringLiteral("'");
        Recordset rs;
        if (openQuery(rt, kHistorial, sql, rs)) {
            const double total = columnNumber(rt, rs, "valortotal");
            const double parte = columnNumber(rt, rs, "ValorCalculado");
            const double monto = columnNumber(rt, rs, "Valor");
            out = mask2(CalcularProrrateo(rt, total, parte, monto));
        }
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("GetKILOBRUTOItem"), kModule);
    }
    return out;
}

QString GetVALORENADUANAItem(Runtime &rt, const QString &item)
{
    QString out;
    try {
        Recordset rs;
        if (openQuery(rt, kHistorial,
                      QStringLiteral("SELECT BASE_IMPONIBLE_DOL as total")
                          + QStringLiteral(" FROM ITEMS_ARTICULOS")
                          + QStringLiteral(" WHERE IDN_DESPACHO = '") + sqlQuote(rt.Despacho)
                          + QStringLiteral("' AND NRO_ITEM = '") + sqlQuote(item)
                          + QStringLiteral("'"),
                      rs))
            out = mask2(columnNumber(rt, rs, "total"));
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("GetVALORENADUANAItem"), kModule);
    }
    return out;
}

QString GetDeclarationsItemFlexField_InformacionComplementaria(Runtime &rt, const Recordset &item)
{
    QString out;
    try {
        const QString banco =
            GetInformacionComplementaria(rt, columnText(item, "NRo_item"), QStringLiteral("BANCOSARGENTINA"));
        if (!banco.isEmpty())
            out = QStringLiteral("<declarationItemFlexField>")
                + xmlElement("flexFieldName", QStringLiteral("BANCO")) + xmlElement("flexFieldValue", banco)
                + QStringLiteral("</declarationItemFlexField>");
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("GetDeclarationsItemFlexField_InformacionComplementaria"),
                          kModule);
    }
    return out;
}

QString GetInformacionComplementaria(Runtime &rt, const QString &item, const QString &codigo)
{
    QString valor;
    Recordset rs;
    if (!openQuery(rt, kHistorial,
                   QStringLiteral("Select Valor From ITEMS_INFORMACION_COMPLEMENTARIAS where "
                                  "IDN_Despacho ='")
                       + sqlQuote(rt.Despacho) + QStringLiteral("' and IDN_ITEM  = '")
                       + sqlQuote(item) + QStringLiteral("' and Codigo = '") + sqlQuote(codigo)
                       + QStringLiteral("'"),
                   rs))
        return valor;
    for (; !rs.EOF_(); rs.MoveNext())
        valor = columnText(rs, "Valor");
    return valor;
}

namespace {

// The first row's column of an item's row of ITEMS_ARTICULOS; "" without rows.
QString itemColumn(Runtime &rt, const QString &column, const QString &item)
{
    Recordset rs;
    if (!openQuery(rt, kHistorial,
                   QStringLiteral("Select ") + column
                       + QStringLiteral(" From ITEMS_ARTICULOS where IDN_Despacho ='")
                       + sqlQuote(rt.Despacho) + QStringLiteral("' and NRO_ITEM  = '")
                       + sqlQuote(item) + QStringLiteral("'"),
                   rs))
        return {};
    return EsNulo(rs.field(column));
}

}  // namespace

QString GetCountryOfOrigin(Runtime &rt, const QString &item)
{
    const QString pais = itemColumn(rt, QStringLiteral("PAIS_ORIGEN"), item);
    rt.log.EscribirLog(QStringLiteral("GetCountryOfOrigin es: ") + pais);
    return pais;
}

QString GetCountryOfProvenance(Runtime &rt, const QString &item)
{
    return itemColumn(rt, QStringLiteral("PAIS_PROCEDENCIA"), item);
}

QString GetPaisNameFromID(Runtime &rt, const QString &codigo)
{
    rt.log.EscribirLog(QStringLiteral("valor bCFG_IgnorarRelacionPais: ")
                       + EsNulo(QVariant(rt.cfg.IGNORARRELACIONPAIS)));
    if (!rt.cfg.IGNORARRELACIONPAIS) {
        const QString pais = ObtenerRelacionPais(rt, codigo);
        rt.log.EscribirLog(QStringLiteral("GetPaisNameFromID.pais GetPaisRelacion(sValue): ") + pais);
        return pais;
    }
    Recordset rs;
    if (!openQuery(rt, QStringLiteral("INTERNOS"),
                   QStringLiteral("Select PAI from ORG Where ORI = '") + sqlQuote(codigo)
                       + QStringLiteral("'"),
                   rs))
        return {};
    QString pais;
    if (rt.cfg.PAISESSIM)
        pais = codigo;
    if (rt.cfg.PAISESDESCRIPCION)
        pais = QString(pais + QLatin1Char(' ') + columnText(rs, "PAI")).trimmed();
    rt.log.EscribirLog(QStringLiteral("GetPaisNameFromID.pais sPais: ") + pais);
    return pais;
}

}  // namespace b2d
