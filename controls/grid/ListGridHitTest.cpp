// Where things are on the grid, for the mouse code and the editor placement: the layout the paint
// uses, placed again for the model as it is now, so a click lands on what a paint would draw.
#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridInputState.h"

using namespace brenlow;

int ListGrid::hitRowTop(int row) const
{
    const ListGridLayout::RowSpan* span = m_layout.rowSpan(row);
    return span ? span->top : -1;
}

QRect ListGrid::hitColumnSpan(int colPos) const
{
    const ListGridLayout::ColSpan* span = m_layout.colSpan(colPos);
    return span ? QRect(span->left, 0, span->width, 0) : QRect();
}

QRect ListGrid::cellRect(int row, int colPos) const
{
    return m_layout.cellRect(row, colPos);
}

void ListGrid::syncLayout()
{
    // Only a paint places the layout, and while painting is off the model may have moved on (rows
    // removed, columns hidden): then the last pass names rows that no longer exist.
    if (!m_busy)
        m_layout.place(m, m_view);
}

GridHit ListGrid::hitTest(QPoint p)
{
    syncLayout();
    GridHit hit;
    hit.header = p.y() < m_layout.rowsTop();
    hit.colPos = m_layout.colPosAt(p.x());
    if (hit.header) {
        if (hit.colPos >= 0 && m_layout.inHeader(p.y()))
            hit.cell = m_layout.headerItemRect(hit.colPos);
        return hit;
    }
    hit.row = m_layout.rowAt(p.y());
    if (hit.row >= 0 && hit.colPos >= 0)
        hit.cell = m_layout.cellRect(hit.row, hit.colPos);
    // The row check box takes the first 15 pixels of its column.
    const int boxLeft = m_layout.checkBoxColumnLeft();
    hit.rowCheckBox = m.props().RowCheckBoxes && hit.row >= 0 && p.x() >= boxLeft && p.x() < boxLeft + 15 &&
                      p.x() < m_layout.cellsLeft();
    return hit;
}

bool ListGrid::imageHit(int row, int colPos, QPoint p) const
{
    const QRect cell = m_layout.cellRect(row, colPos);
    if (cell.isNull() || row < 0 || row > m.lastRow())
        return false;
    const int col = m.columnAt(colPos);
    const GridColumn& column = m.column(col);
    const GridCell& data = m.rowAt(row).cells[static_cast<size_t>(col)];
    const QRect drawn = ListGridPainter::CellImageRect(m, data, column, cell);
    return drawn.intersected(cell).contains(p);
}
