#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace brenlow {

/** Reads a picture bundled with the program (a file or a Qt resource) whose format is known and
 *  read by Qt itself ("png", "bmp"). The image plugins are not asked: finding a reader among them
 *  loads every one of them, a cost the program would pay at start-up for nothing. A null image when
 *  the picture cannot be read. */
[[nodiscard]] QImage ReadBundledPicture(const QString& path, const QByteArray& format);

} // namespace brenlow
