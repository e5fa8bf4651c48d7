// Where things are on the grid's client area, for the mouse code and the editor placement.
#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridInputState.h"

#include "base/Rounding.h"

#include <algorithm>
#include <optional>

using namespace brenlow;

int ListGrid::hitHeaderHeight() const
{
    const int t = m.headerTextHeight();
    const int caption = m.props.Caption.isEmpty() ? 0 : RoundHalfEven32(t * 1.5);
    if (!m.props.ColumnHeaders)
        return caption;
    const int lines = std::max<int>(1, m.props.ColumnHeaderLines);
    if (m.props.ColumnHeaderSmall)
        return RoundHalfEven32(t * lines / 3.0 + t + caption);
    return t + t * lines + caption;
}

int ListGrid::hitCellAreaLeft() const
{
    const int numbers = m.props.ShowRowNumbers ? m.rowNumberWidth : 0;
    if (!m.props.RowCheckBoxes)
        return numbers + 3;
    const int box = m.defaultRowHeight < 17 ? m.defaultRowHeight - 4 : 16;
    return numbers + box + 2;
}

int ListGrid::hitRowTop(int row) const
{
    if (row < m.firstRowInView || row > m.lastRow)
        return -1;
    int y = hitHeaderHeight();
    for (int r = std::max(0, m.firstRowInView); r <= m.lastRow && y < height(); ++r) {
        const GridRow& stored = m.rowAt(r);
        if (!stored.visible)
            continue;
        if (r == row)
            return y;
        y += stored.height;
    }
    return -1;
}

QRect ListGrid::hitColumnSpan(int colPos) const
{
    const int count = static_cast<int>(m.colOrder.size());
    if (colPos < 0 || colPos >= count)
        return {};
    const int frozen = std::min<int>(m.props.FreezeAtCol, count - 1);
    const int firstScrolling = std::max<int>(m.hScroll, frozen + 1);
    if (colPos > frozen && colPos < firstScrolling)
        return {}; // scrolled out to the left
    int x = hitCellAreaLeft();
    auto walk = [&](int from, int to) -> std::optional<QRect> {
        for (int p = from; p <= to; ++p) {
            const GridColumn& c = m.columns[static_cast<size_t>(m.colOrder[static_cast<size_t>(p)])];
            if (!c.visible)
                continue;
            if (p == colPos)
                return QRect(x, 0, c.pixelWidth, 0);
            x += c.pixelWidth;
        }
        return std::nullopt;
    };
    if (auto r = walk(0, frozen))
        return *r;
    if (auto r = walk(firstScrolling, count - 1))
        return *r;
    return {};
}

QRect ListGrid::cellRect(int row, int colPos) const
{
    const int top = hitRowTop(row);
    const QRect span = hitColumnSpan(colPos);
    if (top < 0 || span.isNull())
        return {};
    return QRect(span.x(), top, span.width(), m.rowAt(row).height);
}

GridHit ListGrid::hitTest(QPoint p) const
{
    GridHit hit;
    const int header = hitHeaderHeight();
    hit.header = p.y() < header;
    for (int pos = 0; pos < static_cast<int>(m.colOrder.size()); ++pos) {
        const QRect span = hitColumnSpan(pos);
        if (!span.isNull() && p.x() >= span.left() && p.x() < span.left() + span.width()) {
            hit.colPos = pos;
            hit.cell = QRect(span.x(), 0, span.width(), header);
            break;
        }
    }
    if (hit.header)
        return hit;
    int y = header;
    for (int r = std::max(0, m.firstRowInView); r <= m.lastRow && y < height(); ++r) {
        const GridRow& stored = m.rowAt(r);
        if (!stored.visible)
            continue;
        if (p.y() >= y && p.y() < y + stored.height) {
            hit.row = r;
            if (hit.colPos >= 0)
                hit.cell = QRect(hit.cell.x(), y, hit.cell.width(), stored.height);
            break;
        }
        y += stored.height;
    }
    if (hit.row < 0)
        hit.cell = {};
    const int rowsLeft =
        hitCellAreaLeft() -
        (m.props.RowCheckBoxes ? (m.defaultRowHeight < 17 ? m.defaultRowHeight - 2 : 18) : 3);
    hit.rowCheckBox = m.props.RowCheckBoxes && hit.row >= 0 && p.x() >= rowsLeft && p.x() < rowsLeft + 15;
    return hit;
}
