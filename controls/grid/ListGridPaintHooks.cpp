// Placeholder bodies of the painting hooks, so the model builds and runs on its own. The painting
// code replaces this file.
#include "controls/grid/ListGrid.h"

void ListGrid::recalcMetrics()
{
    m.defaultRowHeight = m.computeDefaultRowHeight();
}

void ListGrid::recalcLayout() {}

void ListGrid::paintPass(bool enabled, bool /*noFocusRect*/)
{
    m.refreshPending = !enabled;
    if (enabled)
        update();
}

void ListGrid::ensureRowVisible(int row)
{
    if (row < m.firstRowInView || row > m.lastRowInView)
        m.firstRowInView = row;
}

void ListGrid::ensureColumnVisible(int /*colPos*/) {}

int ListGrid::RowFirstVisible() const
{
    return m.firstRowInView;
}

int ListGrid::RowLastVisible() const
{
    return m.lastRowInView;
}

void ListGrid::propertyChanged(const char* /*key*/) {}

void ListGrid::applyTheme() {}
