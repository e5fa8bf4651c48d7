#include "platform/ProcessKiller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace brenlow::ProcessKiller {
namespace {

// The kernel keeps at most 15 characters of a process name in /proc/PID/comm.
constexpr qsizetype kCommLimit = 15;
// How long a name is looked for while a program is still being started: 20 times 0.5 ms.
constexpr int kExecSettleAttempts = 20;
constexpr useconds_t kExecSettleStepUs = 500;

QByteArray readSmallFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(64 * 1024);
}

QString baseName(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? path : path.mid(slash + 1);
}

/** The full name that a cut comm stands for, found among the program file (a binary) and the
 *  first two command-line words (argv[0], and the script path when an interpreter runs a script);
 *  empty when none is. `commandLineRead` tells whether the process had a command line. */
QString wholeName(const QString& dir, const QString& comm, bool& commandLineRead)
{
    QStringList candidates;
    QString exe = QFile::symLinkTarget(dir + QStringLiteral("exe"));
    if (exe.endsWith(QStringLiteral(" (deleted)")))
        exe.chop(10);
    if (!exe.isEmpty())
        candidates << baseName(exe);
    const QByteArray commandLine = readSmallFile(dir + QStringLiteral("cmdline"));
    commandLineRead = !commandLine.isEmpty();
    const QList<QByteArray> words = commandLine.split('\0');
    for (qsizetype i = 0; i < words.size() && i < 2; ++i)
        candidates << baseName(QString::fromLocal8Bit(words.at(i)));
    for (const QString& candidate : candidates) {
        if (candidate.size() > comm.size() && candidate.startsWith(comm))
            return candidate;
    }
    return {};
}

} // namespace

QString ImageName(pid_t pid)
{
    const QString dir = QStringLiteral("/proc/%1/").arg(pid);
    QString comm = QString::fromLocal8Bit(readSmallFile(dir + QStringLiteral("comm")));
    if (comm.endsWith(u'\n'))
        comm.chop(1);
    if (comm.size() < kCommLimit)
        return comm;

    // A program in the middle of its exec already has its new comm but not yet its command line;
    // a moment later it has both. (A process that never gets one, a kernel thread, is no
    // descendant of ours.)
    for (int attempt = 0;; ++attempt) {
        bool commandLineRead = false;
        const QString whole = wholeName(dir, comm, commandLineRead);
        if (!whole.isEmpty())
            return whole;
        if (commandLineRead || attempt == kExecSettleAttempts)
            return comm;
        ::usleep(kExecSettleStepUs);
    }
}

pid_t ParentOf(pid_t pid)
{
    // "pid (comm) state ppid ...": comm may hold blanks and parentheses, so read from the last ')'.
    const QByteArray stat = readSmallFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return 0;
    const QList<QByteArray> fields = stat.mid(close + 1).trimmed().split(' ');
    return fields.size() > 1 ? static_cast<pid_t>(fields.at(1).toInt()) : 0;
}

QList<pid_t> FindDescendantsByImageSuffix(const QString& suffix)
{
    const QString wanted = suffix.toLower();
    const uid_t me = getuid();
    const pid_t self = getpid();

    // One pass over /proc for the family tree, then the names of this program's descendants only.
    QHash<pid_t, pid_t> parents;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isNumber = false;
        const pid_t pid = entry.toInt(&isNumber);
        if (!isNumber || pid <= 1 || pid == self)
            continue;
        if (const pid_t parent = ParentOf(pid); parent > 0)
            parents.insert(pid, parent);
    }
    auto descends = [&](pid_t pid) {
        // The depth bound guards against a loop in a tree read while it changes.
        for (int depth = 0; depth < 4096; ++depth) {
            const pid_t parent = parents.value(pid, 0);
            if (parent == self)
                return true;
            if (parent <= 1)
                return false;
            pid = parent;
        }
        return false;
    };

    QList<pid_t> found;
    for (auto it = parents.cbegin(); it != parents.cend(); ++it) {
        const pid_t pid = it.key();
        if (!descends(pid))
            continue;
        struct stat info
        {
        };
        if (::stat(QByteArray("/proc/" + QByteArray::number(pid)).constData(), &info) != 0 ||
            info.st_uid != me)
            continue;
        const QString image = ImageName(pid).toLower();
        if (!image.isEmpty() && image.endsWith(wanted))
            found.append(pid);
    }
    std::sort(found.begin(), found.end());
    return found;
}

bool KillProcessGroup(pid_t pgid)
{
    if (pgid <= 1 || pgid == getpgrp())
        return false;
    return ::kill(-pgid, SIGKILL) == 0;
}

int KillDescendantsByImageSuffix(const QString& suffix)
{
    int count = 0;
    for (const pid_t pid : FindDescendantsByImageSuffix(suffix)) {
        if (::kill(pid, SIGKILL) == 0)
            ++count;
    }
    return count;
}

} // namespace brenlow::ProcessKiller
