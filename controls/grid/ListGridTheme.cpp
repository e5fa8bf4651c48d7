#include "controls/grid/ListGridTheme.h"

#include "controls/common/Colors.h"
#include "controls/common/Gdi.h"
#include "controls/grid/ListGridModel.h"

#include <QApplication>
#include <QStyle>

namespace brenlow {

using OleColor::Rgb;

const std::array<GridThemeSet, 5>& GridThemeSets()
{
    static const std::array<GridThemeSet, 5> sets{{
        {Rgb(203, 225, 252), Rgb(125, 165, 224), OleColor::AppWorkspace, Rgb(49, 106, 197),
         Rgb(255, 255, 255), Rgb(254, 255, 150)},
        {Rgb(244, 244, 251), Rgb(130, 130, 146), OleColor::AppWorkspace, Rgb(178, 180, 191), Rgb(0, 0, 0),
         Rgb(57, 61, 67)},
        {Rgb(247, 249, 225), Rgb(139, 161, 105), OleColor::AppWorkspace, Rgb(147, 160, 112),
         Rgb(255, 255, 255), Rgb(254, 255, 150)},
        {Rgb(248, 248, 242), Rgb(150, 159, 124), Rgb(106, 125, 106), Rgb(119, 138, 119), Rgb(247, 249, 225),
         Rgb(254, 255, 150)},
        {Rgb(255, 239, 165), Rgb(160, 134, 73), Rgb(102, 76, 15), Rgb(142, 116, 55), Rgb(249, 238, 225),
         Rgb(254, 255, 150)},
    }};
    return sets;
}

int ResolveThemeSet(int themeColor, bool visualStyles, const QString& schemeName)
{
    if (themeColor >= 0 && themeColor <= 4)
        return themeColor;
    if (themeColor != GridThemeColor::FollowPlatform || !visualStyles)
        return GridThemeColor::Custom;
    if (schemeName == QLatin1String("Metallic"))
        return 1;
    if (schemeName == QLatin1String("HomeStead"))
        return 2;
    return 0;
}

GridThemeColors ApplyThemeSet(GridProperties& props, int resolvedSet)
{
    if (resolvedSet < 0 || resolvedSet > 4)
        return {props.ThemeCustomColorFrom, props.ThemeCustomColorTo};
    const GridThemeSet& set = GridThemeSets()[static_cast<size_t>(resolvedSet)];
    props.BackColor = OleColor::Window;
    props.ForeColor = OleColor::WindowText;
    props.GridColor = ColorMath::Shift(set.themeTo, 25);
    props.BackColorBkg = set.backColorBkg;
    props.BackColorSel = set.backColorSel;
    props.ForeColorSel = props.FocusRowHighlightStyle != 0 ? quint32(OleColor::WindowText) : set.foreColorSel;
    props.FocusRectColor = set.focusRectColor;
    return {set.themeFrom, set.themeTo};
}

namespace {
bool g_visualStyles = true;
} // namespace

bool GridVisualStyles()
{
    return g_visualStyles;
}
void SetGridVisualStyles(bool on)
{
    g_visualStyles = on;
}

QString GridVisualStyleScheme()
{
    // Qt styles carry no colour scheme name; the style name stands in for it.
    return QApplication::style() ? QApplication::style()->name() : QString();
}

namespace {

constexpr HeaderColor from(int shift = 0)
{
    return {HeaderSource::ThemeFrom, static_cast<qint16>(shift), 0};
}
constexpr HeaderColor to(int shift = 0)
{
    return {HeaderSource::ThemeTo, static_cast<qint16>(shift), 0};
}
constexpr HeaderColor base(int shift = 0)
{
    return {HeaderSource::Base, static_cast<qint16>(shift), 0};
}
constexpr HeaderColor face(int shift = 0)
{
    return {HeaderSource::ButtonFace, static_cast<qint16>(shift), 0};
}
constexpr HeaderColor fixed(quint32 c)
{
    return {HeaderSource::Fixed, 0, c};
}

// Highlight colours shared by the warm hot and pressed looks.
constexpr quint32 HotTop = Rgb(255, 244, 204), HotBottom = Rgb(255, 214, 154);
constexpr quint32 DownTop = Rgb(254, 145, 78), DownBottom = Rgb(255, 211, 142);
constexpr quint32 LightSeparator = 14737632; // RGB 224, 224, 224
constexpr quint32 HotFill = 15988986;        // RGB 250, 248, 243
constexpr quint32 HotLine = Rgb(248, 169, 0);
constexpr quint32 White = Rgb(255, 255, 255);

// [style - 3][state]: top, bottom, bottom line, separator, separator light.
const HeaderLook kLooks[5][3] = {
    // 3: blended base with a light top.
    {{from(30), base(), to(-40), to(-25), from(40)},
     {fixed(HotTop), fixed(HotBottom), to(-40), to(-25), from(40)},
     {fixed(DownTop), fixed(DownBottom), to(-40), to(-25), from(40)}},
    // 4: button face with a light separator and a hot underline.
    {{face(), face(-5), face(-20), face(-25), fixed(LightSeparator)},
     {fixed(HotFill), fixed(HotFill), fixed(HotLine), face(-25), fixed(LightSeparator)},
     {face(-20), face(-20), face(-40), face(-40), fixed(LightSeparator)}},
    // 5: blended base, glossy.
    {{base(40), base(), to(-25), to(), base(50)},
     {base(50), from(), to(-25), to(), base(50)},
     {to(30), base(), to(-25), to(), base(50)}},
    // 6: the second theme colour lightened.
    {{fixed(White), base(), to(), to(30), fixed(White)},
     {base(40), from(), to(), to(30), fixed(White)},
     {to(30), base(), to(), to(30), fixed(White)}},
    // 7: the theme gradient from the first colour to the second.
    {{from(), to(), to(-40), to(-25), from(40)},
     {fixed(HotTop), fixed(HotBottom), to(-40), to(-25), from(40)},
     {fixed(DownTop), fixed(DownBottom), to(-40), to(-25), from(40)}},
};

} // namespace

const HeaderLook& HeaderStyleLook(int style, int state)
{
    const int s = std::clamp(style, 3, 7) - 3;
    return kLooks[s][std::clamp(state, 0, 2)];
}

quint32 ResolveHeaderColor(const HeaderColor& c, quint32 themeFrom, quint32 themeTo, quint32 base,
                           quint32 buttonFace)
{
    quint32 v = 0;
    switch (c.source) {
    case HeaderSource::ThemeFrom:
        v = themeFrom;
        break;
    case HeaderSource::ThemeTo:
        v = themeTo;
        break;
    case HeaderSource::Base:
        v = base;
        break;
    case HeaderSource::ButtonFace:
        v = buttonFace;
        break;
    case HeaderSource::Fixed:
        v = c.fixed;
        break;
    case HeaderSource::None:
        return 0;
    }
    // System colour codes are translated first: a raw shift of the code itself would give black.
    v = OleColor::Translate(v);
    return c.shift ? ColorMath::RawShift(v, c.shift) : v;
}

quint32 HeaderBaseColor(int style, quint32 themeFrom, quint32 themeTo)
{
    if (style == 3 || style == 5)
        return ColorMath::Blend(themeFrom, themeTo, 128);
    if (style == 6)
        return ColorMath::RawShift(OleColor::Translate(themeTo), 50);
    return OleColor::Translate(OleColor::ButtonFace);
}

} // namespace brenlow
