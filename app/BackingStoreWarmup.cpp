#include "app/BackingStoreWarmup.h"

#include <QBackingStore>
#include <QEvent>
#include <QImage>
#include <QPlatformSurfaceEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdint>
#include <system_error>

#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <unistd.h>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace brenlow {

namespace {

/** Pages are written in runs of this many bytes between looks at the stop flag. */
constexpr uintptr_t Run = 256 * 1024;

} // namespace

BackingStoreWarmup::BackingStoreWarmup(QWidget* window) : QObject(window)
{
    if (!window->isWindow())
        return;
    window->winId(); // makes the native window and its backing store
    QBackingStore* store = window->backingStore();
    if (store == nullptr || window->windowHandle() == nullptr)
        return;
    store->resize(window->size());
    store->beginPaint(QRegion());
    auto* image = dynamic_cast<QImage*>(store->paintDevice());
    uchar* bits = image ? image->bits() : nullptr;
    const qsizetype length = image ? image->sizeInBytes() : 0;
    store->endPaint();
    if (bits == nullptr || length <= 0)
        return;
    window->installEventFilter(this);
    window->windowHandle()->installEventFilter(this);
    m_finished = false;
    try {
        m_thread = std::thread([this, bits, length] {
            m_finished = writePages(bits, length);
        });
    } catch (const std::system_error&) {
        // No thread: the first paint writes the pages.
    }
}

bool BackingStoreWarmup::writePages(uchar* start, qsizetype length)
{
    // Only spare processor time: the window's own work comes first.
    sched_param idle{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
    const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<uintptr_t>(start);
    const auto end = begin + static_cast<uintptr_t>(length);
    // Filling the pages in by the run costs the kernel less than a fault each; the writes that
    // follow take what is left, the first write to each page. Each leaves the bytes as they were.
    for (uintptr_t from = begin & ~(page - 1); from < end; from += Run) {
        if (m_stop.load(std::memory_order_relaxed))
            return false;
        const uintptr_t to = std::min(from + Run, (end + page - 1) & ~(page - 1));
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
        for (uintptr_t at = std::max(from, begin); at < std::min(to, end); at = (at & ~(page - 1)) + page) {
            volatile uchar* byte = reinterpret_cast<uchar*>(at);
            *byte = *byte;
        }
    }
    return true;
}

void BackingStoreWarmup::wait()
{
    m_stop.store(true, std::memory_order_relaxed);
    if (m_thread.joinable())
        m_thread.join();
}

bool BackingStoreWarmup::eventFilter(QObject* watched, QEvent* event)
{
    const bool surfaceGoes = event->type() == QEvent::PlatformSurface &&
        static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
            QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed;
    if (surfaceGoes || event->type() == QEvent::Show || event->type() == QEvent::Expose ||
        event->type() == QEvent::UpdateRequest)
        wait();
    return QObject::eventFilter(watched, event);
}

} // namespace brenlow
