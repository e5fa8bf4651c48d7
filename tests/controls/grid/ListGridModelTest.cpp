#include "controls/grid/ListGrid.h"
#include "GridLayoutProbe.h"

#include "base/Numbers.h"
#include "platform/Clock.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <stdexcept>

using namespace brenlow;

namespace {
using brenlow::test::laidOutWidth;

// The main window's seven columns, widths in twips.
void addDownloadColumns(ListGrid& grid)
{
    grid.AddColumn(QStringLiteral("Video Name"), 1500);
    grid.AddColumn(QStringLiteral("Video Link"), 1500);
    grid.AddColumn(QStringLiteral("Picture"), 1500);
    grid.AddColumn(QStringLiteral("Profile"), 0, 4, 0, {}, {}, 4, false, 0, false);
    grid.AddColumn(QStringLiteral("Profile"), 1500);
    grid.AddColumn(QStringLiteral("Progress"), 1500, 4, ColumnType::Progress);
    grid.AddColumn(QStringLiteral("Status"), 1500);
}

} // namespace

TEST(ListGridColumns, AddColumnStoresWidthPlusOneAndPixelsAtFifteenTwips)
{
    ListGrid grid;
    EXPECT_EQ(grid.AddColumn(QStringLiteral("Video Name"), 1500), 0);
    EXPECT_FLOAT_EQ(grid.ColWidth(0), 1501);
    EXPECT_EQ(laidOutWidth(grid, 0), 100);
    grid.SetColWidth(0, 1500);
    EXPECT_FLOAT_EQ(grid.ColWidth(0), 1500);
    EXPECT_EQ(laidOutWidth(grid, 0), 100);
    EXPECT_EQ(grid.ColAlignment(0), 4);
    EXPECT_EQ(grid.ColImageAlignment(0), 4);
    EXPECT_TRUE(grid.ColVisible(0));
    EXPECT_FALSE(grid.ColLocked(0));
}

TEST(ListGridColumns, IndexZeroOrCountAppendsAndAnInnerIndexInserts)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("a"), 100);
    EXPECT_EQ(grid.AddColumn(QStringLiteral("b"), 100, 4, 0, {}, {}, 4, false, 0), 1);
    EXPECT_EQ(grid.AddColumn(QStringLiteral("c"), 100, 4, 0, {}, {}, 4, false, 2), 2);
    EXPECT_EQ(grid.AddColumn(QStringLiteral("d"), 100, 4, 0, {}, {}, 4, false, 1), 1);
    EXPECT_EQ(grid.ColOrder(), (std::vector<qint32>{0, 3, 1, 2}));
    EXPECT_EQ(grid.Cols(), 4);
}

TEST(ListGridColumns, DefaultInputFiltersAndSubscriptErrors)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("n"), 100, 4, ColumnType::Numeric);
    grid.AddColumn(QStringLiteral("d"), 100, 4, ColumnType::Date);
    grid.AddColumn(QStringLiteral("x"), 100, 4, ColumnType::Numeric, {}, QStringLiteral("12"));
    EXPECT_EQ(grid.ColInputFilter(0), QStringLiteral("1234567890.-,"));
    EXPECT_EQ(grid.ColInputFilter(1), QStringLiteral("1234567890./-"));
    EXPECT_EQ(grid.ColInputFilter(2), QStringLiteral("12"));
    EXPECT_THROW((void)grid.ColHeading(3), std::out_of_range);
    EXPECT_THROW(grid.SetColWidth(-2, 10), std::out_of_range);
    EXPECT_TRUE(grid.ColLocked(-1));
}

TEST(ListGridColumns, ColumnAddedToFilledGridGivesEveryRowACell)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("a"), 100);
    grid.AddItem(QStringLiteral("1"));
    grid.AddItem(QStringLiteral("2"));
    grid.AddColumn(QStringLiteral("b"), 100, 1);
    EXPECT_EQ(grid.CellAlignment(1, 1), 1);
    EXPECT_EQ(grid.CellBackColor(1, 1), grid.BackColor());
    // The new cells keep the look they were given, as the first column's cells do.
    grid.SetBackColor(255);
    EXPECT_EQ(grid.CellBackColor(1, 1), grid.CellBackColor(1, 0));
    EXPECT_NE(grid.CellBackColor(1, 1), 255u);
}

TEST(ListGridRows, AddItemWithoutColumnsCreatesOneFullWidthColumn)
{
    ListGrid grid;
    grid.resize(300, 200);
    EXPECT_EQ(grid.AddItem(QStringLiteral("only")), 0);
    ASSERT_EQ(grid.Cols(), 1);
    EXPECT_GT(grid.VisibleWidth(), 200 * 15);
    EXPECT_FLOAT_EQ(grid.ColWidth(0), grid.VisibleWidth() + 1);
    EXPECT_EQ(grid.ColHeading(0), QString());
    EXPECT_EQ(grid.CellText(0, 0), QStringLiteral("only"));
}

TEST(ListGridRows, TabPartsFillColumnsExtraIgnoredMissingEmpty)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("a"), 100);
    grid.AddColumn(QStringLiteral("b"), 100);
    grid.AddItem(QStringLiteral("a\tb\tc"));
    grid.AddItem(QStringLiteral("x"));
    EXPECT_EQ(grid.CellText(0, 0), QStringLiteral("a"));
    EXPECT_EQ(grid.CellText(0, 1), QStringLiteral("b"));
    EXPECT_EQ(grid.CellText(1, 1), QString());
}

