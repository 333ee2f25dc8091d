#pragma once

#include <QString>
#include <QStringList>

namespace b2d {

class Runtime;

// The parties of an import operation: declarationEntity / declarationItemEntity elements.
QString GetIMPOTAG_declarationEntity(Runtime &rt, const QString &interno, int item,
                                     const QString &invoiceNumber, const QString &preparedQuery);
// The party query for several article lines ("article|||invoice" entries; index 0 unused, as the
// article list is numbered from 1). Empty when the list has no entry.
QString EntityQueryByITEM(Runtime &rt, const QString &interno, const QStringList &articles);

}  // namespace b2d
