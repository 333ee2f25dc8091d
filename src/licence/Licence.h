#pragma once

#include <QString>

namespace b2d {

class Runtime;
struct GenerationReport;

// Builds the import licence (DJAI) rt.Despacho, writes it to the output folder and records it.
// Always returns the empty text; `report` (when given) says how it ended. A licence whose body
// fails is neither written nor recorded.
QString XMLDJAI(Runtime &rt, GenerationReport *report = nullptr);

// The licence body: for each CARATULA_CARATULA row of rt.Despacho its header elements, parties,
// items and flex field. Fills the five values (overwritten for every row). A cancelled prompt
// gives the empty text; a failure shows the standard error box, gives the empty text and sets
// `failed` (when given).
QString DJAI_GetImportLicence(Runtime &rt, QString &monedaFob, QString &monedaFlete,
                              QString &monedaSeguro, QString &condicionVenta,
                              QString &brokerReferenceCode, bool *failed = nullptr);

// The name of a licence's file without folder and extension: PREFIJO + "_DJAI_" + the reference
// code (made safe for a file name, "#" kept) + "_" + the local time.
QString NombreArchivoLicencia(Runtime &rt, const QString &referencia);

}  // namespace b2d
