#include "platform/ProcessFamily.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QHash>
#include <QPair>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace brenlow::ProcessFamily {
namespace {

struct Stat
{
    pid_t pid = 0;
    char state = 0;
    pid_t parent = 0;
    pid_t group = 0;
    quint64 started = 0; // clock ticks after boot: with the id, names one process for good
};

// Reads a small /proc file into buf (plain system calls: a scan reads one per process); the
// number of bytes read, or -1.
ssize_t readProcFile(pid_t pid, const char* name, char* buf, size_t size)
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/%s", static_cast<int>(pid), name);
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    ssize_t total = 0;
    while (static_cast<size_t>(total) < size) {
        const ssize_t got = ::read(fd, buf + total, size - static_cast<size_t>(total));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        total += got;
    }
    ::close(fd);
    return total;
}

bool readStat(pid_t pid, Stat& out)
{
    // "pid (comm) state ppid pgrp ...": comm may hold blanks and parentheses; read from the last ')'.
    char buf[1024];
    const ssize_t size = readProcFile(pid, "stat", buf, sizeof buf - 1);
    if (size <= 0)
        return false;
    buf[size] = '\0';
    const char* close = std::strrchr(buf, ')');
    if (!close || close[1] == '\0' || close[2] == '\0')
        return false;
    out.pid = pid;
    out.state = close[2];
    const char* field = close + 3;
    // ppid, pgrp, then 16 more fields to the start time (the 22nd field of the line).
    long long values[19] = {};
    for (int i = 0; i < 19; ++i) {
        char* end = nullptr;
        values[i] = std::strtoll(field, &end, 10);
        if (end == field)
            return false;
        field = end;
    }
    out.parent = static_cast<pid_t>(values[0]);
    out.group = static_cast<pid_t>(values[1]);
    out.started = static_cast<quint64>(values[18]);
    return true;
}

bool carriesMarker(pid_t pid, const QByteArray& marker)
{
    if (marker.isEmpty())
        return false;
    const QByteArray wanted = QByteArray(MarkerVariable) + '=' + marker;
    QByteArray environ(256 * 1024, Qt::Uninitialized);
    const ssize_t size = readProcFile(pid, "environ", environ.data(), static_cast<size_t>(environ.size()));
    if (size <= 0)
        return false;
    environ.truncate(size);
    for (const QByteArray& entry : environ.split('\0')) {
        if (entry == wanted)
            return true;
    }
    return false;
}

bool ownedByMe(pid_t pid)
{
    struct stat info = {};
    return ::stat(QByteArray("/proc/" + QByteArray::number(pid)).constData(), &info) == 0 &&
           info.st_uid == ::getuid();
}

// Members that ended, or may end, as this program's orphans: collected by ReapOrphans.
QHash<pid_t, quint64>& remembered()
{
    static QHash<pid_t, quint64> members;
    return members;
}

// Children whose collection is someone else's (the runner's tools, which QProcess waits for).
QSet<pid_t>& ownedChildren()
{
    static QSet<pid_t> pids;
    return pids;
}

bool g_collectEveryOrphan = false;

QList<Stat> members(const Run& run)
{
    const pid_t self = ::getpid();
    QHash<pid_t, Stat> all;
    if (DIR* proc = ::opendir("/proc")) {
        while (const dirent* entry = ::readdir(proc)) {
            char* end = nullptr;
            const long pid = std::strtol(entry->d_name, &end, 10);
            Stat stat;
            if (end != entry->d_name && *end == '\0' && pid > 1 && pid != self && readStat(pid, stat))
                all.insert(static_cast<pid_t>(pid), stat);
        }
        ::closedir(proc);
    }
    QList<Stat> found;
    if (run.leader <= 1 || run.leader == self)
        return found;
    for (const Stat& stat : std::as_const(all)) {
        if (stat.state == 'Z' || stat.state == 'X')
            continue;
        // Up the tree to this program: a process that does not reach it is never a member. The
        // environment is read only for this program's descendants.
        QList<pid_t> chain;
        bool descends = false;
        for (pid_t pid = stat.pid; pid > 1 && chain.size() < 4096;) {
            if (pid == self) {
                descends = true;
                break;
            }
            const Stat step = pid == stat.pid ? stat : all.value(pid);
            if (step.pid == 0)
                break; // gone while the tree was read
            chain.append(pid);
            pid = step.parent;
        }
        bool member = false;
        for (qsizetype i = 0; descends && !member && i < chain.size(); ++i) {
            const Stat step = i == 0 ? stat : all.value(chain.at(i));
            member =
                step.pid == run.leader || step.group == run.leader || carriesMarker(step.pid, run.marker);
        }
        if (descends && member && ownedByMe(stat.pid))
            found.append(stat);
    }
    return found;
}

} // namespace

