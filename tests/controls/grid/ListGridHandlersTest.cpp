// Handlers that change the grid from inside its events, and a grid that changed while painting was
// off: the mouse, the editor and the check boxes must act on what is there now.
#include "GridInputFixture.h"

#include "controls/common/KeyCodes.h"

#include <QSettings>
#include <QTemporaryDir>

using namespace brenlow;

namespace {

class GridHandlers : public GridInputFixture
{
protected:
    /** Rows "r0".."r<n-1>" in a name column and a second text column. */
    void fillNamed(int n)
    {
        grid->AddColumn(QStringLiteral("Name"), 1500);
        grid->AddColumn(QStringLiteral("Other"), 1500);
        for (int i = 0; i < n; ++i)
            grid->AddItem(QStringLiteral("r%1\to%1").arg(i));
        grid->SetRedraw(true);
        show();
    }

    /** Opens the built-in editor on (row, column index) with F2 and types a text over its content. */
    void editWith(int row, int col, const QString& text)
    {
        grid->SetAllowEdit(true);
        grid->RowColSet(row, col);
        key(Qt::Key_F2);
        ASSERT_TRUE(grid->EditPending());
        grid->txtEdit()->setText(text);
    }
};

} // namespace

TEST_F(GridHandlers, RowsRemovedWhilePaintingIsOffAreNeverHitByTheMouse)
{
    fillNamed(6);
    grid->SetAutoToolTips(true);
    grid->SetColWidth(0, 300); // narrow: the texts are cut, so the pointer asks for tool tips
    grid->Refresh();
    const QPoint lastRow = at(5, 0);
    const QPoint fourthRow = at(3, 1);
    grid->SetRedraw(false);
    for (int i = 0; i < 4; ++i)
        grid->RemoveItem(0);
    ASSERT_EQ(grid->Rows(), 2);

    // Where rows 3 and 5 were drawn there is nothing now: no row is under the pointer.
    QTest::mouseMove(grid, lastRow);
    EXPECT_EQ(grid->MouseRow(), -1);
    QTest::mouseMove(grid, fourthRow);
    EXPECT_EQ(grid->MouseRow(), -1);
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, fourthRow);
    EXPECT_LT(grid->Row(), grid->Rows());
    QTest::mouseDClick(grid, Qt::LeftButton, Qt::NoModifier, lastRow);
    EXPECT_LT(grid->Row(), grid->Rows());

    // The rows that are left are found where a paint would draw them.
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, at(1, 0));
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->CellText(grid->Row(), 0), QStringLiteral("r5"));
    // The row under the pointer goes: no row is reported under it until it moves again.
    grid->RemoveItem(1);
    EXPECT_EQ(grid->MouseRow(), -1);
}

TEST_F(GridHandlers, AButtonCellThatDeletesItsRowEndsTheClick)
{
    grid->AddColumn(QStringLiteral("Name"), 1500);
    grid->AddColumn(QStringLiteral("Delete"), 1500, 4, ColumnType::Button);
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    for (int i = 0; i < 4; ++i) {
        grid->AddItem(QStringLiteral("r%1\tDelete").arg(i));
        grid->CellPicture(picture, i, 1);
        grid->SetCellHandPointer(i, 1, true);
    }
    grid->SetRedraw(true);
    show();
    QSignalSpy images(grid, &ListGrid::CellImageClick);
    QSignalSpy hands(grid, &ListGrid::CellHandClick);
    QObject::connect(grid, &ListGrid::CellButtonClick, grid, [this](int row, int) { grid->RemoveItem(row); });

    click(1, 1);
    EXPECT_EQ(grid->Rows(), 3);
    EXPECT_EQ(grid->CellText(1, 0), QStringLiteral("r2"));
    // The row that moved up under the pointer was not clicked.
    EXPECT_EQ(images.count(), 0);
    EXPECT_EQ(hands.count(), 0);
    click(2, 1); // the last row
    EXPECT_EQ(grid->Rows(), 2);
    EXPECT_EQ(images.count(), 0);
}

