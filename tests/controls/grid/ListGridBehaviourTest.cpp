// Header sorting, locked columns, clicks, Delete, keyboard moves and editor keys, driven through real
// mouse and key events on a shown grid.
#include "GridInputFixture.h"

#include "controls/common/Colors.h"
#include "controls/grid/ListGridPainter.h"

#include <QPainter>

using namespace brenlow;

namespace {

using ListGridBehaviour = GridInputFixture;

QStringList columnTexts(const ListGrid* grid, int col)
{
    QStringList out;
    for (int r = 0; r < grid->Rows(); ++r)
        out << grid->CellText(r, col);
    return out;
}

} // namespace

TEST_F(ListGridBehaviour, EachHeaderCyclesItsOwnSortStateAcrossClicksOnOthers)
{
    fill();
    grid->SetAllowColumnSort(true);
    click(-1, 0);
    EXPECT_EQ(columnTexts(grid, 0).first(), QStringLiteral("alpha")) << "smaller values first";
    click(-1, 3);
    EXPECT_EQ(columnTexts(grid, 3), (QStringList{"0", "10", "20", "30", "40"}));
    click(-1, 0);
    EXPECT_EQ(columnTexts(grid, 0), (QStringList{"echo", "delta", "charlie", "bravo", "alpha"}))
        << "the name column goes on from its own state to greater values first";
    click(-1, 0);
    EXPECT_EQ(columnTexts(grid, 0), (QStringList{"delta", "alpha", "charlie", "bravo", "echo"}))
        << "the third step of its cycle restores the stored order";
}

TEST_F(ListGridBehaviour, CtrlClickSortsTheSecondKeyTheWayTheFirstIsSorted)
{
    fill({"b", "a", "b", "a"}); // sizes 0, 10, 20, 30
    grid->SetAllowColumnSort(true);
    click(-1, 0);
    click(-1, 0); // greater names first: b, b, a, a
    ASSERT_EQ(columnTexts(grid, 0), (QStringList{"b", "b", "a", "a"}));
    click(-1, 3, Qt::ControlModifier);
    EXPECT_EQ(columnTexts(grid, 0), (QStringList{"b", "b", "a", "a"})) << "the first key keeps its order";
    EXPECT_EQ(columnTexts(grid, 3), (QStringList{"20", "0", "30", "10"}))
        << "within equal names the sizes follow the names' order: greater first";
}

TEST_F(ListGridBehaviour, LockedColumnsNeverBecomeCurrent)
{
    fill();
    grid->SetColLocked(1, true);
    click(0, 0);
    ASSERT_EQ(grid->Col(), 0);
    key(Qt::Key_Right);
    EXPECT_EQ(grid->Col(), 2) << "Right steps over the locked column";
    key(Qt::Key_Left);
    EXPECT_EQ(grid->Col(), 0) << "so does Left";
    grid->RowColSet(2, 1);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->Col(), 0) << "RowColSet moves the row but keeps the current column";
    grid->ForceCellEdit(2, 1);
    EXPECT_FALSE(grid->EditPending()) << "nor does a forced edit open on the cell that stayed current";
    grid->SetColLocked(0, true);
    grid->SetColLocked(1, false);
    key(Qt::Key_Home);
    EXPECT_EQ(grid->Col(), 1) << "Home goes to the first column that is not locked";
}

TEST_F(ListGridBehaviour, ClickIsRaisedOnAnEmptyGridAndOnALockedRow)
{
    grid->AddColumn(QStringLiteral("Name"), 1500);
    grid->AddColumn(QStringLiteral("Link"), 1500);
    grid->SetRedraw(true);
    show();
    QSignalSpy clicks(grid, &ListGrid::Click);
    QList<QList<int>> cellClicks;
    QObject::connect(grid, &ListGrid::CellClick, grid, [&](int Row, int Col, qint16&) {
        cellClicks << QList<int>{Row, Col};
    });
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    EXPECT_EQ(clicks.count(), 1) << "an empty grid still reports the click";
    ASSERT_EQ(cellClicks.size(), 1);
    EXPECT_EQ(cellClicks.first().first(), -1) << "there is no current row";

    for (const char* name : {"a", "b", "c"})
        grid->AddItem(QString::fromLatin1(name));
    grid->SetRedraw(true);
    grid->SetRowLocked(2, true);
    click(0, 1);
    click(2, 0);
    EXPECT_EQ(clicks.count(), 3) << "a locked row refuses the move but not the click";
    EXPECT_EQ(cellClicks.last(), (QList<int>{0, 1})) << "CellClick names the current cell, which stayed";
}

