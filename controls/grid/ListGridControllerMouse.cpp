// The controller's mouse handling: current cell and selection, check boxes, button, image and
// hand-pointer cells, header presses that sort, swap or drag columns, column and row resizing, tooltips.
#include "controls/grid/ListGridController.h"

#include "controls/grid/ListGrid.h"

#include "base/Rounding.h"
#include "controls/common/ControlGuard.h"
#include "controls/common/KeyCodes.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

using namespace brenlow;

// ---- Mouse-down

namespace {

qint16 buttonOf(Qt::MouseButton b)
{
    return static_cast<qint16>(KeyCodes::ButtonsFromQt(b));
}

} // namespace

void ListGridController::mousePress(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const qint16 shift = static_cast<qint16>(KeyCodes::ShiftFromModifiers(event->modifiers()));
    const GridHit hit = g.hitTest(p);
    in.mouseRow = hit.row;
    in.mouseCol = hit.colPos;
    in.lastPress = p;
    // From the focus change's repaint on, any handler may delete the grid: the press ends there.
    const ControlGuard alive(&g);
    if (!g.hasFocus() && !(g.m_editor.isOpen() && g.m_editor.widget() && g.m_editor.widget()->hasFocus()))
        g.setFocus(Qt::MouseFocusReason);
    if (!alive)
        return;

    if (event->button() == Qt::LeftButton) {
        // Every left press may end in a click, also on an empty grid or a locked row.
        in.clickArmed = true;
        in.pressOnHeader = hit.header;
        in.lastShift = shift;
    }
    if (event->button() == Qt::LeftButton && m.lastRow() >= 0) {
        hideTip();
        in.rowRefused = false;
        in.colRefused = false;
        in.lastShift = shift;
        if (hit.row >= 0 && (m.rowAt(hit.row).flags & RowFlag::Locked)) {
            in.rowRefused = true;
            in.colRefused = true;
            return;
        }
        leftButtonDown(hit, event->modifiers());
        if (!alive)
            return;
    } else if (event->button() != Qt::LeftButton && m.lastRow() >= 0 && hit.row >= 0) {
        // A right or middle press makes an unselected row the current and only selected one.
        if (!g.m_selection.isSelected(hit.row) || m.props().MultiSelect == 0) {
            const quint64 structure = m.structure();
            if (g.UpdateCell(false) && alive && m.structure() == structure && hit.row <= m.lastRow()) {
                g.SelectedClearAll();
                g.RowColSet(hit.row, hit.colPos >= 0 ? m.columnAt(hit.colPos) : -1);
                if (alive)
                    g.requestRefresh();
            }
            if (!alive)
                return;
        }
    }
    qint16 button = buttonOf(event->button());
    float x = static_cast<float>(m.toUnits(p.x()));
    float y = static_cast<float>(m.toUnits(p.y()));
    qint16 shiftArg = shift;
    emit g.MouseDown(button, shiftArg, x, y);
}

bool ListGridController::atResizableEdge()
{
    // The column under the pointer is found again: handlers since the last move may have replaced
    // the columns it found then.
    if (in.pointer == GridPointer::SizeWE)
        updatePointer(in.lastPress);
    return in.pointer == GridPointer::SizeWE && m.props().AllowColumnResizing && in.resizeCol >= 0 &&
           in.resizeCol < m.colCount();
}

