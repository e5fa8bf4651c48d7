#pragma once

// Pages of several videos beside the media of MediaSite.h: three video elements on one page, each
// with a picture of its own colour (red, green, blue), and an empty feed.

#include "MediaSite.h"

#include <QColor>
#include <QImage>

namespace brenlow::test::media {

inline const QStringList ListColours{QStringLiteral("red"), QStringLiteral("green"), QStringLiteral("blue")};
/** The files of the three videos of three.html, in order. */
inline const QStringList ListMedia{QStringLiteral("small.mp4"), QStringLiteral("big.mp4"),
                                   QStringLiteral("blob.mp4")};

inline void WriteListPages(const QString& dir)
{
    QByteArray html("<!DOCTYPE html><html><head><title>Three Clips</title></head><body>\n");
    for (int i = 0; i < 3; ++i) {
        QImage picture(64, 36, QImage::Format_RGB32);
        picture.fill(QColor(ListColours.at(i)));
        picture.save(dir + QStringLiteral("/poster%1.jpg").arg(i + 1), "JPG");
        html +=
            QStringLiteral("<video controls poster=\"/poster%1.jpg\"><source src=\"/%2\" type=\"video/mp4\">"
                           "</video>\n")
                .arg(i + 1)
                .arg(ListMedia.at(i))
                .toUtf8();
    }
    write(dir + QStringLiteral("/three.html"), html + "</body></html>\n");
    write(dir + QStringLiteral("/empty.rss"),
          "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel>"
          "<title>Empty Feed</title><link>http://x/</link></channel></rss>");
}

} // namespace brenlow::test::media
