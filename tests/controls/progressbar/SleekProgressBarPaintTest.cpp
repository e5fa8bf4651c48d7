#include "controls/common/Colors.h"
#include "controls/progressbar/BarPictures.h"
#include "controls/progressbar/SleekProgressBar.h"

#include "support/ScriptedDialogs.h"

#include <QPaintEvent>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <array>
#include <functional>

#include <gtest/gtest.h>

namespace {

const QRgb kBack = qRgb(255, 252, 255);
const QRgb kBorder = qRgb(152, 156, 160);

/** A picture whose columns can be told apart: column x is (10 + x, 20 * row, 200). */
QImage stripedPicture(int width = 8, int height = 10)
{
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y, qRgb(10 + x, 20 * y, 200));
    return img;
}

/** Records what reaches paintEvent, to see that a Value change repaints only its part. */
class RecordingBar : public SleekProgressBar
{
public:
    QRegion painted;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        painted += e->region();
        ++paints;
        SleekProgressBar::paintEvent(e);
    }
};

class ProgressBarPaint : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bar.resize(881, 17);
        bar.Refresh();
        bar.TakeDrawnRegion();
    }

    QRgb px(int x, int y) const { return bar.Surface().pixel(x, y); }

    /** Whether the segment column at x shows the picture (not the background). */
    bool painted(int x) const { return px(x, 8) != kBack; }

    ScopedScriptedDialogs dialogs;
    SleekProgressBar bar;
};

TEST_F(ProgressBarPaint, NewBarShowsBackgroundBorderAndRoundedShape)
{
    EXPECT_EQ(bar.Layout().fillTotal, 701);
    EXPECT_EQ(px(440, 0), kBorder);
    EXPECT_EQ(px(440, 16), kBorder);
    EXPECT_EQ(px(0, 8), kBorder);
    EXPECT_EQ(px(880, 8), kBorder);
    EXPECT_EQ(px(440, 1), kBack);
    for (int x = 1; x < 880; ++x)
        ASSERT_FALSE(painted(x)) << x;
    EXPECT_FALSE(bar.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(bar.mask().contains(QPoint(440, 8)));
}

TEST_F(ProgressBarPaint, GrowingToHalfDrawsSegmentsZeroTo43Whole)
{
    bar.SetValue(50);
    const QImage green = brenlow::LoadBarResource(QStringLiteral("PRG10"));
    QRegion expected;
    for (int i = 0; i <= 43; ++i) {
        const int x0 = 3 + 10 * i;
        expected += QRect(x0, 3, 8, 11);
        for (int x = x0; x < x0 + 8; ++x) {
            ASSERT_EQ(px(x, 3), green.pixel(0, 0)) << x;
            ASSERT_EQ(px(x, 13), green.pixel(0, 9)) << x;
        }
        ASSERT_EQ(px(x0 + 8, 8), kBack);
        ASSERT_EQ(px(x0 + 9, 8), kBack);
    }
    EXPECT_FALSE(painted(443)) << "segment 44 stays empty";
    EXPECT_EQ(px(10, 2), kBack);
    EXPECT_EQ(px(10, 14), kBack);
    EXPECT_EQ(bar.TakeDrawnRegion(), expected) << "only the new segments are drawn";

    // Back to 20 erases in the background colour from where a full repaint at 20 ends: segment 17
    // (F = 14400 \ 701 = 20) is whole there, so from x 181 to the track end.
    bar.SetValue(20);
    EXPECT_EQ(bar.TakeDrawnRegion(), QRegion(181, 3, 877 - 181 + 1, 11));
    EXPECT_TRUE(painted(180));
    EXPECT_FALSE(painted(181));
    EXPECT_TRUE(painted(173));
    for (int x = 181; x <= 877; ++x)
        ASSERT_FALSE(painted(x)) << x;
}

TEST_F(ProgressBarPaint, ValueChangeTouchesOnlyThePixelsOfTheDifference)
{
    bar.SetValue(30);
    const QImage before = bar.Surface().copy();
    bar.TakeDrawnRegion();
    bar.SetValue(60);
    const QRegion drawn = bar.TakeDrawnRegion();
    const QImage after = bar.Surface();
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 881; ++x)
            if (before.pixel(x, y) != after.pixel(x, y)) {
                ASSERT_TRUE(drawn.contains(QPoint(x, y))) << x << "," << y;
            }
    // It starts after segment 26, the last one 30 filled, and the result equals a full repaint at 60.
    EXPECT_EQ(drawn.boundingRect().left(), 3 + 10 * 27);
    SleekProgressBar full;
    full.resize(881, 17);
    full.SetValue(60);
    full.Refresh();
    EXPECT_EQ(full.Surface(), after);
}

