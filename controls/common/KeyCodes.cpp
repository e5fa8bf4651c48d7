#include "controls/common/KeyCodes.h"

#include <QKeyEvent>

namespace brenlow::KeyCodes {

int FromQtKey(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey; // 65..90, the same numbers
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return qtKey; // 48..57
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return F1 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Return;
    case Qt::Key_Shift:
        return Shift;
    case Qt::Key_Control:
        return Control;
    case Qt::Key_Alt:
        return Menu;
    case Qt::Key_Escape:
        return Escape;
    case Qt::Key_Space:
        return Space;
    case Qt::Key_PageUp:
        return Prior;
    case Qt::Key_PageDown:
        return Next;
    case Qt::Key_End:
        return End;
    case Qt::Key_Home:
        return Home;
    case Qt::Key_Left:
        return Left;
    case Qt::Key_Up:
        return Up;
    case Qt::Key_Right:
        return Right;
    case Qt::Key_Down:
        return Down;
    case Qt::Key_Insert:
        return Insert;
    case Qt::Key_Delete:
        return Delete;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Print:
        return 44;
    case Qt::Key_NumLock:
        return 144;
    case Qt::Key_ScrollLock:
        return 145;
    case Qt::Key_Semicolon:
        return 186;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return 187;
    case Qt::Key_Comma:
        return 188;
    case Qt::Key_Minus:
        return 189;
    case Qt::Key_Period:
        return 190;
    case Qt::Key_Slash:
        return 191;
    default:
        return 0;
    }
}

int FromKeyEvent(const QKeyEvent* event)
{
    if (!event)
        return 0;
    // The number pad's digits keep their own numbers (96..105), as the keyboard reports them.
    if ((event->modifiers() & Qt::KeypadModifier) && event->key() >= Qt::Key_0 && event->key() <= Qt::Key_9)
        return 96 + (event->key() - Qt::Key_0);
    return FromQtKey(event->key());
}

int ShiftFromModifiers(Qt::KeyboardModifiers modifiers)
{
    int s = 0;
    if (modifiers & Qt::ShiftModifier)
        s |= ShiftBit;
    if (modifiers & Qt::ControlModifier)
        s |= CtrlBit;
    if (modifiers & Qt::AltModifier)
        s |= AltBit;
    return s;
}

int ButtonsFromQt(Qt::MouseButtons buttons)
{
    int b = 0;
    if (buttons & Qt::LeftButton)
        b |= LeftButton;
    if (buttons & Qt::RightButton)
        b |= RightButton;
    if (buttons & Qt::MiddleButton)
        b |= MiddleButton;
    return b;
}

int MouseKeyStateFromQt(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    int k = 0;
    if (buttons & Qt::LeftButton)
        k |= MkLButton;
    if (buttons & Qt::RightButton)
        k |= MkRButton;
    if (buttons & Qt::MiddleButton)
        k |= MkMButton;
    if (modifiers & Qt::ShiftModifier)
        k |= MkShift;
    if (modifiers & Qt::ControlModifier)
        k |= MkControl;
    return k;
}

} // namespace brenlow::KeyCodes
