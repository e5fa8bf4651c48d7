#include "controls/common/BundledPicture.h"

#include <QHash>
#include <QImageReader>
#include <QMutex>

namespace brenlow {

namespace {

QImage readPicture(const QString& path, const QByteArray& format, QImage::Format convertTo)
{
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    QImage picture = reader.read();
    if (convertTo != QImage::Format_Invalid && !picture.isNull() && picture.format() != convertTo)
        picture = picture.convertToFormat(convertTo);
    return picture;
}

} // namespace

QImage ReadBundledPicture(const QString& path, const QByteArray& format, QImage::Format convertTo)
{
    if (!path.startsWith(QLatin1Char(':')))
        return readPicture(path, format, convertTo);
    static QMutex lock;
    static QHash<QString, QImage> read;
    const QString key = path + QLatin1Char('\n') + QString::fromLatin1(format) + QLatin1Char('\n') +
                        QString::number(static_cast<int>(convertTo));
    {
        const QMutexLocker locked(&lock);
        const auto it = read.constFind(key);
        if (it != read.constEnd())
            return *it;
    }
    // Read outside the lock: two threads asking at once both read, and both get equal pixels.
    const QImage picture = readPicture(path, format, convertTo);
    const QMutexLocker locked(&lock);
    read.insert(key, picture);
    return picture;
}

} // namespace brenlow
