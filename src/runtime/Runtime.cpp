#include "runtime/Runtime.h"

#include "runtime/RunLog.h"

namespace b2d {

QString Runtime::version()
{
    return QStringLiteral("%1.%2.%3")
        .arg(B2D_VERSION_MAJOR)
        .arg(B2D_VERSION_MINOR)
        .arg(B2D_VERSION_REVISION);
}

QString Runtime::appTitle()
{
    return QLatin1String(kAppName) + QStringLiteral(" - v.") + version();
}

void Runtime::trace(const QString &line)
{
    if (trazaDetallada)
        log.EscribirLog(line);
}

void CargarConfiguracion(Runtime &rt)
{
    rt.cfg = loadSettings(rt.store);
}

}  // namespace b2d
