#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridAccessible.h"
#include "controls/grid/ListGridController.h"

#include "base/Numbers.h"
#include <QLineEdit>

#include "base/Rounding.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

using namespace brenlow;

ListGrid::ListGrid(QWidget* parent) : QWidget(parent), m_controller(std::make_unique<ListGridController>(*this))
{
    brenlow::InstallGridAccessibility();
    m.setFont(font());
    m.setProperty(&GridProperties::FontHeader, font());
    m.updateDefaultRowHeight();
    applyTheme();
    // Pasted text passes the column's input filter too, so the box never holds what typing could not.
    QLineEdit* box = m_editor.box();
    connect(box, &QLineEdit::textEdited, this, [this, box](const QString& text) {
        const int col = m_editor.col();
        if (!m_editor.isOpen() || col < 0 || col >= m.colCount())
            return;
        const QString filter = m.column(col).inputFilter;
        QString kept;
        for (QChar ch : text) {
            if (filter == QLatin1String("<"))
                kept += ch.toLower();
            else if (filter == QLatin1String(">"))
                kept += ch.toUpper();
            else if (filter.isEmpty() || ch == QLatin1Char('.') || filter.contains(ch))
                kept += ch;
        }
        if (kept != text) {
            const int cursor = box->cursorPosition() - static_cast<int>(text.size() - kept.size());
            box->setText(kept);
            box->setCursorPosition(std::max(0, cursor));
        }
    });
}

ListGrid::~ListGrid() = default;

// ---- Columns

int ListGrid::AddColumn(const QString& Caption, float Width, int Alignment, int DataType,
                        const QString& Format, const QString& InputFilter, int ImageAlignment, bool WordWrap,
                        int Index, bool bVisible, bool bLocked)
{
    // The one step that can fail comes before anything changes.
    const qint32 pixelWidth = RoundHalfEven32(m.toPixels(static_cast<double>(Width) + 1));
    GridColumn col;
    col.heading = Caption;
    col.width = Width + 1;
    col.pixelWidth = pixelWidth;
    col.alignment = Alignment;
    col.imageAlignment = ImageAlignment;
    col.sortState = 0;
    col.type = static_cast<qint16>(DataType);
    col.format = Format;
    col.inputFilter = InputFilter;
    if (InputFilter.isEmpty() && DataType == ColumnType::Numeric)
        col.inputFilter = QStringLiteral("1234567890.-,");
    else if (InputFilter.isEmpty() && DataType == ColumnType::Date)
        col.inputFilter = QStringLiteral("1234567890./-");
    col.flags = WordWrap ? CellFlag::WordWrap : 0;
    col.visible = bVisible;
    col.locked = bLocked;
    const int result = m.insertColumn(std::move(col), Index);
    if (followEdit())
        refreshOrPend();
    return result;
}

int ListGrid::Cols() const
{
    return m.colCount();
}

