#pragma once

#include <QLocale>
#include <QString>

namespace brenlow {

/** The locale the number readers use: the default QLocale, or US English when that is the C locale
 *  (so "1,234.50" reads the same on a bare machine as on a desktop). */
[[nodiscard]] QLocale NumberLocale();

/** Lenient number reading: keeps digits, "E", ",", "-", "." and hex digits after "&H", skips "$",
 *  the pound sign, blanks and "/", stops at anything else, then converts with the number locale.
 *  Text without any number reads as a boolean: -1 for "True", else 0. Never throws. */
[[nodiscard]] double rVal(const QString& vString);

/** Whether a text converts to a number under the number locale: blanks around it, a sign, one
 *  decimal separator, digit-group separators and an exponent are allowed; "&H"/"&O" prefixes too. */
[[nodiscard]] bool FormsANumber(const QString& text);

} // namespace brenlow
