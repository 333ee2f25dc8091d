#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace b2d {

// The rows of the operations list under the grid MsFgListaInternos: nine text cells a row, the
// headers and alignments of the operations columns. Filled at once, so thousands of rows cost one
// reset.
class OperationsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit OperationsModel(QObject *parent = nullptr);

    void setRows(QList<QStringList> rows);
    void clear() { setRows({}); }
    const QList<QStringList> &rows() const { return m_rows; }
    QString cell(int row, int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QList<QStringList> m_rows;
};

}  // namespace b2d
