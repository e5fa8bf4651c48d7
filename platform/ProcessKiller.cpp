#include "platform/ProcessKiller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace brenlow::ProcessKiller {
namespace {

// The kernel keeps at most 15 characters of a process name in /proc/PID/comm.
constexpr qsizetype kCommLimit = 15;

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

} // namespace

QString ImageName(pid_t pid)
{
    const QString dir = QStringLiteral("/proc/%1/").arg(pid);
    QString comm = QString::fromLocal8Bit(readSmallFile(dir + QStringLiteral("comm")));
    if (comm.endsWith(u'\n'))
        comm.chop(1);
    if (comm.size() < kCommLimit)
        return comm;

    // comm may be cut: find the full name among the program file (a binary), and the first two
    // command-line words (argv[0], and the script path when an interpreter runs a script).
    QStringList candidates;
    QString exe = QFile::symLinkTarget(dir + QStringLiteral("exe"));
    if (exe.endsWith(QStringLiteral(" (deleted)")))
        exe.chop(10);
    if (!exe.isEmpty())
        candidates << baseName(exe);
    const QList<QByteArray> words = readSmallFile(dir + QStringLiteral("cmdline")).split('\0');
    for (qsizetype i = 0; i < words.size() && i < 2; ++i)
        candidates << baseName(QString::fromLocal8Bit(words.at(i)));
    for (const QString& candidate : candidates) {
        if (candidate.size() > comm.size() && candidate.startsWith(comm))
            return candidate;
    }
    return comm;
}

QList<pid_t> FindByImageSuffix(const QString& suffix)
{
    QList<pid_t> found;
    const QString wanted = suffix.toLower();
    const uid_t me = getuid();
    const pid_t self = getpid();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isNumber = false;
        const pid_t pid = entry.toInt(&isNumber);
        if (!isNumber || pid <= 1 || pid == self)
            continue;
        struct stat info
        {
        };
        if (::stat(QByteArray("/proc/" + entry.toLatin1()).constData(), &info) != 0 || info.st_uid != me)
            continue;
        const QString image = ImageName(pid).toLower();
        if (!image.isEmpty() && image.endsWith(wanted))
            found.append(pid);
    }
    return found;
}

bool KillProcessGroup(pid_t pgid)
{
    if (pgid <= 1 || pgid == getpgrp())
        return false;
    return ::kill(-pgid, SIGKILL) == 0;
}

int KillByImageSuffix(const QString& suffix)
{
    int count = 0;
    for (const pid_t pid : FindByImageSuffix(suffix)) {
        const pid_t group = ::getpgid(pid);
        if (::kill(pid, SIGKILL) == 0)
            ++count;
        // The group takes along what the tool started itself (a wrapper script's children), but
        // only when the tool leads it: a tool started inside someone else's group (a shell script,
        // a test program) must not take its parent and siblings down with it.
        if (group == pid)
            KillProcessGroup(group);
    }
    return count;
}

} // namespace brenlow::ProcessKiller