TEST(ListGridRows, InsertAtRowZeroShowsFirstButIsStoredLast)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("a"), 100);
    grid.AddItem(QStringLiteral("first"));
    grid.AddItem(QStringLiteral("second"));
    QSignalSpy counted(&grid, &ListGrid::RowCountChanged);
    EXPECT_EQ(grid.AddItem(QStringLiteral("new"), 0, true, true, true, false, 42), 0);
    EXPECT_EQ(counted.count(), 1);
    EXPECT_EQ(grid.CellText(0, 0), QStringLiteral("new"));
    EXPECT_EQ(grid.CellText(1, 0), QStringLiteral("first"));
    EXPECT_TRUE(grid.RowChecked(0));
    EXPECT_TRUE(grid.RowAdded(0));
    EXPECT_TRUE(grid.RowLocked(0));
    EXPECT_FALSE(grid.RowVisible(0));
    EXPECT_EQ(grid.RowData(0), 42);
    EXPECT_FALSE(grid.RowAdded(1));
    EXPECT_THROW((void)grid.RowAdded(3), std::out_of_range);
    grid.Sort(0, 0); // no sort order: the rows show in storage order
    EXPECT_EQ(grid.CellText(0, 0), QStringLiteral("first"));
    EXPECT_EQ(grid.CellText(1, 0), QStringLiteral("second"));
    EXPECT_EQ(grid.CellText(2, 0), QStringLiteral("new")) << "stored last";
}

TEST(ListGridRows, ManyInsertsAndRemovalsShowTheRowsInTheirPlaces)
{
    ListGrid grid;
    grid.SetCacheIncrement(3);
    grid.AddColumn(QStringLiteral("a"), 100);
    QStringList expected;
    for (int i = 0; i < 50; ++i) {
        grid.AddItem(QString::number(i), i % 2 == 0 ? 0 : -1);
        if (i % 2 == 0)
            expected.prepend(QString::number(i));
        else
            expected.append(QString::number(i));
    }
    for (int i = 0; i < 40; ++i) {
        const int row = i % 7 % grid.Rows();
        grid.RemoveItem(row);
        expected.removeAt(row);
    }
    ASSERT_EQ(grid.Rows(), 10);
    QStringList shown;
    for (int r = 0; r < grid.Rows(); ++r)
        shown << grid.CellText(r, 0);
    EXPECT_EQ(shown, expected);
}

TEST(ListGridRows, RemovingOnlyRowClearsAndSwitchesRedrawOff)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("n"), 100, 4, ColumnType::Numeric);
    grid.SetRedraw(true);
    grid.AddItem(QStringLiteral("5"));
    grid.RowColSet(0, 0);
    QSignalSpy counted(&grid, &ListGrid::RowCountChanged);
    grid.RemoveItem(0);
    EXPECT_EQ(counted.count(), 1);
    EXPECT_EQ(grid.Rows(), 0);
    EXPECT_FALSE(grid.Redraw());
    EXPECT_EQ(grid.Row(), -1);
    EXPECT_EQ(grid.Cols(), 1);
    EXPECT_DOUBLE_EQ(grid.TotalsCol(0), 0);
    grid.RemoveItem(0); // nothing on an empty grid
    EXPECT_EQ(counted.count(), 1);
}

TEST(ListGridRows, RemovingSelectedRowSelectsTheOneNowInItsPlace)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("a"), 100);
    for (const char* t : {"a", "b", "c"})
        grid.AddItem(QString::fromLatin1(t));
    grid.RowColSet(2, -1);
    QSignalSpy moved(&grid, &ListGrid::RowColChanged);
    grid.RemoveItem(2);
    EXPECT_TRUE(grid.RowSelected(1));
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(moved.count(), 1);
    grid.RowColSet(0, -1);
    grid.RemoveItem(0);
    EXPECT_EQ(grid.CellText(0, 0), QStringLiteral("b"));
    EXPECT_TRUE(grid.RowSelected(0));
}

TEST(ListGridRows, DeleteSelectedWithMultiSelectRemovesEverySelectedRow)
{
    ListGrid grid;
    grid.SetMultiSelect(1);
    grid.AddColumn(QStringLiteral("a"), 100);
    for (const char* t : {"a", "b", "c", "d"})
        grid.AddItem(QString::fromLatin1(t));
    grid.SetRowSelected(0, true);
    grid.SetRowSelected(1, true);
    grid.SetRowSelected(3, true);
    grid.DeleteSelected();
    ASSERT_EQ(grid.Rows(), 1);
    EXPECT_EQ(grid.CellText(0, 0), QStringLiteral("c"));
    EXPECT_EQ(grid.Row(), 0);
}

TEST(ListGridRows, ClearKeepsColumnsAndHidesUntilRedraw)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("a"), 100);
    grid.SetRedraw(true);
    grid.AddItem(QStringLiteral("x"));
    grid.SetCellText(0, 0, QStringLiteral("y"));
    EXPECT_TRUE(grid.CellsChanged());
    grid.Clear();
    EXPECT_FALSE(grid.Redraw());
    EXPECT_FALSE(grid.CellsChanged());
    const int painted = grid.paintCount();
    grid.AddItem(QStringLiteral("z"));
    EXPECT_EQ(grid.paintCount(), painted);
    grid.SetRedraw(true);
    EXPECT_EQ(grid.paintCount(), painted + 1) << "the refresh kept pending runs";
    grid.ClearAll();
    EXPECT_EQ(grid.Cols(), 0);
    EXPECT_EQ(grid.Rows(), 0);
}

