#pragma once

#include "platform/Clock.h"
#include "runner/OutputDecoder.h"
#include "runner/OutputSource.h"

#include <QObject>
#include <QString>
#include <QTimer>

namespace brenlow {

/** Hands a run's output to the owner, tick by tick, and decides when the run's output is over.
 *
 *  A tick raises Converting, then the output taken since the last tick as DataOutput chunks of
 *  ChunkSize characters (NUL-padded), each byte once and in order, decoded as one stream. A tick
 *  holds the event loop for a bounded time; when more waits, the next tick follows as soon as the
 *  loop comes round. After the tool's exit, the grace period starts once the pipe is found empty;
 *  when it runs out GraceOver asks the owner to end what still holds the pipe, and the pipe is
 *  closed once it is empty again. The tick that finds the output over and all of it delivered
 *  raises Finished (after a Converting and an empty chunk when it delivered nothing else).
 *
 *  Time comes from an injectable clock, so the rules can be driven without waiting. */
class DeliveryPump final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DeliveryPump)

public:
    /** source and clock must outlive the pump. */
    DeliveryPump(OutputSource& source, const Clock& clock, QObject* parent = nullptr);

    /** A run begins: a fresh decoder and the polling timer on. */
    void Start();
    /** The run is over or abandoned: timers off, nothing held. */
    void Stop();
    /** The tool has exited. */
    void ToolExited();
    /** New bytes wait, or the pipe ended: asks for a prompt tick when that is worth it. */
    void Wake();
    /** One tick: what the timers call. Does nothing while a tick is under way (a handler that runs
     *  an event loop of its own) or when no run is on. */
    void Tick();

    [[nodiscard]] bool IsActive() const { return m_active; }
    /** When the grace period runs out, on the clock; -1 when it has not started. */
    [[nodiscard]] qint64 GraceDeadline() const { return m_graceDeadline; }
    [[nodiscard]] QTimer& PollingTimer() { return m_timer; }

    static constexpr int ChunkSize = 256;
    static constexpr int PollingInterval = 300;
    static constexpr int GracePeriod = 2000;
    /** One tick hands over at most this many characters, and stops once it has held the loop
     *  TickMilliseconds (looked at every ClockEvery chunks). */
    static constexpr qsizetype TickCharacters = 256 * 1024;
    static constexpr qint64 TickMilliseconds = 20;
    static constexpr int ClockEvery = 16;
    /** This much waiting calls for a tick before the polling timer's next one. */
    static constexpr qsizetype PromptBytes = 64 * 1024;
    /** Bytes decoded at a time, so the text buffer stays small. */
    static constexpr qsizetype DecodeBytes = 32 * 1024;

signals:
    void Converting();
    void DataOutput(QString& strData);
    /** The grace period ran out with the pipe still held open: end its holders. */
    void GraceOver();
    /** All output delivered and over; the pump has stopped. */
    void Finished();

private:
    void askForTick();
    void checkEnd();
    [[nodiscard]] bool takeText();
    [[nodiscard]] bool hasPending() const;
    [[nodiscard]] bool outputOver() const { return m_source.AtEnd(); }

    OutputSource& m_source;
    const Clock& m_clock;
    QTimer m_timer; // the polling timer
    QTimer m_soon;  // a tick as soon as the event loop comes round
    QTimer m_grace; // wakes the pump when the grace period runs out
    OutputDecoder m_decoder;
    QString m_text; // decoded, not yet delivered, from m_textHead on
    qsizetype m_textHead = 0;
    qint64 m_graceDeadline = -1;
    bool m_active = false;
    bool m_exited = false;
    bool m_ending = false; // the grace period ran out: close once the pipe is empty
    bool m_flushed = false;
    bool m_delivering = false;
};

} // namespace brenlow
