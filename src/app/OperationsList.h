#pragma once

#include <QDate>
#include <QList>
#include <QStringList>
#include <Qt>

namespace b2d {

class Runtime;

enum class OperationsOrder { None, Fecha, Interno };

// One column of the operations grid: header, width in twips (-1: the grid's default) and
// alignment (0: the grid's default).
struct OperationsColumn {
    QString header;
    int widthTwips;
    Qt::Alignment alignment;
};
const QList<OperationsColumn> &operationsColumns();  // the nine columns, in order

// "exec sp_Traer_Internos_VelmoraB2D 'dd/mm/yyyy','dd/mm/yyyy',0|1"; empty for None.
QString operationsStatement(const QDate &desde, const QDate &hasta, OperationsOrder order);

// The rows of the list: nine cells each (column 3 empty, the import prefix + "_" removed from
// column 6, nulls as empty). No statement for OperationsOrder::None. Failures show the standard
// error box of CargarGrilla and return the rows read so far; `failed` (when given) tells whether
// that happened. Dates are shown dd/MM/yyyy, with the time when it is not midnight.
QList<QStringList> CargarOperaciones(Runtime &rt, const QDate &desde, const QDate &hasta,
                                     OperationsOrder order, bool *failed = nullptr);

}  // namespace b2d
