#pragma once

#include <QFont>
#include <QtGlobal>

#include <limits>
#include <variant>
#include <vector>

namespace brenlow {

class PropertyBag;
struct GridProperties;

/** One stored property of the grid: its key in the property store and the field it fills. The
 *  field's type gives the stored type: bool (a 16-bit boolean, stored as -1 / 0), qint32 (Long),
 *  qint16 (Int), quint32 (a colour), float (a size in scale units), QString, QFont. */
struct GridPropertyEntry
{
    using Field = std::variant<bool GridProperties::*, qint32 GridProperties::*, qint16 GridProperties::*,
                               quint32 GridProperties::*, float GridProperties::*, QString GridProperties::*,
                               QFont GridProperties::*>;
    const char* key;
    Field field;
    /** The values a number may take; a stored value outside them (or not a number) reads as the
     *  default. Ranges keep damaged data from asking for giant or negative sizes. */
    double low = -std::numeric_limits<double>::infinity();
    double high = std::numeric_limits<double>::infinity();
};

/** Every stored property, in the order it is read and written. */
[[nodiscard]] const std::vector<GridPropertyEntry>& GridPropertyTable();

/** The key a property is stored and reported under ("" for a field that is not stored). */
[[nodiscard]] const char* GridPropertyKey(const GridPropertyEntry::Field& field);

/** Reads every key with its default (the defaults of GridProperties; Font defaults to the container's
 *  font, FontHeader to the Font just read); a number outside its entry's range, or outside its type,
 *  reads as the default. Keys are matched without regard to case. A font may be
 *  stored as a QFont, as QFont::toString() text or as a bare family name. */
void ReadGridProperties(const PropertyBag& bag, GridProperties& props, const QFont& ambientFont);

/** Writes every key; values equal to their default are left out. */
void WriteGridProperties(PropertyBag& bag, const GridProperties& props, const QFont& ambientFont);

} // namespace brenlow