TEST(ProgressBarScreen, ValueChangeRepaintsOnlyItsPartOnScreen)
{
    RecordingBar bar;
    bar.resize(881, 17);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    QTRY_VERIFY_WITH_TIMEOUT(bar.paints > 0, 30000);
    QCoreApplication::processEvents();
    bar.painted = QRegion();
    bar.paints = 0;
    bar.SetValue(10);
    QTRY_VERIFY_WITH_TIMEOUT(bar.paints > 0, 30000);
    EXPECT_FALSE(bar.painted.isEmpty());
    EXPECT_TRUE(QRect(0, 0, 100, 17).contains(bar.painted.boundingRect()))
        << "a small part, not the whole bar";
}

TEST(ProgressBarScreen, ChangesWhileHiddenShowAtTheFirstPaint)
{
    RecordingBar bar;
    bar.resize(300, 17);
    bar.SetValue(40);
    bar.SetBackColor(0xFFFFFF);
    bar.SetValue(70);
    bar.SetBarColorSet(4);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    QTRY_VERIFY_WITH_TIMEOUT(bar.paints > 0, 30000);
    SleekProgressBar reference;
    reference.resize(300, 17);
    reference.SetBackColor(0xFFFFFF);
    reference.SetBarColorSet(4);
    reference.SetValue(70);
    reference.Refresh();
    const QImage shown = bar.grab().toImage();
    const qreal ratio = bar.devicePixelRatioF();
    for (int x = 1; x < 299; ++x)
        ASSERT_EQ(shown.pixel(int(x * ratio), int(8 * ratio)),
                  reference.Surface().pixel(int(x * ratio), int(8 * ratio)))
            << x;
}

TEST_F(ProgressBarPaint, PartialSegmentAtEitherEnd)
{
    bar.SetMax(1000);
    bar.SetBar_Pic(stripedPicture());
    bar.SetValue(10); // position 7: segment 0 drawn 7 pixels long
    EXPECT_EQ(qRed(px(3, 8)), 10);
    EXPECT_EQ(qRed(px(9, 8)), 16);
    EXPECT_FALSE(painted(10));

    // From the right, the first segment ends 4 pixels from the edge and shows the picture's right part.
    bar.SetBarFillDirection(0);
    EXPECT_FALSE(painted(877));
    EXPECT_EQ(qRed(px(876, 8)), 17);
    EXPECT_EQ(qRed(px(870, 8)), 11);
    EXPECT_FALSE(painted(869));

    bar.SetValue(1000);
    EXPECT_EQ(qRed(px(869, 8)), 10) << "a whole segment begins at start - step + gap";
    EXPECT_TRUE(painted(3)) << "the last segment is cut at the left end of the track";
    EXPECT_EQ(px(2, 8), kBack);
}

