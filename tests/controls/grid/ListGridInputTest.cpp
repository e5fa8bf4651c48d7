#include "GridInputFixture.h"

#include "platform/Clock.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QToolTip>

using namespace brenlow;

namespace {

using ListGridMouse = GridInputFixture;
using ListGridKeys = GridInputFixture;
using ListGridEditing = GridInputFixture;

} // namespace

TEST_F(ListGridMouse, ClickMakesTheCellCurrentAndSelectsOnlyItsRow)
{
    fill();
    QSignalSpy clicks(grid, &ListGrid::Click);
    QList<QList<int>> cellClicks;
    QObject::connect(grid, &ListGrid::CellClick, grid, [&](int Row, int Col, qint16& Shift) {
        cellClicks << QList<int>{Row, Col, Shift};
    });
    int downs = 0, ups = 0;
    QObject::connect(grid, &ListGrid::MouseDown, grid, [&](qint16&, qint16&, float&, float&) { ++downs; });
    QObject::connect(grid, &ListGrid::MouseUp, grid, [&](qint16&, qint16&, float&, float&) { ++ups; });
    QSignalSpy selection(grid, &ListGrid::SelectionChanged);

    click(2, 1);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->SelectedCount(), 1);
    EXPECT_TRUE(grid->RowSelected(2));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(cellClicks, (QList<QList<int>>{{2, 1, 0}}));
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
    EXPECT_GE(selection.count(), 1);

    click(4, 0);
    EXPECT_EQ(grid->Row(), 4);
    EXPECT_EQ(grid->Col(), 0);
    EXPECT_EQ(grid->SelectedCount(), 1);
    EXPECT_FALSE(grid->RowSelected(2));
}

TEST_F(ListGridMouse, LockedRowRefusesTheClickAndReportsLockedUntilTheNextPress)
{
    fill();
    grid->SetRowLocked(3, true);
    click(1, 0);
    ASSERT_EQ(grid->Row(), 1);
    int downs = 0;
    QObject::connect(grid, &ListGrid::MouseDown, grid, [&](qint16&, qint16&, float&, float&) { ++downs; });

    click(3, 0);
    EXPECT_EQ(grid->Row(), 1) << "the current row does not move onto a locked row";
    EXPECT_TRUE(grid->RowLocked(0)) << "every row reports locked while the move stands refused";
    EXPECT_TRUE(grid->ColLocked(1));
    EXPECT_EQ(downs, 0);

    click(2, 0);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_FALSE(grid->RowLocked(0));
    EXPECT_FALSE(grid->ColLocked(1));
}

TEST_F(ListGridMouse, MultiSelectOneTogglesWithCtrlAndExtendsWithShift)
{
    fill();
    grid->SetMultiSelect(1);
    click(1, 0);
    click(3, 0, Qt::ControlModifier);
    EXPECT_TRUE(grid->RowSelected(1));
    EXPECT_TRUE(grid->RowSelected(3));
    EXPECT_EQ(grid->SelectedCount(), 2);
    click(3, 0, Qt::ControlModifier);
    EXPECT_FALSE(grid->RowSelected(3));

    click(0, 0);
    click(2, 0, Qt::ShiftModifier);
    EXPECT_EQ(grid->SelectedCount(), 3);
    for (int r = 0; r <= 2; ++r)
        EXPECT_TRUE(grid->RowSelected(r)) << r;

    grid->SetMultiSelect(2);
    click(4, 0);
    EXPECT_EQ(grid->SelectedCount(), 4) << "every click toggles with MultiSelect 2";
}

