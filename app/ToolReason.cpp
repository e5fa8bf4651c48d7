#include "app/ToolReason.h"

#include <QRegularExpression>
#include <QStringList>

namespace brenlow {

namespace {

constexpr qsizetype MaxLineLength = 300;
constexpr qsizetype TailLength = 64 * 1024;

bool isBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

QString readable(QString line)
{
    line = line.trimmed();
    if (line.size() > MaxLineLength)
        line = line.left(MaxLineLength - 3) + QStringLiteral("...");
    return line;
}

} // namespace

QString FailureReason(const QString& output, int exitCode, int maxLines)
{
    // Scanned from the end: a flood of chatter may come before the reason.
    QStringList errors;
    static const QString marker = QStringLiteral("ERROR:");
    for (qsizetype at = output.lastIndexOf(marker); at >= 0 && errors.size() < maxLines;
         at = at > 0 ? output.lastIndexOf(marker, at - 1) : -1) {
        if (at > 0 && !isBreak(output.at(at - 1)))
            continue;
        qsizetype end = at;
        while (end < output.size() && !isBreak(output.at(end)))
            ++end;
        errors.prepend(readable(output.mid(at, end - at)));
    }
    if (!errors.isEmpty())
        return errors.join(QLatin1Char('\n'));

    static const QRegularExpression lineBreak(QStringLiteral("[\r\n]+"));
    const QStringList tail = output.right(TailLength).split(lineBreak);
    QStringList last;
    for (auto it = tail.crbegin(); it != tail.crend() && last.size() < maxLines; ++it) {
        const QString line = readable(*it);
        if (!line.isEmpty() && !line.contains(QChar(0)))
            last.prepend(line);
    }
    if (!last.isEmpty())
        return last.join(QLatin1Char('\n'));
    if (exitCode < 0)
        return QStringLiteral("do.dll stopped abnormally without printing anything.");
    return QStringLiteral("do.dll printed nothing and ended with exit code %1.").arg(exitCode);
}

QString ShortReason(const QString& output, int exitCode)
{
    static const QString marker = QStringLiteral("ERROR:");
    QString line;
    for (qsizetype at = output.indexOf(marker); at >= 0; at = output.indexOf(marker, at + 1)) {
        if (at > 0 && !isBreak(output.at(at - 1)))
            continue;
        qsizetype end = at;
        while (end < output.size() && !isBreak(output.at(end)))
            ++end;
        line = output.mid(at + marker.size(), end - at - marker.size()).trimmed();
        if (!line.isEmpty())
            break;
    }
    if (line.isEmpty())
        line = FailureReason(output, exitCode, 1);
    for (QChar& c : line) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    if (line.size() > ShortReasonLength)
        line = line.left(ShortReasonLength - 3).trimmed() + QStringLiteral("...");
    return line;
}

QString OutputForDetails(const QString& output)
{
    if (output.size() <= DetailsLength)
        return output;
    qsizetype from = output.size() - DetailsLength;
    const qsizetype lineStart = output.indexOf(QLatin1Char('\n'), from);
    if (lineStart >= 0)
        from = lineStart + 1;
    return QStringLiteral("...\n") + output.mid(from);
}

} // namespace brenlow