void ListGridController::leftButtonDown(const GridHit& hit, Qt::KeyboardModifiers mods)
{
    in.buttonPressed = true;
    in.pressOnHeader = hit.header;
    g.m_selection.setAnchor(hit.header ? -1 : hit.row);

    if (hit.header) {
        if (atResizableEdge()) {
            in.resizing = true;
            in.resizeStartX = in.lastPress.x();
            in.resizeStartWidth = m.column(in.resizeCol).pixelWidth;
            return;
        }
        if ((m.props().AllowColumnSort || m.props().AllowColumnSwap || m.props().AllowColumnDrag) &&
            hit.colPos >= 0) {
            g.m_paintState.pressedHeaderPos = hit.colPos;
            in.dragOverHeader = hit.colPos;
            g.requestRefresh();
        }
        return;
    }
    if (in.pointer == GridPointer::SizeNS && m.props().AllowRowResizing && in.resizeRow >= 0) {
        in.resizing = true;
        return;
    }
    if (hit.row < 0)
        return;
    // Handlers of the events raised here, from the commit of an open edit on, may change the grid
    // (remove the row, add columns): the press then ends, as nothing it found is sure to be where
    // it was.
    const ControlGuard alive(&g);
    const quint64 structure = m.structure();
    if (g.m_editor.isOpen() && (!g.UpdateCell(false) || !alive))
        return;
    if (m.structure() != structure || hit.row > m.lastRow()) {
        g.requestRefresh();
        return;
    }

    bool changed = false;
    bool selectionChanged = false;
    const int col = hit.colPos >= 0 ? m.columnAt(hit.colPos) : -1;
    if (hit.rowCheckBox) {
        GridRow& row = m.rowAt(hit.row);
        row.flags ^= RowFlag::Checked;
        changed = true;
        emit g.RowCheckedEvent(hit.row);
        if (!alive)
            return;
    } else if (col >= 0 && m.column(col).type == ColumnType::CheckBox && m.props().AllowEdit &&
               !m.column(col).locked) {
        // Only the drawn box toggles: a square of the check-box size, centred in the cell.
        const int box = m.defaultRowHeight() < 17 ? m.defaultRowHeight() - 4 : 16;
        const QRect boxRect(hit.cell.center().x() - box / 2, hit.cell.center().y() - box / 2, box, box);
        if (boxRect.adjusted(-2, -2, 2, 2).contains(in.lastPress)) {
            toggleCheckBoxCell(hit.row, col);
            if (!alive)
                return;
            changed = true;
        }
    }
    if (m.structure() != structure || hit.row > m.lastRow()) {
        g.requestRefresh();
        return;
    }
    selectionChanged = g.m_selection.click(hit.row, m.currentRow(), m.props().MultiSelect,
                                         mods & Qt::ControlModifier, mods & Qt::ShiftModifier);
    changed |= selectionChanged;

    // The clicked cell becomes current; a locked column leaves the row without a current column.
    const GridColumn* column = col >= 0 ? &m.column(col) : nullptr;
    int colPos = hit.colPos;
    if (column && column->locked) {
        in.colRefused = true;
        colPos = -1;
    }
    const bool button = column && column->type == ColumnType::Button;
    changed |= g.moveCurrentCell(hit.row, colPos, false);
    if (!alive)
        return;
    if (m.structure() != structure || hit.row > m.lastRow()) {
        g.requestRefresh();
        return;
    }

    if (button) {
        g.m_paintState.pressedButtonRow = hit.row;
        g.m_paintState.pressedButtonCol = col;
        changed = true;
    }
    if (changed && !g.requestRefresh())
        return;
    if (selectionChanged)
        emit g.SelectionChanged();
}

void ListGridController::toggleCheckBoxCell(int row, int col)
{
    // The toggle belongs to this row and column; handlers may move or remove them meanwhile, or
    // delete the grid.
    const ControlGuard alive(&g);
    const quint64 rowId = m.rowAt(row).id();
    const auto stillThere = [&] {
        if (!alive)
            return false;
        row = m.displayRowOfId(rowId);
        return row >= 0 && col < m.colCount();
    };
    bool cancel = false;
    emit g.BeforeEdit(row, col, cancel);
    if (cancel || !stillThere())
        return;
    const bool newState = !(m.rowAt(row).cells[static_cast<size_t>(col)].flags & CellFlag::Checked);
    QString value = newState ? QStringLiteral("True") : QStringLiteral("False");
    emit g.AfterEdit(row, col, value, cancel);
    if (cancel || !stillThere())
        return;
    GridRow& stored = m.rowAt(row);
    g.storeCellText(stored, col, value, true);
    // The box shows what was chosen, whatever text the handler stored.
    GridCell& after = stored.cells[static_cast<size_t>(col)];
    after.flags = newState ? (after.flags | CellFlag::Checked) : (after.flags & ~CellFlag::Checked);
}