TEST_F(ProgressBarPaint, VerticalBarsFillAlongY)
{
    bar.resize(20, 120);
    bar.SetBarColorSet(3);
    bar.SetBarFillDirection(2);
    bar.SetBarColorSet(3);
    ASSERT_EQ(bar.Bar_Pic().size(), QSize(10, 8));
    bar.SetValue(100);
    EXPECT_EQ(bar.Layout().fillTotal, 11 * 8 + 5);
    EXPECT_NE(px(10, 116), kBack) << "bottom segment ends just above the track start";
    EXPECT_EQ(px(10, 117), kBack);
    EXPECT_NE(px(10, 3), kBack);
    EXPECT_EQ(px(2, 60), kBack);
    EXPECT_EQ(px(17, 60), kBack);

    bar.SetBarFillDirection(3);
    EXPECT_NE(px(10, 3), kBack);
    EXPECT_NE(px(10, 117), kBack) << "top to bottom reaches the track end";
    EXPECT_EQ(px(10, 118), kBack);
}

TEST_F(ProgressBarPaint, ColourSetThreeUpwardsLoadsPrg31AndDirectionKeepsIt)
{
    bar.SetBarFillDirection(2);
    bar.SetBarColorSet(3);
    const QImage prg31 = brenlow::LoadBarResource(QStringLiteral("PRG31"));
    EXPECT_EQ(bar.Bar_Pic(), prg31);
    bar.SetBarFillDirection(0);
    EXPECT_EQ(bar.Bar_Pic(), prg31) << "the picture is not reloaded for a direction";
    bar.SetBarColorSet(3);
    EXPECT_EQ(bar.Bar_Pic(), brenlow::LoadBarResource(QStringLiteral("PRG30")));
}

TEST_F(ProgressBarPaint, ColourSetZeroKeepsThePictureWithoutRepaint)
{
    const QImage pic = stripedPicture();
    bar.SetBar_Pic(pic);
    bar.SetValue(40);
    bar.TakeDrawnRegion();
    QSignalSpy changed(&bar, &SleekProgressBar::PropertyChanged);
    bar.SetBarColorSet(0);
    EXPECT_EQ(bar.Bar_Pic(), pic);
    EXPECT_TRUE(bar.TakeDrawnRegion().isEmpty());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), QStringLiteral("BarColorSet"));
}

TEST_F(ProgressBarPaint, SlidingBlockFollowsTheValue)
{
    bar.SetBarStyle(1);
    EXPECT_EQ(bar.Layout().fillTotal, 875);
    bar.SetValue(100); // travel 847: the block's segments at 849, 859, 869
    for (int x = 3; x <= 877; ++x) {
        const bool inBlock = (x >= 849 && x < 857) || (x >= 859 && x < 867) || (x >= 869 && x < 877);
        ASSERT_EQ(painted(x), inBlock) << x;
    }
    bar.SetValue(50); // D = 423.5 -> 424
    EXPECT_TRUE(painted(426));
    EXPECT_FALSE(painted(425));
    EXPECT_FALSE(painted(849)) << "the old block is wiped";

    // At Min nothing is drawn: the previous block stays until a full repaint.
    bar.TakeDrawnRegion();
    bar.SetValue(0);
    EXPECT_TRUE(bar.TakeDrawnRegion().isEmpty());
    EXPECT_TRUE(painted(426));
    bar.Refresh();
    EXPECT_TRUE(painted(426));
    bar.SetBackColor(0xFFFFFF);
    EXPECT_EQ(px(426, 8), qRgb(255, 255, 255));
}

TEST_F(ProgressBarPaint, OtherStylesPaintOnlyTheBackground)
{
    bar.SetValue(70);
    bar.SetBarStyle(2);
    for (int x = 1; x < 880; ++x)
        ASSERT_FALSE(painted(x)) << x;
}

TEST_F(ProgressBarPaint, DisabledBorderIsPaleGrey)
{
    bar.SetEnabled(false);
    EXPECT_FALSE(bar.Enabled());
    EXPECT_EQ(px(440, 0), qRgb(195, 195, 176));
    bar.SetEnabled(true);
    EXPECT_EQ(px(440, 0), kBorder);
    bar.SetBorderColor(0x0000FF);
    EXPECT_EQ(px(440, 16), qRgb(255, 0, 0));
}

