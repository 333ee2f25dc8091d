#pragma once

#include "cli/Command.h"
#include "lookups/Relations.h"

namespace b2d::cli {

// relations list KIND | add KIND ORIGIN DESTINATION | remove KIND ORIGIN DESTINATION, KIND one
// of concept, currency, country: the relation tables with the statements of the configuration
// window (its grids, its add dialogs, its delete command; remove asks nothing). list prints the
// grid's headers and rows separated by tabs. A statement the database refuses is reported with
// the database's text (status 4).
class RelationsCommand final : public DatabaseCommand {
public:
    QString name() const override { return QStringLiteral("relations"); }
    QString description() const override;
    QString summary() const override { return QStringLiteral("Lists, adds or removes concept, currency and country relations."); }
    QString argumentsSyntax() const override
    {
        return QStringLiteral("list|add|remove concept|currency|country [ORIGIN DESTINATION]");
    }

protected:
    bool prepare(Invocation &inv, CliOperator &op, QString *error) override;
    int executeWithShell(Invocation &inv, Shell &shell, CliOperator &op) override;

private:
    QString m_verb;
    Relacion m_kind = Relacion::Concepto;
    QString m_origin;
    QString m_destination;
};

}  // namespace b2d::cli
