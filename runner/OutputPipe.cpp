#include "runner/OutputPipe.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace brenlow {
namespace {

// A larger pipe lets the tool write on while the window is busy delivering a tick.
constexpr int kPipeSize = 1 << 20;
constexpr qsizetype kReadSize = 64 * 1024;

// A descriptor above the standard three, close-on-exec, so that the child's dup2 onto 1 and 2
// always makes fresh copies; the original is closed.
int movedAboveStandard(int fd)
{
    if (fd > STDERR_FILENO)
        return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    ::close(fd);
    return moved;
}

} // namespace

OutputPipe::OutputPipe(qsizetype capacity, QObject* parent) : QObject(parent), m_capacity(capacity) {}

OutputPipe::~OutputPipe()
{
    Close();
}

int OutputPipe::Open()
{
    Close();
    Reset();
    int fds[2] = {-1, -1};
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    const int readFd = movedAboveStandard(fds[0]);
    const int writeFd = movedAboveStandard(fds[1]);
    if (readFd < 0 || writeFd < 0) {
        for (const int fd : {readFd, writeFd}) {
            if (fd >= 0)
                ::close(fd);
        }
        return -1;
    }
    ::fcntl(readFd, F_SETPIPE_SZ, kPipeSize);
    ::fcntl(readFd, F_SETFL, ::fcntl(readFd, F_GETFL) | O_NONBLOCK);
    m_fd = readFd;
    m_ended = false;
    m_empty = false;
    m_notifier = new QSocketNotifier(readFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &OutputPipe::onActivated);
    return writeFd;
}

void OutputPipe::Reset()
{
    m_ring.reset();
    m_head = m_count = 0;
}

void OutputPipe::Close()
{
    if (m_notifier) {
        // This may run inside the notifier's own signal: it goes once that is over.
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_ended = true;
}

void OutputPipe::onActivated()
{
    const qsizetype before = m_count;
    Fill();
    if (m_count != before || m_ended)
        emit Readable();
}

void OutputPipe::Fill()
{
    while (m_fd >= 0) {
        const qsizetype room = m_capacity - m_count;
        if (room <= 0) {
            // Full: the pipe fills next and the tool waits, until some is taken.
            m_empty = false;
            m_notifier->setEnabled(false);
            return;
        }
        if (!m_ring)
            m_ring = std::make_unique_for_overwrite<char[]>(m_capacity);
        // The free part may wrap around the ring's end: one read fills the part up to the end.
        const qsizetype at = (m_head + m_count) % m_capacity;
        const qsizetype want = std::min({room, kReadSize, m_capacity - at});
        const ssize_t got = ::read(m_fd, m_ring.get() + at, static_cast<size_t>(want));
        const int error = errno;
        if (got > 0) {
            m_count += got;
            continue;
        }
        if (got < 0 && error == EINTR)
            continue;
        if (got < 0 && (error == EAGAIN || error == EWOULDBLOCK)) {
            m_empty = true;
            return;
        }
        // The end of the pipe: everyone who held its write end has closed it (or it failed).
        m_empty = true;
        Close();
    }
}

QByteArrayView OutputPipe::Front(qsizetype max) const
{
    if (m_count == 0)
        return {};
    return QByteArrayView(m_ring.get() + m_head, std::min({max, m_count, m_capacity - m_head}));
}

void OutputPipe::Drop(qsizetype n)
{
    n = std::min(n, m_count);
    m_head = (m_head + n) % m_capacity;
    m_count -= n;
    if (m_count == 0)
        m_head = 0;
    if (m_notifier && !m_notifier->isEnabled() && m_count < m_capacity)
        m_notifier->setEnabled(true);
}

} // namespace brenlow
