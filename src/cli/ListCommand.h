#pragma once

#include "app/OperationsList.h"
#include "cli/Command.h"

class QCommandLineParser;

namespace b2d::cli {

// The date range and order of the operations list as a command gives them: --from DATE, --to DATE
// (by default the window's range, the last seven days up to the run's day) and
// --order fecha|interno (by default interno). Shared by list and generate --pending.
struct OperationsRange {
    QDate from;
    QDate to;
    OperationsOrder order = OperationsOrder::Interno;

    static QList<QCommandLineOption> options();
    // Reads the options on the run's day. False with `error` for a bad date, an unknown order or
    // a range whose start comes after its end.
    bool read(const QCommandLineParser &parser, const QDate &today, QString *error);
};

// list --from DATE --to DATE [--order fecha|interno] [--json]: the operations list, from the
// same procedure and with the same columns as the window. Plain output is a table aligned on
// the nine headers; --json an array of objects keyed by them, each object's keys in the order of
// the columns.
class ListCommand final : public DatabaseCommand {
public:
    QString name() const override { return QStringLiteral("list"); }
    QString description() const override;
    QString summary() const override { return QStringLiteral("Lists the operations made official in a date range."); }
    QList<QCommandLineOption> options() const override;

    // The plain table and the JSON array of a list.
    static QString formatTable(const QList<QStringList> &rows);
    static QString formatJson(const QList<QStringList> &rows);

protected:
    bool prepare(Invocation &inv, CliOperator &op, QString *error) override;
    int executeWithShell(Invocation &inv, Shell &shell, CliOperator &op) override;

private:
    OperationsRange m_range;
    bool m_json = false;
};

}  // namespace b2d::cli
