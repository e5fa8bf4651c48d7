#include "controls/progressbar/ProgressBarLayout.h"
#include "controls/progressbar/BarPictures.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace brenlow;

TEST(ProgressBarLayout, DefaultBarOf881By17)
{
    const auto l = ProgressBarLayout::Compute(QSize(881, 17), QSize(8, 10), 1, 0, 2);
    EXPECT_TRUE(l.valid);
    EXPECT_EQ(l.tileLength, 8);
    EXPECT_EQ(l.tileThickness, 11);
    EXPECT_EQ(l.cross, 3);
    EXPECT_EQ(l.step, 10);
    EXPECT_EQ(l.trackStart, 3);
    EXPECT_EQ(l.trackEnd, 877);
    EXPECT_EQ(l.trackLength, 875);
    EXPECT_EQ(l.fillTotal, 87 * 8 + 5);
}

TEST(ProgressBarLayout, DirectionsAndStyles)
{
    const auto right = ProgressBarLayout::Compute(QSize(881, 17), QSize(8, 10), 0, 0, 2);
    EXPECT_TRUE(right.reversed);
    EXPECT_EQ(right.trackStart, 877);
    EXPECT_EQ(right.trackEnd, 3);

    const auto up = ProgressBarLayout::Compute(QSize(20, 200), QSize(10, 8), 2, 0, 2);
    EXPECT_FALSE(up.horizontal);
    EXPECT_EQ(up.tileLength, 8);
    EXPECT_EQ(up.tileThickness, 14);
    EXPECT_EQ(up.trackStart, 197);
    EXPECT_EQ(up.trackEnd, 3);
    EXPECT_EQ(up.trackLength, 195);
    EXPECT_EQ(up.fillTotal, 19 * 8 + 5);

    const auto down = ProgressBarLayout::Compute(QSize(20, 200), QSize(10, 8), 3, 1, 2);
    EXPECT_EQ(down.trackStart, 3);
    EXPECT_EQ(down.trackEnd, 197);
    EXPECT_EQ(down.fillTotal, 195) << "the block style fills the whole track";
}

TEST(ProgressBarLayout, DegenerateInputsStaySafe)
{
    EXPECT_FALSE(ProgressBarLayout::Compute(QSize(881, 17), QSize(), 1, 0, 2).valid);
    const auto tiny = ProgressBarLayout::Compute(QSize(3, 3), QSize(8, 10), 1, 0, 2);
    EXPECT_EQ(tiny.trackLength, 0);
    EXPECT_EQ(tiny.tileThickness, 0);
    EXPECT_EQ(tiny.fillTotal, 0);
    const auto overlapping = ProgressBarLayout::Compute(QSize(100, 17), QSize(8, 10), 1, 0, -20);
    EXPECT_EQ(overlapping.step, 1);
}

TEST(ProgressBarLayout, ValuePositionRoundsHalvesToEven)
{
    EXPECT_EQ(ValuePosition(50, 0, 100, 701), 350); // 350.5
    EXPECT_EQ(ValuePosition(20, 0, 100, 701), 140); // 140.2
    EXPECT_EQ(ValuePosition(30, 0, 100, 701), 210); // 210.3
    EXPECT_EQ(ValuePosition(1, 0, 4, 10), 2);       // 2.5
    EXPECT_EQ(ValuePosition(3, 0, 4, 10), 8);       // 7.5
    EXPECT_EQ(ValuePosition(-5, 0, 100, 701), 0);
    EXPECT_EQ(ValuePosition(1000000, 0, 100, 701), 701);
    EXPECT_EQ(ValuePosition(5, 5, 5, 701), 0) << "an empty range must not divide by zero";
    EXPECT_EQ(ValuePosition(INT32_MAX, INT32_MIN, INT32_MAX, 701), 701);
}

