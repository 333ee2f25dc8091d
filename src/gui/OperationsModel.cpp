#include "gui/OperationsModel.h"

#include "app/OperationsList.h"

namespace b2d {

OperationsModel::OperationsModel(QObject *parent) : QAbstractTableModel(parent) {}

void OperationsModel::setRows(QList<QStringList> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

QString OperationsModel::cell(int row, int column) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    return m_rows.at(row).value(column);
}

int OperationsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int OperationsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(operationsColumns().size());
}

QVariant OperationsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_rows.at(index.row()).value(index.column());
    if (role == Qt::TextAlignmentRole) {
        const auto &columns = operationsColumns();
        if (index.column() < columns.size() && columns.at(index.column()).alignment != Qt::Alignment())
            return QVariant::fromValue(columns.at(index.column()).alignment | Qt::AlignVCenter);
    }
    return {};
}

QVariant OperationsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    const auto &columns = operationsColumns();
    return section < columns.size() ? QVariant(columns.at(section).header) : QVariant();
}

}  // namespace b2d
