#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QVariant>

namespace b2d {

// What --version prints: the program's name and version, and the installed release number the
// update check compares with the announced one ("not recorded" when the per-machine file holds
// none).
QString versionText(const QString &programName, const QVariant &installedVersion);
// The same, with the installed release read from `installedVersionFile` (outside Windows; on
// Windows from the registry).
QString versionText(const QString &programName, const QString &installedVersionFile);

// The options both programs take: --connections FILE, --settings FILE, --trace-sql FILE (in
// that order), and -h/--help and --version.
QList<QCommandLineOption> runOptions();
QCommandLineOption helpOption();
QCommandLineOption versionOption();

// The options of a usage text, one a line: "  --name VALUE   description".
QString optionLines(const QList<QCommandLineOption> &options);

}  // namespace b2d
