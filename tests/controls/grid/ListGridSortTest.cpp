#include "controls/grid/ListGrid.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

QStringList column(const ListGrid& grid, int col)
{
    QStringList texts;
    for (int r = 0; r < grid.Rows(); ++r)
        texts << grid.CellText(r, col);
    return texts;
}

class ListGridSort : public ::testing::Test
{
protected:
    void SetUp() override
    {
        grid.AddColumn(QStringLiteral("Name"), 100);
        grid.AddColumn(QStringLiteral("Size"), 100, 4, brenlow::ColumnType::Numeric);
        grid.AddColumn(QStringLiteral("Date"), 100, 4, brenlow::ColumnType::Date);
        grid.AddItem(QStringLiteral("beta\t10\t2024-03-01"));
        grid.AddItem(QStringLiteral("Alpha\t2\tsoon"));
        grid.AddItem(QStringLiteral("gamma\t100\t2023-12-31"));
        grid.AddItem(QStringLiteral("alpha\t2\t2024-01-15"));
    }
    ListGrid grid;
};

} // namespace

TEST_F(ListGridSort, NumericColumnsSortByValueNotText)
{
    grid.Sort(1, 2);
    EXPECT_EQ(column(grid, 1), (QStringList{"2", "2", "10", "100"}));
    grid.Sort(1, 1);
    EXPECT_EQ(column(grid, 1), (QStringList{"100", "10", "2", "2"}));
}

TEST_F(ListGridSort, TextIgnoresCaseAndDatesPutNonDatesAtTheirEnd)
{
    grid.Sort(0, 2);
    EXPECT_EQ(column(grid, 0).mid(2), (QStringList{"beta", "gamma"}));
    EXPECT_EQ(column(grid, 0).first(2).join(QLatin1Char(' ')).toLower(), QStringLiteral("alpha alpha"));
    grid.Sort(2, 2);
    EXPECT_EQ(column(grid, 2), (QStringList{"soon", "2023-12-31", "2024-01-15", "2024-03-01"}));
    grid.Sort(2, 1);
    EXPECT_EQ(column(grid, 2), (QStringList{"2024-03-01", "2024-01-15", "2023-12-31", "soon"}));
}

TEST_F(ListGridSort, CurrentRowStaysCurrentAtItsNewPosition)
{
    grid.RowColSet(2, 0); // gamma
    grid.Sort(1, 1);
    EXPECT_EQ(grid.Row(), 0);
    EXPECT_EQ(grid.CellText(grid.Row(), 0), QStringLiteral("gamma"));
    EXPECT_TRUE(grid.RowSelected(0));
}

TEST_F(ListGridSort, SecondaryColumnOrdersRowsWithEqualPrimaryText)
{
    grid.SetCellText(0, 1, QStringLiteral("2")); // beta now 2 as well
    grid.Sort(1, 2, 0, 1);
    // Primary ascending: 2, 2, 2, 100; the three "2" rows by name descending.
    EXPECT_EQ(column(grid, 1), (QStringList{"2", "2", "2", "100"}));
    EXPECT_EQ(column(grid, 0).first(1), (QStringList{"beta"}));
    EXPECT_EQ(column(grid, 0).last(1), (QStringList{"gamma"}));
    // The secondary column remembers its order (greater first), so sorting it with the order cycled
    // turns sorting off: the rows show in storage order again.
    grid.Sort(0, -1);
    EXPECT_EQ(column(grid, 0), (QStringList{"beta", "Alpha", "gamma", "alpha"}));
}

TEST_F(ListGridSort, SortWithoutAnyColumnIsAnErrorAndChangesNothing)
{
    EXPECT_THROW(grid.Sort(), std::out_of_range);
    EXPECT_THROW(grid.Sort(7, 1), std::out_of_range);
    EXPECT_EQ(column(grid, 0), (QStringList{"beta", "Alpha", "gamma", "alpha"}));
}

TEST_F(ListGridSort, CustomColumnsAskTheHandler)
{
    grid.SetColType(0, brenlow::ColumnType::Custom);
    int asked = 0;
    QObject::connect(&grid, &ListGrid::CustomSort,
                     [&](bool& ascending, int& col, QString& v1, QString& v2, bool& swap) {
                         ++asked;
                         EXPECT_FALSE(ascending);
                         EXPECT_EQ(col, 0);
                         swap = v1.size() < v2.size() || (v1.size() == v2.size() && v1 < v2);
                     });
    grid.Sort(0, 2);
    EXPECT_GT(asked, 0);
    EXPECT_EQ(column(grid, 0), (QStringList{"beta", "Alpha", "alpha", "gamma"}));
}

