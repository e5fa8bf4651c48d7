// Property-change notification, column order restore, locale information and image lists by key.
#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridProperties.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace brenlow;

TEST(ListGridNotification, EverySetterOfAStoredPropertyReportsItsKey)
{
    ListGrid g;
    QFont font(QStringLiteral("Tahoma"), 11);
    const std::vector<std::pair<QString, std::function<void()>>> setters{
        {"ApplySelectionToImages", [&] { g.SetApplySelectionToImages(true); }},
        {"BackColor", [&] { g.SetBackColor(1); }},
        {"BackColorBkg", [&] { g.SetBackColorBkg(1); }},
        {"BackColorEdit", [&] { g.SetBackColorEdit(1); }},
        {"BackColorSel", [&] { g.SetBackColorSel(1); }},
        {"ForeColor", [&] { g.SetForeColor(1); }},
        {"ForeColorEdit", [&] { g.SetForeColorEdit(1); }},
        {"ForeColorHdr", [&] { g.SetForeColorHdr(1); }},
        {"ForeColorSel", [&] { g.SetForeColorSel(1); }},
        {"ShowColumnHeaders", [&] { g.SetColumnHeaders(false); }},
        {"CenterRowImage", [&] { g.SetCenterRowImage(false); }},
        {"ScrollBars", [&] { g.SetScrollBars(1); }},
        {"MinVerticalOffset", [&] { g.SetMinVerticalOffset(3); }},
        {"BackColorEvenRows", [&] { g.SetBackColorEvenRows(1); }},
        {"BackColorEvenRowsEnabled", [&] { g.SetBackColorEvenRowsEnabled(false); }},
        {"GridColor", [&] { g.SetGridColor(1); }},
        {"ProgressBarColor", [&] { g.SetCellProgressBarColor(1); }},
        {"AlphaBlendSelection", [&] { g.SetAlphaBlendSelection(true); }},
        {"BorderStyle", [&] { g.SetBorderStyle(0); }},
        {"DisplayEllipsis", [&] { g.SetDisplayEllipsis(false); }},
        {"FocusRectColor", [&] { g.SetFocusRectColor(1); }},
        {"FocusRectMode", [&] { g.SetFocusRectMode(1); }},
        {"FocusRectStyle", [&] { g.SetFocusRectStyle(2); }},
        {"GridLines", [&] { g.SetGridLines(2); }},
        {"GridLineWidth", [&] { g.SetGridLineWidth(2); }},
        {"ThemeColor", [&] { g.SetThemeColor(1); }},
        {"ThemeStyle", [&] { g.SetThemeStyle(3); }},
        {"ColumnHeaderSmall", [&] { g.SetColumnHeaderSmall(true); }},
        // The custom theme colours report under the names of their properties' classic keys.
        {"ThemeColorFrom", [&] { g.SetThemeCustomColorFrom(1); }},
        {"ThemeColorTo", [&] { g.SetThemeCustomColorTo(1); }},
        {"ColumnHeaderLines", [&] { g.SetColumnHeaderLines(2); }},
        {"Caption", [&] { g.SetCaption(QStringLiteral("c")); }},
        {"CaptionAlignment", [&] { g.SetCaptionAlignment(1); }},
        {"Appearance", [&] { g.SetAppearance(0); }},
        {"ScrollBarStyle", [&] { g.SetScrollBarStyle(1); }},
        {"TotalsLineShow", [&] { g.SetTotalsLineShow(true); }},
        {"FocusRowHighlightKeepTextForecolor", [&] { g.SetFocusRowHighlightKeepTextForecolor(true); }},
        {"ShowRowNumbers", [&] { g.SetShowRowNumbers(true); }},
        {"ShowRowNumbersVary", [&] { g.SetShowRowNumbersVary(false); }},
        {"AllowColumnResizing", [&] { g.SetAllowColumnResizing(true); }},
        {"AllowRowResizing", [&] { g.SetAllowRowResizing(true); }},
        {"AllowWordWrap", [&] { g.SetAllowWordWrap(true); }},
        {"Checkboxes", [&] { g.SetRowCheckBoxes(true); }},
        {"ColumnDrag", [&] { g.SetAllowColumnDrag(true); }},
        {"ColumnSwap", [&] { g.SetAllowColumnSwap(true); }},
        {"ColumnSort", [&] { g.SetAllowColumnSort(true); }},
        {"Editable", [&] { g.SetAllowEdit(true); }},
        {"AllowDelete", [&] { g.SetAllowDelete(true); }},
        {"AllowInsert", [&] { g.SetAllowInsert(true); }},
        {"EditTrigger", [&] { g.SetEditTrigger(2); }},
        {"EditMove", [&] { g.SetEditMove(1); }},
        {"FullRowSelect", [&] { g.SetFocusRowHighlight(false); }},
        {"FocusRowHighlightStyle", [&] { g.SetFocusRowHighlightStyle(1); }},
        {"HideSelection", [&] { g.SetFocusRectHide(true); }},
        {"HotHeaderTracking", [&] { g.SetAllowColumnHover(false); }},
        {"MultiSelect", [&] { g.SetMultiSelect(1); }},
        {"ScrollTrack", [&] { g.SetScrollTrack(false); }},
        {"AutoToolTips", [&] { g.SetAutoToolTips(false); }},
        {"Enabled", [&] { g.SetEnabled(false); }},
        {"FreezeAtCol", [&] { g.SetFreezeAtCol(0); }},
        {"CacheIncrement", [&] { g.SetCacheIncrement(20); }},
        {"MaxLineCount", [&] { g.SetMaxLineCount(2); }},
        {"ScaleUnits", [&] { g.SetScaleUnits(3); }},
        {"SearchColumn", [&] { g.SetSearchColumn(1); }},
        {"MinRowHeight", [&] { g.SetMinRowHeight(300); }},
        {"Font", [&] { g.SetFont(font); }},
        {"FontHeader", [&] { g.SetFontHeader(font); }},
    };
    QSignalSpy changes(&g, &ListGrid::PropertyChanged);
    std::set<QString> covered;
    for (const auto& [name, set] : setters) {
        changes.clear();
        set();
        ASSERT_EQ(changes.count(), 1) << name.toStdString();
        EXPECT_EQ(changes.first().first().toString(), name);
        covered.insert(name);
    }
    // Every stored key has its setter in the list above.
    for (const GridPropertyEntry& entry : GridPropertyTable()) {
        QString key = QString::fromLatin1(entry.key);
        if (key.startsWith(QLatin1String("CustomColor")))
            key.replace(QLatin1String("CustomColor"), QLatin1String("ThemeColor"));
        EXPECT_TRUE(covered.count(key)) << "no setter checked for " << key.toStdString();
    }
}

TEST(ListGridColumnOrder, RestoreKeepsTheCurrentColumn)
{
    ListGrid g;
    for (const char* name : {"a", "b", "c"})
        g.AddColumn(QString::fromLatin1(name), 900);
    g.AddColumn(QStringLiteral("d"), 900, 4, 0, {}, {}, 4, false, 1); // shown second: order 0 3 1 2
    g.AddItem(QStringLiteral("1\t2\t3\t4"));
    g.AddItem(QStringLiteral("5\t6\t7\t8"));
    g.SetRedraw(true);
    g.RowColSet(1, 3);
    ASSERT_EQ(g.Col(), 3);
    QSignalSpy orders(&g, &ListGrid::ColumnOrderChanged);
    g.ColOrderRestore();
    EXPECT_EQ(g.model().colOrder, (std::vector<qint32>{0, 1, 2, 3}));
    EXPECT_EQ(orders.count(), 1);
    EXPECT_EQ(g.Col(), 3) << "the column that was current stays current, now at its own place";
    EXPECT_EQ(g.Row(), 1);
}
