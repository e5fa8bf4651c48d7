#pragma once

#include <QImage>
#include <QString>

namespace brenlow {

/** One of the bundled 32 x 32 button pictures by name ("add", "browse", "cancel", "delete",
 *  "download"); their background is the mask colour 0x00FF00. A null image for an unknown name. */
[[nodiscard]] QImage BundledButtonPicture(const QString& name);

/** Makes the bundled pictures reachable as ":/button/<name>.png" (done once; cheap afterwards). */
void EnsureButtonResources();

/** The mask colour of the bundled pictures. */
constexpr quint32 ButtonPictureMaskColor = 0x00FF00;

} // namespace brenlow
