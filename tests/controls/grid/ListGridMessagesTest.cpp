#include "GridInputFixture.h"

#include "controls/common/Subclasser.h"

#include <QApplication>
#include <QFocusEvent>
#include <QScrollBar>
#include <QWheelEvent>

using namespace brenlow;

namespace {

class ListGridMessages : public GridInputFixture
{
protected:
    void fillMany()
    {
        QStringList names;
        for (int i = 0; i < 40; ++i)
            names << QStringLiteral("row%1").arg(i, 2, 10, QLatin1Char('0'));
        for (int c = 0; c < 8; ++c)
            grid->AddColumn(QStringLiteral("C%1").arg(c), 2400);
        for (const QString& n : names)
            grid->AddItem(n);
        grid->SetRedraw(true);
        show();
    }
    void wheel(int delta, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const QPointF pos(50, 80);
        QWheelEvent ev(pos, grid->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                       Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid, &ev);
    }
};

} // namespace

TEST_F(ListGridMessages, WheelNotchMovesThreeRowsAndCtrlMovesColumns)
{
    fillMany();
    QSignalSpy scrolled(grid, &ListGrid::Scroll);
    ASSERT_EQ(grid->RowFirstVisible(), 0);
    wheel(-120);
    EXPECT_EQ(grid->RowFirstVisible(), 3);
    wheel(-120);
    EXPECT_EQ(grid->RowFirstVisible(), 6);
    wheel(120);
    EXPECT_EQ(grid->RowFirstVisible(), 3);
    EXPECT_EQ(scrolled.count(), 3);

    wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(grid->RowFirstVisible(), 3) << "Ctrl scrolls the columns, not the rows";
    ASSERT_FALSE(grid->layout().cols().empty());
    EXPECT_EQ(grid->layout().cols().front().pos, 3) << "the first column in view";
    wheel(120, Qt::ControlModifier);
    EXPECT_EQ(grid->layout().cols().front().pos, 0);

    wheel(120);
    wheel(120);
    EXPECT_EQ(grid->RowFirstVisible(), 0) << "never above the first row";
    EXPECT_EQ(scrolled.count(), 6) << "a wheel at the top changes nothing and raises nothing";
}

TEST_F(ListGridMessages, ScrollCodesMoveTheViewAndCommitAnOpenEdit)
{
    fillMany();
    grid->SetAllowEdit(true);
    grid->ForceCellEdit(0, 0);
    grid->txtEdit()->setText(QStringLiteral("changed"));
    auto send = [&](int code, int pos = 0) { Subclasser::Send(grid, Msg::VScroll, MakeLong(code, pos), 0); };

    send(ScrollCode::LineDown);
    EXPECT_EQ(grid->RowFirstVisible(), 1);
    EXPECT_FALSE(grid->EditPending()) << "scrolling commits the edit";
    EXPECT_EQ(grid->CellText(0, 0), QStringLiteral("changed"));

    send(ScrollCode::PageDown);
    EXPECT_EQ(grid->RowFirstVisible(), 6);
    send(ScrollCode::PageUp);
    EXPECT_EQ(grid->RowFirstVisible(), 1);
    send(ScrollCode::ThumbTrack, 20);
    EXPECT_EQ(grid->RowFirstVisible(), 20);
    send(ScrollCode::Top);
    EXPECT_EQ(grid->RowFirstVisible(), 0);
    send(ScrollCode::LineUp);
    EXPECT_EQ(grid->RowFirstVisible(), 0);

    // Hidden rows are never the first row in view.
    grid->SetRowVisible(1, false);
    send(ScrollCode::LineDown);
    EXPECT_EQ(grid->RowFirstVisible(), 2);
}

TEST_F(ListGridMessages, PointerEnteringAndLeavingRaiseTheirEvents)
{
    fillMany();
    QSignalSpy enter(grid, &ListGrid::MouseEnter);
    QSignalSpy leave(grid, &ListGrid::MouseLeave);
    QTest::mouseMove(grid, QPoint(40, 60));
    QTest::mouseMove(grid, QPoint(50, 70));
    EXPECT_EQ(enter.count(), 1) << "only the first move after entering";
    QEvent leaveEvent(QEvent::Leave);
    QApplication::sendEvent(grid, &leaveEvent);
    EXPECT_EQ(leave.count(), 1);
    QTest::mouseMove(grid, QPoint(40, 60));
    EXPECT_EQ(enter.count(), 2);
}

TEST_F(ListGridMessages, StyleChangeRaisesThemeChanged)
{
    fillMany();
    QSignalSpy theme(grid, &ListGrid::ThemeChanged);
    QEvent change(QEvent::ThemeChange);
    QApplication::sendEvent(grid, &change);
    EXPECT_EQ(theme.count(), 1);
}

TEST_F(ListGridMessages, ScrollBarArrowScrollsOneRowAndRaisesScrollOnce)
{
    fillMany();
    QScrollBar* bar = grid->verticalScrollBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_FALSE(bar->isHidden());
    QSignalSpy scrolled(grid, &ListGrid::Scroll);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(grid->RowFirstVisible(), 1);
    EXPECT_EQ(bar->value(), 1);
    EXPECT_EQ(scrolled.count(), 1);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(grid->RowFirstVisible(), bar->maximum());
    EXPECT_GT(grid->RowFirstVisible(), 20);
}

TEST_F(ListGridMessages, FocusChangesRepaintOnlyWhenTheFocusRectangleHides)
{
    fillMany();
    const int before = grid->paintCount();
    QFocusEvent out(QEvent::FocusOut), in(QEvent::FocusIn);
    QApplication::sendEvent(grid, &out);
    QApplication::sendEvent(grid, &in);
    EXPECT_EQ(grid->paintCount(), before);
    grid->SetFocusRectHide(true);
    const int hidden = grid->paintCount();
    QApplication::sendEvent(grid, &out);
    QApplication::sendEvent(grid, &in);
    EXPECT_EQ(grid->paintCount(), hidden + 2);
}
