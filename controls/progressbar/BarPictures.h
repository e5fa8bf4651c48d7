#pragma once

#include <QImage>
#include <QString>

namespace brenlow {

/** The built-in segment picture of the given resource name ("PRG10" to "PRG81"), looked up without
 *  regard to letter case. A null image when there is none of that name. */
[[nodiscard]] QImage LoadBarResource(const QString& name);

/** The twin of a built-in segment picture drawn at twice the density ("PRG20" gives set 2's picture
 *  at 16 x 20), with a device pixel ratio of 2, so that it measures what the plain one measures in
 *  the control's own pixels. A null image when there is none of that name. */
[[nodiscard]] QImage LoadDenseBarResource(const QString& name);

/** Reads a colour set's built-in pictures ahead (both orientations, both densities), for the two
 *  functions above to find ready. Safe on any thread. */
void PrepareBarPictures(int colorSet);

} // namespace brenlow
