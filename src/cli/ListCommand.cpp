#include "cli/ListCommand.h"

#include "app/Startup.h"
#include "cli/CliOperator.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
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

QList<QCommandLineOption> OperationsRange::options()
{
    return {
        QCommandLineOption(kFrom, QStringLiteral("First official date (default: today - 7)."),
                           QStringLiteral("DATE")),
        QCommandLineOption(kTo, QStringLiteral("Last official date (default: today)."),
                           QStringLiteral("DATE")),
        QCommandLineOption(kOrder, QStringLiteral("fecha (official date) or interno (default)."),
                           QStringLiteral("ORDER")),
    };
}

bool OperationsRange::read(const QCommandLineParser &parser, const QDate &today, QString *error)
{
    to = today;
    from = today.addDays(-7);
    for (const auto &[option, target] : {std::pair{kFrom, &from}, std::pair{kTo, &to}}) {
        if (!parser.isSet(option))
            continue;
        const QDate d = parseCommandLineDate(parser.value(option));
        if (!d.isValid()) {
            *error = QStringLiteral("--%1: \"%2\" is not a date (dd/mm/yyyy or yyyy-mm-dd)")
                         .arg(option, parser.value(option));
            return false;
        }
        *target = d;
    }
    if (from > to) {
        *error = QStringLiteral("--from %1 is after --to %2")
                     .arg(from.toString(QStringLiteral("dd/MM/yyyy")),
                          to.toString(QStringLiteral("dd/MM/yyyy")));
        return false;
    }
    const QString text = parser.value(kOrder).trimmed().toLower();
    if (text.isEmpty() || text == QLatin1String("interno")) {
        order = OperationsOrder::Interno;
    } else if (text == QLatin1String("fecha")) {
        order = OperationsOrder::Fecha;
    } else {
        *error = QStringLiteral("--order: \"%1\" is neither fecha nor interno").arg(parser.value(kOrder));
        return false;
    }
    return true;
}

QList<QCommandLineOption> ListCommand::options() const
{
    return OperationsRange::options()
        << QCommandLineOption(kJson, QStringLiteral("Print a JSON array of objects keyed by the headers."));
}

bool ListCommand::prepare(Invocation &inv, CliOperator &, QString *error)
{
    if (!inv.arguments.isEmpty()) {
        *error = QStringLiteral("list takes no arguments, got \"%1\"").arg(inv.arguments.join(QLatin1Char(' ')));
        return false;
    }
    if (!m_range.read(inv.parser, inv.today, error))
        return false;
    m_json = inv.parser.isSet(kJson);
    return true;
}

int ListCommand::executeWithShell(Invocation &inv, Shell &shell, CliOperator &)
{
    bool failed = false;
    const QList<QStringList> rows = CargarOperaciones(shell.rt(), m_range.from, m_range.to, m_range.order, &failed);
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

    auto line = [&](const QStringList &cells) -> QString {
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
    // QJsonObject sorts its keys; a reader expects the columns' order, so the objects are
    // written here, each text escaped as QJsonDocument escapes it.
    auto quoted = [](const QString &text) {
        const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
        return QString::fromUtf8(json.mid(1, json.size() - 2));  // without the brackets
    };
    const QList<OperationsColumn> &columns = operationsColumns();
    QString text = QStringLiteral("[\n");
    for (qsizetype r = 0; r < rows.size(); ++r) {
        text += QStringLiteral("    {\n");
        for (qsizetype i = 0; i < columns.size(); ++i)
            text += QStringLiteral("        ") + quoted(columns.at(i).header) + QStringLiteral(": ")
                + quoted(rows.at(r).value(i)) + (i + 1 < columns.size() ? QStringLiteral(",\n")
                                                                          : QStringLiteral("\n"));
        text += r + 1 < rows.size() ? QStringLiteral("    },\n") : QStringLiteral("    }\n");
    }
    return text + QStringLiteral("]\n");
}

}  // namespace b2d::cli