TEST_F(GridHandlers, BeforeEditThatChangesTheGridOpensTheEditorOnTheSameCellOrNotAtAll)
{
    fillNamed(5);
    grid->SetAllowEdit(true);
    // The handler adds columns (their records move) and removes the first row.
    bool once = true;
    QObject::connect(grid, &ListGrid::BeforeEdit, grid, [&](int, int, bool&) {
        if (!once)
            return;
        once = false;
        for (int i = 0; i < 20; ++i)
            grid->AddColumn(QStringLiteral("x%1").arg(i), 300);
        grid->RemoveItem(0);
    });
    grid->RowColSet(3, 0);
    key(Qt::Key_F2);
    ASSERT_TRUE(grid->EditPending());
    EXPECT_EQ(grid->txtEdit()->text(), QStringLiteral("r3"));
    grid->txtEdit()->setText(QStringLiteral("three"));
    EXPECT_TRUE(grid->UpdateCell(false));
    EXPECT_EQ(grid->CellText(2, 0), QStringLiteral("three"));
    EXPECT_EQ(grid->CellText(3, 0), QStringLiteral("r4"));

    // A handler that removes the very row leaves no edit open.
    QObject::connect(grid, &ListGrid::BeforeEdit, grid, [&](int row, int, bool&) { grid->RemoveItem(row); });
    grid->RowColSet(1, 0);
    key(Qt::Key_F2);
    EXPECT_FALSE(grid->EditPending());
    EXPECT_EQ(grid->Rows(), 3);
}

TEST_F(GridHandlers, CheckBoxCellsToggleTheRowTheyBelongToWhateverTheHandlersDo)
{
    grid->AddColumn(QStringLiteral("Name"), 1500);
    grid->AddColumn(QStringLiteral("Done"), 900, 4, ColumnType::CheckBox);
    for (int i = 0; i < 4; ++i)
        grid->AddItem(QStringLiteral("r%1\t0").arg(i));
    grid->SetAllowEdit(true);
    grid->SetRedraw(true);
    show();
    const QRect box = cellBounds(2, 1);
    bool grow = true;
    QObject::connect(grid, &ListGrid::BeforeEdit, grid, [&](int, int, bool&) {
        if (!grow)
            return;
        grow = false;
        for (int i = 0; i < 20; ++i) // the column records move
            grid->AddColumn(QStringLiteral("x%1").arg(i), 300);
        grid->RemoveItem(0); // and the clicked row moves up
    });
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, box.center());
    EXPECT_EQ(grid->Rows(), 3);
    EXPECT_EQ(grid->CellText(1, 0), QStringLiteral("r2"));
    EXPECT_TRUE(grid->CellChecked(1, 1)) << "the clicked row is checked";
    EXPECT_FALSE(grid->CellChecked(2, 1)) << "not the row that took its place";

    // An AfterEdit handler that removes the row: nothing is stored anywhere.
    QObject::connect(grid, &ListGrid::AfterEdit, grid,
                     [&](int row, int, QString&, bool&) { grid->RemoveItem(row); });
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, box.center()); // on r3
    ASSERT_EQ(grid->Rows(), 2);
    EXPECT_EQ(grid->CellText(1, 0), QStringLiteral("r2"));
    EXPECT_FALSE(grid->CellChecked(0, 1));
    EXPECT_TRUE(grid->CellChecked(1, 1));
}

TEST_F(GridHandlers, AnOpenEditStaysWithItsCellWhenRowsComeAndGo)
{
    fillNamed(6);
    editWith(3, 0, QStringLiteral("edited"));
    grid->RemoveItem(0);
    EXPECT_TRUE(grid->EditPending());
    QSignalSpy after(grid, &ListGrid::AfterEdit);
    EXPECT_TRUE(grid->UpdateCell(false));
    ASSERT_EQ(after.count(), 1);
    EXPECT_EQ(after[0][0].toInt(), 2) << "AfterEdit names the row where the cell is now";
    EXPECT_EQ(grid->CellText(2, 0), QStringLiteral("edited"));
    EXPECT_EQ(grid->CellText(3, 0), QStringLiteral("r4"));

    // A row inserted above the edited one (rows: r1 r2 edited r4 r5).
    editWith(1, 0, QStringLiteral("two"));
    grid->AddItem(QStringLiteral("new\tn"), 0);
    EXPECT_TRUE(grid->EditPending());
    EXPECT_TRUE(grid->UpdateCell(false));
    EXPECT_EQ(grid->CellText(2, 0), QStringLiteral("two"));
    EXPECT_EQ(grid->CellText(1, 0), QStringLiteral("r1"));

    // Removing the edited row itself ends the edit without storing anything.
    editWith(2, 1, QStringLiteral("lost"));
    grid->RemoveItem(2);
    EXPECT_FALSE(grid->EditPending());
    EXPECT_FALSE(grid->txtEdit()->isVisible());
    for (int r = 0; r < grid->Rows(); ++r)
        EXPECT_NE(grid->CellText(r, 1), QStringLiteral("lost"));

    // The editor's box moves with its cell (rows: new r1 edited r4 r5).
    editWith(4, 0, QStringLiteral("moved"));
    const int before = grid->txtEdit()->geometry().top();
    grid->RemoveItem(1);
    EXPECT_LT(grid->txtEdit()->geometry().top(), before);
    EXPECT_TRUE(grid->UpdateCell(false));
    EXPECT_EQ(grid->CellText(3, 0), QStringLiteral("moved"));
}

