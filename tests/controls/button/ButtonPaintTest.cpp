#include "controls/button/ButtonColors.h"
#include "controls/button/ButtonPainter.h"
#include "controls/button/ButtonPicture.h"

#include <gtest/gtest.h>

#include <QApplication>

using namespace brenlow;

namespace {

/** The surface pixel as 0x00BBGGRR. */
quint32 at(const QImage& img, int x, int y)
{
    return ButtonColors::FromRgb(img.pixel(x, y));
}

class ButtonPaintTest : public ::testing::Test
{
protected:
    ButtonPaintTest()
    {
        p = ButtonProperties::Fresh(QApplication::font(), QString());
        p.ButtonStyle = StyleGlossyStrips;
        p.ColorScheme = 2;
        p.BackColor = 0xE3E3E3;
        p.Caption.clear();
    }
    QImage paint(ButtonState state, int w = 100, int h = 30)
    {
        QImage img(w, h, QImage::Format_RGB32);
        ctx.state = state;
        layout = PaintButton(img, p, ctx);
        return img;
    }
    /** A picture of the mask colour with a square of `inner` in its middle. */
    static QImage maskedPicture(QRgb inner, int size = 10)
    {
        QImage pic(size, size, QImage::Format_RGB32);
        pic.fill(qRgb(0, 255, 0));
        for (int y = 3; y < 7; ++y)
            for (int x = 3; x < 7; ++x)
                pic.setPixel(x, y, inner);
        return pic;
    }
    ButtonProperties p;
    ButtonPaintContext ctx;
    ButtonLayout layout;
};

} // namespace

TEST_F(ButtonPaintTest, GlossyStripsNormalUsesTheShiftedSilverGradients)
{
    const QImage img = paint(ButtonState::Normal);
    EXPECT_EQ(at(img, 50, 2), 0xF0F0F0u) << "the top gradient starts at shift(0xE3E3E3, +0.05)";
    EXPECT_EQ(at(img, 50, 15), 0xDEDEDEu) << "the lower gradient starts at shift(base, -0.02)";
    EXPECT_EQ(at(img, 50, 0), 0x707070u);
    EXPECT_EQ(at(img, 50, 1), 0xFFFFFFu);
    EXPECT_EQ(at(img, 0, 15), 0x707070u);
    EXPECT_EQ(at(img, 1, 1), 0xBE965Fu) << "corner pixels";
    EXPECT_EQ(at(img, 98, 28), 0xBE965Fu);
    // The lower ramp darkens downwards to shift(base, -0.15) beyond the visible rows.
    EXPECT_LT(at(img, 50, 27) & 0xFF, at(img, 50, 16) & 0xFF);
}

TEST_F(ButtonPaintTest, GlossyStripsHotAndDownColoursDoNotFollowBackColor)
{
    for (quint32 base : {0xE3E3E3u, 0x2040A0u}) {
        p.BackColor = base;
        const QImage hot = paint(ButtonState::Hot);
        EXPECT_EQ(at(hot, 50, 0), 0xA77532u);
        EXPECT_EQ(at(hot, 50, 2), 0xFFF7E4u);
        EXPECT_EQ(at(hot, 50, 15), 0xFFE9C1u);
        // Strips of five columns from 0xFAD68F towards shift(0xFDE1AC, +0.01) = 0xFFE4AF; the first
        // and last columns lie under the white inner frame.
        EXPECT_EQ(at(hot, 1, 15), 0xFFFFFFu);
        EXPECT_EQ(at(hot, 2, 15), 0xFBD997u) << "left strip";
        EXPECT_EQ(at(hot, 97, 15), 0xFCDA97u) << "right strip, the other way";
        const QImage down = paint(ButtonState::Down);
        EXPECT_EQ(at(down, 50, 0), 0x5C411Du);
        EXPECT_EQ(at(down, 50, 1), 0xB39C71u);
        EXPECT_EQ(at(down, 50, 2), 0xD6C6A9u);
        EXPECT_EQ(at(down, 50, 3), 0xECD9B9u);
        EXPECT_EQ(at(down, 50, 8), 0xF6E4C2u);
        EXPECT_EQ(at(down, 50, 20), 0xF0D29Au);
    }
}

