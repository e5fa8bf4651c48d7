#pragma once

#include "controls/common/Subclasser.h"
#include "controls/grid/ListGridInputState.h"

#include <QChar>
#include <QPoint>
#include <QtGlobal>

class ListGrid;
class QKeyEvent;
class QMouseEvent;
class QWidget;

namespace brenlow {

class ListGridModel;

/**
 * Turns the pointer and the keyboard into changes of the grid's model and into the grid's events.
 * Owned by the grid, which hands it its input events; it owns the interaction state.
 *
 * Every event raised may run a handler that deletes the grid, and with it this controller: after
 * each such point a step checks its guard and, with the grid gone, ends without touching either.
 */
class ListGridController final
{
public:
    explicit ListGridController(ListGrid& grid);
    ~ListGridController();
    ListGridController(const ListGridController&) = delete;
    ListGridController& operator=(const ListGridController&) = delete;

    // ---- The grid's input events
    void mousePress(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    void mouseRelease(QMouseEvent* event);
    void mouseDoubleClick(QMouseEvent* event);
    void keyPress(QKeyEvent* event);
    void keyRelease(QKeyEvent* event);
    /** A key down, from the grid or from its open editor; false when a handler deleted the grid. */
    bool keyDown(int keyCode, int shift, bool fromEditor);
    /** The pointer moved over the grid (MouseEnter on its first move in). */
    void pointerMoved();
    /** The pointer left the grid. */
    void pointerLeft();
    void hideTip();

    /** Display row and column index under the pointer (-1 none), as MouseRow and MouseCol read. */
    [[nodiscard]] int mouseRow() const;
    [[nodiscard]] int mouseCol() const;

    /** The interaction state, which the grid's own current-cell moves and Clear share. */
    [[nodiscard]] GridInputState& state() { return in; }

private:
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

    // Mouse (ListGridControllerMouse.cpp)
    void leftButtonDown(const GridHit& hit, Qt::KeyboardModifiers mods);
    void toggleCheckBoxCell(int row, int col);
    void updatePointer(QPoint p);
    /** Whether a press on the header grabs a column edge to resize (the column found again). */
    [[nodiscard]] bool atResizableEdge();
    void dragTo(QPoint p);
    void finishHeaderPress(QPoint p, Qt::KeyboardModifiers mods);
    void cellReleased(const GridHit& hit);
    void clickStep();
    void showAutoTip(const GridHit& hit, QPoint globalPos);
    // Keyboard (ListGridControllerKeys.cpp)
    bool keyPressStep(qint16& keyAscii);
    void incrementalSearch(QChar ch);
    bool moveByKey(int keyCode, int shift);

    ListGrid& g;
    ListGridModel& m;
    GridInputState in;
    Messages messages;
    Subclasser sc;
};

} // namespace brenlow
