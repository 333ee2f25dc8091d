#include "gui/Frm_View.h"

#include "gui/GridColumns.h"
#include "lookups/SubitemViews.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace b2d {

namespace {

// Each line of a grown row gets this much more than the font's line height (20 twips).
constexpr int kLineExtra = (20 + kTwipsPerPixel - 1) / kTwipsPerPixel;
// The blank a cell keeps on each side of its text.
constexpr int kCellMargin = 3;

const char *const kGrids[] = {"MSFG_CRGS", "MSFG_GRP_CALDRA", "MSFG_MARIA"};
const char *const kTitles[] = {"Subitems cargados (Subitems)", "Subitems agrupados (GroupSubitems)",
                               "Subitems oficializados (items_subitems)"};

}  // namespace

Frm_View::Frm_View(Runtime &rt, QWidget *parent) : QWidget(parent, Qt::Window), m_rt(rt)
{
    setObjectName(QStringLiteral("Frm_View"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(1100, 720);
    auto *layout = new QVBoxLayout(this);
    for (int i = 0; i < 3; ++i) {
        auto *title = new QLabel(QString::fromUtf8(kTitles[i]));
        auto *g = new QTableWidget;
        g->setObjectName(QLatin1String(kGrids[i]));
        g->setEditTriggers(QAbstractItemView::NoEditTriggers);
        g->setSelectionBehavior(QAbstractItemView::SelectRows);
        g->setWordWrap(false);
        g->verticalHeader()->setVisible(false);
        g->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        g->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
        layout->addWidget(title);
        layout->addWidget(g, 1);
    }
}

QTableWidget *Frm_View::grid(const QString &name) const
{
    return findChild<QTableWidget *>(name);
}

void Frm_View::PrepareGrid(QTableWidget *grid, const SubitemView &view)
{
    grid->clear();
    grid->setRowCount(0);
    grid->setColumnCount(int(view.columns.size()));
    QStringList headers;
    for (const SubitemView::Column &c : view.columns)
        headers << c.header;
    grid->setHorizontalHeaderLabels(headers);
    for (int c = 0; c < view.columns.size(); ++c)
        grid->setColumnWidth(c, view.columns.at(c).widthTwips / kTwipsPerPixel);
}

void Frm_View::ReSizeCellHeight(QTableWidget *grid, int row, int column)
{
    const QTableWidgetItem *item = grid->item(row, column);
    const QString text = item ? item->text() : QString();
    const QFontMetrics metrics(grid->font());
    const int width = std::max(1, grid->columnWidth(column) - 2 * kCellMargin);
    const QRect needed = metrics.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap, text);
    const int lineHeight = metrics.lineSpacing();
    const int lines = std::max(1, int(std::ceil(double(needed.height()) / lineHeight)));
    if (grid->rowHeight(row) > lines * lineHeight)
        return;
    grid->setRowHeight(row, (lineHeight + kLineExtra) * lines);
    grid->setWordWrap(true);
}

void Frm_View::fill(const SubitemView &view)
{
    QTableWidget *g = grid(view.grid);
    PrepareGrid(g, view);
    for (const QStringList &cells : view.rows) {
        const int row = g->rowCount();
        g->insertRow(row);
        for (int c = 0; c < cells.size(); ++c)
            g->setItem(row, c, new QTableWidgetItem(cells.at(c)));
        ReSizeCellHeight(g, row, view.suffixColumn);
    }
}

void Frm_View::Mostrar()
{
    if (m_interno.isEmpty())
        return;
    setWindowTitle(QStringLiteral("Revisar Interno ") + m_interno);
    for (const SubitemView &view : subitemViews(m_rt, m_interno))
        fill(view);
    show();
}

}  // namespace b2d