int ListGrid::ColAlignment(int vCol) const
{
    m.checkColumn(vCol);
    return m.column(vCol).alignment;
}
void ListGrid::SetColAlignment(int vCol, int New_Value)
{
    m.checkColumn(vCol);
    m.column(vCol).alignment = New_Value;
    requestRefresh();
}
int ListGrid::ColImageAlignment(int vCol) const
{
    m.checkColumn(vCol);
    return m.column(vCol).imageAlignment;
}
void ListGrid::SetColImageAlignment(int vCol, int New_Value)
{
    m.checkColumn(vCol);
    m.column(vCol).imageAlignment = New_Value;
    requestRefresh();
}
int ListGrid::ColType(int vCol) const
{
    m.checkColumn(vCol);
    return m.column(vCol).type;
}
void ListGrid::SetColType(int vCol, int New_Value)
{
    m.checkColumn(vCol);
    (void)m.columnTotal(vCol); // a column that keeps a running total starts from the exact sum
    m.column(vCol).type = static_cast<qint16>(New_Value);
}
QString ListGrid::ColFormat(int vCol) const
{
    m.checkColumn(vCol);
    return m.column(vCol).format;
}
void ListGrid::SetColFormat(int vCol, const QString& New_Value)
{
    m.checkColumn(vCol);
    m.column(vCol).format = New_Value;
    requestRefresh();
}
QString ListGrid::ColHeading(int vCol) const
{
    m.checkColumn(vCol);
    return m.column(vCol).heading;
}
void ListGrid::SetColHeading(int vCol, const QString& New_Value)
{
    m.checkColumn(vCol);
    m.column(vCol).heading = New_Value;
    requestRefresh();
}
QString ListGrid::ColInputFilter(int vCol) const
{
    m.checkColumn(vCol);
    return m.column(vCol).inputFilter;
}
void ListGrid::SetColInputFilter(int vCol, const QString& New_Value)
{
    m.checkColumn(vCol);
    m.column(vCol).inputFilter = New_Value;
}
QString ListGrid::ColTag(int vCol) const
{
    m.checkColumn(vCol);
    return m.column(vCol).tag;
}
void ListGrid::SetColTag(int vCol, const QString& New_Value)
{
    m.checkColumn(vCol);
    m.column(vCol).tag = New_Value;
}
bool ListGrid::ColLocked(int vCol) const
{
    if (vCol == -1 || inputState().colRefused)
        return true;
    m.checkColumn(vCol);
    return m.column(vCol).locked;
}
void ListGrid::SetColLocked(int vCol, bool New_Value)
{
    m.checkColumn(vCol);
    m.column(vCol).locked = New_Value;
    requestRefresh();
}
bool ListGrid::ColVisible(int vCol) const
{
    m.checkColumn(vCol);
    return m.column(vCol).visible;
}
void ListGrid::SetColVisible(int vCol, bool New_Value)
{
    m.checkColumn(vCol);
    m.column(vCol).visible = New_Value;
    followEdit();
    requestLayout();
    requestRefresh();
}
float ListGrid::ColWidth(int vCol) const
{
    m.checkColumn(vCol);
    return m.column(vCol).width;
}
void ListGrid::SetColWidth(int vCol, float New_Value)
{
    m.checkColumn(vCol);
    // Width and pixel width change together or not at all.
    const qint32 pixelWidth = RoundHalfEven32(m.toPixels(New_Value));
    GridColumn& col = m.column(vCol);
    col.width = New_Value;
    col.pixelWidth = pixelWidth;
    requestLayout();
    requestRefresh();
}
bool ListGrid::ColWordWrap(int vCol) const
{
    m.checkColumn(vCol);
    return (m.column(vCol).flags & CellFlag::WordWrap) != 0;
}
void ListGrid::SetColWordWrap(int vCol, bool New_Value)
{
    m.checkColumn(vCol);
    quint16& flags = m.column(vCol).flags;
    flags = New_Value ? (flags | CellFlag::WordWrap) : (flags & ~CellFlag::WordWrap);
}
std::vector<int> ListGrid::ColOrder() const
{
    return m.colOrder();
}

void ListGrid::ClearAll()
{
    // A column resize in progress ends with its column.
    inputState().resizing = false;
    inputState().resizeCol = -1;
    m.clearColumns();
    inputState().navCol = -1; // the remembered column is gone with the others
    Clear();
}

// ---- Rows

