#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace brenlow {

/**
 * A cell text as a column's format (ColFormat) shows it, in the classic format language:
 *
 * - named formats: "General Number", "Currency", "Fixed", "Standard", "Percent", "Scientific",
 *   "Yes/No", "True/False", "On/Off", "General Date", "Long Date", "Medium Date", "Short Date",
 *   "Long Time", "Medium Time", "Short Time" (letter case does not matter);
 * - number pictures: 0 and # digit places, "." the decimal point, "," digit groups (or, right before
 *   the point, thousands scaling), % percent, E+ E- e+ e- exponents, up to four sections split by ";"
 *   (positive; negative; zero; empty), every other character, "quoted text" and \x shown as it is;
 * - date pictures: d dd ddd dddd ddddd dddddd, w ww, m mm mmm mmmm (minutes after h), q, y yy yyyy,
 *   h hh, n nn, s ss, ttttt, c, AM/PM am/pm A/P a/p AMPM, ":" and "/" separators;
 * - text pictures: @ (a character or a space), & (a character or nothing), < lower case,
 *   > upper case, ! fill from the left.
 *
 * Separators, names of days and months and the currency come from the number locale. A text the
 * picture cannot read (not a number for a number picture, neither a date nor a number for a date
 * picture) is shown unchanged, as is every text of an empty format.
 */
[[nodiscard]] QString FormatCellText(const QString& text, const QString& format);

/** A text as a date and time, in the locale's short form or a common numeric form
 *  ("2024-05-31", "5/31/2024", "31.5.2024", with an optional time); nothing when it is none. */
[[nodiscard]] std::optional<QDateTime> ReadDate(const QString& text);

} // namespace brenlow