TEST_F(ListGridMouse, CheckBoxCellClickStoresTrueOrFalseThroughTheEditEvents)
{
    fill();
    grid->SetAllowEdit(true);
    QStringList proposed;
    QObject::connect(grid, &ListGrid::AfterEdit, grid, [&](int, int Col, QString& New_Value, bool&) {
        proposed << QString::number(Col) + New_Value;
    });

    const QRect cell = cellBounds(1, 2);
    // A click beside the drawn box changes nothing but the current cell.
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, QPoint(cell.left() + 1, cell.center().y()));
    EXPECT_TRUE(proposed.isEmpty());
    EXPECT_EQ(grid->Row(), 1);

    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, cell.center());
    EXPECT_EQ(proposed, QStringList{QStringLiteral("2True")});
    EXPECT_EQ(grid->CellText(1, 2), QStringLiteral("True"));
    EXPECT_TRUE(grid->CellChecked(1, 2));
    EXPECT_FALSE(grid->EditPending()) << "check boxes toggle in place";

    // Space toggles the current check-box cell the same way; a cancelled AfterEdit keeps the state.
    ASSERT_EQ(grid->Col(), 2);
    key(Qt::Key_Space);
    EXPECT_EQ(grid->CellText(1, 2), QStringLiteral("False"));
    EXPECT_FALSE(grid->CellChecked(1, 2));
    QObject::connect(grid, &ListGrid::AfterEdit, grid,
                     [](int, int, QString&, bool& Cancel) { Cancel = true; });
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, cell.center());
    EXPECT_EQ(grid->CellText(1, 2), QStringLiteral("False"));
    EXPECT_FALSE(grid->CellChecked(1, 2));
}

