#pragma once

#include "PageInfo.h"

#include <QByteArray>
#include <QFileDevice>
#include <QJsonObject>
#include <QString>

#include <optional>

namespace brenlow::tool {

/** Page extractions kept under the user's cache folder ($XDG_CACHE_HOME, else ~/.cache), keyed by
 *  link, so that the thumbnail, name and download runs need not extract the page again; and the
 *  codes handed out for the link's format ids, kept as long as the link is used. Only the user can
 *  read them (folders 0700, files 0600); each entry names its link and serves no other; cookies yt-dlp
 *  wrote into the page's headers are not kept. */
class PageCache
{
public:
    explicit PageCache(const QString& link);

    /** The extraction, when one is there and younger than maxAgeSeconds. */
    [[nodiscard]] std::optional<QJsonObject> load(qint64 maxAgeSeconds) const;
    /** Keeps an extraction, and drops the answers made from the one before; returns false when the
     *  folder cannot be written. */
    bool store(const QJsonObject& info) const;
    /** Where the extraction lies (for yt-dlp's --load-info-json). */
    [[nodiscard]] QString infoPath() const;
    /** Where the codes lie, and the answers kept ready from the extraction (Answers.h). */
    [[nodiscard]] QString codesPath() const;
    [[nodiscard]] QString answersPath() const;

    [[nodiscard]] CodeMap codes() const;
    /** Whether the codes of the link are there (an empty map counts); false when they were lost. */
    [[nodiscard]] bool hasCodes() const;
    /** Keeps the codes; returns false when they cannot be written. */
    bool storeCodes(const CodeMap& codes) const;

    /** A thumbnail made ready for the link (the JPEG the picture run writes) and the address it
     *  came from, when one is there and younger than maxAgeSeconds. */
    struct Picture
    {
        QString address;
        QByteArray jpeg;
    };
    [[nodiscard]] std::optional<Picture> picture(qint64 maxAgeSeconds) const;
    /** Keeps a thumbnail made ready for the link; returns false when it cannot be written. */
    bool storePicture(const Picture& picture) const;

    /** The cache folder, created on demand. */
    [[nodiscard]] static QString folder();

private:
    [[nodiscard]] std::optional<QJsonObject> read(const QString& path) const;

    QString m_link;
    QString m_key;
};

/** Replaces the file at path whole (a reader sees the old file or the new one), made with the given
 *  permissions (less the umask). Not synced to the disk: that cost a run answered from the cache more
 *  than all the rest of it, and what a crash leaves broken is only read or made again. False, with
 *  the reason in error, when it cannot be written. */
bool ReplaceFile(const QString& path, const QByteArray& bytes, QFileDevice::Permissions permissions,
                 QString* error = nullptr);

} // namespace brenlow::tool
