#pragma once

#include "declaration/Declaration.h"
#include "declaration/StatusUpdates.h"

#include <QString>

namespace b2d {

class Runtime;

// Enter on a row: the separator and "Operacion a procesar" lines, the licence or declaration
// driver, the flag cleared, "Fin de proceso". The caller refills its list.
GenerationReport ProcesarOperacion(Runtime &rt, const QString &despacho);

// F12's hand-off: copies the generated file into the send folder and marks it sent. True when it
// was copied and marked; `sentTo` (when given) then holds the copy's path.
bool CopiarXMLa_preFTP(Runtime &rt, const QString &sNroOperacion, QString *sentTo = nullptr);

}  // namespace b2d
