#pragma once

#include <QString>

namespace brenlow {

/** A link as the user typed or pasted it, checked before any run. */
struct CheckedLink
{
    QString Link;    ///< the link without the blanks, tabs and line breaks around it
    QString Refusal; ///< why the link cannot be used, for the status line; empty when it can
};

/** The longest link taken, in characters: as one argument of the tool it must stay below the
 *  system's limit of 128 KiB per argument, whatever characters it holds. */
inline constexpr qsizetype MaxLinkLength = 40000;

/** Trims the link and refuses what the tool would not take as a link: a text beginning with "-"
 *  (the tool would read it as one of its options), holding a control character (a tab would
 *  also split the row's cells) or longer than MaxLinkLength; a link is never cut. An empty result means the
 * user typed nothing. */
[[nodiscard]] CheckedLink CheckLink(const QString& typed);

} // namespace brenlow