// ---- Mouse-move

void ListGridController::mouseMove(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const GridHit hit = g.hitTest(p);
    in.mouseRow = hit.row;
    in.mouseCol = hit.colPos;
    // Repaints and the drag's events may delete the grid.
    const ControlGuard alive(&g);
    if (!in.buttonPressed) {
        const int hot = m.props().AllowColumnHover && hit.header ? hit.colPos : -1;
        if (hot != g.m_paintState.hotHeaderPos) {
            g.m_paintState.hotHeaderPos = hot;
            if (!g.requestRefresh())
                return;
        }
        updatePointer(p);
    } else {
        dragTo(p);
        if (!alive)
            return;
    }
    if (m.props().AutoToolTips && !in.buttonPressed)
        showAutoTip(hit, event->globalPosition().toPoint());

    qint16 button = static_cast<qint16>(KeyCodes::ButtonsFromQt(event->buttons()));
    qint16 shift = static_cast<qint16>(KeyCodes::ShiftFromModifiers(event->modifiers()));
    float x = static_cast<float>(m.toUnits(p.x()));
    float y = static_cast<float>(m.toUnits(p.y()));
    emit g.MouseMove(button, shift, x, y);
}

void ListGridController::updatePointer(QPoint p)
{
    GridPointer pointer = GridPointer::Default;
    in.resizeCol = -1;
    in.resizeRow = -1;
    const int header = g.m_layout.rowsTop();
    if (p.y() < header) {
        if (m.props().AllowColumnResizing) {
            for (int pos = 0; pos < static_cast<int>(m.colOrder().size()); ++pos) {
                const QRect span = g.hitColumnSpan(pos);
                if (span.isNull())
                    continue;
                const int right = span.left() + span.width();
                if (std::abs(p.x() - right) < 4) {
                    pointer = GridPointer::SizeWE;
                    in.resizeCol = m.columnAt(pos);
                }
            }
        }
    } else if (m.lastRow() >= 0) {
        if (m.props().AllowRowResizing) {
            const GridHit above = g.hitTest(QPoint(p.x(), p.y() - 8));
            const GridHit here = g.hitTest(p);
            for (int r : {here.row, above.row}) {
                const int top = r >= 0 ? g.hitRowTop(r) : -1;
                if (top >= 0 &&
                    std::abs(qint64(p.y()) - (top + ListGridModel::extent(m.rowAt(r).height))) < 4) {
                    pointer = GridPointer::SizeNS;
                    in.resizeRow = above.row >= 0 ? above.row : r;
                    break;
                }
            }
        }
        if (pointer == GridPointer::Default) {
            const GridHit hit = g.hitTest(p);
            if (hit.row >= 0 && hit.colPos >= 0) {
                const GridCell& cell = m.rowAt(hit.row).cells[static_cast<size_t>(m.columnAt(hit.colPos))];
                if (m.effectiveFormat(cell).handPointer)
                    pointer = GridPointer::Hand;
            }
        }
    }
    if (pointer == in.pointer)
        return;
    in.pointer = pointer;
    switch (pointer) {
    case GridPointer::SizeWE:
        g.setCursor(Qt::SizeHorCursor);
        break;
    case GridPointer::SizeNS:
        g.setCursor(Qt::SizeVerCursor);
        break;
    case GridPointer::Hand:
        g.setCursor(Qt::PointingHandCursor);
        break;
    case GridPointer::Default:
        g.unsetCursor();
        break;
    }
}

