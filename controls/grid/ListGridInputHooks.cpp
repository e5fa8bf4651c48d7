// Placeholder bodies of the interaction hooks, so the model builds and runs on its own. The
// interaction code replaces this file.
#include "controls/grid/ListGrid.h"

bool ListGrid::UpdateCell(bool /*bAllowMove*/)
{
    m.editPending = false;
    return true;
}

void ListGrid::BindControl(int vCol, QWidget* Ctrl, bool /*MoveControl*/)
{
    m.checkColumn(vCol);
    m.columns[static_cast<size_t>(vCol)].boundEditor = Ctrl;
}

void ListGrid::ForceCellEdit(int lNewRow, int lNewCol, bool /*bBlankCell*/)
{
    RowColSet(lNewRow, lNewCol);
}

int ListGrid::MouseRow() const
{
    return m.mouseRow;
}

int ListGrid::MouseCol() const
{
    if (m.mouseCol < 0 || m.mouseCol >= static_cast<int>(m.colOrder.size()))
        return -1;
    return m.colOrder[static_cast<size_t>(m.mouseCol)];
}

void ListGrid::hideEditorAndTip() {}
