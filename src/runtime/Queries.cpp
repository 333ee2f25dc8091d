#include "runtime/Queries.h"

#include "data/DataAccess.h"
#include "runtime/Numbers.h"
#include "platform/Error.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

bool openQuery(Runtime &rt, const QString &entity, const QString &sql, Recordset &rs)
{
    rt.db.getDataConnectionByEntity(entity).sql = sql;
    return rt.db.getDataConnectionByEntity(entity).crearrs(rs);
}

bool runStatement(Runtime &rt, const QString &entity, const QString &sql)
{
    rt.db.getDataConnectionByEntity(entity).sql = sql;
    return rt.db.getDataConnectionByEntity(entity).ejecutar();
}

QString columnText(const Recordset &rs, const char *column)
{
    return EsNulo(rs.field(QLatin1String(column)));
}

double columnNumber(Runtime &rt, const Recordset &rs, const char *column)
{
    return EsNumero(rt, rs.field(QLatin1String(column)));
}

bool openCheckedQuery(Runtime &rt, const QString &entity, const QString &sql, Recordset &rs)
{
    if (openQuery(rt, entity, sql, rs))
        return true;
    const QString error = rt.db.getDataConnectionByEntity(entity).lastError();
    if (!error.isEmpty())
        throw B2DError(ErrNo::Database, QStringLiteral("RecordGate.RGMain"), error);
    return false;
}

}  // namespace b2d
