#pragma once

#include <QByteArrayView>
#include <QString>

namespace brenlow {

/** Turns the tool's output, read piece by piece, into text exactly as if it had been read in one
 *  piece: a character cut between two reads arrives whole, an invalid sequence becomes U+FFFD
 *  without taking the bytes after it along, and what is left unfinished at the end comes out as
 *  U+FFFD on Flush. Every character the tool wrote is kept, a U+FEFF included wherever it stands.
 *  The output is UTF-8, the system's 8-bit encoding here. */
class OutputDecoder final
{
public:
    /** The text of bytes, holding back a sequence cut off at its end until the next call. */
    [[nodiscard]] QString Decode(QByteArrayView bytes);
    /** The text of whatever is held back (U+FFFD for an unfinished sequence); starts afresh. */
    [[nodiscard]] QString Flush();
    /** Bytes held back from the last Decode (at most three). */
    [[nodiscard]] qsizetype Pending() const { return m_held.size(); }

private:
    QByteArray m_held;
};

} // namespace brenlow
