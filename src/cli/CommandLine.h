#pragma once

#include "cli/Command.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace b2d {
class Clock;
}

namespace b2d::cli {

inline constexpr const char *kProgramName = "velmorab2d-cli";

// The commands of velmorab2d-cli. The table is built here and nowhere else: a new command is
// one class and one line in this function.
CommandTable buildCommandTable();

// Runs one command line (the arguments after the program's name) and returns the exit status.
// Common options may stand before or after the command name. `programPath` is the program as it
// was called (its file name names it in messages). `clock` is the run's clock: the processing,
// file and sending dates and the default date ranges come from it (a test pins it).
int runCommandLine(const QStringList &arguments, Streams &io, const QString &programPath,
                   const Clock &clock);
int runCommandLine(const CommandTable &commands, const QStringList &arguments, Streams &io,
                   const QString &programPath, const Clock &clock);
// The same on the system's clock; with a valid `today`, on a clock whose day is `today` and
// whose time of day runs.
int runCommandLine(const QStringList &arguments, Streams &io,
                   const QString &programPath = QLatin1String(kProgramName),
                   const QDate &today = {});

// The program's usage: the commands and the common options.
QString generalHelp(const CommandTable &commands, const QString &programName);

}  // namespace b2d::cli
