#pragma once

#include <QList>
#include <QString>

#include <sys/types.h>

namespace brenlow {

/** Ends processes this program started: a run's process group, and its descendants by the name of
 *  the program file they were started from. Never a process this program did not start. */
namespace ProcessKiller {

/** The image name of a process: the base name of the program file it was started from (for a
 *  script, the script, not its interpreter). Empty when the process is gone or unreadable. */
[[nodiscard]] QString ImageName(pid_t pid);

/** The parent of a process; 0 when it is gone or unreadable. */
[[nodiscard]] pid_t ParentOf(pid_t pid);

/** Process ids of this program's descendants (children, their children, ...) whose image name
 *  ends with suffix, compared without regard to case. A process that has left the family (its
 *  parent ended, so it now belongs to another) is not listed. */
[[nodiscard]] QList<pid_t> FindDescendantsByImageSuffix(const QString& suffix);

/** Sends SIGKILL to every process FindDescendantsByImageSuffix lists, each on its own: its group
 *  may hold processes that are not this program's. Failures are silent. Returns how many were
 *  signalled. */
int KillDescendantsByImageSuffix(const QString& suffix);

/** Sends SIGKILL to a whole process group; false when it could not be signalled. Never the
 *  caller's own group. For the group of a run this program started and still owns. */
bool KillProcessGroup(pid_t pgid);

} // namespace ProcessKiller
} // namespace brenlow
