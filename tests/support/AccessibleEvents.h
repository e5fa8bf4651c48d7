#pragma once

#include "controls/common/Accessibility.h"

#include <QAccessible>
#include <QAccessibleEvent>
#include <QObject>
#include <QVariant>

#include <algorithm>
#include <vector>

/** Records the accessibility events the controls announce while it lives, as assistive technology
 *  would receive them (one recorder at a time). Qt's own events (focus, enabled) are not among
 *  them: the offscreen platform passes nothing on. */
class AccessibleEvents final
{
public:
    struct Entry
    {
        QAccessible::Event type = QAccessible::InvalidEvent;
        QObject* object = nullptr;
        /** The interface the event names (a cell has no object of its own). */
        QAccessibleInterface* iface = nullptr;
        QAccessible::State changed;
        QVariant value;
        int modelChange = -1;
    };

    AccessibleEvents()
    {
        current() = this;
        m_previous = brenlow::Accessibility::SetWatcher(&AccessibleEvents::record);
    }
    ~AccessibleEvents()
    {
        brenlow::Accessibility::SetWatcher(m_previous);
        current() = nullptr;
    }
    AccessibleEvents(const AccessibleEvents&) = delete;
    AccessibleEvents& operator=(const AccessibleEvents&) = delete;

    /** How many events of a type were sent about an object (or, with object null, about any). */
    [[nodiscard]] int count(QAccessible::Event type, const QObject* object = nullptr) const
    {
        return int(std::count_if(entries.begin(), entries.end(), [&](const Entry& e) {
            return e.type == type && (!object || e.object == object);
        }));
    }
    /** The last event of a type, or null. */
    [[nodiscard]] const Entry* last(QAccessible::Event type) const
    {
        for (auto it = entries.rbegin(); it != entries.rend(); ++it)
            if (it->type == type)
                return &*it;
        return nullptr;
    }
    void clear() { entries.clear(); }

    std::vector<Entry> entries;

private:
    static AccessibleEvents*& current()
    {
        static AccessibleEvents* recorder = nullptr;
        return recorder;
    }
    static void record(QAccessibleEvent* event)
    {
        AccessibleEvents* self = current();
        if (!self)
            return;
        Entry e;
        e.type = event->type();
        e.object = event->object();
        e.iface = event->accessibleInterface();
        if (event->type() == QAccessible::StateChanged)
            e.changed = static_cast<QAccessibleStateChangeEvent*>(event)->changedStates();
        if (event->type() == QAccessible::ValueChanged)
            e.value = static_cast<QAccessibleValueChangeEvent*>(event)->value();
        if (event->type() == QAccessible::TableModelChanged)
            e.modelChange = static_cast<QAccessibleTableModelChangeEvent*>(event)->modelChangeType();
        self->entries.push_back(e);
    }

    brenlow::Accessibility::Watcher m_previous;
};