TEST_F(ListGridBehaviour, DeleteInCellFocusEmptiesTheCellAndThenReportsIt)
{
    fill();
    grid->SetAllowDelete(true);
    grid->SetFocusRectMode(2);
    click(1, 0);
    QStringList seen;
    QObject::connect(grid, &ListGrid::AfterEdit, grid, [&](int Row, int Col, QString&, bool& Cancel) {
        seen << grid->CellText(Row, Col);
        Cancel = true; // too late: the cell is already empty
    });
    QSignalSpy deletes(grid, &ListGrid::AfterDelete);
    key(Qt::Key_Delete);
    EXPECT_EQ(seen, QStringList{QString()}) << "AfterEdit comes after the text was emptied";
    EXPECT_EQ(grid->CellText(1, 0), QString());
    EXPECT_EQ(deletes.count(), 1);
    EXPECT_EQ(grid->Rows(), 5) << "the row stays";

    // Cancelled in BeforeDelete: the text stays and nothing follows.
    QObject::connect(grid, &ListGrid::BeforeDelete, grid, [](int, bool& Cancel) { Cancel = true; });
    click(2, 0);
    key(Qt::Key_Delete);
    EXPECT_EQ(grid->CellText(2, 0), QStringLiteral("charlie"));
    EXPECT_EQ(deletes.count(), 1);
}

TEST_F(ListGridBehaviour, DownWithoutACurrentRowGoesToTheFirstRow)
{
    fill();
    ASSERT_EQ(grid->Row(), -1);
    key(Qt::Key_Down);
    EXPECT_EQ(grid->Row(), 0);
    EXPECT_TRUE(grid->RowSelected(0));
    EXPECT_EQ(grid->SelectedCount(), 1);
}

TEST_F(ListGridBehaviour, ShiftMovesExtendTheSelectionAndPlainMovesClearIt)
{
    fill();
    grid->SetMultiSelect(1);
    click(1, 0);
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(grid->SelectedCount(), 3);
    EXPECT_TRUE(grid->RowSelected(1) && grid->RowSelected(2) && grid->RowSelected(3));
    key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(grid->SelectedCount(), 2) << "back towards the anchor the range shrinks";
    key(Qt::Key_Down);
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(grid->SelectedCount(), 1);
    EXPECT_TRUE(grid->RowSelected(3));
    grid->RowColSet(0, 0);
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid->SelectedCount(), 2) << "a row made current by code is where the extension starts";
    EXPECT_TRUE(grid->RowSelected(0) && grid->RowSelected(1));
}

TEST_F(ListGridBehaviour, ARefusedMoveLeavesTheSelectionAlone)
{
    fill();
    grid->SetRowLocked(4, true);
    click(0, 0);
    key(Qt::Key_PageDown); // every row is in view: the target is the last row, which is locked
    EXPECT_EQ(grid->Row(), 0);
    EXPECT_FALSE(grid->RowSelected(4));
    EXPECT_TRUE(grid->RowSelected(0));
    EXPECT_TRUE(grid->RowLocked(0)) << "the refusal is reported until the next key";
}

TEST_F(ListGridBehaviour, EditorArrowsAtEitherEndCommitAlsoWithTextSelected)
{
    fill();
    grid->SetAllowEdit(true);
    grid->SetEditTrigger(2 | 4);
    click(1, 0);
    key(Qt::Key_Return);
    ASSERT_TRUE(grid->EditPending());
    QLineEdit* box = grid->txtEdit();
    ASSERT_TRUE(box->hasSelectedText());
    QTest::keyClick(box, Qt::Key_Right);
    EXPECT_FALSE(grid->EditPending()) << "Right with the caret at the end commits, selection or not";

    key(Qt::Key_Return);
    ASSERT_TRUE(grid->EditPending());
    box->setText(QStringLiteral("xyz"));
    box->setSelection(3, -3); // selected backwards: the caret is at 0
    ASSERT_EQ(box->cursorPosition(), 0);
    QTest::keyClick(box, Qt::Key_Left);
    EXPECT_FALSE(grid->EditPending()) << "Left with the caret at 0 commits";
    EXPECT_EQ(grid->CellText(1, 0), QStringLiteral("xyz"));
}

TEST_F(ListGridBehaviour, CellImageClickOnlyOnThePictureItself)
{
    fill();
    grid->SetColImageAlignment(1, 4); // left, vertically centred
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::green);
    grid->CellPicture(picture, 2, 1);
    grid->Refresh();
    QList<QList<int>> imageClicks;
    QObject::connect(grid, &ListGrid::CellImageClick, grid, [&](int Row, int Col) {
        imageClicks << QList<int>{Row, Col};
    });

    const QRect cell = grid->layout().cellRect(2, 1);
    const QRect drawn =
        ListGridPainter::PictureRect(picture.size(), cell, 4, cell.width(), grid->MinVerticalOffset());
    ASSERT_FALSE(drawn.isNull());
    ASSERT_LT(drawn.right() + 10, cell.right());
    const QPoint beside(cell.right() - 4, cell.center().y());
    QTest::mouseMove(grid, beside);
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, beside);
    EXPECT_TRUE(imageClicks.isEmpty()) << "a click beside the picture is not a click on it";
    QTest::mouseMove(grid, drawn.center());
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, drawn.center());
    EXPECT_EQ(imageClicks, (QList<QList<int>>{{2, 1}}));
}

