#include "app/Processing.h"

#include "app/Builders.h"

#include "data/DataAccess.h"
#include "data/FileWriter.h"
#include "declaration/StatusUpdates.h"
#include "licence/Licence.h"
#include "platform/Boxes.h"
#include "runtime/Errors.h"
#include "runtime/Queries.h"
#include "runtime/RunLog.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

#include <QDir>
#include <QFileInfo>

namespace b2d {

namespace {

QString separador()
{
    return QString(57, QLatin1Char('='));
}

// The file `stem` + ".xml" in `folder`, whatever the case of the extension: the generation
// writes ".XML", the hand-off has always looked for ".xml". Empty when there is none.
QString findXmlAnyCase(const QString &folder, const QString &stem)
{
    for (const QString &ext : {QStringLiteral(".XML"), QStringLiteral(".xml")}) {
        const QString path = joinPath(folder, stem + ext);
        if (QFileInfo(path).isFile())
            return path;
    }
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QString ext = QStringLiteral(".xml");
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.size() == stem.size() + ext.size() && entry.startsWith(stem)
            && entry.mid(stem.size()).compare(ext, Qt::CaseInsensitive) == 0)
            return joinPath(folder, entry);
    }
    return {};
}

// The hand-off did not happen: the reason goes to the run log and to the operator.
void noEnviado(Runtime &rt, const QString &numero, const QString &motivo, BoxIcon icon)
{
    rt.log.EscribirLogDebug(QStringLiteral("No se envia la operacion ") + numero + QStringLiteral(": ")
                            + motivo);
    rt.boxes.inform(QStringLiteral("No se envió el archivo de la operación ") + numero
                        + QStringLiteral(" a la carpeta para enviar a Dorvane:") + QLatin1Char('\n')
                        + motivo,
                    icon, Runtime::appTitle());
}

// The copy was not recorded as sent (refused, or put back after a failed rename).
void noRegistrado(Runtime &rt, const QString &numero, const QString &motivo)
{
    rt.log.EscribirLogDebug(QStringLiteral("No se registró el envío de ") + numero + QStringLiteral(": ")
                            + motivo);
}

}  // namespace

GenerationReport ProcesarOperacion(Runtime &rt, const QString &despacho)
{
    GenerationReport report;
    rt.Despacho = despacho;
    rt.log.EscribirLogDebug(separador());
    rt.log.EscribirLogDebug(QStringLiteral("Operacion a procesar: ") + despacho);
    try {
        // The drivers own the generation's read cache.
        if (despacho.contains(QLatin1String("DJAI"))) {
            XMLDJAI(rt, &report);
        } else {
            XMLDespacho(rt, declarationBuilders(), &report);
        }
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("ProcesarOperacion"), QStringLiteral("Mod_Main"));
        report.outcome = GenerationReport::Failed;
    }
    rt.generacionCancelada = false;
    rt.log.EscribirLogDebug(QStringLiteral("Fin de proceso: ") + despacho);
    rt.log.EscribirLogDebug(separador());
    return report;
}

bool CopiarXMLa_preFTP(Runtime &rt, const QString &sNroOperacion, QString *sentTo)
{
    try {
        Recordset rs;
        const QString sql = QStringLiteral("Select Xml_B2DFile From Caratula_Caratula where DESPACHO = '")
            + sqlQuote(sNroOperacion) + QStringLiteral("'");
        QString archivo;
        if (openQuery(rt, QStringLiteral("HISTORIAL"), sql, rs))
            archivo = EsNulo(rs.field(QStringLiteral("Xml_B2DFile")));
        rs.Close();
        if (archivo.isEmpty()) {
            noEnviado(rt, sNroOperacion,
                      QStringLiteral("la operación no tiene un archivo B2D generado."),
                      BoxIcon::Information);
            return false;
        }
        // The stored name is joined to both folders: one holding a separator or a drive would
        // take the file from, or put it, outside them.
        for (const QChar c : {QLatin1Char('/'), QLatin1Char('\\'), QLatin1Char(':')})
            if (archivo.contains(c)) {
                noEnviado(rt, sNroOperacion,
                          QStringLiteral("el nombre de archivo registrado no es válido: ") + archivo,
                          BoxIcon::Warning);
                return false;
            }
        if (rt.cfg.RUTAB2D.trimmed().isEmpty()) {
            noEnviado(rt, sNroOperacion,
                      QStringLiteral("no hay carpeta de envío configurada (RUTAB2D)."),
                      BoxIcon::Warning);
            return false;
        }
        // Without an output folder the file would be looked for in the working directory, where
        // an unrelated file of the same name could be sent.
        if (rt.cfg.RUTAGENXML.trimmed().isEmpty()) {
            noEnviado(rt, sNroOperacion,
                      QStringLiteral("no hay carpeta de generación configurada (RUTAGENXML)."),
                      BoxIcon::Warning);
            return false;
        }

        const QString origen = findXmlAnyCase(rt.cfg.RUTAGENXML, archivo);
        if (origen.isEmpty()) {
            noEnviado(rt, sNroOperacion,
                      QStringLiteral("no se encontró el archivo ")
                          + joinPath(rt.cfg.RUTAGENXML, archivo + QStringLiteral(".XML")),
                      BoxIcon::Warning);
            return false;
        }
        if (rt.log.ArchivoEnUso(origen)) {
            noEnviado(rt, sNroOperacion,
                      QStringLiteral("el archivo ") + origen + QStringLiteral(" está en uso."),
                      BoxIcon::Warning);
            return false;
        }

        // An earlier send of the same file is overwritten under the name it already has.
        QString destino = findXmlAnyCase(rt.cfg.RUTAB2D, archivo);
        if (destino.isEmpty())
            destino = joinPath(rt.cfg.RUTAB2D, archivo + QStringLiteral(".xml"));
        else if (rt.log.ArchivoEnUso(destino)) {
            noEnviado(rt, sNroOperacion,
                      QStringLiteral("el archivo ") + destino + QStringLiteral(" está en uso."),
                      BoxIcon::Warning);
            return false;
        }

        // The copy waits as a temporary file in the send folder until the row says it was sent,
        // so the upload that watches the folder never takes a file the database does not know.
        const EstadoDespacho earlier = LeerEstadoDespacho(rt, sNroOperacion);
        FileWriter copia;
        copia.ubicacion_archivo = destino;
        try {
            copia.crear_archivo();
            copia.copiar_archivo(origen);
        } catch (const B2DError &e) {
            rt.log.EscribirLogDebug(QStringLiteral("No se pudo copiar ") + origen + QStringLiteral(" a ")
                                    + destino + QStringLiteral(": ") + e.description());
            throw;
        }

        QString motivo;
        try {
            const Placement placed = placeWhenRecorded(
                copia, [&] { return Set_Enviado(rt, true, sNroOperacion, &motivo); },
                [&] { RestaurarEnviado(rt, sNroOperacion, earlier); });
            if (placed == Placement::Refused) {
                noRegistrado(rt, sNroOperacion, motivo);  // Set_Enviado has shown its box
                return false;
            }
        } catch (const B2DError &e) {
            noRegistrado(rt, sNroOperacion, e.description());
            throw;
        }
        rt.log.EscribirLogDebug(QStringLiteral("Enviado: ") + destino);
        if (sentTo)
            *sentTo = destino;
        return true;
    } catch (const B2DError &e) {
        showFormError(rt, e, QStringLiteral("CopiarXMLa_preFTP"), QStringLiteral("Frm_Main"));
        return false;
    }
}

}  // namespace b2d
