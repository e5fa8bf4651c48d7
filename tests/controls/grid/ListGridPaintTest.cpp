#include "controls/common/Colors.h"
#include "controls/common/Gdi.h"
#include "controls/common/PropertyBag.h"
#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridLayout.h"
#include "controls/grid/ListGridTheme.h"

#include <QDir>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace brenlow;

namespace {

QColor ole(quint32 c)
{
    return OleColor::ToQColor(c);
}

/** A picture in two colours: red left half, blue right half. */
QImage twoColourPicture(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::red);
    QPainter p(&img);
    p.fillRect(w / 2, 0, w - w / 2, h, Qt::blue);
    return img;
}

class GridPaint : public ::testing::Test
{
protected:
    ListGrid grid;
    void SetUp() override { grid.resize(896, 270); }

    [[nodiscard]] QColor px(int x, int y) const { return grid.surface().pixelColor(x, y); }
    [[nodiscard]] const ListGridLayout& layout() const { return grid.layout(); }
    [[nodiscard]] QRect cell(int row, int pos) const { return layout().cellRect(row, pos); }
    [[nodiscard]] int count(const QRect& r, const QColor& c) const
    {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += px(x, y) == c ? 1 : 0;
        return n;
    }
    void save(const char* name) const
    {
        const QByteArray dir = qgetenv("BRENLOW_SAVE_PNG");
        if (!dir.isEmpty())
            grid.surface().save(QDir(QString::fromLocal8Bit(dir)).filePath(QLatin1String(name)));
    }

    /** The main window's list: its seven columns, rows of name, link, picture, profile and progress. */
    void buildWindowGrid(int rows)
    {
        grid.SetRedraw(false);
        grid.SetEditTrigger(10);
        grid.SetMinRowHeight(1400);
        grid.AddColumn(QStringLiteral("Video Name"), 1500);
        grid.AddColumn(QStringLiteral("Video Link"), 1500, 4, 0, {}, {}, 4, false, 0, true, true);
        grid.AddColumn(QStringLiteral("Picture"), 1000, 4, 0, {}, {}, 4, false, 0, true, true);
        grid.AddColumn(QStringLiteral("Profile"), 1, 4, 0, {}, {}, 4, true, 0, true, true);
        grid.AddColumn(QStringLiteral("Profile"), 2500);
        grid.AddColumn(QStringLiteral("Progress"), 700, 5, 4, {}, {}, 4, false, 0, true, true);
        grid.AddColumn(QStringLiteral("Status"), 700, 5, 0, {}, {}, 4, false, 0, true, true);
        grid.SetColImageAlignment(2, 5);
        grid.ColForceFit();
        for (int i = 0; i < rows; ++i) {
            grid.AddItem(QStringLiteral("Uploader %1 - A video with a rather long title number %1\t"
                                        "https://video.example/watch?v=%1\t\tlist\t22,MP4,1280X720,HD\t\t")
                             .arg(i));
            grid.CellPicture(twoColourPicture(160, 90), i, 2);
            grid.SetCellProgressValue(i, 5, (i * 37) % 101);
            grid.SetCellText(i, 5, QStringLiteral("%1%").arg((i * 37) % 101));
        }
        grid.SetRedraw(true);
        grid.Refresh();
    }
};

} // namespace

TEST_F(GridPaint, DefaultRowHeightFollowsMinRowHeightInTwips)
{
    grid.SetMinRowHeight(1400);
    grid.AddColumn(QStringLiteral("A"), 1500);
    grid.AddItem(QStringLiteral("x"));
    grid.SetRedraw(true);
    grid.Refresh();
    ASSERT_LT(QFontMetrics(grid.FontHeader()).height(), 93);
    EXPECT_EQ(grid.RowHeight(0), 99.0f);
    ASSERT_EQ(layout().rows().size(), 1u);
    const auto& row = layout().rows().front();
    EXPECT_EQ(row.height, 99);
    // The horizontal grid line sits on the row's last pixel row.
    const int x = cell(0, 0).left() + 50;
    EXPECT_EQ(px(x, row.top + 98), ole(grid.GridColor()));
    EXPECT_NE(px(x, row.top + 97), ole(grid.GridColor()));
}

