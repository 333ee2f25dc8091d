#pragma once

#include <QList>

class QTableView;

namespace b2d {

// Column widths are given in twips, at 15 twips a pixel.
inline constexpr int kTwipsPerPixel = 15;

// Sets each column of `grid` to its width in `widthsTwips`, widened so that its header and the
// texts it shows fit (the first thousand rows are measured, as Qt does). A width of 0 leaves the
// column as it is.
void fitColumns(QTableView *grid, const QList<int> &widthsTwips);

}  // namespace b2d
