// The controller's setup, the messages it hooks on the grid, the pointer entering and leaving, and
// the tooltip.
#include "controls/grid/ListGridController.h"

#include "controls/grid/ListGrid.h"

#include <QChildEvent>
#include <QScrollBar>
#include <QToolTip>

namespace brenlow {

namespace {

/** Hooks the grid's scroll bars into its message handling once they are fully built. */
class ScrollBarWatcher final : public QObject
{
public:
    explicit ScrollBarWatcher(QWidget* grid) : QObject(grid), m_grid(grid) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_grid && event->type() == QEvent::ChildPolished) {
            auto* bar = qobject_cast<QScrollBar*>(static_cast<QChildEvent*>(event)->child());
            if (bar && !bar->property("brenlowForwarded").toBool()) {
                bar->setProperty("brenlowForwarded", true);
                Subclasser::ForwardScrollBar(m_grid, bar);
            }
        }
        return false;
    }

private:
    QWidget* m_grid;
};

} // namespace

ListGridController::ListGridController(ListGrid& grid)
    : g(grid), m(grid.m), messages(&grid), sc(QStringLiteral("ListGrid"), &messages)
{
    grid.setMouseTracking(true);
    grid.setFocusPolicy(Qt::StrongFocus);
    grid.installEventFilter(new ScrollBarWatcher(&grid));

    // The messages the grid needs beyond its ordinary events.
    if (sc.sc_Subclass(&grid)) {
        for (int msg : {Msg::KillFocus, Msg::SetFocus, Msg::MouseWheel, Msg::MouseMove, Msg::MouseLeave,
                        Msg::MouseHover, Msg::HScroll, Msg::VScroll, Msg::ThemeChanged})
            sc.zAddMsg(msg, Subclasser::When::Before);
    }
}

ListGridController::~ListGridController() = default;

void ListGridController::Messages::Subclass_WndProc(bool bBefore, bool& bHandled, qintptr& lReturn, QWidget*,
                                                    int uMsg, qintptr wParam, qintptr lParam)
{
    m_grid->subclassWndProc(bBefore, bHandled, lReturn, uMsg, wParam, lParam);
}

int ListGridController::mouseRow() const
{
    // Rows removed since the pointer last moved take the row under it with them.
    return in.mouseRow <= m.lastRow() ? in.mouseRow : -1;
}

int ListGridController::mouseCol() const
{
    if (in.mouseCol < 0 || in.mouseCol >= static_cast<int>(m.colOrder().size()))
        return -1;
    return m.columnAt(in.mouseCol);
}

void ListGridController::hideTip()
{
    if (!in.tipText.isEmpty()) {
        in.tipText.clear();
        QToolTip::hideText();
    }
}

void ListGridController::pointerMoved()
{
    if (!in.mouseInside) {
        in.mouseInside = true;
        emit g.MouseEnter();
    }
}

void ListGridController::pointerLeft()
{
    in.mouseInside = false;
    hideTip();
    const bool hadHot = g.m_paintState.hotHeaderPos >= 0;
    g.m_paintState.hotHeaderPos = -1;
    in.pointer = GridPointer::Default;
    g.unsetCursor();
    // The repaint's handlers may delete the grid.
    if (hadHot && !g.requestRefresh())
        return;
    emit g.MouseLeave();
}

} // namespace brenlow