TEST_F(ProgressBarPaint, BorderStyleZeroGivesAPlainRectangle)
{
    bar.SetBarBorderStyle(0);
    EXPECT_EQ(px(440, 0), kBack);
    EXPECT_EQ(px(0, 0), kBack);
    EXPECT_EQ(bar.mask(), QRegion(0, 0, 881, 17));
    bar.SetBarBorderStyle(1);
    EXPECT_FALSE(bar.mask().contains(QPoint(0, 0)));
}

TEST_F(ProgressBarPaint, SystemBackColourIsTranslated)
{
    bar.SetBackColor(brenlow::OleColor::ButtonFace);
    EXPECT_EQ(QColor(px(440, 8)), brenlow::OleColor::ToQColor(brenlow::OleColor::ButtonFace));
}

TEST_F(ProgressBarPaint, RunTimeValuesOutsideTheRangeStayInsideTheTrack)
{
    bar.SetValue(INT32_MAX);
    EXPECT_EQ(bar.Value(), INT32_MAX);
    EXPECT_TRUE(painted(877));
    EXPECT_EQ(px(878, 8), kBack);
    bar.SetValue(INT32_MIN);
    for (int x = 3; x <= 877; ++x)
        ASSERT_FALSE(painted(x)) << x;
    EXPECT_TRUE(dialogs.dialogs.shown.empty());
    bar.SetValue(-5);
    bar.SetValue(150);
    EXPECT_TRUE(painted(3));
    EXPECT_EQ(px(878, 8), kBack);
}

TEST_F(ProgressBarPaint, NoPictureAndTinyControlsPaintSafely)
{
    bar.SetBarColorSet(0);
    bar.SetBar_Pic(QImage());
    bar.SetValue(80);
    for (int x = 1; x < 880; ++x)
        ASSERT_FALSE(painted(x)) << x;

    // Tiny bars: nothing lands outside the track, and a bar too small for a track shows only its
    // background and border, like an empty bar of its size.
    bar.SetBarColorSet(5);
    bar.SetValue(0);
    for (const QSize s : {QSize(0, 0), QSize(1, 1), QSize(5, 5), QSize(6, 7), QSize(9, 40)}) {
        SleekProgressBar empty;
        empty.resize(s);
        empty.Refresh();
        bar.resize(s);
        bar.Refresh();
        bar.TakeDrawnRegion();
        bar.SetValue(20);
        bar.Refresh();
        bar.SetValue(90);
        const QRect track = QRect(QPoint(3, 3), QPoint(s.width() - 4, s.height() - 4));
        EXPECT_TRUE((bar.TakeDrawnRegion() - QRegion(track)).isEmpty()) << s.width() << "x" << s.height();
        ASSERT_EQ(bar.Surface().size(), empty.Surface().size());
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x)
                if (!track.contains(x, y)) {
                    ASSERT_EQ(px(x, y), empty.Surface().pixel(x, y)) << x << "," << y << " of " << s.width();
                }
    }
    // The 9 x 40 bar has a track three pixels long (x 3 to 5, y 3 to 36): 90 fills all of it.
    const QImage sage = brenlow::LoadBarResource(QStringLiteral("PRG50"));
    for (int x = 3; x <= 5; ++x) {
        EXPECT_EQ(px(x, 3), sage.pixel(0, 0)) << x;
        EXPECT_EQ(px(x, 36), sage.pixel(0, 9)) << x;
    }
    bar.resize(0, 0);
    bar.SetValue(10);
    EXPECT_TRUE(bar.Surface().isNull());
    EXPECT_TRUE(bar.TakeDrawnRegion().isEmpty());
}

