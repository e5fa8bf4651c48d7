#include "app/ProgressParser.h"

#include "base/Text.h"

#include <QRegularExpression>

#include <cmath>

namespace brenlow {

QString ChunkText(const QString& strData)
{
    const qsizetype nul = strData.indexOf(QChar(u'\0'));
    return nul < 0 ? strData : strData.left(nul);
}

double ProgressPercent(const QString& chunk)
{
    QString figure = GetBetween(chunk, QStringLiteral("[download]"), QStringLiteral("% of"));
    figure.remove(QLatin1Char(' '));
    static const QRegularExpression leadingNumber(
        QStringLiteral("^[+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?"));
    const QRegularExpressionMatch m = leadingNumber.match(figure);
    if (!m.hasMatch())
        return 0.0;
    bool ok = false;
    const double value = m.captured(0).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
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
