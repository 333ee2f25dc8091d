#include "declaration/Header.h"

#include "data/DataAccess.h"
#include "declaration/Builders.h"
#include "declaration/Duties.h"
#include "declaration/Prompts.h"
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
const QString kInternos = QStringLiteral("INTERNOS");
const QString kModule = QStringLiteral("Mod_Main");

// An element whose content is already a fragment of elements (not escaped again).
QString wrap(const QString &tag, const QString &fragment)
{
    return QLatin1Char('<') + tag + QLatin1Char('>') + fragment + QStringLiteral("</") + tag
        + QLatin1Char('>');
}

// An adjustment sum over the items. A declaration whose items carry no adjustments (or that has
// no items) sums to null, which counts as no adjustment. A sum that is no number is a type
// mismatch; the column and its value go to the run log.
double sumaAjuste(Runtime &rt, const Recordset &rs, const char *column)
{
    const QVariant value = rs.field(QLatin1String(column));
    if (value.isNull())
        return 0;
    const std::optional<double> n = readNumber(value);
    if (!n || !isNumeric(value)) {
        rt.log.EscribirLog(QStringLiteral("Type mismatch: %1 = %2 is not a number")
                               .arg(QLatin1String(column), value.toString()));
        throw B2DError(ErrNo::TypeMismatch, QLatin1String(kAppName), QStringLiteral("Type mismatch"));
    }
    return *n;
}

// The date-time of a declaration event: the date's own time, or the fixed time of day of
// PREDETERMINARHORA after the date. A value that is not a date gives no date part.
QString fechaEvento(const Runtime &rt, const QVariant &value)
{
    const std::optional<QDateTime> fecha = readDate(value);
    if (rt.cfg.PREDETERMINARHORA.isEmpty())
        return fecha ? isoDateTime(*fecha) : QString();
    return (fecha ? isoDate(fecha->date()) + QLatin1Char('T') : QString()) + rt.cfg.PREDETERMINARHORA;
}

QString evento(const QString &tipo, const QString &fechaHora)
{
    return wrap(QStringLiteral("declarationEvent"),
                xmlElement(QStringLiteral("eventType"), tipo)
                    + xmlElement(QStringLiteral("eventDateTime"), fechaHora));
}

QString gasto(const QString &tipo, double valor, const QString &moneda)
{
    return wrap(QStringLiteral("declarationExpense"),
                xmlElement(QStringLiteral("expenseType"), tipo)
                    + xmlElement(QStringLiteral("expenseValue"), mask2(valor))
                    + xmlElement(QStringLiteral("expenseCurrency"), moneda));
}

}  // namespace

QString GetCaratulaInfo(Runtime &rt, const DeclarationBuilders &builders, QString &monedaFob, QString &monedaFlete, QString &monedaSeguro,
                        QString &condicionVenta, QString &brokerReferenceCode,
                        QString &processReferenceCode)
{
    QString out;
    int linea = 10;
    try {
        const QString despacho = sqlQuote(rt.Despacho);
        const bool exportacion = rt.subregimen == QLatin1String("E")
            || rt.subregimen == QLatin1String("R");

        double ajd = 0;
        double aji = 0;
        Recordset rs;
        if (openQuery(rt, kHistorial,
                      QStringLiteral("select sum(cast(ajuste_a_deducir as float)) as AJD , "
                                     "sum(cast(ajuste_a_incluir as float)) as AJI from items_articulos "
                                     "where idn_despacho = '")
                          + despacho + QStringLiteral("'"),
                      rs)) {
            ajd = sumaAjuste(rt, rs, "AJD");
            aji = sumaAjuste(rt, rs, "AJI");
        }

        linea = 20;
        const QString sql =
            QStringLiteral("SELECT DIVISA_FOB, DIVISA_FLETE, DIVISA_SEGURO, CONDICION_VENTA, DESPACHO, "
                           "DESTINACION, IDENTIFICADOR_PROPIO, "
                           "MONTO_FOB,MONTO_FLETE,MONTO_SEGURO,BASE_IMPONIBLE,COD_ADUANA,")
            + QStringLiteral(" SUM(CAST(ISNULL(MONTO_FOB,0) AS FLOAT)+ CAST(ISNULL(MONTO_SEGURO,0) AS "
                             "FLOAT) + CAST(ISNULL(MONTO_FLETE,0) AS FLOAT)) AS MONTO_CIF,")
            + QStringLiteral(" COTIZACION_PAGOS , PESO_BRUTO_BULTOS,FECHA_OFICIALIZACION")
            + QStringLiteral(" From CARATULA_CARATULA") + QStringLiteral(" WHERE DESPACHO = '") + despacho
            + QStringLiteral("'")
            + QStringLiteral(" GROUP BY DIVISA_FOB, DIVISA_FLETE, DIVISA_SEGURO, CONDICION_VENTA, "
                             "DESPACHO, DESTINACION, IDENTIFICADOR_PROPIO, MONTO_FOB, COTIZACION_PAGOS, "
                             "PESO_BRUTO_BULTOS, "
                             "FECHA_OFICIALIZACION,MONTO_FLETE,MONTO_SEGURO,BASE_IMPONIBLE,COD_ADUANA");
        if (!openQuery(rt, kHistorial, sql, rs))
            return out;

        while (!rs.EOF_()) {
            linea = 30;
            out += xmlElement(QStringLiteral("declarationNumber"), columnText(rs, "DESPACHO"));
            out += xmlElement(QStringLiteral("declarationType"), columnText(rs, "DESTINACION"));
            out += xmlElement(QStringLiteral("declarationCustomsHouse"), columnText(rs, "COD_ADUANA"));

            // Reference codes. The operator's answers are handed back as given; only the
            // elements carry them with '#' turned into '_'.
            linea = 40;
            QString brokerDefault = columnText(rs, "IDENTIFICADOR_PROPIO");
            brokerReferenceCode = ObtenerBrokerReferenceCode(rt, brokerDefault);
            if (rt.generacionCancelada)
                return {};
            linea = 50;
            QString processDefault = GetDataFromDB(rt, QStringLiteral("ProcessRC"));
            QString proceso = ObtenerProcessReferenceCode(rt, processDefault);
            proceso.replace(QLatin1Char('#'), QLatin1Char('_'));
            if (rt.generacionCancelada)
                return {};
            const qsizetype corte = proceso.indexOf(QLatin1Char('_'));
            if (corte >= 0)
                proceso.truncate(corte);
            processReferenceCode = proceso;

            QString broker = brokerReferenceCode;
            broker.replace(QLatin1Char('#'), QLatin1Char('_'));
            linea = 60;
            if (!rt.cfg.FIXPROCESSREFERENCECODE) {
                out += xmlElement(QStringLiteral("declarationProcessReferenceCode"), proceso);
                out += xmlElement(QStringLiteral("declarationBrokerReferenceCode"), broker);
            } else {
                out += xmlElement(QStringLiteral("declarationProcessReferenceCode"), broker);
                out += xmlElement(QStringLiteral("declarationBrokerReferenceCode"), proceso);
            }

            // Events: officialisation always; release, completion and payment when given.
            linea = 70;
            out += evento(QStringLiteral("FechaOficializacion"),
                          fechaEvento(rt, rs.field(QStringLiteral("FECHA_OFICIALIZACION"))));
            const struct {
                const char *tipo;
                QString (*prompt)(Runtime &);
            } eventos[] = {
                {"FechaLiberacion", &ObtenerFechaLiberacion},
                {"FechaCumplido", &ObtenerFechaCumplido},
                {"FechaPago", &ObtenerFechaPago},
            };
            for (const auto &ev : eventos) {
                linea += 1;
                const QString fecha = ev.prompt(rt);
                if (rt.generacionCancelada)
                    return {};
                if (!fecha.trimmed().isEmpty())
                    out += evento(QLatin1String(ev.tipo), fechaEvento(rt, fecha.trimmed()));
            }

            linea = 80;
            const QString canal = ObtenerCANAL(rt);
            if (rt.generacionCancelada)
                return {};
            out += xmlElement(QStringLiteral("declarationChannel"), canal);

            // The declaration's parties. A party builder that stops the generation sets the flag
            // and gives nothing; the rest of the header is still built (its currency lookups
            // record their rates) and the driver checks the flag when the header returns.
            linea = 90;
            if (exportacion)
                out += builders.exportEntity(rt, brokerReferenceCode, 0, QString(), QString());
            else
                out += builders.importEntity(rt, brokerReferenceCode, 0, QString(), QString());

            linea = 100;
            double rate = 0;
            const QString divisaFob = columnText(rs, "DIVISA_FOB");
            monedaFob = EquivalenciaMonedas(rt, divisaFob, rate);
            monedaFlete = EquivalenciaMonedas(rt, columnText(rs, "DIVISA_FLETE"), rate);
            monedaSeguro = EquivalenciaMonedas(rt, columnText(rs, "DIVISA_SEGURO"), rate);
            condicionVenta = columnText(rs, "CONDICION_VENTA");

            linea = 110;
            out += xmlElement(QStringLiteral("declarationFOBValue"), mask2(columnNumber(rt, rs, "MONTO_FOB")));
            if (!exportacion) {
                linea = 120;
                // Each expense's type is mapped before its amount is read.
                QString tipo = ObtenerRelacionConcepto(rt, QStringLiteral("FREIGHT"));
                out += gasto(tipo, columnNumber(rt, rs, "MONTO_FLETE"), monedaFlete);
                tipo = ObtenerRelacionConcepto(rt, QStringLiteral("INSURANCE"));
                out += gasto(tipo, columnNumber(rt, rs, "MONTO_SEGURO"), monedaSeguro);
                out += gasto(ObtenerRelacionConcepto(rt, QStringLiteral("AJUSTES A INCLUIR")), aji,
                             monedaFob);
                out += gasto(ObtenerRelacionConcepto(rt, QStringLiteral("AJUSTES A DEDUCIR")), ajd,
                             monedaFob);
            }
            linea = 130;
            const QString cif = mask2(columnNumber(rt, rs, "MONTO_CIF"));
            out += xmlElement(QStringLiteral("declarationCIFValue"), cif);
            out += xmlElement(QStringLiteral("declarationUSDRate"),
                              mask7(columnNumber(rt, rs, "COTIZACION_PAGOS")));
            out += xmlElement(QStringLiteral("declarationCustomsValue"), cif);

            linea = 140;
            out += GetCaratulaConceptos(rt, monedaFob);
            rt.trace(QStringLiteral("Incluir 900 en Caratula:")
                     + (rt.cfg.INCLUIR900PENCARATULA ? QStringLiteral("SI") : QStringLiteral("NO")));
            if (rt.cfg.INCLUIR900PENCARATULA)
                out += GetCaratulaINGBRUTOS(rt, monedaFob);
            if (rt.cfg.INCLUIRDETALLEJURIS)
                out += GetCaratulaINGBRUTOSDesglose(rt);

            linea = 150;
            out += xmlElement(QStringLiteral("declarationNetWeight"), GetKILOBRUTOCaratula(rt));
            out += xmlElement(QStringLiteral("declarationGrossWeight"),
                              mask2(columnNumber(rt, rs, "PESO_BRUTO_BULTOS")));
            rs.MoveNext();
        }
    } catch (const B2DError &e) {
        reraise(e, ErrNo::Builder, QStringLiteral("GetCaratulaInfo"), linea);
    }
    return out;
}