TEST_F(ListGridMouse, HandPointerCellShowsTheHandAndRaisesCellHandClick)
{
    fill();
    grid->FormatCells(0, -1, 1, 1, 256, QStringLiteral("True"));
    QList<QList<int>> hand;
    QObject::connect(grid, &ListGrid::CellHandClick, grid, [&](int Row, int Col, qint16& Shift) {
        hand << QList<int>{Row, Col, Shift};
    });
    const QPoint p = at(2, 1);
    QTest::mouseMove(grid, p);
    EXPECT_EQ(grid->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(grid, Qt::LeftButton, Qt::ShiftModifier, p);
    EXPECT_EQ(hand, (QList<QList<int>>{{2, 1, 1}})) << "row, column and the Shift state of the press";

    QTest::mouseMove(grid, at(2, 0));
    EXPECT_NE(grid->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(ListGridMouse, HeaderEdgeDragResizesTheColumn)
{
    fill();
    grid->SetAllowColumnResizing(true);
    QSignalSpy sized(grid, &ListGrid::ColumnSizeChanged);
    const float before = grid->ColWidth(0);
    // The right edge of the first header item: move right along the header until the pointer changes.
    const QPoint header = at(-1, 0);
    int edge = -1;
    for (int x = header.x(); x < grid->width() && edge < 0; ++x) {
        QTest::mouseMove(grid, QPoint(x, header.y()));
        if (grid->cursor().shape() == Qt::SizeHorCursor)
            edge = x;
    }
    ASSERT_GE(edge, 0);
    QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier, QPoint(edge, header.y()));
    QTest::mouseMove(grid, QPoint(edge + 30, header.y()));
    QTest::mouseRelease(grid, Qt::LeftButton, Qt::NoModifier, QPoint(edge + 30, header.y()));
    ASSERT_GE(sized.count(), 1);
    EXPECT_EQ(sized.last()[0].toInt(), 0);
    EXPECT_NEAR(grid->ColWidth(0), before + 30 * 15, 15.0f * 1.01f);
    EXPECT_EQ(grid->Row(), -1) << "a header press does not change the current row";
}

TEST_F(ListGridMouse, HeaderDragWithSwapExchangesTwoColumns)
{
    fill();
    grid->SetAllowColumnSwap(true);
    QSignalSpy order(grid, &ListGrid::ColumnOrderChanged);
    const QPoint from = at(-1, 0);
    const QPoint to = at(-1, 3);
    QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(grid, to);
    QTest::mouseRelease(grid, Qt::LeftButton, Qt::NoModifier, to);
    ASSERT_EQ(order.count(), 1);
    EXPECT_EQ(order[0][0].toInt(), 0);
    EXPECT_EQ(order[0][1].toInt(), 3);
    cache.clear();
    QTest::mouseMove(grid, from);
    EXPECT_EQ(grid->MouseCol(), 3) << "column 3 now sits where column 0 was";
}

TEST_F(ListGridKeys, ArrowsMoveTheCurrentCellAndSkipLockedRows)
{
    fill();
    grid->SetRowLocked(2, true);
    grid->RowColSet(1, 1);
    QList<int> keyDowns;
    QObject::connect(grid, &ListGrid::KeyDown, grid, [&](qint16& KeyCode, qint16&) { keyDowns << KeyCode; });
    key(Qt::Key_Down);
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_TRUE(grid->RowSelected(3));
    EXPECT_FALSE(grid->RowSelected(1));
    key(Qt::Key_Right);
    EXPECT_EQ(grid->Col(), 2);
    key(Qt::Key_Home);
    EXPECT_EQ(grid->Col(), 0);
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid->Row(), 4);
    key(Qt::Key_Down);
    EXPECT_EQ(grid->Row(), 4) << "stays put at the end";
    EXPECT_EQ(keyDowns, (QList<int>{40, 39, 36, 17, 35, 40})) << "Ctrl goes down before End";
}

TEST_F(ListGridKeys, DeleteRemovesTheCurrentRowUnlessCancelled)
{
    fill();
    grid->SetAllowDelete(true);
    grid->RowColSet(1, 0);
    bool cancel = true;
    QObject::connect(grid, &ListGrid::BeforeDelete, grid, [&](int, bool& Cancel) { Cancel = cancel; });
    QSignalSpy after(grid, &ListGrid::AfterDelete);
    key(Qt::Key_Delete);
    EXPECT_EQ(grid->Rows(), 5);
    cancel = false;
    key(Qt::Key_Delete);
    EXPECT_EQ(grid->Rows(), 4);
    EXPECT_EQ(grid->CellText(1, 0), QStringLiteral("charlie"));
    EXPECT_EQ(after.count(), 1);

    // With cell focus the key empties the cell instead.
    grid->SetFocusRectMode(2);
    grid->RowColSet(0, 1);
    key(Qt::Key_Delete);
    EXPECT_EQ(grid->Rows(), 4);
    EXPECT_EQ(grid->CellText(0, 1), QString());
}

TEST_F(ListGridKeys, IncrementalSearchJoinsKeysWithinASecond)
{
    fill({QStringLiteral("apple"), QStringLiteral("banana"), QStringLiteral("berry"),
          QStringLiteral("cherry"), QStringLiteral("blue")});
    ManualClock clock;
    grid->SetSearchClock(&clock);
    grid->SetEditTrigger(4);
    grid->RowColSet(0, 0);

    QTest::keyClicks(grid, QStringLiteral("b"));
    EXPECT_EQ(grid->Row(), 1) << "first row starting with b";
    clock.Advance(500);
    QTest::keyClicks(grid, QStringLiteral("l"));
    EXPECT_EQ(grid->Row(), 4) << "\"bl\" finds blue";
    clock.Advance(1500);
    QTest::keyClicks(grid, QStringLiteral("c"));
    EXPECT_EQ(grid->Row(), 3) << "a key after more than a second starts a new search";
    clock.Advance(999);
    QTest::keyClicks(grid, QStringLiteral("x"));
    EXPECT_EQ(grid->Row(), 3) << "\"cx\" matches nothing and leaves the row";
}

TEST_F(ListGridEditing, EditTriggerTenOpensOnEnterAndClickButNotOnTyping)
{
    fill();
    grid->SetAllowEdit(true);
    grid->SetEditTrigger(10);
    grid->RowColSet(1, 0);
    int before = 0;
    QObject::connect(grid, &ListGrid::BeforeEdit, grid, [&](int, int, bool&) { ++before; });

    QTest::keyClicks(grid, QStringLiteral("x"));
    EXPECT_FALSE(grid->EditPending());

    key(Qt::Key_Return);
    ASSERT_TRUE(grid->EditPending());
    EXPECT_TRUE(grid->txtEdit()->isVisible());
    EXPECT_EQ(grid->txtEdit()->text(), QStringLiteral("alpha"));
    EXPECT_EQ(before, 1);

    QTest::keyClick(grid->txtEdit(), Qt::Key_Escape);
    EXPECT_FALSE(grid->EditPending());
    EXPECT_FALSE(grid->txtEdit()->isVisible());
    EXPECT_EQ(grid->CellText(1, 0), QStringLiteral("alpha"));

    click(3, 1);
    ASSERT_TRUE(grid->EditPending());
    EXPECT_EQ(grid->txtEdit()->text(), QStringLiteral("link3"));
    QTest::keyClicks(grid->txtEdit(), QStringLiteral("new"));
    QTest::keyClick(grid->txtEdit(), Qt::Key_Return);
    EXPECT_FALSE(grid->EditPending());
    EXPECT_EQ(grid->CellText(3, 1), QStringLiteral("new"));
    EXPECT_TRUE(grid->CellChanged(3, 1));
    EXPECT_FALSE(grid->RowChanged(3)) << "a commit marks the cell, not the row";
}

TEST_F(ListGridEditing, DefaultTriggerOpensOnTypingWithTheKeyAsText)
{
    fill();
    grid->SetAllowEdit(true);
    grid->RowColSet(2, 1);
    QTest::keyClicks(grid, QStringLiteral("q"));
    ASSERT_TRUE(grid->EditPending());
    EXPECT_EQ(grid->txtEdit()->text(), QStringLiteral("q"));
    EXPECT_EQ(grid->txtEdit()->cursorPosition(), 1);
    QTest::keyClicks(grid->txtEdit(), QStringLiteral("rs"));
    QTest::keyClick(grid->txtEdit(), Qt::Key_Down);
    EXPECT_FALSE(grid->EditPending());
    EXPECT_EQ(grid->CellText(2, 1), QStringLiteral("qrs"));
    EXPECT_EQ(grid->Row(), 3) << "Down commits and moves on";

    // Without AllowEdit nothing opens, except through ForceCellEdit.
    grid->SetAllowEdit(false);
    QTest::keyClicks(grid, QStringLiteral("z"));
    EXPECT_FALSE(grid->EditPending());
    grid->ForceCellEdit(0, 0, true);
    ASSERT_TRUE(grid->EditPending());
    EXPECT_EQ(grid->txtEdit()->text(), QString());
}

TEST_F(ListGridEditing, InputFilterDropsLettersButPassesBackspaceAndPoint)
{
    fill();
    grid->SetAllowEdit(true);
    ASSERT_EQ(grid->ColInputFilter(3), QStringLiteral("1234567890.-,"));
    QList<qint16> seen;
    QObject::connect(grid, &ListGrid::EditKeyPress, grid, [&](int Col, qint16& KeyAscii) {
        EXPECT_EQ(Col, 3);
        seen << KeyAscii;
    });
    grid->ForceCellEdit(1, 3, true);
    QTest::keyClicks(grid->txtEdit(), QStringLiteral("1a2.b5"));
    EXPECT_EQ(grid->txtEdit()->text(), QStringLiteral("12.5"));
    QTest::keyClick(grid->txtEdit(), Qt::Key_Backspace);
    EXPECT_EQ(grid->txtEdit()->text(), QStringLiteral("12."));
    EXPECT_EQ(seen, (QList<qint16>{'1', '2', '.', '5', 8}));

    // Pasted text is filtered the same way.
    grid->txtEdit()->clear();
    QApplication::clipboard()->setText(QStringLiteral("4x2.7kb"));
    QTest::keyClick(grid->txtEdit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(grid->txtEdit()->text(), QStringLiteral("42.7"));

    // The handler may change a key or drop it.
    grid->SetColInputFilter(0, QStringLiteral(">"));
    QObject::disconnect(grid, &ListGrid::EditKeyPress, nullptr, nullptr);
    QObject::connect(grid, &ListGrid::EditKeyPress, grid, [](int, qint16& KeyAscii) {
        if (KeyAscii == 'X')
            KeyAscii = 0;
    });
    grid->ForceCellEdit(0, 0, true);
    QTest::keyClicks(grid->txtEdit(), QStringLiteral("axb"));
    EXPECT_EQ(grid->txtEdit()->text(), QStringLiteral("AB")) << "\">\" upper-cases what is typed";
}

TEST_F(ListGridEditing, CancelledAfterEditKeepsTheEditorOpenAndTheOldText)
{
    fill();
    grid->SetAllowEdit(true);
    bool cancel = true;
    QObject::connect(grid, &ListGrid::AfterEdit, grid, [&](int, int, QString& New_Value, bool& Cancel) {
        Cancel = cancel;
        New_Value = New_Value.toUpper();
    });
    grid->ForceCellEdit(4, 0);
    grid->txtEdit()->setText(QStringLiteral("zulu"));
    EXPECT_FALSE(grid->UpdateCell(false));
    EXPECT_TRUE(grid->EditPending());
    EXPECT_TRUE(grid->txtEdit()->isVisible());
    EXPECT_EQ(grid->CellText(4, 0), QStringLiteral("echo"));

    cancel = false;
    EXPECT_TRUE(grid->UpdateCell(false));
    EXPECT_FALSE(grid->EditPending());
    EXPECT_EQ(grid->CellText(4, 0), QStringLiteral("ZULU")) << "the handler's value is stored";
    EXPECT_TRUE(grid->UpdateCell(true)) << "nothing open: nothing to do";

    // A blank value is stored as the empty text.
    grid->ForceCellEdit(4, 0);
    grid->txtEdit()->setText(QStringLiteral("   "));
    EXPECT_TRUE(grid->UpdateCell(false));
    EXPECT_EQ(grid->CellText(4, 0), QString());
}

TEST_F(ListGridEditing, EditMoveTakesTheCurrentCellOnAfterACommit)
{
    fill();
    grid->SetAllowEdit(true);
    grid->SetEditMove(2);
    grid->ForceCellEdit(1, 1);
    grid->txtEdit()->setText(QStringLiteral("x"));
    QTest::keyClick(grid->txtEdit(), Qt::Key_Return);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->Col(), 1);
    grid->SetEditMove(1);
    grid->ForceCellEdit(2, 0);
    QTest::keyClick(grid->txtEdit(), Qt::Key_Return);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->Col(), 1);
}

