#pragma once

#include <QString>
#include <QVariant>

namespace b2d {

// Where the installer records the installed release of the program, as a whole number.
//
// On Windows: the value "version" under HKEY_LOCAL_MACHINE\SOFTWARE\Nerrat\Velmora, a string or
// a 32-bit number. It is read in the registry's 32-bit view (KEY_WOW64_32KEY), where the
// office's 32-bit installers have always written it; a 64-bit build therefore reads
// HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\Nerrat\Velmora.
//
// Elsewhere: the per-machine INI file kInstalledVersionFile, group [Velmora], key version.
inline constexpr const char *kInstalledVersionFile = "/etc/velmorab2d/version.ini";

// The installed version as stored (a number or a text), or a null value when the key, the file
// or the value is missing. `iniFile` replaces the per-machine file outside Windows (tests).
QVariant LeerVersionInstalada(const QString &iniFile = QLatin1String(kInstalledVersionFile));

}  // namespace b2d
