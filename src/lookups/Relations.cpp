#include "lookups/Relations.h"

#include "data/DataAccess.h"
#include "platform/Error.h"
#include "runtime/Queries.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

namespace {

const QString kHistorial = QStringLiteral("HISTORIAL");

RelationTable codeTable(Relacion kind, const char *name, const char *table)
{
    return RelationTable{
        kind,
        QLatin1String(name),
        QLatin1String(table),
        QStringLiteral("IDSIM"),
        QStringLiteral("IDISO"),
        {{QStringLiteral("SIM"), 700}, {QStringLiteral("ISO"), 700}, {QStringLiteral("Descripcion"), 3000}},
        QStringLiteral("Select IDSIM,IDISO,Descripcion From %1 Order By IDSIM,IDISO")
            .arg(QLatin1String(table)),
    };
}

const QList<RelationTable> &tables()
{
    static const QList<RelationTable> all{
        RelationTable{
            Relacion::Concepto,
            QStringLiteral("Concepto"),
            QStringLiteral("RelacionConceptos"),
            QStringLiteral("RelacionOrigen"),
            QStringLiteral("RelacionDestino"),
            {{QStringLiteral("Relacion Origen"), 2500}, {QStringLiteral("Relacion Destino"), 2500}},
            QStringLiteral("Select RelacionOrigen,RelacionDestino From RelacionConceptos Order By "
                           "RelacionOrigen"),
        },
        codeTable(Relacion::Moneda, "Moneda", "RelacionMonedas"),
        codeTable(Relacion::Pais, "Pais", "RelacionPaises"),
    };
    return all;
}

// Runs a write on "HISTORIAL"; false with the database's text when it was refused.
bool execute(Runtime &rt, const QString &sql, QString *error, int *rows = nullptr)
{
    Connection &c = rt.db.getDataConnectionByEntity(kHistorial);
    c.sql = sql;
    const bool ok = rt.db.getDataConnectionByEntity(kHistorial).ejecutar();
    if (!ok && error)
        *error = c.lastError();
    if (rows)
        *rows = ok ? c.rowsAffected() : -1;
    return ok;
}

}  // namespace

const RelationTable &relationTable(Relacion kind)
{
    return tables().at(int(kind));
}

const QList<Relacion> &relationKinds()
{
    static const QList<Relacion> kinds{Relacion::Concepto, Relacion::Moneda, Relacion::Pais};
    return kinds;
}

QList<QStringList> CargarRelaciones(Runtime &rt, Relacion kind)
{
    const RelationTable &t = relationTable(kind);
    QList<QStringList> rows;
    Recordset rs;
    if (!openCheckedQuery(rt, kHistorial, t.select, rs))
        return rows;
    // The columns by name, as the statement names them (Descripcion read as DESCRIPCION).
    QStringList names{t.origin, t.destination};
    if (t.columns.size() > 2)
        names << QStringLiteral("DESCRIPCION");
    while (!rs.EOF_()) {
        QStringList cells;
        for (const QString &name : names)
            cells << EsNulo(rs.field(name));
        rows << cells;
        rs.MoveNext();
    }
    rs.Close();
    return rows;
}

QString relationInsertStatement(Relacion kind, const QString &origen, const QString &destino)
{
    const RelationTable &t = relationTable(kind);
    return QStringLiteral("Insert into ") + t.table + QLatin1Char('(') + t.origin + QLatin1Char(',')
        + t.destination + QStringLiteral(") Values ('") + sqlQuote(origen) + QStringLiteral("','")
        + sqlQuote(destino) + QStringLiteral("')");
}

QString relationDeleteStatement(Relacion kind, const QString &origen, const QString &destino)
{
    const RelationTable &t = relationTable(kind);
    return QStringLiteral("Delete from ") + t.table + QStringLiteral(" where ") + t.origin
        + QStringLiteral(" = '") + sqlQuote(origen) + QStringLiteral("' AND ") + t.destination
        + QStringLiteral(" = '") + sqlQuote(destino) + QLatin1Char('\'');
}

QString relationDeleteQuestion(Relacion kind, const QString &origen, const QString &destino)
{
    return QStringLiteral("Desea quitar la relacion de ") + relationTable(kind).name
        + QStringLiteral(" (") + origen + QStringLiteral(" -> ") + destino + QLatin1Char(')');
}

bool insertRelation(Runtime &rt, Relacion kind, const QString &origen, const QString &destino,
                    QString *error)
{
    return execute(rt, relationInsertStatement(kind, origen, destino), error);
}

bool deleteRelation(Runtime &rt, Relacion kind, const QString &origen, const QString &destino,
                    QString *error, int *removed)
{
    return execute(rt, relationDeleteStatement(kind, origen, destino), error, removed);
}

}  // namespace b2d