int ListGrid::AddRow(const QString& vstrItem, int vRow, bool vbRowChecked, bool vbMarkAsNew, bool vbRowLocked,
                     bool vbRowVisible, int vRowData)
{
    if (m.colCount() == 0) {
        // Its paint pass raises RequestRowData, whose handler may delete the grid.
        const ControlGuard alive(this);
        AddColumn(QString(), VisibleWidth(), 4, 0, QString(), QString(), 4, false, 0, true, false);
        if (!alive)
            return -1;
    }
    const int result = m.insertRow(vRow);
    GridRow& row = m.rowAt(result);
    // Every new cell gets the grid's colours and font name, which are the grid defaults.
    m.applyDefaultFormat(row);
    m.loadRowTexts(row, vstrItem);
    row.data = vRowData;
    row.flags = (vbRowChecked ? RowFlag::Checked : 0) | (vbRowLocked ? RowFlag::Locked : 0) |
                (vbMarkAsNew ? RowFlag::Added : 0);
    row.visible = vbRowVisible;
    m.updateAutoHeight(row);

    if (followEdit() && refreshOrPend())
        emit RowCountChanged();
    return result;
}

int ListGrid::AddItem(const QString& vstrItem, int vRow, bool vbRowChecked, bool vbMarkAsNew,
                      bool vbRowLocked, bool vbRowVisible, int vRowData)
{
    return AddRow(vstrItem, vRow, vbRowChecked, vbMarkAsNew, vbRowLocked, vbRowVisible, vRowData);
}

void ListGrid::RemoveRow(int vRow)
{
    if (m.lastRow() < 0)
        return;
    if (vRow == -1)
        vRow = m.currentRow();
    if (vRow < 0 || vRow > m.lastRow())
        return;

    PaintSuspender suspend(*this);
    const bool wasSelected = m_selection.isSelected(vRow);
    const qint32 currentBefore = m.currentRow();
    m.removeRow(vRow);
    // An edit of the removed row ends here, before any handler hears of the removal. Each event
    // below may delete the grid; the removal then ends there.
    const ControlGuard alive(this);
    followEdit();
    if (!alive)
        return;

    if (m.lastRow() < 0) {
        Clear();
        if (alive)
            emit RowCountChanged();
        return;
    }

    // The grid is made consistent first (current row inside it, selection moved on); only then do
    // handlers hear of the change, so whatever they read names a row that exists.
    const bool selectionEvent = wasSelected && m.props().MultiSelect != 0;
    if (wasSelected && !selectionEvent)
        m_selection.setSelected(std::min<qint32>(vRow, m.lastRow()), true);
    const bool currentMoved = currentBefore > m.lastRow();

    m_painting = m_redraw;
    if (!refreshOrPend())
        return;
    if (selectionEvent) {
        emit SelectionChanged();
        if (!alive)
            return;
    }
    if (currentMoved) {
        emit RowColChanged();
        if (!alive)
            return;
    }
    emit RowCountChanged();
}

void ListGrid::RemoveItem(int vRow)
{
    RemoveRow(vRow);
}

void ListGrid::DeleteSelected()
{
    if (m.props().MultiSelect == 0) {
        RemoveRow(-1);
        return;
    }
    // Every selected row goes in one pass over storage (removing them one by one moves the rows
    // behind each of them); the events follow once the grid is consistent again.
    std::vector<bool> marked(static_cast<size_t>(m.rowCount()), false);
    bool any = false;
    for (qint32 i = 0; i <= m.lastRow(); ++i) {
        if (m_selection.isSelected(i)) {
            marked[static_cast<size_t>(i)] = true;
            any = true;
        }
    }
    // Each event below may delete the grid; the step then ends there.
    const ControlGuard alive(this);
    if (!any) {
        if (m.lastRow() >= 0)
            RowColSet(0, -1);
        if (alive)
            requestRefresh();
        return;
    }
    const qint32 currentBefore = m.currentRow();
    m.removeMarkedRows(marked);
    if (m.lastRow() < 0) {
        Clear();
        if (!alive)
            return;
        emit SelectionChanged();
        if (alive)
            emit RowCountChanged();
        return;
    }
    if (!followEdit())
        return;
    const bool currentMoved = currentBefore > m.lastRow();
    {
        PaintSuspender suspend(*this);
        emit SelectionChanged();
        if (!alive)
            return;
        if (currentMoved) {
            emit RowColChanged();
            if (!alive)
                return;
        }
        emit RowCountChanged();
        if (!alive)
            return;
    }
    if (m.lastRow() >= 0)
        RowColSet(0, -1);
    if (alive)
        refreshOrPend();
}

