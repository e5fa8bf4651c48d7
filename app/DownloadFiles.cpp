#include "app/DownloadFiles.h"

#include <QFile>
#include <QRegularExpression>

#include <sys/xattr.h>

namespace brenlow {

namespace {
const char OriginAttribute[] = "user.xdg.origin.url";
} // namespace

QStringList FilesOfName(const QStringList& entries, const QString& baseName)
{
    // yt-dlp names the parts of a merged format "name.f137.mp4", works on "name.temp.mp4" and
    // "name.mp4.part" and keeps its fragment state in "name.mp4.ytdl".
    const QRegularExpression ofName(
        QStringLiteral("^") + QRegularExpression::escape(baseName) +
            QStringLiteral(
                "\\.(?:f[0-9][\\w-]*\\.|temp\\.)?[a-z0-9]{1,10}(?:\\.part(?:-frag[0-9]+)?|\\.ytdl)?$"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList files;
    for (const QString& entry : entries) {
        if (ofName.match(entry).hasMatch())
            files << entry;
    }
    return files;
}

std::optional<QString> FileOrigin(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    QByteArray value(4096, '\0');
    const ssize_t n = ::lgetxattr(name.constData(), OriginAttribute, value.data(), value.size());
    if (n < 0)
        return std::nullopt;
    value.truncate(n);
    return QString::fromUtf8(value);
}

bool SetFileOrigin(const QString& path, const QString& link)
{
    const QByteArray name = QFile::encodeName(path);
    const QByteArray value = link.toUtf8();
    return ::lsetxattr(name.constData(), OriginAttribute, value.constData(), value.size(), 0) == 0;
}

} // namespace brenlow
