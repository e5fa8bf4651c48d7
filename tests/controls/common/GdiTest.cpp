#include "controls/common/Gdi.h"
#include "controls/common/Colors.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace brenlow;

namespace {

class Surface : public ::testing::Test
{
protected:
    QImage image{40, 30, QImage::Format_RGB32};
    void SetUp() override { image.fill(Qt::white); }
    [[nodiscard]] QColor at(int x, int y) const { return image.pixelColor(x, y); }
    [[nodiscard]] int countOf(const QColor& c) const
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y) == c ? 1 : 0;
        return n;
    }
};

} // namespace

TEST_F(Surface, FrameRectLeavesRightAndBottomEdgeOut)
{
    {
        QPainter p(&image);
        Gdi::FrameRect(p, Gdi::Ltrb(2, 3, 7, 8), Qt::red);
    }
    EXPECT_EQ(at(2, 3), QColor(Qt::red));
    EXPECT_EQ(at(6, 7), QColor(Qt::red));
    EXPECT_EQ(at(7, 7), QColor(Qt::white));
    EXPECT_EQ(at(6, 8), QColor(Qt::white));
    EXPECT_EQ(at(4, 5), QColor(Qt::white)) << "the inside stays untouched";
    EXPECT_EQ(countOf(Qt::red), 2 * 5 + 2 * 3);
}

TEST_F(Surface, LinesStopBeforeTheirEndPointInEveryDirection)
{
    {
        QPainter p(&image);
        Gdi::Line(p, 1, 1, 6, 1, Qt::red);   // left to right
        Gdi::Line(p, 6, 3, 1, 3, Qt::green); // right to left
        Gdi::Line(p, 10, 1, 10, 6, Qt::blue);
        Gdi::Line(p, 20, 0, 25, 5, Qt::black);
        Gdi::Line(p, 30, 10, 38, 10, Qt::red, 3);
    }
    EXPECT_EQ(at(1, 1), QColor(Qt::red));
    EXPECT_EQ(at(5, 1), QColor(Qt::red));
    EXPECT_EQ(at(6, 1), QColor(Qt::white));
    EXPECT_EQ(at(1, 3), QColor(Qt::white));
    EXPECT_EQ(at(2, 3), QColor(Qt::green));
    EXPECT_EQ(at(6, 3), QColor(Qt::green));
    EXPECT_EQ(at(10, 5), QColor(Qt::blue));
    EXPECT_EQ(at(10, 6), QColor(Qt::white));
    EXPECT_EQ(at(24, 4), QColor(Qt::black));
    EXPECT_EQ(at(25, 5), QColor(Qt::white));
    EXPECT_EQ(at(30, 9), QColor(Qt::red)) << "a wide pen spreads around the line";
    EXPECT_EQ(at(30, 11), QColor(Qt::red));
    EXPECT_EQ(at(30, 12), QColor(Qt::white));
}

TEST(GdiGradient, RampDividesAsWholeNumbers)
{
    const auto ramp = Gdi::GradientRamp(QColor(0, 10, 200), QColor(255, 0, 100), 2);
    ASSERT_EQ(ramp.size(), 3u);
    EXPECT_EQ(ramp[0], qRgb(0, 10, 200));
    EXPECT_EQ(ramp[1], qRgb(127, 5, 150));
    EXPECT_EQ(ramp[2], qRgb(255, 0, 100));
    const auto single = Gdi::GradientRamp(QColor(11, 20, 0), QColor(21, 40, 255), 0);
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(single[0], qRgb(5 + 10, 10 + 20, 0 + 127));
}