void ListGrid::Clear()
{
    const bool wasPainting = m_painting;
    m.clearRows();
    inputState().mouseRow = -1;
    inputState().mouseCol = -1;
    m_selection.setAnchor(-1);
    m_editor.markClosed();
    m_view.firstRowInView = 0;
    m_view.lastRowInView = -1;
    if (!hideEditorAndTip())
        return;
    m_redraw = false;
    m_painting = false;
    m_refreshPending = false;
    m_layoutPending = false;
    // Paint the empty grid once; while drawing was already off, when it is turned back on.
    recalcLayout();
    if (wasPainting) {
        if (!paintPass(true))
            return;
        m_refreshPending = false;
    } else {
        m_refreshPending = true;
    }
    brenlow::AnnounceGridReset(this);
}

int ListGrid::Rows() const
{
    return m.lastRow() + 1;
}
int ListGrid::ItemCount() const
{
    return m.lastRow() + 1;
}

namespace {

bool validRow(const ListGridModel& model, int vRow)
{
    return vRow >= 0 && vRow <= model.lastRow();
}

} // namespace

const GridRow* ListGrid::rowRef(int vRow) const
{
    if (m.lastRow() < 0)
        return nullptr;
    if (vRow < 0)
        vRow = m.currentRow() >= 0 ? m.currentRow() : 0;
    return &m.rowAt(std::min<int>(vRow, m.lastRow()));
}

GridRow* ListGrid::rowRef(int vRow)
{
    return const_cast<GridRow*>(std::as_const(*this).rowRef(vRow));
}

// Row members clamp their row as cell references are clamped: -1 is the current row (or the first),
// a row past the end the last one; on an empty grid a read gives the empty value and a write does
// nothing.
int ListGrid::RowData(int vRow) const
{
    const GridRow* row = rowRef(vRow);
    return row ? row->data : 0;
}
void ListGrid::SetRowData(int vRow, int New_Value)
{
    if (GridRow* row = rowRef(vRow)) {
        row->data = New_Value;
        requestRefresh();
    }
}
QString ListGrid::RowTag(int vRow) const
{
    const GridRow* row = rowRef(vRow);
    return row ? row->tag : QString();
}
void ListGrid::SetRowTag(int vRow, const QString& New_Value)
{
    if (GridRow* row = rowRef(vRow)) {
        row->tag = New_Value;
        requestRefresh();
    }
}
bool ListGrid::RowGroupHeader(int vRow) const
{
    const GridRow* row = rowRef(vRow);
    return row && row->groupHeader;
}
void ListGrid::SetRowGroupHeader(int vRow, bool New_Value)
{
    if (GridRow* row = rowRef(vRow))
        row->groupHeader = New_Value;
}

static void setFlag(quint16& flags, quint16 bit, bool on)
{
    flags = on ? (flags | bit) : (flags & ~bit);
}

