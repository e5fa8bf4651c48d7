#pragma once

#include <functional>

class QAccessibleEvent;

namespace brenlow::Accessibility {

/** Sees every event the controls announce, before Qt hands it on. */
using Watcher = std::function<void(QAccessibleEvent*)>;

/** Hands an event of a control to assistive technology (through Qt, which drops it while none
 *  listens). */
void Announce(QAccessibleEvent* event);

/** Installs a watcher of the announced events and returns the one before it. Qt passes nothing on
 *  where the platform has no accessibility (the offscreen one), so tests watch here. */
Watcher SetWatcher(Watcher watcher);

} // namespace brenlow::Accessibility
