#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

namespace brenlow {

/** A millisecond tick counter. Controls that measure time between user actions read it through
 *  this interface, so tests can move time on instead of waiting. */
class Clock
{
public:
    virtual ~Clock() = default;

    /** Milliseconds since an arbitrary start; never goes back. */
    [[nodiscard]] virtual qint64 TickCount() const = 0;

    /** The process-wide steady clock. */
    static Clock& steady();
};

/** The monotonic clock of the host. */
class SteadyClock final : public Clock
{
public:
    SteadyClock() { m_timer.start(); }
    [[nodiscard]] qint64 TickCount() const override { return m_timer.elapsed(); }

private:
    QElapsedTimer m_timer;
};

/** A clock that only moves when told to. */
class ManualClock final : public Clock
{
public:
    [[nodiscard]] qint64 TickCount() const override { return m_now; }
    void Advance(qint64 ms) { m_now += ms; }

private:
    qint64 m_now = 100000;
};

} // namespace brenlow
