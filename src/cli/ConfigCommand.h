#pragma once

#include "cli/Command.h"

namespace b2d::cli {

// config show | config set KEY VALUE: the 21 settings, read and stored as the configuration
// window reads and stores them (F11). No database is opened.
//
// show prints KEY=VALUE in the order of the settings table, each value as the program reads it
// (switches 1 or 0). set stores one key: a text as given, a switch as 0 or 1; an unknown key or
// another switch value is wrong usage (status 1) and nothing is stored.
class ConfigCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("config"); }
    QString description() const override;
    QString summary() const override { return QStringLiteral("Shows or stores the settings, as the configuration window does."); }
    QString argumentsSyntax() const override { return QStringLiteral("show | set KEY VALUE"); }
    int execute(Invocation &inv) override;
};

}  // namespace b2d::cli
