// In-place editing: the built-in edit box txtEdit or a control bound to the column, shown over the
// current cell; committing through AfterEdit; input filters.
#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridInputState.h"

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

bool ListGrid::openEditor(int row, int colPos, bool force)
{
    // The commit's and BeforeEdit's handlers may delete the grid: no edit opens then.
    const ControlGuard alive(this);
    if (m.editPending && (!UpdateCell(false) || !alive))
        return false;
    if (!(m.props.AllowEdit || force) || m.lastRow < 0)
        return false;
    if (row < 0 || row > m.lastRow || colPos < 0 || colPos >= static_cast<int>(m.colOrder.size()))
        return false;
    const int col = m.colOrder[static_cast<size_t>(colPos)];
    {
        const GridColumn& column = m.columns[static_cast<size_t>(col)];
        // Check boxes toggle in place; locked columns and rows are never edited.
        if (column.type == ColumnType::CheckBox || column.locked || !column.visible ||
            (m.rowAt(row).flags & RowFlag::Locked))
            return false;
    }

    // The handler may change the grid: the edit opens on the same cell, wherever it is now, or not
    // at all when the cell is gone, hidden or locked.
    const quint64 rowId = m.rowAt(row).id;
    bool cancel = false;
    emit BeforeEdit(row, col, cancel);
    if (!alive || cancel || m.editPending || col >= m.colCount())
        return false;
    row = m.displayRowOfId(rowId);
    colPos = m.positionOf(col);
    if (row < 0 || colPos < 0)
        return false;
    const GridColumn& column = m.columns[static_cast<size_t>(col)];
    if (column.type == ColumnType::CheckBox || column.locked || !column.visible || !m.rowAt(row).visible ||
        (m.rowAt(row).flags & RowFlag::Locked))
        return false;

    in->editRow = row;
    in->editColPos = colPos;
    in->editRowId = rowId;
    in->editCol = col;
    ensureRowVisible(row);
    ensureColumnVisible(colPos);

    const GridCell& cell = m.rowAt(row).cells[static_cast<size_t>(col)];
    QFont font = m.props.Font;
    const QString family = m.effectiveFormat(cell).fontName;
    if (!family.isEmpty())
        font.setFamily(family);
    const bool progress = column.type == ColumnType::Progress;
    font.setBold(!progress && (cell.flags & CellFlag::Bold));
    font.setItalic(!progress && (cell.flags & CellFlag::Italic));
    font.setUnderline(!progress && (cell.flags & CellFlag::Underline));

    QPalette pal;
    const QColor fore = OleColor::ToQColor(m.props.ForeColorEdit);
    const QColor back = OleColor::ToQColor(m.props.BackColorEdit);
    for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        pal.setColor(role, fore);
    for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button})
        pal.setColor(role, back);

    QWidget* bound = column.boundEditor.data();
    QWidget* editor = bound ? bound : in->txtEdit;
    editor->setFont(font);
    editor->setPalette(pal);
    if (bound) {
        if (bound->parentWidget() != this) {
            in->savedParent = bound->parentWidget();
            in->savedGeometry = bound->geometry();
            in->savedVisible = bound->isVisible();
            bound->setParent(this);
        }
        bound->installEventFilter(this);
        bound->setEnabled(true);
    } else {
        QLineEdit* box = in->txtEdit;
        Qt::Alignment align = Qt::AlignVCenter | Qt::AlignLeft;
        if (cell.alignment & 2)
            align = Qt::AlignVCenter | Qt::AlignRight;
        else if (cell.alignment & 1)
            align = Qt::AlignVCenter | Qt::AlignHCenter;
        box->setAlignment(align);
        box->setText(cell.text);
        box->selectAll();
    }
    in->editor = editor;
    m.editPending = true;
    placeEditor();
    editor->show();
    editor->raise();
    // The grid's focus change repaints, and that pass's handlers may delete the grid.
    editor->setFocus(Qt::OtherFocusReason);
    return alive.Alive();
}