bool SetSubreaper(bool on)
{
    return ::prctl(PR_SET_CHILD_SUBREAPER, on ? 1UL : 0UL, 0UL, 0UL, 0UL) == 0;
}

bool IsSubreaper()
{
    int value = 0;
    return ::prctl(PR_GET_CHILD_SUBREAPER, &value, 0UL, 0UL, 0UL) == 0 && value != 0;
}

bool DieWithParent(pid_t expectedParent) noexcept
{
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL, 0UL, 0UL, 0UL) != 0)
        return true; // the request is not available; the child runs as before
    // Had the parent died before the request, the child would have been handed to another already.
    return ::getppid() == expectedParent;
}

QByteArray NewMarker()
{
    static QAtomicInteger<quint64> serial;
    return QByteArray::number(::getpid()) + '-' + QByteArray::number(QDateTime::currentMSecsSinceEpoch()) +
           '-' + QByteArray::number(++serial);
}

QList<pid_t> Members(const Run& run)
{
    QList<pid_t> pids;
    for (const Stat& stat : members(run))
        pids.append(stat.pid);
    std::sort(pids.begin(), pids.end());
    return pids;
}

void Remember(const Run& run)
{
    for (const Stat& stat : members(run)) {
        if (stat.pid != run.leader)
            remembered().insert(stat.pid, stat.started);
    }
}

int EndRun(const Run& run)
{
    int count = 0;
    // A member may fork while the others are ended: another look takes the newcomers along, until
    // one finds none (a member already signalled may take a moment to go).
    QSet<QPair<pid_t, quint64>> signalled;
    for (int round = 0; round < 8; ++round) {
        bool fresh = false;
        QList<Stat> found = members(run);
        // The leader first: its parent learns that it was killed, not that its child was.
        std::stable_partition(found.begin(), found.end(), [&](const Stat& s) { return s.pid == run.leader; });
        for (const Stat& stat : std::as_const(found)) {
            if (signalled.contains({stat.pid, stat.started}))
                continue;
            fresh = true;
            signalled.insert({stat.pid, stat.started});
            if (stat.pid != run.leader)
                remembered().insert(stat.pid, stat.started);
            if (::kill(stat.pid, SIGKILL) == 0)
                ++count;
        }
        if (!fresh)
            break;
    }
    ReapOrphans();
    return count;
}

int ReapOrphans()
{
    const pid_t self = ::getpid();
    int count = 0;
    auto& members = remembered();
    for (auto it = members.begin(); it != members.end();) {
        Stat stat;
        if (!readStat(it.key(), stat) || stat.started != it.value()) {
            it = members.erase(it); // gone, or the id now names another process
            continue;
        }
        if (stat.parent == self && stat.state == 'Z') {
            int status = 0;
            if (::waitpid(stat.pid, &status, WNOHANG) == stat.pid) {
                ++count;
                it = members.erase(it);
                continue;
            }
        }
        ++it;
    }
    if (!g_collectEveryOrphan)
        return count;
    // Every other ended child of this program is an orphan it adopted (a helper of a run, or a
    // program that a started browser left behind): nobody else will collect it.
    if (DIR* proc = ::opendir("/proc")) {
        while (const dirent* entry = ::readdir(proc)) {
            char* end = nullptr;
            const long pid = std::strtol(entry->d_name, &end, 10);
            Stat stat;
            if (end == entry->d_name || *end != '\0' || ownedChildren().contains(static_cast<pid_t>(pid)) ||
                !readStat(static_cast<pid_t>(pid), stat) || stat.parent != self || stat.state != 'Z')
                continue;
            int status = 0;
            if (::waitpid(stat.pid, &status, WNOHANG) == stat.pid)
                ++count;
        }
        ::closedir(proc);
    }
    return count;
}

void CollectEveryOrphan(bool on)
{
    g_collectEveryOrphan = on;
}

void Started(pid_t child)
{
    ownedChildren().insert(child);
}

void Collected(pid_t child)
{
    ownedChildren().remove(child);
}

} // namespace brenlow::ProcessFamily
