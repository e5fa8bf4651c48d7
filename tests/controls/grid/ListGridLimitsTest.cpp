// The grid at the edges of its numbers: a full format table, huge widths and heights, and a stored
// font read back.
#include "controls/common/PropertyBag.h"
#include "controls/grid/ListGrid.h"
#include "GridLayoutProbe.h"

#include <QScrollBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>

using namespace brenlow;

using brenlow::test::laidOutWidth;

TEST(GridLimits, TheFormatTableStopsAtIndex32767BeforeGrowingPastIt)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("a"), 100);
    const int rows = 33000;
    for (int i = 0; i < rows; ++i)
        grid.AddItem(QString());
    // Every cell its own colour, so every one needs an entry of its own.
    int failedAt = -1;
    for (int i = 0; i < rows; ++i) {
        try {
            grid.SetCellBackColor(i, 0, static_cast<quint32>(i + 1));
        } catch (const std::overflow_error&) {
            failedAt = i;
            break;
        }
    }
    // Entry 0 is the rows' shared default, row i took entry i + 1: 0..32767 are usable, no more.
    EXPECT_EQ(failedAt, 32767);
    EXPECT_EQ(grid.CellBackColor(32766, 0), 32767u);
    EXPECT_EQ(grid.CellBackColor(32767, 0), grid.BackColor()) << "the failed write changed nothing";
}

TEST(GridLimits, AWidthThatCannotBeConvertedChangesNothing)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("a"), 1500);
    EXPECT_THROW(grid.SetColWidth(0, 1e30f), std::overflow_error);
    EXPECT_FLOAT_EQ(grid.ColWidth(0), 1501);
    EXPECT_EQ(laidOutWidth(grid, 0), 100);
    EXPECT_THROW(grid.AddColumn(QStringLiteral("b"), 1e30f), std::overflow_error);
    EXPECT_EQ(grid.Cols(), 1) << "no half-made column";
    EXPECT_EQ(grid.ColOrder().size(), 1u);
}

TEST(GridLimits, HugeWidthsAndHeightsStillScroll)
{
    ListGrid grid;
    grid.resize(400, 300);
    const float huge = 2.0e9f * 15; // two billion pixels in twips
    grid.AddColumn(QStringLiteral("a"), huge);
    grid.AddColumn(QStringLiteral("b"), huge);
    grid.AddColumn(QStringLiteral("c"), 1500);
    for (int i = 0; i < 3; ++i)
        grid.AddItem(QStringLiteral("x\ty\tz"));
    grid.SetRowHeight(0, 2.0e9f);
    grid.SetRowHeight(1, 2.0e9f);
    grid.SetRedraw(true);
    grid.Refresh();
    ASSERT_NE(grid.horizontalScrollBar(), nullptr);
    EXPECT_FALSE(grid.horizontalScrollBar()->isHidden()) << "the columns do not fit";
    EXPECT_FALSE(grid.verticalScrollBar()->isHidden()) << "the rows do not fit";
    EXPECT_GE(grid.horizontalScrollBar()->maximum(), 1);
    EXPECT_GE(grid.verticalScrollBar()->maximum(), 1);
    for (const auto& span : grid.layout().cols())
        EXPECT_GE(span.right(), span.left);
    for (const auto& span : grid.layout().rows())
        EXPECT_GE(span.bottom(), span.top);
    // The last row can still be scrolled to and drawn.
    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
    EXPECT_EQ(grid.RowLastVisible(), 2);
}

TEST(GridLimits, LoadedPropertiesGiveNewCellsTheStoredFont)
{
    ListGrid grid;
    const QString family = grid.Font().family() == QStringLiteral("DejaVu Serif")
                               ? QStringLiteral("DejaVu Sans")
                               : QStringLiteral("DejaVu Serif");
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Font"), family);
    grid.ReadProperties(bag);
    EXPECT_EQ(grid.Font().family(), family);
    grid.AddColumn(QStringLiteral("a"), 1500);
    grid.AddItem(QStringLiteral("x"));
    EXPECT_EQ(grid.CellFontName(0, 0), family);
}

namespace {

/** A damaged value in the property store. */
struct DamagedValue
{
    const char* name;
    const char* key; ///< as the main window's stored data may spell it
    QVariant value;
    std::function<double(const ListGrid&)> read;
    double expected; ///< the default it reads as
};

class GridDamagedStore : public ::testing::TestWithParam<DamagedValue>
{
};

} // namespace

