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

TEST(ListGridNotification, SettingAStoredPropertyToItsValueChangesNothingAndDrawsNothing)
{
    ListGrid g;
    g.resize(200, 100);
    g.AddColumn(QStringLiteral("a"), 900);
    g.AddItem(QStringLiteral("x"));
    g.SetRedraw(true);
    const std::vector<std::function<void()>> setters{
        [&] { g.SetGridColor(255); }, [&] { g.SetCaption(QStringLiteral("c")); },
        [&] { g.SetColumnHeaderLines(2); }, [&] { g.SetAllowEdit(true); }, [&] { g.SetFocusRectMode(2); }};
    QSignalSpy changes(&g, &ListGrid::PropertyChanged);
    for (const auto& set : setters) {
        set();
        const int reported = static_cast<int>(changes.count());
        const int passes = g.paintCount();
        set();
        EXPECT_EQ(changes.count(), reported);
        EXPECT_EQ(g.paintCount(), passes);
    }
    EXPECT_EQ(changes.count(), static_cast<qsizetype>(setters.size()));
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
    EXPECT_EQ(g.ColOrder(), (std::vector<qint32>{0, 1, 2, 3}));
    EXPECT_EQ(orders.count(), 1);
    EXPECT_EQ(g.Col(), 3) << "the column that was current stays current, now at its own place";
    EXPECT_EQ(g.Row(), 1);
}

namespace {

/** Makes a locale the default for one test. */
class DefaultLocale
{
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(m_saved); }

private:
    QLocale m_saved;
};

} // namespace

TEST(ListGridLocaleInfo, AnswersTheClassicItemsFromTheLocale)
{
    ListGrid g;
    {
        DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(g.GetInfo(0x0E), QStringLiteral(","));
        EXPECT_EQ(g.GetInfo(0x0F), QStringLiteral("."));
        EXPECT_EQ(g.GetInfo(0x0C), QStringLiteral(";"));
        EXPECT_EQ(g.GetInfo(0x10), QStringLiteral("3;0"));
        EXPECT_EQ(g.GetInfo(0x15), QStringLiteral("EUR"));
        EXPECT_EQ(g.GetInfo(0x1B), QStringLiteral("3")) << "1,00 €: symbol after, separated";
        EXPECT_EQ(g.GetInfo(0x19), QStringLiteral("2"));
        EXPECT_EQ(g.GetInfo(0x1D), QStringLiteral("."));
        EXPECT_EQ(g.GetInfo(0x1E), QStringLiteral(":"));
        EXPECT_EQ(g.GetInfo(0x21), QStringLiteral("1")) << "day, month, year";
        EXPECT_EQ(g.GetInfo(0x23), QStringLiteral("1")) << "24-hour clock";
        EXPECT_EQ(g.GetInfo(0x2A), QStringLiteral("Montag")) << "day names start on Monday";
        EXPECT_EQ(g.GetInfo(0x30), QStringLiteral("Sonntag"));
        EXPECT_EQ(g.GetInfo(0x38 + 2), QStringLiteral("März"));
        EXPECT_EQ(g.GetInfo(0x0D), QStringLiteral("0")) << "metric";
        EXPECT_EQ(g.GetInfo(0x100A), QStringLiteral("9")) << "A4";
        EXPECT_EQ(g.GetInfo(0x100C), QStringLiteral("0")) << "weeks start on Monday";
        EXPECT_EQ(g.GetInfo(0x5C), QStringLiteral("de-DE"));
        EXPECT_EQ(g.GetInfo(0x1001), QStringLiteral("German"));
        EXPECT_EQ(g.GetInfo(0x04), QStringLiteral("Deutsch"));
        EXPECT_EQ(g.GetInfo(0x1010), QStringLiteral("1")) << "-1,1";
    }
    {
        DefaultLocale us(QLocale(QLocale::English, QLocale::UnitedStates));
        EXPECT_EQ(g.GetInfo(0x0E), QStringLiteral("."));
        EXPECT_EQ(g.GetInfo(0x14), QStringLiteral("$"));
        EXPECT_EQ(g.GetInfo(0x1B), QStringLiteral("0")) << "$1.00";
        EXPECT_EQ(g.GetInfo(0x21), QStringLiteral("0")) << "month, day, year";
        EXPECT_EQ(g.GetInfo(0x23), QStringLiteral("0")) << "AM/PM clock";
        EXPECT_TRUE(g.GetInfo(0x1003).contains(QLatin1String("tt"))) << g.GetInfo(0x1003).toStdString();
        EXPECT_EQ(g.GetInfo(0x0D), QStringLiteral("1"));
        EXPECT_EQ(g.GetInfo(0x100A), QStringLiteral("1")) << "letter";
        EXPECT_EQ(g.GetInfo(0x100C), QStringLiteral("6")) << "weeks start on Sunday";
        EXPECT_EQ(g.GetInfo(0x02), QStringLiteral("English (United States)"));
        EXPECT_EQ(g.GetInfo(0x13), QStringLiteral("0123456789"));
    }
    EXPECT_EQ(g.GetInfo(0x7FFF), QString()) << "an item nobody answers";
}