TEST_F(ButtonPaintTest, GlossyStripsDisabledAndFocusMarks)
{
    p.Enabled = false;
    QImage img = paint(ButtonState::Normal);
    EXPECT_EQ(at(img, 50, 10), ButtonColors::Shift(0xE3E3E3, 0.03f));
    EXPECT_EQ(at(img, 50, 0), ButtonColors::Shift(0xE3E3E3, -0.25f));
    EXPECT_EQ(at(img, 1, 1), ButtonColors::Shift(0xE3E3E3, -0.03f));

    p.Enabled = true;
    ctx.hasFocus = true;
    p.ShowFocusRect = true;
    img = paint(ButtonState::Normal);
    EXPECT_EQ(at(img, 50, 0), 0xA77532u);
    EXPECT_EQ(at(img, 50, 1), 0xFBD848u);
    EXPECT_NE(at(img, 2, 10), at(img, 3, 10)) << "the dotted focus rectangle";

    ctx.parentActive = false;
    img = paint(ButtonState::Normal);
    EXPECT_EQ(at(img, 50, 0), 0x707070u) << "no focus marks in an inactive window";

    ctx.parentActive = true;
    ctx.hasFocus = false;
    ctx.isDefault = true;
    img = paint(ButtonState::Normal);
    EXPECT_EQ(at(img, 50, 1), 0xFBD848u) << "the default button is marked too";
}

TEST_F(ButtonPaintTest, TinyButtonsDrawEveryStyleAndStateWithoutFault)
{
    // Every pixel of the surface is painted, however small the button: none keeps the colour the
    // surface had before.
    const QRgb stale = qRgb(1, 2, 3);
    for (int style = 0; style <= 13; ++style) {
        p.ButtonStyle = style;
        p.Caption = QStringLiteral("X");
        p.DropDownSymbol = 6;
        p.DropDownSeparator = true;
        p.PictureNormal = maskedPicture(qRgb(200, 0, 0));
        for (const QSize& size : {QSize(1, 1), QSize(1, 30), QSize(30, 1), QSize(2, 2), QSize(3, 40)})
            for (auto state : {ButtonState::Normal, ButtonState::Hot, ButtonState::Down}) {
                p.Enabled = state != ButtonState::Hot;
                QImage img(size, QImage::Format_RGB32);
                img.fill(stale);
                ctx.state = state;
                PaintButton(img, p, ctx);
                for (int y = 0; y < size.height(); ++y)
                    for (int x = 0; x < size.width(); ++x)
                        ASSERT_NE(img.pixel(x, y), stale) << "style " << style << " at " << x << "," << y;
            }
    }
    // A one-row gradient takes the average of its two colours.
    p = ButtonProperties::Fresh(QApplication::font(), QString());
    p.ButtonStyle = StyleToolbarGradient;
    p.BackColor = 0x202020;
    p.Caption.clear();
    const QImage img = paint(ButtonState::Hot, 10, 2);
    EXPECT_EQ(at(img, 5, 0) & 0xFF0000, 0x800000u) << "the frame still shows";
}

TEST_F(ButtonPaintTest, ClassicStandardButtonLooks)
{
    p.ButtonStyle = StyleStandard;
    p.BackColor = 0xC0C0C0;
    QImage img = paint(ButtonState::Normal);
    EXPECT_EQ(at(img, 50, 15), 0xC0C0C0u);
    EXPECT_NE(at(img, 50, 0), at(img, 50, 29)) << "a raised edge: light top, dark bottom";
    img = paint(ButtonState::Down);
    EXPECT_EQ(at(img, 50, 0), 0x000000u);
    EXPECT_EQ(at(img, 50, 1), 0x99A8ACu);
    p.Mode = ModeCheck;
    p.Value = true;
    img = paint(ButtonState::Normal);
    EXPECT_EQ(at(img, 50, 15), ButtonColors::Shift(0xC0C0C0, 0.02f))
        << "checked in style 0 draws its own look";
}

