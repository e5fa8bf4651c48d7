#include "app/GridDesign.h"

#include "controls/common/Colors.h"

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
    // Registered from fonts-wine at start-up; without it fontconfig picks the nearest sans face.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    put("font", font);
    put("fontheader", font);
    return bag;
}

} // namespace brenlow
