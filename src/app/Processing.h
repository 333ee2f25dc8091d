#pragma once

#include "declaration/Declaration.h"

#include <QString>

namespace b2d {

class Runtime;

// Enter on a row: the separator and "Operacion a procesar" lines, the licence or declaration
// driver, the flag cleared, "Fin de proceso". The caller refills its list.
GenerationReport ProcesarOperacion(Runtime &rt, const QString &despacho);

// Records the processing date and file name of a written file.
void Set_Procesado(Runtime &rt, const QString &despacho, const QString &fileName);
// Marks the operation sent (today) or not sent (NULL).
void Set_Enviado(Runtime &rt, bool enviado, const QString &despacho);
// F12's hand-off: copies the generated file into the send folder and marks it sent. True when it
// was copied and marked; `sentTo` (when given) then holds the copy's path.
bool CopiarXMLa_preFTP(Runtime &rt, const QString &sNroOperacion, QString *sentTo = nullptr);

}  // namespace b2d
