#pragma once

#include <QString>

namespace b2d {

class Runtime;

QString GetEXPOTAG_declarationEntity(Runtime &rt, const QString &interno, int item,
                                     const QString &invoiceNumber, const QString &preparedQuery);

}  // namespace b2d
