#include "cli/CommandLine.h"

#include "app/ProgramInfo.h"
#include "platform/Clock.h"
#include "platform/InstalledVersion.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>

namespace b2d::cli {

namespace {

Command *findCommand(const CommandTable &commands, const QString &name)
{
    for (const auto &c : commands)
        if (c->name() == name)
            return c.get();
    return nullptr;
}

// True for "--name" or "-n" of a common option that takes a value in the next argument.
bool takesNextArgument(const QString &arg)
{
    if (arg.contains(QLatin1Char('=')))
        return false;
    QString name = arg;
    while (name.startsWith(QLatin1Char('-')))
        name.remove(0, 1);
    for (const QCommandLineOption &o : commonOptions())
        if (o.names().contains(name))
            return !o.valueName().isEmpty();
    return false;
}

// The system's time of day on a given day.
class DayClock final : public Clock {
public:
    explicit DayClock(const QDate &day) : m_day(day) {}
    QDateTime now() const override { return QDateTime(m_day, QTime::currentTime()); }

private:
    QDate m_day;
};

}  // namespace

QString generalHelp(const CommandTable &commands, const QString &programName)
{
    QString text = QStringLiteral("usage: ") + programName
        + QStringLiteral(" [common options] COMMAND [arguments] [options]\n\n")
        + QStringLiteral("The operations of VelmoraB2D without a window.\n\ncommands:\n");
    for (const auto &c : commands)
        text += QStringLiteral("  ") + c->name().leftJustified(10) + QLatin1Char(' ')
            + c->summary() + QLatin1Char('\n');
    text += QStringLiteral("\ncommon options:\n") + optionLines(commonOptions());
    text += QStringLiteral("\nexit status: 0 done, 1 wrong usage, 3 cancelled, 4 failed, "
                           "5 the program ended itself.\n")
        + QStringLiteral("Run '") + programName + QStringLiteral(" COMMAND --help' for a command's usage.\n");
    return text;
}

int runCommandLine(const QStringList &arguments, Streams &io, const QString &programPath,
                   const QDate &today)
{
    if (today.isValid())
        return runCommandLine(arguments, io, programPath, DayClock(today));
    return runCommandLine(arguments, io, programPath, Clock());
}

int runCommandLine(const QStringList &arguments, Streams &io, const QString &programPath,
                   const Clock &clock)
{
    const CommandTable commands = buildCommandTable();
    return runCommandLine(commands, arguments, io, programPath, clock);
}

int runCommandLine(const CommandTable &commands, const QStringList &arguments, Streams &io,
                   const QString &programPath, const Clock &clock)
{
    const QString programName = QFileInfo(programPath).fileName();
    // The command name is the first argument that is neither an option nor the value of a
    // common option given before it.
    qsizetype commandIndex = -1;
    bool helpAsked = false;
    bool versionAsked = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("--")) {
            if (i + 1 < arguments.size())
                commandIndex = i + 1;
            break;
        }
        if (arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-")) {
            if (arg == QLatin1String("-h") || arg == QLatin1String("--help"))
                helpAsked = true;
            if (arg == QLatin1String("--version"))
                versionAsked = true;
            if (takesNextArgument(arg))
                ++i;
            continue;
        }
        commandIndex = i;
        break;
    }

    if (commandIndex < 0) {
        if (helpAsked) {
            io.out << generalHelp(commands, programName);
            io.out.flush();
            return ExitOk;
        }
        if (versionAsked) {
            io.out << versionText(programName, QString::fromLatin1(kInstalledVersionFile));
            io.out.flush();
            return ExitOk;
        }
        io.err << programName << ": no command given\n" << generalHelp(commands, programName);
        io.err.flush();
        return ExitUsage;
    }

    QString name = arguments.at(commandIndex);
    if (name == QLatin1String("help")) {
        const QString about = arguments.value(commandIndex + 1);
        const Command *c = findCommand(commands, about);
        io.out << (c ? c->helpText(programName) : generalHelp(commands, programName));
        io.out.flush();
        return ExitOk;
    }
    Command *command = findCommand(commands, name);
    if (!command) {
        io.err << programName << ": unknown command '" << name << "'\n"
               << "Run '" << programName << " --help' for the list of commands.\n";
        io.err.flush();
        return ExitUsage;
    }

    QCommandLineParser parser;
    parser.addOptions(commonOptions());
    parser.addOptions(command->options());
    if (!parser.parse(QStringList{programName} + arguments)) {
        io.err << programName << ": " << parser.errorText() << '\n'
               << "Run '" << programName << ' ' << name << " --help' for its usage.\n";
        io.err.flush();
        return ExitUsage;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        io.out << command->helpText(programName);
        io.out.flush();
        return ExitOk;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        io.out << versionText(programName, QString::fromLatin1(kInstalledVersionFile));
        io.out.flush();
        return ExitOk;
    }

    QStringList positional = parser.positionalArguments();
    positional.removeOne(name);
    Invocation inv{io,
                   parser,
                   positional,
                   readCommonOptions(parser),
                   programName,
                   programPath,
                   commands,
                   clock,
                   clock.now().date()};
    const int status = command->execute(inv);
    io.out.flush();
    io.err.flush();
    return status;
}

}  // namespace b2d::cli
