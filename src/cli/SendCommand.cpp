#include "cli/SendCommand.h"

#include "app/Processing.h"
#include "app/Startup.h"

#include <QTextStream>

namespace b2d::cli {

QString SendCommand::description() const
{
    return QStringLiteral(
        "Copies the generated file of operation NUMBER into the send folder (RUTAB2D) and marks\n"
        "the operation sent, as F12 does in the window; no question is asked. Prints the sent\n"
        "file's path.");
}

bool SendCommand::prepare(Invocation &inv, CliOperator &, QString *error)
{
    if (inv.arguments.size() != 1 || inv.arguments.first().trimmed().isEmpty()) {
        *error = inv.arguments.isEmpty()
            ? QStringLiteral("send needs the operation's number")
            : QStringLiteral("send takes one operation number, got \"%1\"")
                  .arg(inv.arguments.join(QLatin1Char(' ')));
        return false;
    }
    m_number = inv.arguments.first().trimmed();
    return true;
}

int SendCommand::executeWithShell(Invocation &inv, Shell &shell, CliOperator &)
{
    QString sent;
    if (!CopiarXMLa_preFTP(shell.rt(), m_number, &sent)) {
        inv.error(QStringLiteral("operation %1 was not sent").arg(m_number));
        return ExitFailed;
    }
    inv.io.out << sent << '\n';
    inv.io.out.flush();
    return ExitOk;
}

}  // namespace b2d::cli
