#pragma once

#include <QImage>

#include <optional>

namespace brenlow {

/** How a picture is laid over the surface. Colours are 0x00BBGGRR. */
struct PictureBlend
{
    /** 0 transparent .. 255 opaque. */
    int opacity = 255;
    /** 0 none, 1 lighten, 2 darken. */
    int effect = 0;
    bool greyscale = false;
    /** Pixels of the mask colour are left out (pictures without an alpha channel only). */
    bool useMask = true;
    quint32 maskColor = 0xE0E0E0;
    /** Draws every non-transparent pixel in this colour instead (shadows and pushed looks). */
    std::optional<quint32> silhouette;
};

/** Blends `picture` onto `dest` (same size; RGB32) pixel by pixel. A picture with an alpha channel
 *  is weighted per pixel by alpha x opacity \ 255 and has no mask colour. */
void CompositePicture(QImage& dest, const QImage& picture, const PictureBlend& blend);

} // namespace brenlow