TEST_F(GridHandlers, AnOpenEditEndsWhenFilteredOutAndFollowsItsColumnWhenTheOrderIsLoaded)
{
    fillNamed(5);
    editWith(2, 0, QStringLiteral("gone"));
    grid->FilterOn(QStringLiteral("r1"), 0, 0); // hides the edited row
    EXPECT_FALSE(grid->EditPending());
    grid->FilterOff();
    EXPECT_EQ(grid->CellText(2, 0), QStringLiteral("r2"));

    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    {
        QSettings settings(QCoreApplication::organizationName(), QCoreApplication::applicationName());
        settings.beginGroup(QStringLiteral("Swapped"));
        settings.setValue(QStringLiteral("Count"), QStringLiteral("1"));
        settings.setValue(QStringLiteral("0"), QStringLiteral("1"));
        settings.setValue(QStringLiteral("1"), QStringLiteral("0"));
    }
    editWith(1, 0, QStringLiteral("name"));
    grid->ColOrderLoad(QStringLiteral("Swapped"));
    ASSERT_EQ(grid->ColOrder(), (std::vector<qint32>{1, 0}));
    EXPECT_TRUE(grid->EditPending());
    EXPECT_TRUE(grid->UpdateCell(false));
    EXPECT_EQ(grid->CellText(1, 0), QStringLiteral("name"));
    EXPECT_EQ(grid->CellText(1, 1), QStringLiteral("o1"));
}

TEST_F(GridHandlers, AnAfterEditHandlerThatRemovesRowsStoresTheValueInTheEditedCell)
{
    fillNamed(5);
    QObject::connect(grid, &ListGrid::AfterEdit, grid,
                     [this](int, int, QString&, bool&) { grid->RemoveItem(0); });
    editWith(3, 0, QStringLiteral("kept"));
    EXPECT_TRUE(grid->UpdateCell(false));
    EXPECT_EQ(grid->Rows(), 4);
    EXPECT_EQ(grid->CellText(2, 0), QStringLiteral("kept"));
    EXPECT_EQ(grid->CellText(3, 0), QStringLiteral("r4"));
}

TEST_F(GridHandlers, DeletingSelectedRowsKeepsTheRestTheirTotalsAndAnEditElsewhere)
{
    grid->AddColumn(QStringLiteral("Name"), 1500);
    grid->AddColumn(QStringLiteral("Size"), 1500, 4, ColumnType::Numeric);
    for (int i = 0; i < 8; ++i)
        grid->AddItem(QStringLiteral("r%1\t%1").arg(i));
    grid->SetMultiSelect(1);
    grid->SetRedraw(true);
    show();
    grid->Sort(1, 1); // display order r7 .. r0, storage order r0 .. r7
    for (int r : {0, 2, 3, 7})
        grid->SetRowSelected(r, true); // r7, r5, r4, r0
    grid->SetAllowEdit(true);
    grid->RowColSet(1, 0); // r6; this clears the selection, so select again
    for (int r : {0, 2, 3, 7})
        grid->SetRowSelected(r, true);
    grid->SetRowSelected(1, false);
    key(Qt::Key_F2);
    ASSERT_TRUE(grid->EditPending());
    grid->txtEdit()->setText(QStringLiteral("six"));
    QSignalSpy count(grid, &ListGrid::RowCountChanged);

    grid->DeleteSelected();
    QStringList names;
    for (int r = 0; r < grid->Rows(); ++r)
        names << grid->CellText(r, 0);
    EXPECT_EQ(names, (QStringList{"r6", "r3", "r2", "r1"}));
    EXPECT_DOUBLE_EQ(grid->TotalsCol(1), 6 + 3 + 2 + 1);
    EXPECT_EQ(grid->SelectedCount(), 1);
    EXPECT_GE(count.count(), 1);
    ASSERT_TRUE(grid->EditPending());
    EXPECT_TRUE(grid->UpdateCell(false));
    EXPECT_EQ(grid->CellText(0, 0), QStringLiteral("six"));
}