TEST_F(GridPaint, ProgressBarRunsFromTheCellEdgeByItsValue)
{
    grid.AddColumn(QStringLiteral("Progress"), 1500, 5, 4);
    grid.AddItem(QString());
    grid.AddItem(QString());
    grid.AddItem(QString());
    grid.SetCellProgressValue(0, 0, 0);
    grid.SetCellProgressValue(1, 0, 100);
    grid.SetCellProgressValue(2, 0, 50);
    grid.SetRedraw(true);
    grid.Refresh();
    const QColor bar = ole(grid.CellProgressBarColor());
    EXPECT_EQ(count(cell(0, 0), bar), 0) << "a value of 0 draws no bar";

    const QRect full = cell(1, 0);
    const int pw = full.width();
    const int mid = full.top() + full.height() / 2;
    EXPECT_EQ(px(full.left() + 2, full.top() + 2), bar);
    EXPECT_EQ(px(full.left() + pw - 3, mid), bar);
    EXPECT_NE(px(full.left() + pw - 2, mid), bar) << "the bar ends at left + width - 2";
    EXPECT_NE(px(full.left() + 1, mid), bar);
    EXPECT_NE(px(full.left() + 5, full.bottom() - 1), bar);

    const QRect half = cell(2, 0);
    const int end = half.left() + static_cast<int>(std::lround((pw - 2) / 100.0 * 50));
    EXPECT_EQ(px(end - 1, half.top() + 3), bar);
    EXPECT_NE(px(end, half.top() + 3), bar);
}

TEST_F(GridPaint, RowsAlternateAndSelectionShows)
{
    grid.AddColumn(QStringLiteral("A"), 3000);
    for (int i = 0; i < 4; ++i)
        grid.AddItem(QString());
    grid.SetRedraw(true);
    grid.RowColSet(2, 0);
    grid.Refresh();
    const int x = cell(0, 0).left() + 20;
    EXPECT_EQ(px(x, cell(0, 0).top() + 3), ole(grid.BackColorEvenRows()));
    EXPECT_EQ(px(x, cell(1, 0).top() + 3), ole(grid.BackColor()));
    EXPECT_EQ(px(x, cell(2, 0).top() + 3), ole(grid.BackColorSel()));
    EXPECT_EQ(px(x, cell(3, 0).top() + 3), ole(grid.BackColor()));

    grid.SetBackColorEvenRowsEnabled(false);
    EXPECT_EQ(px(x, cell(0, 0).top() + 3), ole(grid.BackColor()));
}

TEST_F(GridPaint, AlphaBlendedSelectionMixesWithTheCell)
{
    grid.SetBackColorSel(OleColor::Rgb(0, 0, 255));
    grid.SetBackColor(OleColor::Rgb(255, 255, 255));
    grid.AddColumn(QStringLiteral("A"), 3000);
    grid.AddItem(QString());
    grid.AddItem(QString());
    grid.SetBackColorEvenRowsEnabled(false);
    grid.SetAlphaBlendSelection(true);
    grid.SetRedraw(true);
    grid.RowColSet(1, 0);
    grid.Refresh();
    // Cells in the grid's back colour blend 150 of 255; a cell of its own colour 100 of 255.
    const QColor c = px(cell(1, 0).left() + 20, cell(1, 0).top() + 3);
    EXPECT_EQ(c, QColor(105, 105, 255));
    grid.SetCellBackColor(1, 0, OleColor::Rgb(255, 0, 0));
    grid.Refresh();
    EXPECT_EQ(px(cell(1, 0).left() + 20, cell(1, 0).top() + 3), QColor(155, 0, 100));
}

