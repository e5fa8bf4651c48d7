// What the surface shows for the totals line, image lists, group headers and wrapped rows.
#include "controls/common/Colors.h"
#include "controls/grid/GridImageList.h"
#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridLayout.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

#include <gtest/gtest.h>

#include <functional>

using namespace brenlow;

namespace {

class GridDrawing : public ::testing::Test
{
protected:
    ListGrid grid;
    void SetUp() override { grid.resize(600, 300); }

    [[nodiscard]] QColor px(int x, int y) const { return grid.surface().pixelColor(x, y); }
    [[nodiscard]] QRect cell(int row, int pos) const { return grid.layout().cellRect(row, pos); }

    /** Left and right ends of the pixels in a rectangle that are close to a colour; (-1, -1) when none. */
    [[nodiscard]] std::pair<int, int> extent(const QRect& r, const QColor& c, int tolerance = 60) const
    {
        int left = -1, right = -1;
        for (int x = r.left(); x <= r.right(); ++x)
            for (int y = r.top(); y <= r.bottom(); ++y) {
                const QColor p = px(x, y);
                if (std::abs(p.red() - c.red()) + std::abs(p.green() - c.green()) +
                        std::abs(p.blue() - c.blue()) <=
                    tolerance) {
                    if (left < 0)
                        left = x;
                    right = x;
                    break;
                }
            }
        return {left, right};
    }
    [[nodiscard]] int count(const QRect& r, const QColor& c) const
    {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += px(x, y) == c ? 1 : 0;
        return n;
    }
};

} // namespace

TEST_F(GridDrawing, TotalsLineShowsTheExportedFigureAfterItsCaption)
{
    grid.SetThemeStyle(3);
    grid.SetForeColorHdr(0x0000FFu); // pure red, so the text is easy to find
    grid.AddColumn(QStringLiteral("N"), 3000, 4, 1);
    grid.AddColumn(QStringLiteral("T"), 3000);
    for (int i = 0; i < 3; ++i)
        grid.AddItem(QStringLiteral("1\tx"));
    grid.SetTotalsLineShow(true);
    grid.SetTotalsLineCaption(0, QStringLiteral("Avg"));
    grid.SetTotalsLineColAvg(0, true);
    grid.SetTotalsLineCaption(1, QStringLiteral("end"));
    grid.SetRedraw(true);
    grid.Refresh();

    const QRect strip = grid.layout().totalsRect();
    ASSERT_FALSE(strip.isNull());
    QFont bold = grid.Font();
    bold.setBold(true);
    const QFontMetrics fm(bold);
    const QColor red(255, 0, 0);
    const auto* numeric = grid.layout().colSpan(0);
    ASSERT_NE(numeric, nullptr);
    const QRect numericCell(numeric->left, strip.top() + 2, numeric->width - 2, strip.height() - 4);
    const auto [left, right] = extent(numericCell, red);
    ASSERT_GE(left, 0) << "the numeric column's total is drawn";
    // The average is taken over the row count less one, as the export writes it: 3 / 2.
    const QString expected = QStringLiteral("Avg ") + QLocale().toString(1.5);
    EXPECT_NEAR(right - left + 1, fm.horizontalAdvance(expected), 3) << "the caption, a space and the figure";
    EXPECT_GT(right - left + 1, fm.horizontalAdvance(QStringLiteral("Avg 1")) + 1);

    const auto* text = grid.layout().colSpan(1);
    const QRect textCell(text->left, strip.top() + 2, text->width - 2, strip.height() - 4);
    const auto [tl, tr] = extent(textCell, red);
    EXPECT_NEAR(tr - tl + 1, fm.horizontalAdvance(QStringLiteral("end")), 3)
        << "other columns show the caption";
}

