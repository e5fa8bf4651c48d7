#pragma once

#include <QByteArray>
#include <QString>

namespace brenlow::tool {

/** Unbuffered writes to the standard output and error, so the order of both on a shared pipe is the
 *  order of the calls; lines end in CR LF unless the video asks for LF. */
class Output
{
public:
    void setLineEnd(const QByteArray& eol) { m_eol = eol; }
    void line(const QString& text) const;         // stdout, with a line end
    void errorLine(const QString& text) const;    // stderr, with a line end
    void raw(const QByteArray& bytes) const;      // stdout, as is
    void rawError(const QByteArray& bytes) const; // stderr, as is
    [[nodiscard]] const QByteArray& lineEnd() const { return m_eol; }

private:
    QByteArray m_eol = "\r\n";
};

/** "154.13KiB", "10.00MiB": sizes the way the real tool prints them. */
[[nodiscard]] QString FormatBytes(double bytes);
/** "[download]  45.3% of 10.00MiB at  1.00MiB/s ETA 00:05" (no line end). */
[[nodiscard]] QString ProgressLine(qint64 done, qint64 total, double bytesPerSecond);
/** "[download] 100% of 10.00MiB in 00:10". */
[[nodiscard]] QString FinishedLine(qint64 total, double seconds);

void SleepMs(int ms);

} // namespace brenlow::tool
