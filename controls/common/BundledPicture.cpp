#include "controls/common/BundledPicture.h"

#include <QImageReader>

namespace brenlow {

QImage ReadBundledPicture(const QString& path, const QByteArray& format)
{
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace brenlow
