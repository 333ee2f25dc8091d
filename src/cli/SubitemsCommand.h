#pragma once

#include "cli/Command.h"

namespace b2d::cli {

// subitems INTERNO: the subitem viewer's three tables of an interno, with the viewer's
// statements: for each a line "== TITLE (GRID)", the headers and the rows, cells separated by
// tabs (the official suffixes in canonical order, the other two as stored).
class SubitemsCommand final : public DatabaseCommand {
public:
    QString name() const override { return QStringLiteral("subitems"); }
    QString description() const override;
    QString summary() const override { return QStringLiteral("Prints the subitem viewer's three tables of an interno."); }
    QString argumentsSyntax() const override { return QStringLiteral("INTERNO"); }

protected:
    bool prepare(Invocation &inv, CliOperator &op, QString *error) override;
    int executeWithShell(Invocation &inv, Shell &shell, CliOperator &op) override;

private:
    QString m_interno;
};

}  // namespace b2d::cli