TEST_F(Surface, GradientsRunAlongTheirDirection)
{
    {
        QPainter p(&image);
        Gdi::Gradient(p, QRect(0, 0, 3, 4), Qt::black, QColor(30, 60, 90), Gdi::GradientDirection::Vertical);
        Gdi::Gradient(p, QRect(10, 0, 4, 2), Qt::black, QColor(30, 60, 90),
                      Gdi::GradientDirection::Horizontal);
        Gdi::Gradient(p, QRect(20, 0, 3, 3), Qt::black, QColor(40, 40, 40),
                      Gdi::GradientDirection::DiagonalUp);
    }
    EXPECT_EQ(at(2, 0), QColor(0, 0, 0));
    EXPECT_EQ(at(0, 1), QColor(10, 20, 30));
    EXPECT_EQ(at(1, 3), QColor(30, 60, 90));
    EXPECT_EQ(at(11, 1), QColor(10, 20, 30));
    EXPECT_EQ(at(13, 0), QColor(30, 60, 90));
    EXPECT_EQ(at(20, 2), QColor(0, 0, 0)) << "bottom-left starts";
    EXPECT_EQ(at(22, 0), QColor(40, 40, 40)) << "top-right ends";
    EXPECT_EQ(at(4, 0), QColor(Qt::white));
}

TEST_F(Surface, RaisedEdgeIsLightAboveAndDarkBelow)
{
    {
        QPainter p(&image);
        Gdi::DrawEdge(p, QRect(0, 0, 10, 10), Gdi::Edge::Raised);
    }
    EXPECT_EQ(at(0, 0), OleColor::ToQColor(OleColor::Light3D));
    EXPECT_EQ(at(9, 9), OleColor::ToQColor(OleColor::DarkShadow3D));
    EXPECT_EQ(at(1, 1), OleColor::ToQColor(OleColor::ButtonHighlight));
    EXPECT_EQ(at(8, 5), OleColor::ToQColor(OleColor::ButtonShadow));
    EXPECT_EQ(at(5, 5), QColor(Qt::white));
}

TEST_F(Surface, FocusRectIsDottedAndUndoesItself)
{
    image.fill(Qt::black);
    {
        QPainter p(&image);
        Gdi::DrawFocusRect(p, QRect(2, 2, 8, 6));
    }
    EXPECT_EQ(at(2, 2), QColor(Qt::white));
    EXPECT_EQ(at(3, 2), QColor(Qt::black));
    EXPECT_EQ(at(4, 2), QColor(Qt::white));
    EXPECT_EQ(at(9, 3), QColor(Qt::white));
    EXPECT_EQ(at(5, 4), QColor(Qt::black));
    {
        QPainter p(&image);
        Gdi::DrawFocusRect(p, QRect(2, 2, 8, 6));
    }
    EXPECT_EQ(countOf(Qt::black), 40 * 30);
}

TEST(GdiText, FlagsMapToQtAlignment)
{
    using namespace Gdi::DT;
    const int centred = Gdi::QtTextFlags(Center | VCenter | SingleLine | NoPrefix);
    EXPECT_TRUE(centred & Qt::AlignHCenter);
    EXPECT_TRUE(centred & Qt::AlignVCenter);
    EXPECT_TRUE(centred & Qt::TextSingleLine);
    EXPECT_FALSE(centred & Qt::TextShowMnemonic);
    const int wrapped = Gdi::QtTextFlags(Right | VCenter | WordBreak);
    EXPECT_TRUE(wrapped & Qt::AlignRight);
    EXPECT_TRUE(wrapped & Qt::AlignTop) << "vertical centring needs a single line";
    EXPECT_TRUE(wrapped & Qt::TextWordWrap);
    EXPECT_TRUE(wrapped & Qt::TextShowMnemonic);
}

TEST(GdiText, MeasuringBreaksWordsAndKeepsOrDropsPrefixes)
{
    using namespace Gdi::DT;
    const QFont font;
    const QFontMetrics fm(font);
    const QRect box(0, 0, fm.horizontalAdvance(QStringLiteral("alpha beta")), 1);
    const QRect wrapped = Gdi::CalcTextRect(font, QStringLiteral("alpha beta gamma delta"), box, WordBreak);
    EXPECT_EQ(wrapped.height(), 3 * fm.height());
    EXPECT_EQ(wrapped.width(), box.width()) << "a breaking text keeps the box width";
    const QRect single = Gdi::CalcTextRect(font, QStringLiteral("alpha beta gamma"), box, SingleLine);
    EXPECT_EQ(single.height(), fm.height());
    EXPECT_EQ(single.width(), fm.horizontalAdvance(QStringLiteral("alpha beta gamma")));
    const QRect lines = Gdi::CalcTextRect(font, QStringLiteral("a\r\nb\nc"), box, Left);
    EXPECT_EQ(lines.height(), 3 * fm.height());
    const int kept =
        Gdi::CalcTextRect(font, QStringLiteral("Tom & Jerry"), box, SingleLine | NoPrefix).width();
    const int dropped = Gdi::CalcTextRect(font, QStringLiteral("Tom & Jerry"), box, SingleLine).width();
    EXPECT_EQ(kept, fm.horizontalAdvance(QStringLiteral("Tom & Jerry")));
    EXPECT_EQ(dropped, fm.horizontalAdvance(QStringLiteral("Tom  Jerry")));
}

