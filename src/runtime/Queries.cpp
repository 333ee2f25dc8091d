#include "runtime/Queries.h"

#include "data/DataAccess.h"
#include "platform/Error.h"
#include "runtime/Runtime.h"

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

bool openListQuery(Runtime &rt, const QString &entity, const QString &sql, Recordset &rs)
{
    if (openQuery(rt, entity, sql, rs))
        return true;
    const QString error = rt.db.getDataConnectionByEntity(entity).lastError();
    if (!error.isEmpty())
        throw B2DError(ErrNo::Database, QStringLiteral("RecordGate.RGMain"), error);
    return false;
}

}  // namespace b2d