bool ListGrid::locateEdit()
{
    if (in->editCol < 0 || in->editCol >= m.colCount() || m.lastRow < 0)
        return false;
    int row = in->editRow;
    if (row < 0 || row > m.lastRow || m.rowAt(row).id != in->editRowId)
        row = m.displayRowOfId(in->editRowId);
    int pos = in->editColPos;
    if (pos < 0 || pos >= static_cast<int>(m.colOrder.size()) ||
        m.colOrder[static_cast<size_t>(pos)] != in->editCol)
        pos = m.positionOf(in->editCol);
    if (row < 0 || pos < 0 || !m.rowAt(row).visible || !m.columns[static_cast<size_t>(in->editCol)].visible)
        return false;
    in->editRow = row;
    in->editColPos = pos;
    return true;
}

bool ListGrid::followEdit()
{
    if (!m.editPending)
        return true;
    if (!locateEdit())
        return cancelEdit();
    placeEditor();
    return true;
}

void ListGrid::placeEditor()
{
    QWidget* editor = in->editor.data();
    if (!editor || !m.editPending)
        return;
    syncLayout();
    QRect r = cellRect(in->editRow, in->editColPos);
    if (r.isNull()) {
        // Scrolled out of view: keep it out of sight until the cell is back.
        editor->move(-10000, -10000);
        return;
    }
    r.adjust(1, 1, -1, -1);
    if (editor != in->txtEdit) {
        // A bound control keeps its natural height, centred on the cell.
        const int h = std::min(r.height(), std::max(editor->sizeHint().height(), 1));
        r = QRect(r.x(), r.y() + (r.height() - h) / 2, r.width(), h);
    }
    editor->setGeometry(r);
}

bool ListGrid::closeEditor()
{
    QWidget* editor = in->editor.data();
    in->editor = nullptr;
    // Focus comes back to the grid before the editor hides, so Qt does not pass it on elsewhere.
    // The focus change may repaint, and that pass's handlers may delete the grid.
    const ControlGuard alive(this);
    QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == in->txtEdit || (editor && (focus == editor || editor->isAncestorOf(focus)))))
        setFocus(Qt::OtherFocusReason);
    if (!alive)
        return false;
    in->txtEdit->hide();
    if (!editor || editor == in->txtEdit)
        return true;
    editor->removeEventFilter(this);
    editor->hide();
    if (in->savedParent) {
        // Back to where it lived, as it was there (hidden while not editing).
        editor->setParent(in->savedParent);
        editor->setGeometry(in->savedGeometry);
        editor->setVisible(false);
    }
    in->savedParent = nullptr;
    return true;
}

bool ListGrid::cancelEdit()
{
    if (!m.editPending)
        return true;
    if (!closeEditor())
        return false;
    m.editPending = false;
    return requestRefresh();
}

QString ListGrid::editorText() const
{
    QWidget* editor = in->editor.data();
    if (!editor)
        return {};
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        return combo->currentText();
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        return line->text();
    if (auto* button = qobject_cast<QAbstractButton*>(editor); button && button->isCheckable())
        return button->isChecked() ? QStringLiteral("True") : QStringLiteral("False");
    const QVariant text = editor->property("text");
    if (text.isValid())
        return text.toString();
    return editor->property("plainText").toString();
}

