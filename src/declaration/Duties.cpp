#include "declaration/Duties.h"

#include "data/DataAccess.h"
#include "lookups/Currency.h"
#include "platform/Boxes.h"
#include "runtime/Errors.h"
#include "runtime/Numbers.h"
#include "runtime/Queries.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

#include <optional>
#include <utility>

namespace b2d {

namespace {

const QString kHistorial = QStringLiteral("HISTORIAL");
const QString kModule = QStringLiteral("Mod_Main");

// The duty type text: description, concept code and obligation type, each included when its
// switch is on, joined with nothing between them.
QString tipoConcepto(const Runtime &rt, const QString &descripcion, const QString &codigo,
                     const QString &tipoObligacion)
{
    QString tipo;
    if (rt.cfg.CONCEPTOSDESCRIPCION)
        tipo += descripcion;
    if (rt.cfg.CONCEPTOSSIM)
        tipo += codigo;
    if (rt.cfg.TIPOOBLIGACION)
        tipo += tipoObligacion;
    return tipo;
}

// A percentage of an item or product duty: "0.00" is never written, the smallest value is 0.01.
QString porcentaje(double value)
{
    const QString text = mask2(value);
    return text == QLatin1String("0.00") ? QStringLiteral("0.01") : text;
}

QString monedaDolar(Runtime &rt)
{
    double rate = 0;
    return EquivalenciaMonedas(rt, QStringLiteral("DOL"), rate);
}

// type, value and currency of every duty element.
QString dutyBody(Runtime &rt, const QString &tipo, double monto)
{
    return xmlElement(QStringLiteral("dutyType"), tipo)
        + xmlElement(QStringLiteral("dutyValue"), mask2(monto))
        + xmlElement(QStringLiteral("dutyCurrency"), monedaDolar(rt));
}

QString declarationDuty(Runtime &rt, const QString &tipo, double monto)
{
    return QStringLiteral("<declarationDuty>") + dutyBody(rt, tipo, monto)
        + QStringLiteral("</declarationDuty>");
}

// An item or product duty: with its taxable base and percentage.
QString itemDuty(Runtime &rt, const QString &tag, const QString &tipo, double monto, double base,
                 double coeficiente)
{
    return QLatin1Char('<') + tag + QLatin1Char('>') + dutyBody(rt, tipo, monto)
        + xmlElement(QStringLiteral("dutyBasisOfCalculus"), mask2(base))
        + xmlElement(QStringLiteral("dutyPercentage"), porcentaje(coeficiente))
        + QStringLiteral("</") + tag + QLatin1Char('>');
}

// A concept of an item that TAX does not know: the document cannot be completed and the program
// ends so that the table gets fixed first.
[[noreturn]] void conceptoDesconocido(Runtime &rt, const QString &codigo)
{
    rt.boxes.inform(QStringLiteral("Informacion incompleta en la tabla de jurisdicciones [TAX], "
                                   "verificarlo")
                        + QLatin1Char('\n') + QStringLiteral("y reintentar.") + QLatin1Char('\n')
                        + QStringLiteral("ID:") + codigo + QLatin1Char('\n')
                        + QStringLiteral("El Programa se cerrara."),
                    BoxIcon::Critical, Runtime::appTitle());
    FinalizarPrograma(rt, QStringLiteral("Concepto sin descripcion en TAX: ") + codigo);
}

// The declaration-level duties share one shape: a query, then one declarationDuty a row whose
// type text comes from the row's description, code and obligation type. A failure shows the
// builder's standard box and keeps the elements built so far.
template <typename Description>
QString declarationDuties(Runtime &rt, const QString &sql, const char *codigoColumn,
                          const char *tipoColumn, const QString &traceLabel,
                          const QString &procedure, Description description)
{
    QString out;
    try {
        Recordset rs;
        if (!openQuery(rt, kHistorial, sql, rs))
            return out;
        while (!rs.EOF_()) {
            const QString tipo = tipoConcepto(rt, description(rs), columnText(rs, codigoColumn),
                                              columnText(rs, tipoColumn));
            rt.trace(traceLabel + tipo);
            out += declarationDuty(rt, tipo, columnNumber(rt, rs, "MONTO"));
            rs.MoveNext();
        }
    } catch (const B2DError &e) {
        showStandardError(rt, e, procedure, kModule);
    }
    return out;
}

}  // namespace

QString GetCaratulaConceptos(Runtime &rt, const QString & /*monedaFob*/)
{
    const QString sql =
        QStringLiteral("SELECT TAX.LTAXABR AS DESCRIPCION,CARATULA_LIQUIDACIONES.MONTO_CONCEPTO AS "
                       "MONTO , CARATULA_LIQUIDACIONES.CODIGO_CONCEPTO as CODIGO, "
                       "CARATULA_LIQUIDACIONES.TIPO_OBLIGACION as TIPO")
        + QStringLiteral(" From TAX, CARATULA_LIQUIDACIONES")
        + QStringLiteral(" WHERE IDN_DESPACHO = '") + sqlQuote(rt.Despacho) + QStringLiteral("'")
        + QStringLiteral(" AND TAX.CTAX = CARATULA_LIQUIDACIONES.CODIGO_CONCEPTO and")
        + QStringLiteral(" CTAX NOT IN ('429','450','451','452','453','454','455','456','457','458',"
                         "'459','460','461','462','463','464','465','466','467','468','469','470',"
                         "'471','472')");
    return declarationDuties(rt, sql, "CODIGO", "Tipo", QStringLiteral("Concepto Caratula: "),
                             QStringLiteral("GetCaratulaConceptos"),
                             [](const Recordset &rs) { return columnText(rs, "DESCRIPCION"); });
}

QString GetCaratulaINGBRUTOS(Runtime &rt, const QString & /*monedaFob*/)
{
    const QString sql =
        QStringLiteral("SELECT SUM(CAST(MONTO_CONCEPTO as FLOAT)) AS MONTO , TIPO_OBLIGACION , "
                       "CODIGO_CONCEPTO")
        + QStringLiteral(" From ITEMS_LIQUIDACION_ITEM")
        + QStringLiteral(" WHERE CODIGO_CONCEPTO = '900' AND IDN_DESPACHO = '")
        + sqlQuote(rt.Despacho) + QStringLiteral("'")
        + QStringLiteral(" GROUP BY TIPO_OBLIGACION, CODIGO_CONCEPTO");
    return declarationDuties(rt, sql, "CODIGO_CONCEPTO", "tipo_obligacion",
                             QStringLiteral("Concepto en Caratula INGBRUTOS: "),
                             QStringLiteral("GetCaratulaINGBRUTOS"),
                             [](const Recordset &) { return QStringLiteral("INGRESOS BRUTOS"); });
}

QString GetCaratulaINGBRUTOSDesglose(Runtime &rt)
{
    const QString sql =
        QStringLiteral("SELECT cast(caratula_LIQUIDACIONES.MONTO_CONCEPTO as numeric(18,7)) AS MONTO ")
        + QStringLiteral(",caratula_LIQUIDACIONES.CODIGO_CONCEPTO ")
        + QStringLiteral(",caratula_ingresos_brutos.PORC_DISTRIBUCION ")
        + QStringLiteral(",NombreConcepto=(SELECT JRDPRV FROM JRD WHERE "
                         "JRDEXT=caratula_LIQUIDACIONes.CODIGO_CONCEPTO),caratula_LIQUIDACIONES."
                         "TIPO_OBLIGACION ")
        + QStringLiteral("From CARATULA_LIQUIDACIONES ")
        + QStringLiteral("INNER JOIN CARATULA_INGRESOS_BRUTOS ON "
                         "(CARATULA_INGRESOS_BRUTOS.IDN_DESPACHO = "
                         "CARATULA_LIQUIDACIONES.IDN_DESPACHO) ")
        + QStringLiteral("INNER JOIN JRD ON (CARATULA_LIQUIDACIONES.CODIGO_CONCEPTO = JRD.JRDEXT "
                         "AND CARATULA_INGRESOS_BRUTOS.JURISDICCION = JRD.JRDNRO) ")
        + QStringLiteral("WHERE CARATULA_LIQUIDACIONES.IDN_DESPACHO ='") + sqlQuote(rt.Despacho)
        + QStringLiteral("'");
    // The amount is the one liquidated for the jurisdiction's concept, as it stands.
    return declarationDuties(rt, sql, "CODIGO_CONCEPTO", "tipo_obligacion",
                             QStringLiteral("Concepto INGBRUTOS Desglose: "),
                             QStringLiteral("GetCaratulaINGBRUTOS"), [](const Recordset &rs) -> QString {
                                 return QStringLiteral("IIBB ") + columnText(rs, "NombreConcepto");
                             });
}

namespace {

// The common loop of the two item builders. `prorrateo` is empty for the plain item duties and
// holds {total, share} for the prorated product duties.
QString itemConceptos(Runtime &rt, const QString &item, const QString &whereItem, bool producto,
                      const std::optional<std::pair<double, double>> &prorrateo)
{
    QString out;
    int linea = 10;
    try {
        const QString sql =
            QStringLiteral("SELECT DISTINCT ITEMS_LIQUIDACION_ITEM.MONTO_CONCEPTO AS MONTO,")
            + QStringLiteral(" ITEMS_LIQUIDACION_ITEM.BASE_IMPONIBLE,ITEMS_LIQUIDACION_ITEM.COEFICIENTE,"
                             "ITEMS_LIQUIDACION_ITEM.CODIGO_CONCEPTO,ITEMS_LIQUIDACION_ITEM."
                             "TIPO_OBLIGACION")
            + QStringLiteral(" From ITEMS_LIQUIDACION_ITEM")
            + QStringLiteral(" WHERE IDN_DESPACHO = '") + sqlQuote(rt.Despacho) + QStringLiteral("'")
            + whereItem;
        Recordset rs;
        linea = 20;
        if (!openQuery(rt, kHistorial, sql, rs))
            return out;
        const QString tag = producto ? QStringLiteral("productDuty")
                                     : QStringLiteral("declarationItemDuty");
        while (!rs.EOF_()) {
            linea = 30;
            const QString codigo = columnText(rs, "CODIGO_CONCEPTO");
            const QString descripcion = GetConceptoDescripcion(rt, codigo);
            if (descripcion.isEmpty())
                conceptoDesconocido(rt, codigo);
            linea = 40;
            const QString tipo = tipoConcepto(rt, descripcion, codigo, columnText(rs, "tipo_obligacion"));
            rt.trace(QStringLiteral("Concepto ITEM ") + item + QStringLiteral(": ") + tipo);
            double monto = columnNumber(rt, rs, "MONTO");
            double base = columnNumber(rt, rs, "BASE_IMPONIBLE");
            double coeficiente = columnNumber(rt, rs, "COEFICIENTE");
            if (prorrateo) {
                linea = 50;
                const auto [total, share] = *prorrateo;
                monto = CalcularProrrateo(rt, total, share, monto);
                base = CalcularProrrateo(rt, total, share, base);
                coeficiente = CalcularProrrateo(rt, total, share, coeficiente);
            }
            linea = 60;
            out += itemDuty(rt, tag, tipo, monto, base, coeficiente);
            rs.MoveNext();
        }
    } catch (const B2DError &e) {
        showLineError(rt, e, QStringLiteral("GetItemConceptos"), kModule, linea);
    }
    return out;
}

}  // namespace

QString GetItemConceptos(Runtime &rt, const QString &item, const QString & /*unused*/, bool producto)
{
    return itemConceptos(rt, item,
                         QStringLiteral(" AND IDN_ITEM = '") + sqlQuote(item) + QStringLiteral("'"),
                         producto, std::nullopt);
}

QString GetItemConceptosProrrateados(Runtime &rt, const QString &item, const QString & /*unused*/,
                                     double total, double share)
{
    // The item number goes in unquoted here.
    return itemConceptos(rt, item, QStringLiteral(" AND IDN_ITEM = ") + item, true,
                         std::make_pair(total, share));
}

QString GetItemINGBRUTOSDesglose(Runtime &rt, const QString &despacho, const QString &item)
{
    QString out;
    try {
        const QString sql =
            QStringLiteral(" SELECT ") + QStringLiteral("ITEMS_LIQUIDACION_ITEM.IDN_DESPACHO,")
            + QStringLiteral("ITEMS_LIQUIDACION_ITEM.IDN_ITEM,")
            + QStringLiteral("ITEMS_LIQUIDACION_ITEM.CODIGO_CONCEPTO,")
            + QStringLiteral("ITEMS_LIQUIDACION_ITEM.TIPO_OBLIGACION,")
            + QStringLiteral("CARATULA_INGRESOS_BRUTOS.JURISDICCION,")
            + QStringLiteral("NombreConcepto=(SELECT JRDPRV FROM JRD WHERE "
                             "JRDNRO=CARATULA_INGRESOS_BRUTOS.JURISDICCION),")
            + QStringLiteral("CODIGOJRDMARIA=(SELECT JRDEXT FROM JRD WHERE "
                             "JRDNRO=CARATULA_INGRESOS_BRUTOS.JURISDICCION),")
            + QStringLiteral("ITEMS_LIQUIDACION_ITEM.MONTO_CONCEPTO,")
            + QStringLiteral("CARATULA_INGRESOS_BRUTOS.PORC_DISTRIBUCION,")
            + QStringLiteral("MONTOITEM=cast(ITEMS_LIQUIDACION_ITEM.MONTO_CONCEPTO as "
                             "numeric(18,7))*cast(CARATULA_INGRESOS_BRUTOS.PORC_DISTRIBUCION as "
                             "numeric(18,7))")
            + QStringLiteral(" From ITEMS_LIQUIDACION_ITEM")
            + QStringLiteral(" LEFT JOIN CARATULA_INGRESOS_BRUTOS on "
                             "ITEMS_LIQUIDACION_ITEM.IDN_DESPACHO=CARATULA_INGRESOS_BRUTOS.IDN_DESPACHO")
            + QStringLiteral(" WHERE  ITEMS_LIQUIDACION_ITEM.CODIGO_CONCEPTO='900' and ")
            + QStringLiteral(" items_liquidacion_item.idn_Despacho = '") + sqlQuote(despacho)
            + QStringLiteral("' and items_liquidacion_item.idn_item = '") + sqlQuote(item)
            + QStringLiteral("'");
        Recordset rs;
        if (!openQuery(rt, kHistorial, sql, rs))
            return out;
        while (!rs.EOF_()) {
            const QString tipo = tipoConcepto(rt, QStringLiteral("IIBB ") + columnText(rs, "NombreConcepto"),
                                              columnText(rs, "CODIGOJRDMARIA"), columnText(rs, "tipo_obligacion"));
            rt.trace(QStringLiteral("Concepto ITEM INGBRUT DESGLOSE :") + tipo);
            const double monto = columnNumber(rt, rs, "MONTOITEM");
            const double base = columnNumber(rt, rs, "monto_concepto");
            const double porcentajeDistribucion = columnNumber(rt, rs, "PORC_DISTRIBUCION");
            out += itemDuty(rt, QStringLiteral("declarationItemDuty"), tipo, monto, base,
                            porcentajeDistribucion);
            rs.MoveNext();
        }
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("GetItemINGBRUTOSDesglose"), kModule);
    }
    return out;
}

QString GetConceptoDescripcion(Runtime &rt, const QString &concepto)
{
    QString descripcion;
    int linea = 10;
    try {
        Recordset rs;
        if (openQuery(rt, kHistorial,
                      QStringLiteral("Select LTAXABR FROM TAX WHERE TAX.CTAX = '") + sqlQuote(concepto)
                          + QStringLiteral("'"),
                      rs)) {
            linea = 20;
            descripcion = columnText(rs, "LTAXABR");
        }
    } catch (const B2DError &e) {
        showLineError(rt, e, QStringLiteral("GetConceptoDescripcion"), kModule, linea);
    }
    return descripcion;
}

}  // namespace b2d
