#pragma once

#include <QString>

namespace b2d {

// The value-suffix sorter: the suffix codes of one article in canonical order.
QString ordenarsufijos(const QString &suffixes);

}  // namespace b2d
