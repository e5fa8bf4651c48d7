// A grid whose handler deletes it, itself or in a nested event loop (a message box while the window
// closes, the pass of pending events that ends a sort), ends the step it was in without touching
// itself.
#include "controls/grid/ListGrid.h"

#include "support/NestedLoops.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <functional>
#include <memory>
#include <tuple>

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

/** A four-row grid in a window that deletes itself on close; the second column is given. */
struct GridInClosingWindow
{
    void open(const QString& heading, int type, const QString& secondText)
    {
        window = NewDeleteOnCloseWindow();
        watched = window;
        grid = new ListGrid(window);
        grid->setGeometry(0, 0, 400, 200);
        grid->AddColumn(QStringLiteral("Name"), 1500);
        grid->AddColumn(heading, 1500, 4, type);
        for (int i = 0; i < 4; ++i)
            grid->AddItem(QStringLiteral("r%1\t").arg(i) + secondText.arg(i));
        grid->SetRedraw(true);
    }
    [[nodiscard]] bool show()
    {
        window->show();
        return QTest::qWaitForWindowExposed(window);
    }
    ~GridInClosingWindow() { delete watched.data(); }

    QWidget* window = nullptr;
    QPointer<QWidget> watched;
    QPointer<ListGrid> grid;
};

class GridLifetime : public ::testing::TestWithParam<GridLifetimeCase>, protected GridInClosingWindow
{
protected:
    void SetUp() override
    {
        open(QStringLiteral("Go"), 6, QStringLiteral("Go")); // a button column
        for (int i = 0; i < 4; ++i)
            grid->SetCellHandPointer(i, 1, true);
        grid->SetAllowColumnSort(true);
        ASSERT_TRUE(show());
    }

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

// Every path that raises an event, or repaints (the paint pass raises RequestRowData), ends at once
// when a handler deleted the grid: itself, or by closing the window while its message box runs.
namespace {

enum class Ending
{
    HandlerDeletesTheGrid,
    WindowClosesUnderABox
};

struct HandlerPath
{
    const char* name;
    std::function<void(ListGrid*)> prepare;
    /** Connects the handler that ends the grid (called once). */
    std::function<void(ListGrid*, const std::function<void()>&)> arm;
    std::function<void(ListGrid*)> drive;
};

void PrintTo(const HandlerPath& c, std::ostream* os)
{
    *os << c.name;
}

template <typename Signal> auto endOn(Signal signal)
{
    return [signal](ListGrid* grid, const std::function<void()>& end) {
        QObject::connect(grid, signal, grid, [end] { end(); });
    };
}

/** A key as the user types it; the release only reaches a grid that still exists. */
void typeKey(ListGrid* grid, int key, const QString& text = {})
{
    const QPointer<ListGrid> alive(grid);
    QWidget* target = grid;
    if (grid->EditPending() && grid->txtEdit()->isVisible())
        target = grid->txtEdit();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    if (alive) {
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(grid, &release);
    }
}

const auto kNothing = [](ListGrid*) {};

const HandlerPath kHandlerPaths[] = {
    {"RowDataOfTheRepaintWhenTheCurrentColumnIsSet", kNothing, endOn(&ListGrid::RequestRowData),
     [](ListGrid* g) { g->SetCol(1); }},
    {"RowDataOfTheRepaintWhenARowIsAdded", kNothing, endOn(&ListGrid::RequestRowData),
     [](ListGrid* g) { g->AddItem(QStringLiteral("new")); }},
    {"RowDataOfTheRepaintWhenASelectedRowIsRemoved",
     [](ListGrid* g) {
         g->SetMultiSelect(1);
         g->SetRowSelected(3, true);
         g->SetRow(3);
     },
     endOn(&ListGrid::RequestRowData), [](ListGrid* g) { g->RemoveItem(3); }},
    {"RowDataOfTheRepaintWhenTheColumnOrderIsRestored", kNothing, endOn(&ListGrid::RequestRowData),
     [](ListGrid* g) { g->ColOrderRestore(); }},
    {"RowDataOfTheRepaintAfterASort", kNothing, endOn(&ListGrid::RequestRowData),
     [](ListGrid* g) { g->Sort(0, 1); }},
    {"SelectionChangedWhenTheCurrentRowIsSet", kNothing, endOn(&ListGrid::SelectionChanged),
     [](ListGrid* g) { g->SetRow(2); }},
    {"SelectionChangedWhenTheSelectedRowsAreDeleted",
     [](ListGrid* g) {
         g->SetMultiSelect(1);
         g->SetRowSelected(1, true);
         g->SetRowSelected(3, true);
     },
     endOn(&ListGrid::SelectionChanged), [](ListGrid* g) { g->DeleteSelected(); }},
    {"PropertyChangedOfASetter", kNothing, endOn(&ListGrid::PropertyChanged),
     [](ListGrid* g) { g->SetBackColor(0x123456); }},
    {"RowColChangedOfAKeyMove", [](ListGrid* g) { g->SetRow(0); }, endOn(&ListGrid::RowColChanged),
     [](ListGrid* g) { typeKey(g, Qt::Key_Down); }},
    {"BeforeDeleteOfTheDeleteKey",
     [](ListGrid* g) {
         g->SetAllowDelete(true);
         g->SetRow(1);
     },
     endOn(&ListGrid::BeforeDelete), [](ListGrid* g) { typeKey(g, Qt::Key_Delete); }},
    {"BeforeInsertOfTheInsertKey", [](ListGrid* g) { g->SetAllowInsert(true); }, endOn(&ListGrid::BeforeInsert),
     [](ListGrid* g) { typeKey(g, Qt::Key_Insert); }},
    {"RowCheckedOfTheSpaceKey",
     [](ListGrid* g) {
         g->SetRowCheckBoxes(true);
         g->SetRow(1);
     },
     endOn(&ListGrid::RowCheckedEvent), [](ListGrid* g) { typeKey(g, Qt::Key_Space, QStringLiteral(" ")); }},
    {"AfterEditOfACommitByEnter",
     [](ListGrid* g) {
         g->SetAllowEdit(true);
         g->ForceCellEdit(1, 0);
         g->txtEdit()->setText(QStringLiteral("changed"));
     },
     endOn(&ListGrid::AfterEdit), [](ListGrid* g) { typeKey(g, Qt::Key_Return, QStringLiteral("\r")); }},
    {"EditKeyPressOfATypedCharacter",
     [](ListGrid* g) {
         g->SetAllowEdit(true);
         g->ForceCellEdit(1, 0);
     },
     endOn(&ListGrid::EditKeyPress), [](ListGrid* g) { typeKey(g, Qt::Key_X, QStringLiteral("x")); }},
};

class GridHandlerEnding : public ::testing::TestWithParam<std::tuple<HandlerPath, Ending>>,
                          protected GridInClosingWindow
{
protected:
    void SetUp() override
    {
        open(QStringLiteral("Size"), 1, QStringLiteral("%1"));
        ASSERT_TRUE(show());
        grid->setFocus();
    }
};

} // namespace

TEST_P(GridHandlerEnding, StepEndsWhenTheGridIsGone)
{
    const auto& [path, ending] = GetParam();
    path.prepare(grid);
    ASSERT_TRUE(grid);
    auto done = std::make_shared<bool>(false);
    QWidget* win = window;
    QPointer<ListGrid> target = grid;
    path.arm(grid, [done, win, target, ending = ending] {
        if (*done)
            return;
        *done = true;
        if (ending == Ending::HandlerDeletesTheGrid)
            delete target.data();
        else
            CloseWindowUnderMessageBox(win);
    });
    path.drive(grid);
    EXPECT_TRUE(*done) << "the handler ran";
    if (ending == Ending::HandlerDeletesTheGrid)
        EXPECT_TRUE(grid.isNull());
    else
        EXPECT_TRUE(QTest::qWaitFor([&] { return watched.isNull(); }, 30000)) << "the window was closed";
}

INSTANTIATE_TEST_SUITE_P(Paths, GridHandlerEnding,
                         ::testing::Combine(::testing::ValuesIn(kHandlerPaths),
                                            ::testing::Values(Ending::HandlerDeletesTheGrid,
                                                              Ending::WindowClosesUnderABox)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == Ending::HandlerDeletesTheGrid ? "_Deleted"
                                                                                              : "_WindowClosed");
                         });