QString GetKILOBRUTOCaratula(Runtime &rt)
{
    QString out;
    try {
        Recordset rs;
        if (openQuery(rt, kHistorial,
                      QStringLiteral("SELECT SUM(CAST(PESO_NETO_KGR as float))as total")
                          + QStringLiteral(" FROM ITEMS_ARTICULOS")
                          + QStringLiteral(" WHERE IDN_DESPACHO = '") + sqlQuote(rt.Despacho)
                          + QStringLiteral("'"),
                      rs))
            out = mask2(columnNumber(rt, rs, "total"));
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("GetKILOBRUTOCaratula"), kModule);
    }
    return out;
}

QString GetFacturas(Runtime &rt)
{
    QString out;
    try {
        Recordset rs;
        if (!openQuery(rt, kHistorial,
                       QStringLiteral("Select REFERENCIA From CARATULA_DOCUMENTOS Where IDN_Despacho ='")
                           + sqlQuote(rt.Despacho)
                           + QStringLiteral("' and Codigo = 'FACTURACOMERCIAL'"),
                       rs))
            return out;
        while (!rs.EOF_()) {
            out += wrap(QStringLiteral("declarationInvoices"),
                        xmlElement(QStringLiteral("invoicesNumber"), columnText(rs, "referencia")));
            rs.MoveNext();
        }
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("GetFacturas"), kModule);
    }
    return out;
}

QString GetDeclarationFlexField_CUIT(Runtime &rt)
{
    QString out;
    try {
        out = wrap(QStringLiteral("declarationFlexField"),
                   xmlElement(QStringLiteral("flexFieldName"), QStringLiteral("CUIT"))
                       + xmlElement(QStringLiteral("flexFieldValue"), ObtenerCuitDespachante(rt)));
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("GetDeclarationFlexField_CUIT"), kModule);
    }
    return out;
}

QString GetAduanaDescripcion(Runtime &rt, const QString &codigoAduana)
{
    QString out;
    try {
        Recordset rs;
        if (!openQuery(rt, kInternos,
                       QStringLiteral("Select descripcion from aduana Where Id = '")
                           + sqlQuote(codigoAduana) + QStringLiteral("'"),
                       rs))
            return out;
        if (rt.cfg.PAISESSIM)
            out = codigoAduana;
        if (rt.cfg.PAISESDESCRIPCION)
            out = QString(out + QLatin1Char(' ') + columnText(rs, "DESCRIPCION")).trimmed();
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("GetAduanaDescripcion"), kModule);
    }
    return out;
}

}  // namespace b2d
