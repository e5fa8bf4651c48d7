#include "controls/button/ButtonProperties.h"

#include "controls/button/ButtonColors.h"
#include "controls/common/PropertyBag.h"

#include <QPixmap>

namespace brenlow {

namespace {

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

QVariant storedPicture(const QImage& image)
{
    return image.isNull() ? QVariant() : QVariant(image);
}

QFont readFont(const PropertyBag& bag, const QFont& containerFont)
{
    const QVariant v = bag.ReadProperty(QStringLiteral("Font"));
    if (v.typeId() == QMetaType::QFont)
        return v.value<QFont>();
    if (v.typeId() == QMetaType::QString) {
        QFont f;
        if (f.fromString(v.toString()))
            return f;
    }
    return containerFont;
}

int readInt(const PropertyBag& bag, const char* key, int def)
{
    return static_cast<int>(bag.ReadInt(QLatin1String(key), def));
}

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
    // System colour defaults are used in their translated form, as they are written.
    const quint32 face = OleColor::Translate(OleColor::ButtonFace);
    const quint32 text = OleColor::Translate(OleColor::ButtonText);
    const quint32 info = OleColor::Translate(OleColor::InfoBackground);
    ButtonStyle = readInt(bag, "ButtonStyle", 1);
    ShowFocusRect = bag.ReadBool(QStringLiteral("ShowFocusRect"), false);
    Font = readFont(bag, containerFont);
    BackColor = bag.ReadColor(QStringLiteral("BackColor"), face);
    Enabled = bag.ReadBool(QStringLiteral("Enabled"), true);
    Caption = bag.ReadString(QStringLiteral("Caption"), QStringLiteral("glintbutton"));
    Value = bag.ReadBool(QStringLiteral("Value"), false);
    MousePointer = readInt(bag, "MousePointer", 0);
    HandPointer = bag.ReadBool(QStringLiteral("HandPointer"), false);
    MouseIcon = readPicture(bag, QStringLiteral("MouseIcon"));
    PictureNormal = readPicture(bag, QStringLiteral("PictureNormal"));
    PictureHot = readPicture(bag, QStringLiteral("PictureHot"));
    PictureDown = readPicture(bag, QStringLiteral("PictureDown"));
    PictureShadow = bag.ReadBool(QStringLiteral("PictureShadow"), false);
    PictureOpacity = readInt(bag, "PictureOpacity", 255) & 0xFF;
    PictureOpacityOnOver = readInt(bag, "PictureOpacityOnOver", 255) & 0xFF;
    DisabledPictureMode = readInt(bag, "DisabledPictureMode", 0);
    PicturePushOnHover = bag.ReadBool(QStringLiteral("PicturePushOnHover"), false);
    PictureEffectOnOver = readInt(bag, "PictureEffectOnOver", 1);
    PictureEffectOnDown = readInt(bag, "PictureEffectOnDown", 2);
    MaskColor = bag.ReadColor(QStringLiteral("MaskColor"), 0xE0E0E0);
    UseMaskColor = bag.ReadBool(QStringLiteral("UseMaskColor"), true);
    CaptionEffects = readInt(bag, "CaptionEffects", 0);
    Mode = readInt(bag, "Mode", 0);
    PictureAlign = readInt(bag, "PictureAlign", 1);
    CaptionAlign = readInt(bag, "CaptionAlign", 1);
    ForeColor = bag.ReadColor(QStringLiteral("ForeColor"), text);
    ForeColorHover = bag.ReadColor(QStringLiteral("ForeColorHover"), text);
    DropDownSeparator = bag.ReadBool(QStringLiteral("DropDownSeparator"), false);
    TooltipTitle = bag.ReadString(QStringLiteral("TooltipTitle"), QString());
    ToolTip = bag.ReadString(QStringLiteral("ToolTip"), QString());
    TooltipIcon = readInt(bag, "TooltipIcon", 0);
    TooltipType = readInt(bag, "TooltipType", 0);
    TooltipBackColor = bag.ReadColor(QStringLiteral("TooltipBackColor"), info);
    RightToLeft = bag.ReadBool(QStringLiteral("RightToLeft"), false);
    DropDownSymbol = readInt(bag, "DropDownSymbol", 0);
    ColorScheme = readInt(bag, "ColorScheme", 0);
    if (Mode == ModeCommand)
        Value = false;
}

void ButtonProperties::Write(PropertyBag& bag, const QFont& containerFont) const
{
    // System colour defaults are compared and written in their translated form.
    const quint32 face = OleColor::Translate(OleColor::ButtonFace);
    const quint32 text = OleColor::Translate(OleColor::ButtonText);
    const quint32 info = OleColor::Translate(OleColor::InfoBackground);
    bag.WriteProperty(QStringLiteral("ButtonStyle"), ButtonStyle, 1);
    bag.WriteProperty(QStringLiteral("ShowFocusRect"), storedBool(ShowFocusRect), storedBool(false));
    bag.WriteProperty(QStringLiteral("Enabled"), storedBool(Enabled), storedBool(true));
    bag.WriteProperty(QStringLiteral("Font"), Font, containerFont);
    bag.WriteProperty(QStringLiteral("BackColor"), BackColor, face);
    bag.WriteProperty(QStringLiteral("Caption"), Caption, QStringLiteral("glintbutton1"));
    bag.WriteProperty(QStringLiteral("ForeColor"), ForeColor, text);
    bag.WriteProperty(QStringLiteral("ForeColorHover"), ForeColorHover, text);
    bag.WriteProperty(QStringLiteral("Mode"), Mode, 0);
    bag.WriteProperty(QStringLiteral("Value"), storedBool(Value), storedBool(false));
    bag.WriteProperty(QStringLiteral("MousePointer"), QVariant::fromValue<qint16>(MousePointer), 0);
    bag.WriteProperty(QStringLiteral("HandPointer"), storedBool(HandPointer), storedBool(false));
    bag.WriteProperty(QStringLiteral("MouseIcon"), storedPicture(MouseIcon), QVariant());
    bag.WriteProperty(QStringLiteral("PictureNormal"), storedPicture(PictureNormal), QVariant());
    bag.WriteProperty(QStringLiteral("PictureHot"), storedPicture(PictureHot), QVariant());
    bag.WriteProperty(QStringLiteral("PictureDown"), storedPicture(PictureDown), QVariant());
    bag.WriteProperty(QStringLiteral("PictureAlign"), PictureAlign, 1);
    bag.WriteProperty(QStringLiteral("PictureEffectOnOver"), PictureEffectOnOver, 1);
    bag.WriteProperty(QStringLiteral("PictureEffectOnDown"), PictureEffectOnDown, 2);
    bag.WriteProperty(QStringLiteral("PicturePushOnHover"), storedBool(PicturePushOnHover),
                      storedBool(false));
    bag.WriteProperty(QStringLiteral("PictureShadow"), storedBool(PictureShadow), storedBool(false));
    bag.WriteProperty(QStringLiteral("PictureOpacity"), QVariant::fromValue<quint8>(PictureOpacity), 255);
    bag.WriteProperty(QStringLiteral("PictureOpacityOnOver"),
                      QVariant::fromValue<quint8>(PictureOpacityOnOver), 255);
    bag.WriteProperty(QStringLiteral("DisabledPictureMode"), DisabledPictureMode, 0);
    // Written with no default at all, so it is always stored.
    bag.WriteProperty(QStringLiteral("CaptionEffects"), CaptionEffects, QVariant());
    bag.WriteProperty(QStringLiteral("UseMaskColor"), storedBool(UseMaskColor), storedBool(true));
    bag.WriteProperty(QStringLiteral("MaskColor"), MaskColor, 0xE0E0E0u);
    bag.WriteProperty(QStringLiteral("CaptionAlign"), CaptionAlign, 1);
    bag.WriteProperty(QStringLiteral("ToolTip"), ToolTip, QString());
    bag.WriteProperty(QStringLiteral("TooltipType"), TooltipType, 0);
    bag.WriteProperty(QStringLiteral("TooltipIcon"), TooltipIcon, 0);
    bag.WriteProperty(QStringLiteral("TooltipTitle"), TooltipTitle, QString());
    bag.WriteProperty(QStringLiteral("TooltipBackColor"), TooltipBackColor, info);
    bag.WriteProperty(QStringLiteral("RightToLeft"), storedBool(RightToLeft), storedBool(false));
    bag.WriteProperty(QStringLiteral("DropDownSymbol"), DropDownSymbol, 0);
    bag.WriteProperty(QStringLiteral("DropDownSeparator"), storedBool(DropDownSeparator), storedBool(false));
    bag.WriteProperty(QStringLiteral("ColorScheme"), ColorScheme, 0);
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
