// The runner's side of a run's output: reading the pipe, handing the text over tick by tick, and
// the end of the run.
#include "runner/AVC.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

// One tick hands over at most this much output, and stops early once it has held the event loop
// this long; the rest follows on the next turn of the loop.
constexpr qsizetype kTickBytes = 256 * 1024;
constexpr qint64 kTickNanoseconds = 20'000'000;
// This much waiting calls for a tick before the polling timer's next one.
constexpr qsizetype kPromptBytes = 64 * 1024;
constexpr qsizetype kReadSize = 64 * 1024;
// Decoded this much at a time, so that the text buffer is small and reused.
constexpr qsizetype kDecodeBytes = 32 * 1024;
// The clock is read once every so many chunks.
constexpr int kChunksPerClockRead = 16;

} // namespace

void AVC::onReadable()
{
    readAvailable();
    if (m_outputOver || pendingBytes() >= kPromptBytes)
        askForTick();
}

void AVC::readAvailable()
{
    while (m_readFd >= 0) {
        const qsizetype room = MaxPendingBytes - pendingBytes();
        if (room <= 0) {
            // Full: the pipe fills next and the tool waits, until a tick has handed some over.
            m_readable->setEnabled(false);
            return;
        }
        // The ring's free part may wrap around its end: one read fills the part up to the end.
        const qsizetype at = (m_bytesHead + m_bytesCount) % MaxPendingBytes;
        const qsizetype want = std::min({room, kReadSize, MaxPendingBytes - at});
        const ssize_t got = ::read(m_readFd, m_bytes.get() + at, static_cast<size_t>(want));
        const int error = errno;
        m_bytesCount += std::max<ssize_t>(got, 0);
        if (got > 0 || (got < 0 && error == EINTR))
            continue;
        if (got < 0 && (error == EAGAIN || error == EWOULDBLOCK))
            return;
        // The end of the pipe: everyone who held its write end has closed it (or it failed).
        closeReader();
        m_outputOver = true;
    }
}

void AVC::closeReader()
{
    if (m_readable) {
        // This may run inside the notifier's own signal: it goes once that is over.
        m_readable->setEnabled(false);
        m_readable->deleteLater();
        m_readable = nullptr;
    }
    if (m_readFd >= 0) {
        ::close(m_readFd);
        m_readFd = -1;
    }
}

void AVC::onExited()
{
    if (!m_process)
        return;
    m_lastExitCode = m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode() : -1;
    m_exited = true;
    readAvailable();
    if (!m_outputOver)
        m_grace.start();
    askForTick();
}

void AVC::onGraceOver()
{
    // Something the tool started still holds the pipe; what it has written so far is taken, the
    // rest is not waited for.
    readAvailable();
    closeReader();
    m_outputOver = true;
    askForTick();
}

void AVC::askForTick()
{
    if (!m_soon.isActive())
        m_soon.start();
}

bool AVC::hasPending() const
{
    return m_textHead < m_text.size() || pendingBytes() > 0 || (m_outputOver && !m_flushed);
}

bool AVC::takeText()
{
    // Decoded in slices of what was read; the decoder keeps a character cut at the edge for the next.
    m_text.clear();
    m_textHead = 0;
    if (m_bytesCount > 0) {
        const qsizetype take = std::min({m_bytesCount, kDecodeBytes, MaxPendingBytes - m_bytesHead});
        const char* bytes = m_bytes.get() + m_bytesHead;
        m_text = m_decoder.Decode(QByteArrayView(bytes, take));
        // A NUL marks the end of a chunk's text, so the tool's own NUL bytes must not be taken for
        // one: what follows them would be lost.
        if (std::memchr(bytes, 0, static_cast<size_t>(take)) != nullptr)
            m_text.replace(QChar(0), QChar::ReplacementCharacter);
        m_bytesHead = (m_bytesHead + take) % MaxPendingBytes;
        m_bytesCount -= take;
        if (m_readable && !m_readable->isEnabled())
            m_readable->setEnabled(true);
        return true;
    }
    if (m_outputOver && !m_flushed) {
        // What is left of a sequence the tool never finished.
        m_flushed = true;
        m_text = m_decoder.Flush();
        return true;
    }
    return false;
}

void AVC::onTick()
{
    if (m_delivering)
        return; // a handler has entered an event loop; the tick under way goes on when it returns
    if (!m_process) {
        m_timer.stop();
        return;
    }
    readAvailable();
    deliver();
}

void AVC::deliver()
{
    const QPointer<AVC> self(this);
    QElapsedTimer clock;
    clock.start();
    bool raised = false;
    qsizetype handed = 0;
    m_delivering = true;
    auto stillHere = [&] { return !self.isNull(); };

    // One chunk text serves the whole tick; it is copied afresh only when a handler kept it.
    QString chunk;
    int sinceClock = 0;
    while (handed < kTickBytes) {
        if (++sinceClock == kChunksPerClockRead) {
            sinceClock = 0;
            if (clock.nsecsElapsed() >= kTickNanoseconds)
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
            if (!stillHere())
                return;
        }
        emit DataOutput(chunk);
        if (!stillHere())
            return;
    }

    if (hasPending()) {
        m_delivering = false;
        askForTick();
        return;
    }
    if (!m_exited || !m_outputOver) {
        m_delivering = false;
        return;
    }
    if (!raised) {
        // The tick that finds the output over still raises its (empty) chunk.
        emit Converting();
        if (!stillHere())
            return;
        QString empty(ChunkSize, QChar(0));
        emit DataOutput(empty);
        if (!stillHere())
            return;
    }
    m_delivering = false;
    finishRun();
    emit Complete();
}

void AVC::finishRun()
{
    closeReader();
    m_process.reset();
    m_pgid = 0;
    m_timer.stop();
    m_soon.stop();
    m_grace.stop();
    m_bytes.reset();
    m_bytesHead = m_bytesCount = 0;
    m_text = QString();
    m_textHead = 0;
}