TEST(ListGridRows, RowHeightFollowsMinRowHeightAndWordWrap)
{
    ListGrid grid;
    grid.SetMinRowHeight(1400);
    grid.AddColumn(QStringLiteral("a"), 300, 0, 0, {}, {}, 4, true);
    grid.AddItem(QStringLiteral("x"));
    EXPECT_FLOAT_EQ(grid.RowHeight(0), 99);
    grid.SetRowHeight(0, 40.5f);
    EXPECT_FLOAT_EQ(grid.RowHeight(0), 40);
    grid.SetMinRowHeight(0);
    grid.SetAllowWordWrap(true);
    const float single = grid.RowHeight(0);
    ListGrid plain; // the same defaults, without word wrap: rows get the default height
    plain.AddColumn(QStringLiteral("a"), 300);
    plain.AddItem(QStringLiteral("x"));
    EXPECT_FLOAT_EQ(single, plain.RowHeight(0) - 2);
    grid.SetCellText(0, 0, QStringLiteral("many words that wrap over several lines in a narrow column"));
    EXPECT_GT(grid.RowHeight(0), single * 2);
    grid.SetMaxLineCount(1);
    grid.SetRowHeight(0, -1);
    EXPECT_FLOAT_EQ(grid.RowHeight(0), single);
}

TEST(ListGridCells, FixRefClampsRowsAndRejectsColumnsPastTheEnd)
{
    ListGrid grid;
    EXPECT_EQ(grid.CellText(0, 0), QString());
    grid.SetCellText(0, 0, QStringLiteral("ignored"));
    grid.AddColumn(QStringLiteral("a"), 100);
    grid.AddColumn(QStringLiteral("b"), 100);
    grid.AddItem(QStringLiteral("r0a\tr0b"));
    grid.AddItem(QStringLiteral("r1a\tr1b"));
    EXPECT_EQ(grid.CellText(99, 0), QStringLiteral("r1a"));
    EXPECT_EQ(grid.CellText(-1, 1), QStringLiteral("r0b")); // no current row: row 0
    grid.RowColSet(1, 1);
    EXPECT_EQ(grid.CellText(-1, -1), QStringLiteral("r1b"));
    EXPECT_EQ(grid.CellText(0, 2), QString());
    grid.SetCellText(0, 2, QStringLiteral("nowhere"));
    EXPECT_FALSE(grid.RowChanged(0));
}

TEST(ListGridCells, CellColoursAreKeptPerCellThroughSharedEntries)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("a"), 100);
    grid.AddColumn(QStringLiteral("b"), 100);
    grid.AddItem(QStringLiteral("1\t2"));
    grid.SetCellBackColor(0, 0, 255);
    grid.SetCellBackColor(0, 1, 255);
    grid.SetCellBackColor(0, 1, 65280);
    EXPECT_EQ(grid.CellBackColor(0, 1), 65280u);
    EXPECT_EQ(grid.CellBackColor(0, 0), 255u) << "a shared entry is not changed under another cell";
}

TEST(ListGridCells, FormatCellsModesOverARange)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("a"), 100);
    grid.AddColumn(QStringLiteral("b"), 100);
    for (int i = 0; i < 3; ++i)
        grid.AddItem(QStringLiteral("x\ty"));
    grid.FormatCells(0, -1, 1, -1, 4, QStringLiteral("&HFF"));
    grid.FormatCells(1, 1, 0, 0, 32, QStringLiteral("True"));
    grid.FormatCells(0, -1, 0, -1, 16, QStringLiteral("   "));
    grid.FormatCells(2, 2, 0, 0, 16, QStringLiteral("Serif"));
    grid.FormatCells(0, 0, 0, 0, 256, QStringLiteral("1"));
    grid.FormatCells(0, 0, 1, 1, 512, {}, 2);
    grid.FormatCells(0, -1, 0, -1, 2, QStringLiteral("1")); // unknown mode
    EXPECT_EQ(grid.CellForeColor(2, 1), 255u);
    EXPECT_EQ(grid.CellForeColor(2, 0), grid.ForeColor());
    EXPECT_TRUE(grid.CellFontBold(1, 0));
    EXPECT_FALSE(grid.CellFontBold(0, 0));
    EXPECT_EQ(grid.CellFontName(2, 0), QStringLiteral("Serif"));
    EXPECT_EQ(grid.CellFontName(1, 0), grid.Font().family());
    EXPECT_TRUE(grid.CellHandPointer(0, 0));
    EXPECT_EQ(grid.CellAlignment(0, 1), 2);
}

TEST(ListGridCells, FormatCellsGivesTheSameLooksAsCellByCellWrites)
{
    // Mixed looks, so entries fall free and get reused in the middle of the block.
    const auto build = [](ListGrid& grid) {
        grid.AddColumn(QStringLiteral("a"), 100);
        grid.AddColumn(QStringLiteral("b"), 100);
        for (int r = 0; r < 12; ++r)
            grid.AddItem(QStringLiteral("x\ty"));
        for (int r = 0; r < 12; ++r) {
            grid.SetCellBackColor(r, 0, static_cast<quint32>(r % 3));
            if (r % 4 == 0)
                grid.SetCellForeColor(r, 1, 7);
        }
    };
    ListGrid bulk;
    ListGrid single;
    build(bulk);
    build(single);
    bulk.FormatCells(0, -1, 0, 1, 1, QStringLiteral("5"));
    for (int r = 0; r < 12; ++r) {
        single.SetCellBackColor(r, 0, 5);
        single.SetCellBackColor(r, 1, 5);
    }
    for (int r = 0; r < 12; ++r) {
        for (int c = 0; c < 2; ++c) {
            EXPECT_EQ(bulk.CellBackColor(r, c), 5u);
            EXPECT_EQ(bulk.CellForeColor(r, c), single.CellForeColor(r, c)) << r << ' ' << c;
            EXPECT_EQ(bulk.CellFontName(r, c), single.CellFontName(r, c));
        }
    }
}

