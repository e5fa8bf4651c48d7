#include "runner/DeliveryPump.h"

#include <QPointer>

#include <algorithm>
#include <cstring>
#include <utility>

namespace brenlow {

DeliveryPump::DeliveryPump(OutputSource& source, const Clock& clock, QObject* parent)
    : QObject(parent), m_source(source), m_clock(clock)
{
    m_timer.setInterval(PollingInterval);
    connect(&m_timer, &QTimer::timeout, this, &DeliveryPump::Tick);
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    connect(&m_soon, &QTimer::timeout, this, &DeliveryPump::Tick);
    m_grace.setSingleShot(true);
    m_grace.setTimerType(Qt::PreciseTimer); // a coarse timer may come early, and the deadline is checked
    connect(&m_grace, &QTimer::timeout, this, &DeliveryPump::Tick);
}

void DeliveryPump::Start()
{
    Stop();
    m_decoder = OutputDecoder();
    m_active = true;
    m_timer.start(PollingInterval);
}

void DeliveryPump::Stop()
{
    m_active = false;
    m_exited = false;
    m_ending = false;
    m_flushed = false;
    m_graceDeadline = -1;
    m_timer.stop();
    m_soon.stop();
    m_grace.stop();
    m_text = QString();
    m_textHead = 0;
}

void DeliveryPump::ToolExited()
{
    if (!m_active)
        return;
    m_exited = true;
    m_source.Fill();
    checkEnd();
    askForTick();
}

void DeliveryPump::Wake()
{
    if (!m_active)
        return;
    checkEnd();
    if (outputOver() || m_source.Size() >= PromptBytes)
        askForTick();
}

void DeliveryPump::askForTick()
{
    if (!m_soon.isActive())
        m_soon.start();
}

void DeliveryPump::checkEnd()
{
    if (outputOver())
        return;
    const qint64 now = m_clock.TickCount();
    // The grace period is for something the tool left holding the pipe without writing: it starts
    // only once everything the tool wrote has been read.
    if (m_exited && m_graceDeadline < 0 && m_source.PipeEmpty()) {
        m_graceDeadline = now + GracePeriod;
        m_grace.start(GracePeriod);
    }
    if (m_graceDeadline >= 0 && !m_ending && now >= m_graceDeadline) {
        m_ending = true;
        emit GraceOver();
        // What the holders wrote before they ended is still read to its last byte.
        m_source.Fill();
    }
    if (m_ending && !outputOver() && m_source.PipeEmpty())
        m_source.Close();
}

bool DeliveryPump::hasPending() const
{
    return m_textHead < m_text.size() || m_source.Size() > 0 || (outputOver() && !m_flushed);
}

bool DeliveryPump::takeText()
{
    // Decoded in slices of what was read; the decoder keeps a character cut at the edge for the next.
    m_text.clear();
    m_textHead = 0;
    if (m_source.Size() > 0) {
        const QByteArrayView bytes = m_source.Front(DecodeBytes);
        m_text = m_decoder.Decode(bytes);
        // A NUL marks the end of a chunk's text, so the tool's own NUL bytes must not be taken for
        // one: what follows them would be lost.
        if (std::memchr(bytes.data(), 0, static_cast<size_t>(bytes.size())) != nullptr)
            m_text.replace(QChar(0), QChar::ReplacementCharacter);
        m_source.Drop(bytes.size());
        return true;
    }
    if (outputOver() && !m_flushed) {
        // What is left of a sequence the tool never finished.
        m_flushed = true;
        m_text = m_decoder.Flush();
        return true;
    }
    return false;
}

void DeliveryPump::Tick()
{
    if (m_delivering)
        return; // a handler has entered an event loop; the tick under way goes on when it returns
    if (!m_active) {
        m_timer.stop();
        return;
    }
    m_source.Fill();
    checkEnd();

    const QPointer<DeliveryPump> self(this);
    const qint64 started = m_clock.TickCount();
    bool raised = false;
    qsizetype handed = 0;
    m_delivering = true;

    // One chunk text serves the whole tick; it is copied afresh only when a handler kept it.
    QString chunk;
    int sinceClock = 0;
    while (handed < TickCharacters) {
        if (++sinceClock == ClockEvery) {
            sinceClock = 0;
            if (m_clock.TickCount() - started >= TickMilliseconds)
                break;
        }
        if (m_textHead >= m_text.size()) {
            if (!takeText())
                break;
            continue;
        }
        qsizetype length = std::min<qsizetype>(ChunkSize, m_text.size() - m_textHead);
        // A character outside the basic plane stays in one chunk.
        if (length == ChunkSize && m_text.at(m_textHead + length - 1).isHighSurrogate() &&
            m_textHead + length < m_text.size())
            --length;
        chunk.resize(ChunkSize);
        QChar* out = chunk.data();
        std::copy_n(m_text.constData() + m_textHead, length, out);
        std::fill(out + length, out + ChunkSize, QChar(0));
        m_textHead += length;
        handed += length;
        if (!std::exchange(raised, true)) {
            emit Converting();
            if (self.isNull())
                return;
        }
        emit DataOutput(chunk);
        if (self.isNull())
            return;
    }

    m_delivering = false;
    if (hasPending()) {
        askForTick();
        return;
    }
    if (!m_exited || !outputOver())
        return;
    if (!raised) {
        // The tick that finds the output over still raises its (empty) chunk.
        m_delivering = true;
        emit Converting();
        if (self.isNull())
            return;
        QString empty(ChunkSize, QChar(0));
        emit DataOutput(empty);
        if (self.isNull())
            return;
        m_delivering = false;
    }
    Stop();
    emit Finished();
}

} // namespace brenlow
