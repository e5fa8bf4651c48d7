// In-place editing: the built-in edit box txtEdit or a control bound to the column, shown over the
// current cell; committing through AfterEdit; input filters.
#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridController.h"

#include "controls/common/Colors.h"
#include "controls/common/KeyCodes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

using namespace brenlow;

namespace {

/** The input filter in force: "" and the case filters "<" and ">" accept every character. */
bool restricts(const QString& filter)
{
    return !filter.isEmpty() && filter != QLatin1String("<") && filter != QLatin1String(">");
}

QChar applyCaseFilter(const QString& filter, QChar ch)
{
    if (filter == QLatin1String("<"))
        return ch.toLower();
    if (filter == QLatin1String(">"))
        return ch.toUpper();
    return ch;
}

} // namespace

QLineEdit* ListGrid::txtEdit() const
{
    return m_editor.box();
}

bool ListGrid::hideEditorAndTip()
{
    if (!closeEditor())
        return false;
    m_editor.markClosed();
    m_controller->hideTip();
    return true;
}

bool ListGrid::openEditor(int row, int colPos, bool force)
{
    // The commit's and BeforeEdit's handlers may delete the grid: no edit opens then.
    const ControlGuard alive(this);
    if (m_editor.isOpen() && (!UpdateCell(false) || !alive))
        return false;
    if (!(m.props().AllowEdit || force) || m.lastRow() < 0)
        return false;
    if (row < 0 || row > m.lastRow() || colPos < 0 || colPos >= static_cast<int>(m.colOrder().size()))
        return false;
    const int col = m.columnAt(colPos);
    {
        const GridColumn& column = m.column(col);
        // Check boxes toggle in place; locked columns and rows are never edited.
        if (column.type == ColumnType::CheckBox || column.locked || !column.visible ||
            (m.rowAt(row).flags & RowFlag::Locked))
            return false;
    }

    // The handler may change the grid: the edit opens on the same cell, wherever it is now, or not
    // at all when the cell is gone, hidden or locked.
    const quint64 rowId = m.rowAt(row).id();
    bool cancel = false;
    emit BeforeEdit(row, col, cancel);
    if (!alive || cancel || m_editor.isOpen() || col >= m.colCount())
        return false;
    row = m.displayRowOfId(rowId);
    colPos = m.positionOf(col);
    if (row < 0 || colPos < 0)
        return false;
    const GridColumn& column = m.column(col);
    if (column.type == ColumnType::CheckBox || column.locked || !column.visible || !m.rowAt(row).visible ||
        (m.rowAt(row).flags & RowFlag::Locked))
        return false;

    ensureRowVisible(row);
    ensureColumnVisible(colPos);

    const GridCell& cell = m.rowAt(row).cells[static_cast<size_t>(col)];
    QFont font = m.props().Font;
    const QString family = m.effectiveFormat(cell).fontName;
    if (!family.isEmpty())
        font.setFamily(family);
    const bool progress = column.type == ColumnType::Progress;
    font.setBold(!progress && (cell.flags & CellFlag::Bold));
    font.setItalic(!progress && (cell.flags & CellFlag::Italic));
    font.setUnderline(!progress && (cell.flags & CellFlag::Underline));

    QPalette pal;
    const QColor fore = OleColor::ToQColor(m.props().ForeColorEdit);
    const QColor back = OleColor::ToQColor(m.props().BackColorEdit);
    for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        pal.setColor(role, fore);
    for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button})
        pal.setColor(role, back);

    m_editor.open(row, colPos, rowId, col, column.boundEditor.data(), font, pal, cell);
    placeEditor();
    QWidget* editor = m_editor.widget();
    editor->show();
    editor->raise();
    // The grid's focus change repaints, and that pass's handlers may delete the grid.
    editor->setFocus(Qt::OtherFocusReason);
    return alive.Alive();
}

bool ListGrid::locateEdit()
{
    return m_editor.locate(m);
}

bool ListGrid::followEdit()
{
    if (!m_editor.isOpen())
        return true;
    if (!locateEdit())
        return cancelEdit();
    placeEditor();
    return true;
}

void ListGrid::placeEditor()
{
    if (!m_editor.widget() || !m_editor.isOpen())
        return;
    syncLayout();
    m_editor.place(cellRect(m_editor.row(), m_editor.colPos()));
}

bool ListGrid::closeEditor()
{
    const bool hadFocus = m_editor.hasFocus();
    QWidget* editor = m_editor.release();
    // Focus comes back to the grid before the editor hides, so Qt does not pass it on elsewhere.
    // The focus change may repaint, and that pass's handlers may delete the grid.
    const ControlGuard alive(this);
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
    if (!alive)
        return false;
    m_editor.hide(editor);
    return true;
}

bool ListGrid::cancelEdit()
{
    if (!m_editor.isOpen())
        return true;
    if (!closeEditor())
        return false;
    m_editor.markClosed();
    return requestRefresh();
}

