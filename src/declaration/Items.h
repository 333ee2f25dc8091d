#pragma once

#include <QString>

namespace b2d {

class Runtime;

// The declaration's items fragment.
QString GetItemInfo(Runtime &rt, const QString &monedaFob, const QString &monedaFlete,
                    const QString &monedaSeguro, const QString &condicionVenta,
                    const QString &brokerReferenceCode, const QString &subregimen,
                    const QString &processReferenceCode);

}  // namespace b2d
