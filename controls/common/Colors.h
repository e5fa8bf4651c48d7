#pragma once

#include <QColor>
#include <QtGlobal>

namespace brenlow {

/** Colours travel as 32-bit values with red in the lowest byte (0x00BBGGRR). A value with the top
 *  bit set names a system colour: 0x80000000 + index, the index being the classic system colour
 *  number (5 window, 8 window text, 13 highlight, 15 button face, ...). */
namespace OleColor {

constexpr quint32 SystemFlag = 0x80000000u;

[[nodiscard]] constexpr quint32 Rgb(int r, int g, int b)
{
    return static_cast<quint32>(r & 0xFF) | (static_cast<quint32>(g & 0xFF) << 8) |
           (static_cast<quint32>(b & 0xFF) << 16);
}
[[nodiscard]] constexpr int Red(quint32 c)
{
    return static_cast<int>(c & 0xFF);
}
[[nodiscard]] constexpr int Green(quint32 c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
[[nodiscard]] constexpr int Blue(quint32 c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}
[[nodiscard]] constexpr bool IsSystem(quint32 c)
{
    return (c & SystemFlag) != 0;
}

/** System colour codes used by the controls. */
enum SystemColor : quint32
{
    ScrollBar = SystemFlag | 0,
    Desktop = SystemFlag | 1,
    ActiveCaption = SystemFlag | 2,
    InactiveCaption = SystemFlag | 3,
    Menu = SystemFlag | 4,
    Window = SystemFlag | 5,
    WindowFrame = SystemFlag | 6,
    MenuText = SystemFlag | 7,
    WindowText = SystemFlag | 8,
    CaptionText = SystemFlag | 9,
    ActiveBorder = SystemFlag | 10,
    InactiveBorder = SystemFlag | 11,
    AppWorkspace = SystemFlag | 12,
    Highlight = SystemFlag | 13,
    HighlightText = SystemFlag | 14,
    ButtonFace = SystemFlag | 15,
    ButtonShadow = SystemFlag | 16,
    GrayText = SystemFlag | 17,
    ButtonText = SystemFlag | 18,
    InactiveCaptionText = SystemFlag | 19,
    ButtonHighlight = SystemFlag | 20,
    DarkShadow3D = SystemFlag | 21,
    Light3D = SystemFlag | 22,
    InfoText = SystemFlag | 23,
    InfoBackground = SystemFlag | 24,
    HotLight = SystemFlag | 26,
    GradientActiveCaption = SystemFlag | 27,
    GradientInactiveCaption = SystemFlag | 28,
    MenuHighlight = SystemFlag | 29,
    MenuBar = SystemFlag | 30,
};

/** Translates a colour value to plain RGB (0x00BBGGRR): system colours through the table taken from
 *  the Fusion palette, plain colours unchanged (top byte cleared). An unknown system index fails: the result
 * is -1 (0xFFFFFFFF), whose colour bits draw as white. */
[[nodiscard]] quint32 Translate(quint32 color);

/** The translated colour as a QColor. */
[[nodiscard]] QColor ToQColor(quint32 color);

/** A QColor as a plain 0x00BBGGRR value. */
[[nodiscard]] quint32 FromQColor(const QColor& color);

} // namespace OleColor
} // namespace brenlow
