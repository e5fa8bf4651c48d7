#include "GridInputFixture.h"

#include <QComboBox>
#include <QKeyEvent>

using namespace brenlow;

namespace {

/** The main window's use of the list: the profile drop-down bound to column 4, opened by Enter or a
 *  single click, committed by Enter through UpdateCell. */
class ProfileEdit : public GridInputFixture, public QObject
{
protected:
    void SetUp() override
    {
        GridInputFixture::SetUp();
        combo = new QComboBox(&window);
        combo->setGeometry(10, 10, 200, 24);
        combo->hide();
        combo->installEventFilter(this);

        grid->SetAllowEdit(true);
        grid->SetEditTrigger(10);
        grid->SetMinRowHeight(1400);
        grid->AddColumn(QStringLiteral("Video Name"), 1500);
        grid->AddColumn(QStringLiteral("Video Link"), 1500, 4, 0, {}, {}, 4, false, 0, true, true);
        grid->AddColumn(QStringLiteral("Picture"), 1000, 4, 0, {}, {}, 4, false, 0, true, true);
        grid->AddColumn(QStringLiteral("Profile"), 1, 4, 0, {}, {}, 4, true, 0, true, true);
        grid->AddColumn(QStringLiteral("Profile"), 2500);
        grid->AddColumn(QStringLiteral("Progress"), 700, 5, 4, {}, {}, 4, false, 0, true, true);
        grid->AddColumn(QStringLiteral("Status"), 700, 5, 0, {}, {}, 4, false, 0, true, true);
        grid->BindControl(4, combo);
        grid->AddItem(QStringLiteral("first\thttp://a\t\t18,MP4,640X360<<<22,MP4,1280X720\t22,MP4,1280X720"));
        grid->AddItem(QStringLiteral("second\thttp://b\t\t5,FLV,400X240<<<43,WEBM,640X360<<<18,MP4,640X360\t"
                                     "18,MP4,640X360"));
        grid->SetRedraw(true);

        connect(grid, &ListGrid::BeforeEdit, grid, [this](int Row, int Col, bool&) {
            if (Col != 4)
                return;
            combo->clear();
            if (!grid->CellText(Row, 4).isEmpty()) {
                combo->addItems(grid->CellText(Row, 3).split(QStringLiteral("<<<")));
                combo->setCurrentText(grid->CellText(Row, 4));
            }
        });
        connect(grid, &ListGrid::AfterEdit, grid, [this](int, int Col, QString& New_Value, bool&) {
            if (Col == 4)
                New_Value = combo->currentText();
        });
        show();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == combo && event->type() == QEvent::KeyPress) {
            const int k = static_cast<QKeyEvent*>(event)->key();
            if (k == Qt::Key_Return || k == Qt::Key_Enter) {
                grid->UpdateCell();
                return true;
            }
        }
        return false;
    }

    QComboBox* combo = nullptr;
};

} // namespace

TEST_F(ProfileEdit, ClickOpensTheDropDownAndEnterCommitsOnlyThatRow)
{
    click(1, 4);
    ASSERT_TRUE(grid->EditPending());
    EXPECT_EQ(combo->parentWidget(), grid) << "shown inside the grid while editing";
    EXPECT_TRUE(combo->isVisible());
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentText(), QStringLiteral("18,MP4,640X360"));

    QTest::keyClick(combo, Qt::Key_Up);
    EXPECT_EQ(combo->currentText(), QStringLiteral("43,WEBM,640X360"));
    QTest::keyClick(combo, Qt::Key_Return);

    EXPECT_FALSE(grid->EditPending());
    EXPECT_EQ(grid->CellText(1, 4), QStringLiteral("43,WEBM,640X360"));
    EXPECT_EQ(grid->CellText(0, 4), QStringLiteral("22,MP4,1280X720"));
    EXPECT_EQ(grid->CellText(1, 3), QStringLiteral("5,FLV,400X240<<<43,WEBM,640X360<<<18,MP4,640X360"));
    EXPECT_EQ(combo->parentWidget(), &window) << "handed back to the window afterwards";
    EXPECT_FALSE(combo->isVisible());
    EXPECT_EQ(combo->geometry(), QRect(10, 10, 200, 24));
}

TEST_F(ProfileEdit, EnterOpensTheDropDownOnTheCurrentCellAndEscLeavesTheCell)
{
    grid->RowColSet(0, 4);
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_TRUE(grid->EditPending());
    EXPECT_TRUE(combo->isVisible());
    EXPECT_EQ(combo->currentText(), QStringLiteral("22,MP4,1280X720"));
    QTest::keyClick(combo, Qt::Key_Up);
    QTest::keyClick(combo, Qt::Key_Escape);
    EXPECT_FALSE(grid->EditPending());
    EXPECT_EQ(grid->CellText(0, 4), QStringLiteral("22,MP4,1280X720"));
    EXPECT_FALSE(combo->isVisible());
    EXPECT_EQ(combo->parentWidget(), &window);
}

TEST_F(ProfileEdit, LockedColumnsSelectTheRowWithoutOpeningAnEditor)
{
    QSignalSpy clicks(grid, &ListGrid::Click);
    click(1, 1);
    EXPECT_FALSE(grid->EditPending());
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(clicks.count(), 1);
    click(0, 0);
    EXPECT_TRUE(grid->EditPending()) << "the name column is editable with the built-in box";
    EXPECT_TRUE(grid->txtEdit()->isVisible());
    EXPECT_FALSE(combo->isVisible());
}

TEST_F(ProfileEdit, GridGoingAwayDuringAnEditReturnsTheDropDown)
{
    click(0, 4);
    ASSERT_EQ(combo->parentWidget(), grid);
    delete grid;
    grid = nullptr;
    EXPECT_EQ(combo->parentWidget(), &window) << "the drop-down outlives the grid";
    EXPECT_FALSE(combo->isVisible());
}
