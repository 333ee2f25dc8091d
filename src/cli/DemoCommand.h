#pragma once

#include "cli/Command.h"

namespace b2d::cli {

// demo [DIR] [--force]: a complete demo workspace in DIR (default ./demo): the three SQLite
// databases with sample operations dated around today, the connections and settings files, the
// output and send folders, an answers file for generation, and a stand-in customs-management
// executable carrying the required version. Prints the commands that use it.
class DemoCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("demo"); }
    QString description() const override;
    QString summary() const override { return QStringLiteral("Creates a complete demo workspace in DIR (default ./demo)."); }
    QString argumentsSyntax() const override { return QStringLiteral("[DIR]"); }
    QList<QCommandLineOption> options() const override;
    int execute(Invocation &inv) override;

    // The settings file of a demo workspace in `dir` (absolute).
    static QString settingsText(const QString &dir);
    // The answers file of a demo workspace, its dates taken from `today`.
    static QString answersText(const QDate &today);
};

}  // namespace b2d::cli
