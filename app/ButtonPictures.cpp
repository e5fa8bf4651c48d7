#include "app/ButtonPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace brenlow {

QImage DrawButtonPicture(ButtonPicture which)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (which) {
    case ButtonPicture::Add:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(46, 160, 67));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 4, 2, 8));
        p.drawRect(QRectF(4, 7, 8, 2));
        break;
    case ButtonPicture::Browse: {
        p.setPen(QPen(QColor(150, 110, 20), 1));
        p.setBrush(QColor(240, 196, 80));
        QPainterPath folder;
        folder.moveTo(1.5, 3.5);
        folder.lineTo(6.5, 3.5);
        folder.lineTo(8, 5.5);
        folder.lineTo(14.5, 5.5);
        folder.lineTo(14.5, 13.5);
        folder.lineTo(1.5, 13.5);
        folder.closeSubpath();
        p.drawPath(folder);
        break;
    }
    case ButtonPicture::Cancel:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 40, 40));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
        p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
        break;
    case ButtonPicture::Delete:
        p.setPen(QPen(QColor(90, 90, 100), 1));
        p.setBrush(QColor(200, 204, 212));
        p.drawRect(QRectF(4.5, 4.5, 7, 10));
        p.drawLine(QPointF(2.5, 3.5), QPointF(13.5, 3.5));
        p.drawLine(QPointF(6.5, 1.5), QPointF(9.5, 1.5));
        p.drawLine(QPointF(6.5, 6.5), QPointF(6.5, 12.5));
        p.drawLine(QPointF(9.5, 6.5), QPointF(9.5, 12.5));
        break;
    case ButtonPicture::Download: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 100, 200));
        QPainterPath arrow;
        arrow.moveTo(6, 1);
        arrow.lineTo(10, 1);
        arrow.lineTo(10, 7);
        arrow.lineTo(13.5, 7);
        arrow.lineTo(8, 12.5);
        arrow.lineTo(2.5, 7);
        arrow.lineTo(6, 7);
        arrow.closeSubpath();
        p.drawPath(arrow);
        p.drawRect(QRectF(2, 13.5, 12, 2));
        break;
    }
    }
    return image;
}

} // namespace brenlow