TEST_F(ProgressBarPaint, ExtremeGapsKeepTheirArithmeticExact)
{
    // A gap as wide as the number range allows: one segment fits on the track.
    bar.SetBarSpaceBetweenImages(INT32_MAX);
    EXPECT_EQ(bar.Layout().fillTotal, 8);
    bar.SetValue(100);
    for (int x = 3; x <= 877; ++x)
        ASSERT_EQ(painted(x), x < 11) << x;

    // The block travels a negative length, so it stays at the start: only its first segment is on
    // the track, one pixel before the start.
    bar.SetBarStyle(1);
    bar.SetValue(50);
    for (int x = 2; x <= 878; ++x)
        ASSERT_EQ(painted(x), x < 10) << x;

    // The most negative gap: travel 875 - 3 * step + gap exceeds 32 bits; the value 50 puts the
    // block's middle segment at 3 + 2147484074 - 2147483640 - 1 = 436, the others off the track.
    bar.SetBarSpaceBetweenImages(INT32_MIN);
    bar.SetValue(50);
    for (int x = 2; x <= 878; ++x)
        ASSERT_EQ(painted(x), x >= 436 && x < 444) << x;
}

TEST_F(ProgressBarPaint, BlockWithAGapBelowMinusTheTileRunsBackwards)
{
    // Gap -20 on 8-pixel tiles: step -12, travel 875 + 36 - 20 = 891, D = 445.5 -> 446; the
    // segments start at 448, 436 and 424.
    bar.SetBarStyle(1);
    bar.SetBarSpaceBetweenImages(-20);
    bar.SetValue(50);
    for (int x = 2; x <= 878; ++x) {
        const bool inBlock = (x >= 448 && x < 456) || (x >= 436 && x < 444) || (x >= 424 && x < 432);
        ASSERT_EQ(painted(x), inBlock) << x;
    }
}

TEST_F(ProgressBarPaint, BorderFollowsTheBarsOwnEnabledNotItsParents)
{
    QWidget parent;
    bar.setParent(&parent);
    bar.resize(881, 17);
    parent.setEnabled(false);
    bar.Refresh();
    EXPECT_TRUE(bar.Enabled());
    EXPECT_EQ(px(440, 0), kBorder) << "a bar in a disabled window keeps its border colour";
    bar.SetEnabled(false);
    EXPECT_FALSE(bar.Enabled());
    EXPECT_EQ(px(440, 0), qRgb(195, 195, 176));
    parent.setEnabled(true);
    EXPECT_FALSE(bar.Enabled()) << "its own state outlives the parent's";
    EXPECT_EQ(px(440, 0), qRgb(195, 195, 176));
    bar.SetEnabled(true);
    EXPECT_EQ(px(440, 0), kBorder);
    bar.setParent(nullptr);
}

} // namespace

namespace {

/** A bar painted as on a screen of the given density. */
class DenseBar : public SleekProgressBar
{
public:
    explicit DenseBar(qreal ratio) : m_ratio(ratio) { Refresh(); }

protected:
    qreal SurfaceRatio() const override { return m_ratio; }

private:
    qreal m_ratio;
};

/** Compares a ratio-2 surface with the ratio-1 one doubled, pixel by pixel, leaving out the
 *  8 x 8 corners whose arcs are drawn finer at the higher density. */
void expectDoubled(const QImage& dense, const QImage& plain)
{
    ASSERT_EQ(dense.size(), plain.size() * 2);
    EXPECT_EQ(dense.devicePixelRatio(), 2.0);
    const int w = plain.width(), h = plain.height();
    for (int y = 0; y < dense.height(); ++y)
        for (int x = 0; x < dense.width(); ++x) {
            const int lx = x / 2, ly = y / 2;
            const bool corner = (lx < 8 || lx >= w - 8) && (ly < 8 || ly >= h - 8);
            if (!corner) {
                ASSERT_EQ(dense.pixel(x, y), plain.pixel(lx, ly)) << x << "," << y;
            }
        }
}

} // namespace

