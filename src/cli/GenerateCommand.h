#pragma once

#include "cli/Command.h"

namespace b2d::cli {

// generate NUMBER... [--answers FILE] [--answer KEY=VALUE]... [--interactive]: generates each
// operation's file as Enter on its row does, one after another, and prints each written file's
// full path. The prompts are answered by the scripted operator (or on the terminal); every
// generation starts with a fresh set of first showings. With several numbers a one-line summary
// ends the error stream.
class GenerateCommand final : public DatabaseCommand {
public:
    QString name() const override { return QStringLiteral("generate"); }
    QString description() const override;
    QString argumentsSyntax() const override { return QStringLiteral("NUMBER..."); }
    QList<QCommandLineOption> options() const override;

protected:
    bool prepare(Invocation &inv, CliOperator &op, QString *error) override;
    int executeWithShell(Invocation &inv, Shell &shell, CliOperator &op) override;
};

}  // namespace b2d::cli
