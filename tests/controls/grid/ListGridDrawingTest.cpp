// What the surface shows for the totals line, image lists, group headers and wrapped rows.
#include "controls/common/Colors.h"
#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridLayout.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>

#include <gtest/gtest.h>

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