TEST_F(GridHandlers, ClickingTheSameHeaderThreeTimesSortsUpDownThenRestoresTheStorageOrder)
{
    fill({QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("e"),
          QStringLiteral("d")}); // sizes 0, 10, 20, 30, 40 in storage order
    grid->SetAllowColumnSort(true);
    grid->SetCellText(1, 3, QStringLiteral("100"));
    grid->SetCellText(3, 3, QStringLiteral("2"));
    QSignalSpy done(grid, &ListGrid::SortComplete);
    QSignalSpy clicked(grid, &ListGrid::ColumnClick);
    const auto sizes = [&] {
        QStringList texts;
        for (int r = 0; r < grid->Rows(); ++r)
            texts << grid->CellText(r, 3);
        return texts;
    };
    const QPoint header = at(-1, 3);
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, header);
    EXPECT_EQ(sizes(), (QStringList{"0", "2", "20", "40", "100"})) << "smaller values first";
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, header);
    EXPECT_EQ(sizes(), (QStringList{"100", "40", "20", "2", "0"})) << "greater values first";
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, header);
    EXPECT_EQ(sizes(), (QStringList{"0", "100", "20", "2", "40"})) << "back in storage order";
    EXPECT_EQ(done.count(), 3);
    EXPECT_EQ(clicked.count(), 3);
    EXPECT_EQ(grid->Col(), 3) << "the clicked column becomes current";
}

namespace {

/** A press on row 3 that first commits an open edit of row 0 whose AfterEdit handler removes rows
 *  from row 1 on. */
struct CommitThenPress
{
    const char* name;
    bool rowCheckBoxes; ///< press on the row check box instead of the check-box cell
    int removed;        ///< rows the handler removes from the top
    Qt::MouseButton button;
};

class GridCommitThenPress : public GridInputFixture, public ::testing::WithParamInterface<CommitThenPress>
{
};

} // namespace

TEST_P(GridCommitThenPress, ActsOnNoOtherRowThanTheOneClicked)
{
    const CommitThenPress c = GetParam();
    grid->AddColumn(QStringLiteral("Name"), 1500);
    grid->AddColumn(QStringLiteral("Done"), 900, 4, ColumnType::CheckBox);
    for (int i = 0; i < 5; ++i)
        grid->AddItem(QStringLiteral("r%1\t0").arg(i));
    grid->SetAllowEdit(true);
    grid->SetRowCheckBoxes(c.rowCheckBoxes);
    grid->SetRedraw(true);
    show();
    const QRect box = cellBounds(3, 1);
    const QRect name = cellBounds(3, 0);
    const QPoint press = c.rowCheckBoxes ? QPoint(name.left() - 8, name.center().y()) : box.center();

    QObject::connect(grid, &ListGrid::AfterEdit, grid, [&](int, int, QString&, bool&) {
        for (int i = 0; i < c.removed; ++i)
            grid->RemoveItem(1);
    });
    std::vector<int> checkedRows;
    QObject::connect(grid, &ListGrid::RowCheckedEvent, grid, [&](int row) {
        checkedRows.push_back(row);
        EXPECT_LT(row, grid->Rows()) << "RowChecked names a row of the grid";
        EXPECT_NO_THROW((void)grid->RowChecked(row));
    });
    grid->RowColSet(0, 0);
    QTest::keyClick(grid, Qt::Key_F2);
    ASSERT_TRUE(grid->EditPending());
    grid->txtEdit()->setText(QStringLiteral("renamed"));

    QTest::mouseClick(grid, c.button, Qt::NoModifier, press);
    ASSERT_EQ(grid->Rows(), 5 - c.removed);
    // The clicked row moved up or went: nothing is toggled on a row the user did not click.
    for (int r = 0; r < grid->Rows(); ++r) {
        EXPECT_FALSE(grid->CellChecked(r, 1)) << r;
        EXPECT_NE(grid->CellText(r, 1), QStringLiteral("True")) << r;
        EXPECT_FALSE(grid->RowChecked(r)) << r;
    }
    EXPECT_TRUE(checkedRows.empty());
    ASSERT_LT(grid->Row(), grid->Rows());
    EXPECT_NE(grid->CellText(grid->Row(), 0), QStringLiteral("r4")) << "the row under the pointer now";
    EXPECT_EQ(grid->CellText(0, 0), QStringLiteral("renamed"));
}

INSTANTIATE_TEST_SUITE_P(
    Presses, GridCommitThenPress,
    ::testing::Values(CommitThenPress{"CheckBoxCellOneRowGone", false, 1, Qt::LeftButton},
                      CommitThenPress{"RowCheckBoxTwoRowsGone", true, 2, Qt::LeftButton},
                      CommitThenPress{"RowCheckBoxOneRowGone", true, 1, Qt::LeftButton},
                      CommitThenPress{"RightPressOneRowGone", false, 1, Qt::RightButton}),
    [](const ::testing::TestParamInfo<CommitThenPress>& info) { return std::string(info.param.name); });
