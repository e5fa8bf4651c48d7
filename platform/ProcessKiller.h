#pragma once

#include <QList>
#include <QString>

#include <sys/types.h>

namespace brenlow {

/** Ends processes by the name of the program file they were started from. */
namespace ProcessKiller {

/** The image name of a process: the base name of the program file it was started from (for a
 *  script, the script, not its interpreter). Empty when the process is gone or unreadable. */
[[nodiscard]] QString ImageName(pid_t pid);

/** Process ids of this user's processes whose image name ends with suffix, compared without
 *  regard to case. The calling process is never listed. */
[[nodiscard]] QList<pid_t> FindByImageSuffix(const QString& suffix);

/** Sends SIGKILL to every process FindByImageSuffix lists and, when that process leads its own
 *  group, to the group (never to the caller's own group). Failures, such as processes of other users, are silent. Returns how many
 *  matching processes were signalled. */
int KillByImageSuffix(const QString& suffix);

/** Sends SIGKILL to a whole process group; false when it could not be signalled. */
bool KillProcessGroup(pid_t pgid);

} // namespace ProcessKiller
} // namespace brenlow