TEST(ProgressBarLayout, FillReachEndsWhereTheFirstSegmentThatIsNotFullEnds)
{
    const auto l = ProgressBarLayout::Compute(QSize(881, 17), QSize(8, 10), 1, 0, 2);
    EXPECT_EQ(l.FillReach(0, 0, 100), 0);
    EXPECT_EQ(l.FillReach(-7, 0, 100), 0);
    EXPECT_EQ(l.FillReach(20, 0, 100), 178) << "position 140, yet segment 17 is full at 20";
    EXPECT_EQ(l.FillReach(50, 0, 100), 438) << "segment 43 is whole";
    EXPECT_EQ(l.FillReach(10, 0, 1000), 7) << "position 7 inside segment 0";
    EXPECT_GE(l.FillReach(100, 0, 100), 875) << "the whole track";
    EXPECT_GE(l.FillReach(INT32_MAX, INT32_MIN, INT32_MAX), 875);
    EXPECT_EQ(l.FillReach(INT32_MIN + 1, INT32_MIN, INT32_MAX), 0);
}

TEST(ProgressBarLayout, ShadeColor)
{
    EXPECT_EQ(ShadeColor(0xFFFFFF, -60, true), 0xB0C3C3u) << "RGB 195, 195, 176";
    EXPECT_EQ(ShadeColor(0x102030, 40, false), 0x243444u);
    EXPECT_EQ(ShadeColor(0xF0F0F0, 60, false), 0xFFFFFFu);
    EXPECT_EQ(ShadeColor(0x0A0A0A, -60, true), 0x070000u) << "blue moves in proportion";
    EXPECT_EQ(ShadeColor(0x808080, 0, true), 0x808080u);
    EXPECT_EQ(ShadeColor(0x000000, 100000, true), 0x00FFFFu);
}

TEST(ProgressBarLayout, RoundedRegionCutsTheCorners)
{
    const QRegion r = RoundedBarRegion(881, 17);
    EXPECT_FALSE(r.contains(QPoint(0, 0)));
    EXPECT_FALSE(r.contains(QPoint(880, 0)));
    EXPECT_FALSE(r.contains(QPoint(0, 16)));
    EXPECT_FALSE(r.contains(QPoint(880, 16)));
    EXPECT_TRUE(r.contains(QPoint(4, 0)));
    EXPECT_TRUE(r.contains(QPoint(0, 8)));
    EXPECT_TRUE(r.contains(QPoint(880, 8)));
    EXPECT_TRUE(r.contains(QPoint(440, 16)));
    EXPECT_FALSE(r.contains(QPoint(440, 17)));
    EXPECT_TRUE(r.boundingRect() == QRect(0, 0, 881, 17));
}

// The built-in pictures: sixteen 24-bit bitmaps, the horizontal with the row colours top to bottom,
// the vertical the same turned a quarter turn.
TEST(BarPictures, SixteenSetsInBothOrientations)
{
    const QRgb set2Top = qRgb(0x40, 0x98, 0xFF);
    const QRgb set2Row6 = qRgb(0x00, 0x70, 0xEF);
    for (int set = 1; set <= 8; ++set) {
        const QImage h = LoadBarResource(QStringLiteral("PRG") + QString::number(set) + QLatin1Char('0'));
        const QImage v = LoadBarResource(QStringLiteral("prg") + QString::number(set) + QLatin1Char('1'));
        ASSERT_EQ(h.size(), QSize(8, 10)) << set;
        ASSERT_EQ(v.size(), QSize(10, 8)) << set;
        for (int row = 0; row < 10; ++row)
            for (int x = 0; x < 8; ++x) {
                EXPECT_EQ(h.pixel(x, row), h.pixel(0, row));
                EXPECT_EQ(v.pixel(9 - row, x), h.pixel(0, row)) << "set " << set << " row " << row;
            }
        QFile file(QStringLiteral(":/progressbar/PRG%1%2.bmp").arg(set).arg(1));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        ASSERT_GE(bytes.size(), 30);
        EXPECT_EQ(bytes[28], 24) << "24 bits per pixel";
    }
    const QImage blue = LoadBarResource(QStringLiteral("pRg20"));
    EXPECT_EQ(blue.pixel(3, 0), set2Top);
    EXPECT_EQ(blue.pixel(3, 5), set2Row6);
    EXPECT_TRUE(LoadBarResource(QStringLiteral("PRG90")).isNull());
    EXPECT_TRUE(LoadBarResource(QStringLiteral("PRG2")).isNull());
}
