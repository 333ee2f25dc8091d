#include "licence/Licence.h"

#include "data/DataAccess.h"
#include "declaration/Declaration.h"
#include "declaration/Generation.h"
#include "declaration/Header.h"
#include "declaration/Items.h"
#include "declaration/Prompts.h"
#include "declaration/SubitemLookups.h"
#include "licence/LicenceEntities.h"
#include "licence/LicenceItems.h"
#include "licence/LicenceValues.h"
#include "lookups/CodeTables.h"
#include "lookups/Currency.h"
#include "platform/Clock.h"
#include "runtime/Errors.h"
#include "runtime/Queries.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

namespace {

const QString kHistorial = QStringLiteral("HISTORIAL");

// The header elements of one CARATULA_CARATULA row of the licence.
QString headerElements(Runtime &rt, const Recordset &rs, const QString &monedaFob,
                       const QString &monedaFlete, const QString &monedaSeguro,
                       const QString &brokerReferenceCode)
{
    auto amount = [&](const char *column) { return mask2(columnNumber(rt, rs, column)); };

    QString out;
    out += xmlElement("requestReference", brokerReferenceCode);
    out += xmlElement("requestType", QStringLiteral("D"));
    out += xmlElement("licenseNumber", columnText(rs, "DESPACHO"));
    out += xmlElement("licenseRegime", QString());
    out += xmlElement("licenseCustomsHouse", GetAduanaDescripcion(rt, columnText(rs, "COD_ADUANA")));
    out += xmlElement("licenseCountryOfOrigin",
                      GetPaisNameFromID(rt, GetCountryOfOrigin(rt, QStringLiteral("0001"))));
    out += xmlElement("licenseCountryOfBuying",
                      GetPaisNameFromID(rt, GetCountryOfProvenance(rt, QStringLiteral("0001"))));
    out += xmlElement("licensePortOfLoading", QString());
    out += xmlElement("licenseTransportationType", columnText(rs, "MEDIO_TRANSPORTE"));
    out += xmlElement("licenseCurrency", monedaFob);
    out += xmlElement("licenseTotalPrice", amount("Monto_Fob"));
    out += xmlElement("licenseDollarRate", mask7(columnNumber(rt, rs, "COTIZACION_PAGOS")));
    out += xmlElement("licenseTotalDollarPrice", GetTotalDollarPrice(rt, monedaFob, rt.Despacho));
    out += xmlElement("licenseAdditionalInfo", QString());
    // The officialisation date, read where its element goes (a licence without one fails after
    // the lookups above), and the licence's due date 180 days later.
    const QDateTime oficializacion = requiredDate(columnText(rs, "FECHA_OFICIALIZACION"));
    out += xmlElement("licenseDateTime", licenceDateTime(rt, oficializacion));
    out += xmlElement("licenseDueDateTime", licenceDateTime(rt, oficializacion.addDays(180)));
    out += xmlElement("licenseStatus", ObtenerDescripcionEstado(columnText(rs, "ESTADO_DECLARACION")));
    out += xmlElement("licenseValid", QStringLiteral("S"));
    out += xmlElement("licenseFreightCurrency", monedaFlete);
    out += xmlElement("licenseFreightValue", amount("MONTO_FLETE"));
    out += xmlElement("licenseInsuranceCurrency", monedaSeguro);
    out += xmlElement("licenseInsuranceValue", amount("MONTO_SEGURO"));
    out += xmlElement("licenseSurchargeValue", QStringLiteral("0.00"));
    out += xmlElement("licenseDeductionValue", QStringLiteral("0.00"));
    return out;
}

}  // namespace

QString NombreArchivoLicencia(Runtime &rt, const QString &referencia)
{
    return safeFileNamePart(rt.cfg.PREFIJO, true) + QStringLiteral("_DJAI_") + safeFileNamePart(referencia, true)
        + QLatin1Char('_') + fileStamp(rt.clock.now());
}

