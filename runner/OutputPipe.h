#pragma once

#include "runner/OutputSource.h"

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace brenlow {

/** The pipe a run's output comes through, with a ring of the bytes read but not yet taken. It reads
 *  only while the ring has room, so a tool that writes faster than its output is taken comes to
 *  wait in its writes instead of the output piling up in memory. */
class OutputPipe final : public QObject, public OutputSource
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OutputPipe)

public:
    /** capacity: the most bytes held in the ring. */
    explicit OutputPipe(qsizetype capacity, QObject* parent = nullptr);
    ~OutputPipe() override;

    /** Opens a fresh pipe (closing any earlier one) and returns its write end, a close-on-exec
     *  descriptor above the standard three, for the caller to hand to the child and then close; -1
     *  when no pipe could be made. */
    [[nodiscard]] int Open();
    [[nodiscard]] bool IsOpen() const { return m_fd >= 0; }
    /** Forgets what is held and frees the ring. */
    void Reset();

    void Fill() override;
    [[nodiscard]] qsizetype Size() const override { return m_count; }
    [[nodiscard]] QByteArrayView Front(qsizetype max) const override;
    void Drop(qsizetype n) override;
    [[nodiscard]] bool AtEnd() const override { return m_ended; }
    [[nodiscard]] bool PipeEmpty() const override { return m_empty; }
    void Close() override;

signals:
    /** Bytes arrived in the ring, or the pipe ended. */
    void Readable();

private:
    void onActivated();

    qsizetype m_capacity;
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr; // a child, while the pipe is open
    std::unique_ptr<char[]> m_ring;        // allocated on the first read of a run
    qsizetype m_head = 0;                  // where the oldest byte is
    qsizetype m_count = 0;
    bool m_ended = false;
    bool m_empty = false;
};

} // namespace brenlow
