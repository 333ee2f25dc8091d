#pragma once

#include <QString>

namespace b2d {

// True when `programFolder` (the folder of the running executable) is an installed place: under
// /usr or /opt. An installed program writes nothing beside itself (its folder belongs to the
// system and is shared by every user): it logs in the per-user data folder and reads its
// connections file from the per-user folder or /etc/velmorab2d.
bool isInstalledProgramFolder(const QString &programFolder);

// The per-machine connections file of an installed program.
inline constexpr const char *kSystemConnectionsFile = "/etc/velmorab2d/connections.ini";

}  // namespace b2d