QString DJAI_GetImportLicence(Runtime &rt, QString &monedaFob, QString &monedaFlete,
                              QString &monedaSeguro, QString &condicionVenta,
                              QString &brokerReferenceCode, bool *failed)
{
    QString out;
    int line = 10;
    try {
        Recordset rs;
        openCheckedQuery(rt, kHistorial,
                     QStringLiteral("Select * From caratula_caratula where despacho = '")
                         + sqlQuote(rt.Despacho) + QStringLiteral("'"),
                     rs);
        for (; !rs.EOF_(); rs.MoveNext()) {
            line = 20;
            double rate = 0;
            monedaFob = EquivalenciaMonedas(rt, columnText(rs, "DIVISA_FOB"), rate);
            rate = 0;
            monedaFlete = EquivalenciaMonedas(rt, columnText(rs, "DIVISA_FLETE"), rate);
            rate = 0;
            monedaSeguro = EquivalenciaMonedas(rt, columnText(rs, "DIVISA_SEGURO"), rate);
            condicionVenta = columnText(rs, "CONDICION_VENTA");
            line = 30;
            QString offered = columnText(rs, "IDENTIFICADOR_PROPIO");
            brokerReferenceCode = ObtenerBrokerReferenceCode(rt, offered);
            if (rt.generacionCancelada)
                return {};

            line = 40;
            out += headerElements(rt, rs, monedaFob, monedaFlete, monedaSeguro, brokerReferenceCode);
            line = 50;
            out += DJAI_GetLicenseEntity(rt, brokerReferenceCode);
            line = 60;
            const QString unused1, unused2;
            out += DJAI_GetLicenseItems(rt, monedaFob, monedaFlete, monedaSeguro, condicionVenta,
                                        brokerReferenceCode, unused1, unused2);
            line = 70;
            out += QStringLiteral("<licenseFlexField>") + DJAI_GetLicenseFlexField()
                + QStringLiteral("</licenseFlexField>");
        }
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("DJAI_GetImportLicence"), QStringLiteral("Mod_Main"),
                          QString::number(line));
        if (failed)
            *failed = true;
        return {};
    }
    return out;
}

QString XMLDJAI(Runtime &rt, GenerationReport *report)
{
    GenerationReport local;
    GenerationReport &rep = freshReport(report, local);

    GenerationScope scope(rt);
    int line = 10;
    try {
        QString monedaFob, monedaFlete, monedaSeguro, condicionVenta, brokerRC;
        bool failed = false;
        const QString cabeza = QStringLiteral("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>")
            + QStringLiteral("<Broker2Dorvane>") + QStringLiteral("<importLicense>");
        // The body is most of the document: its text is converted where it lies.
        const QString cuerpo = DJAI_GetImportLicence(rt, monedaFob, monedaFlete, monedaSeguro, condicionVenta,
                                                     brokerRC, &failed);
        if (rt.generacionCancelada) {
            rep.outcome = GenerationReport::Cancelled;
            return {};
        }
        // A body that failed was reported in its own box: an empty licence is not written.
        if (failed)
            return {};

        line = 20;
        const QString cola = QStringLiteral("</importLicense>") + QStringLiteral("</Broker2Dorvane>");
        DocumentBytes documento;
        documento.reserve(cabeza.size() + cuerpo.size() + cola.size());
        documento << cabeza << cuerpo << cola;
        if (brokerRC.trimmed().isEmpty())
            brokerRC = ObtenerNombreArchivo(rt);

        line = 30;
        const QString fileName = NombreArchivoLicencia(rt, brokerRC);

        line = 40;
        // The licence's message separates its lines with a carriage return and a line feed.
        writeAndRecord(rt, documento.bytes(), fileName, QStringLiteral("El archivo se ha generado correctamente,"),
                       QStringLiteral("XMLDJAI"), QStringLiteral("MOD_DJAI"), line, rep, QStringLiteral("\r\n"));
    } catch (const StatementRefused &r) {
        reportRefusal(rt, r, QStringLiteral("XMLDJAI"), QStringLiteral("MOD_DJAI"), line);
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("XMLDJAI"), QStringLiteral("MOD_DJAI"),
                          QString::number(line));
    }
    return {};
}

}  // namespace b2d
