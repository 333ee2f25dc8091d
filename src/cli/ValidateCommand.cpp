#include "cli/ValidateCommand.h"

#include "data/DocumentValidator.h"

#include <QFile>
#include <QTextStream>

namespace b2d::cli {

QString ValidateCommand::description() const
{
    return QStringLiteral(
        "Checks B2D files: the encoding (an iso-8859-1 declaration, no byte-order mark, no\n"
        "control byte XML forbids, no UTF-8 multibyte sequence), well-formed XML, and the\n"
        "shape of the import declaration, export declaration or licence (elements in order,\n"
        "required elements present, numbers by mask). Prints \"FILE: valid\" or one line per\n"
        "fault, \"FILE:LINE:COLUMN: ELEMENT PATH: fault\". Exit status 0 when every file is\n"
        "valid, 4 when any is not, 1 when a file cannot be read.");
}

int ValidateCommand::execute(Invocation &inv)
{
    if (inv.arguments.isEmpty())
        return inv.usageError(QStringLiteral("validate needs at least one file"), name());

    bool unreadable = false;
    bool invalid = false;
    for (const QString &path : inv.arguments) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            inv.error(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
            unreadable = true;
            continue;
        }
        const QList<DocumentFault> faults = validateB2DDocument(file.readAll());
        if (faults.isEmpty())
            inv.io.out << path << ": valid\n";
        for (const DocumentFault &f : faults)
            inv.io.out << path << ':' << f.line << ':' << f.column << ": " << f.path << ": "
                       << f.message << '\n';
        invalid = invalid || !faults.isEmpty();
    }
    inv.io.out.flush();
    return unreadable ? ExitUsage : invalid ? ExitFailed : ExitOk;
}

}  // namespace b2d::cli