TEST(ProgressBarHighDensity, SurfaceHasTwiceThePixelsAndShowsTheSamePicture)
{
    // Height 16 gives tiles as thick as the picture, so no stretching blurs the comparison. A picture
    // given (not a built-in one) is drawn as it is, each of its pixels on two by two.
    struct Case
    {
        QSize size;
        int direction;
        int style;
    };
    for (const Case c : {Case{{200, 16}, 1, 0}, Case{{200, 16}, 0, 0}, Case{{200, 16}, 1, 1},
                         Case{{16, 90}, 2, 0}, Case{{16, 90}, 3, 1}}) {
        SleekProgressBar plain;
        DenseBar dense(2);
        for (SleekProgressBar* b :
             {static_cast<SleekProgressBar*>(&plain), static_cast<SleekProgressBar*>(&dense)}) {
            b->resize(c.size);
            b->SetBarFillDirection(c.direction);
            b->SetBar_Pic(c.direction < 2 ? stripedPicture(8, 10) : stripedPicture(10, 8));
            b->SetBarStyle(c.style);
            b->SetValue(37);
        }
        SCOPED_TRACE(::testing::Message() << "direction " << c.direction << " style " << c.style);
        expectDoubled(dense.Surface(), plain.Surface());
        // Incremental repaints stay in step, and what they report is in the control's own pixels.
        dense.TakeDrawnRegion();
        for (SleekProgressBar* b :
             {static_cast<SleekProgressBar*>(&plain), static_cast<SleekProgressBar*>(&dense)})
            b->SetValue(81);
        EXPECT_TRUE(QRect(QPoint(), c.size).contains(dense.TakeDrawnRegion().boundingRect()));
        expectDoubled(dense.Surface(), plain.Surface());
        for (SleekProgressBar* b :
             {static_cast<SleekProgressBar*>(&plain), static_cast<SleekProgressBar*>(&dense)})
            b->SetValue(12);
        expectDoubled(dense.Surface(), plain.Surface());
        EXPECT_EQ(dense.mask(), plain.mask()) << "the window shape is in the control's pixels";
    }
}

TEST(ProgressBarHighDensity, BuiltInSegmentsAreDrawnAtTwiceTheDensity)
{
    for (const int direction : {1, 2}) {
        const QSize size = direction == 1 ? QSize(200, 16) : QSize(16, 90);
        SleekProgressBar plain;
        DenseBar dense(2);
        for (SleekProgressBar* b :
             {static_cast<SleekProgressBar*>(&plain), static_cast<SleekProgressBar*>(&dense)}) {
            b->resize(size);
            b->SetBarFillDirection(direction);
            b->SetBarColorSet(2);
            b->SetValue(37);
        }
        SCOPED_TRACE(::testing::Message() << "direction " << direction);
        EXPECT_EQ(dense.Bar_Pic(), plain.Bar_Pic()) << "the property keeps the design's picture";
        const QImage& p = plain.Surface();
        const QImage& d = dense.Surface();
        ASSERT_EQ(d.size(), p.size() * 2);
        // The same segments in the same places; inside them, rows (or columns) of their own at the
        // dense screen's pixels rather than each plain one doubled.
        int finer = 0;
        const QRect track(3, 3, size.width() - 6, size.height() - 6);
        for (int y = track.top(); y <= track.bottom(); ++y)
            for (int x = track.left(); x <= track.right(); ++x) {
                const bool shown = p.pixel(x, y) != kBack;
                const QRgb block[] = {d.pixel(2 * x, 2 * y), d.pixel(2 * x + 1, 2 * y),
                                      d.pixel(2 * x, 2 * y + 1), d.pixel(2 * x + 1, 2 * y + 1)};
                for (const QRgb px : block)
                    ASSERT_EQ(px != kBack, shown) << x << "," << y;
                if (shown &&
                    !std::all_of(std::begin(block), std::end(block), [&](QRgb px) { return px == block[0]; }))
                    ++finer;
            }
        EXPECT_GT(finer, 0) << "detail finer than two by two blocks";
        // The gloss keeps its colours: the band's outer rows are the design's.
        const QPoint edge = direction == 1 ? QPoint(6, 3) : QPoint(3, 86);
        EXPECT_EQ(d.pixel(2 * edge.x(), 2 * edge.y()), p.pixel(edge));
    }
}

