#pragma once

#include <QString>

namespace b2d {

class Recordset;
class Runtime;

// The calling order of every call site: set `sql` on the entity's connection, then `crearrs`.
bool openQuery(Runtime &rt, const QString &entity, const QString &sql, Recordset &rs);
// Set `sql`, then `ejecutar`.
bool runStatement(Runtime &rt, const QString &entity, const QString &sql);

}  // namespace b2d
