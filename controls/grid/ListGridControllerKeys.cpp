// The controller's keyboard handling: editing keys, insert and delete, check boxes by Space, moving the
// current cell, and the incremental search.
#include "controls/grid/ListGridController.h"

#include "controls/grid/ListGrid.h"

#include "controls/common/ControlGuard.h"
#include "controls/common/KeyCodes.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

using namespace brenlow;

void ListGridController::keyPress(QKeyEvent* event)
{
    const int vk = KeyCodes::FromKeyEvent(event);
    const int shift = KeyCodes::ShiftFromModifiers(event->modifiers());
    event->accept();
    if (vk != 0 && !keyDown(vk, shift, false))
        return;

    // The character the key stands for, as the key-press step sees it.
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).unicode() < 0xD800) {
        qint16 keyAscii = static_cast<qint16>(text.at(0).unicode());
        const ControlGuard alive(&g);
        if (keyPressStep(keyAscii) && alive)
            emit g.KeyPress(keyAscii);
    }
}

void ListGridController::keyRelease(QKeyEvent* event)
{
    qint16 keyCode = static_cast<qint16>(KeyCodes::FromKeyEvent(event));
    qint16 shift = static_cast<qint16>(KeyCodes::ShiftFromModifiers(event->modifiers()));
    emit g.KeyUp(keyCode, shift);
    event->accept();
}

bool ListGridController::keyDown(int keyCode, int shift, bool fromEditor)
{
    // Every handler the key reaches may delete the grid; the step ends there.
    const ControlGuard alive(&g);
    hideTip();
    in.rowRefused = false;
    in.colRefused = false;
    in.lastShift = static_cast<qint16>(shift);
    in.keyHandled = false;
    const bool ctrl = shift & KeyCodes::CtrlBit;
    const int trigger = m.props().EditTrigger;
    {
        ListGrid::PaintSuspender suspend(g);
        switch (keyCode) {
        case KeyCodes::Return:
        case KeyCodes::Escape:
            if (trigger & 32)
                break; // left to the key-press step
            in.keyHandled = true;
            if (keyCode == KeyCodes::Escape)
                g.cancelEdit();
            else if (g.m_editor.isOpen())
                g.UpdateCell(true);
            else if ((trigger & 2) && m.currentRow() >= 0) {
                g.m_editor.setTriggerKey(KeyCodes::Return);
                g.openEditor(m.currentRow(), m.currentCol());
            }
            if (!alive)
                return false;
            break;
        case KeyCodes::Insert:
            if (m.props().AllowInsert && !g.m_editor.isOpen()) {
                in.keyHandled = true;
                const int at = std::max(0, m.currentRow());
                bool cancel = false;
                emit g.BeforeInsert(at, cancel);
                if (!alive)
                    return false;
                if (!cancel) {
                    const int added =
                        g.AddItem(QString(), m.lastRow() >= 0 ? at : -1, false, true, false, true, 0);
                    if (!alive)
                        return false;
                    // The current row keeps naming the row it named, now one further down.
                    if (m.currentRow() >= 0 && m.currentRow() >= added)
                        m.setCurrentRow(m.currentRow() + 1);
                    g.RowColSet(added, m.currentCol() >= 0 ? g.Col() : -1);
                    if (!alive)
                        return false;
                    emit g.AfterInsert(m.currentRow());
                    if (!alive)
                        return false;
                }
            }
            break;
        case KeyCodes::Delete:
            if (m.props().AllowDelete && !g.m_editor.isOpen() && m.lastRow() >= 0 && m.currentRow() >= 0) {
                in.keyHandled = true;
                const int row = m.currentRow();
                const int col = g.Col();
                const bool cellFocus = m.props().FocusRectMode == 2 && m.currentCol() >= 0 &&
                                       m.column(col).type != ColumnType::CheckBox;
                bool cancel = false;
                // The handlers may change the grid; the delete stays with the row it began on.
                const quint64 rowId = m.rowAt(row).id();
                const auto rowNow = [&] { return col < m.colCount() ? m.displayRowOfId(rowId) : -1; };
                if (cellFocus) {
                    emit g.BeforeEdit(row, col, cancel);
                    if (!alive)
                        return false;
                    if (!cancel)
                        emit g.BeforeDelete(row, cancel);
                    if (!alive)
                        return false;
                    if (const int at = cancel ? -1 : rowNow(); at >= 0) {
                        // The cell is emptied first; AfterEdit and AfterDelete then report it.
                        g.storeCellText(m.rowAt(at), col, QString(), true);
                        if (!g.requestRefresh())
                            return false;
                        QString value;
                        bool ignored = false;
                        emit g.AfterEdit(at, col, value, ignored);
                        if (!alive)
                            return false;
                        emit g.AfterDelete();
                        if (!alive)
                            return false;
                    }
                } else {
                    emit g.BeforeDelete(row, cancel);
                    if (!alive)
                        return false;
                    if (!cancel && rowNow() >= 0) {
                        g.RemoveRow(rowNow());
                        if (!alive)
                            return false;
                        emit g.AfterDelete();
                        if (!alive)
                            return false;
                    }
                }
            }
            break;
        case KeyCodes::F2:
            if (trigger & 4) {
                in.keyHandled = true;
                g.m_editor.setTriggerKey(KeyCodes::F2);
                if (m.currentRow() >= 0)
                    g.openEditor(m.currentRow(), m.currentCol());
                if (!alive)
                    return false;
            }
            break;
        case KeyCodes::Space:
            if (g.m_editor.isOpen() || m.currentRow() < 0)
                break;
            in.keyHandled = true;
            if (m.props().RowCheckBoxes) {
                m.rowAt(m.currentRow()).flags ^= RowFlag::Checked;
                if (!g.requestRefresh())
                    return false;
                emit g.RowCheckedEvent(m.currentRow());
                if (!alive)
                    return false;
            } else if (m.currentCol() >= 0) {
                const int row = m.currentRow();
                const int col = g.Col();
                const GridColumn& column = m.column(col);
                qint16 sh = in.lastShift;
                if (m.effectiveFormat(m.rowAt(row).cells[static_cast<size_t>(col)]).handPointer)
                    emit g.CellHandClick(row, col, sh);
                else if (column.type == ColumnType::Button)
                    emit g.CellButtonClick(row, col);
                else if (column.type == ColumnType::CheckBox && m.props().AllowEdit && !column.locked) {
                    toggleCheckBoxCell(row, col);
                    if (alive)
                        g.requestRefresh();
                } else
                    in.keyHandled = false;
                if (!alive)
                    return false;
            }
            break;
        case 'A':
            if (ctrl) {
                in.keyHandled = true;
                if ((m.props().MultiSelect & 2) && m.lastRow() >= 0) {
                    g.m_selection.selectAllVisible();
                    if (!g.requestRefresh())
                        return false;
                    emit g.SelectionChanged();
                    if (!alive)
                        return false;
                }
            }
            break;
        case 'C':
            if (ctrl)
                in.keyHandled = true;
            break;
        default: {
            const bool moved = moveByKey(keyCode, shift);
            if (!alive)
                return false;
            if (moved)
                in.keyHandled = true;
            break;
        }
        }
    }
    // One pass for whatever the key changed while painting was suspended.
    if (g.m_painting && (g.m_refreshPending || g.m_layoutPending) && !g.requestRefresh())
        return false;
    qint16 code = static_cast<qint16>(keyCode);
    qint16 sh = static_cast<qint16>(shift);
    emit g.KeyDown(code, sh);
    Q_UNUSED(fromEditor)
    return alive.Alive();
}

