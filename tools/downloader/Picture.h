#pragma once

// The thumbnail of a video page as the window needs it: fetched only from http/https addresses,
// without the page's cookies or credentials, within a fixed time, decoded whole with a size limit
// and made a JPEG of at most 1280x720.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QJsonObject>
#include <QString>

namespace brenlow::tool {

/** Largest picture written: bigger ones are scaled down, keeping their shape. */
inline constexpr int kPictureMaxWidth = 1280;
inline constexpr int kPictureMaxHeight = 720;
/** Pictures with more pixels are not decoded (JPEGs are, at a reduced scale). */
inline constexpr qint64 kPictureMaxPixels = 24'000'000;

/** Fetches an address for the picture run: only http/https (also after redirects), with the page's
 *  headers but never its Cookie or Authorization, at most 32 MiB, ending by the deadline. Empty, with
 *  the reason in error, when it fails. */
[[nodiscard]] QByteArray FetchForPicture(const QString& address, const QJsonObject& info,
                                         const QDeadlineTimer& deadline, QString* error);

/** The picture as JPEG bytes, scaled to fit 1280x720; empty, with the reason in error, when the data
 *  is no picture, is cut short or corrupt, or is too large to decode. Formats Qt does not read (WebP,
 *  AVIF) go through ffmpeg, through pipes and with a pixel limit. */
[[nodiscard]] QByteArray PictureToJpeg(const QByteArray& data, const QDeadlineTimer& deadline,
                                       QString* error);

} // namespace brenlow::tool