TEST(ListGridCells, ProgressValuesAreClampedAndOnlyInProgressColumns)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("t"), 100);
    grid.AddColumn(QStringLiteral("p"), 100, 4, ColumnType::Progress);
    grid.AddItem(QStringLiteral("a\t"));
    grid.SetCellProgressValue(0, 1, 150);
    EXPECT_EQ(grid.CellProgressValue(0, 1), 100);
    grid.SetCellProgressValue(0, 1, -5);
    EXPECT_EQ(grid.CellProgressValue(0, 1), 0);
    grid.SetCellProgressValue(0, 1, 42);
    grid.SetCellText(0, 1, QStringLiteral("42%"));
    EXPECT_EQ(grid.CellProgressValue(0, 1), 42); // the text does not disturb the value
    grid.SetCellProgressValue(0, 0, 50);
    EXPECT_EQ(grid.CellProgressValue(0, 0), 0);
    EXPECT_EQ(grid.CellProgressBarColor(), 8421631u);
}

TEST(ListGridCells, TotalsFollowTextChangesAdditionsAndRemovals)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("n"), 100, 4, ColumnType::Numeric);
    grid.AddItem(QStringLiteral("1"));
    grid.SetCellText(0, 0, QStringLiteral("12.5"));
    grid.SetCellText(0, 0, QStringLiteral("2"));
    EXPECT_DOUBLE_EQ(grid.TotalsCol(0), 2);
    grid.AddItem(QStringLiteral("$ 1,234.50"));
    EXPECT_DOUBLE_EQ(grid.TotalsCol(0), 1236.5);
    grid.RemoveItem(0);
    EXPECT_DOUBLE_EQ(grid.TotalsCol(0), 1234.5);
    grid.SetCellValue(0, 0, 7.25);
    EXPECT_EQ(grid.CellText(0, 0), QStringLiteral("7.25"));
    EXPECT_DOUBLE_EQ(grid.CellValue(0, 0).toDouble(), 7.25);
    EXPECT_DOUBLE_EQ(grid.TotalsCol(0), 7.25);
    EXPECT_DOUBLE_EQ(grid.rVal(QStringLiteral("&HFF")), 255);
    EXPECT_DOUBLE_EQ(grid.rVal(QStringLiteral("abc")), 0);
    EXPECT_DOUBLE_EQ(grid.rVal(QStringLiteral("True")), -1);
}

TEST(ListGridCells, TextColumnsTotalTheirNumbersToo)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("t"), 100);
    grid.AddItem(QStringLiteral("5 apples"));
    grid.AddItem(QStringLiteral("1.5"));
    grid.AddItem(QStringLiteral("words"));
    EXPECT_DOUBLE_EQ(grid.TotalsCol(0), 6.5);
    grid.SetCellText(2, 0, QStringLiteral("&H10"));
    EXPECT_DOUBLE_EQ(grid.TotalsCol(0), 22.5);
    grid.RemoveItem(0);
    grid.AddItem(QStringLiteral("True"));
    EXPECT_DOUBLE_EQ(grid.TotalsCol(0), 16.5);
    grid.SetColType(0, brenlow::ColumnType::Numeric);
    grid.SetCellText(0, 0, QStringLiteral("0"));
    EXPECT_DOUBLE_EQ(grid.TotalsCol(0), 15);
}

TEST(ListGridCells, CellNumbersReadLikeRVal)
{
    const QStringList texts = {"",         "0",
                               "12",       "-3.25",
                               "007",      "1.",
                               ".5",       "-",
                               "1-2",      "1e3",
                               "E5",       "True",
                               "true ",    "TRUE",
                               "Tru",      "t",
                               "x12",      " 12",
                               "12 ",      "$ 1,234.50",
                               "&HFF",     "22,MP4,1280X720",
                               "1.2.3",    "abc",
                               "Complete", "e",
                               "-0.0",     "12345678901234567890123"};
    for (const QString& t : texts) {
        EXPECT_DOUBLE_EQ(ListGridModel::number(t), brenlow::rVal(t)) << t.toStdString();
        EXPECT_DOUBLE_EQ(ListGridModel::number(t, false), brenlow::rVal(t)) << t.toStdString();
    }
}

TEST(ListGridCells, CheckBoxColumnTextSetsCheckedAndReadsAsBoolean)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("c"), 100, 4, ColumnType::CheckBox);
    grid.AddItem(QStringLiteral("1"));
    grid.AddItem(QString());
    EXPECT_TRUE(grid.CellChecked(0, 0));
    EXPECT_FALSE(grid.CellValue(1, 0).isValid());
    grid.SetCellText(0, 0, QStringLiteral("0"));
    EXPECT_FALSE(grid.CellChecked(0, 0));
    EXPECT_EQ(grid.CellValue(0, 0), QVariant(false));
    EXPECT_TRUE(grid.CellChanged(0, 0));
    EXPECT_TRUE(grid.RowChanged(0));
    EXPECT_THROW((void)grid.CellChanged(0, 1), std::out_of_range);
}

TEST(ListGridCells, PicturesAndTagsAreStoredWithoutRepaintingOrChanging)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("p"), 100);
    grid.AddItem(QString());
    QImage pic(4, 3, QImage::Format_RGB32);
    pic.fill(Qt::red);
    grid.CellPicture(pic, 0, 0);
    grid.SetCellTag(0, 0, QStringLiteral("tag"));
    EXPECT_EQ(grid.CellPictureGet(0, 0).size(), QSize(4, 3));
    EXPECT_EQ(grid.CellTag(0, 0), QStringLiteral("tag"));
    EXPECT_TRUE(grid.CellPictureGet(0, 1).isNull());
    EXPECT_FALSE(grid.CellsChanged());
}

