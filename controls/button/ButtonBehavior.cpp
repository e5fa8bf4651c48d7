#include "controls/button/ButtonBehavior.h"

#include "controls/common/ControlGuard.h"

namespace brenlow {

namespace {
constexpr int KeyEnter = 13;
constexpr int KeyEscape = 27;
constexpr int KeySpace = 32;
constexpr int VkLeft = 37;
constexpr int VkUp = 38;
constexpr int VkRight = 39;
constexpr int VkDown = 40;
constexpr quint32 RightAlignFlag = 8;
constexpr quint32 BottomAlignFlag = 32;
} // namespace

std::optional<MenuPlacement> PlaceMenu(int align, quint32 flags, int width, int height)
{
    switch (align) {
    case 0:
        return MenuPlacement{0, height, flags};
    case 1:
        return MenuPlacement{0, 0, BottomAlignFlag};
    case 2:
        return MenuPlacement{0, 0, flags | RightAlignFlag};
    case 3:
        return MenuPlacement{width, 0, flags};
    case 4:
        return MenuPlacement{0, 0, BottomAlignFlag | RightAlignFlag};
    case 5:
        return MenuPlacement{0, height, flags | RightAlignFlag};
    case 6:
        return MenuPlacement{width, 0, BottomAlignFlag};
    case 7:
        return MenuPlacement{width, height, flags};
    default:
        return std::nullopt;
    }
}

ControlGuard ButtonBehavior::guard() const
{
    return ControlGuard(m_host.Control());
}

void ButtonBehavior::changeState(ButtonState s)
{
    if (m_state == s)
        return;
    m_state = s;
    m_host.Redraw();
}

bool ButtonBehavior::checkAsClicked()
{
    // The container hears of every value change, and may do anything then.
    const ControlGuard alive = guard();
    if (m_host.Mode() == ModeCheck) {
        m_host.SetValue(!m_host.Value());
    } else if (m_host.Mode() == ModeOption) {
        m_host.UncheckOptionGroup();
        if (!alive)
            return false;
        m_host.SetValue(true);
    }
    return alive.Alive();
}

ButtonState ButtonBehavior::PaintState(int buttonStyle) const
{
    if (m_host.Mode() != ModeCommand && CheckedDrawsDown(buttonStyle) && m_host.Value())
        return ButtonState::Down;
    return m_state;
}

void ButtonBehavior::MouseDown(int button, int shift, float x, float y)
{
    m_lastButton = button;
    m_lastShift = shift;
    m_lastX = x;
    m_lastY = y;
    if (m_host.HandPointer())
        m_host.ShowHandCursor();
    if (button != LeftButton && !m_menuClosedOver)
        return;
    m_hasFocus = true;
    m_mouseDown = true;
    if (!m_spaceDown && m_state != ButtonState::Down) {
        m_state = ButtonState::Down;
        m_host.Redraw();
    }
    if (!m_menuAttached)
        m_host.RaiseMouseDown(button, shift, x, y);
    else if (!m_menuClosedOver)
        openMenu();
}

void ButtonBehavior::MouseUp(int button, int shift, float x, float y)
{
    const ControlGuard alive = guard();
    if (m_host.HandPointer())
        m_host.ShowHandCursor();
    if (m_menuAttached) {
        // A menu button reports no clicks: the menu is its answer.
        m_mouseDown = false;
        m_menuClosedOver = false;
        m_state = ButtonState::Normal;
        m_host.Redraw();
        return;
    }
    if (button == LeftButton) {
        m_mouseDown = false;
        // Only a release strictly inside counts; the edge pixels do not.
        if (x > 0 && y > 0 && x < m_host.Width() && y < m_host.Height()) {
            if (!checkAsClicked())
                return;
            m_state = ButtonState::Normal;
            m_host.Redraw();
            m_host.RaiseClick();
            if (!alive)
                return;
        }
    }
    m_host.RaiseMouseUp(button, shift, x, y);
}

void ButtonBehavior::MouseMove()
{
    if (m_host.HandPointer())
        m_host.ShowHandCursor();
    if (m_host.PointerOverControl()) {
        m_mouseInside = true;
        if (m_canTrackMouseLeave)
            m_host.TrackMouseLeave();
        const ControlGuard alive = guard();
        m_host.RaiseMouseEnter();
        if (!alive)
            return;
    } else {
        m_mouseInside = false;
    }
    if (m_spaceDown)
        return;
    if (m_mouseInside && !m_mouseDown && m_state != ButtonState::Hot) {
        m_state = ButtonState::Hot;
        m_host.Redraw();
        showTooltip();
    } else if (m_mouseInside && m_mouseDown) {
        changeState(ButtonState::Down);
    } else if (!m_mouseInside && m_state != ButtonState::Normal) {
        m_state = ButtonState::Normal;
        m_host.Redraw();
    }
}

void ButtonBehavior::MouseLeft()
{
    m_mouseInside = false;
    if (m_menuAttached) {
        if (m_menuOpen) {
            // The open menu took the pointer; the button has not really been left.
            m_menuOpen = false;
            m_menuClosedOver = true;
            return;
        }
        m_menuClosedOver = false;
    }
    if (!m_spaceDown) {
        changeState(ButtonState::Normal);
        m_host.RaiseMouseLeave();
    }
}

void ButtonBehavior::DoubleClick()
{
    if (m_host.HandPointer())
        m_host.ShowHandCursor();
    if (m_lastButton != LeftButton)
        return;
    m_host.CaptureMouse();
    m_state = ButtonState::Down;
    m_host.Redraw();
    const ControlGuard alive = guard();
    MouseDown(m_lastButton, m_lastShift, m_lastX, m_lastY);
    if (!alive)
        return;
    if (!m_menuAttached)
        m_host.RaiseDblClick();
    else if (!m_menuClosedOver)
        openMenu();
}

void ButtonBehavior::KeyDown(int keyCode, int shift)
{
    const ControlGuard alive = guard();
    switch (keyCode) {
    case KeyEnter:
        m_host.RaiseClick();
        break;
    case KeySpace:
        if (shift == AltMask)
            return; // Alt+Space belongs to the window's system menu.
        if (m_mouseDown) {
            changeState(m_mouseInside ? ButtonState::Down : ButtonState::Normal);
        } else {
            m_spaceDown = true;
            if (!checkAsClicked())
                return;
            changeState(ButtonState::Down);
        }
        if (!m_host.HasCapture()) {
            m_host.ReleaseMouse();
            m_host.CaptureMouse();
        }
        break;
    case VkLeft:
    case VkUp:
        m_host.MoveFocus(false);
        break;
    case VkRight:
    case VkDown:
        m_host.MoveFocus(true);
        break;
    default:
        if (m_spaceDown) {
            m_spaceDown = false;
            m_state = ButtonState::Normal;
            m_host.Redraw();
        }
        break;
    }
    if (alive)
        m_host.RaiseKeyDown(keyCode, shift);
}

void ButtonBehavior::KeyUp(int keyCode, int shift)
{
    if (keyCode != KeySpace)
        return;
    const ControlGuard alive = guard();
    m_host.ReleaseMouse();
    if (m_mouseInside && m_mouseDown) {
        changeState(ButtonState::Down);
    } else {
        changeState(m_mouseInside ? ButtonState::Hot : ButtonState::Normal);
        if (!m_mouseDown && m_spaceDown)
            m_host.RaiseClick();
        if (!alive)
            return;
    }
    m_host.RaiseKeyUp(keyCode, shift);
    if (!alive)
        return;
    m_spaceDown = false;
    m_mouseDown = false;
}

void ButtonBehavior::KeyPress(int keyAscii)
{
    m_host.RaiseKeyPress(keyAscii);
}

void ButtonBehavior::AccessKeyPressed(int keyAscii)
{
    if (!m_host.Enabled())
        return;
    if (m_spaceDown) {
        m_spaceDown = false;
        m_mouseDown = false;
    }
    const bool enterOrEscape = keyAscii == KeyEnter || keyAscii == KeyEscape;
    const ControlGuard alive = guard();
    if (m_host.Mode() == ModeCheck) {
        if (enterOrEscape)
            return;
        const bool was = m_host.Value();
        m_host.SetValue(!was);
        if (!alive)
            return;
        if (was)
            m_state = ButtonState::Normal;
        m_host.Redraw();
    } else if (m_host.Mode() == ModeOption) {
        if (enterOrEscape)
            return;
        if (!checkAsClicked())
            return;
        m_host.Redraw();
    }
    m_host.ProcessPendingEvents();
    if (alive)
        m_host.RaiseClick();
}

void ButtonBehavior::FocusIn()
{
    m_hasFocus = true;
}

void ButtonBehavior::FocusOut()
{
    m_hasFocus = false;
    m_mouseDown = false;
    m_spaceDown = false;
    m_state = m_parentActive && m_mouseInside ? ButtonState::Hot : ButtonState::Normal;
    m_host.Redraw();
}

void ButtonBehavior::ContainerActivated(bool active)
{
    if (!active) {
        m_mouseDown = false;
        m_spaceDown = false;
        m_hasFocus = false;
    }
    m_parentActive = active;
    m_state = ButtonState::Normal;
    m_host.Redraw();
}

void ButtonBehavior::SetMenu(int align, quint32 flags)
{
    m_menuAlign = align;
    m_menuFlags = flags;
    m_menuAttached = true;
}

void ButtonBehavior::UnsetMenu()
{
    m_menuAttached = false;
    m_menuClosedOver = false;
}

void ButtonBehavior::showTooltip()
{
    if (m_host.Enabled() && !m_menuClosedOver && m_state != ButtonState::Down)
        m_host.ShowTooltip();
}

void ButtonBehavior::openMenu()
{
    m_menuOpen = true;
    const auto placement = PlaceMenu(m_menuAlign, m_menuFlags, m_host.Width(), m_host.Height());
    if (!placement) {
        m_menuOpen = false;
        return;
    }
    m_menuFlags = placement->flags; // a changed placement sticks for later openings
    // The menu runs its own event loop, in which anything may happen to the button.
    const ControlGuard alive = guard();
    m_host.PopupMenu(*placement);
    if (!alive)
        return;
    if (m_host.PointerOverControl()) {
        m_menuClosedOver = true;
        return;
    }
    m_mouseDown = false;
    m_mouseInside = false;
    m_spaceDown = false;
    m_menuClosedOver = false;
    m_menuOpen = false;
    m_state = ButtonState::Normal;
    m_host.Redraw();
}

} // namespace brenlow