TEST_F(ListGridEditing, ClearClosesAnOpenEdit)
{
    fill();
    grid->SetAllowEdit(true);
    grid->ForceCellEdit(0, 0);
    ASSERT_TRUE(grid->EditPending());
    grid->Clear();
    EXPECT_FALSE(grid->EditPending());
    EXPECT_FALSE(grid->txtEdit()->isVisible());
    EXPECT_TRUE(grid->UpdateCell(true));
}

TEST_F(ListGridMouse, HeaderClickSortsByTheColumnAndCyclesItsOrder)
{
    fill();
    grid->SetAllowColumnSort(true);
    QSignalSpy columnClicks(grid, &ListGrid::ColumnClick);
    auto names = [&] {
        QStringList out;
        for (int r = 0; r < grid->Rows(); ++r)
            out << grid->CellText(r, 0);
        return out;
    };
    click(-1, 0);
    EXPECT_EQ(names(),
              (QStringList{QStringLiteral("alpha"), QStringLiteral("bravo"), QStringLiteral("charlie"),
                           QStringLiteral("delta"), QStringLiteral("echo")}));
    ASSERT_EQ(columnClicks.count(), 1);
    EXPECT_EQ(columnClicks[0][0].toInt(), 0);
    EXPECT_EQ(grid->Col(), 0);

    click(-1, 0);
    EXPECT_EQ(names().first(), QStringLiteral("echo")) << "the second click reverses the order";
    click(-1, 0);
    EXPECT_EQ(names(),
              (QStringList{QStringLiteral("delta"), QStringLiteral("alpha"), QStringLiteral("charlie"),
                           QStringLiteral("bravo"), QStringLiteral("echo")}))
        << "the third click restores the stored order";

    // Sorting by another column starts again from its own first order.
    click(-1, 3);
    EXPECT_EQ(grid->CellText(0, 3), QStringLiteral("0"));
    EXPECT_EQ(grid->CellText(4, 3), QStringLiteral("40"));
}

