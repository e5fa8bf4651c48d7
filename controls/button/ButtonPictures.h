#pragma once

#include <QImage>
#include <QString>

namespace brenlow {

/** One of the bundled 32 x 32 button pictures by name ("add", "browse", "cancel", "delete",
 *  "download"); their background is the mask colour 0x00FF00. A null image for an unknown name.
 *  For a screen of twice the density or more, the picture drawn at 64 x 64 with a device pixel
 *  ratio of 2 (still 32 x 32 in the button's own pixels). */
[[nodiscard]] QImage BundledButtonPicture(const QString& name, qreal devicePixelRatio = 1.0);

/** Makes the bundled pictures reachable as ":/button/<name>.png" (done once; cheap afterwards). */
void EnsureButtonResources();

/** Reads every bundled picture ahead, at both densities, for BundledButtonPicture to find ready.
 *  Safe on any thread. */
void PrepareButtonPictures();

/** The mask colour of the bundled pictures. */
constexpr quint32 ButtonPictureMaskColor = 0x00FF00;

} // namespace brenlow
