#pragma once

// Helpers shared by the import builders: the detail trace, the missing-interno message, the
// part-number rule and zero-padded numbers.

#include <QString>

namespace b2d {

class Recordset;
class Runtime;

// A progress line for the run log and the debug window, while the detailed trace is on.
void traceDebug(Runtime &rt, const QString &line);

// The DI was required but neither its articles nor the interno are in the operations database:
// the operator must load the DI in the first step before generating again. Shows the box; the
// caller sets the generation-cancelled flag.
void showMissingProcessInterno(Runtime &rt, const QString &processRC);

// The part number of an article row (IDARTICULO, CODARTALTERNATIVO): the article number with
// OMITIRCODIGOALTERNATIVO on or when the alternative code is NULL, else the alternative code
// (an empty but non-NULL one stays empty).
QString codigoArticulo(const Runtime &rt, const Recordset &articulos);

// Format(value, "000...") with `digits` zeros: a number rounded and zero-padded, any other text
// as it stands.
QString ceros(const QString &value, int digits);

}  // namespace b2d