void ListGridController::dragTo(QPoint p)
{
    if (in.resizing && in.resizeCol >= 0) {
        // The column is taken by index on every move and nothing of it is held across the repaint,
        // whose handlers may add columns (the records move) or replace them all (the resize ends).
        const int col = in.resizeCol;
        if (col >= m.colCount()) {
            in.resizing = false;
            in.resizeCol = -1;
            return;
        }
        const qint64 wanted = qint64(in.resizeStartWidth) + p.x() - in.resizeStartX;
        const int width = static_cast<int>(std::clamp<qint64>(wanted, 0, ListGridModel::MaxExtent));
        GridColumn& c = m.column(col);
        if (width != c.pixelWidth) {
            c.pixelWidth = width;
            c.width = static_cast<float>(m.toUnits(width));
            const float units = c.width;
            const ControlGuard alive(&g);
            if (!g.requestRefresh())
                return;
            emit g.ColumnSizeChanged(col, units);
            if (alive && g.m_editor.isOpen())
                g.placeEditor();
        }
        return;
    }
    if (in.resizing && in.resizeRow >= 0 && in.resizeRow <= m.lastRow()) {
        const int top = g.hitRowTop(in.resizeRow);
        if (top >= 0) {
            const int height = std::max(1, p.y() - top);
            GridRow& row = m.rowAt(in.resizeRow);
            if (height != row.height) {
                row.height = height;
                if (g.requestRefresh() && g.m_editor.isOpen())
                    g.placeEditor();
            }
        }
        return;
    }
    if (g.m_paintState.pressedHeaderPos >= 0) {
        if (m.props().AllowColumnSwap || m.props().AllowColumnDrag) {
            const GridHit hit = g.hitTest(QPoint(p.x(), 0));
            if (hit.colPos != in.dragOverHeader) {
                in.dragOverHeader = hit.colPos;
                if (!g.requestRefresh())
                    return;
            }
            // Once the pointer has really moved, the header item itself follows it.
            const int dx = p.x() - in.lastPress.x();
            const int pressed = g.m_paintState.pressedHeaderPos;
            if (g.m_paintState.dragHeaderPos >= 0 || std::abs(dx) >= QApplication::startDragDistance()) {
                const QRect item = g.m_layout.headerItemRect(pressed);
                if (!item.isNull()) {
                    g.m_paintState.dragHeaderPos = pressed;
                    g.m_paintState.dragHeaderX = item.left() + dx;
                    g.requestRefresh();
                }
            }
        }
        return;
    }
    if (m.props().MultiSelect == 0 || g.m_selection.anchor() < 0 || m.lastRow() < 0)
        return;
    // Drag selection from the pressed row, scrolling at the edges.
    int target;
    if (p.y() < g.m_layout.rowsTop()) {
        target = std::max(0, g.m_view.firstRowInView - 1);
        g.ensureRowVisible(target);
    } else if (p.y() >= g.height()) {
        target = std::min(m.lastRow(), std::max(g.m_view.lastRowInView, g.m_view.firstRowInView) + 1);
        g.ensureRowVisible(target);
    } else {
        target = g.hitTest(p).row;
    }
    if (target < 0)
        return;
    if (g.m_selection.extendTo(target) && g.requestRefresh())
        emit g.SelectionChanged();
}

void ListGridController::showAutoTip(const GridHit& hit, QPoint globalPos)
{
    QString tip;
    if (hit.row >= 0 && hit.colPos >= 0 && !hit.cell.isNull()) {
        const int col = m.columnAt(hit.colPos);
        const GridColumn& column = m.column(col);
        const GridCell& cell = m.rowAt(hit.row).cells[static_cast<size_t>(col)];
        if (!cell.text.isEmpty() && column.type != ColumnType::CheckBox) {
            const QFontMetrics fm(m.cellFont(cell, column.type));
            // The text is drawn 3 pixels in from either side of the cell.
            const int room = hit.cell.width() - 6;
            const bool wraps = m.props().AllowWordWrap && (cell.flags & CellFlag::WordWrap);
            const bool truncated =
                wraps ? fm.boundingRect(QRect(0, 0, std::max(1, room), 1 << 20), Qt::TextWordWrap, cell.text)
                                .height() > hit.cell.height()
                      : fm.horizontalAdvance(cell.text) > room;
            if (truncated)
                tip = cell.text;
        }
    }
    if (tip == in.tipText)
        return;
    in.tipText = tip;
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(globalPos, tip, &g, hit.cell);
}

