#include "cli/Command.h"

#include "app/ProgramInfo.h"
#include "app/Startup.h"
#include "cli/CliOperator.h"
#include "platform/Clock.h"
#include "runtime/Errors.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>

namespace b2d::cli {

namespace {

const QString kConnections = QStringLiteral("connections");
const QString kSettings = QStringLiteral("settings");
const QString kTraceSql = QStringLiteral("trace-sql");
const QString kNoReadCache = QStringLiteral("no-read-cache");
const QString kNoWorkingSet = QStringLiteral("no-working-set");

QString describe(const B2DError &e)
{
    QString text = e.description();
    if (!e.source().isEmpty())
        text += QStringLiteral(" (") + e.source() + QLatin1Char(')');
    return text;
}

}  // namespace

void Invocation::error(const QString &message) const
{
    io.err << programName << ": " << message << '\n';
    io.err.flush();
}

int Invocation::usageError(const QString &message, const QString &command) const
{
    error(message);
    io.err << "Run '" << programName << ' ' << command << " --help' for its usage.\n";
    io.err.flush();
    return ExitUsage;
}

QString Command::helpText(const QString &programName) const
{
    QString text = QStringLiteral("usage: ") + programName + QStringLiteral(" [common options] ")
        + name();
    if (!argumentsSyntax().isEmpty())
        text += QLatin1Char(' ') + argumentsSyntax();
    if (!options().isEmpty())
        text += QStringLiteral(" [options]");
    text += QStringLiteral("\n\n") + description() + QStringLiteral("\n");
    if (!options().isEmpty())
        text += QStringLiteral("\noptions:\n") + optionLines(options());
    text += QStringLiteral("\ncommon options:\n") + optionLines(commonOptions());
    return text;
}

QList<QCommandLineOption> commonOptions()
{
    QList<QCommandLineOption> options = runOptions();
    options << QCommandLineOption(kNoReadCache,
                                  QStringLiteral("Send every read to the database, even one already "
                                                 "answered in the same generation (for comparison)."))
            << QCommandLineOption(kNoWorkingSet,
                                  QStringLiteral("Send every read to the database instead of "
                                                 "answering the operation's rows from a working set "
                                                 "(for comparison)."))
            << helpOption() << versionOption();
    return options;
}

CommonOptions readCommonOptions(const QCommandLineParser &parser)
{
    CommonOptions o;
    o.connectionsFile = parser.value(kConnections);
    o.settingsFile = parser.value(kSettings);
    o.traceSqlFile = parser.value(kTraceSql);
    o.readCache = !parser.isSet(kNoReadCache);
    o.workingSet = !parser.isSet(kNoWorkingSet);
    return o;
}

QDate parseCommandLineDate(const QString &text)
{
    const QString t = text.trimmed();
    for (const QString &format : {QStringLiteral("d/M/yyyy"), QStringLiteral("yyyy-MM-dd")}) {
        const QDate d = QDate::fromString(t, format);
        if (d.isValid())
            return d;
    }
    return {};
}

bool DatabaseCommand::prepare(Invocation &, CliOperator &, QString *)
{
    return true;
}

int DatabaseCommand::execute(Invocation &inv)
{
    CliOperator op(inv.io.err, inv.io.in);
    QString problem;
    if (!prepare(inv, op, &problem))
        return inv.usageError(problem, name());

    ShellOptions options;
    options.connectionsFile = inv.common.connectionsFile;
    options.settingsFile = inv.common.settingsFile;
    options.traceSqlFile = inv.common.traceSqlFile;
    options.readCache = inv.common.readCache;
    options.workingSet = inv.common.workingSet;
    const QString connections = options.connectionsFile.isEmpty() ? Shell::defaultConnectionsFile()
                                                                   : options.connectionsFile;
    if (!QFileInfo(connections).isFile())
        return inv.usageError(QStringLiteral("connections file not found: %1").arg(connections),
                              name());
    if (!options.settingsFile.isEmpty() && !QFileInfo(options.settingsFile).isFile())
        return inv.usageError(
            QStringLiteral("settings file not found: %1").arg(options.settingsFile), name());

    try {
        Shell shell(options, op, std::make_unique<ClockRef>(inv.clock));
        try {
            shell.start();
        } catch (const B2DError &e) {
            // Before the run exists the connections could not be opened; after it, a start-up
            // step failed (the window reports that as the error of its load).
            inv.error((shell.started() ? QStringLiteral("start-up failed: %1")
                                       : QStringLiteral("cannot open the databases: %1"))
                          .arg(describe(e)));
            return ExitFailed;
        }
        return executeWithShell(inv, shell, op);
    } catch (const ProgramEnd &end) {
        inv.error(end.reason().isEmpty()
                      ? QStringLiteral("the program ended (Finalizar Programa)")
                      : QStringLiteral("the program ended: %1").arg(end.reason()));
        return ExitProgramEnd;
    } catch (const B2DError &e) {
        inv.error(describe(e));
        return ExitFailed;
    }
}

}  // namespace b2d::cli
