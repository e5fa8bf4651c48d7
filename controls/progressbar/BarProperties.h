#pragma once

#include <QImage>
#include <QString>
#include <QtGlobal>

#include <variant>

namespace brenlow {

class PropertyBag;

/** The stored properties of a SleekProgressBar; the member initialisers are their defaults, the
 *  values a new bar gets and the values that are not stored. Colours are 0x00BBGGRR values
 *  (BackColor may name a system colour). One table gives each its key: reading, writing and the
 *  setters' change notices all take the names from it. */
struct BarProperties
{
    qint32 Min = 0;
    qint32 Max = 100;
    qint32 Value = 0;
    qint32 BarStyle = 0;
    qint32 BarColorSet = 1;
    QImage Bar_Pic;
    qint32 BarBorderStyle = 1;
    quint32 BorderColor = 10525848; // RGB 152, 156, 160
    qint32 BarFillDirection = 1;
    quint32 BackColor = 16776447; // RGB 255, 252, 255
    bool Enabled = true;
    qint32 BarSpaceBetweenImages = 2;

    /** Reads every key; a missing key or one that does not convert gives the default. */
    void Read(const PropertyBag& bag);
    /** Writes every key in table order; values at their defaults are not stored. */
    void Write(PropertyBag& bag) const;

    /** The stored key of a property, which is also the name its setter announces. */
    /** A stored property, by its field. */
    using Field = std::variant<qint32 BarProperties::*, quint32 BarProperties::*, bool BarProperties::*,
                               QImage BarProperties::*>;
    [[nodiscard]] static QString KeyOf(const Field& field);
};

} // namespace brenlow
