#pragma once

#include <QString>

namespace b2d {

class Runtime;

// True when ART of the operations database holds article lines for the interno; sets
// `tieneInfoDJAI` when the first row's DECLARACION_CANCELA is not empty.
bool ExisteDI(Runtime &rt, const QString &interno, bool &tieneInfoDJAI);

}  // namespace b2d
