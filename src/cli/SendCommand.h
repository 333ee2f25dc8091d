#pragma once

#include "cli/Command.h"

namespace b2d::cli {

// send NUMBER [--again]: the hand-off of F12 without its question (the command is the
// confirmation): the operation's generated file is copied into the send folder and the operation
// marked sent. Prints the sent file's path; status 4 when nothing was sent. Several workstations
// share one database, so an operation already marked sent is refused unless --again is given.
class SendCommand final : public DatabaseCommand {
public:
    QString name() const override { return QStringLiteral("send"); }
    QString description() const override;
    QString summary() const override { return QStringLiteral("Hands an operation's file to the send folder, as F12 does."); }
    QString argumentsSyntax() const override { return QStringLiteral("NUMBER"); }
    QList<QCommandLineOption> options() const override;

protected:
    bool prepare(Invocation &inv, CliOperator &op, QString *error) override;
    int executeWithShell(Invocation &inv, Shell &shell, CliOperator &op) override;

private:
    QString m_number;
    bool m_again = false;
};

}  // namespace b2d::cli
