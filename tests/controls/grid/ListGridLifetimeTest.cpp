// A grid whose handler deletes it in a nested event loop (a message box while the window closes,
// the pass of pending events that ends a sort) ends the click it was in without touching itself.
#include "controls/grid/ListGrid.h"

#include "support/NestedLoops.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>

#include <functional>

namespace {

struct GridLifetimeCase
{
    const char* name;
    /** Connects the handler that ends the window. */
    std::function<void(ListGrid*, QWidget* window)> arm;
    int row; ///< -1 for the header
    int col;
};

void PrintTo(const GridLifetimeCase& c, std::ostream* os)
{
    *os << c.name;
}

template <typename Signal> std::function<void(ListGrid*, QWidget*)> closeUnderBoxOn(Signal signal)
{
    return [signal](ListGrid* grid, QWidget* window) {
        QObject::connect(grid, signal, grid, [window] { CloseWindowUnderMessageBox(window); });
    };
}

const GridLifetimeCase kCases[] = {
    {"ClickHandlerUnderTheClickStep", closeUnderBoxOn(&ListGrid::Click), 1, 0},
    {"MouseUpHandlerBeforeTheClickStep", closeUnderBoxOn(&ListGrid::MouseUp), 1, 0},
    {"CellButtonClickHandler", closeUnderBoxOn(&ListGrid::CellButtonClick), 1, 1},
    {"CellHandClickHandler", closeUnderBoxOn(&ListGrid::CellHandClick), 1, 1},
    {"SortCompleteHandlerOfAHeaderClick", closeUnderBoxOn(&ListGrid::SortComplete), -1, 0},
    {"ColumnClickHandler", closeUnderBoxOn(&ListGrid::ColumnClick), -1, 0},
    {"PendingEventsThatEndTheSort",
     [](ListGrid* grid, QWidget* window) {
         QObject::connect(grid, &ListGrid::SortComplete, grid, [window] { DeleteAtNextPump(window); });
     },
     -1, 0},
};

class GridLifetime : public ::testing::TestWithParam<GridLifetimeCase>
{
protected:
    void SetUp() override
    {
        window = NewDeleteOnCloseWindow();
        watched = window;
        grid = new ListGrid(window);
        grid->setGeometry(0, 0, 400, 200);
        grid->AddColumn(QStringLiteral("Name"), 1500);
        grid->AddColumn(QStringLiteral("Go"), 1500, 4, 6); // a button column
        for (int i = 0; i < 4; ++i) {
            grid->AddItem(QStringLiteral("r%1\tGo").arg(i));
            grid->SetCellHandPointer(i, 1, true);
        }
        grid->SetAllowColumnSort(true);
        grid->SetRedraw(true);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    void TearDown() override { delete watched.data(); }

    /** A point inside cell (row, col), found as a user finds it: where the grid reports it. */
    QPoint at(int row, int col)
    {
        for (int y = 1; y < grid->height(); y += 2)
            for (int x = 1; x < grid->width(); x += 5) {
                QTest::mouseMove(grid, QPoint(x, y));
                if (grid->MouseRow() == row && grid->MouseCol() == col)
                    return QPoint(x + 12, y + (row < 0 ? 1 : 6));
            }
        ADD_FAILURE() << "no point in cell " << row << "," << col;
        return {};
    }

    QWidget* window = nullptr;
    QPointer<QWidget> watched;
    ListGrid* grid = nullptr;
};

} // namespace

TEST_P(GridLifetime, ClickEndsWhenTheGridIsGone)
{
    const GridLifetimeCase& c = GetParam();
    const QPoint p = at(c.row, c.col);
    c.arm(grid, window);
    QTest::mousePress(grid, Qt::LeftButton, {}, p);
    QTest::mouseRelease(grid, Qt::LeftButton, {}, p);
    EXPECT_TRUE(QTest::qWaitFor([&] { return watched.isNull(); }, 30000)) << "the window was closed";
}

INSTANTIATE_TEST_SUITE_P(Paths, GridLifetime, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });
