#pragma once

#include "cli/Command.h"

namespace b2d::cli {

// validate FILE...: checks B2D files as the office's upload would take them: ISO-8859-1 with its
// declaration, well-formed, and shaped as one of the three B2D documents. Prints "FILE: valid",
// or one line per fault, "FILE:LINE:COLUMN: PATH: what is wrong". Exit 0 when every file is
// valid, 4 when any is not, 1 when a file cannot be read.
class ValidateCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("validate"); }
    QString description() const override;
    QString summary() const override { return QStringLiteral("Checks B2D files: encoding, well-formed XML and the B2D schema."); }
    QString argumentsSyntax() const override { return QStringLiteral("FILE..."); }
    int execute(Invocation &inv) override;
};

}  // namespace b2d::cli
