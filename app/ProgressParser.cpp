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
        if (ok && std::isfinite(value))
            last = value;
    }
    return last;
}

double ProgressPercent(const QString& chunk)
{
    return ProgressFigure(chunk).value_or(0.0);
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
