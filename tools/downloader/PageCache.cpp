#include "PageCache.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

namespace brenlow::tool {
namespace {

// Entries nobody asked about for a week go when the next one is written.
constexpr qint64 kKeepSeconds = 7 * 24 * 3600;

bool writeAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

void prune(const QString& dir)
{
    const QDateTime limit = QDateTime::currentDateTimeUtc().addSecs(-kKeepSeconds);
    QDirIterator it(dir, {QStringLiteral("*.json"), QStringLiteral("*.codes")}, QDir::Files);
    while (it.hasNext()) {
        it.next();
        if (it.fileInfo().lastModified() < limit)
            QFile::remove(it.filePath());
    }
}

} // namespace

PageCache::PageCache(const QString& link)
    : m_key(QString::fromLatin1(QCryptographicHash::hash(link.toUtf8(), QCryptographicHash::Sha256).toHex()))
{
}

QString PageCache::folder()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.cache");
    const QString dir = base + QStringLiteral("/brenlow/pages");
    QDir().mkpath(dir);
    return dir;
}

QString PageCache::infoPath() const
{
    return folder() + u'/' + m_key + QStringLiteral(".json");
}

std::optional<QJsonObject> PageCache::load(qint64 maxAgeSeconds) const
{
    const QFileInfo info(infoPath());
    if (!info.isFile())
        return std::nullopt;
    const qint64 age = info.lastModified().secsTo(QDateTime::currentDateTime());
    if (age < 0 || age > maxAgeSeconds)
        return std::nullopt;
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    if (!doc.isObject() || doc.object().isEmpty())
        return std::nullopt;
    return doc.object();
}

bool PageCache::store(const QJsonObject& info) const
{
    prune(folder());
    return writeAtomically(infoPath(), QJsonDocument(info).toJson(QJsonDocument::Compact));
}

CodeMap PageCache::codes() const
{
    QFile file(folder() + u'/' + m_key + QStringLiteral(".codes"));
    CodeMap map;
    if (!file.open(QIODevice::ReadOnly))
        return map;
    const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    for (auto it = o.begin(); it != o.end(); ++it) {
        if (it.value().isString())
            map.insert(it.key(), it.value().toString());
    }
    return map;
}

void PageCache::storeCodes(const CodeMap& codes) const
{
    QJsonObject o;
    for (auto it = codes.begin(); it != codes.end(); ++it)
        o.insert(it.key(), it.value());
    writeAtomically(folder() + u'/' + m_key + QStringLiteral(".codes"), QJsonDocument(o).toJson());
}

} // namespace brenlow::tool
