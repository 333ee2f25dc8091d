#include "cli/SendCommand.h"

#include "app/Processing.h"
#include "app/Startup.h"
#include "declaration/StatusUpdates.h"
#include "values/Values.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace b2d::cli {

namespace {

const QString kAgain = QStringLiteral("again");

// A stored date as a person reads it.
QString shownDate(const QVariant &value)
{
    const std::optional<QDateTime> dt = readDate(value);
    return dt ? dt->date().toString(QStringLiteral("dd/MM/yyyy")) : EsNulo(value);
}

}  // namespace

QString SendCommand::description() const
{
    return QStringLiteral(
        "Copies the generated file of operation NUMBER into the send folder (RUTAB2D) and marks\n"
        "the operation sent, as F12 does in the window; no question is asked. Prints the sent\n"
        "file's path. An operation already marked sent is refused unless --again is given.");
}

QList<QCommandLineOption> SendCommand::options() const
{
    return {QCommandLineOption(kAgain, QStringLiteral("Send an operation already marked sent again."))};
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
    m_again = inv.parser.isSet(kAgain);
    return true;
}

int SendCommand::executeWithShell(Invocation &inv, Shell &shell, CliOperator &)
{
    if (!m_again) {
        const EstadoDespacho estado = LeerEstadoDespacho(shell.rt(), m_number);
        if (!EsNulo(estado.enviado).trimmed().isEmpty()) {
            inv.error(QStringLiteral("operation %1 was already sent on %2; nothing sent (give --again "
                                     "to send it again)")
                          .arg(m_number, shownDate(estado.enviado)));
            return ExitFailed;
        }
    }
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