bool ListGrid::RowChecked(int vRow) const
{
    const GridRow* row = rowRef(vRow);
    return row && (row->flags & RowFlag::Checked);
}
void ListGrid::SetRowChecked(int vRow, bool New_Value)
{
    if (GridRow* row = rowRef(vRow)) {
        setFlag(row->flags, RowFlag::Checked, New_Value);
        requestRefresh();
    }
}
bool ListGrid::RowSelected(int vRow) const
{
    const GridRow* row = rowRef(vRow);
    return row && (row->flags & RowFlag::Selected);
}
void ListGrid::SetRowSelected(int vRow, bool New_Value)
{
    if (GridRow* row = rowRef(vRow)) {
        setFlag(row->flags, RowFlag::Selected, New_Value);
        requestRefresh();
    }
}
bool ListGrid::RowLocked(int vRow) const
{
    if (inputState().rowRefused || !validRow(m, vRow))
        return true;
    return m.rowAt(vRow).flags & RowFlag::Locked;
}
void ListGrid::SetRowLocked(int vRow, bool New_Value)
{
    if (GridRow* row = rowRef(vRow)) {
        setFlag(row->flags, RowFlag::Locked, New_Value);
        requestRefresh();
    }
}
bool ListGrid::RowVisible(int vRow) const
{
    const GridRow* row = rowRef(vRow);
    return row && row->visible;
}
void ListGrid::SetRowVisible(int vRow, bool New_Value)
{
    if (GridRow* row = rowRef(vRow)) {
        row->visible = New_Value;
        if (!followEdit())
            return;
        requestLayout();
        requestRefresh();
    }
}
float ListGrid::RowHeight(int vRow) const
{
    const GridRow* row = rowRef(vRow);
    return row ? static_cast<float>(row->height) : 0.0f;
}
void ListGrid::SetRowHeight(int vRow, float New_Value)
{
    GridRow* row = rowRef(vRow);
    if (!row)
        return;
    if (New_Value == -1)
        row->height = m.autoRowHeight(*row);
    else
        row->height = RoundHalfEven32(New_Value);
    requestLayout();
    requestRefresh();
}
QVariant ListGrid::RowImage(int vRow) const
{
    const GridRow* row = rowRef(vRow);
    return row ? imageVariant(row->image) : QVariant(0);
}
void ListGrid::SetRowImage(int vRow, const QVariant& New_Value)
{
    GridRow* row = rowRef(vRow);
    if (!row)
        return;
    row->image = imageValue(New_Value);
    // The first row image opens the row-image column.
    refreshOrPend();
}

void ListGrid::SetRowBackColor(int vRow, quint32 New_Value)
{
    // While painting is suspended the cell setters raise no events.
    {
        PaintSuspender suspend(*this);
        for (int k = 0; k < m.colCount(); ++k)
            SetCellBackColor(vRow, k, New_Value);
    }
    requestRefresh();
}
void ListGrid::SetRowForeColor(int vRow, quint32 New_Value)
{
    {
        PaintSuspender suspend(*this);
        for (int k = 0; k < m.colCount(); ++k)
            SetCellForeColor(vRow, k, New_Value);
    }
    requestRefresh();
}
void ListGrid::SetRowFontBold(int vRow, bool New_Value)
{
    {
        PaintSuspender suspend(*this);
        for (int k = 0; k < m.colCount(); ++k)
            SetCellFontBold(vRow, k, New_Value);
    }
    requestRefresh();
}

bool ListGrid::RowAdded(int vRow) const
{
    m.checkRow(vRow);
    return m.rowAt(vRow).flags & RowFlag::Added;
}
bool ListGrid::RowChanged(int vRow) const
{
    m.checkRow(vRow);
    return m.rowAt(vRow).flags & RowFlag::Changed;
}

int ListGrid::SelectedCount() const
{
    return m_selection.count();
}
int ListGrid::CheckedCount() const
{
    return static_cast<int>(std::count_if(m.rows().begin(), m.rows().end(),
                                          [](const GridRow& r) { return r.flags & RowFlag::Checked; }));
}
void ListGrid::SelectedClearAll()
{
    m_selection.clear();
}
void ListGrid::RowUnSelect()
{
    if (m.lastRow() < 1)
        return;
    SelectedClearAll();
    requestRefresh();
}

int ListGrid::Row() const
{
    return m.currentRow();
}
void ListGrid::SetRow(int New_Value)
{
    RowColSet(New_Value, -1);
}

int ListGrid::Col() const
{
    if (m.colCount() == 0)
        return 0;
    if (m.currentCol() < 0)
        return -1;
    return m.currentColumnIndex();
}
void ListGrid::SetCol(int New_Value)
{
    const ControlGuard alive(this);
    RowColSet(-1, New_Value);
    if (alive)
        requestRefresh();
}

