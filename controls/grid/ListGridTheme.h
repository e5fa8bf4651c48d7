#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

namespace brenlow {

struct GridProperties;

/** One of the grid's built-in colour sets (ThemeColor 0-4); colours are 0x00BBGGRR values. */
struct GridThemeSet
{
    quint32 themeFrom;
    quint32 themeTo;
    quint32 backColorBkg;
    quint32 backColorSel;
    quint32 foreColorSel;
    quint32 focusRectColor;
};

/** The built-in sets: 0 blue, 1 silver, 2 olive, 3 sage, 4 gold. */
[[nodiscard]] const std::array<GridThemeSet, 5>& GridThemeSets();

/** ThemeColor values. */
namespace GridThemeColor {
constexpr int Custom = 5;
constexpr int FollowPlatform = 6;
} // namespace GridThemeColor

/** The set ThemeColor stands for: 0-4 themselves, 5 custom, 6 follows the platform's visual style
 *  (custom without visual styles; else by the style's colour scheme name: "Metallic" 1,
 *  "HomeStead" 2, anything else 0). Values outside 0-6 count as custom. */
[[nodiscard]] int ResolveThemeSet(int themeColor, bool visualStyles, const QString& schemeName);

/** The two theme colours a set gives, and the grid colours it changes. */
struct GridThemeColors
{
    quint32 from = 0;
    quint32 to = 0;
};

/** Applies a resolved set to the properties: 0-4 set BackColor, ForeColor, GridColor (second theme
 *  colour shifted by +25), BackColorBkg, BackColorSel, ForeColorSel (window text when
 *  FocusRowHighlightStyle is not 0) and FocusRectColor; the custom set changes nothing. Returns the
 *  theme colours. */
GridThemeColors ApplyThemeSet(GridProperties& props, int resolvedSet);

/** Whether the platform draws themed parts; the grid's style is always a QStyle here, so yes, unless
 *  a test switches it off. */
[[nodiscard]] bool GridVisualStyles();
void SetGridVisualStyles(bool on);
/** The colour scheme name of the current visual style ("" for the Fusion style). */
[[nodiscard]] QString GridVisualStyleScheme();

/** Where a header colour comes from. */
enum class HeaderSource : quint8
{
    ThemeFrom,
    ThemeTo,
    ButtonFace,
    Base,
    Fixed,
    None
};

/** A header colour: a source, an optional fixed value and a raw shift applied to it. */
struct HeaderColor
{
    HeaderSource source = HeaderSource::None;
    qint16 shift = 0;
    quint32 fixed = 0;
};

/** The look of one header item state in one header style (3-7): a vertical gradient, a bottom line,
 *  a separator at the right edge with a light line beside it. */
struct HeaderLook
{
    HeaderColor top, bottom;
    HeaderColor bottomLine;
    HeaderColor separator, separatorLight;
};

/** The looks of header styles 3-7 by state (0 normal, 1 hot, 2 pressed). Styles 0-2 are drawn by the
 *  platform. */
[[nodiscard]] const HeaderLook& HeaderStyleLook(int style, int state);

/** Resolves a header colour with the two theme colours, the header base colour and button face. */
[[nodiscard]] quint32 ResolveHeaderColor(const HeaderColor& c, quint32 themeFrom, quint32 themeTo,
                                         quint32 base, quint32 buttonFace);

/** The header base colour of a style: 3 and 5 blend the first theme colour into the second (128 of
 *  255), 6 lightens the second by 50, the others use the button face. */
[[nodiscard]] quint32 HeaderBaseColor(int style, quint32 themeFrom, quint32 themeTo);

} // namespace brenlow
