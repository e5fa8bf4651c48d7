#include "controls/grid/ListGridEditor.h"

#include "controls/grid/ListGridModel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include <algorithm>

namespace brenlow {

ListGridEditor::ListGridEditor(QWidget* grid) : m_grid(grid)
{
    m_box = new QLineEdit(grid);
    m_box->setObjectName(QStringLiteral("txtEdit"));
    m_box->setFrame(false);
    m_box->hide();
    m_box->installEventFilter(grid);
}

ListGridEditor::~ListGridEditor()
{
    // The grid goes away: nothing may call back into it, and a bound editor it borrowed goes home.
    m_box->removeEventFilter(m_grid);
    QWidget* open = m_widget.data();
    const QPointer<QWidget> home = m_savedParent;
    m_widget = nullptr;
    m_savedParent = nullptr;
    m_open = false;
    if (open && open != m_box) {
        open->removeEventFilter(m_grid);
        if (home) {
            open->clearFocus();
            open->hide();
            open->setParent(home);
            open->setGeometry(m_savedGeometry);
        }
    }
}

QWidget* ListGridEditor::boxWidget() const
{
    return m_box;
}

bool ListGridEditor::locate(const ListGridModel& m)
{
    if (m_col < 0 || m_col >= m.colCount() || m.lastRow() < 0)
        return false;
    int row = m_row;
    if (row < 0 || row > m.lastRow() || m.rowAt(row).id() != m_rowId)
        row = m.displayRowOfId(m_rowId);
    int pos = m_colPos;
    if (pos < 0 || pos >= m.colCount() || m.columnAt(pos) != m_col)
        pos = m.positionOf(m_col);
    if (row < 0 || pos < 0 || !m.rowAt(row).visible || !m.column(m_col).visible)
        return false;
    m_row = row;
    m_colPos = pos;
    return true;
}

void ListGridEditor::open(int row, int colPos, quint64 rowId, int col, QWidget* bound, const QFont& font,
                          const QPalette& palette, const GridCell& cell)
{
    m_row = row;
    m_colPos = colPos;
    m_rowId = rowId;
    m_col = col;
    QWidget* editor = bound ? bound : m_box;
    editor->setFont(font);
    editor->setPalette(palette);
    if (bound) {
        if (bound->parentWidget() != m_grid) {
            m_savedParent = bound->parentWidget();
            m_savedGeometry = bound->geometry();
            bound->setParent(m_grid);
        }
        bound->installEventFilter(m_grid);
        bound->setEnabled(true);
    } else {
        Qt::Alignment align = Qt::AlignVCenter | Qt::AlignLeft;
        if (cell.alignment & 2)
            align = Qt::AlignVCenter | Qt::AlignRight;
        else if (cell.alignment & 1)
            align = Qt::AlignVCenter | Qt::AlignHCenter;
        m_box->setAlignment(align);
        m_box->setText(cell.text);
        m_box->selectAll();
    }
    m_widget = editor;
    m_open = true;
}

void ListGridEditor::place(QRect cell)
{
    QWidget* editor = m_widget.data();
    if (!editor || !m_open)
        return;
    if (cell.isNull()) {
        // Scrolled out of view: kept out of sight until the cell is back.
        editor->move(-10000, -10000);
        return;
    }
    cell.adjust(1, 1, -1, -1);
    if (editor != m_box) {
        // A bound control keeps its natural height, centred on the cell.
        const int h = std::min(cell.height(), std::max(editor->sizeHint().height(), 1));
        cell = QRect(cell.x(), cell.y() + (cell.height() - h) / 2, cell.width(), h);
    }
    editor->setGeometry(cell);
}

bool ListGridEditor::hasFocus() const
{
    QWidget* focus = QApplication::focusWidget();
    QWidget* editor = m_widget.data();
    return focus && (focus == m_box || (editor && (focus == editor || editor->isAncestorOf(focus))));
}

QWidget* ListGridEditor::release()
{
    QWidget* editor = m_widget.data();
    m_widget = nullptr;
    return editor;
}

void ListGridEditor::hide(QWidget* editor)
{
    m_box->hide();
    if (!editor || editor == m_box)
        return;
    editor->removeEventFilter(m_grid);
    editor->hide();
    if (m_savedParent) {
        // Back to where it lived, as it was there (hidden while not editing).
        editor->setParent(m_savedParent);
        editor->setGeometry(m_savedGeometry);
        editor->setVisible(false);
    }
    m_savedParent = nullptr;
}

QString ListGridEditor::text() const
{
    QWidget* editor = m_widget.data();
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

} // namespace brenlow
