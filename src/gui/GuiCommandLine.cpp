#include "gui/GuiCommandLine.h"

#include "app/ProgramInfo.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace b2d {

namespace {

const QString kProgram = QStringLiteral("velmorab2d");

const QCommandLineOption kScreenshot(QStringLiteral("screenshot"),
                                     QStringLiteral("Save a picture of the main window as a PNG "
                                                    "file and quit."),
                                     QStringLiteral("FILE"));
const QCommandLineOption kScreenshotConfig(QStringLiteral("screenshot-config"),
                                           QStringLiteral("Save a picture of the configuration "
                                                          "window as a PNG file and quit."),
                                           QStringLiteral("FILE"));
const QCommandLineOption kScreenshotViewer(QStringLiteral("screenshot-viewer"),
                                           QStringLiteral("Save a picture of the subitem viewer of "
                                                          "--interno as a PNG file and quit."),
                                           QStringLiteral("FILE"));
const QCommandLineOption kInterno(QStringLiteral("interno"),
                                  QStringLiteral("The interno the viewer of --screenshot-viewer "
                                                 "shows."),
                                  QStringLiteral("INTERNO"));

QList<QCommandLineOption> guiOptions()
{
    QList<QCommandLineOption> options = runOptions();
    options << kScreenshot << kScreenshotConfig << kScreenshotViewer << kInterno << helpOption()
            << versionOption();
    return options;
}

}  // namespace

QString guiHelp()
{
    return QStringLiteral("usage: ") + kProgram + QStringLiteral(" [options]\n\n")
        + QStringLiteral("Proceso Dorvane B2D - (Operaciones): the operations list, the B2D file "
                         "of each operation,\nits hand-off to the customs-management program and "
                         "the configuration.\n\noptions:\n")
        + optionLines(guiOptions())
        + QStringLiteral("\nexit status: 0 closed normally, 1 wrong usage or the databases could "
                         "not be opened,\n4 the load failed, 5 a start-up check ended the "
                         "program.\nThe same operations without a window: velmorab2d-cli --help\n");
}

GuiCommandLine parseGuiCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err,
                                   const QString &installedVersionFile)
{
    GuiCommandLine line;
    QCommandLineParser parser;
    parser.addOptions(guiOptions());
    if (!parser.parse(QStringList{kProgram} + arguments)) {
        err << kProgram << ": " << parser.errorText() << "\nRun '" << kProgram
            << " --help' for its usage.\n";
        err.flush();
        line.exitStatus = 1;
        return line;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << guiHelp();
        out.flush();
        line.exitStatus = 0;
        return line;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out << versionText(kProgram, installedVersionFile);
        out.flush();
        line.exitStatus = 0;
        return line;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << kProgram << ": unexpected argument " << parser.positionalArguments().first()
            << "\nRun '" << kProgram << " --help' for its usage.\n";
        err.flush();
        line.exitStatus = 1;
        return line;
    }
    line.options.connectionsFile = parser.value(QStringLiteral("connections"));
    line.options.settingsFile = parser.value(QStringLiteral("settings"));
    line.options.traceSqlFile = parser.value(QStringLiteral("trace-sql"));
    line.screenshot = parser.value(kScreenshot);
    line.screenshotConfig = parser.value(kScreenshotConfig);
    line.screenshotViewer = parser.value(kScreenshotViewer);
    line.interno = parser.value(kInterno);
    return line;
}

}  // namespace b2d