bool ListGrid::moveCurrentCell(int row, int colPos, bool scroll)
{
    if (row >= 0 && row <= m.lastRow() && ((m.rowAt(row).flags & RowFlag::Locked) || inputState().rowRefused)) {
        inputState().rowRefused = true;
        inputState().colRefused = true;
        return false;
    }
    const bool changed = row != m.currentRow() || colPos != m.currentCol();
    m.setCurrentCell(row, colPos);
    // The column itself is remembered, so a change of the column order can bring it back.
    if (colPos >= 0 && colPos < static_cast<int>(m.colOrder().size()))
        inputState().navCol = m.columnAt(colPos);
    if (scroll) {
        if (row >= 0)
            ensureRowVisible(row);
        if (colPos >= 0)
            ensureColumnVisible(colPos);
    }
    if (changed)
        emit RowColChanged(); // callers hold a guard: the handler may delete the grid
    return changed;
}

void ListGrid::RowColSet(int vRow, int vCol)
{
    int colPos = -1;
    if (vCol != -1) {
        if (vCol >= 0 && vCol < m.colCount() && !m.column(vCol).visible)
            return;
        colPos = std::max(0, m.positionOf(vCol));
        colPos = std::min(colPos, std::max(0, m.colCount() - 1));
        if (m.colCount() > 0)
            ensureColumnVisible(colPos);
        // A locked column's cells never become current: the current column stays where it was.
        if (colPos < static_cast<int>(m.colOrder().size()) && m.column(m.columnAt(colPos)).locked) {
            inputState().colRefused = true;
            colPos = m.currentCol();
        }
    }
    int unusedCol = -1;
    if (!m.fixRef(vRow, unusedCol))
        return;
    if (vRow < 0 || vRow > m.lastRow() || !m.rowAt(vRow).visible)
        return;

    bool changed = false;
    if (vRow != m.currentRow()) {
        m_selection.clear();
        m_selection.setAnchor(vRow); // a Shift move extends from here
        changed = true;
    }
    // Handlers of the events below may change the grid; then the row asked for may be another one.
    // They may also delete it.
    const ControlGuard alive(this);
    const quint64 structure = m.structure();
    const auto gridChanged = [&] { return !alive || m.structure() != structure || vRow > m.lastRow(); };
    changed |= moveCurrentCell(vRow, colPos, false);
    if (gridChanged())
        return;
    if (m_selection.setSelected(vRow, true)) {
        changed = true;
        emit SelectionChanged();
        if (gridChanged())
            return;
    }
    changed |= moveCurrentCell(vRow, colPos, true);
    if (gridChanged())
        return;
    if (changed) {
        m.setCurrentRow(vRow);
        if (vRow < m_view.firstRowInView || vRow > m_view.lastRowInView)
            ensureRowVisible(vRow);
        requestRefresh();
    }
}

// ---- Input: the controller turns it into model changes and events

GridInputState& ListGrid::inputState()
{
    return m_controller->state();
}

const GridInputState& ListGrid::inputState() const
{
    return m_controller->state();
}

int ListGrid::MouseRow() const
{
    return m_controller->mouseRow();
}

int ListGrid::MouseCol() const
{
    return m_controller->mouseCol();
}

void ListGrid::SetSearchClock(const Clock* clock)
{
    m_search.setClock(clock);
}

void ListGrid::mousePressEvent(QMouseEvent* event)
{
    m_controller->mousePress(event);
}

void ListGrid::mouseMoveEvent(QMouseEvent* event)
{
    m_controller->mouseMove(event);
}

void ListGrid::mouseReleaseEvent(QMouseEvent* event)
{
    m_controller->mouseRelease(event);
}

void ListGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_controller->mouseDoubleClick(event);
}

void ListGrid::keyPressEvent(QKeyEvent* event)
{
    m_controller->keyPress(event);
}

void ListGrid::keyReleaseEvent(QKeyEvent* event)
{
    m_controller->keyRelease(event);
}
