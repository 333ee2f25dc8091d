#include "runtime/Queries.h"

#include "data/DataAccess.h"
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

}  // namespace b2d