TEST(ProgressBarOnDenseScreen, SurfaceFollowsTheScreensRatio)
{
    // Run once as is and once with QT_SCALE_FACTOR=2: the surface always has the screen's density.
    const qreal expected = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                               ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                               : 1.0;
    SleekProgressBar bar;
    bar.resize(300, 17);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    bar.SetValue(50);
    EXPECT_EQ(bar.devicePixelRatioF(), expected);
    EXPECT_EQ(bar.Surface().devicePixelRatio(), expected);
    EXPECT_EQ(bar.Surface().size(), (QSizeF(300, 17) * expected).toSize());
    const QImage shown = bar.grab().toImage();
    EXPECT_EQ(shown.size(), bar.Surface().size());
    const int mid = int(8 * expected);
    EXPECT_EQ(shown.pixel(int(10 * expected), mid), bar.Surface().pixel(int(10 * expected), mid));
}

TEST_F(ProgressBarPaint, RightToLeftShrinkErasesFromThePositionToTheLeftEnd)
{
    bar.SetBarFillDirection(0);
    bar.SetValue(50);
    bar.TakeDrawnRegion();
    // At 20 the fill reaches the end of segment 17, 178 pixels from x 877, so x 3 to 698 are wiped.
    bar.SetValue(20);
    EXPECT_EQ(bar.TakeDrawnRegion(), QRegion(3, 3, 696, 11));
    for (int x = 3; x <= 698; ++x)
        ASSERT_FALSE(painted(x)) << x;
    EXPECT_TRUE(painted(699)) << "segment 17 stays whole, as a full repaint at 20 draws it";
    EXPECT_TRUE(painted(876));
}

TEST_F(ProgressBarPaint, VerticalShrinkErasesTowardsTheTrackEnd)
{
    // 20 x 120 with the 10 x 8 picture: the track runs 115 pixels, fill total 11 * 8 + 5 = 93.
    bar.resize(20, 120);
    auto paintedAt = [&](int y) { return px(10, y) != kBack; };
    bar.SetBarFillDirection(2);
    bar.SetBarColorSet(3);
    bar.SetValue(50);
    bar.TakeDrawnRegion();
    // Bottom to top: position of 20 is 18.6 -> 19, offset 2 * 10 + 3 = 23 from y 117: y 3 to 93 wiped.
    bar.SetValue(20);
    EXPECT_EQ(bar.TakeDrawnRegion(), QRegion(3, 3, 14, 91));
    EXPECT_TRUE(paintedAt(94));
    EXPECT_FALSE(paintedAt(93));
    EXPECT_FALSE(paintedAt(3));
    EXPECT_TRUE(paintedAt(116));

    // Top to bottom: the wipe runs from y 3 + 23 = 26 to the track end at 117.
    bar.SetBarFillDirection(3);
    bar.SetValue(50);
    bar.TakeDrawnRegion();
    bar.SetValue(20);
    EXPECT_EQ(bar.TakeDrawnRegion(), QRegion(3, 26, 14, 92));
    EXPECT_TRUE(paintedAt(25));
    EXPECT_FALSE(paintedAt(26));
    EXPECT_FALSE(paintedAt(117));
}