TEST_P(GridDamagedStore, ReadsAsTheDefaultAndPaintingGoesOn)
{
    const DamagedValue& d = GetParam();
    ListGrid grid;
    grid.resize(300, 200);
    PropertyBag bag;
    bag.WriteProperty(QString::fromLatin1(d.key), d.value);
    grid.ReadProperties(bag);
    EXPECT_EQ(d.read(grid), d.expected);

    grid.AddColumn(QStringLiteral("a"), 1500);
    for (int i = 0; i < 3; ++i)
        grid.AddItem(QStringLiteral("x"));
    grid.SetRedraw(true);
    const int passes = grid.paintCount();
    grid.Refresh();
    EXPECT_GT(grid.paintCount(), passes);
    EXPECT_LT(grid.RowHeight(0), 1000);
}

INSTANTIATE_TEST_SUITE_P(
    Values, GridDamagedStore,
    ::testing::Values(DamagedValue{"HugeMinRowHeight", "minrowheight", 1e12,
                                   [](const ListGrid& g) { return g.MinRowHeight(); }, 0},
                      DamagedValue{"NaNMinRowHeight", "minrowheight", std::nan(""),
                                   [](const ListGrid& g) { return g.MinRowHeight(); }, 0},
                      DamagedValue{"NegativeMinRowHeight", "MinRowHeight", -5e5,
                                   [](const ListGrid& g) { return g.MinRowHeight(); }, 0},
                      DamagedValue{"HugeOffset", "minverticaloffset", 5e8,
                                   [](const ListGrid& g) { return g.MinVerticalOffset(); }, 2},
                      DamagedValue{"OffsetPastLong", "MinVerticalOffset", 2e10,
                                   [](const ListGrid& g) { return g.MinVerticalOffset(); }, 2},
                      DamagedValue{"NoGrowth", "CacheIncrement", 0,
                                   [](const ListGrid& g) { return g.CacheIncrement(); }, 10},
                      DamagedValue{"HeaderLines", "ColumnHeaderLines", 30000,
                                   [](const ListGrid& g) { return g.ColumnHeaderLines(); }, 1},
                      DamagedValue{"LineWidth", "GridLineWidth", 1e6,
                                   [](const ListGrid& g) { return g.GridLineWidth(); }, 1}),
    [](const ::testing::TestParamInfo<DamagedValue>& info) { return std::string(info.param.name); });

TEST(GridLimits, ARowHeightNoScreenCanMeasureIsRefusedAndPaintingGoesOn)
{
    ListGrid grid;
    grid.resize(300, 200);
    grid.AddColumn(QStringLiteral("a"), 1500);
    grid.AddItem(QStringLiteral("x"));
    grid.SetRedraw(true);
    for (const float bad : {1e12f, std::nanf(""), std::numeric_limits<float>::infinity()})
        EXPECT_THROW(grid.SetMinRowHeight(bad), std::overflow_error) << bad;
    EXPECT_THROW(grid.SetMinVerticalOffset(std::numeric_limits<int>::max()), std::overflow_error);
    EXPECT_EQ(grid.MinRowHeight(), 0);
    EXPECT_EQ(grid.MinVerticalOffset(), 2);
    grid.SetMinRowHeight(600);
    const int passes = grid.paintCount();
    grid.Refresh();
    EXPECT_GT(grid.paintCount(), passes) << "no pass is left believing another one runs";
}

TEST(GridLimits, OverflowsFromExtremeNumbersAreReportedNotUndefined)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("a"), 1500);
    // The largest growth step: the rows still come and go.
    grid.SetCacheIncrement(std::numeric_limits<int>::max());
    for (int i = 0; i < 3; ++i)
        grid.AddItem(QStringLiteral("x"));
    grid.RemoveItem(0);
    EXPECT_EQ(grid.Rows(), 2);
    // The lowest number has no key counterpart: refused as an overflow, the row keeps its image.
    grid.SetRowImage(0, 4);
    EXPECT_THROW(grid.SetRowImage(0, std::numeric_limits<int>::min()), std::overflow_error);
    EXPECT_EQ(grid.RowImage(0), QVariant(4));
    EXPECT_THROW(grid.SetCellImage(0, 0, std::numeric_limits<int>::min()), std::overflow_error);
}
