#include "app/OperationsList.h"

#include "data/DataAccess.h"
#include "runtime/Errors.h"
#include "runtime/Queries.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

namespace {

const QString kEntity = QStringLiteral("INTERNOS");

// A date of the procedure as the list shows it: the day, and the time when there is one.
// Texts that do not read as dates are shown as they come.
QString dateCell(const QVariant &value)
{
    if (value.isNull())
        return {};
    const std::optional<QDateTime> dt = readDate(value);
    if (!dt)
        return EsNulo(value);
    if (dt->time() == QTime(0, 0))
        return dt->date().toString(QStringLiteral("dd/MM/yyyy"));
    return dt->toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

// The stored file name without the import prefix and its separator, wherever they occur.
// With no prefix configured the name is shown whole.
QString storedFileCell(const QVariant &value, const QString &prefix)
{
    QString name = EsNulo(value);
    // File names carry the prefix made safe, as the generation writes it.
    if (!prefix.isEmpty())
        name.remove(safeFileNamePart(prefix, true) + QLatin1Char('_'));
    return name;
}

}  // namespace

const QList<OperationsColumn> &operationsColumns()
{
    static const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    static const QList<OperationsColumn> columns{
        {QStringLiteral("NroDeclaracion"), 1900, {}},
        {QStringLiteral("Fecha Of."), 1200, {}},
        {QStringLiteral("SubReg"), 800, Qt::AlignCenter},
        {QStringLiteral("Archivo D2B"), 2000, left},
        {QStringLiteral("Int. Caldra"), 1500, left},
        {QStringLiteral("Int. Dorvane"), 1500, left},
        {QStringLiteral("Archivo B2D"), 2000, left},
        {QStringLiteral("Procesado"), 1200, {}},
        {QStringLiteral("Enviado"), -1, {}},
    };
    return columns;
}

QString operationsStatement(const QDate &desde, const QDate &hasta, OperationsOrder order)
{
    QString ending;
    switch (order) {
    case OperationsOrder::Fecha:
        ending = QStringLiteral("',0");
        break;
    case OperationsOrder::Interno:
        ending = QStringLiteral("',1");
        break;
    case OperationsOrder::None:
        return {};
    }
    const QString format = QStringLiteral("dd/MM/yyyy");
    return QStringLiteral("exec sp_Traer_Internos_VelmoraB2D '") + sqlQuote(desde.toString(format))
        + QStringLiteral("','") + sqlQuote(hasta.toString(format)) + ending;
}

QList<QStringList> CargarOperaciones(Runtime &rt, const QDate &desde, const QDate &hasta,
                                     OperationsOrder order, bool *failed)
{
    QList<QStringList> rows;
    if (failed)
        *failed = false;
    const QString sql = operationsStatement(desde, hasta, order);
    if (sql.isEmpty())
        return rows;
    try {
        Recordset rs;
        if (!openQuery(rt, kEntity, sql, rs)) {
            // No rows, or a procedure call that could not be opened: the list stays empty, and
            // a refusal by the database is reported with its reason.
            const QString error = rt.db.getDataConnectionByEntity(kEntity).lastError();
            if (!error.isEmpty())
                throw B2DError(ErrNo::Database, kEntity, error);
            return rows;
        }
        while (!rs.EOF_()) {
            QStringList cells;
            cells << EsNulo(rs.field(0))                            // NroDeclaracion
                  << dateCell(rs.field(1))                          // Fecha Of.
                  << EsNulo(rs.field(2))                            // SubReg
                  << QString()                                      // Archivo D2B
                  << EsNulo(rs.field(3))                            // Int. Caldra
                  << EsNulo(rs.field(4))                            // Int. Dorvane
                  << storedFileCell(rs.field(5), rt.cfg.PREFIJO)    // Archivo B2D
                  << dateCell(rs.field(6))                          // Procesado
                  << dateCell(rs.field(7));                         // Enviado
            rows << cells;
            rs.MoveNext();
        }
        rs.Close();
    } catch (const B2DError &e) {
        if (failed)
            *failed = true;
        showStandardError(rt, e, QStringLiteral("CargarGrilla"), QStringLiteral("Mod_Main"));
    }
    return rows;
}

}  // namespace b2d
