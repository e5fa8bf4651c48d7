#include "Output.h"

#include <QThread>

#include <cerrno>
#include <unistd.h>

namespace brenlow::tool {
namespace {

void writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return; // the reader is gone; nothing sensible to do
        }
        p += n;
        left -= n;
    }
}

QString twoDigits(qint64 v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

QString formatSeconds(double seconds)
{
    const qint64 s = static_cast<qint64>(seconds + 0.5);
    if (s >= 3600)
        return QStringLiteral("%1:%2:%3").arg(twoDigits(s / 3600), twoDigits(s / 60 % 60), twoDigits(s % 60));
    return QStringLiteral("%1:%2").arg(twoDigits(s / 60), twoDigits(s % 60));
}

} // namespace

void Output::line(const QString& text) const
{
    writeAll(STDOUT_FILENO, text.toUtf8() + m_eol);
}

void Output::errorLine(const QString& text) const
{
    writeAll(STDERR_FILENO, text.toUtf8() + m_eol);
}

void Output::raw(const QByteArray& bytes) const
{
    writeAll(STDOUT_FILENO, bytes);
}

void Output::rawError(const QByteArray& bytes) const
{
    writeAll(STDERR_FILENO, bytes);
}

QString FormatBytes(double bytes)
{
    static const char* const units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
    int unit = 0;
    while (bytes >= 1024.0 && unit < 4) {
        bytes /= 1024.0;
        ++unit;
    }
    return QStringLiteral("%1%2").arg(bytes, 0, 'f', 2).arg(QLatin1String(units[unit]));
}

QString ProgressLine(qint64 done, qint64 total, double bytesPerSecond)
{
    const double percent = total > 0 ? 100.0 * static_cast<double>(done) / static_cast<double>(total) : 0.0;
    const QString speed = bytesPerSecond > 0 ? FormatBytes(bytesPerSecond) + QStringLiteral("/s")
                                             : QStringLiteral("Unknown speed");
    const QString eta = bytesPerSecond > 0 ? formatSeconds(static_cast<double>(total - done) / bytesPerSecond)
                                           : QStringLiteral("Unknown");
    return QStringLiteral("[download] %1% of %2 at %3 ETA %4")
        .arg(percent, 5, 'f', 1)
        .arg(FormatBytes(static_cast<double>(total)))
        .arg(speed, 10)
        .arg(eta);
}

QString FinishedLine(qint64 total, double seconds)
{
    return QStringLiteral("[download] 100% of %1 in %2")
        .arg(FormatBytes(static_cast<double>(total)), formatSeconds(seconds));
}

void SleepMs(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

} // namespace brenlow::tool
