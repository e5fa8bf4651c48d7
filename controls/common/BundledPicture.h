#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace brenlow {

/** Reads a picture bundled with the program (a file or a Qt resource) whose format is known and
 *  read by Qt itself ("png", "bmp"), converted to `convertTo` unless that is Format_Invalid. The
 *  image plugins are not asked: finding a reader among them loads every one of them, a cost the
 *  program would pay at start-up for nothing. A null image when the picture cannot be read.
 *
 *  A resource (":/...") cannot change while the program runs: it is read once, and later calls
 *  share its pixels (a copy that is changed gets pixels of its own). Files are read anew every
 *  time. Safe to call from any thread, so start-up may read the window's pictures ahead on a
 *  thread of its own. */
[[nodiscard]] QImage ReadBundledPicture(const QString& path, const QByteArray& format,
                                        QImage::Format convertTo = QImage::Format_Invalid);

} // namespace brenlow
