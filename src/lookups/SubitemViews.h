#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace b2d {

class Runtime;

// One of the subitem viewer's three tables of an interno: the loaded articles (MSFG_CRGS), their
// grouping (MSFG_GRP_CALDRA) and the official subitems (MSFG_MARIA).
struct SubitemView {
    struct Column {
        QString header;
        int widthTwips;
    };
    QString grid;             // the viewer's grid control
    QString title;            // what the table shows, for the command line
    QList<Column> columns;
    int suffixColumn = 0;     // the SUFIJOS column
    QList<QStringList> rows;  // every cell as text, NULL as empty
};

// The three loaders: each runs its statement (the interno with its quotes doubled) and gives the
// grid's header and rows. A query without rows gives no row; a statement the database refuses
// throws B2DError with the database's text.
SubitemView CargarDatos_CargaSubItem(Runtime &rt, const QString &interno);
SubitemView CargarDatos_GroupSubItem(Runtime &rt, const QString &interno);
// The official subitems of the interno's declaration (Get_NroOfic), suffixes in the value-suffix
// sorter's canonical order; none when the interno has no declaration.
SubitemView CargarDatos_Maria(Runtime &rt, const QString &interno);

// The DESPACHO of the last declaration whose IDENTIFICADOR_PROPIO is the interno; "" when none.
QString Get_NroOfic(Runtime &rt, const QString &interno);

// The three tables in the viewer's order; none for an empty interno.
QList<SubitemView> subitemViews(Runtime &rt, const QString &interno);

}  // namespace b2d
