#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace b2d {

class Runtime;

// The three relation tables the configuration window edits (the fourth, RelacionVarios, is not
// edited here).
enum class Relacion { Concepto, Moneda, Pais };

struct RelationColumn {
    QString header;
    int widthTwips;
};

// One editable relation table: its name in the system's procedures and windows ("Concepto",
// "Moneda", "Pais"), its table and key columns, and how its grid shows it.
struct RelationTable {
    Relacion kind;
    QString name;
    QString table;
    QString origin;       // RelacionOrigen / IDSIM
    QString destination;  // RelacionDestino / IDISO
    QList<RelationColumn> columns;
    QString select;       // the grid's statement
};

const RelationTable &relationTable(Relacion kind);
const QList<Relacion> &relationKinds();

// The rows of a relation table as its grid shows them, in the order of its statement (every
// column as text, NULL as empty). An empty table gives no row; a statement the database refuses
// throws B2DError with the database's text.
QList<QStringList> CargarRelaciones(Runtime &rt, Relacion kind);

// The statements of the add dialogs and the delete commands, every value with its quotes
// doubled. The currency and country inserts write SIM and ISO only (no description).
QString relationInsertStatement(Relacion kind, const QString &origen, const QString &destino);
QString relationDeleteStatement(Relacion kind, const QString &origen, const QString &destino);
// "Desea quitar la relacion de Concepto (ORIGEN -> DESTINO)" (de Moneda, de Pais).
QString relationDeleteQuestion(Relacion kind, const QString &origen, const QString &destino);

// Runs the insert or the delete on "HISTORIAL". False when the database refused it, with its
// text in `error`. The delete removes every row of the pair; `removed` receives how many rows
// went (-1 when the backend cannot tell).
bool insertRelation(Runtime &rt, Relacion kind, const QString &origen, const QString &destino,
                    QString *error);
bool deleteRelation(Runtime &rt, Relacion kind, const QString &origen, const QString &destino,
                    QString *error, int *removed = nullptr);

}  // namespace b2d