namespace {

QImage solid(const QColor& c, int size = 8)
{
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

class GridImages : public GridDrawing
{
protected:
    void SetUp() override
    {
        GridDrawing::SetUp();
        list.Add(solid(Qt::red), QStringLiteral("red"));
        list.Add(solid(Qt::blue), QStringLiteral("blue"));
        grid.SetBackColorEvenRowsEnabled(false);
        grid.AddColumn(QStringLiteral("A"), 1500, 4, 0, {}, {}, 4);
        grid.AddColumn(QStringLiteral("B"), 1500, 4, 0, {}, {}, 4);
        for (int i = 0; i < 4; ++i)
            grid.AddItem(QStringLiteral("text\tmore"));
        grid.SetImageList(&list);
        grid.SetRedraw(true);
    }
    /** The strip between the check-box margin and the cells of a row. */
    [[nodiscard]] QRect rowImageStrip(int row) const
    {
        const QRect c = cell(row, 0);
        return QRect(c.left() - grid.layout().metrics().rowImageWidth, c.top(),
                     grid.layout().metrics().rowImageWidth, c.height());
    }
    GridImageList list;
};

} // namespace

TEST_F(GridImages, RowImagesByIndexOrKeyGetAColumnOfTheirOwn)
{
    grid.Refresh();
    const int leftWithout = cell(0, 0).left();
    EXPECT_EQ(grid.layout().metrics().rowImageWidth, 0) << "no row has an image yet";

    grid.SetRowImage(0, 1);
    grid.SetRowImage(1, QStringLiteral("blue"));
    grid.SetRowImage(2, QStringLiteral("no such key"));
    EXPECT_EQ(grid.RowImage(0), QVariant(1));
    EXPECT_EQ(grid.RowImage(1), QVariant(QStringLiteral("blue"))) << "an image given by key reads as its key";
    EXPECT_EQ(grid.RowImage(2), QVariant(0)) << "an unknown key stores none";

    EXPECT_EQ(grid.layout().metrics().rowImageWidth, 8 + 2);
    EXPECT_EQ(cell(0, 0).left(), leftWithout + 10) << "the cells move right by the image column";
    EXPECT_EQ(count(rowImageStrip(0), Qt::red), 64);
    EXPECT_EQ(count(rowImageStrip(1), Qt::blue), 64);
    EXPECT_EQ(count(rowImageStrip(2), Qt::red) + count(rowImageStrip(2), Qt::blue), 0);
}

TEST_F(GridImages, CenterRowImagePlacesTheImageInTheMiddleOrAtTheTop)
{
    grid.SetMinRowHeight(600); // 40 pixels
    grid.SetRowImage(0, 1);
    grid.Refresh();
    const QRect strip = rowImageStrip(0);
    auto firstRedRow = [&] {
        for (int y = strip.top(); y <= strip.bottom(); ++y)
            if (count(QRect(strip.left(), y, strip.width(), 1), Qt::red) > 0)
                return y - strip.top();
        return -1;
    };
    EXPECT_EQ(firstRedRow(), (strip.height() - 8) / 2);
    grid.SetCenterRowImage(false);
    EXPECT_EQ(firstRedRow(), grid.MinVerticalOffset());
}

TEST_F(GridImages, CellImagesByKeySitBesideTheTextAndTakeTheSelectionWhenAsked)
{
    grid.SetCellImage(1, 1, QStringLiteral("red"));
    EXPECT_EQ(grid.CellImage(1, 1), QVariant(QStringLiteral("red")));
    grid.SetCellImage(2, 1, 2);
    grid.Refresh();
    const QRect withImage = cell(1, 1);
    EXPECT_EQ(count(withImage, Qt::red), 64);
    EXPECT_EQ(count(cell(2, 1), Qt::blue), 64);
    // The image sits at the left (alignment 4), the text after it.
    const QColor text = OleColor::ToQColor(grid.ForeColor());
    const auto [imageLeft, imageRight] = extent(withImage, Qt::red, 0);
    const auto [textLeft, textRight] =
        extent(QRect(imageRight + 1, withImage.top(), withImage.right() - imageRight, withImage.height()),
               text, 200);
    EXPECT_EQ(imageLeft, withImage.left() + 2);
    EXPECT_GE(textLeft, imageRight + 3) << "the text starts after the image";

    // Selected rows: the image as it is, or tinted by the selection colour.
    grid.RowColSet(1, 0);
    ASSERT_TRUE(grid.RowSelected(1));
    EXPECT_EQ(count(withImage, Qt::red), 64);
    grid.SetApplySelectionToImages(true);
    EXPECT_EQ(count(withImage, Qt::red), 0);
    const QColor tinted = px(imageLeft + 3, withImage.top() + withImage.height() / 2);
    EXPECT_GT(tinted.red(), 60) << "still showing the image under the tint";
    EXPECT_GT(tinted.blue() + tinted.green(), 40) << "tinted by the selection colour";
}

TEST_F(GridDrawing, GroupHeaderRowsSpanTheRowInBoldHeaderText)
{
    grid.SetBackColorEvenRowsEnabled(false);
    grid.SetForeColorHdr(0x0000FFu); // red
    grid.SetThemeStyle(3);
    grid.AddColumn(QStringLiteral("A"), 900);
    grid.AddColumn(QStringLiteral("B"), 1500);
    grid.AddColumn(QStringLiteral("C"), 1500);
    grid.AddItem(QStringLiteral("Downloads finished this week, all of them\tb\tc"));
    grid.AddItem(QStringLiteral("plain\tb\tc"));
    grid.SetRowGroupHeader(0, true);
    grid.SetRedraw(true);
    grid.Refresh();

    const QRect header = cell(0, 0), plain = cell(1, 0);
    const QColor line = OleColor::ToQColor(grid.GridColor());
    const int boundary = header.right(); // the vertical grid line's column
    EXPECT_EQ(px(boundary, plain.center().y()), line) << "an ordinary row shows the column line";
    EXPECT_NE(px(boundary, header.center().y()), line) << "a group header spans the columns";

    const QRect wholeRow(header.left(), header.top() + 1, cell(0, 2).right() - header.left(),
                         header.height() - 2);
    const auto [left, right] = extent(wholeRow, QColor(255, 0, 0));
    ASSERT_GE(left, 0) << "the text is drawn in the header colour";
    EXPECT_GT(right, header.right() + 20) << "and runs on past the first column";
    QFont bold = grid.Font();
    bold.setBold(true);
    EXPECT_NEAR(right - left + 1,
                std::min(QFontMetrics(bold).horizontalAdvance(grid.CellText(0, 0)), wholeRow.width() - 8), 4)
        << "in bold";
}

namespace {

/** Remembers the largest header and button pieces the grid asks its style to draw. */
class SizeRecordingStyle final : public QProxyStyle
{
public:
    SizeRecordingStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        if (element == CE_HeaderSection || element == CE_PushButtonBevel)
            largest = std::max({largest, option->rect.width(), option->rect.height()});
        QProxyStyle::drawControl(element, option, painter, widget);
    }
    mutable int largest = 0;
};

/** A grid whose stored sizes make a strip in the look of a header far larger than the view. */
struct OversizedStrip
{
    const char* name;
    int themeStyle;
    std::function<void(ListGrid&)> setUp;
};

class GridOversizedStrips : public ::testing::TestWithParam<OversizedStrip>
{
};

} // namespace

