#include "controls/grid/ListGridProperties.h"
#include "controls/common/Colors.h"
#include "controls/common/Gdi.h"
#include "controls/common/PropertyBag.h"
#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridTheme.h"

#include <gtest/gtest.h>

using namespace brenlow;
using OleColor::Rgb;

namespace {

/** Each stored value of a property set, as the store would hold it. */
PropertyBag written(const GridProperties& props, const QFont& ambient)
{
    PropertyBag bag;
    WriteGridProperties(bag, props, ambient);
    return bag;
}

} // namespace

TEST(GridProperties, AnEmptyStoreReadsAsTheDefaultTable)
{
    const QFont ambient(QStringLiteral("DejaVu Sans"), 11);
    GridProperties props;
    props.ThemeStyle = 7;
    props.Caption = QStringLiteral("stale");
    ReadGridProperties(PropertyBag(), props, ambient);
    EXPECT_TRUE(written(props, ambient).IsEmpty()) << "every value read back is its default";
    EXPECT_EQ(props.ThemeStyle, 2);
    EXPECT_EQ(props.ThemeColor, 6);
    EXPECT_EQ(props.BackColorSel, 0x8000000Du);
    EXPECT_EQ(props.CellProgressBarColor, 8421631u);
    EXPECT_EQ(props.FreezeAtCol, -1);
    EXPECT_EQ(props.EditTrigger, 52);
    EXPECT_TRUE(props.Caption.isEmpty());
    EXPECT_EQ(props.Font, ambient);
    EXPECT_EQ(props.FontHeader, ambient);
}

TEST(GridProperties, WritingOmitsDefaultsAndReadingIgnoresKeyCase)
{
    const QFont ambient;
    GridProperties props;
    props.ThemeStyle = 7;
    props.RowCheckBoxes = true;
    props.ThemeCustomColorFrom = Rgb(203, 225, 252);
    props.FreezeAtCol = 2;
    props.MinRowHeight = 1400;
    props.Caption = QStringLiteral("Downloads");
    const PropertyBag bag = written(props, ambient);
    EXPECT_EQ(bag.Keys(), (QStringList{QStringLiteral("ThemeStyle"), QStringLiteral("CustomColorFrom"),
                                       QStringLiteral("Caption"), QStringLiteral("Checkboxes"),
                                       QStringLiteral("FreezeAtCol"), QStringLiteral("MinRowHeight")}));
    EXPECT_EQ(bag.ReadInt(QStringLiteral("checkboxes"), 0), -1) << "booleans are stored as -1";

    PropertyBag lower;
    for (const QString& key : bag.Keys())
        lower.WriteProperty(key.toLower(), bag.ReadProperty(key));
    GridProperties back;
    ReadGridProperties(lower, back, ambient);
    EXPECT_EQ(back.ThemeStyle, 7);
    EXPECT_TRUE(back.RowCheckBoxes);
    EXPECT_EQ(back.ThemeCustomColorFrom, Rgb(203, 225, 252));
    EXPECT_EQ(back.FreezeAtCol, 2);
    EXPECT_EQ(back.MinRowHeight, 1400.0f);
    EXPECT_EQ(back.Caption, QStringLiteral("Downloads"));
}

TEST(GridProperties, FontsReadFromTextOrFamilyAndHeaderFollowsTheFont)
{
    QFont ambient(QStringLiteral("DejaVu Sans"), 9);
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("font"), QStringLiteral("MS Sans Serif"));
    GridProperties props;
    ReadGridProperties(bag, props, ambient);
    EXPECT_EQ(props.Font.families().value(0), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(props.Font.pointSize(), 9);
    EXPECT_EQ(props.FontHeader, props.Font);

    QFont bold = ambient;
    bold.setBold(true);
    bag.WriteProperty(QStringLiteral("FontHeader"), bold.toString());
    ReadGridProperties(bag, props, ambient);
    EXPECT_TRUE(props.FontHeader.bold());
    EXPECT_FALSE(props.Font.bold());
}

