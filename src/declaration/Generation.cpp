#include "declaration/Generation.h"

#include "data/DataAccess.h"
#include "data/FileWriter.h"
#include "declaration/Declaration.h"
#include "declaration/StatusUpdates.h"
#include "platform/Boxes.h"
#include "runtime/Errors.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

GenerationScope::GenerationScope(DataAccess &db) : m_db(db)
{
    m_db.beginGeneration();
}

GenerationScope::~GenerationScope()
{
    m_db.endGeneration();
}

void writeAndRecord(Runtime &rt, const QString &document, const QString &fileName,
                    const QString &firstLine, const QString &procedure, const QString &module,
                    int line, GenerationReport &rep)
{
    const QString path = joinPath(rt.cfg.RUTAGENXML, fileName + QStringLiteral(".XML"));
    try {
        if (rt.cfg.RUTAGENXML.trimmed().isEmpty())
            throw B2DError(ErrNo::PathNotFound, procedure,
                           QStringLiteral("No esta configurada la carpeta de generacion (RUTAGENXML)"));
        FileWriter writer;
        writer.ubicacion_archivo = path;
        writer.crear_archivo();
        writer.escribir(document);
        writer.cerrar_archivo();
    } catch (const B2DError &e) {
        // Nothing was written: the program goes on, nothing is recorded.
        showStandardError(rt, e, procedure, module, QString::number(line));
        return;
    }

    rt.boxes.inform(firstLine + QLatin1Char('\n') + QStringLiteral(" Ubicacion: ") + path
                        + QLatin1Char('\n')
                        + QStringLiteral(" La informacion esta lista para subirlo a la carpeta FTP de Dorvane"),
                    BoxIcon::Information, Runtime::appTitle());

    Set_Procesado(rt, rt.Despacho, fileName);
    rep.outcome = GenerationReport::Written;
    rep.path = path;
    rep.fileName = fileName;
}

}  // namespace b2d
