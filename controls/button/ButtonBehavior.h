#pragma once

#include "controls/button/ButtonProperties.h"

#include <optional>

class QObject;

namespace brenlow {

class ControlGuard;

/** Where and how a drop-down menu opens: the point in the control's pixels and the placement
 *  flags (8 = the menu's right edge at x, 32 = its bottom edge at y). */
struct MenuPlacement
{
    int x = 0;
    int y = 0;
    quint32 flags = 0;
};

/** The placement for code `align` (0..7) on a control of the given size; nothing for other codes. */
[[nodiscard]] std::optional<MenuPlacement> PlaceMenu(int align, quint32 flags, int width, int height);

/** Mouse buttons and shift masks as the events carry them. */
enum ButtonMouse : int
{
    LeftButton = 1,
    RightButton = 2,
    MiddleButton = 4
};
enum ButtonShift : int
{
    ShiftMask = 1,
    CtrlMask = 2,
    AltMask = 4
};

/** The platform-free interaction core of a glintbutton: it turns mouse, keyboard, focus and
 *  activation input into a visual state, and asks its host for redraws, capture, focus moves,
 *  tooltips, menus and events. Positions are in the control's pixels.
 *
 *  Events, value changes, focus moves, the menu and the pass of pending events run code of the
 *  container, which may delete the control (and this core with it); after each of them a step
 *  goes on only while the host's control still exists. */
class ButtonBehavior final
{
public:
    /** What the behaviour needs from the control around it. */
    class Host
    {
    public:
        virtual ~Host() = default;
        /** The object whose deletion ends a step: the control itself. */
        [[nodiscard]] virtual const QObject* Control() const = 0;
        // Properties the behaviour reads and writes.
        [[nodiscard]] virtual int Mode() const = 0;
        [[nodiscard]] virtual bool Value() const = 0;
        /** Through the property setter: stores, announces and redraws. */
        virtual void SetValue(bool value) = 0;
        [[nodiscard]] virtual bool Enabled() const = 0;
        [[nodiscard]] virtual bool HandPointer() const = 0;
        [[nodiscard]] virtual int Width() const = 0;
        [[nodiscard]] virtual int Height() const = 0;
        // Requests.
        virtual void Redraw() = 0;
        virtual void ShowHandCursor() = 0;
        virtual void CaptureMouse() = 0;
        virtual void ReleaseMouse() = 0;
        [[nodiscard]] virtual bool HasCapture() const = 0;
        virtual void MoveFocus(bool forward) = 0;
        [[nodiscard]] virtual bool PointerOverControl() const = 0;
        virtual void TrackMouseLeave() = 0;
        /** Unchecks the other option buttons of the same container. */
        virtual void UncheckOptionGroup() = 0;
        /** Lets pending events run once. */
        virtual void ProcessPendingEvents() = 0;
        virtual void ShowTooltip() = 0;
        /** Shows the menu at the placement and returns when it closes. */
        virtual void PopupMenu(const MenuPlacement& placement) = 0;
        // Events.
        virtual void RaiseClick() = 0;
        virtual void RaiseDblClick() = 0;
        virtual void RaiseMouseEnter() = 0;
        virtual void RaiseMouseLeave() = 0;
        virtual void RaiseMouseDown(int button, int shift, float x, float y) = 0;
        virtual void RaiseMouseUp(int button, int shift, float x, float y) = 0;
        virtual void RaiseKeyDown(int& keyCode, int& shift) = 0;
        virtual void RaiseKeyUp(int& keyCode, int& shift) = 0;
        virtual void RaiseKeyPress(int& keyAscii) = 0;
    };

    explicit ButtonBehavior(Host& host) : m_host(host) {}

    // Inputs.
    void MouseDown(int button, int shift, float x, float y);
    void MouseUp(int button, int shift, float x, float y);
    void MouseMove();
    void MouseLeft();
    void DoubleClick();
    void KeyDown(int keyCode, int shift);
    void KeyUp(int keyCode, int shift);
    void KeyPress(int keyAscii);
    void AccessKeyPressed(int keyAscii);
    void FocusIn();
    void FocusOut();
    void ContainerActivated(bool active);

    // The drop-down menu.
    void SetMenu(int align, quint32 flags);
    void UnsetMenu();
    [[nodiscard]] bool MenuAttached() const { return m_menuAttached; }
    [[nodiscard]] int MenuAlign() const { return m_menuAlign; }
    [[nodiscard]] quint32 MenuFlags() const { return m_menuFlags; }

    /** The state to paint: a checked check or option button shows down in most styles. */
    [[nodiscard]] ButtonState PaintState(int buttonStyle) const;

    /** Used by property setters that reset the look. */
    void SetState(ButtonState s) { m_state = s; }

    [[nodiscard]] ButtonState State() const { return m_state; }
    [[nodiscard]] bool IsMouseDown() const { return m_mouseDown; }
    [[nodiscard]] bool MouseInside() const { return m_mouseInside; }
    [[nodiscard]] bool HasFocus() const { return m_hasFocus; }
    [[nodiscard]] bool SpaceDown() const { return m_spaceDown; }
    [[nodiscard]] bool ParentActive() const { return m_parentActive; }
    [[nodiscard]] bool MenuOpen() const { return m_menuOpen; }
    [[nodiscard]] bool MenuClosedOver() const { return m_menuClosedOver; }
    void SetCanTrackMouseLeave(bool can) { m_canTrackMouseLeave = can; }

private:
    /** A watch on the host's control for one step. */
    [[nodiscard]] ControlGuard guard() const;
    /** Sets the state and redraws when it changed. */
    void changeState(ButtonState s);
    /** Checks a check or option button as a click does; false when the control is gone. */
    [[nodiscard]] bool checkAsClicked();
    void openMenu();
    void showTooltip();

    Host& m_host;
    ButtonState m_state = ButtonState::Normal;
    bool m_mouseDown = false;
    bool m_mouseInside = false;
    bool m_hasFocus = false;
    bool m_spaceDown = false;
    bool m_parentActive = true;
    bool m_canTrackMouseLeave = true;
    bool m_menuAttached = false;
    bool m_menuOpen = false;
    bool m_menuClosedOver = false;
    int m_menuAlign = 0;
    quint32 m_menuFlags = 0;
    int m_lastButton = 0;
    int m_lastShift = 0;
    float m_lastX = 0;
    float m_lastY = 0;
};

} // namespace brenlow
