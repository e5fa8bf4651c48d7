// Messages the grid intercepts on its own window: scroll bars, the wheel, focus, the pointer entering
// and leaving, and style changes.
#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridController.h"

#include "controls/common/ControlGuard.h"
#include "controls/common/KeyCodes.h"

#include <QScrollBar>

#include <algorithm>

using namespace brenlow;

namespace {

/** The wheel and the bars scroll by whole rows; a page is the large change of the bars. */
constexpr int WheelRows = 3;
constexpr int LargeChange = 5;

} // namespace

void ListGrid::subclassWndProc(bool bBefore, bool& bHandled, qintptr& lReturn, int uMsg, qintptr wParam,
                               qintptr lParam)
{
    Q_UNUSED(bBefore)
    Q_UNUSED(lReturn)
    switch (uMsg) {
    case Msg::SetFocus:
    case Msg::KillFocus:
        if (m.props().FocusRectHide) {
            if (m_painting)
                paintPass(true, uMsg == Msg::KillFocus);
            else
                m_refreshPending = true;
        }
        break;
    case Msg::HScroll:
    case Msg::VScroll: {
        m_controller->hideTip();
        const auto* bar = reinterpret_cast<const QScrollBar*>(lParam);
        Q_UNUSED(bar)
        scrollMessage(uMsg == Msg::VScroll, LowWord(wParam), HighWord(wParam), 1);
        break;
    }
    case Msg::MouseWheel: {
        m_controller->hideTip();
        const int delta = SignedHighWord(wParam);
        const bool ctrl = LowWord(wParam) & KeyCodes::MkControl;
        scrollMessage(!ctrl, delta < 0 ? ScrollCode::LineDown : ScrollCode::LineUp, 0, WheelRows);
        bHandled = true; // the grid scrolls itself; the wheel goes no further
        break;
    }
    case Msg::MouseMove:
        m_controller->pointerMoved();
        break;
    case Msg::MouseLeave:
        m_controller->pointerLeft();
        break;
    case Msg::ThemeChanged: {
        const ControlGuard alive(this);
        emit ThemeChanged();
        if (!alive)
            break;
        applyTheme();
        requestRefresh();
        break;
    }
    default:
        break;
    }
}

void ListGrid::scrollMessage(bool vertical, int code, int position, int lines)
{
    // The bars' ranges: rows for the vertical bar, scrolling column positions for the horizontal one.
    // A hidden bar means everything fits: nothing to scroll.
    QScrollBar* bar = vertical ? m_vBar : m_hBar;
    if (!bar || bar->isHidden())
        return;
    int value = vertical ? m_view.firstRowInView : m_view.hScroll;
    const int minimum = bar->minimum();
    const int maximum = bar->maximum();
    const int old = value;
    bool paint = true;
    switch (code) {
    case ScrollCode::LineUp:
        value -= lines;
        break;
    case ScrollCode::LineDown:
        value += lines;
        break;
    case ScrollCode::PageUp:
        value -= LargeChange;
        break;
    case ScrollCode::PageDown:
        value += LargeChange;
        break;
    case ScrollCode::ThumbTrack:
        value = position;
        paint = m.props().ScrollTrack;
        break;
    case ScrollCode::Top:
        value = minimum;
        break;
    case ScrollCode::Bottom:
        value = maximum;
        break;
    case ScrollCode::EndScroll:
        if (!m.props().ScrollTrack)
            requestRefresh();
        return;
    default:
        return;
    }
    if (vertical) {
        // Hidden rows are skipped: the first row in view is always a shown one.
        value = std::clamp(value, minimum, maximum);
        const int step = value >= old ? 1 : -1;
        while (value > 0 && value <= m.lastRow() && !m.rowAt(value).visible)
            value += step;
        value = std::clamp(value, minimum, maximum);
    } else {
        value = std::clamp(value, minimum, maximum);
    }
    if (value == old)
        return;
    // The commit's and the repaint's handlers may delete the grid (and with it the bar).
    const ControlGuard alive(this);
    UpdateCell(false);
    if (!alive)
        return;
    if (vertical)
        m_view.firstRowInView = value;
    else
        m_view.hScroll = value;
    {
        const QSignalBlocker block(bar);
        bar->setValue(value);
    }
    if (paint && !requestRefresh())
        return;
    if (!paint)
        m_refreshPending = true;
    emit Scroll();
}
