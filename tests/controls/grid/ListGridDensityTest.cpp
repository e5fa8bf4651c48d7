#include "controls/common/Colors.h"
#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridLayout.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace brenlow;

// Run once as is and once with QT_SCALE_FACTOR=2: the grid's surface has the screen's density and
// what it draws stays where the layout puts it in the grid's own pixels.
TEST(GridOnDenseScreen, SurfaceHasTheScreensRatioAndTheLayoutsPlaces)
{
    const qreal ratio = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                            ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                            : 1.0;
    ListGrid grid;
    grid.resize(400, 150);
    grid.AddColumn(QStringLiteral("Name"), 1500);
    grid.AddColumn(QStringLiteral("Progress"), 1500, 5, 4);
    grid.AddItem(QStringLiteral("first\t"));
    grid.SetCellProgressValue(0, 1, 100);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.Refresh();
    const QImage& s = grid.surface();
    EXPECT_EQ(grid.devicePixelRatioF(), ratio);
    EXPECT_EQ(s.devicePixelRatio(), ratio);
    EXPECT_EQ(s.size(), (QSizeF(400, 150) * ratio).toSize());

    // The full progress bar: from 2 pixels inside the cell to 2 pixels before its bottom.
    const QRect cell = grid.layout().cellRect(0, 1);
    const QColor bar = OleColor::ToQColor(grid.CellProgressBarColor());
    const QRect inside(cell.left() + 3, cell.top() + 3, cell.width() - 8, cell.height() - 6);
    int wrong = 0;
    for (int y = int(inside.top() * ratio); y < int((inside.bottom() + 1) * ratio); ++y)
        for (int x = int(inside.left() * ratio); x < int((inside.right() + 1) * ratio); ++x)
            wrong += s.pixelColor(x, y) == bar ? 0 : 1;
    // The cell's text is drawn over the bar; all else is the bar.
    EXPECT_LT(wrong, int(inside.width() * inside.height() * ratio * ratio / 4));
    // The border is one pixel of the grid wide at its right edge, ratio pixels on the surface.
    const int mid = int(75 * ratio);
    EXPECT_EQ(s.pixel(s.width() - 1, mid), s.pixel(s.width() - int(ratio), mid));
    EXPECT_NE(s.pixel(s.width() - 1, mid), OleColor::ToQColor(OleColor::ButtonFace).rgb());
    // What reaches the screen is the surface.
    const QImage shown = grid.grab().toImage();
    EXPECT_EQ(shown.size(), s.size());
    EXPECT_EQ(shown.pixel(int((inside.left() + 1) * ratio), int((inside.top() + 1) * ratio)),
              s.pixel(int((inside.left() + 1) * ratio), int((inside.top() + 1) * ratio)));
}