TEST_F(GridPaint, EmptyGridPaintsItsHeaderAndAsksForRowsFromMinusOne)
{
    QSignalSpy spy(&grid, &ListGrid::RequestRowData);
    grid.AddColumn(QStringLiteral("Video Name"), 1500);
    grid.SetRedraw(true);
    grid.Refresh();
    ASSERT_FALSE(spy.isEmpty());
    EXPECT_EQ(spy.last().at(0).toInt(), -1);
    const QRect header = layout().headerItemRect(0);
    ASSERT_FALSE(header.isNull());
    EXPECT_GT(header.height(), 0);
    const QColor bkg = ole(grid.BackColorBkg());
    EXPECT_NE(px(header.center().x(), header.center().y()), bkg);
    EXPECT_EQ(px(400, 200), bkg) << "below the header the background shows";
    EXPECT_EQ(grid.RowFirstVisible(), -1);
    EXPECT_EQ(grid.RowLastVisible(), -1);
}

TEST_F(GridPaint, EllipsisShortensOverlongTextInsideItsCell)
{
    const QString text = QStringLiteral("An overlong video name that never fits in a narrow column at all");
    grid.AddColumn(QStringLiteral("A"), 1500);
    grid.AddColumn(QStringLiteral("B"), 1500);
    grid.AddItem(text);
    grid.SetRedraw(true);
    grid.Refresh();
    const QRect c = cell(0, 0);
    const QImage withEllipsis = grid.surface().copy(c);
    grid.SetDisplayEllipsis(false);
    grid.Refresh();
    const QImage clipped = grid.surface().copy(c);
    EXPECT_NE(withEllipsis, clipped) << "the cut text ends differently";
    // Neither spills into the next cell.
    const QRect next = cell(0, 1).adjusted(2, 2, -4, -4);
    EXPECT_EQ(count(next, ole(grid.ForeColor())), 0);
}

TEST_F(GridPaint, OnlyRowsInViewArePlacedAndScrollBarsFollowTheContent)
{
    QSignalSpy spy(&grid, &ListGrid::RequestRowData);
    grid.AddColumn(QStringLiteral("A"), 3000);
    grid.SetRedraw(true);
    grid.Refresh();
    EXPECT_FALSE(grid.verticalScrollBar()->isVisible());
    grid.SetRedraw(false);
    for (int i = 0; i < 1000; ++i)
        grid.AddItem(QString::number(i));
    grid.SetRedraw(true);
    grid.Refresh();
    EXPECT_FALSE(grid.verticalScrollBar()->isHidden());
    EXPECT_TRUE(grid.horizontalScrollBar()->isHidden());
    EXPECT_EQ(grid.RowFirstVisible(), 0);
    const int inView = grid.RowLastVisible() + 1;
    EXPECT_GT(inView, 3);
    EXPECT_LT(inView, 30);
    EXPECT_EQ(static_cast<int>(layout().rows().size()), inView);
    spy.clear();
    grid.Refresh();
    EXPECT_TRUE(spy.isEmpty()) << "no request while rows remain below the view";

    // The last page starts where the remaining rows just fit under the header.
    QScrollBar* bar = grid.verticalScrollBar();
    const int rowHeight = layout().rows().front().height;
    const int fit = (layout().rowsBottom() - layout().rowsTop()) / rowHeight;
    EXPECT_EQ(bar->maximum(), 1000 - fit);
    bar->setValue(bar->maximum());
    EXPECT_EQ(grid.RowFirstVisible(), 1000 - fit);
    EXPECT_EQ(grid.RowLastVisible(), 999);
    ASSERT_FALSE(spy.isEmpty());
    EXPECT_EQ(spy.last().at(0).toInt(), 999);

    grid.AddColumn(QStringLiteral("Wide"), 20000);
    grid.Refresh();
    EXPECT_FALSE(grid.horizontalScrollBar()->isHidden());
}

