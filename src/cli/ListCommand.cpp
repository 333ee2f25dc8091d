#include "cli/ListCommand.h"

#include "app/Startup.h"
#include "cli/CliOperator.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace b2d::cli {

namespace {

const QString kFrom = QStringLiteral("from");
const QString kTo = QStringLiteral("to");
const QString kOrder = QStringLiteral("order");
const QString kJson = QStringLiteral("json");

}  // namespace

QString ListCommand::description() const
{
    return QStringLiteral(
        "Lists the operations made official in a date range, as the window does.\n"
        "Dates are dd/mm/yyyy or yyyy-mm-dd; by default the last seven days up to today,\n"
        "ordered by interno.");
}

QList<QCommandLineOption> ListCommand::options() const
{
    return {
        QCommandLineOption(kFrom, QStringLiteral("First official date (default: today - 7)."),
                           QStringLiteral("DATE")),
        QCommandLineOption(kTo, QStringLiteral("Last official date (default: today)."),
                           QStringLiteral("DATE")),
        QCommandLineOption(kOrder, QStringLiteral("fecha (official date) or interno (default)."),
                           QStringLiteral("ORDER")),
        QCommandLineOption(kJson, QStringLiteral("Print a JSON array of objects keyed by the headers.")),
    };
}

bool ListCommand::prepare(Invocation &inv, CliOperator &, QString *error)
{
    if (!inv.arguments.isEmpty()) {
        *error = QStringLiteral("list takes no arguments, got \"%1\"").arg(inv.arguments.join(QLatin1Char(' ')));
        return false;
    }
    m_to = inv.today;
    m_from = inv.today.addDays(-7);
    for (const auto &[option, target] : {std::pair{kFrom, &m_from}, std::pair{kTo, &m_to}}) {
        if (!inv.parser.isSet(option))
            continue;
        const QDate d = parseCommandLineDate(inv.parser.value(option));
        if (!d.isValid()) {
            *error = QStringLiteral("--%1: \"%2\" is not a date (dd/mm/yyyy or yyyy-mm-dd)")
                         .arg(option, inv.parser.value(option));
            return false;
        }
        *target = d;
    }
    if (m_from > m_to) {
        *error = QStringLiteral("--from %1 is after --to %2")
                     .arg(m_from.toString(QStringLiteral("dd/MM/yyyy")),
                          m_to.toString(QStringLiteral("dd/MM/yyyy")));
        return false;
    }
    const QString order = inv.parser.value(kOrder).trimmed().toLower();
    if (order.isEmpty() || order == QLatin1String("interno")) {
        m_order = OperationsOrder::Interno;
    } else if (order == QLatin1String("fecha")) {
        m_order = OperationsOrder::Fecha;
    } else {
        *error = QStringLiteral("--order: \"%1\" is neither fecha nor interno").arg(inv.parser.value(kOrder));
        return false;
    }
    m_json = inv.parser.isSet(kJson);
    return true;
}

int ListCommand::executeWithShell(Invocation &inv, Shell &shell, CliOperator &)
{
    bool failed = false;
    const QList<QStringList> rows = CargarOperaciones(shell.rt(), m_from, m_to, m_order, &failed);
    inv.io.out << (m_json ? formatJson(rows) : formatTable(rows));
    inv.io.out.flush();
    return failed ? ExitFailed : ExitOk;
}

QString ListCommand::formatTable(const QList<QStringList> &rows)
{
    const QList<OperationsColumn> &columns = operationsColumns();
    QList<qsizetype> widths;
    for (const OperationsColumn &c : columns)
        widths << c.header.size();
    for (const QStringList &row : rows)
        for (qsizetype i = 0; i < widths.size() && i < row.size(); ++i)
            widths[i] = std::max(widths[i], row.at(i).size());

    auto line = [&](const QStringList &cells) {
        QString text;
        for (qsizetype i = 0; i < widths.size(); ++i) {
            if (i > 0)
                text += QStringLiteral("  ");
            text += cells.value(i).leftJustified(widths[i]);
        }
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        return text + QLatin1Char('\n');
    };

    QStringList headers;
    for (const OperationsColumn &c : columns)
        headers << c.header;
    QString text = line(headers);
    for (const QStringList &row : rows)
        text += line(row);
    return text;
}

QString ListCommand::formatJson(const QList<QStringList> &rows)
{
    const QList<OperationsColumn> &columns = operationsColumns();
    QJsonArray array;
    for (const QStringList &row : rows) {
        QJsonObject object;
        for (qsizetype i = 0; i < columns.size(); ++i)
            object.insert(columns.at(i).header, row.value(i));
        array.append(object);
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
}

}  // namespace b2d::cli
