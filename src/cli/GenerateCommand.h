#pragma once

#include "cli/Command.h"
#include "cli/ListCommand.h"

namespace b2d::cli {

// generate NUMBER... [--answers FILE] [--answer KEY=VALUE]... [--interactive]: generates each
// operation's file as Enter on its row does, one after another, and prints each written file's
// full path. The prompts are answered by the scripted operator (or on the terminal); every
// generation starts with a fresh set of first showings. With several numbers a one-line summary
// ends the error stream.
//
// generate --pending [--from DATE] [--to DATE] [--order fecha|interno]: the same for every
// operation of the list's range whose Procesado cell is empty, in the list's order. Each one's
// Xml_Procesado is read again just before it is generated, and one that another workstation
// processed meanwhile is skipped. The answers that belong to one operation (BrokerRC, ProcessRC,
// NombreArchivo) are wrong usage here. The summary line is always written.
class GenerateCommand final : public DatabaseCommand {
public:
    QString name() const override { return QStringLiteral("generate"); }
    QString description() const override;
    QString summary() const override { return QStringLiteral("Generates each operation's file, as Enter on its row does."); }
    QString argumentsSyntax() const override { return QStringLiteral("NUMBER..."); }
    QList<QCommandLineOption> options() const override;

protected:
    bool prepare(Invocation &inv, CliOperator &op, QString *error) override;
    int executeWithShell(Invocation &inv, Shell &shell, CliOperator &op) override;

private:
    bool m_pending = false;
    bool m_progress = false;  // "item n of N" lines on standard error
    OperationsRange m_range;
};

}  // namespace b2d::cli
