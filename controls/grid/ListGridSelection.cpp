#include "controls/grid/ListGridSelection.h"

#include "controls/grid/ListGridModel.h"

#include <algorithm>

namespace brenlow {

bool ListGridSelection::isSelected(qint32 row) const
{
    return row >= 0 && row <= m_model.lastRow() && (m_model.rowAt(row).flags & RowFlag::Selected);
}

qint32 ListGridSelection::count() const
{
    return static_cast<qint32>(std::count_if(m_model.rows().begin(), m_model.rows().end(),
                                             [](const GridRow& r) { return r.flags & RowFlag::Selected; }));
}

bool ListGridSelection::setSelected(qint32 row, bool on)
{
    if (row < 0 || row > m_model.lastRow() || isSelected(row) == on)
        return false;
    m_model.rowAt(row).flags ^= RowFlag::Selected;
    return true;
}

bool ListGridSelection::clear()
{
    bool changed = false;
    for (qint32 i = 0; i <= m_model.lastRow(); ++i)
        changed |= setSelected(i, false);
    return changed;
}

bool ListGridSelection::selectOnly(qint32 from, qint32 to)
{
    bool changed = false;
    for (qint32 i = 0; i <= m_model.lastRow(); ++i) {
        const bool want = from >= 0 && i >= from && i <= to && m_model.rowAt(i).visible;
        changed |= setSelected(i, want);
    }
    return changed;
}

bool ListGridSelection::selectAllVisible()
{
    bool changed = false;
    for (qint32 i = 0; i <= m_model.lastRow(); ++i) {
        if (m_model.rowAt(i).visible)
            changed |= setSelected(i, true);
    }
    return changed;
}

bool ListGridSelection::click(qint32 row, qint32 currentRow, int multiSelect, bool ctrl, bool shift)
{
    switch (multiSelect) {
    case 0:
        if (ctrl) {
            // The row alone, toggled; reported as a change even when it was the only one.
            const bool was = isSelected(row);
            selectOnly(-1, -1);
            setSelected(row, !was);
            return true;
        }
        if (!isSelected(row) || count() > 1)
            return selectOnly(row, row);
        return false;
    case 1:
        if (ctrl)
            return setSelected(row, !isSelected(row));
        if (shift && currentRow >= 0)
            return selectOnly(std::min(currentRow, row), std::max(currentRow, row));
        return selectOnly(row, row);
    default:
        return setSelected(row, !isSelected(row));
    }
}

bool ListGridSelection::extendTo(qint32 row)
{
    return selectOnly(std::min(m_anchor, row), std::max(m_anchor, row));
}

} // namespace brenlow
