// Turns Qt's input events into the inputs of the button's behaviour.
#include "controls/button/ButtonTooltip.h"
#include "controls/button/glintbutton.h"
#include "controls/common/ControlGuard.h"
#include "controls/common/KeyCodes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcutEvent>

using namespace brenlow;

namespace {

int buttonCode(Qt::MouseButton b)
{
    return KeyCodes::ButtonsFromQt(b);
}

int shiftCode(Qt::KeyboardModifiers m)
{
    return KeyCodes::ShiftFromModifiers(m);
}

/** Keeps the pointer position of the event being handled for the duration of a handler, unless
 *  the handler's events deleted the button. */
class PointerScope
{
public:
    PointerScope(const QObject* control, std::optional<QPoint>& slot, QPoint p)
        : m_alive(control), m_slot(slot)
    {
        m_slot = p;
    }
    ~PointerScope()
    {
        if (m_alive)
            m_slot.reset();
    }
    Q_DISABLE_COPY_MOVE(PointerScope)

private:
    const ControlGuard m_alive;
    std::optional<QPoint>& m_slot;
};

} // namespace

void glintbutton::mousePressEvent(QMouseEvent* event)
{
    PointerScope scope(this, m_pointer, event->position().toPoint());
    const QPointF p = event->position();
    m_behavior.MouseDown(buttonCode(event->button()), shiftCode(event->modifiers()), float(p.x()),
                         float(p.y()));
}

void glintbutton::mouseReleaseEvent(QMouseEvent* event)
{
    const ControlGuard alive(this);
    {
        PointerScope scope(this, m_pointer, event->position().toPoint());
        const QPointF p = event->position();
        m_behavior.MouseUp(buttonCode(event->button()), shiftCode(event->modifiers()), float(p.x()),
                           float(p.y()));
    }
    if (!alive)
        return;
    // A capture taken by a double click ends with the button; an explicit grab would otherwise
    // keep the mouse from every other window.
    if (event->buttons() == Qt::NoButton && !m_behavior.SpaceDown())
        ReleaseMouse();
}

void glintbutton::mouseMoveEvent(QMouseEvent* event)
{
    const ControlGuard alive(this);
    PointerScope scope(this, m_pointer, event->position().toPoint());
    m_behavior.MouseMove();
    if (!alive)
        return;
    if (m_tooltip && m_tooltip->isVisible())
        m_tooltip->Follow(event->globalPosition().toPoint());
}

void glintbutton::mouseDoubleClickEvent(QMouseEvent* event)
{
    PointerScope scope(this, m_pointer, event->position().toPoint());
    m_behavior.DoubleClick();
}

void glintbutton::keyPressEvent(QKeyEvent* event)
{
    const int code = KeyCodes::FromKeyEvent(event);
    // Holding the space bar presses the button once; its repeats would flip a check button on
    // every repeat.
    if (code == KeyCodes::Space && event->isAutoRepeat() && m_behavior.SpaceDown())
        return;
    const ControlGuard alive(this);
    m_behavior.KeyDown(code, shiftCode(event->modifiers()));
    if (!alive)
        return;
    const QString text = event->text();
    if (!text.isEmpty() && !(event->modifiers() & Qt::AltModifier))
        m_behavior.KeyPress(text.at(0).unicode());
}

void glintbutton::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat())
        return;
    m_behavior.KeyUp(KeyCodes::FromKeyEvent(event), shiftCode(event->modifiers()));
}

void glintbutton::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_behavior.FocusIn();
    // The focus marks show from the next redraw on.
    invalidate();
}

void glintbutton::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    m_behavior.FocusOut();
    ReleaseMouse();
}

void glintbutton::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The button shows its own tooltip, not the container's.
    QWidget::setToolTip(QString());
    startInterception();
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
    case QEvent::Shortcut: {
        auto* se = static_cast<QShortcutEvent*>(event);
        if (se->shortcutId() == m_shortcutId) {
            m_behavior.AccessKeyPressed(m_accessKey.unicode());
            return true;
        }
        if (se->shortcutId() == m_enterId || se->shortcutId() == m_keypadEnterId) {
            m_behavior.AccessKeyPressed(KeyCodes::Return);
            return true;
        }
        if (se->shortcutId() == m_escapeId) {
            m_behavior.AccessKeyPressed(KeyCodes::Escape);
            return true;
        }
        break;
    }
    case QEvent::ShortcutOverride: {
        // With the focus a button takes Enter itself (its key-down clicks it), before the default
        // button of the window can.
        auto* ke = static_cast<QKeyEvent*>(event);
        const auto mods = ke->modifiers() & ~Qt::KeypadModifier;
        if ((ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) && mods == Qt::NoModifier) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::ToolTip:
        return true; // our own tooltip window does this
    case QEvent::PaletteChange:
        invalidate();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void glintbutton::startInterception()
{
    // The container window may change while the button is hidden; follow it.
    QWidget* top = window();
    if (m_subclass && top == m_container)
        return;
    stopInterception();
    m_subclass =
        std::make_unique<Subclasser>(QStringLiteral("glintbutton"), static_cast<SubclassCallback*>(this));
    if (m_subclass->sc_Subclass(this)) {
        m_subclass->zAddMsg(Msg::MouseLeave);
        m_subclass->zAddMsg(Msg::ThemeChanged);
        m_subclass->zAddMsg(Msg::SysColorChange);
    }
    m_container = top;
    if (top && top != this && m_subclass->sc_Subclass(top))
        m_subclass->zAddMsg(Msg::Activate);
}

void glintbutton::stopInterception()
{
    // Dropping the service removes its interceptions quietly, also while the container is being
    // destroyed.
    m_subclass.reset();
    m_container = nullptr;
}

void glintbutton::Subclass_WndProc(bool, bool&, qintptr&, QWidget* lHwnd, int uMsg, qintptr wParam, qintptr)
{
    // The messages are only watched, never taken from the widget.
    switch (uMsg) {
    case Msg::MouseLeave:
        if (lHwnd == this) {
            const ControlGuard alive(this);
            m_behavior.MouseLeft();
            if (!alive)
                return;
            if (m_tooltip)
                m_tooltip->hide();
        }
        break;
    case Msg::Activate:
        if (lHwnd == m_container) {
            const bool active = LowWord(wParam) != 0;
            m_behavior.ContainerActivated(active);
            if (!active)
                ReleaseMouse();
        }
        break;
    case Msg::ThemeChanged:
    case Msg::SysColorChange:
        invalidate();
        break;
    default:
        break;
    }
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

void glintbutton::updateDialogKeys()
{
    for (int* id : {&m_enterId, &m_keypadEnterId, &m_escapeId}) {
        if (*id != 0)
            releaseShortcut(*id);
        *id = 0;
    }
    if (m_displayAsDefault) {
        m_enterId = grabShortcut(QKeySequence(Qt::Key_Return));
        m_keypadEnterId = grabShortcut(QKeySequence(Qt::Key_Enter));
    }
    if (m_cancel)
        m_escapeId = grabShortcut(QKeySequence(Qt::Key_Escape));
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
    case 4: // the old icon pointer, an arrow on current systems
        setCursor(Qt::ArrowCursor);
        break;
    case 5: // the old size pointer, the four-way arrow
        setCursor(Qt::SizeAllCursor);
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
