#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace brenlow {

/** The size of picWorking, the hidden box the thumbnail is prepared in, in pixels. */
inline constexpr QSize ThumbnailBox{320, 240};

/** Loads the thumbnail file and prepares the row's picture: the picture at its natural size, or,
 *  when it is larger than the box, scaled down to fit it (a cut would keep only a corner of a big
 *  thumbnail). A null image when the file is missing or unreadable. */
[[nodiscard]] QImage PrepareThumbnail(const QString& path, QSize box = ThumbnailBox);

/** A neutral picture for a row whose thumbnail could not be read: a grey frame with a play mark. */
[[nodiscard]] QImage PlaceholderThumbnail();

} // namespace brenlow
