#include "controls/progressbar/BarProperties.h"

#include "controls/common/PropertyBag.h"

#include <variant>

namespace brenlow {

namespace {

using Field = BarProperties::Field;

struct Stored
{
    const char* key;
    Field field;
};

// In the order they are written.
const Stored kTable[] = {
    {"Min", &BarProperties::Min},
    {"Max", &BarProperties::Max},
    {"Value", &BarProperties::Value},
    {"BarStyle", &BarProperties::BarStyle},
    {"BarColorSet", &BarProperties::BarColorSet},
    {"Bar_Pic", &BarProperties::Bar_Pic},
    {"BarBorderStyle", &BarProperties::BarBorderStyle},
    {"BorderColor", &BarProperties::BorderColor},
    {"BarFillDirection", &BarProperties::BarFillDirection},
    {"BackColor", &BarProperties::BackColor},
    {"Enabled", &BarProperties::Enabled},
    {"BarSpaceBetweenImages", &BarProperties::BarSpaceBetweenImages},
};

const BarProperties kDefaults;

// The typed reads and writes, one per kind of value.
void readInto(const PropertyBag& bag, const QString& key, qint32& value, qint32 def)
{
    const qint64 v = bag.ReadInt(key, def);
    value = (v < INT32_MIN || v > INT32_MAX) ? def : static_cast<qint32>(v);
}
void readInto(const PropertyBag& bag, const QString& key, quint32& value, quint32 def)
{
    value = bag.ReadColor(key, def);
}
void readInto(const PropertyBag& bag, const QString& key, bool& value, bool def)
{
    value = bag.ReadBool(key, def);
}
void readInto(const PropertyBag& bag, const QString& key, QImage& value, const QImage&)
{
    const QVariant pic = bag.ReadProperty(key);
    value = pic.canConvert<QImage>() ? pic.value<QImage>() : QImage();
}

QVariant stored(qint32 v)
{
    return v;
}
QVariant stored(quint32 v)
{
    return v;
}
QVariant stored(bool v)
{
    // Booleans are stored as 16-bit values, True = -1.
    return QVariant::fromValue<qint16>(v ? -1 : 0);
}
QVariant stored(const QImage& v)
{
    return v.isNull() ? QVariant() : QVariant(v);
}

} // namespace

void BarProperties::Read(const PropertyBag& bag)
{
    for (const Stored& s : kTable)
        std::visit([&](auto field) { readInto(bag, QLatin1String(s.key), this->*field, kDefaults.*field); },
                   s.field);
}

void BarProperties::Write(PropertyBag& bag) const
{
    for (const Stored& s : kTable)
        std::visit(
            [&](auto field) {
                bag.WriteProperty(QLatin1String(s.key), stored(this->*field), stored(kDefaults.*field));
            },
            s.field);
}

QString BarProperties::KeyOf(const Field& field)
{
    for (const Stored& s : kTable)
        if (s.field == field)
            return QLatin1String(s.key);
    return {};
}

} // namespace brenlow
