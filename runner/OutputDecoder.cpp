#include "runner/OutputDecoder.h"

#include <QStringDecoder>

namespace brenlow {
namespace {

// How many bytes the sequence led by this byte takes; 0 for a byte that leads none.
int sequenceLength(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Where a sequence that may still be completed by later bytes begins, or size when there is none.
qsizetype unfinishedTail(QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes.at(size - back));
        if (isContinuation(byte))
            continue;
        const int length = sequenceLength(byte);
        return length > back ? size - back : size;
    }
    return size;
}

// UTF-8 to text keeping every character, a U+FEFF at the start of a piece included: Qt's own
// conversion takes that for a byte order mark and drops it.
QString toText(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder(bytes);
}

} // namespace

QString OutputDecoder::Decode(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    // Qt's stateless decoder sees complete input only; the held-back tail is put in front of the
    // next piece, so each call decodes what one call over the whole output would have.
    QByteArray joined;
    QByteArrayView whole = bytes;
    if (!m_held.isEmpty()) {
        joined = m_held + bytes.toByteArray();
        whole = joined;
    }
    const qsizetype cut = unfinishedTail(whole);
    QString text = toText(whole.first(cut));
    m_held = whole.sliced(cut).toByteArray();
    return text;
}

QString OutputDecoder::Flush()
{
    const QString text = toText(m_held);
    m_held.clear();
    return text;
}

} // namespace brenlow
