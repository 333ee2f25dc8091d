#pragma once

#include <QString>

namespace b2d {

class Runtime;
struct DeclarationBuilders;

// What a generation ended in, for the programs' statuses and summaries.
struct GenerationReport {
    enum Outcome { Written, Cancelled, Failed } outcome = Failed;
    QString path;      // the written file
    QString fileName;  // without folder and extension, as recorded
};

// Builds the import or export declaration of rt.Despacho, writes it to the output folder and
// records it. Always returns the empty text; `report` (when given) says how it ended.
// An unsupported subregime letter ends the program (throws ProgramEnd).
QString XMLDespacho(Runtime &rt, const DeclarationBuilders &builders,
                    GenerationReport *report = nullptr);

// The name of a declaration's file without folder and extension: the import or export prefix,
// the subregime code, the reference code (made safe for a file name) and the local time.
QString NombreArchivoDespacho(Runtime &rt, const QString &referencia);

}  // namespace b2d