TEST_F(ListGridMouse, TruncatedCellShowsItsWholeTextAsATooltip)
{
    fill({QStringLiteral("a name far too long to fit into a column of one hundred pixels"),
          QStringLiteral("b")});
    QTest::mouseMove(grid, at(0, 0));
    EXPECT_EQ(QToolTip::text(),
              QStringLiteral("a name far too long to fit into a column of one hundred pixels"));
    QTest::mouseMove(grid, at(1, 0));
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 30000))
        << "a text that fits shows no tooltip";
    grid->SetAutoToolTips(false);
    QTest::mouseMove(grid, at(0, 0));
    EXPECT_FALSE(QToolTip::isVisible());
}

TEST_F(ListGridMouse, DoubleClickOpensTheEditorWithTheDefaultTrigger)
{
    fill();
    grid->SetAllowEdit(true);
    QSignalSpy dbl(grid, &ListGrid::DblClick);
    const QPoint p = at(2, 1);
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_FALSE(grid->EditPending()) << "a single click does not open with EditTrigger 52";
    QTest::mouseDClick(grid, Qt::LeftButton, Qt::NoModifier, p);
    ASSERT_TRUE(grid->EditPending());
    EXPECT_EQ(grid->txtEdit()->text(), QStringLiteral("link2"));
    EXPECT_EQ(dbl.count(), 0) << "the double click went to the editor";

    grid->UpdateCell(false);
    grid->SetEditTrigger(4);
    QTest::mouseDClick(grid, Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_FALSE(grid->EditPending());
    EXPECT_EQ(dbl.count(), 1);
}

TEST_F(ListGridMouse, RowEdgeDragChangesTheRowHeight)
{
    fill();
    grid->SetAllowRowResizing(true);
    const QRect cell = cellBounds(1, 0);
    const int before = static_cast<int>(grid->RowHeight(1));
    const QPoint edge(cell.center().x(), cell.bottom() + 1);
    QTest::mouseMove(grid, edge);
    ASSERT_EQ(grid->cursor().shape(), Qt::SizeVerCursor);
    QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier, edge);
    QTest::mouseMove(grid, edge + QPoint(0, 20));
    QTest::mouseRelease(grid, Qt::LeftButton, Qt::NoModifier, edge + QPoint(0, 20));
    EXPECT_NEAR(grid->RowHeight(1), before + 20, 1.0);
}

