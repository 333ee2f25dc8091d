#include "declaration/Declaration.h"

#include "data/DataAccess.h"
#include "declaration/Generation.h"
#include "declaration/Header.h"
#include "declaration/Items.h"
#include "declaration/Prompts.h"
#include "platform/Boxes.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "runtime/Errors.h"
#include "runtime/Runtime.h"
#include "settings/Settings.h"
#include "values/Values.h"

namespace b2d {

namespace {

// The document kind of a subregime letter; empty for one this program cannot generate.
QString documentKind(const QString &letter)
{
    if (letter == QLatin1String("I") || letter == QLatin1String("D") || letter == QLatin1String("T"))
        return QStringLiteral("importDeclaration");
    if (letter == QLatin1String("E") || letter == QLatin1String("R"))
        return QStringLiteral("exportDeclaration");
    return {};
}

bool esExportacion(const QString &letter)
{
    return documentKind(letter) == QLatin1String("exportDeclaration");
}

}  // namespace

QString NombreArchivoDespacho(Runtime &rt, const QString &referencia)
{
    QString ref = referencia;
    ref.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QString letter = rt.Despacho.mid(5, 1).toUpper();
    // Every piece is made safe: a prefix or a declaration number holding a separator would
    // otherwise place the file outside the output folder.
    const QString prefijo = esExportacion(letter) ? rt.cfg.PREFIJOEXPO : rt.cfg.PREFIJO;
    return safeFileNamePart(prefijo, true) + QLatin1Char('_') + safeFileNamePart(rt.Despacho.mid(5, 4).toUpper())
        + QLatin1Char('_') + safeFileNamePart(ref) + QLatin1Char('_') + fileStamp(rt.clock.now());
}

QString XMLDespacho(Runtime &rt, const DeclarationBuilders &builders, GenerationReport *report)
{
    GenerationReport local;
    GenerationReport &rep = freshReport(report, local);

    GenerationScope scope(rt);
    int line = 10;
    try {
        QString documento = QStringLiteral("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>")
            + QStringLiteral("<Broker2Dorvane>");

        line = 20;
        rt.subregimen = rt.Despacho.mid(5, 1).toUpper();
        const QString kind = documentKind(rt.subregimen);
        if (kind.isEmpty()) {
            rt.boxes.inform(QStringLiteral("Tipo de Operacion no soportada por esta version del programa:")
                                + QLatin1Char('\n') + QStringLiteral("SubReg:") + rt.subregimen
                                + QLatin1Char('\n') + QStringLiteral("Despacho:") + rt.Despacho
                                + QLatin1Char('\n') + QLatin1Char('\n')
                                + QStringLiteral("La aplicacion no podra continuar."),
                            BoxIcon::Critical, Runtime::appTitle());
            FinalizarPrograma(rt, QStringLiteral("Tipo de Operacion no soportada: ") + rt.Despacho);
        }
        const bool exportacion = kind == QLatin1String("exportDeclaration");

        line = 30;
        documento += QStringLiteral("<") + kind + QStringLiteral(">");

        line = 40;
        QString monedaFob, monedaFlete, monedaSeguro, condicionVenta, brokerRC, processRC;
        documento += GetCaratulaInfo(rt, builders, monedaFob, monedaFlete, monedaSeguro, condicionVenta,
                                     brokerRC, processRC);
        if (rt.generacionCancelada) {
            rep.outcome = GenerationReport::Cancelled;
            return {};
        }

        line = 50;
        // The items are most of the document: each item's text is converted as soon as it is
        // finished, and never held with the others.
        DocumentBytes bytes;
        bytes << documento;
        GetItemInfo(rt, builders, monedaFob, monedaFlete, monedaSeguro, condicionVenta, brokerRC, rt.subregimen,
                    processRC, [&bytes](QStringView piece) { bytes << piece; });
        if (rt.generacionCancelada) {
            rep.outcome = GenerationReport::Cancelled;
            return {};
        }

        line = 60;
        QString cola = GetFacturas(rt);
        cola += GetDeclarationFlexField_CUIT(rt);
        cola += QStringLiteral("</") + kind + QStringLiteral(">") + QStringLiteral("</Broker2Dorvane>");
        bytes << cola;

        line = 70;
        if (brokerRC.trimmed().isEmpty())
            brokerRC = ObtenerNombreArchivo(rt);
        brokerRC.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('#'), QLatin1Char('_'));

        // A folder changed while the program runs takes effect on the next file.
        line = 80;
        const QString app = QLatin1String(kSettingsApp);
        const QString section = QLatin1String(kSettingsSection);
        rt.cfg.RUTAB2D = rt.store.get(app, section, QStringLiteral("RUTAB2D"));
        rt.cfg.RUTAGENXML = rt.store.get(app, section, QStringLiteral("RUTAGENXML"));

        line = 90;
        const QString fileName = NombreArchivoDespacho(rt, exportacion ? brokerRC : processRC);

        line = 110;
        writeAndRecord(rt, bytes.bytes(), fileName, QStringLiteral("El archivo se ha generado,"),
                       QStringLiteral("XMLDespacho"), QStringLiteral("Mod_Main"), line, rep);
    } catch (const StatementRefused &r) {
        reportRefusal(rt, r, QStringLiteral("XMLDespacho"), QStringLiteral("Mod_Main"), line);
    } catch (const B2DError &e) {
        showErrorText(rt, e.description() + QLatin1Char('\n') + QString::number(e.number())
                              + QStringLiteral("XMLDespacho linea ") + QString::number(line)
                              + QStringLiteral("::") + e.source());
    }
    return {};
}

}  // namespace b2d