// ---- Mouse-up, click and double-click

void ListGridController::mouseRelease(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const bool wasPressed = in.buttonPressed && event->button() == Qt::LeftButton;
    const bool clicked = in.clickArmed && event->button() == Qt::LeftButton;
    if (event->button() == Qt::LeftButton) {
        in.buttonPressed = false;
        in.clickArmed = false;
    }
    const GridHit hit = g.hitTest(p);
    in.lastRelease = p;

    // Every event below may run a nested loop (a message box in a handler) in which the grid is
    // deleted; the release then ends where it is.
    const ControlGuard alive(&g);
    if (wasPressed) {
        if (in.resizing) {
            in.resizing = false;
            g.requestLayout();
            (void)g.requestRefresh();
        } else if (g.m_paintState.pressedHeaderPos >= 0) {
            finishHeaderPress(p, event->modifiers());
        } else if (hit.row >= 0 && hit.row == g.m_selection.anchor()) {
            cellReleased(hit);
        }
        if (!alive)
            return;
    }
    if (g.m_paintState.pressedButtonRow >= 0) {
        g.m_paintState.pressedButtonRow = -1;
        g.m_paintState.pressedButtonCol = -1;
        if (!g.requestRefresh())
            return;
    }

    qint16 button = buttonOf(event->button());
    qint16 shift = static_cast<qint16>(KeyCodes::ShiftFromModifiers(event->modifiers()));
    in.lastShift = shift;
    float x = static_cast<float>(m.toUnits(p.x()));
    float y = static_cast<float>(m.toUnits(p.y()));
    emit g.MouseUp(button, shift, x, y);
    if (!alive)
        return;

    if (clicked && g.rect().contains(p))
        clickStep();
}

void ListGridController::finishHeaderPress(QPoint p, Qt::KeyboardModifiers mods)
{
    const int pressed = g.m_paintState.pressedHeaderPos;
    g.m_paintState.pressedHeaderPos = -1;
    g.m_paintState.dragHeaderPos = -1;
    in.dragOverHeader = -1;
    const GridHit hit = g.hitTest(QPoint(p.x(), 0));
    const bool overHeader = p.y() >= 0 && p.y() < g.m_layout.rowsTop();
    if (overHeader && hit.colPos >= 0 && hit.colPos != pressed &&
        (m.props().AllowColumnSwap || m.props().AllowColumnDrag)) {
        const quint64 structure = m.structure();
        const ControlGuard alive(&g);
        g.UpdateCell(false);
        if (!alive || m.structure() != structure || pressed >= static_cast<int>(m.colOrder().size()) ||
            hit.colPos >= static_cast<int>(m.colOrder().size()))
            return;
        if (m.props().AllowColumnSwap)
            m.swapColumns(pressed, hit.colPos);
        else
            m.moveColumn(pressed, hit.colPos);
        if (!g.followEdit())
            return;
        g.requestLayout();
        if (g.requestRefresh())
            emit g.ColumnOrderChanged(pressed, hit.colPos);
        return;
    }
    if (overHeader && hit.colPos == pressed && m.props().AllowColumnSort && m.lastRow() >= 0) {
        const ControlGuard alive(&g);
        const int col = m.columnAt(pressed);
        if ((mods & Qt::ControlModifier) && m.sortPrimary() >= 0 && m.sortPrimary() != col) {
            // Ctrl adds the column as the second key, sorted the way the first one is; the first
            // keeps its order.
            const int primary = m.sortPrimary();
            g.Sort(primary, m.column(primary).sortState, col, -1);
        } else {
            // Each column keeps its own state, so A, B, A carries on A's cycle where it was.
            m.setSortColumns(pressed, -1); // a display position, as the sort expects from a header
            g.Sort(-1, -1, -1, -1);
        }
        if (!alive)
            return;
        g.RowColSet(-1, col);
        if (!alive)
            return;
        emit g.ColumnClick(col);
        if (!alive)
            return;
    }
    g.requestRefresh();
}

