#include "gui/GridColumns.h"

#include <QHeaderView>
#include <QTableView>

#include <algorithm>

namespace b2d {

void fitColumns(QTableView *grid, const QList<int> &widthsTwips)
{
    const QHeaderView *header = grid->horizontalHeader();
    const QAbstractItemView *view = grid;  // where the measure of a column's texts is public
    for (int c = 0; c < widthsTwips.size(); ++c) {
        if (widthsTwips.at(c) <= 0)
            continue;
        grid->setColumnWidth(c, std::max({widthsTwips.at(c) / kTwipsPerPixel, header->sectionSizeHint(c),
                                          view->sizeHintForColumn(c)}));
    }
}

}  // namespace b2d
