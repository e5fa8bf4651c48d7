#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace brenlow {

/** The line of the tool's format table after which the formats follow. */
inline constexpr char16_t FormatTableHeader[] = u"format code  extension  resolution note";
/** Line separator inside a profile list (column 3 of a row). */
inline constexpr char16_t ProfileLineSeparator[] = u"<<<";

/** One video's formats: the whole table as a profile list, and the entries made of it. */
struct ParsedProfiles
{
    /** The table after the gap replacement, lines joined with "<<<", letter case kept. */
    QString ProfileList;
    /** One upper-cased entry per format line whose code has one to three digits. */
    QStringList Entries;
};

/** Turns every run of eight, then seven, then six blanks into one comma (three passes). */
[[nodiscard]] QString ReplaceColumnGaps(QString text);

/** Splits text at every line break (CR LF or a bare LF). */
[[nodiscard]] QStringList SplitLines(const QString& text);

/** The entry loop: a line whose first four characters form a number starts an entry when it has a
 *  comma in position 2 to 4; any other non-empty line continues the last entry. */
[[nodiscard]] QStringList ProfileEntries(const QStringList& lines);

/** The whole parse of a format-list run: cuts the table out after the header, replaces the column
 *  gaps and builds the list and its entries. Without the header both are empty. */
[[nodiscard]] ParsedProfiles ParseFormatTable(const QString& output);

/** The entries of a row's stored profile list (split at "<<<"). */
[[nodiscard]] QStringList EntriesOfProfileList(const QString& profileList);

/** The format code of an entry: the text before its first comma; none when it has no comma. */
[[nodiscard]] std::optional<QString> FormatCodeOf(const QString& entry);

} // namespace brenlow
