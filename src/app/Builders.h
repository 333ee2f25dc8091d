#pragma once

#include "declaration/Builders.h"

namespace b2d {

// The import and export builders the declaration sections call.
const DeclarationBuilders &declarationBuilders();

}  // namespace b2d
