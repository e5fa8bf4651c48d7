// The catalogue's thumbnails: drawn, not fetched. Part of the media part (see MediaPart.h).

#include "Simulator.h"

#include <QColor>
#include <QImage>

#include <cstdlib>

namespace brenlow::tool {

bool WriteDemoPicture(const QString& colour, const QString& path,
                      QString* /*error: the save tells no reason*/)
{
    const QColor base(colour);
    QImage img(320, 180, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const double t = (x + y) / static_cast<double>(img.width() + img.height());
            const QColor c = base.lighter(static_cast<int>(150 - 70 * t));
            row[x] = c.rgb();
        }
    }
    // A white "play" triangle in the middle.
    for (int y = 60; y < 120; ++y) {
        const int half = 30 - std::abs(y - 90);
        for (int x = 140; x < 140 + half * 2 && x < img.width(); ++x)
            img.setPixel(x, y, qRgb(255, 255, 255));
    }
    return img.save(path, "JPEG", 85);
}

} // namespace brenlow::tool
