#pragma once

#include <QString>
#include <QWidget>

class QTableWidget;

namespace b2d {

class Runtime;
struct SubitemView;

// The subitem viewer: one interno's subitems as loaded (MSFG_CRGS), as grouped (MSFG_GRP_CALDRA)
// and as made official (MSFG_MARIA), one grid under the other. A long suffix text wraps and
// grows its row.
class Frm_View final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Frm_View)
public:
    explicit Frm_View(Runtime &rt, QWidget *parent = nullptr);

    // The interno to show (the property Interno).
    void setInterno(const QString &interno) { m_interno = interno; }
    // Fills the three grids and shows the window; does nothing for an empty interno. Failures
    // (a statement the database refused) go to the caller.
    void Mostrar();

    QTableWidget *grid(const QString &name) const;

    // Resets a grid to its header and column widths.
    static void PrepareGrid(QTableWidget *grid, const SubitemView &view);
    // Grows a row so that one cell's wrapped text fits, measured with the grid's font; a row
    // already tall enough is left alone.
    static void ReSizeCellHeight(QTableWidget *grid, int row, int column);

private:
    void fill(const SubitemView &view);

    Runtime &m_rt;
    QString m_interno;
};

}  // namespace b2d
