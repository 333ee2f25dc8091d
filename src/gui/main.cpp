// velmorab2d: the operator's window.
#include "app/Startup.h"
#include "app/UpdateCheck.h"
#include "gui/Frm_Config.h"
#include "gui/Frm_Main.h"
#include "gui/Frm_View.h"
#include "gui/QtBoxes.h"
#include "gui/QtBrowserOpener.h"
#include "platform/Clock.h"
#include "platform/InstalledVersion.h"
#include "platform/WebFetch.h"
#include "runtime/Errors.h"
#include "runtime/Runtime.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>
#include <QTimer>

using namespace b2d;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmorab2d"));
    QApplication::setApplicationVersion(Runtime::version());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Proceso Dorvane B2D - (Operaciones)"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption connections(QStringLiteral("connections"),
                                         QStringLiteral("Data access configuration file."),
                                         QStringLiteral("FILE"));
    const QCommandLineOption settings(QStringLiteral("settings"),
                                      QStringLiteral("INI file used as the settings store."),
                                      QStringLiteral("FILE"));
    const QCommandLineOption traceSql(QStringLiteral("trace-sql"),
                                      QStringLiteral("Append every statement as one JSON line."),
                                      QStringLiteral("FILE"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the main window as a PNG file and quit."),
        QStringLiteral("FILE"));
    const QCommandLineOption screenshotConfig(
        QStringLiteral("screenshot-config"),
        QStringLiteral("Save a picture of the configuration window as a PNG file and quit."),
        QStringLiteral("FILE"));
    const QCommandLineOption screenshotViewer(
        QStringLiteral("screenshot-viewer"),
        QStringLiteral("Save a picture of the subitem viewer of --interno as a PNG file and quit."),
        QStringLiteral("FILE"));
    const QCommandLineOption interno(QStringLiteral("interno"),
                                     QStringLiteral("The interno the viewer of --screenshot-viewer shows."),
                                     QStringLiteral("INTERNO"));
    parser.addOptions({connections, settings, traceSql, screenshot, screenshotConfig,
                       screenshotViewer, interno});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        QTextStream(stderr) << "velmorab2d: unexpected argument " << parser.positionalArguments().first()
                            << "\n";
        return 1;
    }

    ShellOptions options;
    options.connectionsFile = parser.value(connections);
    options.settingsFile = parser.value(settings);
    options.traceSqlFile = parser.value(traceSql);

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
        boxes.inform(started ? QStringLiteral("Error ") + QString::number(e.number())
                                   + QStringLiteral(" (") + e.description()
                                   + QStringLiteral(") in procedure Form_Load of Formulario Frm_Main")
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
    if (parser.isSet(screenshot)) {
        pictured = &window;
        file = parser.value(screenshot);
    } else if (parser.isSet(screenshotConfig)) {
        config = std::make_unique<Frm_Config>(shell->rt(), &window);
        config->show();
        pictured = config.get();
        file = parser.value(screenshotConfig);
    } else if (parser.isSet(screenshotViewer)) {
        auto *view = new Frm_View(shell->rt(), &window);
        view->setInterno(parser.value(interno));
        view->Mostrar();
        if (!view->isVisible()) {
            QTextStream(stderr) << "velmorab2d: nothing to show for interno \"" << parser.value(interno)
                                << "\"\n";
            return 1;
        }
        pictured = view;
        file = parser.value(screenshotViewer);
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
