#include "app/GridDesign.h"

#include "controls/common/Colors.h"
#include "controls/grid/ListGrid.h"

#include <QFont>

namespace brenlow {

PropertyBag ListGridDesign()
{
    using OleColor::Rgb;
    PropertyBag bag;
    const auto put = [&bag](const char* key, const QVariant& value) {
        bag.WriteProperty(QString::fromLatin1(key), value);
    };
    put("backcolorsel", Rgb(49, 106, 197));
    put("forecolorsel", Rgb(255, 255, 255));
    put("gridcolor", Rgb(150, 190, 249));
    put("borderstyle", 0);
    put("focusrectcolor", Rgb(254, 255, 150));
    put("focusrectmode", 2);
    put("themecolor", 0);
    put("themestyle", 7);
    put("columnheadersmall", false);
    put("customcolorfrom", Rgb(203, 225, 252));
    put("customcolorto", Rgb(125, 165, 224));
    put("scrollbarstyle", 1);
    put("totalslineshow", false);
    put("focusrowhighlightkeeptextforecolor", false);
    put("showrownumbers", true);
    put("showrownumbersvary", true);
    put("allowcolumnresizing", true);
    put("allowrowresizing", true);
    put("columndrag", true);
    put("columnsort", true);
    put("editable", true);
    // A bitmap font of the original desktop; fontconfig picks the nearest sans face.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    put("font", font);
    put("fontheader", font);
    return bag;
}

void ApplyListGridDesign(ListGrid& grid, const PropertyBag& d)
{
    // The theme first: choosing one sets colours that the stored values then override.
    grid.SetThemeColor(static_cast<int>(d.ReadInt(QStringLiteral("themecolor"), grid.ThemeColor())));
    grid.SetThemeStyle(static_cast<int>(d.ReadInt(QStringLiteral("themestyle"), grid.ThemeStyle())));
    grid.SetThemeCustomColorFrom(d.ReadColor(QStringLiteral("customcolorfrom"), grid.ThemeCustomColorFrom()));
    grid.SetThemeCustomColorTo(d.ReadColor(QStringLiteral("customcolorto"), grid.ThemeCustomColorTo()));
    grid.SetBackColorSel(d.ReadColor(QStringLiteral("backcolorsel"), grid.BackColorSel()));
    grid.SetForeColorSel(d.ReadColor(QStringLiteral("forecolorsel"), grid.ForeColorSel()));
    grid.SetGridColor(d.ReadColor(QStringLiteral("gridcolor"), grid.GridColor()));
    grid.SetBorderStyle(static_cast<int>(d.ReadInt(QStringLiteral("borderstyle"), grid.BorderStyle())));
    grid.SetFocusRectColor(d.ReadColor(QStringLiteral("focusrectcolor"), grid.FocusRectColor()));
    grid.SetFocusRectMode(static_cast<int>(d.ReadInt(QStringLiteral("focusrectmode"), grid.FocusRectMode())));
    grid.SetColumnHeaderSmall(d.ReadBool(QStringLiteral("columnheadersmall"), grid.ColumnHeaderSmall()));
    grid.SetScrollBarStyle(
        static_cast<int>(d.ReadInt(QStringLiteral("scrollbarstyle"), grid.ScrollBarStyle())));
    grid.SetTotalsLineShow(d.ReadBool(QStringLiteral("totalslineshow"), grid.TotalsLineShow()));
    grid.SetFocusRowHighlightKeepTextForecolor(d.ReadBool(
        QStringLiteral("focusrowhighlightkeeptextforecolor"), grid.FocusRowHighlightKeepTextForecolor()));
    grid.SetShowRowNumbers(d.ReadBool(QStringLiteral("showrownumbers"), grid.ShowRowNumbers()));
    grid.SetShowRowNumbersVary(d.ReadBool(QStringLiteral("showrownumbersvary"), grid.ShowRowNumbersVary()));
    grid.SetAllowColumnResizing(
        d.ReadBool(QStringLiteral("allowcolumnresizing"), grid.AllowColumnResizing()));
    grid.SetAllowRowResizing(d.ReadBool(QStringLiteral("allowrowresizing"), grid.AllowRowResizing()));
    grid.SetAllowColumnDrag(d.ReadBool(QStringLiteral("columndrag"), grid.AllowColumnDrag()));
    grid.SetAllowColumnSort(d.ReadBool(QStringLiteral("columnsort"), grid.AllowColumnSort()));
    grid.SetAllowEdit(d.ReadBool(QStringLiteral("editable"), grid.AllowEdit()));
    const QVariant font = d.ReadProperty(QStringLiteral("font"));
    if (font.canConvert<QFont>())
        grid.SetFont(font.value<QFont>());
    const QVariant header = d.ReadProperty(QStringLiteral("fontheader"));
    if (header.canConvert<QFont>())
        grid.SetFontHeader(header.value<QFont>());
}

} // namespace brenlow
