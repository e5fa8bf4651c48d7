#include "controls/button/ButtonPictures.h"

#include "controls/common/BundledPicture.h"

#include <QDir>
#include <QFile>

static void initButtonResources()
{
    // Keeps the pictures from being dropped by the static linker.
    Q_INIT_RESOURCE(button);
}

namespace brenlow {

void EnsureButtonResources()
{
    static const bool ready = (initButtonResources(), true);
    (void)ready;
}

QImage BundledButtonPicture(const QString& name, qreal devicePixelRatio)
{
    EnsureButtonResources();
    const QString dense = QStringLiteral(":/button/%1@2x.png").arg(name);
    if (devicePixelRatio >= 2.0 && QFile::exists(dense)) {
        QImage image = ReadBundledPicture(dense, "png", QImage::Format_RGB32);
        image.setDevicePixelRatio(2.0);
        return image;
    }
    const QString path = QStringLiteral(":/button/%1.png").arg(name);
    if (!QFile::exists(path))
        return {};
    return ReadBundledPicture(path, "png", QImage::Format_RGB32);
}

void PrepareButtonPictures()
{
    EnsureButtonResources();
    for (const QFileInfo& entry : QDir(QStringLiteral(":/button")).entryInfoList({QStringLiteral("*.png")}))
        (void)ReadBundledPicture(entry.filePath(), "png", QImage::Format_RGB32);
}

} // namespace brenlow
