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
    BarChanges changes;
};

using P = BarProperties;
constexpr BarChanges Picture = BarChange::Picture;

// In the order they are written. Every change but Value's draws the whole picture anew.
const Stored kTable[] = {
    {"Min", &P::Min, Picture},
    {"Max", &P::Max, Picture},
    {"Value", &P::Value, BarChange::Track},
    {"BarStyle", &P::BarStyle, Picture},
    {"BarColorSet", &P::BarColorSet, Picture | BarChange::Layout},
    {"Bar_Pic", &P::Bar_Pic, Picture | BarChange::Layout},
    {"BarBorderStyle", &P::BarBorderStyle, Picture | BarChange::Shape},
    {"BorderColor", &P::BorderColor, Picture},
    {"BarFillDirection", &P::BarFillDirection, Picture},
    {"BackColor", &P::BackColor, Picture},
    {"Enabled", &P::Enabled, Picture | BarChange::Enabled},
    {"BarSpaceBetweenImages", &P::BarSpaceBetweenImages, Picture},
};

const Stored* rowOf(const Field& field)
{
    for (const Stored& s : kTable)
        if (s.field == field)
            return &s;
    return nullptr;
}

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
    const Stored* s = rowOf(field);
    return s ? QLatin1String(s->key) : QString();
}

BarChanges BarProperties::ChangesOf(const Field& field)
{
    const Stored* s = rowOf(field);
    return s ? s->changes : BarChanges();
}

} // namespace brenlow