TEST_F(ButtonPaintTest, AFailedColourTranslationIsMinusOneNotBlack)
{
    p.ButtonStyle = StyleStandard;
    p.BackColor = OleColor::SystemFlag | 200u; // no such system colour
    const QImage img = paint(ButtonState::Normal);
    EXPECT_EQ(at(img, 50, 15), 0xFFFFFFu) << "the fill takes the colour bits of -1";
}

TEST_F(ButtonPaintTest, GradientStylesFiveToTenMarkTheDefaultButton)
{
    ctx.parentActive = true;
    for (int style = 5; style <= 10; ++style) {
        SCOPED_TRACE(style);
        p.ButtonStyle = style;
        p.ColorScheme = 0;
        p.ApplyStyleColors();
        p.ShowFocusRect = false;
        ctx.isDefault = false;
        ctx.hasFocus = false;
        const QImage plain = paint(ButtonState::Normal);
        ctx.isDefault = true;
        const QImage marked = paint(ButtonState::Normal);
        EXPECT_NE(at(marked, 50, 1), at(plain, 50, 1)) << "a ring along the top";
        EXPECT_NE(at(marked, 1, 15), at(plain, 1, 15)) << "and down the side";
        EXPECT_EQ(at(marked, 50, 15), at(plain, 50, 15)) << "the middle is unchanged";
        // The focus marks the button the same way; an inactive window shows no mark.
        ctx.isDefault = false;
        ctx.hasFocus = true;
        EXPECT_EQ(paint(ButtonState::Normal), marked);
        ctx.isDefault = true;
        ctx.parentActive = false;
        EXPECT_EQ(paint(ButtonState::Normal), plain);
        ctx.parentActive = true;
        // The hot and pressed looks keep their own frames.
        ctx.isDefault = false;
        ctx.hasFocus = false;
        const QImage hot = paint(ButtonState::Hot);
        ctx.isDefault = true;
        EXPECT_EQ(paint(ButtonState::Hot), hot);
        // With focus rectangles on, the default button shows one too.
        p.ShowFocusRect = true;
        const QImage dotted = paint(ButtonState::Normal);
        EXPECT_NE(at(dotted, 5, 3), at(marked, 5, 3)) << "the dotted frame three pixels in";
        ctx.isDefault = false;
    }
}

TEST_F(ButtonPaintTest, RegionsRoundTheCornersOfTheRoundedStyles)
{
    EXPECT_FALSE(ButtonRegion(StyleGlossyStrips, 50, 20).contains(QPoint(0, 0)));
    EXPECT_TRUE(ButtonRegion(StyleGlossyStrips, 50, 20).contains(QPoint(1, 0)));
    EXPECT_FALSE(ButtonRegion(StylePastelGloss, 50, 20).contains(QPoint(1, 0)));
    EXPECT_FALSE(ButtonRegion(StyleSilverLines, 50, 20).contains(QPoint(49, 18)));
    EXPECT_TRUE(ButtonRegion(StyleStandard, 50, 20).contains(QPoint(0, 0)));
    EXPECT_TRUE(ButtonRegion(StyleVisualStyle, 50, 20).contains(QPoint(49, 19)));
}

TEST_F(ButtonPaintTest, MaskColourIsLeftOutOnlyWithUseMaskColor)
{
    p.PictureNormal = maskedPicture(qRgb(200, 0, 0));
    p.MaskColor = 0x00FF00;
    p.ButtonStyle = StyleFlat;
    p.BackColor = 0x808080;
    QImage img = paint(ButtonState::Normal);
    const QRect r = layout.picture;
    EXPECT_EQ(r.size(), QSize(10, 10));
    EXPECT_EQ(at(img, r.left() + 4, r.top() + 4), 0x0000C8u);
    EXPECT_EQ(at(img, r.left() + 1, r.top() + 1), 0x808080u);
    p.UseMaskColor = false;
    img = paint(ButtonState::Normal);
    EXPECT_EQ(at(img, r.left() + 1, r.top() + 1), 0x00FF00u);
}

