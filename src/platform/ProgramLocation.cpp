#include "platform/ProgramLocation.h"

#include <QDir>

namespace b2d {

bool isInstalledProgramFolder(const QString &programFolder)
{
    if (programFolder.isEmpty())
        return false;
    const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(programFolder));
    for (const QLatin1String root : {QLatin1String("/usr"), QLatin1String("/opt")})
        if (folder == root || folder.startsWith(root + QLatin1Char('/')))
            return true;
    return false;
}

}  // namespace b2d
