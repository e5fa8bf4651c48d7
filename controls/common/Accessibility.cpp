#include "controls/common/Accessibility.h"

#include <QAccessible>

#include <utility>

namespace brenlow::Accessibility {

namespace {

Watcher& watcher()
{
    static Watcher w;
    return w;
}

} // namespace

void Announce(QAccessibleEvent* event)
{
    if (watcher())
        watcher()(event);
    QAccessible::updateAccessibility(event);
}

Watcher SetWatcher(Watcher w)
{
    return std::exchange(watcher(), std::move(w));
}

} // namespace brenlow::Accessibility
