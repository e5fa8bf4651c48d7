#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace brenlow {

/** Where a run's output bytes wait to be delivered: the pipe and the bytes already read from it.
 *  The delivery pump takes bytes from the front; the pipe is the real one, tests script their own. */
class OutputSource
{
public:
    virtual ~OutputSource() = default;

    /** Reads what the pipe holds, as far as there is room for it. */
    virtual void Fill() = 0;
    /** Bytes read and not yet taken. */
    [[nodiscard]] virtual qsizetype Size() const = 0;
    /** The oldest bytes held, in one piece: at most max, and possibly fewer than Size(). */
    [[nodiscard]] virtual QByteArrayView Front(qsizetype max) const = 0;
    /** Forgets the first n bytes held. */
    virtual void Drop(qsizetype n) = 0;
    /** The pipe has ended (all its writers closed it) or was closed; nothing more comes. */
    [[nodiscard]] virtual bool AtEnd() const = 0;
    /** The last Fill found the pipe empty (not merely stopped for want of room). */
    [[nodiscard]] virtual bool PipeEmpty() const = 0;
    /** Closes the pipe; what is held stays to be taken. */
    virtual void Close() = 0;
};

} // namespace brenlow
