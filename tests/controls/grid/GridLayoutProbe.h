#pragma once

#include "controls/grid/ListGrid.h"

#include <algorithm>

namespace brenlow::test {

/** The pixel width the grid lays a column out with (after a layout pass); -1 when the display
 *  position has no column. */
inline int laidOutWidth(ListGrid& grid, int pos)
{
    grid.resize(std::max(grid.width(), 600), std::max(grid.height(), 300));
    grid.SetRedraw(true);
    grid.Refresh();
    const auto* span = grid.layout().colSpan(pos);
    return span ? span->width : -1;
}

} // namespace brenlow::test
