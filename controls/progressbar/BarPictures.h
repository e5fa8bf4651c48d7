#pragma once

#include <QImage>
#include <QString>

namespace brenlow {

/** The built-in segment picture of the given resource name ("PRG10" to "PRG81"), looked up without
 *  regard to letter case. A null image when there is none of that name. */
[[nodiscard]] QImage LoadBarResource(const QString& name);

} // namespace brenlow
