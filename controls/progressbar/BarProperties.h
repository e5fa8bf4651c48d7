#pragma once

#include <QFlags>
#include <QImage>
#include <QString>
#include <QtGlobal>

#include <variant>

namespace brenlow {

class PropertyBag;

/** What a change of a stored property asks of the bar besides the new value. */
enum class BarChange : unsigned
{
    Picture = 0x01, ///< the whole picture is drawn anew
    Track = 0x02,   ///< only the part of the track between the painted value and the new one
    Layout = 0x04,  ///< the segments' layout follows the picture
    Shape = 0x08,   ///< the window shape
    Enabled = 0x10, ///< the widget's enabled state
};
Q_DECLARE_FLAGS(BarChanges, BarChange)
Q_DECLARE_OPERATORS_FOR_FLAGS(BarChanges)

/** The stored properties of a SleekProgressBar; the member initialisers are their defaults, the
 *  values a new bar gets and the values that are not stored. Colours are 0x00BBGGRR values
 *  (BackColor may name a system colour). One table gives each its key: reading, writing and the
 *  setters take the names and what a change asks for from it. */
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

    /** A stored property, by its field. */
    using Field = std::variant<qint32 BarProperties::*, quint32 BarProperties::*, bool BarProperties::*,
                               QImage BarProperties::*>;
    /** The stored key of a property, which is also the name its setter announces. */
    [[nodiscard]] static QString KeyOf(const Field& field);
    /** What a change of the property asks of the bar. */
    [[nodiscard]] static BarChanges ChangesOf(const Field& field);
};

} // namespace brenlow