TEST_F(GridPaint, ScrollingToARowBringsItIntoView)
{
    grid.AddColumn(QStringLiteral("A"), 3000);
    grid.SetRedraw(false);
    for (int i = 0; i < 200; ++i)
        grid.AddItem(QString::number(i));
    grid.SetRedraw(true);
    grid.RowColSet(150, 0);
    grid.Refresh();
    EXPECT_LE(grid.RowFirstVisible(), 150);
    EXPECT_GE(grid.RowLastVisible(), 150);
    EXPECT_FALSE(layout().cellRect(150, 0).isNull());
}

TEST_F(GridPaint, FocusRectangleOutlinesTheCurrentCell)
{
    grid.AddColumn(QStringLiteral("A"), 1500);
    grid.AddColumn(QStringLiteral("B"), 1500);
    grid.AddItem(QStringLiteral("\t"));
    grid.AddItem(QStringLiteral("\t"));
    grid.SetFocusRectMode(2);
    grid.SetFocusRectStyle(1);
    grid.SetFocusRectColor(OleColor::Rgb(254, 255, 150));
    grid.SetRedraw(true);
    grid.RowColSet(1, 1);
    grid.Refresh();
    const QRect c = cell(1, 1);
    const QColor focus(254, 255, 150);
    EXPECT_EQ(px(c.left(), c.top() + 10), focus);
    EXPECT_EQ(px(c.left() + 2, c.top() + 10), focus);
    EXPECT_NE(px(c.left() + 3, c.top() + 10), focus) << "three pixels wide";
    EXPECT_EQ(px(c.right(), c.bottom()), focus);
    EXPECT_EQ(count(cell(1, 0), focus), 0);
}

TEST_F(GridPaint, PicturesKeepTheirAspectAndCentre)
{
    grid.SetMinRowHeight(1400);
    grid.AddColumn(QStringLiteral("Picture"), 3000, 4, 0, {}, {}, 5);
    grid.AddItem(QString());
    grid.CellPicture(twoColourPicture(160, 90), 0, 0);
    grid.SetRedraw(true);
    grid.Refresh();
    const QRect c = cell(0, 0);
    // A wide area: the picture takes the area's height (row height - 2 x offset) and keeps 16:9.
    const int h = c.height() - 2 * grid.MinVerticalOffset();
    const int w = static_cast<int>(std::lround(160.0 * h / 90));
    const int left = c.left() + (c.width() - w) / 2;
    const int y = c.top() + c.height() / 2;
    EXPECT_EQ(px(left + 2, y), QColor(Qt::red));
    EXPECT_EQ(px(left + w - 3, y), QColor(Qt::blue));
    EXPECT_NE(px(left - 2, y), QColor(Qt::red));
    EXPECT_NE(px(left + w + 1, y), QColor(Qt::blue));
}

TEST_F(GridPaint, HeaderStyleSevenUsesTheThemeGradient)
{
    grid.SetThemeStyle(7);
    grid.SetThemeColor(0);
    grid.AddColumn(QStringLiteral("A"), 1500);
    grid.SetRedraw(true);
    grid.Refresh();
    const QRect item = layout().headerItemRect(0);
    const int x = item.left() + 10;
    EXPECT_EQ(px(x, item.top()), QColor(203, 225, 252));
    EXPECT_EQ(px(x, item.bottom()), QColor(85, 125, 184)) << "a bottom line 40 darker than the second colour";
    EXPECT_NE(px(x, item.top() + item.height() / 2), QColor(203, 225, 252));

    // Custom colours take effect only with the custom set.
    grid.SetThemeCustomColorFrom(OleColor::Rgb(255, 0, 0));
    grid.Refresh();
    EXPECT_EQ(px(x, item.top()), QColor(203, 225, 252));
    grid.SetThemeColor(5);
    grid.Refresh();
    EXPECT_EQ(px(x, item.top()), QColor(255, 0, 0));
}

