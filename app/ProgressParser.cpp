#include "app/ProgressParser.h"

#include <QRegularExpression>

#include <cmath>

namespace brenlow {

QString ChunkText(const QString& strData)
{
    const qsizetype nul = strData.indexOf(QChar(u'\0'));
    return nul < 0 ? strData : strData.left(nul);
}

std::optional<double> ProgressFigure(const QString& chunk)
{
    static const QString start = QStringLiteral("[download]");
    static const QString stop = QStringLiteral("% of");
    static const QRegularExpression leadingNumber(
        QStringLiteral("^[+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?"));
    std::optional<double> last;
    for (qsizetype at = chunk.indexOf(start); at >= 0; at = chunk.indexOf(start, at + start.size())) {
        const qsizetype from = at + start.size();
        const qsizetype end = chunk.indexOf(stop, from);
        if (end < 0)
            break;
        QString figure = chunk.mid(from, end - from);
        // A "[download]" line without a figure ("Destination: ...") is followed by the next one's.
        if (figure.contains(start))
            continue;
        figure.remove(QLatin1Char(' '));
        const QRegularExpressionMatch m = leadingNumber.match(figure);
        if (!m.hasMatch())
            continue;
        bool ok = false;
        const double value = m.captured(0).toDouble(&ok);
        // A figure a progress bar cannot show is a fault of the tool, not progress.
        if (ok && std::isfinite(value) && value >= 0.0 && value <= 100.0)
            last = value;
    }
    return last;
}

double ProgressPercent(const QString& chunk)
{
    return ProgressFigure(chunk).value_or(0.0);
}

std::optional<QString> ProgressSpeedText(const QString& chunk)
{
    static const QRegularExpression line(QStringLiteral("\\[download\\][^\r\n]*?%\\s*of[^\r\n]*"));
    static const QRegularExpression speed(
        QStringLiteral("\\bat\\s+([0-9]+(?:\\.[0-9]+)?)\\s*([KMGTP]?i?B)/s"));
    static const QRegularExpression eta(QStringLiteral("\\bETA\\s+([0-9]+(?::[0-9]{2}){1,2})\\b"));
    std::optional<QString> last;
    for (auto it = line.globalMatch(chunk); it.hasNext();) {
        const QString text = it.next().captured(0);
        QStringList parts;
        const QRegularExpressionMatch s = speed.match(text);
        if (s.hasMatch()) {
            const double value = s.captured(1).toDouble();
            if (std::isfinite(value))
                parts << QString::number(value, 'f', value < 100 ? 1 : 0) + QLatin1Char(' ') + s.captured(2) +
                             QStringLiteral("/s");
        }
        const QRegularExpressionMatch e = eta.match(text);
        if (e.hasMatch()) {
            // "00:35" reads "0:35", "01:02:03" reads "1:02:03", "00:00:05" reads "0:05".
            QStringList groups = e.captured(1).split(QLatin1Char(':'));
            while (groups.size() > 2 && groups.first().toInt() == 0)
                groups.removeFirst();
            groups.first() = QString::number(groups.first().toInt());
            parts << groups.join(QLatin1Char(':')) + QStringLiteral(" left");
        }
        if (!parts.isEmpty())
            last = parts.join(QStringLiteral(", "));
    }
    return last;
}

QString StatusText(int stage, int frame)
{
    QString what;
    switch (stage) {
    case 1:
        what = QStringLiteral("Profile List");
        break;
    case 2:
        what = QStringLiteral("Thumbnail");
        break;
    case 3:
        what = QStringLiteral("Video Name");
        break;
    case 5:
        break;
    default:
        return {};
    }
    static const char* const tails[] = {"...", ">..", ".>.", "..>"};
    if (frame < 0 || frame > 3)
        return {};
    QString text = QStringLiteral("Please Wait Downloading");
    if (!what.isEmpty())
        text += QLatin1Char(' ') + what;
    return text + QLatin1String(tails[frame]);
}

} // namespace brenlow
