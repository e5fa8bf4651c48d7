#pragma once

#include <QObject>
#include <QPointer>

namespace brenlow {

/** Watches a control across a step that may run a nested event loop or pump events: an event whose
 *  handler opens a message box, a drop-down menu, a pass of pending events. Anything may happen
 *  meanwhile, the control's deletion included (a window closing with WA_DeleteOnClose, a handler
 *  or timer that deletes it). A step that finds its control gone ends at once, touching nothing of
 *  it:
 *
 *      const ControlGuard alive(this);
 *      emit Click();
 *      if (!alive)
 *          return;
 *
 *  The guard lives on the stack, so it outlives the control it watches. */
class ControlGuard final
{
public:
    explicit ControlGuard(const QObject* control) : m_control(control) {}
    Q_DISABLE_COPY_MOVE(ControlGuard)

    /** The control still exists. */
    [[nodiscard]] bool Alive() const { return !m_control.isNull(); }
    explicit operator bool() const { return Alive(); }

private:
    QPointer<const QObject> m_control;
};

/** Lets pending events run once, as the controls do before some of their events; false when
 *  `control` was deleted meanwhile. */
[[nodiscard]] bool PumpEvents(const QObject* control);

} // namespace brenlow
