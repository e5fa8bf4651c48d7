#include "controls/button/ButtonProperties.h"

#include "controls/button/ButtonColors.h"
#include "controls/common/PropertyBag.h"

#include <QPixmap>

#include <variant>

namespace brenlow {

namespace {

using P = ButtonProperties;
using Field = ButtonProperties::Field;

/** How a value is stored beyond its type. */
enum class Kind
{
    Plain,
    Short,  ///< a 16-bit integer
    Byte,   ///< a byte
    Always, ///< written whatever its value
};

/** One stored property: its key, its field, its stored default (a system colour is used in its
 *  translated form; the font's is the container's), and the name its setter announces when that
 *  differs from the key. */
struct Stored
{
    const char* key;
    Field field;
    QVariant def;
    ButtonChanges changes;
    Kind kind = Kind::Plain;
    const char* announced = nullptr;
    QVariant readDef = {}; ///< when reading takes another default
};

constexpr ButtonChanges Picture = ButtonChange::Picture;

// In the order they are written.
const Stored kTable[] = {
    {"ButtonStyle", &P::ButtonStyle, 1, Picture | ButtonChange::Region},
    {"ShowFocusRect", &P::ShowFocusRect, false, {}},
    {"Enabled", &P::Enabled, true, Picture | ButtonChange::Enabled},
    {"Font", &P::Font, {}, Picture | ButtonChange::Font},
    {"BackColor", &P::BackColor, quint32(OleColor::ButtonFace), Picture},
    {"Caption", &P::Caption, QStringLiteral("glintbutton1"), Picture | ButtonChange::AccessKey, Kind::Plain,
     nullptr, QStringLiteral("glintbutton")},
    {"ForeColor", &P::ForeColor, quint32(OleColor::ButtonText), Picture},
    {"ForeColorHover", &P::ForeColorHover, quint32(OleColor::ButtonText), Picture},
    {"Mode", &P::Mode, 0, Picture},
    {"Value", &P::Value, false, Picture},
    {"MousePointer", &P::MousePointer, 0, ButtonChange::Cursor, Kind::Short},
    {"HandPointer", &P::HandPointer, false, ButtonChange::Cursor},
    {"MouseIcon", &P::MouseIcon, {}, ButtonChange::Cursor},
    {"PictureNormal", &P::PictureNormal, {}, Picture},
    {"PictureHot", &P::PictureHot, {}, Picture},
    {"PictureDown", &P::PictureDown, {}, Picture},
    {"PictureAlign", &P::PictureAlign, 1, ButtonChange::PictureIfAny},
    {"PictureEffectOnOver", &P::PictureEffectOnOver, 1, Picture},
    {"PictureEffectOnDown", &P::PictureEffectOnDown, 2, Picture},
    {"PicturePushOnHover", &P::PicturePushOnHover, false, Picture},
    {"PictureShadow", &P::PictureShadow, false, Picture},
    {"PictureOpacity", &P::PictureOpacity, 255, Picture, Kind::Byte},
    {"PictureOpacityOnOver", &P::PictureOpacityOnOver, 255, Picture, Kind::Byte},
    {"DisabledPictureMode", &P::DisabledPictureMode, 0, Picture},
    {"CaptionEffects", &P::CaptionEffects, 0, Picture, Kind::Always},
    {"UseMaskColor", &P::UseMaskColor, true, ButtonChange::PictureIfAny},
    {"MaskColor", &P::MaskColor, 0xE0E0E0u, Picture},
    {"CaptionAlign", &P::CaptionAlign, 1, Picture},
    {"ToolTip", &P::ToolTip, QString(), Picture},
    {"TooltipType", &P::TooltipType, 0, Picture, Kind::Plain, "ToolTipType"},
    {"TooltipIcon", &P::TooltipIcon, 0, Picture},
    {"TooltipTitle", &P::TooltipTitle, QString(), Picture},
    {"TooltipBackColor", &P::TooltipBackColor, quint32(OleColor::InfoBackground), Picture, Kind::Plain,
     "TooltipBackcolor"},
    {"RightToLeft", &P::RightToLeft, false, Picture | ButtonChange::Direction},
    {"DropDownSymbol", &P::DropDownSymbol, 0, Picture},
    {"DropDownSeparator", &P::DropDownSeparator, false, Picture},
    {"ColorScheme", &P::ColorScheme, 0, Picture},
};

const Stored* rowOf(const Field& field)
{
    for (const Stored& s : kTable)
        if (s.field == field)
            return &s;
    return nullptr;
}

// Booleans are stored as 16-bit values, True = -1.
QVariant storedBool(bool b)
{
    return QVariant::fromValue<qint16>(b ? -1 : 0);
}

QImage readPicture(const PropertyBag& bag, const QString& key)
{
    const QVariant v = bag.ReadProperty(key);
    if (!v.isValid())
        return {};
    if (v.canConvert<QImage>() && v.typeId() == QMetaType::QImage)
        return v.value<QImage>();
    if (v.typeId() == QMetaType::QPixmap)
        return v.value<QPixmap>().toImage();
    if (v.typeId() == QMetaType::QString && !v.toString().isEmpty())
        return QImage(v.toString()); // a file or resource path
    return {};
}

QFont readFont(const PropertyBag& bag, const QString& key, const QFont& containerFont)
{
    const QVariant v = bag.ReadProperty(key);
    if (v.typeId() == QMetaType::QFont)
        return v.value<QFont>();
    if (v.typeId() == QMetaType::QString) {
        QFont f;
        if (f.fromString(v.toString()))
            return f;
    }
    return containerFont;
}

quint32 colorDefault(const QVariant& def)
{
    return OleColor::Translate(def.value<quint32>());
}

/** The typed reads, one per kind of field. */
struct Reader
{
    const PropertyBag& bag;
    const Stored& s;
    const QFont& containerFont;
    QString key() const { return QLatin1String(s.key); }
    const QVariant& def() const { return s.readDef.isValid() ? s.readDef : s.def; }

