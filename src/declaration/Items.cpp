#include "declaration/Items.h"

namespace b2d {

QString GetItemInfo(Runtime &rt, const QString &monedaFob, const QString &monedaFlete,
                    const QString &monedaSeguro, const QString &condicionVenta,
                    const QString &brokerReferenceCode, const QString &subregimen,
                    const QString &processReferenceCode)
{
    return {};  // The items section is not written yet.
}

}  // namespace b2d
