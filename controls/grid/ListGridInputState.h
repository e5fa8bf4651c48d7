#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

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

/** The grid's interaction state: mouse, keyboard and current-cell moves. Owned by the grid's
 *  controller; the grid's own current-cell moves and Clear read and reset parts of it. */
struct GridInputState
{
    // Current-cell moves
    int mouseRow = -1;       ///< display row under the pointer at its last move or press
    int mouseCol = -1;       ///< display position under it
    int navCol = -1;         ///< column index remembered by keyboard navigation
    bool rowRefused = false; ///< a current-cell move was refused (cleared at mouse-down/key-down)
    bool colRefused = false;

    // Mouse
    int dragOverHeader = -1; ///< header position under the pointer while a header is dragged
    bool buttonPressed = false;
    bool clickArmed = false; ///< a left press whose release raises Click (also when the press was refused)
    bool pressOnHeader = false;
    bool mouseInside = false;
    QPoint lastPress;   ///< where the last button went down
    QPoint lastRelease; ///< where the last button came up
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
};

} // namespace brenlow