TEST(ListGridCurrentCell, RowColSetSelectsAndRaisesEvents)
{
    ListGrid grid;
    addDownloadColumns(grid);
    for (int i = 0; i < 3; ++i)
        grid.AddItem(QStringLiteral("name%1").arg(i));
    QSignalSpy moved(&grid, &ListGrid::RowColChanged);
    QSignalSpy selected(&grid, &ListGrid::SelectionChanged);
    grid.RowColSet(1, 4);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.Col(), 4);
    EXPECT_TRUE(grid.RowSelected(1));
    EXPECT_EQ(moved.count(), 1);
    EXPECT_EQ(selected.count(), 1);
    grid.SetRow(2);
    EXPECT_FALSE(grid.RowSelected(1));
    EXPECT_EQ(grid.SelectedCount(), 1);
    EXPECT_EQ(grid.Col(), -1); // the row setter leaves no current column
    grid.RowColSet(0, 3);      // hidden column: nothing at all
    EXPECT_EQ(grid.Row(), 2);
}

TEST(ListGridCurrentCell, HiddenRowsCannotBecomeCurrentLockedRowsRefuseTheMove)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("a"), 100);
    grid.AddItem(QStringLiteral("a"));
    grid.AddItem(QStringLiteral("b"), -1, false, false, false, false);
    grid.AddItem(QStringLiteral("c"), -1, false, false, true);
    grid.RowColSet(0, 0);
    grid.RowColSet(1, 0);
    EXPECT_EQ(grid.Row(), 0);
    EXPECT_FALSE(grid.RowSelected(1));
    QSignalSpy moved(&grid, &ListGrid::RowColChanged);
    grid.RowColSet(2, 0);
    EXPECT_EQ(moved.count(), 0);
    EXPECT_TRUE(grid.RowLocked(0)); // the refusal stands until the next mouse or key press
    EXPECT_TRUE(grid.ColLocked(0));
}

TEST(ListGridCurrentCell, RedrawKeepsWorkPendingWhileOff)
{
    ListGrid grid;
    grid.AddColumn(QStringLiteral("a"), 100);
    EXPECT_FALSE(grid.Redraw());
    grid.AddItem(QStringLiteral("x"));
    int painted = grid.paintCount();
    grid.SetRedraw(true);
    EXPECT_EQ(grid.paintCount(), painted + 1);
    EXPECT_EQ(grid.layout().rows().size(), 1u) << "the rows were placed too";
    painted = grid.paintCount();
    grid.SetRedraw(false);
    grid.SetRedraw(true);
    EXPECT_EQ(grid.paintCount(), painted) << "nothing was due";
    grid.SetRedraw(false);
    grid.SetCellText(0, 0, QStringLiteral("y"));
    // Turned off again, the refresh stays due: it runs once Redraw is on.
    grid.SetRedraw(false);
    EXPECT_EQ(grid.paintCount(), painted);
    grid.SetRedraw(true);
    EXPECT_EQ(grid.paintCount(), painted + 1);
}

// ---- The model alone: its operations keep row ids, the change counter and the current cell.

namespace {

ListGridModel modelWithRows(int rows, int cols = 2)
{
    ListGridModel m;
    for (int c = 0; c < cols; ++c) {
        GridColumn column;
        column.alignment = c;
        m.insertColumn(column, 0);
    }
    for (int r = 0; r < rows; ++r)
        m.loadRowTexts(m.rowAt(m.insertRow(-1)), QStringLiteral("r%1\t%1").arg(r));
    return m;
}

} // namespace

TEST(GridModel, RowsKeepTheirIdsAndTheCurrentCellStaysInside)
{
    ListGridModel m = modelWithRows(4);
    const quint64 second = m.rowAt(1).id();
    const quint64 before = m.structure();
    EXPECT_EQ(m.insertRow(0), 0);
    EXPECT_EQ(m.displayRowOfId(second), 2) << "the row moved down, its id with it";
    EXPECT_GT(m.structure(), before);
    EXPECT_EQ(m.rowAt(0).cells.size(), 2u) << "a cell per column";
    EXPECT_EQ(m.rowAt(0).cells[1].alignment, 1) << "cells take their column's alignment";

    m.setCurrentCell(4, 1);
    m.removeRow(4);
    EXPECT_EQ(m.currentRow(), 3) << "pulled back inside the grid";
    m.setCurrentCell(99, 99);
    EXPECT_EQ(m.currentRow(), 3);
    EXPECT_EQ(m.currentCol(), 1);
    std::vector<bool> marked(4, true);
    EXPECT_EQ(m.removeMarkedRows(marked), 4);
    EXPECT_EQ(m.currentRow(), -1);
    EXPECT_EQ(m.displayRowOfId(second), -1);
    const quint64 fresh = m.rowAt(m.insertRow(-1)).id();
    EXPECT_NE(fresh, second) << "ids are never given twice";
}

