#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace brenlow::fuzz {

/** Reads a fuzzer's bytes as the parts a parser takes: small numbers and texts. Texts come either
 *  from UTF-8 (invalid sequences become replacement characters, as when the tool's output is
 *  decoded) or as raw UTF-16 units (lone surrogates, NULs and all), chosen by the first byte. */
class Input
{
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size)
    {
        if (m_size > 0) {
            m_utf16 = (m_data[0] & 1) != 0;
            ++m_data;
            --m_size;
        }
    }

    [[nodiscard]] bool empty() const { return m_size == 0; }

    /** The next byte, or 0 at the end. */
    uint8_t byte()
    {
        if (m_size == 0)
            return 0;
        const uint8_t b = *m_data++;
        --m_size;
        return b;
    }

    /** The next four bytes as a signed number. */
    int32_t int32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 8) | byte();
        int32_t r;
        std::memcpy(&r, &v, sizeof r);
        return r;
    }

    /** The text up to the next separator byte (0x1F) or the end. */
    QString text()
    {
        size_t n = 0;
        while (n < m_size && m_data[n] != 0x1F)
            ++n;
        QString s = decode(m_data, n);
        const size_t used = n < m_size ? n + 1 : n;
        m_data += used;
        m_size -= used;
        return s;
    }

    /** Everything left as one text. */
    QString rest()
    {
        QString s = decode(m_data, m_size);
        m_data += m_size;
        m_size = 0;
        return s;
    }

private:
    QString decode(const uint8_t* p, size_t n) const
    {
        if (!m_utf16)
            return QString::fromUtf8(reinterpret_cast<const char*>(p), static_cast<qsizetype>(n));
        QString s(static_cast<qsizetype>(n / 2), Qt::Uninitialized);
        for (size_t i = 0; i + 1 < n; i += 2)
            s[static_cast<qsizetype>(i / 2)] = QChar(static_cast<char16_t>(p[i] | (p[i + 1] << 8)));
        return s;
    }

    const uint8_t* m_data;
    size_t m_size;
    bool m_utf16 = false;
};

/** Stops the run with a message when an invariant does not hold, so the fuzzer reports it. */
#define BRENLOW_FUZZ_CHECK(cond)                                                                             \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            fprintf(stderr, "check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);                        \
            abort();                                                                                         \
        }                                                                                                    \
    } while (0)

} // namespace brenlow::fuzz