bool ListGrid::UpdateCell(bool bAllowMove)
{
    if (!m.editPending)
        return true;
    if (!locateEdit()) {
        // The cell went away while it was edited: nothing to store.
        cancelEdit();
        return true;
    }
    // AfterEdit's handler, and the repaints, may delete the grid; the commit then ends there.
    const ControlGuard alive(this);
    int row = in->editRow;
    int colPos = in->editColPos;
    const int col = in->editCol;
    QString value = editorText();
    const bool changed = value != m.rowAt(row).cells[static_cast<size_t>(col)].text;
    if (changed) {
        bool cancel = false;
        emit AfterEdit(row, col, value, cancel);
        if (!alive)
            return true;
        if (cancel)
            return false;
        if (!m.editPending)
            return true; // the handler closed the edit itself
        // The handler may have moved or removed the row: the value belongs to the edited cell only.
        if (!locateEdit()) {
            cancelEdit();
            return true;
        }
        row = in->editRow;
        colPos = in->editColPos;
    }

    {
        PaintSuspender suspend(*this);
        if (!closeEditor())
            return true;
        m.editPending = false;
        if (changed) {
            if (value.trimmed().isEmpty())
                value.clear();
            storeCellText(m.rowAt(row), col, value, false);
            requestLayout();
        }
        if (bAllowMove && row <= m.lastRow && colPos < static_cast<int>(m.colOrder.size())) {
            int targetRow = row;
            int targetPos = colPos;
            if (m.props.EditMove == 1) {
                for (int p = colPos + 1; p < static_cast<int>(m.colOrder.size()); ++p) {
                    const GridColumn& next =
                        m.columns[static_cast<size_t>(m.colOrder[static_cast<size_t>(p)])];
                    if (next.visible && !next.locked) {
                        targetPos = p;
                        break;
                    }
                }
            } else if (m.props.EditMove == 2) {
                for (int r = row + 1; r <= m.lastRow; ++r) {
                    if (m.rowAt(r).visible) {
                        targetRow = r;
                        break;
                    }
                }
            }
            SelectedClearAll();
            RowColSet(targetRow, m.colOrder[static_cast<size_t>(targetPos)]);
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
    GridColumn& column = m.columns[static_cast<size_t>(vCol)];
    if (column.boundEditor == Ctrl)
        return;
    if (m.editPending && in->editor && in->editor == column.boundEditor)
        cancelEdit();
    column.boundEditor = Ctrl;
}

void ListGrid::ForceCellEdit(int lNewRow, int lNewCol, bool bBlankCell)
{
    const ControlGuard alive(this);
    RowColSet(lNewRow, lNewCol);
    if (!alive || m.lastRow < 0)
        return;
    // A locked column's cell is never edited, nor the cell that stayed current instead of it.
    if (lNewCol >= 0 && lNewCol < m.colCount() && m.columns[static_cast<size_t>(lNewCol)].locked)
        return;
    in->editTriggerKey = KeyCodes::F2;
    if (openEditor(m.currentRow, m.currentCol, true) && alive && bBlankCell && in->editor == in->txtEdit)
        in->txtEdit->clear();
}

bool ListGrid::filterEditChar(int col, qint16& keyAscii)
{
    const QString filter = m.columns[static_cast<size_t>(col)].inputFilter;
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
    if (!in)
        return QWidget::eventFilter(watched, event);
    const bool isEditor = watched == in->txtEdit || (in->editor && watched == in->editor.data());
    if (isEditor && event->type() == QEvent::KeyPress && m.editPending)
        return editorKey(static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

bool ListGrid::editorKey(QKeyEvent* event)
{
    const int vk = KeyCodes::FromKeyEvent(event);
    const int shift = KeyCodes::ShiftFromModifiers(event->modifiers());
    const bool builtIn = in->editor == in->txtEdit;

    if (vk == KeyCodes::Return || vk == KeyCodes::Escape) {
        if (vk == KeyCodes::Escape)
            cancelEdit();
        else
            UpdateCell(true);
        return true;
    }
    if (!builtIn)
        return false; // a bound control handles its own keys
    QLineEdit* box = in->txtEdit;
    switch (vk) {
    case KeyCodes::Up:
    case KeyCodes::Down:
    case KeyCodes::Prior:
    case KeyCodes::Next:
        keyDownStep(vk, shift, true);
        return true;
    case KeyCodes::Left:
    case KeyCodes::Right:
        // At either end of the text the key leaves the cell, whether or not text is selected.
        if (in->editTriggerKey != KeyCodes::F2 &&
            ((vk == KeyCodes::Left && box->cursorPosition() == 0) ||
             (vk == KeyCodes::Right && box->cursorPosition() == box->text().size()))) {
            keyDownStep(vk, shift, true);
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
    const int col = in->editCol;
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
    if (m.editPending && in->editor && focus && (focus == in->editor || in->editor->isAncestorOf(focus))) {
        UpdateCell(true);
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}