TEST_F(ButtonPaintTest, OpacityAndDisabledModes)
{
    p.PictureNormal = maskedPicture(qRgb(200, 0, 0));
    p.MaskColor = 0x00FF00;
    p.ButtonStyle = StyleFlat;
    p.BackColor = 0x808080;
    p.PictureOpacity = 0;
    QImage img = paint(ButtonState::Normal);
    QPoint c = layout.picture.topLeft() + QPoint(4, 4);
    EXPECT_EQ(at(img, c.x(), c.y()), 0x808080u) << "opacity 0 leaves the background";

    p.PictureOpacity = 255;
    p.Enabled = false;
    img = paint(ButtonState::Normal);
    c = layout.picture.topLeft() + QPoint(4, 4);
    // Drawn at 52: (D x 203 + S x 52) \ 256 per channel.
    EXPECT_EQ(at(img, c.x(), c.y()), quint32((128 * 203 + 200 * 52) / 256) | (((128 * 203) / 256) << 8) |
                                         (((128 * 203) / 256) << 16));

    p.DisabledPictureMode = 1;
    img = paint(ButtonState::Normal);
    const int f = 191, y = 60; // 255 x 0.75 rounded; grey of (200, 0, 0) = round(0.3 x 200)
    const int v = (128 * (255 - f) + f * y) / 256;
    EXPECT_EQ(at(img, c.x(), c.y()), quint32(v | (v << 8) | (v << 16)));
}

TEST_F(ButtonPaintTest, PictureEffectsAndHotOpacity)
{
    p.PictureNormal = maskedPicture(qRgb(200, 100, 10));
    p.MaskColor = 0x00FF00;
    p.ButtonStyle = StyleFlat;
    p.PictureEffectOnOver = 1;
    p.PictureEffectOnDown = 2;
    QImage img = paint(ButtonState::Hot);
    QPoint c = layout.picture.topLeft() + QPoint(4, 4);
    EXPECT_EQ(img.pixel(c), qRgb(229, 114, 11)) << "lightened";
    img = paint(ButtonState::Down);
    c = layout.picture.topLeft() + QPoint(4, 4);
    EXPECT_EQ(img.pixel(c), qRgb(170, 85, 8)) << "darkened";
}

TEST_F(ButtonPaintTest, BlankCaptionCentresThePicture)
{
    p.PictureNormal = maskedPicture(qRgb(200, 0, 0), 32);
    p.PictureAlign = 0;
    p.Caption = QStringLiteral("   ");
    paint(ButtonState::Normal, 100, 40);
    EXPECT_EQ(layout.picture.topLeft(), QPoint(34, 4));
    p.Caption = QStringLiteral("Go");
    paint(ButtonState::Normal, 100, 40);
    EXPECT_EQ(layout.picture.left(), 3) << "left edge once there is a caption";
}

TEST_F(ButtonPaintTest, CaptionAndPictureSitSideBySideCentred)
{
    p.PictureNormal = maskedPicture(qRgb(200, 0, 0), 32);
    p.Caption = QStringLiteral("Download");
    paint(ButtonState::Normal, 120, 33);
    EXPECT_EQ(layout.picture.right() + 1 + 4, layout.caption.left()) << "picture left of the caption";
    const int mid = (layout.picture.left() + layout.caption.right()) / 2;
    EXPECT_NEAR(mid, 60, 3);
    EXPECT_EQ(layout.picture.top(), 0);
}

TEST(ButtonCompositing, AlphaPicturesBlendByAlphaAndOpacity)
{
    QImage dest(1, 1, QImage::Format_RGB32);
    dest.fill(qRgb(0, 0, 0));
    QImage pic(1, 1, QImage::Format_ARGB32);
    pic.fill(qRgba(255, 255, 255, 128));
    PictureBlend blend;
    blend.maskColor = 0xFFFFFF; // no mask for alpha pictures
    CompositePicture(dest, pic, blend);
    EXPECT_EQ(dest.pixel(0, 0), qRgb(127, 127, 127));
    blend.opacity = 0;
    dest.fill(qRgb(10, 10, 10));
    CompositePicture(dest, pic, blend);
    EXPECT_EQ(dest.pixel(0, 0), qRgb(10, 10, 10));
}

