#include "cli/SubitemsCommand.h"

#include "app/Startup.h"
#include "lookups/SubitemViews.h"

#include <QTextStream>

namespace b2d::cli {

QString SubitemsCommand::description() const
{
    return QStringLiteral(
        "Prints the subitem viewer's three tables of an interno: the loaded articles, their\n"
        "grouping and the official subitems (suffixes in canonical order), tab-separated.");
}

bool SubitemsCommand::prepare(Invocation &inv, CliOperator &, QString *error)
{
    if (inv.arguments.size() != 1 || inv.arguments.first().isEmpty()) {
        *error = inv.arguments.isEmpty()
            ? QStringLiteral("subitems needs an interno")
            : QStringLiteral("subitems takes one interno, got \"%1\"")
                  .arg(inv.arguments.join(QLatin1Char(' ')));
        return false;
    }
    m_interno = inv.arguments.first();
    return true;
}

int SubitemsCommand::executeWithShell(Invocation &inv, Shell &shell, CliOperator &)
{
    for (const SubitemView &view : subitemViews(shell.rt(), m_interno)) {
        QStringList headers;
        for (const SubitemView::Column &c : view.columns)
            headers << c.header;
        inv.io.out << "== " << view.title << " (" << view.grid << ")\n"
                   << headers.join(QLatin1Char('\t')) << '\n';
        for (const QStringList &row : view.rows)
            inv.io.out << row.join(QLatin1Char('\t')) << '\n';
    }
    inv.io.out.flush();
    return ExitOk;
}

}  // namespace b2d::cli