TEST_F(GridPaint, TheWindowGridDrawsRowsPicturesAndProgress)
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("themestyle"), 7, 0);
    bag.WriteProperty(QStringLiteral("themecolor"), 0, 6);
    bag.WriteProperty(QStringLiteral("showrownumbers"), true, false);
    bag.WriteProperty(QStringLiteral("focusrectmode"), 2, 0);
    bag.WriteProperty(QStringLiteral("borderstyle"), 0, 1);
    grid.ReadProperties(bag);
    grid.resize(879, 270);
    buildWindowGrid(3);
    grid.SetCellProgressValue(1, 5, 100);
    grid.RowColSet(1, 4);
    grid.Refresh();
    save("window-grid.png");
    EXPECT_EQ(grid.Cols(), 7);
    EXPECT_GT(layout().rowNumberWidth(), 0);
    // Row 1: selected, full progress bar, a picture in the picture column.
    const QRect progress = cell(1, 5);
    EXPECT_GT(count(progress, ole(grid.CellProgressBarColor())), progress.width() * 10);
    EXPECT_GT(count(cell(0, 2), QColor(Qt::red)), 100);
    EXPECT_GT(count(cell(0, 2), QColor(Qt::blue)), 100);
    EXPECT_GT(count(cell(1, 0), ole(grid.BackColorSel())), cell(1, 0).width() * 20);
}

TEST(GridLayoutMath, HeaderHeightByLinesAndSize)
{
    EXPECT_EQ(ListGridLayout::HeaderHeight(false, false, 1, 13, 20), 20);
    EXPECT_EQ(ListGridLayout::HeaderHeight(true, false, 1, 13, 0), 26);
    EXPECT_EQ(ListGridLayout::HeaderHeight(true, false, 2, 13, 20), 59);
    EXPECT_EQ(ListGridLayout::HeaderHeight(true, true, 1, 13, 0), 17); // 4.33 + 13, rounded
    EXPECT_EQ(ListGridLayout::HeaderHeight(true, true, 3, 13, 0), 26);
    // A negative count draws no extra lines instead of a header above the grid.
    EXPECT_EQ(ListGridLayout::HeaderHeight(true, false, -23344, 13, 0), 13);
    EXPECT_EQ(ListGridLayout::HeaderHeight(true, true, -3, 13, 20), 33);
}

TEST(GridLayoutMath, TextFittingBreaksAfterNonLettersAndEndsInDots)
{
    const QFont font;
    const QFontMetrics fm(font);
    const QString text = QStringLiteral("alpha beta gamma delta epsilon");
    const int width = fm.horizontalAdvance(QStringLiteral("alpha beta"));
    const QString all = ListGridLayout::FitText(text, font, width, -1);
    const QStringList lines = all.split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.join(QLatin1Char(' ')), text) << "no word is lost without a limit";
    for (const QString& line : lines)
        EXPECT_EQ(line, line.trimmed());

    const QString two = ListGridLayout::FitText(text, font, width, 2);
    EXPECT_EQ(two.count(QStringLiteral("\r\n")), 1);
    EXPECT_TRUE(two.endsWith(QStringLiteral("..."))) << two.toStdString();
    EXPECT_TRUE(two.startsWith(lines.front()));

    EXPECT_EQ(ListGridLayout::FitText(QStringLiteral("  short\r\ntext  "), font, 1000, 3),
              QStringLiteral("short text"));
}