    void operator()(int& v) const
    {
        v = static_cast<int>(bag.ReadInt(key(), def().toInt()));
        if (s.kind == Kind::Byte)
            v &= 0xFF;
    }
    void operator()(bool& v) const { v = bag.ReadBool(key(), def().toBool()); }
    void operator()(quint32& v) const { v = bag.ReadColor(key(), colorDefault(def())); }
    void operator()(QString& v) const { v = bag.ReadString(key(), def().toString()); }
    void operator()(QImage& v) const { v = readPicture(bag, key()); }
    void operator()(QFont& v) const { v = readFont(bag, key(), containerFont); }
};

/** The typed writes: the value as stored, and its default in the same form. */
struct Writer
{
    PropertyBag& bag;
    const Stored& s;
    const QFont& containerFont;

    void write(const QVariant& value, const QVariant& def) const
    {
        bag.WriteProperty(QLatin1String(s.key), value, s.kind == Kind::Always ? QVariant() : def);
    }
    void operator()(int v) const
    {
        if (s.kind == Kind::Short)
            write(QVariant::fromValue<qint16>(static_cast<qint16>(v)), s.def);
        else if (s.kind == Kind::Byte)
            write(QVariant::fromValue<quint8>(static_cast<quint8>(v)), s.def);
        else
            write(v, s.def);
    }
    void operator()(bool v) const { write(storedBool(v), storedBool(s.def.toBool())); }
    void operator()(quint32 v) const { write(v, colorDefault(s.def)); }
    void operator()(const QString& v) const { write(v, s.def); }
    void operator()(const QImage& v) const { write(v.isNull() ? QVariant() : QVariant(v), QVariant()); }
    void operator()(const QFont& v) const { write(v, containerFont); }
};

} // namespace

ButtonProperties ButtonProperties::Fresh(const QFont& containerFont, const QString& name)
{
    ButtonProperties p;
    p.Font = containerFont;
    p.Font.setFamily(QStringLiteral("Tahoma"));
    p.Caption = name;
    p.ApplyStyleColorScheme();
    p.ApplyStyleColors();
    return p;
}

void ButtonProperties::Read(const PropertyBag& bag, const QFont& containerFont)
{
    for (const Stored& s : kTable)
        std::visit([&](auto field) { Reader{bag, s, containerFont}(this->*field); }, s.field);
    if (Mode == ModeCommand)
        Value = false;
}

void ButtonProperties::Write(PropertyBag& bag, const QFont& containerFont) const
{
    for (const Stored& s : kTable)
        std::visit([&](auto field) { Writer{bag, s, containerFont}(this->*field); }, s.field);
}

QString ButtonProperties::NameOf(const Field& field)
{
    const Stored* s = rowOf(field);
    return s ? QLatin1String(s->announced ? s->announced : s->key) : QString();
}

ButtonChanges ButtonProperties::ChangesOf(const Field& field)
{
    const Stored* s = rowOf(field);
    return s ? s->changes : ButtonChanges();
}

int ButtonProperties::Normalised(int ButtonProperties::*field, int value)
{
    const Stored* s = rowOf(field);
    return s && s->kind == Kind::Byte ? value & 0xFF : value;
}

void ButtonProperties::FollowChange(const Field& field)
{
    if (field == Field(&P::ButtonStyle)) {
        ApplyStyleColorScheme();
        ApplyStyleColors();
    } else if (field == Field(&P::ColorScheme)) {
        ApplyStyleColors();
    } else if (field == Field(&P::BackColor)) {
        if (ButtonStyle != StyleHoverBox)
            ColorScheme = 3; // a colour of one's own is the custom scheme
    } else if (field == Field(&P::Mode)) {
        if (Mode == ModeCommand)
            Value = false;
    } else if (field == Field(&P::HandPointer)) {
        if (HandPointer)
            MousePointer = 0;
    } else if (field == Field(&P::MouseIcon)) {
        HandPointer = HandPointer && MouseIcon.isNull();
        MousePointer = MouseIcon.isNull() ? 0 : 99;
    } else if (field == Field(&P::PictureNormal)) {
        if (PictureNormal.isNull()) {
            PictureHot = QImage();
            PictureDown = QImage();
        }
    }
}

void ButtonProperties::ApplyStyleColorScheme()
{
    switch (ButtonStyle) {
    case StyleGlossyStrips:
    case StyleWhiteGloss:
        ColorScheme = 2;
        break;
    case StyleToolbarGradient:
    case StyleHoverRaised:
    case StyleHoverFlat:
    case StyleVisualStyle:
        break;
    default:
        ColorScheme = 0;
        break;
    }
}

void ButtonProperties::ApplyStyleColors()
{
    using ButtonColors::Shift;
    const int scheme = ColorScheme;
    auto pick = [&](quint32 s0, quint32 s1, quint32 s2) {
        if (scheme == 0)
            BackColor = s0;
        else if (scheme == 1)
            BackColor = s1;
        else if (scheme == 2)
            BackColor = s2;
    };
    switch (ButtonStyle) {
    case StyleStandard:
    case StyleFlat:
    case StyleHoverBox:
    case StyleSilverLines:
    case StyleWarmHover:
    case StyleHoverRaised:
    case StyleHoverFlat:
        BackColor = OleColor::ButtonFace;
        break;
    case StyleRoundedGradient:
        pick(0xE7EBEC, 0xDBEEF3, 0xFCF1F0);
        break;
    case StyleGlossyStrips:
        pick(0xFDECE0, 0xDEEDE8, Shift(0xD4D4D4, 0.06f));
        break;
    case StyleToolbarGradient:
        pick(0xFCE1CA, 0xBAD6D4, Shift(0xBA9EA0, 0.15f));
        break;
    case StyleOrangeGloss:
    case StylePastelGloss:
        pick(0xFFD1AD, 0xBAD6D4, 0xE3DFE0);
        break;
    case StyleWhiteGloss:
        pick(0xFFD1AD, 0xBAD6D4, 0xE1D6D5);
        break;
    default:
        break;
    }
    ForeColor = OleColor::ButtonText;
    ShowFocusRect =
        ButtonStyle == StyleStandard || ButtonStyle == StyleFlat || ButtonStyle == StyleWhiteGloss;
    if (ButtonStyle == StyleHoverBox)
        PicturePushOnHover = true;
}

QChar AccessKeyOf(const QString& caption)
{
    if (caption.size() <= 1)
        return {};
    const qsizetype p = caption.indexOf(QLatin1Char('&')); // 0-based
    if (p < 0 || p == caption.size() - 1)
        return {};
    if (caption.at(p + 1) != QLatin1Char('&'))
        return caption.at(p + 1).toLower();
    const qsizetype q = caption.indexOf(QLatin1Char('&'), p + 2);
    if (q < 0 || q + 1 >= caption.size())
        return {};
    if (caption.at(q + 1) == QLatin1Char('&'))
        return {};
    return caption.at(q + 1).toLower();
}

} // namespace brenlow
