#include "platform/InstalledVersion.h"

#include "platform/IniSettingsStore.h"

#ifdef Q_OS_WIN
#include <QSettings>
#endif

namespace b2d {

QVariant LeerVersionInstalada(const QString &iniFile)
{
#ifdef Q_OS_WIN
    Q_UNUSED(iniFile)
    const QSettings registry(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Nerrat\\Velmora"),
                             QSettings::Registry32Format);
    return registry.value(QStringLiteral("version"));
#else
    const QString value = IniSettingsStore::singleFile(iniFile)->get(
        QStringLiteral("VELMORA"), QStringLiteral("Velmora"), QStringLiteral("version"));
    if (value.isEmpty())
        return {};
    return value;
#endif
}

}  // namespace b2d
