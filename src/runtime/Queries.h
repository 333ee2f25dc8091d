#pragma once

#include <QString>

namespace b2d {

class Recordset;
class Runtime;

// The calling order of every call site: set `sql` on the entity's connection, then `crearrs`.
bool openQuery(Runtime &rt, const QString &entity, const QString &sql, Recordset &rs);
// Set `sql`, then `ejecutar`.
bool runStatement(Runtime &rt, const QString &entity, const QString &sql);

// A column of the current row as text (null gives the empty text), or read as a number through
// EsNumero. An unknown column throws as the recordset does.
QString columnText(const Recordset &rs, const char *column);
double columnNumber(Runtime &rt, const Recordset &rs, const char *column);

// openQuery that tells a refusal from an empty answer: false for a query without rows, but a
// statement the database refused throws B2DError (number Database) with the database's text, so
// that the caller's error box says why nothing was read.
bool openCheckedQuery(Runtime &rt, const QString &entity, const QString &sql, Recordset &rs);

}  // namespace b2d
