#include "app/ProgramInfo.h"

#include "platform/InstalledVersion.h"
#include "runtime/Runtime.h"

#include <QStringList>

namespace b2d {

namespace {

QString optionSyntax(const QCommandLineOption &option)
{
    QStringList names;
    for (const QString &n : option.names())
        names << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
    QString syntax = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        syntax += QLatin1Char(' ') + option.valueName();
    return syntax;
}

}  // namespace

QString versionText(const QString &programName, const QVariant &installedVersion)
{
    const QString installed = installedVersion.isNull() || installedVersion.toString().isEmpty()
        ? QStringLiteral("not recorded")
        : installedVersion.toString();
    return programName + QLatin1Char(' ') + Runtime::version() + QLatin1Char('\n')
        + QStringLiteral("installed update version: ") + installed + QLatin1Char('\n');
}

QString versionText(const QString &programName, const QString &installedVersionFile)
{
    return versionText(programName, LeerVersionInstalada(installedVersionFile));
}

QList<QCommandLineOption> runOptions()
{
    return {
        QCommandLineOption(QStringLiteral("connections"),
                           QStringLiteral("The data access configuration (default: connections.ini "
                                          "in the per-user configuration folder, else beside the "
                                          "program; installed, else "
                                          "/etc/velmorab2d/connections.ini)."),
                           QStringLiteral("FILE")),
        QCommandLineOption(QStringLiteral("settings"),
                           QStringLiteral("Use this INI file (group [GENERAL]) as the settings store."),
                           QStringLiteral("FILE")),
        QCommandLineOption(QStringLiteral("trace-sql"),
                           QStringLiteral("Append one JSON line per statement asked of a database."),
                           QStringLiteral("FILE")),
    };
}

QCommandLineOption helpOption()
{
    return QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                              QStringLiteral("Show the usage and exit."));
}

QCommandLineOption versionOption()
{
    return QCommandLineOption(QStringLiteral("version"),
                              QStringLiteral("Show the program version and the installed update "
                                             "version, and exit."));
}

QString optionLines(const QList<QCommandLineOption> &options)
{
    QString text;
    for (const QCommandLineOption &o : options)
        text += QStringLiteral("  ") + optionSyntax(o).leftJustified(26) + QLatin1Char(' ')
            + o.description() + QLatin1Char('\n');
    return text;
}

}  // namespace b2d
