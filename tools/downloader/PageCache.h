#pragma once

#include "PageInfo.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

namespace brenlow::tool {

/** Page extractions kept under the user's cache folder ($XDG_CACHE_HOME, else ~/.cache), keyed by
 *  link, so that the thumbnail, name and download runs need not extract the page again; and the
 *  codes handed out for the link's format ids, kept as long as the link is used. */
class PageCache
{
public:
    explicit PageCache(const QString& link);

    /** The extraction, when one is there and younger than maxAgeSeconds. */
    [[nodiscard]] std::optional<QJsonObject> load(qint64 maxAgeSeconds) const;
    /** Keeps an extraction; returns false when the folder cannot be written. */
    bool store(const QJsonObject& info) const;
    /** Where the extraction lies (for yt-dlp's --load-info-json). */
    [[nodiscard]] QString infoPath() const;

    [[nodiscard]] CodeMap codes() const;
    void storeCodes(const CodeMap& codes) const;

    /** The cache folder, created on demand. */
    [[nodiscard]] static QString folder();

private:
    QString m_key;
};

} // namespace brenlow::tool
