#include "app/ProfileParser.h"

#include "base/Numbers.h"
#include "base/Text.h"

#include <QRegularExpression>

namespace brenlow {

QString ReplaceColumnGaps(QString text)
{
    for (int n : {8, 7, 6})
        text.replace(QString(n, QLatin1Char(' ')), QStringLiteral(","));
    return text;
}

QStringList SplitLines(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n"));
    return text.split(lineBreak);
}

QStringList ProfileEntries(const QStringList& lines)
{
    QStringList entries;
    for (const QString& line : lines) {
        if (line.isEmpty())
            continue;
        if (FormsANumber(line.left(4))) {
            const int comma = line.indexOf(QLatin1Char(','));
            if (comma >= 1 && comma <= 3)
                entries << line.toUpper();
        } else if (!entries.isEmpty()) {
            // The tail of a line cut by the output chunking.
            entries.last() += line.toUpper();
        }
    }
    return entries;
}

ParsedProfiles ParseFormatTable(const QString& output)
{
    const QString endMarker = QStringLiteral("<><>");
    QString table = GetBetween(output + endMarker, QString::fromUtf16(FormatTableHeader), endMarker);
    // A tab or another control character in a line would split or shift the row's cells, which are
    // joined with tabs: it becomes a blank, as in names and links.
    table.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QChar& c : table) {
        if (c.category() == QChar::Other_Control && c != QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    table = ReplaceColumnGaps(table);
    const QStringList lines = SplitLines(table);
    ParsedProfiles parsed;
    parsed.ProfileList = lines.join(QString::fromUtf16(ProfileLineSeparator));
    parsed.Entries = ProfileEntries(lines);
    return parsed;
}

QStringList EntriesOfProfileList(const QString& profileList)
{
    return ProfileEntries(profileList.split(QString::fromUtf16(ProfileLineSeparator)));
}

std::optional<QString> FormatCodeOf(const QString& entry)
{
    const int comma = entry.indexOf(QLatin1Char(','));
    if (comma < 0)
        return std::nullopt;
    return entry.left(comma);
}

} // namespace brenlow
