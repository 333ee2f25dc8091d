#include "declaration/Generation.h"

#include "data/DataAccess.h"
#include "data/DocumentValidator.h"
#include "data/FileWriter.h"
#include "declaration/Declaration.h"
#include "declaration/StatusUpdates.h"
#include "platform/Boxes.h"
#include "runtime/Errors.h"
#include "runtime/RunLog.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

GenerationScope::GenerationScope(Runtime &rt) : m_rt(rt)
{
    m_rt.db.beginGeneration();
    m_rt.log.holdFile();
}

GenerationScope::~GenerationScope()
{
    m_rt.log.releaseFile();
    m_rt.db.endGeneration();
}

GenerationReport &freshReport(GenerationReport *report, GenerationReport &local)
{
    GenerationReport &rep = report ? *report : local;
    rep = GenerationReport{};
    rep.outcome = GenerationReport::Failed;
    return rep;
}

void reportRefusal(Runtime &rt, const StatementRefused &refusal, const QString &procedure,
                   const QString &module, int line)
{
    rt.log.EscribirLogDebug(QStringLiteral("Generacion terminada: la base de datos rechazo una sentencia de ")
                            + refusal.entity() + QStringLiteral(": ") + refusal.sql());
    showStandardError(rt, refusal.asError(), procedure, module, QString::number(line));
}

void DocumentBytes::reserve(qsizetype characters)
{
    m_bytes.reserve(m_bytes.size() + characters);
}

DocumentBytes &DocumentBytes::operator<<(QStringView piece)
{
    appendLatin1WithReferences(m_bytes, piece);
    return *this;
}

void writeAndRecord(Runtime &rt, const QString &document, const QString &fileName,
                    const QString &firstLine, const QString &procedure, const QString &module,
                    int line, GenerationReport &rep, const QString &lineBreak)
{
    writeAndRecord(rt, toLatin1WithReferences(document), fileName, firstLine, procedure, module, line, rep,
                   lineBreak);
}

void writeAndRecord(Runtime &rt, const QByteArray &bytes, const QString &fileName,
                    const QString &firstLine, const QString &procedure, const QString &module,
                    int line, GenerationReport &rep, const QString &lineBreak)
{
    const QString path = joinPath(rt.cfg.RUTAGENXML, fileName + QStringLiteral(".XML"));
    // The file is written as a temporary, recorded, and only then put in place: a record the
    // database refuses leaves no file behind and no success message.
    try {
        if (rt.cfg.RUTAGENXML.trimmed().isEmpty())
            throw B2DError(ErrNo::PathNotFound, procedure,
                           QStringLiteral("No esta configurada la carpeta de generacion (RUTAGENXML)"));
        // A document that is not well-formed XML is not written: the upload would reject it.
        // The document's bytes, converted once: checked, then written as they are.
        if (const std::optional<DocumentFault> fault = wellFormednessFault(bytes))
            throw B2DError(ErrNo::Builder, procedure,
                           QStringLiteral("El documento generado no es un XML valido, no se escribio el archivo: ")
                               + fault->message + QStringLiteral(" (columna ") + QString::number(fault->column)
                               + QStringLiteral(", ") + fault->path + QLatin1Char(')'));
        if (!GuardarYRegistrar(rt, path, bytes, rt.Despacho, fileName))
            return;  // Set_Procesado has shown why
    } catch (const B2DError &e) {
        // Nothing was put in place: the program goes on, the row keeps what it held.
        showStandardError(rt, e, procedure, module, QString::number(line));
        return;
    }

    rt.boxes.inform(firstLine + lineBreak + QStringLiteral(" Ubicacion: ") + path + lineBreak
                        + QStringLiteral(" La informacion esta lista para subirlo a la carpeta FTP de Dorvane"),
                    BoxIcon::Information, Runtime::appTitle());
    rep.outcome = GenerationReport::Written;
    rep.path = path;
    rep.fileName = fileName;
}

}  // namespace b2d
