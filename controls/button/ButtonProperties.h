#pragma once

#include "controls/common/Colors.h"

#include <QFlags>
#include <QFont>
#include <QImage>
#include <QString>

#include <variant>

namespace brenlow {

class PropertyBag;

/** The visual states of a button. */
enum class ButtonState
{
    Normal = 0,
    Hot = 1,
    Down = 2
};

/** The button's looks; names of the stored values 0..13. */
enum ButtonStyleCode
{
    StyleStandard = 0,
    StyleFlat = 1,
    StyleRoundedGradient = 2,
    StyleGlossyStrips = 3,
    StyleHoverBox = 4,
    StyleToolbarGradient = 5,
    StyleSilverLines = 6,
    StyleWarmHover = 7,
    StyleOrangeGloss = 8,
    StyleWhiteGloss = 9,
    StylePastelGloss = 10,
    StyleHoverRaised = 11,
    StyleHoverFlat = 12,
    StyleVisualStyle = 13,
};

/** Behaviours selected by `Mode`. */
enum ButtonModeCode
{
    ModeCommand = 0,
    ModeCheck = 1,
    ModeOption = 2
};

/** What a change of a stored property asks of the button besides the new value. */
enum class ButtonChange : unsigned
{
    Picture = 0x01,      ///< the picture shows it
    PictureIfAny = 0x02, ///< only a button with a picture looks different
    Region = 0x04,       ///< the window shape
    AccessKey = 0x08,    ///< the caption's access key
    Cursor = 0x10,       ///< the mouse pointer
    Font = 0x20,         ///< the widget's font
    Enabled = 0x40,      ///< the widget's enabled state
    Direction = 0x80,    ///< the layout direction
};
Q_DECLARE_FLAGS(ButtonChanges, ButtonChange)
Q_DECLARE_OPERATORS_FOR_FLAGS(ButtonChanges)

/** The design-time properties of a glintbutton, as plain data. Colours are 0x00BBGGRR values or
 *  system colours (0x80000000 + n). Pictures are images whose pixel size is their drawn size. */
struct ButtonProperties
{
    int ButtonStyle = StyleVisualStyle;
    bool ShowFocusRect = true;
    bool Enabled = true;
    QFont Font;
    quint32 BackColor = 0;
    QString Caption;
    quint32 ForeColor = OleColor::ButtonText;
    quint32 ForeColorHover = 0;
    int Mode = ModeCommand;
    bool Value = false;
    int MousePointer = 0;
    bool HandPointer = false;
    QImage MouseIcon;
    QImage PictureNormal;
    QImage PictureHot;
    QImage PictureDown;
    int PictureAlign = 1;
    int PictureEffectOnOver = 0;
    int PictureEffectOnDown = 0;
    bool PicturePushOnHover = false;
    bool PictureShadow = false;
    int PictureOpacity = 255;
    int PictureOpacityOnOver = 255;
    int DisabledPictureMode = 0;
    int CaptionEffects = 0;
    bool UseMaskColor = true;
    quint32 MaskColor = 0xE0E0E0;
    int CaptionAlign = 1;
    QString ToolTip;
    int TooltipType = 0;
    int TooltipIcon = 0;
    QString TooltipTitle;
    quint32 TooltipBackColor = 0;
    bool RightToLeft = false;
    int DropDownSymbol = 0;
    bool DropDownSeparator = false;
    int ColorScheme = 0;

    /** The values of a control placed fresh in a container: the New values, then the style
     *  colour-scheme rule and the style colours rule. */
    [[nodiscard]] static ButtonProperties Fresh(const QFont& containerFont, const QString& name);

    /** Reads every key in load order; missing keys take the stored defaults. The style rules are
     *  not applied: stored colours win. */
    void Read(const PropertyBag& bag, const QFont& containerFont);
    /** Writes every key in store order; values equal to their stored defaults are not stored
     *  (except "CaptionEffects", which is always written). */
    void Write(PropertyBag& bag, const QFont& containerFont) const;

    // The reader, the writer and the setters share one table of keys, fields, defaults and what a
    // change asks for.

    /** A stored property, by its field. */
    using Field =
        std::variant<int ButtonProperties::*, bool ButtonProperties::*, quint32 ButtonProperties::*,
                     QString ButtonProperties::*, QImage ButtonProperties::*, QFont ButtonProperties::*>;
    /** The name a property's setter announces to the container: its stored key, except
     *  "TooltipBackcolor" and "ToolTipType". */
    [[nodiscard]] static QString NameOf(const Field& field);
    /** What a change of the property asks of the button. */
    [[nodiscard]] static ButtonChanges ChangesOf(const Field& field);
    /** A value in the form it is stored in: a byte keeps its low eight bits. */
    [[nodiscard]] static int Normalised(int ButtonProperties::*field, int value);
    template <typename T> [[nodiscard]] static const T& Normalised(T ButtonProperties::*, const T& value)
    {
        return value;
    }
    /** Sets the values that follow a change of the property: a style brings its colour scheme and
     *  colours, a scheme its colours, a back colour of one's own the custom scheme (not for style 4),
     *  the command mode an unchecked value, a hand pointer or a mouse icon the pointer, no normal
     *  picture no hot or down one. */
    void FollowChange(const Field& field);

    /** Styles 3 and 9 take scheme 2; 5, 11, 12 and 13 keep theirs; the rest take scheme 0. */
    void ApplyStyleColorScheme();
    /** Sets BackColor, ForeColor, ShowFocusRect (and PicturePushOnHover for style 4) from the
     *  style and the colour scheme. */
    void ApplyStyleColors();
};

/** The access key of a caption in lower case, or a null QChar when it has none. A doubled "&" is a
 *  literal ampersand. */
[[nodiscard]] QChar AccessKeyOf(const QString& caption);

/** Whether a style shows a checked button in its down state. */
[[nodiscard]] constexpr bool CheckedDrawsDown(int style)
{
    return style != StyleStandard && style != StyleSilverLines;
}

} // namespace brenlow
