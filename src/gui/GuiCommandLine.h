#pragma once

#include "app/Startup.h"
#include "platform/InstalledVersion.h"

#include <QString>
#include <QStringList>
#include <optional>

class QTextStream;

namespace b2d {

// The command line of velmorab2d, read before any application object exists so that --help,
// --version and a wrong option are answered on a machine without a display.
struct GuiCommandLine {
    ShellOptions options;
    QString screenshot;        // --screenshot FILE: the main window
    QString screenshotConfig;  // --screenshot-config FILE: the configuration window
    QString screenshotViewer;  // --screenshot-viewer FILE: the subitem viewer of `interno`
    QString interno;
    // Set when the program ends here (help or version printed: 0; wrong usage reported: 1).
    std::optional<int> exitStatus;
};

// Reads `arguments` (without the program's name). Help and version go to `out`, usage errors to
// `err`. `installedVersionFile` is the per-machine file --version reads (tests replace it).
GuiCommandLine parseGuiCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err,
                                   const QString &installedVersionFile
                                   = QLatin1String(kInstalledVersionFile));

// The usage of velmorab2d.
QString guiHelp();

}  // namespace b2d