TEST_F(ListGridKeys, InsertAddsANewRowAtTheCurrentOne)
{
    fill();
    grid->SetAllowInsert(true);
    grid->RowColSet(2, 0);
    QList<int> inserted;
    QObject::connect(grid, &ListGrid::AfterInsert, grid, [&](int Row) { inserted << Row; });
    key(Qt::Key_Insert);
    EXPECT_EQ(grid->Rows(), 6);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->CellText(2, 0), QString());
    EXPECT_TRUE(grid->RowAdded(2));
    EXPECT_EQ(grid->CellText(3, 0), QStringLiteral("charlie"));
    EXPECT_EQ(inserted, QList<int>{2});
}

TEST_F(ListGridKeys, CtrlASelectsEveryRowWithMultiSelectTwo)
{
    fill();
    grid->RowColSet(0, 0);
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(grid->SelectedCount(), 1);
    grid->SetMultiSelect(2);
    QSignalSpy selection(grid, &ListGrid::SelectionChanged);
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(grid->SelectedCount(), 5);
    EXPECT_EQ(selection.count(), 1);
}

TEST_F(ListGridMouse, HeaderDragWithDragMovesTheColumn)
{
    fill();
    grid->SetAllowColumnDrag(true);
    QSignalSpy order(grid, &ListGrid::ColumnOrderChanged);
    const QPoint from = at(-1, 0);
    const QPoint to = at(-1, 2);
    QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(grid, to);
    QTest::mouseRelease(grid, Qt::LeftButton, Qt::NoModifier, to);
    ASSERT_EQ(order.count(), 1);
    const std::vector<qint32> expected{1, 2, 0, 3};
    EXPECT_EQ(grid->ColOrder(), expected) << "the column moves; the others close up";
}

