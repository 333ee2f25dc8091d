#pragma once

#include <QString>

namespace b2d {

class Runtime;

// True when the customs-management system's INTERNOS database holds the interno.
bool ExisteInternoEnCaldra(Runtime &rt, const QString &interno);

}  // namespace b2d
