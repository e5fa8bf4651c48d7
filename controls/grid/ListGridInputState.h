#pragma once

#include "controls/common/Subclasser.h"
#include "platform/Clock.h"

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>

class ListGrid;
class QLineEdit;
class QWidget;

namespace brenlow {

/** Pointer shapes the grid shows. */
enum class GridPointer
{
    Default,
    SizeWE,
    SizeNS,
    Hand
};

/** What lies under a point of the grid. */
struct GridHit
{
    bool header = false;      ///< in the caption or header strip
    int row = -1;             ///< display row, -1 none
    int colPos = -1;          ///< display position, -1 none
    QRect cell;               ///< the cell's rectangle (or the header item's), empty when none
    bool rowCheckBox = false; ///< in the row check-box column
};

/** The grid's interaction state: mouse, keyboard, in-place editing and intercepted messages.
 *  Owned by the grid; everything here is reset by Clear where it matters. */
struct GridInput
{
    explicit GridInput(ListGrid* grid);
    ~GridInput();

    /** Forwards intercepted messages to the grid. */
    class Messages final : public SubclassCallback
    {
    public:
        explicit Messages(ListGrid* grid) : m_grid(grid) {}
        void Subclass_WndProc(bool bBefore, bool& bHandled, qintptr& lReturn, QWidget* lHwnd, int uMsg,
                              qintptr wParam, qintptr lParam) override;

    private:
        ListGrid* m_grid;
    };

    Messages messages;
    Subclasser sc;
    ListGrid* owner;
    const Clock* clock = &Clock::steady();

    QLineEdit* txtEdit = nullptr; ///< the built-in editor, a hidden child of the grid

    // Mouse
    int dragOverHeader = -1; ///< header position under the pointer while a header is dragged
    bool buttonPressed = false;
    bool pressOnHeader = false;
    bool mouseInside = false;
    QPoint lastPress; ///< where the last button went down
    qint16 lastShift = 0;
    GridPointer pointer = GridPointer::Default;
    int resizeCol = -1;   ///< column index whose right edge is under the pointer
    int resizeRow = -1;   ///< display row whose bottom edge is under the pointer
    int resizeStartX = 0; ///< pointer x and width when a column resize began
    int resizeStartWidth = 0;
    bool resizing = false;
    QString tipText;

    // Keyboard
    bool keyHandled = false;
    QString searchText;
    qint64 searchTime = 0;
    bool searchStarted = false;

    // Editing
    int editTriggerKey = 0;
    int editRow = -1;              ///< display row of the edited cell (kept in step by followEdit)
    int editColPos = -1;           ///< its display position
    quint64 editRowId = 0;         ///< the edited row's id: what the edit belongs to
    int editCol = -1;              ///< the edited column index
    QPointer<QWidget> editor;      ///< the open editor (txtEdit or a bound control)
    QPointer<QWidget> savedParent; ///< a bound editor's own parent while it is shown in the grid
    QRect savedGeometry;
    bool savedVisible = false;
};

} // namespace brenlow
