// The operations list at its size limit, timed inside one process so that start-up is left out:
// from sending the list procedure to the last row in the main window's model (with a grid view
// over it, offscreen), and to the last line of the `list` command's table on its output stream.
// Prints "rows <n> window <ms> paint <ms> list <ms>", the medians of the runs (paint: the grid's
// first screen after the rows are in).
//
// Usage: b2d-bench-list --connections FILE --settings FILE --date dd/MM/yyyy [--runs N]

#include "app/OperationsList.h"
#include "app/Startup.h"
#include "cli/ListCommand.h"
#include "gui/OperationsModel.h"
#include "platform/Boxes.h"
#include "platform/Clock.h"
#include "runtime/Runtime.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Boxes nobody answers: a box during the run is a fault of the benchmark, told on stderr.
class SilentBoxes final : public b2d::Boxes {
public:
    b2d::BoxAnswer message(const QString &text, b2d::BoxButtons buttons, b2d::BoxIcon,
                           const QString &) override
    {
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
        return buttons == b2d::BoxButtons::YesNo ? b2d::BoxAnswer::No : b2d::BoxAnswer::Ok;
    }
    QString input(const QString &prompt, const QString &, const QString &) override
    {
        std::fprintf(stderr, "input box: %s\n", qPrintable(prompt));
        return {};
    }
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    b2d::ShellOptions options;
    QDate date = QDate::currentDate();
    int runs = 5;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--connections"))
            options.connectionsFile = args[i + 1];
        else if (args[i] == QLatin1String("--settings"))
            options.settingsFile = args[i + 1];
        else if (args[i] == QLatin1String("--date"))
            date = QDate::fromString(args[i + 1], QStringLiteral("dd/MM/yyyy"));
        else if (args[i] == QLatin1String("--runs"))
            runs = std::max(1, args[i + 1].toInt());
    }
    SilentBoxes boxes;
    b2d::Shell shell(options, boxes);
    try {
        shell.start();
    } catch (...) {
        std::fprintf(stderr, "the workspace could not be opened\n");
        return 2;
    }

    b2d::OperationsModel model;
    QTableView grid;
    grid.setModel(&model);
    grid.resize(1200, 700);
    grid.show();
    QFile sink(QStringLiteral("/dev/null"));
    sink.open(QIODevice::WriteOnly);
    QTextStream out(&sink);

    std::vector<double> window, paint, list;
    qsizetype rows = 0;
    for (int r = 0; r < runs; ++r) {
        model.clear();
        app.processEvents();
        QElapsedTimer timer;
        timer.start();
        model.setRows(b2d::CargarOperaciones(shell.rt(), date, date, b2d::OperationsOrder::Interno));
        window.push_back(timer.nsecsElapsed() / 1e6);
        rows = model.rowCount();
        timer.restart();
        grid.repaint();  // the grid's first screen of rows, timed on its own
        paint.push_back(timer.nsecsElapsed() / 1e6);

        timer.restart();
        out << b2d::cli::ListCommand::formatTable(
            b2d::CargarOperaciones(shell.rt(), date, date, b2d::OperationsOrder::Interno));
        out.flush();
        list.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("rows %lld window %.0f paint %.0f list %.0f\n", static_cast<long long>(rows),
                median(window), median(paint), median(list));
    return 0;
}
