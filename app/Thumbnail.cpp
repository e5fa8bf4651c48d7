#include "app/Thumbnail.h"

#include <QImageReader>
#include <QPainter>
#include <QPainterPath>

namespace brenlow {

QImage PrepareThumbnail(const QString& path, QSize box)
{
    QImageReader reader(path);
    // The tool may write a PNG or WebP picture under the .jpg name; let the reader look at the content.
    reader.setDecideFormatFromContent(true);
    // A broken or hostile file must not allocate without bound.
    const QSize declared = reader.size();
    if (declared.isValid() && (declared.width() > 20000 || declared.height() > 20000))
        return {};
    QImage image = reader.read();
    if (image.isNull())
        return {};
    image = image.convertToFormat(QImage::Format_RGB32);
    if (image.width() > box.width() || image.height() > box.height())
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage PlaceholderThumbnail()
{
    QImage image(120, 90, QImage::Format_RGB32);
    image.fill(QColor(214, 218, 224));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(160, 166, 176), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, 118, 88));
    QPainterPath play;
    play.moveTo(50, 30);
    play.lineTo(74, 45);
    play.lineTo(50, 60);
    play.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 156, 168));
    p.drawEllipse(QPointF(60, 45), 24, 24);
    p.setBrush(QColor(236, 238, 242));
    p.drawPath(play);
    return image;
}

} // namespace brenlow
