// The grid as an accessible table: what a screen reader reads of the download list.
#include "controls/grid/ListGridAccessible.h"

#include "controls/common/Accessibility.h"
#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridAccessibleCell.h"
#include "controls/grid/ListGridInputState.h"

#include <QApplication>
#include <QHash>

#include <unordered_set>

namespace brenlow {

namespace {

/** A column narrower than this shows nothing of its cells (the window keeps a whole profile list
 *  in a column one twip wide), so it is no column to read either. */
constexpr int MinShownWidth = 2;

QHash<const QObject*, ListGridAccessible*>& liveTables()
{
    static QHash<const QObject*, ListGridAccessible*> live;
    return live;
}

QAccessibleInterface* gridFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("ListGrid"))
        if (auto* grid = qobject_cast<ListGrid*>(object))
            return new ListGridAccessible(grid);
    return nullptr;
}

} // namespace

void InstallGridAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(gridFactory);
        return true;
    }();
    Q_UNUSED(installed)
}

void AnnounceGridCell(const ListGrid* grid, quint64 rowId, int col)
{
    if (ListGridAccessible* t = liveTables().value(grid))
        t->cellChanged(rowId, col);
}

void AnnounceGridReset(const ListGrid* grid)
{
    if (ListGridAccessible* t = liveTables().value(grid))
        t->rowsChanged();
}

ListGridAccessible::ListGridAccessible(ListGrid* grid)
    : QAccessibleWidget(grid, QAccessible::Table), m_key(grid)
{
    liveTables().insert(m_key, this);
    QObject::connect(grid, &ListGrid::RowCountChanged, &m_context, [this] { rowsChanged(); });
    QObject::connect(grid, &ListGrid::ColumnOrderChanged, &m_context, [this] { rowsChanged(); });
    QObject::connect(grid, &ListGrid::SortComplete, &m_context, [this] { rowsChanged(); });
    QObject::connect(grid, &ListGrid::SelectionChanged, &m_context, [this] { announceSelection(); });
    QObject::connect(grid, &ListGrid::RowColChanged, &m_context, [this] {
        if (gridHasFocus())
            announceCurrentCell();
    });
    QObject::connect(qApp, &QApplication::focusChanged, &m_context, [this](QWidget*, QWidget* now) {
        if (now && now == this->grid())
            announceCurrentCell();
    });
}

ListGridAccessible::~ListGridAccessible()
{
    liveTables().remove(m_key);
    for (const auto& [key, id] : m_cells)
        QAccessible::deleteAccessibleInterface(id);
    for (const auto& [col, id] : m_headers)
        QAccessible::deleteAccessibleInterface(id);
}

ListGrid* ListGridAccessible::grid() const
{
    return static_cast<ListGrid*>(widget());
}

QString ListGridAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && grid()->accessibleName().isEmpty())
        return grid()->Caption();
    return QAccessibleWidget::text(t);
}

QAccessible::State ListGridAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.multiSelectable = grid()->MultiSelect() != 0;
    return s;
}

void* ListGridAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

// ---- shape ------------------------------------------------------------------------------------

std::vector<int> ListGridAccessible::shownRows() const
{
    const ListGridModel& m = grid()->model();
    std::vector<int> rows;
    rows.reserve(static_cast<size_t>(m.rowCount()));
    for (int r = 0; r < m.rowCount(); ++r)
        if (m.rowAt(r).visible)
            rows.push_back(r);
    return rows;
}

std::vector<int> ListGridAccessible::shownColumns() const
{
    const ListGridModel& m = grid()->model();
    std::vector<int> cols;
    for (const qint32 c : m.colOrder()) {
        const GridColumn& column = m.column(c);
        if (column.visible && column.pixelWidth >= MinShownWidth)
            cols.push_back(c);
    }
    return cols;
}

int ListGridAccessible::headerCount() const
{
    return grid()->ColumnHeaders() ? columnCount() : 0;
}

int ListGridAccessible::rowCount() const
{
    return int(shownRows().size());
}

int ListGridAccessible::columnCount() const
{
    return int(shownColumns().size());
}

int ListGridAccessible::childCount() const
{
    return headerCount() + rowCount() * columnCount();
}

QAccessibleInterface* ListGridAccessible::child(int index) const
{
    const std::vector<int> cols = shownColumns();
    if (index < 0 || cols.empty())
        return nullptr;
    const int headers = grid()->ColumnHeaders() ? int(cols.size()) : 0;
    if (index < headers)
        return headerFor(cols[static_cast<size_t>(index)]);
    index -= headers;
    return cellAt(index / int(cols.size()), index % int(cols.size()));
}

int ListGridAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    if (const auto* header = dynamic_cast<const GridHeaderAccessible*>(child)) {
        if (!grid()->ColumnHeaders())
            return -1;
        const std::vector<int> cols = shownColumns();
        const auto it = std::find(cols.begin(), cols.end(), header->column());
        return it == cols.end() ? -1 : int(it - cols.begin());
    }
    if (const auto* cell = dynamic_cast<const GridCellAccessible*>(child)) {
        const int row = cell->rowIndex(), col = cell->columnIndex();
        if (row < 0 || col < 0)
            return -1;
        return headerCount() + row * columnCount() + col;
    }
    return -1;
}

QAccessibleInterface* ListGridAccessible::cellAt(int row, int column) const
{
    const std::vector<int> rows = shownRows();
    const std::vector<int> cols = shownColumns();
    if (row < 0 || column < 0 || row >= int(rows.size()) || column >= int(cols.size()))
        return nullptr;
    const quint64 id = grid()->model().rowAt(rows[static_cast<size_t>(row)]).id();
    return cellFor(id, cols[static_cast<size_t>(column)]);
}

QAccessibleInterface* ListGridAccessible::cellFor(quint64 rowId, int col) const
{
    const auto key = std::make_pair(rowId, col);
    if (const auto it = m_cells.find(key); it != m_cells.end())
        return QAccessible::accessibleInterface(it->second);
    auto* cell = new GridCellAccessible(grid(), rowId, col);
    m_cells.emplace(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

QAccessibleInterface* ListGridAccessible::headerFor(int col) const
{
    if (const auto it = m_headers.find(col); it != m_headers.end())
        return QAccessible::accessibleInterface(it->second);
    auto* header = new GridHeaderAccessible(grid(), col);
    m_headers.emplace(col, QAccessible::registerAccessibleInterface(header));
    return header;
}

// ---- geometry ---------------------------------------------------------------------------------

QRect ListGridAccessible::cellScreenRect(int displayRow, int col) const
{
    ListGrid* g = grid();
    const int pos = g->model().positionOf(col);
    if (pos < 0 || !g->isVisible())
        return {};
    const QRect r = g->cellRect(displayRow, pos).intersected(g->rect());
    return r.isEmpty() ? QRect() : QRect(g->mapToGlobal(r.topLeft()), r.size());
}

QRect ListGridAccessible::headerScreenRect(int col) const
{
    ListGrid* g = grid();
    const int pos = g->model().positionOf(col);
    if (pos < 0 || !g->isVisible() || !g->ColumnHeaders())
        return {};
    const QRect r = g->m_layout.headerItemRect(pos).intersected(g->rect());
    return r.isEmpty() ? QRect() : QRect(g->mapToGlobal(r.topLeft()), r.size());
}

QAccessibleInterface* ListGridAccessible::childAt(int x, int y) const
{
    ListGrid* g = grid();
    const QPoint local = g->mapFromGlobal(QPoint(x, y));
    if (!g->rect().contains(local))
        return nullptr;
    const GridHit hit = g->hitTest(local);
    if (hit.colPos < 0)
        return nullptr;
    const int col = g->model().columnAt(hit.colPos);
    const std::vector<int> cols = shownColumns();
    if (std::find(cols.begin(), cols.end(), col) == cols.end())
        return nullptr;
    if (hit.header)
        return g->ColumnHeaders() ? headerFor(col) : nullptr;
    if (hit.row < 0 || !g->model().rowAt(hit.row).visible)
        return nullptr;
    return cellFor(g->model().rowAt(hit.row).id(), col);
}

// ---- focus and selection ----------------------------------------------------------------------

bool ListGridAccessible::gridHasFocus() const
{
    return QApplication::focusWidget() == grid();
}

QAccessibleInterface* ListGridAccessible::focusChild() const
{
    // An open editor has the focus itself; otherwise the current cell does.
    if (!gridHasFocus())
        return QAccessibleWidget::focusChild();
    const ListGridModel& m = grid()->model();
    if (m.currentRow() < 0 || m.currentRow() > m.lastRow() || !m.rowAt(m.currentRow()).visible)
        return nullptr;
    const std::vector<int> cols = shownColumns();
    if (cols.empty())
        return nullptr;
    int col = m.currentCol() >= 0 && m.currentCol() < static_cast<int>(m.colOrder().size())
                  ? m.columnAt(m.currentCol())
                  : cols.front();
    if (std::find(cols.begin(), cols.end(), col) == cols.end())
        col = cols.front();
    return cellFor(m.rowAt(m.currentRow()).id(), col);
}

int ListGridAccessible::selectedRowCount() const
{
    return int(selectedRows().size());
}

QList<int> ListGridAccessible::selectedRows() const
{
    const ListGridModel& m = grid()->model();
    const std::vector<int> rows = shownRows();
    QList<int> selected;
    for (size_t i = 0; i < rows.size(); ++i)
        if (m.rowAt(rows[i]).flags & RowFlag::Selected)
            selected << int(i);
    return selected;
}

int ListGridAccessible::selectedCellCount() const
{
    return selectedRowCount() * columnCount();
}

QList<QAccessibleInterface*> ListGridAccessible::selectedCells() const
{
    QList<QAccessibleInterface*> cells;
    const int cols = columnCount();
    for (const int row : selectedRows())
        for (int c = 0; c < cols; ++c)
            cells << cellAt(row, c);
    return cells;
}

bool ListGridAccessible::isRowSelected(int row) const
{
    return selectedRows().contains(row);
}

QString ListGridAccessible::columnDescription(int column) const
{
    const std::vector<int> cols = shownColumns();
    if (column < 0 || column >= int(cols.size()))
        return {};
    return grid()->model().column(cols[static_cast<size_t>(column)]).heading;
}

QString ListGridAccessible::rowDescription(int row) const
{
    // The row number the grid shows beside the row.
    return row >= 0 && row < rowCount() && grid()->ShowRowNumbers() ? QString::number(row + 1) : QString();
}

bool ListGridAccessible::selectRow(int row)
{
    const std::vector<int> rows = shownRows();
    if (row < 0 || row >= int(rows.size()))
        return false;
    ListGrid* g = grid();
    const int displayRow = rows[static_cast<size_t>(row)];
    if (g->MultiSelect() != 0) {
        if (g->RowSelected(displayRow))
            return true;
        // The repaint's handlers may delete the grid.
        const ControlGuard alive(g);
        g->SetRowSelected(displayRow, true);
        if (alive)
            emit g->SelectionChanged();
        return true;
    }
    // A single selection follows the current row, as a click on the row does.
    const ListGridModel& m = g->model();
    const bool hasCol = m.currentCol() >= 0 && m.currentCol() < static_cast<int>(m.colOrder().size());
    const ControlGuard alive(g);
    g->RowColSet(displayRow, hasCol ? m.columnAt(m.currentCol()) : -1);
    return alive && g->RowSelected(displayRow);
}

bool ListGridAccessible::unselectRow(int row)
{
    const std::vector<int> rows = shownRows();
    if (row < 0 || row >= int(rows.size()))
        return false;
    ListGrid* g = grid();
    const int displayRow = rows[static_cast<size_t>(row)];
    if (g->RowSelected(displayRow)) {
        const ControlGuard alive(g);
        g->SetRowSelected(displayRow, false);
        if (alive)
            emit g->SelectionChanged();
    }
    return true;
}

// ---- announcements ----------------------------------------------------------------------------

void ListGridAccessible::announceSelection()
{
    QAccessibleEvent event(grid(), QAccessible::SelectionWithin);
    brenlow::Accessibility::Announce(&event);
}

void ListGridAccessible::announceCurrentCell()
{
    if (QAccessibleInterface* cell = focusChild(); cell && cell != this) {
        QAccessibleEvent event(cell, QAccessible::Focus);
        brenlow::Accessibility::Announce(&event);
    }
}

void ListGridAccessible::cellChanged(quint64 rowId, int col)
{
    const std::vector<int> cols = shownColumns();
    if (std::find(cols.begin(), cols.end(), col) == cols.end())
        return;
    auto* cell = static_cast<GridCellAccessible*>(cellFor(rowId, col));
    if (!cell->isValid())
        return;
    if (cell->isProgress()) {
        QAccessibleValueChangeEvent event(cell, cell->currentValue());
        brenlow::Accessibility::Announce(&event);
    }
    QAccessibleEvent event(cell, QAccessible::NameChanged);
    brenlow::Accessibility::Announce(&event);
}

void ListGridAccessible::rowsChanged()
{
    QAccessibleTableModelChangeEvent event(grid(), QAccessibleTableModelChangeEvent::ModelReset);
    brenlow::Accessibility::Announce(&event);
    // Qt hands the event to modelChange itself; a build that does not still loses no cell.
    pruneCells();
}

void ListGridAccessible::modelChange(QAccessibleTableModelChangeEvent*)
{
    pruneCells();
}

void ListGridAccessible::pruneCells()
{
    const ListGridModel& m = grid()->model();
    const int cols = m.colCount();
    // One pass over the rows, not one per cell.
    std::unordered_set<quint64> live;
    live.reserve(static_cast<size_t>(m.rowCount()));
    for (int r = 0; r < m.rowCount(); ++r)
        live.insert(m.rowAt(r).id());
    for (auto it = m_cells.begin(); it != m_cells.end();) {
        const bool gone = it->first.second >= cols || !live.contains(it->first.first);
        if (gone) {
            QAccessible::deleteAccessibleInterface(it->second);
            it = m_cells.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = m_headers.begin(); it != m_headers.end();) {
        if (it->first >= cols) {
            QAccessible::deleteAccessibleInterface(it->second);
            it = m_headers.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace brenlow
