// Turns Qt's input events into the inputs of the button's behaviour.
#include "controls/button/ButtonTooltip.h"
#include "controls/button/glintbutton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcutEvent>

using namespace brenlow;

namespace {

int buttonCode(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton:
        return LeftButton;
    case Qt::RightButton:
        return RightButton;
    case Qt::MiddleButton:
        return MiddleButton;
    default:
        return 0;
    }
}

int shiftCode(Qt::KeyboardModifiers m)
{
    int s = 0;
    if (m & Qt::ShiftModifier)
        s |= ShiftMask;
    if (m & Qt::ControlModifier)
        s |= CtrlMask;
    if (m & Qt::AltModifier)
        s |= AltMask;
    return s;
}

/** The classic virtual-key code of a Qt key (letters and digits as their upper-case character). */
int keyCode(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        break;
    }
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    return key & 0xFFFF;
}

/** Keeps the pointer position of the event being handled for the duration of a handler. */
class PointerScope
{
public:
    PointerScope(std::optional<QPoint>& slot, QPoint p) : m_slot(slot) { m_slot = p; }
    ~PointerScope() { m_slot.reset(); }

private:
    std::optional<QPoint>& m_slot;
};

} // namespace

void glintbutton::mousePressEvent(QMouseEvent* event)
{
    PointerScope scope(m_pointer, event->position().toPoint());
    const QPointF p = event->position();
    m_behavior.MouseDown(buttonCode(event->button()), shiftCode(event->modifiers()), float(p.x()),
                         float(p.y()));
}

void glintbutton::mouseReleaseEvent(QMouseEvent* event)
{
    PointerScope scope(m_pointer, event->position().toPoint());
    const QPointF p = event->position();
    m_behavior.MouseUp(buttonCode(event->button()), shiftCode(event->modifiers()), float(p.x()),
                       float(p.y()));
}

void glintbutton::mouseMoveEvent(QMouseEvent* event)
{
    PointerScope scope(m_pointer, event->position().toPoint());
    m_behavior.MouseMove();
    if (m_tooltip && m_tooltip->isVisible())
        m_tooltip->Follow(event->globalPosition().toPoint());
}

void glintbutton::mouseDoubleClickEvent(QMouseEvent* event)
{
    PointerScope scope(m_pointer, event->position().toPoint());
    m_behavior.DoubleClick();
}

void glintbutton::keyPressEvent(QKeyEvent* event)
{
    const int code = keyCode(event->key());
    m_behavior.KeyDown(code, shiftCode(event->modifiers()));
    const QString text = event->text();
    if (!text.isEmpty() && !(event->modifiers() & Qt::AltModifier))
        m_behavior.KeyPress(text.at(0).unicode());
}

void glintbutton::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat())
        return;
    m_behavior.KeyUp(keyCode(event->key()), shiftCode(event->modifiers()));
}

void glintbutton::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_behavior.FocusIn();
    // The focus marks show from the next redraw on.
    redraw();
}

void glintbutton::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    m_behavior.FocusOut();
}

void glintbutton::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The button shows its own tooltip, not the container's.
    QWidget::setToolTip(QString());
    watchContainer();
}

void glintbutton::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    QWidget::setToolTip(m_p.ToolTip);
    if (m_tooltip)
        m_tooltip->hide();
}

bool glintbutton::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Leave:
        m_behavior.MouseLeft();
        if (m_tooltip)
            m_tooltip->hide();
        break;
    case QEvent::Shortcut: {
        auto* se = static_cast<QShortcutEvent*>(event);
        if (se->shortcutId() == m_shortcutId) {
            m_behavior.AccessKeyPressed(m_accessKey.unicode());
            return true;
        }
        break;
    }
    case QEvent::ToolTip:
        return true; // our own tooltip window does this
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        redraw();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool glintbutton::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_container) {
        if (event->type() == QEvent::WindowActivate)
            m_behavior.ContainerActivated(true);
        else if (event->type() == QEvent::WindowDeactivate)
            m_behavior.ContainerActivated(false);
    }
    return QWidget::eventFilter(watched, event);
}

void glintbutton::watchContainer()
{
    QWidget* top = window();
    if (top == m_container)
        return;
    if (m_container)
        m_container->removeEventFilter(this);
    m_container = top;
    if (top && top != this)
        top->installEventFilter(this);
}

void glintbutton::updateAccessKey()
{
    if (m_shortcutId != 0)
        releaseShortcut(m_shortcutId);
    m_shortcutId = 0;
    m_accessKey = AccessKeyOf(m_p.Caption);
    if (m_accessKey.isNull())
        return;
    const QChar upper = m_accessKey.toUpper();
    m_shortcutId = grabShortcut(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(upper.unicode()))));
}

void glintbutton::applyCursor()
{
    if (m_p.HandPointer) {
        setCursor(Qt::PointingHandCursor);
        return;
    }
    switch (m_p.MousePointer) {
    case 0:
        unsetCursor();
        break;
    case 99:
        if (!m_p.MouseIcon.isNull())
            setCursor(QCursor(QPixmap::fromImage(m_p.MouseIcon)));
        else
            unsetCursor();
        break;
    case 1:
        setCursor(Qt::ArrowCursor);
        break;
    case 2:
        setCursor(Qt::CrossCursor);
        break;
    case 3:
        setCursor(Qt::IBeamCursor);
        break;
    case 6:
        setCursor(Qt::SizeBDiagCursor);
        break;
    case 7:
        setCursor(Qt::SizeVerCursor);
        break;
    case 8:
        setCursor(Qt::SizeFDiagCursor);
        break;
    case 9:
        setCursor(Qt::SizeHorCursor);
        break;
    case 10:
        setCursor(Qt::UpArrowCursor);
        break;
    case 11:
        setCursor(Qt::WaitCursor);
        break;
    case 12:
        setCursor(Qt::ForbiddenCursor);
        break;
    case 13:
        setCursor(Qt::BusyCursor);
        break;
    case 14:
        setCursor(Qt::WhatsThisCursor);
        break;
    case 15:
        setCursor(Qt::SizeAllCursor);
        break;
    default:
        unsetCursor();
        break;
    }
}
