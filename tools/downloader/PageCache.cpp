#include "PageCache.h"

#include "AnswersFormat.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace brenlow::tool {
namespace {

// Entries nobody asked about for a week go when the next one is written.
constexpr qint64 kKeepSeconds = 7 * 24 * 3600;
constexpr QFileDevice::Permissions kPrivateFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions kPrivateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

void prune(const QString& dir)
{
    const QDateTime limit = QDateTime::currentDateTimeUtc().addSecs(-kKeepSeconds);
    QDirIterator it(dir,
                    {QStringLiteral("*.json"), QStringLiteral("*.codes"), QStringLiteral("*.jpg"),
                     QStringLiteral("*.answers"), QStringLiteral("*.tmp")},
                    QDir::Files);
    while (it.hasNext()) {
        it.next();
        if (it.fileInfo().lastModified() < limit)
            QFile::remove(it.filePath());
    }
}

/** yt-dlp fills the Cookie header from its cookie jar on every run: the copy it wrote into the page
 *  is not worth keeping on disk. */
QJsonObject withoutCookies(QJsonObject o)
{
    for (auto it = o.begin(); it != o.end(); ++it) {
        if (it.value().isObject()) {
            QJsonObject inner = withoutCookies(it.value().toObject());
            if (it.key() == u"http_headers") {
                for (const QString& key : inner.keys()) {
                    if (key.compare(QLatin1String("Cookie"), Qt::CaseInsensitive) == 0)
                        inner.remove(key);
                }
            }
            it.value() = inner;
        } else if (it.value().isArray()) {
            QJsonArray list = it.value().toArray();
            for (auto v = list.begin(); v != list.end(); ++v) {
                if (v->isObject())
                    *v = withoutCookies(v->toObject());
            }
            it.value() = list;
        }
    }
    return o;
}

} // namespace

PageCache::PageCache(const QString& link)
    : m_link(link),
      m_key(QString::fromLatin1(QCryptographicHash::hash(link.toUtf8(), QCryptographicHash::Sha256).toHex()))
{
}

QString PageCache::folder()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.cache");
    const QString ours = base + QStringLiteral("/brenlow");
    const QString dir = ours + QStringLiteral("/pages");
    QDir().mkpath(dir);
    // Also when an older version made them readable by everyone.
    QFile::setPermissions(ours, kPrivateFolder);
    QFile::setPermissions(dir, kPrivateFolder);
    return dir;
}

QString PageCache::infoPath() const
{
    return folder() + u'/' + m_key + QStringLiteral(".json");
}

QString PageCache::codesPath() const
{
    return folder() + u'/' + m_key + QStringLiteral(".codes");
}

QString PageCache::answersPath() const
{
    return folder() + u'/' + m_key + QLatin1String(answers::kSuffix);
}

std::optional<QJsonObject> PageCache::read(const QString& path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonObject entry = QJsonDocument::fromJson(file.readAll()).object();
    // The name of the file is only a hash: the entry must say that it is this link's.
    if (entry.value(QLatin1String("link")).toString() != m_link)
        return std::nullopt;
    return entry;
}

std::optional<QJsonObject> PageCache::load(qint64 maxAgeSeconds) const
{
    const QFileInfo info(infoPath());
    if (!info.isFile())
        return std::nullopt;
    const qint64 age = info.lastModified().secsTo(QDateTime::currentDateTime());
    if (age < 0 || age > maxAgeSeconds)
        return std::nullopt;
    const std::optional<QJsonObject> entry = read(info.filePath());
    if (!entry)
        return std::nullopt;
    const QJsonObject page = entry->value(QLatin1String("page")).toObject();
    if (page.isEmpty())
        return std::nullopt;
    return page;
}

bool PageCache::store(const QJsonObject& info) const
{
    prune(folder());
    QFile::remove(answersPath());
    const QJsonObject entry{{QStringLiteral("link"), m_link}, {QStringLiteral("page"), withoutCookies(info)}};
    return ReplaceFile(infoPath(), QJsonDocument(entry).toJson(QJsonDocument::Compact), kPrivateFile);
}

bool PageCache::hasCodes() const
{
    const std::optional<QJsonObject> entry = read(codesPath());
    return entry && entry->value(QLatin1String("codes")).isObject();
}

CodeMap PageCache::codes() const
{
    CodeMap map;
    const std::optional<QJsonObject> entry = read(codesPath());
    if (!entry)
        return map;
    const QJsonObject o = entry->value(QLatin1String("codes")).toObject();
    for (auto it = o.begin(); it != o.end(); ++it) {
        if (it.value().isString())
            map.insert(it.key(), it.value().toString());
    }
    return map;
}

bool PageCache::storeCodes(const CodeMap& codes) const
{
    const QString path = codesPath();
    if (hasCodes() && this->codes() == codes) {
        // Only marked as used, so that it stays while the link is used.
        QFile file(path);
        return file.open(QIODevice::ReadWrite) &&
               file.setFileTime(QDateTime::currentDateTimeUtc(), QFileDevice::FileModificationTime);
    }
    QJsonObject o;
    for (auto it = codes.begin(); it != codes.end(); ++it)
        o.insert(it.key(), it.value());
    const QJsonObject entry{{QStringLiteral("link"), m_link}, {QStringLiteral("codes"), o}};
    return ReplaceFile(path, QJsonDocument(entry).toJson(), kPrivateFile);
}

// A picture file: the link and the address, each on a line of its own, then the JPEG.
std::optional<PageCache::Picture> PageCache::picture(qint64 maxAgeSeconds) const
{
    QFile file(folder() + u'/' + m_key + QStringLiteral(".jpg"));
    const QFileInfo info(file);
    const qint64 age = info.lastModified().secsTo(QDateTime::currentDateTime());
    if (!info.isFile() || age < 0 || age > maxAgeSeconds || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const auto line = [&file] {
        QByteArray text = file.readLine();
        return text.endsWith('\n') ? text.chopped(1) : QByteArray();
    };
    if (line() != m_link.toUtf8())
        return std::nullopt;
    Picture kept;
    kept.address = QString::fromUtf8(line());
    kept.jpeg = file.readAll();
    if (kept.address.isEmpty() || kept.jpeg.isEmpty())
        return std::nullopt;
    return kept;
}

bool PageCache::storePicture(const Picture& picture) const
{
    if (m_link.contains(u'\n') || picture.address.contains(u'\n'))
        return false;
    return ReplaceFile(folder() + u'/' + m_key + QStringLiteral(".jpg"),
                       m_link.toUtf8() + '\n' + picture.address.toUtf8() + '\n' + picture.jpeg, kPrivateFile);
}

bool ReplaceFile(const QString& path, const QByteArray& bytes, QFileDevice::Permissions permissions,
                 QString* error)
{
    const QString scratch = path + QStringLiteral(".%1.tmp").arg(QCoreApplication::applicationPid());
    QFile file(scratch);
    file.remove(); // left by a run of the same number that died
    bool done = file.open(QIODevice::WriteOnly | QIODevice::NewOnly, permissions) &&
                file.write(bytes) == bytes.size() && file.flush();
    QString reason = file.errorString();
    file.close();
    if (done && ::rename(QFile::encodeName(scratch).constData(), QFile::encodeName(path).constData()) != 0) {
        done = false;
        reason = QString::fromLocal8Bit(std::strerror(errno));
    }
    if (!done) {
        QFile::remove(scratch);
        if (error)
            *error = reason;
    }
    return done;
}

} // namespace brenlow::tool