TEST_F(ListGridBehaviour, ExpandImageShowsTheWholeTextOfAWrappedRowAndBack)
{
    grid->AddColumn(QStringLiteral("Notes"), 1800, 4, 0, {}, {}, 4, true); // wraps
    grid->AddColumn(QStringLiteral("Other"), 1500);
    grid->SetAllowWordWrap(true);
    grid->SetMaxLineCount(1);
    QImage expand(9, 9, QImage::Format_RGB32);
    expand.fill(Qt::magenta);
    grid->SetExpandRowImage(expand);
    grid->AddItem(QStringLiteral("short\tx"));
    grid->AddItem(QStringLiteral("a long note that takes several lines in a narrow column of the grid\ty"));
    grid->SetRedraw(true);
    show();
    grid->Refresh();
    const float automatic = grid->RowHeight(1);
    ASSERT_EQ(automatic, grid->RowHeight(0)) << "one line at most while collapsed";

    auto magentaIn = [&](const QRect& r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += grid->surface().pixelColor(x, y) == QColor(Qt::magenta) ? 1 : 0;
        return n;
    };
    const QRect shortCell = grid->layout().cellRect(0, 0);
    const QRect longCell = grid->layout().cellRect(1, 0);
    EXPECT_EQ(magentaIn(shortCell), 0) << "nothing to expand in a row whose text fits";
    const QRect image = ListGridPainter::ExpandImageRect(expand, longCell);
    EXPECT_EQ(magentaIn(image), 81) << "the whole image in the cell's bottom right corner";

    QTest::mouseMove(grid, image.center());
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, image.center());
    const float expanded = grid->RowHeight(1);
    EXPECT_GT(expanded, automatic + 10) << "the row grows to its whole text";

    const QRect grown = ListGridPainter::ExpandImageRect(expand, grid->layout().cellRect(1, 0));
    EXPECT_EQ(magentaIn(grown), 81) << "the image stays to collapse the row again";
    // The text keeps clear of the image's band of the cell: there the row's (selected) background
    // shows alone.
    ASSERT_TRUE(grid->RowSelected(1));
    const QColor back = OleColor::ToQColor(grid->BackColorSel());
    int inked = 0;
    const QRect cellNow = grid->layout().cellRect(1, 0);
    for (int y = cellNow.top() + 1; y < grown.top() - 1; ++y)
        for (int x = grown.left(); x <= grown.right(); ++x) {
            const QColor c = grid->surface().pixelColor(x, y);
            inked += std::abs(c.red() - back.red()) + std::abs(c.green() - back.green()) +
                                 std::abs(c.blue() - back.blue()) >
                             60
                         ? 1
                         : 0;
        }
    EXPECT_EQ(inked, 0);
    QTest::mouseMove(grid, grown.center());
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, grown.center());
    EXPECT_EQ(grid->RowHeight(1), automatic);

    const QPoint elsewhere = grid->layout().cellRect(1, 0).topLeft() + QPoint(5, 5);
    QTest::mouseMove(grid, elsewhere);
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, elsewhere);
    EXPECT_EQ(grid->RowHeight(1), automatic) << "a click elsewhere in the cell changes nothing";
}

TEST_F(ListGridBehaviour, ADraggedHeaderFollowsThePointer)
{
    fill();
    grid->SetAllowColumnDrag(true);
    const QPoint from = at(-1, 0);
    const QPoint to = at(-1, 2);
    const QRect item = grid->layout().headerItemRect(0);
    const int dragLeft = item.left() + (to.x() - from.x());
    const QColor frame = OleColor::ToQColor(OleColor::ButtonShadow);
    auto frameColumn = [&] {
        int n = 0;
        for (int y = item.top() + 2; y < item.top() + item.height() - 2; ++y)
            n += grid->surface().pixelColor(dragLeft, y) == frame ? 1 : 0;
        return n;
    };
    const int before = frameColumn();

    QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(grid, to);
    // Only the pressed item keeps its offset to the pointer, so its framed left edge is drawn here.
    EXPECT_EQ(frameColumn(), item.height() - 4) << "its framed left edge is drawn under the pointer";
    EXPECT_LT(before, item.height() - 4);

    QTest::mouseRelease(grid, Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_LT(frameColumn(), item.height() - 4) << "gone once the header is dropped";
    EXPECT_EQ(grid->ColOrder(), (std::vector<qint32>{1, 2, 0, 3}));
}
