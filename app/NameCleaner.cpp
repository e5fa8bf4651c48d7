#include "app/NameCleaner.h"

#include <QRegularExpression>
#include <QTextBoundaryFinder>

namespace brenlow {

QString CleanName(QString name)
{
    // The order matters only for the slashes, which become hyphens before anything else is removed.
    static const char16_t removedFirst[] = u"!@#$%^&*()";
    static const char16_t removedAfter[] = u"+|:\"<>?,{}[]\u060C\u061B'=";
    for (const char16_t* c = removedFirst; *c; ++c)
        name.remove(QChar(*c));
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    name.replace(QLatin1Char('\\'), QLatin1Char('-'));
    for (const char16_t* c = removedAfter; *c; ++c)
        name.remove(QChar(*c));
    return name;
}

QString NameFromOutput(const QString& output)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    // yt-dlp's notes start with the lower-case key of the part that wrote them: "[youtube] ...",
    // "[info] ...", "[download] ...". An uploader in brackets ("[Official] Band") is kept.
    static const QRegularExpression chatter(
        QStringLiteral("^\\s*(?:WARNING:|ERROR:|\\[[a-z0-9_:.-]+\\](?:\\s|$))"));
    const QStringList lines = output.split(lineBreak);
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        if (!it->trimmed().isEmpty() && !chatter.match(*it).hasMatch())
            return *it;
    }
    return {};
}

QString WithoutControls(QString text)
{
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return text;
}

QString ShortenToBytes(const QString& text, qsizetype maxBytes)
{
    if (text.toLocal8Bit().size() <= maxBytes)
        return text;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    qsizetype kept = 0;
    qsizetype bytes = 0;
    for (qsizetype at = graphemes.toNextBoundary(); at > 0; at = graphemes.toNextBoundary()) {
        bytes += text.mid(kept, at - kept).toLocal8Bit().size();
        if (bytes > maxBytes)
            break;
        kept = at;
    }
    return text.left(kept);
}

QString DownloadBaseName(const QString& cleanedName, const std::function<bool(const QString&)>& taken)
{
    QString name = WithoutControls(cleanedName).trimmed();
    if (name.isEmpty())
        name = QStringLiteral("Untitled Video");
    QString base = ShortenToBytes(name, MaxNameBytes);
    if (base.size() < name.size())
        base = base.trimmed();
    if (!taken || !taken(base))
        return base;
    for (int n = 2;; ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        QString candidate = ShortenToBytes(name, MaxNameBytes - suffix.toLocal8Bit().size());
        if (candidate.size() < name.size())
            candidate = candidate.trimmed();
        candidate += suffix;
        if (!taken(candidate))
            return candidate;
    }
}

} // namespace brenlow
