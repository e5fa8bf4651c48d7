#pragma once

#include <QByteArray>
#include <QList>

#include <sys/types.h>

namespace brenlow {

/** The processes of one run of a child program, and their end. A run is its first process (the
 *  leader, which heads a process group of its own) and everything that descends from it, even what
 *  left the group or the session: while this program is a child subreaper, orphans of the run stay
 *  its descendants, and each carries the run's marker in its environment. Only descendants of this
 *  program are ever signalled. */
namespace ProcessFamily {

/** The environment variable that carries a run's marker into the run's processes. */
inline constexpr char MarkerVariable[] = "BRENLOW_RUN";

/** One run: its leader's id (also its group's id) and its marker (empty for none). */
struct Run
{
    pid_t leader = 0;
    QByteArray marker;
};

/** Makes this program the child subreaper of its descendants (PR_SET_CHILD_SUBREAPER), or stops
 *  it being one; false when the system refused. */
bool SetSubreaper(bool on = true);
[[nodiscard]] bool IsSubreaper();

/** For the child between fork and exec (async-signal-safe): asks for SIGKILL when the parent dies,
 *  then checks that the parent is still expectedParent. False when it is not: the parent died
 *  before the request took hold, and the child should end at once. */
bool DieWithParent(pid_t expectedParent) noexcept;

/** A marker that no other run of this program (nor of another window) has had. */
[[nodiscard]] QByteArray NewMarker();

/** The living members of a run (zombies left out): descendants of this program of this user that
 *  are its leader, in its group, descended from its leader or from another member, or carrying its
 *  marker. Sorted. */
[[nodiscard]] QList<pid_t> Members(const Run& run);

/** Sends SIGKILL to every member of a run, again until none is found (a member may fork while it
 *  is being ended); remembers the members so that ReapOrphans can collect them. Returns how many
 *  were signalled. The leader is not reaped here: whoever started it waits for it. */
int EndRun(const Run& run);

/** Remembers the current members of a run, so that those that end later as this program's
 *  orphans are collected by ReapOrphans. */
void Remember(const Run& run);

/** Collects (waits for) remembered members that have ended as children of this program; never
 *  another child of it, unless CollectEveryOrphan is on. Returns how many were collected. */
int ReapOrphans();

/** For a program that is a child subreaper and starts children only through the runner (the
 *  application): ReapOrphans then also collects every other ended child of this program except
 *  those registered with Started, since an adopted orphan has nobody else to collect it. Off by
 *  default: a program that starts children of its own waits for them itself. */
void CollectEveryOrphan(bool on);
/** Registers a child whose collection belongs to its starter (until Collected). */
void Started(pid_t child);
void Collected(pid_t child);

} // namespace ProcessFamily
} // namespace brenlow
