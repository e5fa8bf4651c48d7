#pragma once

#include <QObject>

#include <atomic>
#include <thread>

class QWidget;

namespace brenlow {

/**
 * Lays out a top-level window's backing store at once and has its pages written once on a thread
 * of its own, in processor time nothing else wants, while the caller goes on building the window.
 * A page's first write costs a fault, a dear one on a virtual machine, and the window's first paint
 * would otherwise pay for all of them: at twice the scale that is two thousand pages.
 *
 * The window must have its final size. Nothing else touches the memory while the thread runs: it
 * stops, and is waited for, when the window is shown or its native window goes, and when this
 * object goes; the first paint writes the pages it did not reach. Where the backing store draws
 * into no image in memory, nothing is done.
 */
class BackingStoreWarmup final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BackingStoreWarmup)

public:
    explicit BackingStoreWarmup(QWidget* window);
    ~BackingStoreWarmup() override { wait(); }

    /** Stops the thread and returns once it has ended. */
    void wait();
    /** True once every page has been written, or when there was nothing to do. */
    [[nodiscard]] bool finished() const { return m_finished.load(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /** Returns false when stopped before the end. */
    bool writePages(uchar* start, qsizetype length);

    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{true};
    std::thread m_thread;
};

} // namespace brenlow