TEST(ButtonCompositing, SilhouetteTakesTheShapeNotTheColours)
{
    QImage dest(2, 1, QImage::Format_RGB32);
    dest.fill(qRgb(0, 0, 0));
    QImage pic(2, 1, QImage::Format_RGB32);
    pic.setPixel(0, 0, qRgb(1, 2, 3));
    pic.setPixel(1, 0, qRgb(0xE0, 0xE0, 0xE0));
    PictureBlend blend;
    blend.silhouette = 0xC0C0C0u;
    CompositePicture(dest, pic, blend);
    EXPECT_EQ(dest.pixel(0, 0), qRgb(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(dest.pixel(1, 0), qRgb(0, 0, 0)) << "mask colour pixels stay out";
}

TEST_F(ButtonPaintTest, DropDownSymbolAndSeparatorSitAtTheRight)
{
    p.ButtonStyle = StyleFlat;
    p.BackColor = 0x808080;
    p.Caption = QStringLiteral("Go");
    p.DropDownSymbol = 6;
    p.DropDownSeparator = true;
    const QImage img = paint(ButtonState::Normal, 100, 30);
    EXPECT_EQ(layout.symbol, QRect(85, 8, 15, 15));
    EXPECT_EQ(at(img, 84, 15), ButtonColors::Shift(0x808080, -0.1f));
    EXPECT_EQ(at(img, 85, 15), ButtonColors::Shift(0x808080, 0.1f));
    // The down-pointing triangle is drawn in the caption colour inside the symbol box.
    int marked = 0;
    for (int y = 8; y < 23; ++y)
        for (int x = 86; x < 99; ++x)
            marked += at(img, x, y) == OleColor::Translate(OleColor::ButtonText);
    EXPECT_GE(marked, 10);
    EXPECT_LT(layout.caption.right(), 84) << "the caption keeps clear of the symbol";
}

TEST_F(ButtonPaintTest, HotCaptionTakesTheHoverColour)
{
    p.ButtonStyle = StyleFlat;
    p.BackColor = 0x808080;
    p.Caption = QStringLiteral("WWWW");
    p.ForeColorHover = 0x0000FF;
    auto redPixels = [&](const QImage& img) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += at(img, x, y) == 0x0000FFu;
        return n;
    };
    EXPECT_GT(redPixels(paint(ButtonState::Hot)), 10);
    EXPECT_EQ(redPixels(paint(ButtonState::Normal)), 0);
}

TEST_F(ButtonPaintTest, DenseSurfaceHasTwiceThePixelsAndTheSamePicture)
{
    // Without a caption (text is drawn finer at the higher density) every look at ratio 2 is the
    // ratio-1 look with each pixel doubled, the picture, symbol and separator included.
    p.Caption.clear();
    p.PictureNormal = maskedPicture(qRgb(200, 0, 0));
    p.PictureHot = maskedPicture(qRgb(0, 0, 200));
    p.DropDownSymbol = 6;
    p.DropDownSeparator = true;
    p.PictureShadow = true;
    for (int style = 0; style <= 12; ++style)
        for (auto state : {ButtonState::Normal, ButtonState::Hot, ButtonState::Down})
            for (int variant = 0; variant < 3; ++variant) {
                SCOPED_TRACE(::testing::Message()
                             << "style " << style << " state " << int(state) << " variant " << variant);
                p.ButtonStyle = style;
                p.Enabled = variant != 1;
                p.ShowFocusRect = variant == 2;
                ctx.hasFocus = variant == 2;
                ctx.isDefault = variant == 2;
                ctx.state = state;
                QImage plain(60, 24, QImage::Format_RGB32);
                const ButtonLayout plainLayout = PaintButton(plain, p, ctx);
                QImage dense(120, 48, QImage::Format_RGB32);
                dense.setDevicePixelRatio(2);
                const ButtonLayout denseLayout = PaintButton(dense, p, ctx);
                EXPECT_EQ(denseLayout.picture, plainLayout.picture) << "the layout is in the button's pixels";
                EXPECT_EQ(denseLayout.symbol, plainLayout.symbol);
                for (int y = 0; y < 48; ++y)
                    for (int x = 0; x < 120; ++x)
                        ASSERT_EQ(dense.pixel(x, y), plain.pixel(x / 2, y / 2)) << x << "," << y;
            }
}
