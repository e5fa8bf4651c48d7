#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QtGlobal>

class QFont;
class QLineEdit;
class QPalette;
class QWidget;

namespace brenlow {

class ListGridModel;
struct GridCell;

/**
 * The grid's in-place editor: the built-in edit box txtEdit, or a control bound to the column, shown
 * over the edited cell. It knows the cell by its row's id and its column index, so the grid finds
 * it again after rows or columns moved; a bound control borrowed from elsewhere goes back to where
 * it lived when the edit ends. The grid raises the editing events, places the editor and stores the
 * value.
 */
class ListGridEditor final
{
public:
    /** Creates the edit box as a hidden child of `grid`, which watches the editors' keys. */
    explicit ListGridEditor(QWidget* grid);
    /** A bound control still shown goes home. */
    ~ListGridEditor();
    ListGridEditor(const ListGridEditor&) = delete;
    ListGridEditor& operator=(const ListGridEditor&) = delete;

    [[nodiscard]] QLineEdit* box() const { return m_box; }
    /** An edit is open (EditPending). */
    [[nodiscard]] bool isOpen() const { return m_open; }
    /** The editor shown (the box or a bound control), null when none. */
    [[nodiscard]] QWidget* widget() const { return m_widget.data(); }
    [[nodiscard]] bool builtIn() const { return m_widget && m_widget.data() == boxWidget(); }

    /** The edited cell: display row and position (kept in step by locate), column index, row id. */
    [[nodiscard]] int row() const { return m_row; }
    [[nodiscard]] int colPos() const { return m_colPos; }
    [[nodiscard]] int col() const { return m_col; }
    [[nodiscard]] quint64 rowId() const { return m_rowId; }
    /** The key that opened the edit (Return, F2, or the typed character). */
    [[nodiscard]] int triggerKey() const { return m_triggerKey; }
    void setTriggerKey(int key) { m_triggerKey = key; }

    /** Finds the edited cell again after the grid changed; false when it is gone or hidden. */
    bool locate(const ListGridModel& m);
    /** Opens on a cell with its look: the bound control (taken into the grid) or the box holding the
     *  cell's text, selected. The grid places and shows it. */
    void open(int row, int colPos, quint64 rowId, int col, QWidget* bound, const QFont& font,
              const QPalette& palette, const GridCell& cell);
    /** Puts the editor over the cell's rectangle; a null one (out of view) keeps it out of sight. */
    void place(QRect cell);
    /** Whether the focus is in the editor. */
    [[nodiscard]] bool hasFocus() const;
    /** Takes the editor off the cell (no longer the one shown) and returns it for hide(). */
    QWidget* release();
    /** Hides an editor from release(): a bound control goes back to where it lived. */
    void hide(QWidget* editor);
    /** The edit is over (the editor is already hidden or about to be). */
    void markClosed() { m_open = false; }
    /** The value the editor holds: the text, a combo box's current text, a check box's True/False. */
    [[nodiscard]] QString text() const;

private:
    [[nodiscard]] QWidget* boxWidget() const;
    QWidget* m_grid;
    QLineEdit* m_box = nullptr;
    QPointer<QWidget> m_widget;
    QPointer<QWidget> m_savedParent; ///< a bound editor's own parent while it is shown in the grid
    QRect m_savedGeometry;
    bool m_open = false;
    int m_triggerKey = 0;
    int m_row = -1;
    int m_colPos = -1;
    int m_col = -1;
    quint64 m_rowId = 0;
};

} // namespace brenlow