TEST(GridTheme, SetsGiveTheirColours)
{
    GridProperties props;
    props.BackColor = Rgb(1, 2, 3);
    const GridThemeColors silver = ApplyThemeSet(props, 1);
    EXPECT_EQ(silver.from, Rgb(244, 244, 251));
    EXPECT_EQ(silver.to, Rgb(130, 130, 146));
    EXPECT_EQ(props.BackColor, quint32(OleColor::Window));
    EXPECT_EQ(props.ForeColor, quint32(OleColor::WindowText));
    EXPECT_EQ(props.GridColor, Rgb(155, 155, 171));
    EXPECT_EQ(props.BackColorSel, Rgb(178, 180, 191));
    EXPECT_EQ(props.ForeColorSel, Rgb(0, 0, 0));
    EXPECT_EQ(props.FocusRectColor, Rgb(57, 61, 67));
    EXPECT_EQ(props.BackColorBkg, quint32(OleColor::AppWorkspace));

    ApplyThemeSet(props, 4);
    EXPECT_EQ(props.BackColorBkg, Rgb(102, 76, 15));
    EXPECT_EQ(props.ForeColorSel, Rgb(249, 238, 225));
    EXPECT_EQ(props.GridColor, Rgb(185, 159, 98));
    props.FocusRowHighlightStyle = 1;
    ApplyThemeSet(props, 0);
    EXPECT_EQ(props.ForeColorSel, quint32(OleColor::WindowText));
    EXPECT_EQ(props.GridColor, Rgb(150, 190, 249)) << "the window's grid colour is theme 0's";

    GridProperties custom;
    const GridThemeColors c = ApplyThemeSet(custom, GridThemeColor::Custom);
    EXPECT_EQ(c.from, custom.ThemeCustomColorFrom);
    EXPECT_EQ(c.to, custom.ThemeCustomColorTo);
    EXPECT_EQ(custom.BackColorSel, GridProperties().BackColorSel) << "the custom set changes no grid colour";
}

TEST(GridTheme, FollowingThePlatformFallsBackToCustomWithoutVisualStyles)
{
    EXPECT_EQ(ResolveThemeSet(3, true, QString()), 3);
    EXPECT_EQ(ResolveThemeSet(6, false, QStringLiteral("Metallic")), GridThemeColor::Custom);
    EXPECT_EQ(ResolveThemeSet(6, true, QStringLiteral("Metallic")), 1);
    EXPECT_EQ(ResolveThemeSet(6, true, QStringLiteral("HomeStead")), 2);
    EXPECT_EQ(ResolveThemeSet(6, true, QStringLiteral("fusion")), 0);
    EXPECT_EQ(ResolveThemeSet(9, true, QString()), GridThemeColor::Custom);
}

TEST(GridTheme, HeaderColoursComeFromThemeAndButtonFace)
{
    const quint32 from = Rgb(203, 225, 252), to = Rgb(125, 165, 224);
    EXPECT_EQ(HeaderBaseColor(3, from, to), ColorMath::Blend(from, to, 128));
    EXPECT_EQ(HeaderBaseColor(6, from, to), Rgb(175, 215, 255));
    EXPECT_EQ(HeaderBaseColor(7, from, to), OleColor::Translate(OleColor::ButtonFace));
    const HeaderLook& normal = HeaderStyleLook(7, 0);
    EXPECT_EQ(ResolveHeaderColor(normal.top, from, to, 0, 0), from);
    EXPECT_EQ(ResolveHeaderColor(normal.bottomLine, from, to, 0, 0), Rgb(85, 125, 184));
    // A system colour is translated before it is shifted.
    const HeaderColor face{HeaderSource::ButtonFace, -40, 0};
    EXPECT_EQ(ResolveHeaderColor(face, from, to, 0, OleColor::ButtonFace),
              ColorMath::RawShift(OleColor::Translate(OleColor::ButtonFace), -40));
}

