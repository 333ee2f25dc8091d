#include "gui/QtBrowserOpener.h"

#include <QDesktopServices>

namespace b2d {

bool QtBrowserOpener::openUrl(const QUrl &address)
{
    return QDesktopServices::openUrl(address);
}

}  // namespace b2d
