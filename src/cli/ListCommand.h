#pragma once

#include "app/OperationsList.h"
#include "cli/Command.h"

namespace b2d::cli {

// list --from DATE --to DATE [--order fecha|interno] [--json]: the operations list, from the
// same procedure and with the same columns as the window. Plain output is a table aligned on
// the nine headers; --json an array of objects keyed by them.
class ListCommand final : public DatabaseCommand {
public:
    QString name() const override { return QStringLiteral("list"); }
    QString description() const override;
    QList<QCommandLineOption> options() const override;

    // The plain table and the JSON array of a list.
    static QString formatTable(const QList<QStringList> &rows);
    static QString formatJson(const QList<QStringList> &rows);

protected:
    bool prepare(Invocation &inv, CliOperator &op, QString *error) override;
    int executeWithShell(Invocation &inv, Shell &shell, CliOperator &op) override;

private:
    QDate m_from;
    QDate m_to;
    OperationsOrder m_order = OperationsOrder::Interno;
    bool m_json = false;
};

}  // namespace b2d::cli