void ListGridController::cellReleased(const GridHit& hit)
{
    if (hit.colPos < 0 || hit.row > m.lastRow() || hit.colPos >= static_cast<int>(m.colOrder().size()))
        return;
    const int row = hit.row;
    const int col = m.columnAt(hit.colPos);
    // Nothing of the cell is held across an event: a handler may remove its row (a "delete" button
    // cell), and then the click is over.
    const ControlGuard alive(&g);
    const quint64 structure = m.structure();
    const auto cellNow = [&]() -> const GridCell* {
        if (!alive || m.structure() != structure || row > m.lastRow() || col >= m.colCount())
            return nullptr;
        return &m.rowAt(row).cells[static_cast<size_t>(col)];
    };
    if (m.column(col).type == ColumnType::Button)
        emit g.CellButtonClick(row, col);
    const GridCell* cell = cellNow();
    if (!cell)
        return;
    g.syncLayout();
    if (g.imageHit(row, hit.colPos, in.lastRelease))
        emit g.CellImageClick(row, col);
    cell = cellNow();
    if (!cell)
        return;
    if (m.effectiveFormat(*cell).handPointer) {
        qint16 shift = in.lastShift;
        emit g.CellHandClick(row, col, shift);
    }
    if (!cellNow())
        return;
    g.syncLayout();
    // The expand image of a wrapping cell: the row shows all its text, or goes back to its
    // automatic height.
    GridRow& clicked = m.rowAt(row);
    const GridCell& wrapped = clicked.cells[static_cast<size_t>(col)];
    if ((wrapped.flags & CellFlag::WordWrap) && m.column(col).type != ColumnType::Progress &&
        m.rowExpandable(clicked) &&
        ListGridPainter::ExpandImageRect(m.expandRowImage(), g.m_layout.cellRect(row, hit.colPos))
            .contains(in.lastRelease)) {
        const qint32 whole = m.autoRowHeight(clicked, true);
        g.SetRowHeight(row, clicked.height == whole ? -1.0f : static_cast<float>(whole));
    }
}

void ListGridController::clickStep()
{
    const ControlGuard alive(&g);
    const int row = m.currentRow();
    const bool unlocked = row >= 0 && row <= m.lastRow() && !(m.rowAt(row).flags & RowFlag::Locked);
    if (!in.pressOnHeader && unlocked && (m.props().EditTrigger & 8) && !in.rowRefused) {
        if (g.m_editor.isOpen())
            g.UpdateCell(false);
        else
            g.openEditor(row, m.currentCol());
        if (!alive)
            return;
    }
    if (in.pressOnHeader)
        return;
    emit g.Click();
    if (!alive)
        return;
    qint16 shift = in.lastShift;
    emit g.CellClick(m.currentRow(), g.Col(), shift);
}

void ListGridController::mouseDoubleClick(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        g.QWidget::mouseDoubleClickEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    const GridHit hit = g.hitTest(p);
    in.pressOnHeader = hit.header;
    g.m_selection.setAnchor(hit.header ? -1 : hit.row);
    if (hit.header) {
        if (atResizableEdge()) {
            g.ColWidthAutoSize(in.resizeCol);
            return;
        }
        emit g.DblClick();
        return;
    }
    const int row = m.currentRow();
    const bool unlocked = row >= 0 && row <= m.lastRow() && !(m.rowAt(row).flags & RowFlag::Locked);
    if (hit.row >= 0 && unlocked && (m.props().EditTrigger & 16)) {
        g.m_editor.setTriggerKey(KeyCodes::F2);
        g.openEditor(row, m.currentCol());
        return;
    }
    emit g.DblClick();
}