namespace {

/** A row member read back after a write through the same member, on rows "r0".."r4" with row 2
 *  current. */
struct RowMember
{
    const char* name;
    std::function<void(ListGrid&, int)> write;
    std::function<QVariant(const ListGrid&, int)> read;
    QVariant written; ///< what read gives for a row the write reached
};

class GridRowMembers : public ::testing::TestWithParam<RowMember>
{
};

} // namespace

TEST_P(GridRowMembers, ClampTheirRowAsCellReferencesAreClamped)
{
    const RowMember& member = GetParam();
    ListGrid g;
    g.AddColumn(QStringLiteral("Name"), 1500);
    for (int i = 0; i < 5; ++i)
        g.AddItem(QStringLiteral("r%1").arg(i));
    g.RowColSet(2, -1);
    const QVariant untouched = member.read(g, 0);

    // -1 names the current row, a row past the end the last one.
    EXPECT_NO_THROW(member.write(g, -1));
    EXPECT_EQ(member.read(g, 2), member.written);
    EXPECT_EQ(member.read(g, -1), member.written);
    EXPECT_NO_THROW(member.write(g, 99));
    EXPECT_EQ(member.read(g, 4), member.written);
    EXPECT_EQ(member.read(g, 1000), member.written);
    EXPECT_EQ(member.read(g, 0), untouched);
    EXPECT_EQ(member.read(g, 3), untouched);

    // Without a current row -1 names the first row.
    g.Clear();
    g.AddItem(QStringLiteral("only"));
    EXPECT_EQ(g.Row(), -1);
    EXPECT_NO_THROW(member.write(g, -1));
    EXPECT_EQ(member.read(g, 0), member.written);

    // An empty grid reads the empty value and ignores writes.
    g.Clear();
    EXPECT_NO_THROW(member.write(g, 0));
    EXPECT_NO_THROW((void)member.read(g, -1));
    EXPECT_EQ(g.Rows(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Members, GridRowMembers,
    ::testing::Values(
        RowMember{"RowData", [](ListGrid& g, int r) { g.SetRowData(r, 42); },
                  [](const ListGrid& g, int r) { return QVariant(g.RowData(r)); }, QVariant(42)},
        RowMember{"RowTag", [](ListGrid& g, int r) { g.SetRowTag(r, QStringLiteral("t")); },
                  [](const ListGrid& g, int r) { return QVariant(g.RowTag(r)); },
                  QVariant(QStringLiteral("t"))},
        RowMember{"RowGroupHeader", [](ListGrid& g, int r) { g.SetRowGroupHeader(r, true); },
                  [](const ListGrid& g, int r) { return QVariant(g.RowGroupHeader(r)); }, QVariant(true)},
        RowMember{"RowChecked", [](ListGrid& g, int r) { g.SetRowChecked(r, true); },
                  [](const ListGrid& g, int r) { return QVariant(g.RowChecked(r)); }, QVariant(true)},
        RowMember{"RowVisible", [](ListGrid& g, int r) { g.SetRowVisible(r, false); },
                  [](const ListGrid& g, int r) { return QVariant(g.RowVisible(r)); }, QVariant(false)},
        RowMember{"RowHeight", [](ListGrid& g, int r) { g.SetRowHeight(r, 77); },
                  [](const ListGrid& g, int r) { return QVariant(g.RowHeight(r)); }, QVariant(77.0f)},
        RowMember{"RowImage", [](ListGrid& g, int r) { g.SetRowImage(r, 3); },
                  [](const ListGrid& g, int r) { return g.RowImage(r); }, QVariant(3)}),
    [](const ::testing::TestParamInfo<RowMember>& info) { return std::string(info.param.name); });

TEST(GridRowMembers, RowSelectedOfTheCurrentRowIsSafeWhileRowsAreDeleted)
{
    ListGrid g;
    g.AddColumn(QStringLiteral("Name"), 1500);
    for (int i = 0; i < 4; ++i)
        g.AddItem(QStringLiteral("r%1").arg(i));
    g.SetMultiSelect(1);
    g.SetRowSelected(-1, true); // no current row yet: the first row
    EXPECT_TRUE(g.RowSelected(0));
    g.RowColSet(3, -1);
    int events = 0;
    QObject::connect(&g, &ListGrid::SelectionChanged, &g, [&] {
        ++events;
        // The current row is inside the grid by the time anyone hears of the change.
        EXPECT_LT(g.Row(), g.Rows());
        EXPECT_NO_THROW((void)g.RowSelected(g.Row()));
    });
    g.RemoveRow(3); // the current and selected last row
    EXPECT_EQ(events, 1);
    EXPECT_EQ(g.Row(), 2);
    g.SetRowSelected(2, true);
    g.SetRowSelected(1, true);
    g.DeleteSelected();
    EXPECT_GE(events, 2);
    EXPECT_EQ(g.Rows(), 1);
}
