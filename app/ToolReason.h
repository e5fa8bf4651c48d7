#pragma once

#include <QString>

namespace brenlow {

/** Why a run of the tool failed, in the tool's own words: its last "ERROR:" lines (at most
 *  maxLines, oldest first), or, when it printed none, its last maxLines non-empty lines. Each line
 *  is cut to a readable length. When the run printed nothing, a sentence about how it ended
 *  (exitCode as AVC reports it: -1 when killed or crashed). */
[[nodiscard]] QString FailureReason(const QString& output, int exitCode, int maxLines = 5);

/** The reason of a failure in one short line for a message box: the tool's first "ERROR:" line
 *  without that word, cut to ShortReasonLength characters; without one, the last line it printed
 *  (or how it ended, as FailureReason says). */
[[nodiscard]] QString ShortReason(const QString& output, int exitCode);
inline constexpr qsizetype ShortReasonLength = 150;

/** A run's output as a box shows it behind "Show Details...": all of it, or its last
 *  DetailsLength characters from a line start when it is longer. */
[[nodiscard]] QString OutputForDetails(const QString& output);
inline constexpr qsizetype DetailsLength = 64 * 1024;

} // namespace brenlow