bool ListGrid::UpdateCell(bool bAllowMove)
{
    if (!m_editor.isOpen())
        return true;
    if (!locateEdit()) {
        // The cell went away while it was edited: nothing to store.
        cancelEdit();
        return true;
    }
    // AfterEdit's handler, and the repaints, may delete the grid; the commit then ends there.
    const ControlGuard alive(this);
    int row = m_editor.row();
    int colPos = m_editor.colPos();
    const int col = m_editor.col();
    QString value = m_editor.text();
    const bool changed = value != m.rowAt(row).cells[static_cast<size_t>(col)].text;
    if (changed) {
        bool cancel = false;
        emit AfterEdit(row, col, value, cancel);
        if (!alive)
            return true;
        if (cancel)
            return false;
        if (!m_editor.isOpen())
            return true; // the handler closed the edit itself
        // The handler may have moved or removed the row: the value belongs to the edited cell only.
        if (!locateEdit()) {
            cancelEdit();
            return true;
        }
        row = m_editor.row();
        colPos = m_editor.colPos();
    }

    {
        PaintSuspender suspend(*this);
        if (!closeEditor())
            return true;
        m_editor.markClosed();
        if (changed) {
            if (value.trimmed().isEmpty())
                value.clear();
            storeCellText(m.rowAt(row), col, value, false);
            requestLayout();
        }
        if (bAllowMove && row <= m.lastRow() && colPos < static_cast<int>(m.colOrder().size())) {
            int targetRow = row;
            int targetPos = colPos;
            if (m.props().EditMove == 1) {
                for (int p = colPos + 1; p < static_cast<int>(m.colOrder().size()); ++p) {
                    const GridColumn& next = m.column(m.columnAt(p));
                    if (next.visible && !next.locked) {
                        targetPos = p;
                        break;
                    }
                }
            } else if (m.props().EditMove == 2) {
                for (int r = row + 1; r <= m.lastRow(); ++r) {
                    if (m.rowAt(r).visible) {
                        targetRow = r;
                        break;
                    }
                }
            }
            SelectedClearAll();
            RowColSet(targetRow, m.columnAt(targetPos));
            if (!alive)
                return true;
        }
    }
    refreshOrPend();
    return true;
}

void ListGrid::BindControl(int vCol, QWidget* Ctrl, bool /*MoveControl*/)
{
    m.checkColumn(vCol);
    GridColumn& column = m.column(vCol);
    if (column.boundEditor == Ctrl)
        return;
    if (m_editor.isOpen() && m_editor.widget() && m_editor.widget() == column.boundEditor)
        cancelEdit();
    column.boundEditor = Ctrl;
}

void ListGrid::ForceCellEdit(int lNewRow, int lNewCol, bool bBlankCell)
{
    const ControlGuard alive(this);
    RowColSet(lNewRow, lNewCol);
    if (!alive || m.lastRow() < 0)
        return;
    // A locked column's cell is never edited, nor the cell that stayed current instead of it.
    if (lNewCol >= 0 && lNewCol < m.colCount() && m.column(lNewCol).locked)
        return;
    m_editor.setTriggerKey(KeyCodes::F2);
    if (openEditor(m.currentRow(), m.currentCol(), true) && alive && bBlankCell && m_editor.builtIn())
        m_editor.box()->clear();
}

bool ListGrid::filterEditChar(int col, qint16& keyAscii)
{
    const QString filter = m.column(col).inputFilter;
    if (keyAscii != 8 && keyAscii != 46 && keyAscii >= 32 && restricts(filter) &&
        !filter.contains(QChar(static_cast<char16_t>(keyAscii))))
        return false;
    if (keyAscii >= 32)
        keyAscii =
            static_cast<qint16>(applyCaseFilter(filter, QChar(static_cast<char16_t>(keyAscii))).unicode());
    // A handler that deletes the grid drops the key.
    const ControlGuard alive(this);
    emit EditKeyPress(col, keyAscii);
    return alive && keyAscii != 0;
}

bool ListGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_controller)
        return QWidget::eventFilter(watched, event);
    const bool isEditor = watched == m_editor.box() || (m_editor.widget() && watched == m_editor.widget());
    if (isEditor && event->type() == QEvent::KeyPress && m_editor.isOpen())
        return editorKey(static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

bool ListGrid::editorKey(QKeyEvent* event)
{
    const int vk = KeyCodes::FromKeyEvent(event);
    const int shift = KeyCodes::ShiftFromModifiers(event->modifiers());
    const bool builtIn = m_editor.builtIn();

    if (vk == KeyCodes::Return || vk == KeyCodes::Escape) {
        if (vk == KeyCodes::Escape)
            cancelEdit();
        else
            UpdateCell(true);
        return true;
    }
    if (!builtIn)
        return false; // a bound control handles its own keys
    QLineEdit* box = m_editor.box();
    switch (vk) {
    case KeyCodes::Up:
    case KeyCodes::Down:
    case KeyCodes::Prior:
    case KeyCodes::Next:
        m_controller->keyDown(vk, shift, true);
        return true;
    case KeyCodes::Left:
    case KeyCodes::Right:
        // At either end of the text the key leaves the cell, whether or not text is selected.
        if (m_editor.triggerKey() != KeyCodes::F2 &&
            ((vk == KeyCodes::Left && box->cursorPosition() == 0) ||
             (vk == KeyCodes::Right && box->cursorPosition() == box->text().size()))) {
            m_controller->keyDown(vk, shift, true);
            return true;
        }
        return false;
    default:
        break;
    }
    const QString text = event->text();
    if (text.size() != 1 || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    qint16 key = static_cast<qint16>(text.at(0).unicode());
    const int col = m_editor.col();
    const qint16 typed = key;
    if (!filterEditChar(col, key))
        return true;
    if (key == typed)
        return false; // the box takes the key as it is
    if (key == 8)
        box->backspace();
    else
        box->insert(QString(QChar(static_cast<char16_t>(key))));
    return true;
}

bool ListGrid::focusNextPrevChild(bool next)
{
    QWidget* focus = QApplication::focusWidget();
    if (m_editor.isOpen() && m_editor.widget() && focus &&
        (focus == m_editor.widget() || m_editor.widget()->isAncestorOf(focus))) {
        UpdateCell(true);
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}
