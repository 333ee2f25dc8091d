#pragma once

#include <QCommandLineOption>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QCommandLineParser;
class QTextStream;

namespace b2d {
class Clock;
class Shell;
}

namespace b2d::cli {

class CliOperator;
class Command;

// Exit statuses of velmorab2d-cli.
enum ExitStatus : int {
    ExitOk = 0,          // done (messages may have been shown on the way)
    ExitUsage = 1,       // unknown command or option, bad date, missing file
    ExitCancelled = 3,   // the generation was cancelled: nothing written, nothing recorded
    ExitFailed = 4,      // a failure was reported and no file was written
    ExitProgramEnd = 5,  // the program ended itself (a start-up check, a closing condition)
};

// Where a command reads and writes. The program passes its standard streams; tests pass
// streams over strings and read what a command printed.
struct Streams {
    QTextStream &out;
    QTextStream &err;
    QTextStream *in = nullptr;  // the terminal, for --interactive
};

using CommandTable = std::vector<std::unique_ptr<Command>>;

// The options every command accepts.
struct CommonOptions {
    QString connectionsFile;  // --connections FILE
    QString settingsFile;     // --settings FILE
    QString traceSqlFile;     // --trace-sql FILE
    bool readCache = true;    // off with --no-read-cache
    bool workingSet = true;   // off with --no-working-set
};

// One run of one command: its parsed command line and its surroundings.
struct Invocation {
    Streams &io;
    const QCommandLineParser &parser;  // common options and the command's own
    QStringList arguments;             // positional arguments after the command name
    CommonOptions common;
    QString programName;               // the program's name, for messages and usage
    QString programPath;               // the program as it was called, for printed examples
    const CommandTable &commands;      // every command of the program
    const Clock &clock;                // the run's clock (the databases' runs use it too)
    QDate today;                       // the day the command runs on, from `clock`

    // "velmorab2d-cli: message" on the error stream.
    void error(const QString &message) const;
    // Same, followed by the hint to the command's help; returns ExitUsage.
    int usageError(const QString &message, const QString &command) const;
};

// One command of the command line: a name, a description, its options and what it does.
class Command {
public:
    virtual ~Command() = default;

    virtual QString name() const = 0;
    virtual QString description() const = 0;
    // One whole short sentence for the list of commands of the general help.
    virtual QString summary() const = 0;
    // The positional arguments as the usage line shows them ("[DIR]", "NUMBER").
    virtual QString argumentsSyntax() const { return {}; }
    virtual QList<QCommandLineOption> options() const { return {}; }
    // Runs the command; returns its exit status.
    virtual int execute(Invocation &inv) = 0;

    // "usage: PROGRAM [common options] NAME ARGS [options]" and the options, for --help.
    QString helpText(const QString &programName) const;
};

// A command that works on the databases: it builds the shell over the connections and
// settings of the command line, runs the start-up checks, and only then does its work.
//
// Statuses of the opening: a connections or settings file that does not exist is wrong usage
// (1); a connections file that names an unknown driver or a database that cannot be opened, or
// any other failure of the start-up, is a reported failure (4); a failed start-up check ends the
// program (5). A ProgramEnd raised while the command works also gives 5, and a failure that
// escapes it 4.
class DatabaseCommand : public Command {
public:
    int execute(Invocation &inv) final;

protected:
    // Checks the command's arguments and prepares the operator (answers, interactive mode)
    // before anything is opened. False with `error` is wrong usage.
    virtual bool prepare(Invocation &inv, CliOperator &op, QString *error);
    // The command's work, with the databases open and the start-up checks passed.
    virtual int executeWithShell(Invocation &inv, Shell &shell, CliOperator &op) = 0;
};

// The options every command accepts, and their values out of a parsed command line.
QList<QCommandLineOption> commonOptions();
CommonOptions readCommonOptions(const QCommandLineParser &parser);

// Reads a date of the command line: dd/mm/yyyy (d/m/yyyy) or yyyy-mm-dd. Invalid when neither.
QDate parseCommandLineDate(const QString &text);

}  // namespace b2d::cli
