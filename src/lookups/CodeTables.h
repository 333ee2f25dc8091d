#pragma once

#include <QString>

namespace b2d {

// The texts of the operation status and the goods condition codes; an unknown code is its own
// text.
QString ObtenerDescripcionEstado(const QString &code);
QString ObtenerDescripcionCondicion(const QString &code);

}  // namespace b2d