TEST_F(ListGridSort, ManyGroupsOfEqualPrimaryValuesEachSortBySecondary)
{
    grid.Clear();
    // 200 groups of 100 rows: names g000..g199 in a scrambled order, sizes all different.
    for (int i = 0; i < 20000; ++i)
        grid.AddItem(QStringLiteral("g%1\t%2\tx").arg((i * 37) % 200, 3, 10, QLatin1Char('0')).arg(i));
    grid.Sort(0, 2, 1, 1); // names ascending, sizes descending within a name
    ASSERT_EQ(grid.Rows(), 20000);
    for (int r = 1; r < grid.Rows(); ++r) {
        const QString name = grid.CellText(r, 0), before = grid.CellText(r - 1, 0);
        ASSERT_LE(before, name) << r;
        if (before == name) {
            ASSERT_GT(grid.CellText(r - 1, 1).toInt(), grid.CellText(r, 1).toInt()) << r;
        }
    }
    EXPECT_EQ(grid.CellText(0, 0), QStringLiteral("g000"));
    EXPECT_EQ(grid.CellText(0, 1), QStringLiteral("19800")) << "the largest size of the first group";
    EXPECT_EQ(grid.CellText(19999, 0), QStringLiteral("g199"));
    // Long runs of one value keep their display order when sorted again by that value.
    grid.Sort(1, 2);
    grid.Sort(0, 1);
    for (int r = 1; r < 100; ++r)
        ASSERT_LT(grid.CellText(r - 1, 1).toInt(), grid.CellText(r, 1).toInt()) << r;
}

TEST_F(ListGridSort, FindItemModesCaseAndStart)
{
    EXPECT_EQ(grid.FindItem(QStringLiteral("ALPHA")), 1);
    EXPECT_EQ(grid.FindItem(QStringLiteral("alpha"), 0, 0, true), 3);
    EXPECT_EQ(grid.FindItem(QStringLiteral("ab"), 0, 5), -1);
    grid.SetCellText(0, 0, QStringLiteral("Abc"));
    EXPECT_EQ(grid.FindItem(QStringLiteral("ab"), 0, 5, false), 0);
    EXPECT_EQ(grid.FindItem(QStringLiteral("ab"), 0, 5, true), -1);
    EXPECT_EQ(grid.FindItem(QStringLiteral("mm"), 0, 2), 2);
    EXPECT_EQ(grid.FindItem(QStringLiteral("pha"), 0, 6, false, 2), 3);
    EXPECT_EQ(grid.FindItem(QStringLiteral("gam"), 0, 4), 2);
    EXPECT_EQ(grid.FindItem(QStringLiteral("b"), 0, 1), 2); // "ABC" < "B" <= "GAMMA"
    EXPECT_EQ(grid.FindItem(QStringLiteral("Abc"), 0, 0, false, 99), 0);
    EXPECT_EQ(grid.FindItem(QStringLiteral("x"), 0, 3), -1);
    EXPECT_EQ(grid.FindItem(QString()), -1);
    EXPECT_EQ(grid.FindItem(QStringLiteral("x"), -2), -1);
    grid.SetSearchColumn(1);
    EXPECT_EQ(grid.FindItem(QStringLiteral("100")), 2);
    EXPECT_THROW((void)grid.FindItem(QStringLiteral("x"), 3), std::out_of_range);
}

TEST_F(ListGridSort, FindItemUpperCasesTextsBeyondAscii)
{
    grid.SetCellText(1, 0, QString::fromUtf8("Stra\u00dfe"));
    grid.SetCellText(2, 0, QString::fromUtf8("\u00e9t\u00e9"));
    // Upper-cased, the sharp s becomes two letters: a longer search text still matches.
    EXPECT_EQ(grid.FindItem(QStringLiteral("strasse")), 1);
    EXPECT_EQ(grid.FindItem(QString::fromUtf8("\u00c9T\u00c9")), 2);
    EXPECT_EQ(grid.FindItem(QString::fromUtf8("\u00c9T\u00c9"), 0, 0, true), -1);
    EXPECT_EQ(grid.FindItem(QString::fromUtf8("\u00c9"), 0, 6), 2);
}

TEST_F(ListGridSort, FilterHidesNonMatchingRowsAndNeverShowsHiddenOnes)
{
    grid.SetRowVisible(3, false); // "alpha", which would match
    grid.FilterOn(QStringLiteral("alpha"), 0, 0);
    EXPECT_TRUE(grid.RowVisible(1));
    EXPECT_FALSE(grid.RowVisible(3));
    EXPECT_FALSE(grid.RowVisible(0));
    EXPECT_FALSE(grid.RowVisible(2));
    grid.FilterOff(2);
    EXPECT_FALSE(grid.RowVisible(0));
    EXPECT_TRUE(grid.RowVisible(2));
    EXPECT_TRUE(grid.RowVisible(3));
    grid.FilterOff(-5);
    EXPECT_TRUE(grid.RowVisible(0));
    grid.FilterOn(QStringLiteral("x"), 0, 9, false, 2); // unknown mode hides from row 2 on
    EXPECT_TRUE(grid.RowVisible(1));
    EXPECT_FALSE(grid.RowVisible(2));
    EXPECT_THROW(grid.FilterOn(QStringLiteral("x"), 5), std::out_of_range);
}
