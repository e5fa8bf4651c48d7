#pragma once

#include <QString>

namespace brenlow {

/** Why a run of the tool failed, in the tool's own words: its last "ERROR:" lines (at most
 *  maxLines, oldest first), or, when it printed none, its last maxLines non-empty lines. Each line
 *  is cut to a readable length. When the run printed nothing, a sentence about how it ended
 *  (exitCode as AVC reports it: -1 when killed or crashed). */
[[nodiscard]] QString FailureReason(const QString& output, int exitCode, int maxLines = 5);

} // namespace brenlow