TEST_F(ListGridKeys, PageDownStartsTheViewAtTheLastRowInView)
{
    QStringList names;
    for (int i = 0; i < 60; ++i)
        names << QStringLiteral("n%1").arg(i, 2, 10, QLatin1Char('0'));
    fill(names);
    grid->RowColSet(0, 0);
    const int last = grid->RowLastVisible();
    ASSERT_GT(last, 3);
    key(Qt::Key_PageDown);
    EXPECT_EQ(grid->Row(), last);
    EXPECT_EQ(grid->RowFirstVisible(), last);
    key(Qt::Key_PageUp);
    EXPECT_LT(grid->Row(), last);
    EXPECT_EQ(grid->RowFirstVisible(), grid->Row());
}

TEST_F(ListGridMouse, AColumnResizeSurvivesHandlersThatAddOrReplaceColumns)
{
    fill();
    grid->SetAllowColumnResizing(true);
    const auto findEdge = [&](int col) {
        const QPoint header = at(-1, col);
        for (int x = header.x(); x < grid->width(); ++x) {
            QTest::mouseMove(grid, QPoint(x, header.y()));
            if (grid->cursor().shape() == Qt::SizeHorCursor)
                return QPoint(x, header.y());
        }
        return QPoint(-1, -1);
    };
    QSignalSpy sized(grid, &ListGrid::ColumnSizeChanged);

    // Each pass of the drag asks for row data; the handler adds columns, so the column records move.
    const QPoint edge = findEdge(1);
    ASSERT_GE(edge.x(), 0);
    int added = 0;
    bool adding = false;
    const auto more = QObject::connect(grid, &ListGrid::RequestRowData, grid, [&](int) {
        if (adding || added >= 60)
            return;
        adding = true;
        for (int i = 0; i < 10; ++i)
            grid->AddColumn(QStringLiteral("x%1").arg(added++), 300);
        adding = false;
    });
    QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier, edge);
    for (int dx = 5; dx <= 30; dx += 5)
        QTest::mouseMove(grid, edge + QPoint(dx, 0));
    QTest::mouseRelease(grid, Qt::LeftButton, Qt::NoModifier, edge + QPoint(30, 0));
    QObject::disconnect(more);
    ASSERT_GE(sized.count(), 1);
    for (const QList<QVariant>& event : sized) {
        EXPECT_EQ(event[0].toInt(), 1);
        EXPECT_GT(event[1].toFloat(), 1500.0f);
    }
    EXPECT_FLOAT_EQ(sized.last()[1].toFloat(), grid->ColWidth(1));

    // The pointer found the edge of column 3; then a handler replaced every column.
    cache.clear();
    const QPoint edge3 = findEdge(3);
    ASSERT_GE(edge3.x(), 0);
    const QPoint third = edge3 + QPoint(1, 0); // still on the edge, and a move of its own
    const auto replace =
        QObject::connect(grid, &ListGrid::MouseMove, grid, [&](qint16&, qint16&, float&, float&) {
            grid->ClearAll();
            grid->AddColumn(QStringLiteral("only"), 1500);
        });
    QTest::mouseMove(grid, third);
    QObject::disconnect(replace);
    sized.clear();
    QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier, third);
    QTest::mouseMove(grid, third + QPoint(20, 0));
    QTest::mouseRelease(grid, Qt::LeftButton, Qt::NoModifier, third + QPoint(20, 0));
    ASSERT_EQ(grid->Cols(), 1);
    for (const QList<QVariant>& event : sized)
        EXPECT_LT(event[0].toInt(), grid->Cols()) << "only a column of the grid is resized";
    EXPECT_FLOAT_EQ(grid->ColWidth(0), 1501);
}
