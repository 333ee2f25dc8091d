#pragma once

#include <QString>

namespace b2d {

class Runtime;

// Records the processing date and file name of a written file.
void Set_Procesado(Runtime &rt, const QString &despacho, const QString &fileName);
// Marks the operation sent (today) or not sent (NULL).
void Set_Enviado(Runtime &rt, bool enviado, const QString &despacho);

}  // namespace b2d
