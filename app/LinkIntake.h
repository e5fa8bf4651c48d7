#pragma once

#include <QString>

namespace brenlow {

/** A link as the user typed or pasted it, checked before any run. */
struct CheckedLink
{
    QString Link;    ///< the link without the blanks, tabs and line breaks around it
    QString Refusal; ///< why the link cannot be used, for the status line; empty when it can
};

/** Trims the link and refuses what the tool would not take as a link: a text beginning with "-"
 *  (the tool would read it as one of its options) or holding a control character (a tab would
 *  also split the row's cells). An empty result means the user typed nothing. */
[[nodiscard]] CheckedLink CheckLink(const QString& typed);

} // namespace brenlow