TEST(GridModel, ColumnOrderIsAlwaysAPermutation)
{
    ListGridModel m = modelWithRows(1, 3);
    EXPECT_FALSE(m.setColOrder({0, 0, 1}));
    EXPECT_FALSE(m.setColOrder({0, 1}));
    EXPECT_FALSE(m.setColOrder({0, 1, 3}));
    const quint64 before = m.structure();
    EXPECT_TRUE(m.setColOrder({2, 0, 1}));
    EXPECT_EQ(m.structure(), before + 1);
    m.swapColumns(0, 2);
    EXPECT_EQ(m.colOrder(), (std::vector<qint32>{1, 0, 2}));
    m.moveColumn(0, 2);
    EXPECT_EQ(m.colOrder(), (std::vector<qint32>{0, 2, 1}));
    EXPECT_EQ(m.structure(), before + 3);
}

struct ClickCase
{
    const char* name;
    int multiSelect;
    bool ctrl;
    bool shift;
    std::vector<int> selectedBefore;
    int current;
    int clicked;
    std::vector<int> selectedAfter;
    bool changed;
};

void PrintTo(const ClickCase& c, std::ostream* os)
{
    *os << c.name;
}

class SelectionClick : public ::testing::TestWithParam<ClickCase>
{
};

TEST_P(SelectionClick, SelectsByMode)
{
    const ClickCase& c = GetParam();
    ListGridModel m = modelWithRows(5);
    m.rowAt(2).visible = false;
    ListGridSelection selection(m);
    for (int r : c.selectedBefore)
        selection.setSelected(r, true);
    EXPECT_EQ(selection.click(c.clicked, c.current, c.multiSelect, c.ctrl, c.shift), c.changed);
    std::vector<int> selected;
    for (int r = 0; r < 5; ++r)
        if (selection.isSelected(r))
            selected.push_back(r);
    EXPECT_EQ(selected, c.selectedAfter);
    EXPECT_EQ(selection.count(), static_cast<int>(c.selectedAfter.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SelectionClick,
    ::testing::Values(ClickCase{"SingleMovesTheSelection", 0, false, false, {1}, 1, 3, {3}, true},
                      ClickCase{
                          "SingleOnTheSelectedRowChangesNothing", 0, false, false, {3}, 3, 3, {3}, false},
                      ClickCase{"SingleCtrlTogglesTheRowAlone", 0, true, false, {1, 3}, 1, 3, {}, true},
                      ClickCase{"MultiCtrlAddsARow", 1, true, false, {1}, 1, 4, {1, 4}, true},
                      ClickCase{"MultiShiftSkipsHiddenRows", 1, false, true, {}, 0, 4, {0, 1, 3, 4}, true},
                      ClickCase{"MultiPlainClickSelectsOne", 1, false, false, {0, 1}, 0, 4, {4}, true},
                      ClickCase{"ToggleModeTogglesOff", 2, false, false, {1, 4}, 1, 4, {1}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GridKeyboardSearch, TypingWithinASecondExtendsTheText)
{
    ManualClock clock;
    ListGridKeyboardSearch search;
    search.setClock(&clock);
    EXPECT_EQ(search.type(QLatin1Char('a')), QStringLiteral("a"));
    clock.Advance(ListGridKeyboardSearch::PauseMs);
    EXPECT_EQ(search.type(QLatin1Char('b')), QStringLiteral("ab"));
    clock.Advance(ListGridKeyboardSearch::PauseMs + 1);
    EXPECT_EQ(search.type(QLatin1Char('c')), QStringLiteral("c")) << "a longer pause starts again";
}

// ---- The model's own rules, driven through its operations (no window).

namespace {

// Whether every format entry counts exactly the cells that point at it.
::testing::AssertionResult formatCountsMatchUses(const ListGridModel& m)
{
    std::vector<qint32> uses(m.formats().size(), 0);
    for (const GridRow& row : m.rows()) {
        for (const GridCell& cell : row.cells) {
            if (cell.formatIndex < 0)
                continue;
            if (static_cast<size_t>(cell.formatIndex) >= uses.size())
                return ::testing::AssertionFailure() << "a cell points past the table: " << cell.formatIndex;
            ++uses[static_cast<size_t>(cell.formatIndex)];
        }
    }
    for (size_t i = 0; i < uses.size(); ++i) {
        if (uses[i] != m.formats()[i].refCount)
            return ::testing::AssertionFailure()
                   << "entry " << i << " counts " << m.formats()[i].refCount << ", used by " << uses[i];
    }
    return ::testing::AssertionSuccess();
}

// A model with `cols` columns and `rows` rows as the grid adds them (default format, texts).
void fillModel(ListGridModel& m, int cols, int rows, const QString& texts = {})
{
    for (int c = 0; c < cols; ++c)
        m.insertColumn(GridColumn{}, c);
    for (int r = 0; r < rows; ++r) {
        GridRow& row = m.rowAt(m.insertRow(-1));
        m.applyDefaultFormat(row);
        m.loadRowTexts(row, texts.isEmpty() ? QString::number(r) : texts);
    }
}

FormatChange backColor(quint32 color)
{
    return FormatChange{FormatField::BackColor, color, 0, false, {}};
}

} // namespace

TEST(ListGridModelRules, EveryRowHasOneCellPerColumn)
{
    ListGridModel m;
    fillModel(m, 2, 2, QStringLiteral("a\tb\tc"));
    m.insertColumn(GridColumn{}, 0);
    for (const GridRow& row : m.rows()) {
        EXPECT_EQ(row.cells.size(), 3u) << "extra texts make no cells; a new column gives every row one";
        EXPECT_EQ(row.cells[2].formatIndex, row.cells[0].formatIndex)
            << "the new cell shares the defaults' entry";
    }
    EXPECT_EQ(m.rowAt(0).cells[1].text, QStringLiteral("b"));
    EXPECT_EQ(m.formats()[static_cast<size_t>(m.rowAt(0).cells[2].formatIndex)].refCount, 6);
    EXPECT_TRUE(formatCountsMatchUses(m));
}

TEST(ListGridModelRules, EqualFormatsShareOneEntryAndAFreedEntryIsReusedFirst)
{
    ListGridModel m;
    fillModel(m, 2, 1);
    EXPECT_EQ(m.formats()[0].refCount, 2) << "a new row's cells share the defaults' entry";
    GridRow& row = m.rowAt(0);
    m.applyCellFormat(row.cells[0], backColor(255));
    m.applyCellFormat(row.cells[1], backColor(255));
    const qint16 shared = row.cells[0].formatIndex;
    EXPECT_EQ(shared, row.cells[1].formatIndex);
    EXPECT_EQ(m.formats()[static_cast<size_t>(shared)].refCount, 2);
    EXPECT_EQ(m.formats()[0].refCount, 0);
    m.applyCellFormat(row.cells[1], backColor(65280));
    EXPECT_EQ(m.formats()[static_cast<size_t>(shared)].refCount, 1);
    EXPECT_EQ(row.cells[1].formatIndex, 0) << "the freed entry 0 is the first free slot";
    EXPECT_EQ(m.effectiveFormat(row.cells[1]).backColor, 65280u);
    EXPECT_TRUE(formatCountsMatchUses(m));
    m.clearRows();
    EXPECT_EQ(m.formats().size(), 1u) << "emptied to one free entry";
}

TEST(ListGridModelRules, ManyInsertsAndRemovalsKeepMapStorageAndCountsConsistent)
{
    ListGridModel m;
    m.setProperty(&GridProperties::CacheIncrement, 3);
    fillModel(m, 1, 0);
    for (int i = 0; i < 50; ++i) {
        GridRow& row = m.rowAt(m.insertRow(i % 2 == 0 ? 0 : -1));
        m.applyDefaultFormat(row);
        m.loadRowTexts(row, QString::number(i));
    }
    for (int i = 0; i < 40; ++i)
        m.removeRow(i % 7 % m.rowCount());
    ASSERT_EQ(m.rowCount(), 10);
    std::vector<qint32> sorted(m.rowMap());
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(sorted[static_cast<size_t>(i)], i);
    EXPECT_LE(m.storageBound(), m.lastRow() + 1 + 3);
    EXPECT_TRUE(formatCountsMatchUses(m));

    // Rows inserted at the top show first but are stored last.
    ListGridModel top;
    fillModel(top, 1, 2);
    top.insertRow(0);
    EXPECT_EQ(top.rowMap(), (std::vector<qint32>{2, 0, 1}));
}

TEST(ListGridModelRules, RemovingMarkedRowsReleasesTheirFormats)
{
    ListGridModel m;
    fillModel(m, 2, 8);
    for (int r = 0; r < 8; ++r)
        m.applyCellFormat(m.rowAt(r).cells[static_cast<size_t>(r % 2)],
                          backColor(static_cast<quint32>(r % 3)));
    m.beginReorder();
    m.reorderRange(0, {7, 6, 5, 4, 3, 2, 1, 0});
    EXPECT_EQ(m.removeMarkedRows({true, false, true, true, false, false, false, true}), 4);
    ASSERT_EQ(m.rowCount(), 4);
    EXPECT_EQ(m.rowAt(0).cells[0].text, QStringLiteral("6"));
    EXPECT_EQ(m.rowAt(3).cells[0].text, QStringLiteral("1"));
    EXPECT_TRUE(formatCountsMatchUses(m));
}

TEST(ListGridModelRules, TheFormatTableStopsAtIndex32767WithCountsIntact)
{
    ListGridModel m;
    const int rows = 32769;
    m.setProperty(&GridProperties::CacheIncrement, rows);
    fillModel(m, 1, 0);
    for (int r = 0; r < rows; ++r)
        m.applyDefaultFormat(m.rowAt(m.insertRow(-1)));
    int failedAt = -1;
    for (int r = 0; r < rows; ++r) {
        try {
            m.applyCellFormat(m.rowAt(r).cells[0], backColor(static_cast<quint32>(r + 1)));
        } catch (const std::overflow_error&) {
            failedAt = r;
            break;
        }
    }
    // Entry 0 is the rows' shared default, row r took entry r + 1: 0..32767 are usable, no more.
    EXPECT_EQ(failedAt, 32767);
    EXPECT_LE(m.formats().size(), 32768u);
    EXPECT_EQ(m.rowAt(32767).cells[0].formatIndex, 0) << "the failed change left the cell as it was";
    EXPECT_TRUE(formatCountsMatchUses(m));
}

TEST(ListGridModelRules, AMemoisedBulkChangeBuildsTheSameTableAsSingleChanges)
{
    // Mixed looks, so entries fall free and get reused in the middle of the block.
    const auto build = [](ListGridModel& m) {
        fillModel(m, 2, 12);
        for (int r = 0; r < 12; ++r) {
            m.applyCellFormat(m.rowAt(r).cells[0], backColor(static_cast<quint32>(r % 3)));
            if (r % 4 == 0)
                m.applyCellFormat(m.rowAt(r).cells[1], FormatChange{FormatField::ForeColor, 7, 0, false, {}});
        }
    };
    ListGridModel a;
    ListGridModel b;
    build(a);
    build(b);
    const quint64 freedBefore = a.formatsFreed();
    a.applyBlockFormat(0, 11, 0, 1, backColor(5));
    for (int r = 0; r < 12; ++r) {
        for (int c = 0; c < 2; ++c)
            b.applyCellFormat(b.rowAt(r).cells[static_cast<size_t>(c)], backColor(5));
    }
    ASSERT_EQ(a.formats().size(), b.formats().size());
    for (size_t i = 0; i < a.formats().size(); ++i) {
        EXPECT_EQ(a.formats()[i].refCount, b.formats()[i].refCount) << i;
        if (a.formats()[i].refCount > 0) {
            EXPECT_EQ(a.formats()[i].backColor, b.formats()[i].backColor) << i;
            EXPECT_EQ(a.formats()[i].foreColor, b.formats()[i].foreColor) << i;
        }
    }
    for (int r = 0; r < 12; ++r) {
        for (size_t c = 0; c < 2; ++c)
            EXPECT_EQ(a.rowAt(r).cells[c].formatIndex, b.rowAt(r).cells[c].formatIndex);
    }
    EXPECT_TRUE(formatCountsMatchUses(a));
    EXPECT_GE(a.formatsFreed(), freedBefore + 2); // entries did fall free on the way
}

TEST(ListGridModelRules, BlockChangesOfEveryFieldKeepTheCounts)
{
    ListGridModel m;
    fillModel(m, 2, 3);
    m.applyBlockFormat(0, 2, 1, 1, FormatChange{FormatField::ForeColor, 255, 0, false, {}});
    m.applyBlockFormat(2, 2, 0, 0, FormatChange{FormatField::FontName, 0, 0, false, QStringLiteral("Serif")});
    m.applyBlockFormat(0, 0, 0, 0, FormatChange{FormatField::HandPointer, 0, 0, true, {}});
    m.applyBlockFormat(1, 1, 0, 1, FormatChange{FormatField::Image, 0, 3, false, {}});
    EXPECT_EQ(m.effectiveFormat(m.rowAt(2).cells[1]).foreColor, 255u);
    EXPECT_EQ(m.effectiveFormat(m.rowAt(2).cells[0]).fontName, QStringLiteral("Serif"));
    EXPECT_TRUE(m.effectiveFormat(m.rowAt(0).cells[0]).handPointer);
    EXPECT_EQ(m.effectiveFormat(m.rowAt(1).cells[0]).image, 3);
    EXPECT_EQ(m.effectiveFormat(m.rowAt(0).cells[1]).image, 0);
    qint32 total = 0;
    for (const GridFormat& f : m.formats())
        total += f.refCount;
    EXPECT_EQ(total, 6);
    EXPECT_TRUE(formatCountsMatchUses(m));
}

TEST(ListGridModelRules, ACellIsDrawnInItsFormatsFontName)
{
    ListGridModel m;
    GridProperties props;
    props.Font = QFont(QStringLiteral("DejaVu Sans"));
    m.setProperties(props);
    fillModel(m, 1, 1);
    EXPECT_EQ(m.cellFont(m.rowAt(0).cells[0], ColumnType::Text).family(), m.fontName());
    m.applyCellFormat(m.rowAt(0).cells[0],
                      FormatChange{FormatField::FontName, 0, 0, false, QStringLiteral("DejaVu Serif")});
    EXPECT_EQ(m.cellFont(m.rowAt(0).cells[0], ColumnType::Text).family(), QStringLiteral("DejaVu Serif"));
}

// The model's own check of its invariants: whole after its operations, and each broken one named.
struct ModelFaultCase
{
    const char* name;
    std::function<void(ListGridModel&)> change;
    const char* fault; ///< a part of the description, "" when the model stays whole
};

void PrintTo(const ModelFaultCase& c, std::ostream* os)
{
    *os << c.name;
}

class ModelSelfCheck : public ::testing::TestWithParam<ModelFaultCase>
{
};

TEST_P(ModelSelfCheck, NamesTheFirstBrokenInvariant)
{
    ListGridModel m;
    fillModel(m, 3, 5);
    m.applyCellFormat(m.rowAt(1).cells[2], backColor(255));
    m.setCurrentCell(2, 1);
    GetParam().change(m);
    const QString fault = m.invariantFault();
    if (*GetParam().fault == '\0')
        EXPECT_EQ(fault, QString());
    else
        EXPECT_TRUE(fault.contains(QLatin1String(GetParam().fault))) << fault.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    GridModel, ModelSelfCheck,
    ::testing::Values(
        ModelFaultCase{"Operations",
                       [](ListGridModel& m) {
                           m.insertRow(0);
                           m.applyDefaultFormat(m.rowAt(0));
                           m.beginReorder();
                           m.reorderRange(0, {5, 4, 3, 2, 1, 0});
                           m.swapColumns(0, 2);
                           m.moveColumn(0, 1);
                           m.insertColumn(GridColumn{}, 1);
                           m.removeRow(3);
                           m.removeMarkedRows({true, false, false, true, false});
                           m.applyCellFormat(m.rowAt(0).cells[0], backColor(65280));
                       },
                       ""},
        ModelFaultCase{"Emptied",
                       [](ListGridModel& m) {
                           m.clearRows();
                           m.clearColumns();
                       },
                       ""},
        ModelFaultCase{"ACellMissing", [](ListGridModel& m) { m.rowAt(3).cells.pop_back(); }, "2 cells for 3 columns"},
        ModelFaultCase{"AFormatPastTheTable",
                       [](ListGridModel& m) {
                           m.rowAt(0).cells[0].formatIndex = static_cast<qint16>(m.formats().size());
                       },
                       "names format"},
        ModelFaultCase{"AFormatUseUncounted", [](ListGridModel& m) { m.rowAt(4).cells[0].formatIndex = -1; },
                       "counts 14 cells, 13 use it"}),
    [](const auto& info) { return std::string(info.param.name); });