TEST_P(GridOversizedStrips, AreDrawnOverTheViewOnly)
{
    const OversizedStrip& c = GetParam();
    SizeRecordingStyle* style = new SizeRecordingStyle;
    ListGrid grid;
    grid.setStyle(style);
    grid.resize(400, 300);
    grid.SetThemeStyle(c.themeStyle);
    grid.AddColumn(QStringLiteral("Name"), 1500);
    grid.AddColumn(QStringLiteral("Size"), 1500, 4, ColumnType::Numeric);
    for (int i = 0; i < 3; ++i)
        grid.AddItem(QStringLiteral("row %1\t%1").arg(i));
    c.setUp(grid);
    grid.SetRedraw(true);
    style->largest = 0;
    grid.Refresh();
    EXPECT_GT(style->largest, 0) << "the strip is drawn";
    EXPECT_LE(style->largest, 4 * 400 + 16);
    delete style;
}

INSTANTIATE_TEST_SUITE_P(Strips, GridOversizedStrips,
                         ::testing::Values(OversizedStrip{"GroupHeaderRow", 2,
                                                          [](ListGrid& g) {
                                                              g.SetRowGroupHeader(0, true);
                                                              g.SetRowHeight(0, 4.0e6f);
                                                          }},
                                           OversizedStrip{"TotalsLineOfAHugeOffset", 0,
                                                          [](ListGrid& g) {
                                                              g.SetTotalsLineShow(true);
                                                              g.SetMinVerticalOffset(500000000);
                                                          }},
                                           OversizedStrip{"HeaderOfManyLines", 1,
                                                          [](ListGrid& g) { g.SetColumnHeaderLines(32767); }},
                                           OversizedStrip{"CaptionAndHeaderOfManyLines", 2,
                                                          [](ListGrid& g) {
                                                              g.SetCaption(QStringLiteral("Downloads"));
                                                              g.SetColumnHeaderLines(32767);
                                                          }}),
                         [](const ::testing::TestParamInfo<OversizedStrip>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(GridDrawing, TheDottedFocusRectangleOfAHugeCellShowsAtItsVisibleEdges)
{
    grid.AddColumn(QStringLiteral("Wide"), 1.5e8f); // ten million pixels
    grid.AddColumn(QStringLiteral("Next"), 1500);
    for (int i = 0; i < 3; ++i)
        grid.AddItem(QStringLiteral("row %1\tx").arg(i));
    grid.SetFocusRectMode(2);
    grid.SetFocusRectStyle(0);
    grid.SetFocusRectHide(false);
    grid.SetRedraw(true);
    grid.RowColSet(1, 0);
    grid.Refresh();
    const QRect r = cell(1, 0);
    ASSERT_FALSE(r.isNull());
    // The top edge is dotted over the whole width in view: every other pixel changed.
    const QRect view = grid.layout().client();
    int changed = 0;
    const QColor back = px(view.center().x(), r.center().y());
    for (int x = r.left() + 1; x < view.right() - 1; ++x)
        changed += px(x, r.top()) != back ? 1 : 0;
    EXPECT_NEAR(changed, (view.right() - 2 - r.left()) / 2, 2);
}