TEST(GridTheme, TheWindowsDesignValuesApplyThroughTheStore)
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("backcolorsel"), Rgb(49, 106, 197));
    bag.WriteProperty(QStringLiteral("forecolorsel"), Rgb(255, 255, 255));
    bag.WriteProperty(QStringLiteral("gridcolor"), Rgb(150, 190, 249));
    bag.WriteProperty(QStringLiteral("borderstyle"), 0);
    bag.WriteProperty(QStringLiteral("focusrectcolor"), Rgb(254, 255, 150));
    bag.WriteProperty(QStringLiteral("focusrectmode"), 2);
    bag.WriteProperty(QStringLiteral("themecolor"), 0);
    bag.WriteProperty(QStringLiteral("themestyle"), 7);
    bag.WriteProperty(QStringLiteral("scrollbarstyle"), 1);
    bag.WriteProperty(QStringLiteral("showrownumbers"), true);
    bag.WriteProperty(QStringLiteral("allowcolumnresizing"), true);
    bag.WriteProperty(QStringLiteral("columnsort"), true);
    bag.WriteProperty(QStringLiteral("editable"), true);
    ListGrid grid;
    grid.resize(400, 200);
    grid.AddColumn(QStringLiteral("A"), 1500);
    grid.AddItem(QStringLiteral("row"));
    grid.ReadProperties(bag);
    EXPECT_EQ(grid.Rows(), 0) << "loading empties the rows";
    EXPECT_EQ(grid.Cols(), 1);
    EXPECT_FALSE(grid.Redraw());
    EXPECT_EQ(grid.BackColorSel(), Rgb(49, 106, 197));
    EXPECT_EQ(grid.GridColor(), Rgb(150, 190, 249));
    EXPECT_EQ(grid.BorderStyle(), 0);
    EXPECT_EQ(grid.FocusRectMode(), 2);
    EXPECT_EQ(grid.ThemeStyle(), 7);
    EXPECT_TRUE(grid.ShowRowNumbers());
    EXPECT_TRUE(grid.AllowEdit());
    EXPECT_TRUE(grid.AllowColumnSort());
    // The empty frame was painted: header in the theme's first colour at its top.
    const QRect item = grid.layout().headerItemRect(0);
    ASSERT_FALSE(item.isNull());
    EXPECT_EQ(grid.surface().pixelColor(item.left() + 10, item.top()), QColor(203, 225, 252));

    PropertyBag out;
    grid.WriteProperties(out);
    EXPECT_EQ(out.ReadInt(QStringLiteral("ThemeStyle"), 0), 7);
    EXPECT_FALSE(out.Contains(QStringLiteral("ScrollBars")));
}

namespace {

// The header in the theme-gradient look: its top row is the first theme colour, its bottom line the
// second one darkened by 40.
struct HeaderColors
{
    QColor top;
    QColor bottomLine;
};
HeaderColors gradientHeader(ListGrid& grid)
{
    grid.SetThemeStyle(7);
    if (grid.Cols() == 0)
        grid.AddColumn(QStringLiteral("a"), 1500);
    grid.resize(300, 200);
    grid.SetRedraw(true);
    grid.Refresh();
    const QRect item = grid.layout().headerItemRect(0);
    const int x = item.left() + item.width() / 2;
    return {grid.surface().pixelColor(x, item.top()), grid.surface().pixelColor(x, item.bottom())};
}
QColor ole(quint32 color)
{
    return OleColor::ToQColor(color);
}

} // namespace

TEST(GridTheme, ANewControlFollowsThePlatformAndFallsBackToCustomWithoutVisualStyles)
{
    {
        ListGrid grid;
        EXPECT_EQ(grid.ThemeColor(), 6);
        EXPECT_EQ(grid.BackColorSel(), Rgb(49, 106, 197)) << "the Fusion style counts as the blue scheme";
        EXPECT_EQ(gradientHeader(grid).top, ole(Rgb(203, 225, 252)));
    }
    SetGridVisualStyles(false);
    {
        ListGrid grid;
        EXPECT_EQ(grid.BackColorSel(), quint32(OleColor::Highlight)) << "the custom set changes no colour";
        EXPECT_EQ(gradientHeader(grid).top, ole(grid.ThemeCustomColorFrom()));
        grid.SetThemeColor(5);
        grid.SetThemeCustomColorTo(Rgb(100, 150, 200));
        EXPECT_EQ(gradientHeader(grid).bottomLine, ole(ColorMath::RawShift(Rgb(100, 150, 200), -40)));
    }
    SetGridVisualStyles(true);
}
