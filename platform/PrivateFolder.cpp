#include "platform/PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brenlow {
namespace {

// When a process started, in clock ticks after boot: with its id it names one process for good.
quint64 startOf(pid_t pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray stat = file.read(4096);
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return 0;
    return stat.mid(close + 2).split(' ').value(19).toULongLong();
}

// Removes everything inside the open folder dirFd, never following a link: links are removed as
// names, folders are entered only through O_NOFOLLOW. Takes dirFd over.
bool emptyFolder(int dirFd, int depth)
{
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return false;
    }
    bool ok = true;
    while (dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (qstrcmp(name, ".") == 0 || qstrcmp(name, "..") == 0)
            continue;
        if (::unlinkat(dirFd, name, 0) == 0)
            continue;
        if (errno != EISDIR && errno != EPERM) {
            ok = false;
            continue;
        }
        const int child = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child < 0 || depth > 64 || !emptyFolder(child, depth + 1) ||
            ::unlinkat(dirFd, name, AT_REMOVEDIR) != 0) {
            if (child >= 0 && depth > 64)
                ::close(child);
            ok = false;
        }
    }
    ::closedir(dir);
    return ok;
}

} // namespace

QString PrivateFolder::RuntimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty() || !QDir::isAbsolutePath(runtime))
        return {};
    struct stat info = {};
    if (::stat(QFile::encodeName(runtime).constData(), &info) != 0)
        return {};
    // A runtime folder anyone else owns or may enter is no private place.
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid() || (info.st_mode & 07777) != 0700)
        return {};
    return runtime;
}

QStringList PrivateFolder::Bases()
{
    QStringList bases;
    if (const QString runtime = RuntimeFolder(); !runtime.isEmpty())
        bases << runtime;
    const QString temp = QDir::tempPath();
    if (!bases.contains(temp))
        bases << temp;
    return bases;
}

std::unique_ptr<PrivateFolder> PrivateFolder::Create()
{
    const pid_t self = ::getpid();
    const QString owner = QStringLiteral("%1%2-%3-").arg(QLatin1String(Prefix)).arg(self).arg(startOf(self));
    for (const QString& base : Bases()) {
        for (int attempt = 0; attempt < 16; ++attempt) {
            const QString name =
                owner + QString::number(QRandomGenerator::system()->generate64() & 0xFFFFFFFFFFFF, 36);
            const QString path = base + u'/' + name;
            const QByteArray encoded = QFile::encodeName(path);
            if (::mkdir(encoded.constData(), 0700) != 0) {
                if (errno == EEXIST)
                    continue;
                break; // this base cannot hold one
            }
            struct stat info = {};
            if (::lstat(encoded.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
                break;
            auto folder = std::unique_ptr<PrivateFolder>(new PrivateFolder);
            folder->m_base = base;
            folder->m_name = name;
            folder->m_path = path;
            folder->m_device = info.st_dev;
            folder->m_inode = info.st_ino;
            return folder;
        }
    }
    return nullptr;
}

PrivateFolder::~PrivateFolder()
{
    RemoveTree(m_base, m_name, m_device, m_inode);
}

bool PrivateFolder::RemoveTree(const QString& parent, const QString& name, dev_t expectedDevice,
                               ino_t expectedInode)
{
    if (name.isEmpty() || name.contains(u'/') || name == QStringLiteral(".") || name == QStringLiteral(".."))
        return false;
    const int parentFd = ::open(QFile::encodeName(parent).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return false;
    const QByteArray entry = QFile::encodeName(name);
    bool removed = false;
    // A link put in the folder's place is not entered: O_NOFOLLOW refuses it.
    const int dirFd = ::openat(parentFd, entry.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dirFd >= 0) {
        struct stat info = {};
        const bool same =
            ::fstat(dirFd, &info) == 0 && info.st_uid == ::getuid() &&
            (expectedInode == 0 || (info.st_dev == expectedDevice && info.st_ino == expectedInode));
        if (same)
            removed = emptyFolder(dirFd, 0) && ::unlinkat(parentFd, entry.constData(), AT_REMOVEDIR) == 0;
        else
            ::close(dirFd);
    }
    ::close(parentFd);
    return removed;
}

int PrivateFolder::RemoveLeftovers()
{
    static const QRegularExpression pattern(
        QStringLiteral("^%1(\\d+)-(\\d+)-[0-9a-z]+$").arg(QLatin1String(Prefix)));
    int count = 0;
    for (const QString& base : Bases()) {
        const QStringList names = QDir(base).entryList({QLatin1String(Prefix) + u'*'},
                                                       QDir::Dirs | QDir::NoSymLinks | QDir::Hidden);
        for (const QString& name : names) {
            const QRegularExpressionMatch match = pattern.match(name);
            if (!match.hasMatch())
                continue;
            const pid_t pid = match.captured(1).toInt();
            const quint64 started = match.captured(2).toULongLong();
            // The window is still there when its process is: the same id, started at the same time.
            if (pid > 0 && startOf(pid) == started)
                continue;
            struct stat info = {};
            if (::lstat(QFile::encodeName(base + u'/' + name).constData(), &info) != 0 ||
                !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
                continue;
            if (RemoveTree(base, name, info.st_dev, info.st_ino))
                ++count;
        }
    }
    return count;
}

} // namespace brenlow