TEST_F(GridPaint, HitTestingFollowsWhatIsDrawn)
{
    grid.SetRowCheckBoxes(true);
    grid.SetCaption(QStringLiteral("Downloads"));
    grid.AddColumn(QStringLiteral("A"), 1500);
    grid.AddColumn(QStringLiteral("B"), 3000);
    grid.SetRedraw(false);
    for (int i = 0; i < 40; ++i)
        grid.AddItem(QStringLiteral("a\tb"));
    grid.SetRedraw(true);
    grid.Refresh();
    const ListGridLayout& l = layout();
    EXPECT_GT(l.metrics().captionHeight, 0);
    EXPECT_TRUE(l.inCaption(l.client().top() + 1));
    const QRect header = l.headerItemRect(1);
    EXPECT_TRUE(l.inHeader(header.center().y()));
    EXPECT_EQ(l.rowAt(header.center().y()), -1);
    EXPECT_EQ(l.colPosAt(header.center().x()), 1);

    const QRect c = cell(2, 1);
    EXPECT_EQ(c.width(), 200);
    EXPECT_EQ(l.rowAt(c.top()), 2);
    EXPECT_EQ(l.rowAt(c.bottom()), 2);
    EXPECT_EQ(l.colPosAt(c.left()), 1);
    EXPECT_EQ(l.colPosAt(c.right() + 1), -1) << "right of the last column";
    EXPECT_EQ(l.colPosAt(l.cellsLeft() - 1), -1) << "the check-box column is no cell";
    const QRect box = l.rowCheckBoxRect(2);
    ASSERT_FALSE(box.isNull());
    EXPECT_LT(box.right(), l.cellsLeft());
    EXPECT_EQ(l.rowAt(box.center().y()), 2);

    grid.verticalScrollBar()->setValue(10);
    EXPECT_EQ(grid.RowFirstVisible(), 10);
    EXPECT_EQ(l.rowAt(l.rowsTop()), 10);
    EXPECT_TRUE(l.cellRect(2, 1).isNull()) << "scrolled out of view";
}

TEST_F(GridPaint, HeadingsBreakIntoTheirLinesAndRowNumbersCount)
{
    grid.SetColumnHeaderLines(2);
    grid.SetShowRowNumbers(true);
    grid.AddColumn(QStringLiteral("A heading long enough to need two lines"), 1500);
    grid.AddItem(QStringLiteral("x"));
    grid.SetRedraw(true);
    grid.Refresh();
    const int t = QFontMetrics(grid.FontHeader()).height();
    EXPECT_EQ(layout().metrics().headerHeight, 3 * t);
    const QRect item = layout().headerItemRect(0);
    // Ink in the upper and the lower half of the item: two lines.
    auto inkRows = [&](int top, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = item.left() + 3; x < item.right() - 3; ++x)
                n += px(x, y) == ole(grid.ForeColorHdr()) ? 1 : 0;
        return n;
    };
    EXPECT_GT(inkRows(item.top(), item.center().y()), 0);
    EXPECT_GT(inkRows(item.center().y(), item.bottom()), 0);
    EXPECT_GT(layout().rowNumberWidth(), 0);
    EXPECT_EQ(layout().cellsLeft(), layout().client().left() + layout().rowNumberWidth() + 3);
}

TEST_F(GridPaint, HeadersShowHotPressedAndSortedAsThePointerMakesThem)
{
    grid.SetThemeStyle(7);
    grid.SetThemeColor(0);
    grid.SetAllowColumnSort(true);
    grid.AddColumn(QStringLiteral("A"), 1500);
    grid.AddColumn(QStringLiteral("B"), 1500);
    grid.AddItem(QStringLiteral("2\tx"));
    grid.AddItem(QStringLiteral("1\ty"));
    grid.SetRedraw(true);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.Refresh();
    const QRect a = layout().headerItemRect(0);
    const QRect b = layout().headerItemRect(1);
    const QColor normal(203, 225, 252);
    EXPECT_EQ(px(a.left() + 10, a.top()), normal);

    QTest::mouseMove(&grid, a.center());
    EXPECT_EQ(px(a.left() + 10, a.top()), QColor(255, 244, 204)) << "hot under the pointer";
    QTest::mouseMove(&grid, b.center());
    EXPECT_EQ(px(a.left() + 10, a.top()), normal) << "no longer hot";
    QTest::mousePress(&grid, Qt::LeftButton, Qt::NoModifier, b.center());
    EXPECT_EQ(px(b.left() + 10, b.top()), QColor(254, 145, 78)) << "pressed while held";

    const QColor arrow = ole(OleColor::ButtonShadow);
    const auto arrowOf = [&](const QRect& item) {
        return count(QRect(item.right() - 12, item.top() + 6, 10, 5), arrow);
    };
    EXPECT_EQ(arrowOf(b), 0);
    QTest::mouseRelease(&grid, Qt::LeftButton, Qt::NoModifier, b.center());
    EXPECT_EQ(grid.CellText(0, 1), QStringLiteral("x")) << "sorted by B";
    EXPECT_GT(arrowOf(b), 10) << "the sorted column shows its arrow";
    EXPECT_EQ(arrowOf(a), 0);

    grid.SetAllowColumnHover(false);
    QTest::mouseMove(&grid, a.center());
    EXPECT_EQ(px(a.left() + 10, a.top()), normal) << "no hover without hot tracking";
}

