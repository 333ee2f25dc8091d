#pragma once

#include "data/DataAccess.h"

#include <QString>

namespace b2d {

// Appends one JSON object per line to `path` for every statement the data access component is
// asked and every read the working set sends, in order, with who answered it:
//   {"entity": "HISTORIAL", "sql": "...", "rows": 3, "ms": 0.42, "cached": false, "ok": true,
//    "answered": "database"}
// ("answered" is "database", "working set" or "cache"; "cached" is true for "cache").
// A failed statement's line also carries "error". Throws B2DError naming the file when it cannot
// be opened for appending.
void addJsonTraceFile(DataAccess &db, const QString &path);

// The JSON line of one statement, without its line end.
QString jsonTraceLine(const StatementTrace &t);

// One line of text for the debug window: entity, rows (or the failure), time and statement.
QString describeStatement(const StatementTrace &t);

}  // namespace b2d