bool ListGridController::moveByKey(int keyCode, int shift)
{
    if (m.lastRow() < 0)
        return false;
    // A commit's handlers may delete the grid: the caller checks.
    const ControlGuard alive(&g);
    const bool ctrl = shift & KeyCodes::CtrlBit;
    const bool extend = (shift & KeyCodes::ShiftBit) && m.props().MultiSelect != 0;
    int row = std::max(0, m.currentRow());
    int colPos = m.currentCol();
    const int positions = static_cast<int>(m.colOrder().size());
    // Hidden and locked columns are stepped over: their cells never become current.
    auto visibleCol = [&](int p) {
        if (p < 0 || p >= positions)
            return false;
        const GridColumn& c = m.column(m.columnAt(p));
        return c.visible && !c.locked;
    };
    auto usableRow = [&](int r) { return m.rowAt(r).visible && !(m.rowAt(r).flags & RowFlag::Locked); };
    int rangeEnd = -1;

    switch (keyCode) {
    case KeyCodes::Up:
    case KeyCodes::Down: {
        if (!g.UpdateCell(false) || !alive)
            return true;
        const int step = keyCode == KeyCodes::Up ? -1 : 1;
        // Without a current row the first usable row is the target, row 0 included.
        const int from = m.currentRow() < 0 ? -1 : row;
        const int dir = m.currentRow() < 0 ? 1 : step;
        for (int r = from + dir; r >= 0 && r <= m.lastRow(); r += dir)
            if (usableRow(r)) {
                row = r;
                break;
            }
        if (extend)
            rangeEnd = row;
        break;
    }
    case KeyCodes::Left:
    case KeyCodes::Right: {
        if (g.m_editor.isOpen()) {
            g.UpdateCell(false);
            return true;
        }
        const int step = keyCode == KeyCodes::Left ? -1 : 1;
        for (int p = (colPos < 0 ? (step > 0 ? -1 : positions) : colPos) + step; p >= 0 && p < positions;
             p += step)
            if (visibleCol(p)) {
                colPos = p;
                break;
            }
        break;
    }
    case KeyCodes::Prior:
    case KeyCodes::Next: {
        if (!g.UpdateCell(false) || !alive)
            return true;
        const int page = std::max(1, g.m_view.lastRowInView - g.m_view.firstRowInView);
        if (keyCode == KeyCodes::Prior)
            row = std::max(0, g.m_view.firstRowInView - page);
        else
            row = std::min(m.lastRow(), std::max(g.m_view.lastRowInView, 0));
        g.m_view.firstRowInView = row;
        g.requestLayout();
        if (extend)
            rangeEnd = row;
        break;
    }
    case KeyCodes::Home:
    case KeyCodes::End: {
        const bool home = keyCode == KeyCodes::Home;
        if (ctrl || (shift & KeyCodes::ShiftBit)) {
            if (!g.UpdateCell(false) || !alive)
                return true;
            row = home ? 0 : m.lastRow();
            for (int r = row; r >= 0 && r <= m.lastRow(); r += home ? 1 : -1)
                if (usableRow(r)) {
                    row = r;
                    break;
                }
            if (extend)
                rangeEnd = row;
        } else {
            for (int p = home ? 0 : positions - 1; p >= 0 && p < positions; p += home ? 1 : -1)
                if (visibleCol(p)) {
                    colPos = p;
                    break;
                }
        }
        break;
    }
    default:
        return false;
    }
    // A commit above runs AfterEdit, whose handler may have removed rows.
    if (!alive || m.lastRow() < 0)
        return true;
    row = std::min(row, m.lastRow());

    // A move onto a locked row is refused and changes nothing, the selection included.
    if ((m.rowAt(row).flags & RowFlag::Locked) || in.rowRefused) {
        in.rowRefused = true;
        in.colRefused = true;
        return true;
    }
    bool selectionChanged = false;
    if (rangeEnd >= 0) {
        // Extending: the rows from where the extension began to the new row, and only those.
        if (g.m_selection.anchor() < 0 || g.m_selection.anchor() > m.lastRow())
            g.m_selection.setAnchor(m.currentRow() >= 0 ? m.currentRow() : row);
        selectionChanged = g.m_selection.extendTo(rangeEnd);
    } else {
        if (row != m.currentRow()) {
            for (int i = 0; i <= m.lastRow(); ++i) {
                if (i != row)
                    selectionChanged |= g.m_selection.setSelected(i, false);
            }
        }
        g.m_selection.setAnchor(row);
    }
    selectionChanged |= g.m_selection.setSelected(row, true);
    const bool moved = g.moveCurrentCell(row, colPos, true);
    if (!alive)
        return true;
    if (moved || selectionChanged)
        g.m_refreshPending = true;
    if (selectionChanged)
        emit g.SelectionChanged();
    return true;
}