TEST_F(GridPaint, TotalsLineButtonsAndCheckBoxesDraw)
{
    grid.SetTotalsLineShow(true);
    grid.SetThemeStyle(7);
    grid.AddColumn(QStringLiteral("Size"), 1500, 6, 1);
    grid.AddColumn(QStringLiteral("Go"), 1500, 5, 6);
    grid.AddColumn(QStringLiteral("Done"), 1500, 5, 3);
    grid.SetRedraw(false);
    for (int i = 0; i < 30; ++i)
        grid.AddItem(QStringLiteral("%1\tRun\t%2").arg(i).arg(i % 2));
    grid.SetRedraw(true);
    grid.Refresh();
    const QRect strip = layout().totalsRect();
    ASSERT_FALSE(strip.isNull());
    EXPECT_EQ(strip.height(), static_cast<int>(grid.RowHeight(0))) << "a row of the default height";
    EXPECT_EQ(strip.top() + strip.height(), layout().client().bottom() + 1);
    EXPECT_LT(layout().rows().back().top, strip.top()) << "rows stop above the totals line";
    // The column total (435) is written in the totals line under its column.
    const QRect under(cell(0, 0).left(), strip.top(), cell(0, 0).width(), strip.height());
    EXPECT_GT(count(under, ole(grid.ForeColorHdr())), 10);

    const QRect button = cell(1, 1);
    const QImage up = grid.surface().copy(button);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(button.center()),
                      grid.mapToGlobal(QPointF(button.center())), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&grid, &press);
    EXPECT_NE(grid.surface().copy(button), up) << "a held button cell looks pressed";
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(button.center()),
                        grid.mapToGlobal(QPointF(button.center())), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&grid, &release);
    EXPECT_EQ(grid.surface().copy(button), up) << "and up again when released";

    grid.SetBackColorEvenRowsEnabled(false);
    EXPECT_EQ(grid.surface().copy(cell(0, 2)), grid.surface().copy(cell(2, 2)));
    const QImage unchecked = grid.surface().copy(cell(0, 2));
    const QImage checked = grid.surface().copy(cell(1, 2));
    EXPECT_NE(unchecked, checked);
    EXPECT_EQ(grid.CellChecked(1, 2), true);
}

TEST_F(GridPaint, RedrawTurnedOffTwiceStillErasesRowsRemovedMeanwhile)
{
    grid.AddColumn(QStringLiteral("Name"), 3000);
    for (int i = 0; i < 5; ++i)
        grid.AddItem(QStringLiteral("row %1").arg(i));
    grid.SetRedraw(true);
    grid.Refresh();
    grid.SetRedraw(false);
    grid.RemoveItem(0);
    grid.RemoveItem(0);
    grid.SetRedraw(false);
    grid.SetRedraw(true);
    const QImage shown = grid.surface().copy();
    grid.Refresh();
    EXPECT_EQ(shown, grid.surface()) << "the picture after Redraw is the one a full refresh gives";
}