TEST(GdiText, EllipsisShortensOnlyOverlongText)
{
    using namespace Gdi::DT;
    const QFontMetrics fm{QFont()};
    const QString text = QStringLiteral("A rather long video name that cannot fit");
    const int width = fm.horizontalAdvance(QStringLiteral("A rather long"));
    const QString cut = Gdi::ElideLine(fm, text, width, WordEllipsis);
    EXPECT_NE(cut, text);
    EXPECT_LE(fm.horizontalAdvance(cut), width);
    EXPECT_TRUE(cut.startsWith(QStringLiteral("A rather")));
    EXPECT_EQ(Gdi::ElideLine(fm, text, width, SingleLine), text) << "no ellipsis flag, no cut";
    EXPECT_EQ(Gdi::ElideLine(fm, QStringLiteral("short"), width, WordEllipsis), QStringLiteral("short"));
}

TEST_F(Surface, TextIsPlacedByItsAlignmentAndClipped)
{
    using namespace Gdi::DT;
    image = QImage(200, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    auto inkColumns = [this](int y0, int y1) {
        int minX = image.width(), maxX = -1;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) != QColor(Qt::white))
                    minX = std::min(minX, x), maxX = std::max(maxX, x);
        return std::pair{minX, maxX};
    };
    {
        QPainter p(&image);
        p.setPen(Qt::black);
        QRect right(0, 0, 200, 20);
        Gdi::DrawText(p, QStringLiteral("Right"), right, Right | SingleLine | VCenter);
        QRect clipped(0, 20, 10, 20);
        Gdi::DrawText(p, QStringLiteral("WWWWWWWW"), clipped, Left | SingleLine);
    }
    const auto [rl, rr] = inkColumns(0, 20);
    EXPECT_GT(rl, 150);
    EXPECT_LE(rr, 199);
    const auto [cl, cr] = inkColumns(20, 40);
    EXPECT_GE(cl, 0);
    EXPECT_LT(cr, 10) << "text stays inside its rectangle";
}

TEST(ColorMath, BlendWeighsAndRoundsPerChannel)
{
    EXPECT_EQ(ColorMath::Blend(OleColor::Rgb(255, 0, 100), OleColor::Rgb(0, 255, 100), 128),
              OleColor::Rgb(128, 127, 100));
    EXPECT_EQ(ColorMath::Blend(OleColor::Rgb(10, 20, 30), OleColor::Rgb(200, 200, 200), 255),
              OleColor::Rgb(10, 20, 30));
    EXPECT_EQ(ColorMath::Blend(OleColor::Rgb(10, 20, 30), OleColor::Rgb(200, 200, 200), 0),
              OleColor::Rgb(200, 200, 200));
    EXPECT_EQ(ColorMath::Blend(OleColor::Window, OleColor::Window, 150),
              OleColor::Translate(OleColor::Window));
}

TEST(ColorMath, ShiftsClampEachChannel)
{
    EXPECT_EQ(ColorMath::Shift(OleColor::Rgb(240, 10, 100), 25), OleColor::Rgb(255, 35, 125));
    EXPECT_EQ(ColorMath::Shift(OleColor::Rgb(240, 10, 100), -50), OleColor::Rgb(190, 0, 50));
    EXPECT_FALSE(OleColor::IsSystem(ColorMath::Shift(OleColor::ButtonFace, -40)));
    EXPECT_EQ(ColorMath::RawShift(OleColor::Rgb(240, 10, 100), 30), OleColor::Rgb(255, 40, 130));
    EXPECT_EQ(ColorMath::RawShift(OleColor::Rgb(240, 10, 100), -20), OleColor::Rgb(220, 0, 80));
}