bool ListGridController::keyPressStep(qint16& keyAscii)
{
    // The caller checks that the grid outlived the step.
    const ControlGuard alive(&g);
    const int trigger = m.props().EditTrigger;
    const bool enterOrEsc = keyAscii == 13 || keyAscii == 27;
    if (trigger & 32) {
        if (g.m_editor.isOpen()) {
            if (keyAscii == 27)
                g.cancelEdit();
            else if (keyAscii == 13)
                g.UpdateCell(true);
            return false;
        }
        if (!in.keyHandled && keyAscii != 27 && (keyAscii >= 32 || keyAscii == 13 || keyAscii == 8) &&
            m.currentRow() >= 0) {
            g.m_editor.setTriggerKey(keyAscii);
            const bool opened = g.openEditor(m.currentRow(), m.currentCol());
            if (!alive)
                return false;
            if (opened) {
                if (g.m_editor.builtIn() && keyAscii != 13) {
                    const int col = g.m_editor.col();
                    qint16 key = keyAscii;
                    const bool kept = g.filterEditChar(col, key);
                    if (!alive)
                        return false;
                    if (kept && key >= 32) {
                        g.m_editor.box()->setText(QString(QChar(static_cast<char16_t>(key))));
                        g.m_editor.box()->setCursorPosition(1);
                    } else {
                        g.m_editor.box()->clear();
                    }
                }
                return false;
            }
        }
    }
    if (enterOrEsc && (trigger & 2))
        return false;
    if (!in.keyHandled && !g.m_editor.isOpen()) {
        const QChar ch(static_cast<char16_t>(keyAscii));
        if (ch.isLetterOrNumber())
            incrementalSearch(ch);
    }
    return true;
}

void ListGridController::incrementalSearch(QChar ch)
{
    const QString text = g.m_search.type(ch);
    if (m.lastRow() < 0 || m.props().SearchColumn < 0 || m.props().SearchColumn >= m.colCount())
        return;
    // The first row that starts with the same letter and is not before the typed text.
    const int found = g.FindItem(text, m.props().SearchColumn, 4, false, 0);
    if (found < 0)
        return;
    g.ensureRowVisible(found);
    const int col = m.currentCol() >= 0 ? g.Col() : -1;
    const ControlGuard alive(&g);
    g.RowColSet(found, col);
    if (alive)
        g.requestRefresh();
}
