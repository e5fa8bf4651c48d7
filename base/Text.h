#pragma once

#include <QString>

namespace brenlow {

/** 1-based, case-sensitive search of sFind in sText starting at position lStart (1-based).
 *  Returns the 1-based position found, or 0. An empty sFind is found at lStart when lStart is
 *  within the text or just past it. A start below 1 counts as 1. */
[[nodiscard]] int InStr(int lStart, const QString& sText, const QString& sFind);

/** Same, ignoring letter case. */
[[nodiscard]] int InStrNoCase(int lStart, const QString& sText, const QString& sFind);

/** The text between the first sStart found from lSearch (1-based) and the next sStop after it.
 *  lSearch is left pointing just past sStart, or 0 when sStart was not found. Returns empty when
 *  either delimiter is missing or the stop follows the start delimiter at once. */
[[nodiscard]] QString GetBetween(const QString& sSearch, const QString& sStart, const QString& sStop,
                                 int& lSearch);

/** Convenience form starting at position 1. */
[[nodiscard]] QString GetBetween(const QString& sSearch, const QString& sStart, const QString& sStop);

} // namespace brenlow
