// The cells and column headers of the grid's accessible table.
#include "controls/grid/ListGridAccessibleCell.h"

#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridAccessible.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace brenlow {

namespace {

ListGridAccessible* tableOf(ListGrid* grid)
{
    return grid ? dynamic_cast<ListGridAccessible*>(QAccessible::queryAccessibleInterface(grid)) : nullptr;
}

QWindow* windowOf(const ListGrid* grid)
{
    const QWidget* top = grid ? grid->window() : nullptr;
    return top ? top->windowHandle() : nullptr;
}

template <typename T> int indexIn(const std::vector<T>& list, T value)
{
    const auto it = std::find(list.begin(), list.end(), value);
    return it == list.end() ? -1 : int(it - list.begin());
}

} // namespace

// ---- cells ------------------------------------------------------------------------------------

ListGridAccessible* GridCellAccessible::tableInterface() const
{
    return tableOf(m_grid);
}

int GridCellAccessible::displayRow() const
{
    return m_grid ? m_grid->model().displayRowOfId(m_rowId) : -1;
}

const GridCell* GridCellAccessible::cell() const
{
    const int row = displayRow();
    if (row < 0 || m_col < 0 || m_col >= m_grid->model().colCount())
        return nullptr;
    return &m_grid->model().rowAt(row).cells[static_cast<size_t>(m_col)];
}

bool GridCellAccessible::isValid() const
{
    return cell() != nullptr;
}

QWindow* GridCellAccessible::window() const
{
    return windowOf(m_grid);
}

QAccessibleInterface* GridCellAccessible::parent() const
{
    return tableInterface();
}

bool GridCellAccessible::isProgress() const
{
    return isValid() && m_grid->model().column(m_col).type == ColumnType::Progress;
}

bool GridCellAccessible::isLink() const
{
    const GridCell* c = cell();
    return c && m_grid->model().effectiveFormat(*c).handPointer;
}

bool GridCellAccessible::isButton() const
{
    return isValid() && m_grid->model().column(m_col).type == ColumnType::Button;
}

QString GridCellAccessible::text(QAccessible::Text t) const
{
    const GridCell* c = cell();
    if (!c)
        return {};
    switch (t) {
    case QAccessible::Name:
    case QAccessible::Value:
        // A progress cell the program left without text reads as its bar shows it.
        if (isProgress() && c->text.isEmpty())
            return QStringLiteral("%1%").arg(c->flags);
        return c->text;
    default:
        return {};
    }
}

QRect GridCellAccessible::rect() const
{
    ListGridAccessible* t = tableInterface();
    const int row = displayRow();
    return t && row >= 0 ? t->cellScreenRect(row, m_col) : QRect();
}

QAccessible::State GridCellAccessible::state() const
{
    QAccessible::State s;
    const GridCell* c = cell();
    if (!c) {
        s.invalid = true;
        return s;
    }
    const ListGridModel& m = m_grid->model();
    const int row = displayRow();
    const GridRow& r = m.rowAt(row);
    const GridColumn& col = m.column(m_col);
    s.selectable = true;
    s.selected = (r.flags & RowFlag::Selected) != 0;
    s.focusable = true;
    const bool current = row == m.currentRow() && m.currentCol() >= 0 &&
                         m.currentCol() < static_cast<int>(m.colOrder().size()) &&
                         m.columnAt(m.currentCol()) == m_col;
    ListGridAccessible* t = tableInterface();
    s.focused = current && t && t->gridHasFocus();
    s.active = current;
    s.disabled = !m_grid->isEnabled();
    if (rect().isEmpty()) {
        s.invisible = true;
        s.offscreen = true;
    }
    s.readOnly =
        !m.props().AllowEdit || col.locked || (r.flags & RowFlag::Locked) || col.type == ColumnType::Progress;
    s.editable = !s.readOnly;
    if (col.type == ColumnType::CheckBox) {
        s.checkable = true;
        s.checked = (c->flags & CellFlag::Checked) != 0;
    }
    s.linked = isLink();
    return s;
}

void* GridCellAccessible::interface_cast(QAccessible::InterfaceType t)
{
    switch (t) {
    case QAccessible::TableCellInterface:
        return static_cast<QAccessibleTableCellInterface*>(this);
    case QAccessible::ValueInterface:
        return isProgress() ? static_cast<QAccessibleValueInterface*>(this) : nullptr;
    case QAccessible::ActionInterface:
        return isLink() || isButton() ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    default:
        return nullptr;
    }
}

bool GridCellAccessible::isSelected() const
{
    return state().selected;
}

QList<QAccessibleInterface*> GridCellAccessible::columnHeaderCells() const
{
    ListGridAccessible* t = tableInterface();
    if (!t || !m_grid->ColumnHeaders())
        return {};
    return {t->headerFor(m_col)};
}

int GridCellAccessible::columnIndex() const
{
    ListGridAccessible* t = tableInterface();
    return t ? indexIn(t->shownColumns(), m_col) : -1;
}

int GridCellAccessible::rowIndex() const
{
    ListGridAccessible* t = tableInterface();
    return t ? indexIn(t->shownRows(), displayRow()) : -1;
}

QAccessibleInterface* GridCellAccessible::table() const
{
    return tableInterface();
}

QVariant GridCellAccessible::currentValue() const
{
    const GridCell* c = cell();
    return c && isProgress() ? QVariant(int(c->flags)) : QVariant();
}

QStringList GridCellAccessible::actionNames() const
{
    if (!m_grid || !m_grid->isEnabled() || !(isLink() || isButton()))
        return {};
    return {pressAction()};
}

void GridCellAccessible::doAction(const QString& name)
{
    if (name != pressAction() || !actionNames().contains(name))
        return;
    // As the Space key on the cell does; later, from the event loop, since the handler may open a
    // modal box while the assistive technology waits for this call to return. The row is looked up
    // then, wherever it has moved to.
    ListGrid* grid = m_grid;
    const bool button = isButton();
    QMetaObject::invokeMethod(
        grid,
        [grid, button, id = m_rowId, col = m_col] {
            const int row = grid->model().displayRowOfId(id);
            if (row < 0 || col >= grid->model().colCount() || !grid->isEnabled())
                return;
            if (button) {
                emit grid->CellButtonClick(row, col);
            } else {
                qint16 shift = 0;
                emit grid->CellHandClick(row, col, shift);
            }
        },
        Qt::QueuedConnection);
}

// ---- column headers ---------------------------------------------------------------------------

ListGridAccessible* GridHeaderAccessible::tableInterface() const
{
    return tableOf(m_grid);
}

bool GridHeaderAccessible::isValid() const
{
    return m_grid && m_col >= 0 && m_col < m_grid->model().colCount();
}

QWindow* GridHeaderAccessible::window() const
{
    return windowOf(m_grid);
}

QAccessibleInterface* GridHeaderAccessible::parent() const
{
    return tableInterface();
}

QString GridHeaderAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name || !isValid())
        return {};
    return m_grid->model().column(m_col).heading;
}

QRect GridHeaderAccessible::rect() const
{
    ListGridAccessible* t = tableInterface();
    return t && isValid() ? t->headerScreenRect(m_col) : QRect();
}

QAccessible::State GridHeaderAccessible::state() const
{
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    s.readOnly = true;
    s.disabled = !m_grid->isEnabled();
    if (rect().isEmpty()) {
        s.invisible = true;
        s.offscreen = true;
    }
    return s;
}

} // namespace brenlow
