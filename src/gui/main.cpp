// velmorab2d: the operator's window.
#include "app/Startup.h"
#include "app/UpdateCheck.h"
#include "gui/Frm_Config.h"
#include "gui/Frm_Main.h"
#include "gui/Frm_View.h"
#include "gui/GuiCommandLine.h"
#include "gui/QtBoxes.h"
#include "gui/QtBrowserOpener.h"
#include "platform/Clock.h"
#include "platform/Heap.h"
#include "platform/InstalledVersion.h"
#include "platform/WebFetch.h"
#include "runtime/Errors.h"
#include "runtime/Runtime.h"

#include <QApplication>
#include <QTextStream>
#include <QTimer>

using namespace b2d;

int main(int argc, char **argv)
{
    prepareHeap();
    // The options first: --help, --version and a wrong option need no display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const GuiCommandLine line = [&arguments] {
        QTextStream out(stdout);
        QTextStream err(stderr);
        return parseGuiCommandLine(arguments, out, err);
    }();
    if (line.exitStatus)
        return *line.exitStatus;
    const ShellOptions &options = line.options;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmorab2d"));
    QApplication::setApplicationVersion(Runtime::version());

    QtBoxes boxes;
    std::unique_ptr<Shell> shell;
    try {
        shell = std::make_unique<Shell>(options, boxes);
        shell->start();
    } catch (const ProgramEnd &) {
        return 5;  // the failed check has shown its message
    } catch (const B2DError &e) {
        // Before the run exists the connections could not be opened; after it, a step of the
        // load failed.
        const bool started = shell && shell->started();
        boxes.inform(started ? QString(QStringLiteral("Error ") + QString::number(e.number())
                                           + QStringLiteral(" (") + e.description()
                                           + QStringLiteral(") in procedure Form_Load of Formulario Frm_Main"))
                             : QStringLiteral("No se pudieron abrir las bases de datos:")
                                   + QLatin1Char('\n') + e.description(),
                     started ? BoxIcon::None : BoxIcon::Critical, Runtime::appTitle());
        return started ? 4 : 1;
    }

    Frm_Main window(shell->rt());
    boxes.setParentWidget(&window);
    QtWebFetcher web;
    QtBrowserOpener browser;
    UpdateServices update;
    update.baseUrl = updateBaseUrl(options.connectionsFile.isEmpty() ? Shell::defaultConnectionsFile()
                                                                     : options.connectionsFile);
    update.web = &web;
    update.browser = &browser;
    update.installedVersion = [] { return LeerVersionInstalada(); };
    window.setUpdateServices(update);
    QObject::connect(&window, &Frm_Main::programEnded, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    window.show();

    // Pictures for the documentation: one window, saved once it has been laid out.
    QWidget *pictured = nullptr;
    QString file;
    std::unique_ptr<Frm_Config> config;
    if (!line.screenshot.isEmpty()) {
        pictured = &window;
        file = line.screenshot;
    } else if (!line.screenshotConfig.isEmpty()) {
        config = std::make_unique<Frm_Config>(shell->rt(), &window);
        config->show();
        pictured = config.get();
        file = line.screenshotConfig;
    } else if (!line.screenshotViewer.isEmpty()) {
        auto *view = new Frm_View(shell->rt(), &window);
        view->setInterno(line.interno);
        view->Mostrar();
        if (!view->isVisible()) {
            QTextStream(stderr) << "velmorab2d: nothing to show for interno \"" << line.interno
                                << "\"\n";
            return 1;
        }
        pictured = view;
        file = line.screenshotViewer;
    }
    if (pictured) {
        pictured->raise();
        QTimer::singleShot(500, pictured, [pictured, file] {
            const bool saved = pictured->grab().save(file, "PNG");
            if (!saved)
                QTextStream(stderr) << "velmorab2d: cannot write " << file << "\n";
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
