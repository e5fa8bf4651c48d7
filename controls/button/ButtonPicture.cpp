#include "controls/button/ButtonPicture.h"

#include "base/Rounding.h"
#include "controls/button/ButtonColors.h"

namespace brenlow {

namespace {

inline int mix(int d, int s, int f)
{
    // Blends by f / 256 with the rest from the destination, as whole numbers.
    return (d * (255 - f) + s * f) / 256;
}

} // namespace

void CompositePicture(QImage& dest, const QImage& picture, const PictureBlend& blend)
{
    if (picture.isNull() || dest.isNull())
        return;
    const bool hasAlpha = picture.hasAlphaChannel();
    const QImage src = picture.convertToFormat(hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const int w = std::min(src.width(), dest.width()), h = std::min(src.height(), dest.height());
    const auto& lighten = ButtonColors::LightenTable();
    const auto& darken = ButtonColors::DarkenTable();
    const QRgb maskRgb = ButtonColors::ToRgb(blend.maskColor) & 0xFFFFFF;
    QRgb silhouetteRgb = 0;
    if (blend.silhouette)
        silhouetteRgb = ButtonColors::ToRgb(*blend.silhouette);
    const int opacity = std::clamp(blend.opacity, 0, 255);

    for (int y = 0; y < h; ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* d = reinterpret_cast<QRgb*>(dest.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb sp = s[x];
            int f = opacity;
            if (hasAlpha) {
                f = qAlpha(sp) * opacity / 255;
            } else if (blend.useMask && (sp & 0xFFFFFF) == maskRgb) {
                continue;
            }
            if (f == 0)
                continue;
            int sr = qRed(sp), sg = qGreen(sp), sb = qBlue(sp);
            if (blend.silhouette) {
                sr = qRed(silhouetteRgb);
                sg = qGreen(silhouetteRgb);
                sb = qBlue(silhouetteRgb);
            } else if (blend.greyscale) {
                const int yv = static_cast<int>(RoundHalfEven(0.3 * sr + 0.59 * sg + 0.11 * sb));
                sr = sg = sb = std::min(yv, 255);
            } else if (blend.effect == 1) {
                sr = lighten[sr];
                sg = lighten[sg];
                sb = lighten[sb];
            } else if (blend.effect == 2) {
                sr = darken[sr];
                sg = darken[sg];
                sb = darken[sb];
            }
            if (f >= 255) {
                d[x] = qRgb(sr, sg, sb);
            } else {
                const QRgb dp = d[x];
                d[x] = qRgb(mix(qRed(dp), sr, f), mix(qGreen(dp), sg, f), mix(qBlue(dp), sb, f));
            }
        }
    }
}

} // namespace brenlow