TEST_F(ProgressBarPaint, SlidingBlockInDirectionsZeroTwoAndThree)
{
    auto expectBlock = [](const std::function<bool(int)>& isPainted, int from, int to,
                          std::array<int, 3> starts) {
        for (int a = from; a <= to; ++a) {
            bool inBlock = false;
            for (int s : starts)
                inBlock = inBlock || (a >= s && a < s + 8);
            ASSERT_EQ(isPainted(a), inBlock) << a;
        }
    };
    bar.SetBarStyle(1);
    // Right to left, travel 847: at 100 the block sits at the left end (start - D - step + gap + 1).
    bar.SetBarFillDirection(0);
    bar.SetValue(100);
    expectBlock([&](int x) { return painted(x); }, 2, 878, {23, 13, 3});
    bar.SetValue(50); // D = 423.5 -> 424
    expectBlock([&](int x) { return painted(x); }, 2, 878, {446, 436, 426});

    // Vertical, 20 x 120: travel 115 - 30 + 2 = 87.
    bar.resize(20, 120);
    auto paintedAt = [&](int y) { return px(10, y) != kBack; };
    bar.SetBarFillDirection(2);
    bar.SetBarColorSet(3);
    bar.SetValue(100);
    expectBlock(paintedAt, 2, 118, {23, 13, 3});
    bar.SetBarFillDirection(3);
    expectBlock(paintedAt, 2, 118, {89, 99, 109});
    bar.SetValue(50); // D = 43.5 -> 44; the old block is wiped
    expectBlock(paintedAt, 2, 118, {46, 56, 66});
}

/** The pixels where two pictures differ, as "x,y" texts (the first few). */
QStringList differences(const QImage& a, const QImage& b)
{
    QStringList out;
    for (int y = 0; y < a.height() && out.size() < 4; ++y)
        for (int x = 0; x < a.width() && out.size() < 4; ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                out << QStringLiteral("%1,%2").arg(x).arg(y);
    return out;
}

/** Incremental pictures against full repaints: direction, size, gap and picture. */
struct IncrementalCase
{
    int direction;
    QSize size;
    int gap;
    QSize picture;
};

void PrintTo(const IncrementalCase& c, std::ostream* os)
{
    *os << "direction " << c.direction << ", " << c.size.width() << "x" << c.size.height() << ", gap "
        << c.gap;
}

class ProgressBarIncremental : public ::testing::TestWithParam<IncrementalCase>
{
};

TEST_P(ProgressBarIncremental, ShrinkAndRegrowthPaintWhatAFullRepaintPaints)
{
    const IncrementalCase c = GetParam();
    ScopedScriptedDialogs dialogs;
    SleekProgressBar bar, full;
    for (SleekProgressBar* b : {&bar, &full}) {
        b->resize(c.size);
        b->SetBarFillDirection(c.direction);
        b->SetBar_Pic(stripedPicture(c.picture.width(), c.picture.height()));
        b->SetBarSpaceBetweenImages(c.gap);
    }
    // Every way down and up again between a few values, against a bar repainted whole at the end.
    const std::array<int, 9> values{0, 3, 17, 20, 33, 50, 51, 88, 100};
    for (int high : values)
        for (int low : values) {
            if (low >= high)
                continue;
            for (int again : values) {
                // Each step painted on its own, as on a shown bar: a hidden one would paint the last only.
                for (int v : {high, low, again}) {
                    bar.SetValue(v);
                    bar.Refresh();
                }
                full.SetValue(again);
                full.Refresh(); // value unchanged: nothing; then the whole picture
                full.SetBarSpaceBetweenImages(c.gap + 1);
                full.SetBarSpaceBetweenImages(c.gap);
                ASSERT_EQ(differences(bar.Surface(), full.Surface()).join(' ').toStdString(), "")
                    << "down from " << high << " to " << low << ", up to " << again;
            }
        }
}

INSTANTIATE_TEST_SUITE_P(
    Directions, ProgressBarIncremental,
    ::testing::Values(IncrementalCase{1, {881, 17}, 2, {8, 10}}, IncrementalCase{0, {881, 17}, 2, {8, 10}},
                      IncrementalCase{3, {20, 120}, 2, {10, 8}}, IncrementalCase{2, {20, 120}, 2, {10, 8}},
                      IncrementalCase{1, {97, 17}, 0, {8, 10}}, IncrementalCase{0, {103, 17}, 5, {7, 10}},
                      IncrementalCase{3, {20, 61}, 3, {10, 9}}));
