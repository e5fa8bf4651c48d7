#pragma once

#include <Qt>

class QKeyEvent;

namespace brenlow {

/** The key, shift and button codes the controls' events carry: virtual-key numbers (13 Enter, 27 Esc,
 *  37..40 arrows, 113 F2, 65..90 letters, ...), a shift mask (1 Shift, 2 Ctrl, 4 Alt) and a button
 *  mask (1 left, 2 right, 4 middle). */
namespace KeyCodes {

enum Key : int
{
    Back = 8,
    Tab = 9,
    Return = 13,
    Shift = 16,
    Control = 17,
    Menu = 18,
    Escape = 27,
    Space = 32,
    Prior = 33,
    Next = 34,
    End = 35,
    Home = 36,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    Insert = 45,
    Delete = 46,
    F1 = 112,
    F2 = 113,
};

enum ShiftMask : int
{
    ShiftBit = 1,
    CtrlBit = 2,
    AltBit = 4
};
enum ButtonMask : int
{
    LeftButton = 1,
    RightButton = 2,
    MiddleButton = 4
};

/** Key-state bits of mouse messages (wParam): 1 left, 2 right, 4 Shift, 8 Ctrl, 16 middle. */
enum MouseKeyState : int
{
    MkLButton = 1,
    MkRButton = 2,
    MkShift = 4,
    MkControl = 8,
    MkMButton = 16
};

/** The virtual-key number of a Qt key; 0 when it has none. */
[[nodiscard]] int FromQtKey(int qtKey);

/** The virtual-key number of a key event. */
[[nodiscard]] int FromKeyEvent(const QKeyEvent* event);

/** The shift mask of a modifier set. */
[[nodiscard]] int ShiftFromModifiers(Qt::KeyboardModifiers modifiers);

/** The button mask of a button set. */
[[nodiscard]] int ButtonsFromQt(Qt::MouseButtons buttons);

/** The mouse-message key state of a button and modifier set. */
[[nodiscard]] int MouseKeyStateFromQt(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

} // namespace KeyCodes
} // namespace brenlow
