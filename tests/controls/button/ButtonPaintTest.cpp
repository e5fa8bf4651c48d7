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

namespace {

/** A plain grey standard button with a caption in a colour of its own, drawn without smoothing
 *  so that each caption pixel is exactly that colour. */
class ButtonContentsTest : public ButtonPaintTest
{
protected:
    ButtonContentsTest()
    {
        p.ButtonStyle = StyleStandard;
        p.BackColor = 0x808080;
        p.ForeColor = 0x0000FF;
        p.ForeColorHover = 0x0000FF;
        p.Font.setStyleStrategy(QFont::NoAntialias);
        p.Font.setPixelSize(14);
        p.MaskColor = 0x00FF00; // the frame of maskedPicture
    }
    /** The pixels in which two pictures differ, for readable failures. */
    static std::string differences(const QImage& a, const QImage& b)
    {
        std::string out;
        int n = 0;
        for (int y = 0; y < a.height() && n < 6; ++y)
            for (int x = 0; x < a.width() && n < 6; ++x)
                if (a.pixel(x, y) != b.pixel(x, y)) {
                    out += QStringLiteral("(%1,%2) %3 vs %4; ")
                               .arg(x)
                               .arg(y)
                               .arg(at(a, x, y), 6, 16, QLatin1Char('0'))
                               .arg(at(b, x, y), 6, 16, QLatin1Char('0'))
                               .toStdString();
                    ++n;
                }
        return out;
    }
    static QRegion pixelsOf(const QImage& img, quint32 color)
    {
        QRegion r;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (at(img, x, y) == color)
                    r += QRect(x, y, 1, 1);
        return r;
    }
    /** `img` with the pixels of `region` set to `color`. */
    static QImage with(QImage img, const QRegion& region, quint32 color)
    {
        for (const QRect& r : region)
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    img.setPixel(x, y, ButtonColors::ToRgb(color));
        return img;
    }
};

} // namespace

TEST_F(ButtonContentsTest, CaptionEffectsDrawShiftedCopiesUnderTheCaption)
{
    p.Caption = QStringLiteral("HWX");
    const QImage plain = paint(ButtonState::Normal, 120, 30);
    const QRegion text = pixelsOf(plain, 0x0000FF);
    ASSERT_FALSE(text.isEmpty());
    ASSERT_TRUE(QRect(4, 4, 112, 22).contains(text.boundingRect())) << "clear of the edges";
    const quint32 base = 0x808080;
    struct Effect
    {
        int value;
        quint32 color;
        std::vector<QPoint> offsets;
    };
    const Effect effects[] = {
        {1, ButtonColors::Shift(base, 0.14f), {{-1, -1}}},
        {2, ButtonColors::Shift(base, 0.14f), {{1, 1}}},
        {3, 0xC0C0C0, {{1, 1}}},
        {4, ButtonColors::Shift(base, 0.1f), {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}}},
        {5, ButtonColors::Shift(base, -0.1f), {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}}},
    };
    for (const Effect& e : effects) {
        SCOPED_TRACE(e.value);
        p.CaptionEffects = e.value;
        QRegion copies;
        for (const QPoint& o : e.offsets)
            copies += text.translated(o);
        EXPECT_EQ(paint(ButtonState::Normal, 120, 30), with(plain, copies - text, e.color));
    }
}

TEST_F(ButtonContentsTest, PictureShadowAndPushOnHoverDrawSilhouettes)
{
    // The picture is a 4 x 4 red square inside a mask-coloured frame; only the square is drawn.
    p.PictureNormal = maskedPicture(qRgb(200, 0, 0));
    const QImage plain = paint(ButtonState::Normal, 120, 30);
    const QPoint at0 = layout.picture.topLeft() + QPoint(3, 3);
    const QRegion square(QRect(at0, QSize(4, 4)));
    ASSERT_EQ(pixelsOf(plain, 0x0000C8), square);

    // Shadow: silhouettes at +2 and +1 in shades of the average of grey and the back colour.
    p.PictureShadow = true;
    const quint32 s = ButtonColors::Average(0x808080, 0x808080);
    QImage expected = with(plain, square.translated(2, 2), ButtonColors::Shift(s, 0.05f));
    expected = with(expected, square.translated(1, 1), ButtonColors::Shift(s, -0.1f));
    expected = with(expected, square, 0x0000C8);
    const QImage shadowed = paint(ButtonState::Normal, 120, 30);
    EXPECT_EQ(shadowed, expected) << differences(shadowed, expected);

    // Pushed on hover: a light grey silhouette in place, the picture 2 pixels up and left, no shadow.
    p.PicturePushOnHover = true;
    const QImage hotPlain = [&] {
        ButtonProperties keep = p;
        p.PictureNormal = QImage();
        p.PictureShadow = false;
        p.PicturePushOnHover = false;
        const QImage img = paint(ButtonState::Hot, 120, 30);
        p = keep;
        return img;
    }();
    expected = with(hotPlain, square, 0xC0C0C0);
    expected = with(expected, square.translated(-2, -2), 0x0000C8);
    const QImage pushed = paint(ButtonState::Hot, 120, 30);
    EXPECT_EQ(pushed, expected) << differences(pushed, expected);
    EXPECT_EQ(paint(ButtonState::Normal, 120, 30), shadowed) << "only the hot look is pushed";
}

TEST_F(ButtonContentsTest, PictureAlignPlacesThePictureAroundTheCaption)
{
    p.Caption = QStringLiteral("Go");
    p.PictureNormal = maskedPicture(qRgb(200, 0, 0));
    const int w = 120, h = 60, pw = 10, ph = 10;
    for (int align = 2; align <= 8; ++align) {
        SCOPED_TRACE(align);
        p.PictureAlign = align;
        const QImage img = paint(ButtonState::Normal, w, h);
        const QRect P = layout.picture, R = layout.caption;
        // The picture is drawn where the layout says: its red square three pixels in.
        EXPECT_EQ(pixelsOf(img, 0x0000C8), QRegion(QRect(P.topLeft() + QPoint(3, 3), QSize(4, 4))));
        // The caption is drawn inside its rectangle.
        EXPECT_TRUE(R.adjusted(-1, -1, 1, 1).contains(pixelsOf(img, 0x0000FF).boundingRect()));
        switch (align) {
        case 2:
            EXPECT_EQ(P.left(), std::max(w - pw - 3, R.right() + 1 + 2));
            EXPECT_EQ(P.top(), (h - ph) / 2);
            break;
        case 3:
            EXPECT_EQ(P.left(), R.right() + 1 + 4);
            EXPECT_EQ(P.top(), (h - ph) / 2);
            break;
        case 4:
            EXPECT_EQ(P.topLeft(), QPoint((w - pw) / 2, (h - ph) / 2)) << "behind the caption";
            break;
        case 5:
            EXPECT_EQ(P.topLeft(), QPoint((w - pw) / 2, 4));
            break;
        case 6:
            EXPECT_EQ(P.topLeft(), QPoint((w - pw) / 2, R.top() - ph - 2));
            break;
        case 7:
            EXPECT_EQ(P.topLeft(), QPoint((w - pw) / 2, h - ph - 4));
            break;
        case 8:
            EXPECT_EQ(P.topLeft(), QPoint((w - pw) / 2, R.bottom() + 1 + 2));
            break;
        }
        // Above or below the caption, the caption makes way by half the picture's height.
        if (align == 5 || align == 6) {
            EXPECT_GT(R.top(), P.bottom());
        }
        if (align == 7 || align == 8) {
            EXPECT_LT(R.bottom(), P.top());
        }
    }
}

TEST_F(ButtonContentsTest, CaptionAlignLeftAndRight)
{
    p.Caption = QStringLiteral("Go");
    const int w = 120;
    p.CaptionAlign = 0;
    QImage img = paint(ButtonState::Normal, w, 30);
    EXPECT_EQ(layout.caption.left(), 2);
    const QRect left = pixelsOf(img, 0x0000FF).boundingRect();
    EXPECT_GE(left.left(), 2);
    EXPECT_LE(left.right(), w / 3);
    p.CaptionAlign = 2;
    img = paint(ButtonState::Normal, w, 30);
    EXPECT_EQ(layout.caption.right() + 1, w - 4);
    const QRect right = pixelsOf(img, 0x0000FF).boundingRect();
    EXPECT_LE(right.right(), w - 4);
    EXPECT_GE(right.left(), 2 * w / 3);
    // With a drop-down symbol the right-aligned caption moves 16 pixels further left.
    p.DropDownSymbol = 6;
    paint(ButtonState::Normal, w, 30);
    EXPECT_EQ(layout.caption.right() + 1, w - 4 - 16);
}

TEST_F(ButtonContentsTest, RightToLeftReadingPutsTrailingPunctuationFirst)
{
    // In right-to-left reading the full stop after a Latin word goes to its left.
    p.Caption = QStringLiteral(".Go");
    const QImage expected = paint(ButtonState::Normal, 120, 30);
    p.Caption = QStringLiteral("Go.");
    const QImage ltr = paint(ButtonState::Normal, 120, 30);
    p.RightToLeft = true;
    const QImage rtl = paint(ButtonState::Normal, 120, 30);
    EXPECT_NE(rtl, ltr);
    EXPECT_EQ(rtl, expected);
}

TEST_F(ButtonPaintTest, ColoursOfTheOtherStyles)
{
    using OleColor::Translate;
    const quint32 face = Translate(OleColor::ButtonFace);
    struct Check
    {
        int style;
        int scheme;
        ButtonState state;
        int x, y;
        quint32 color;
        const char* what;
    };
    const auto S = ButtonColors::Shift;
    const auto A = ButtonColors::Average;
    constexpr auto N = ButtonState::Normal, H = ButtonState::Hot, D = ButtonState::Down;
    // Buttons of 100 x 30 with the back colour their style and scheme give: round(h/2) = 15.
    const Check checks[] = {
        {2, 0, N, 50, 0, 0x743C00, "style 2 frame"},
        {2, 0, N, 1, 1, S(0x743C00, 0.3f), "style 2 corners"},
        {2, 1, N, 50, 0, 0x066237, "olive frame"},
        {2, 1, N, 1, 1, S(0x066237, 0.3f), "olive corners"},
        {2, 0, H, 50, 1, 0x89D8FD, "hot edge line at the top"},
        {2, 0, H, 50, 2, 0xCFF0FF, "second hot line"},
        {2, 0, H, 50, 27, 0x30B3F8, "hot line above the bottom"},
        {2, 0, H, 50, 28, 0x0097E5, "hot bottom line"},
        {4, 0, N, 50, 15, face, "style 4 normal fills with the back colour"},
        {4, 0, N, 50, 0, face, "without a frame"},
        {4, 0, H, 50, 15, S(0xEED2C1, 0.03f), "blue hot fill"},
        {4, 0, H, 50, 0, 0xC56A31, "blue frame"},
        {4, 0, D, 50, 15, S(0xEED2C1, -0.08f), "blue pressed fill"},
        {4, 1, H, 50, 0, 0x70A093, "olive frame"},
        {4, 1, H, 50, 15, S(0xBAD6D4, 0.03f), "olive hot fill"},
        {4, 2, D, 50, 0, 0xBFB4B2, "silver frame"},
        {4, 2, D, 50, 15, S(0xE3DFE0, -0.08f), "silver pressed fill"},
        {5, 0, N, 50, 0, A(0xFFFFFF, S(0xFCE1CA, 0.08f)), "style 5 normal gradient start"},
        {5, 0, N, 50, 15, 0xFCE1CA, "which reaches the back colour at the middle"},
        {5, 0, H, 50, 0, 0x800000, "frame in the hot look"},
        {5, 0, D, 50, 29, 0x800000, "and the pressed one"},
        {6, 0, H, 50, 0, 0xC3CECE, "style 6 hot frame"},
        {6, 0, H, 50, 28, 0xC6D2D7, "hot line at height - 2"},
        {6, 0, H, 98, 15, 0xE0E7EA, "hot line at width - 2"},
        {6, 0, D, 50, 15, 0xDDE4E5, "pressed fill"},
        {6, 0, D, 50, 0, 0x929D9D, "pressed frame"},
        {7, 0, N, 50, 15, face, "style 7 normal is flat"},
        {7, 0, H, 50, 0, 0xCA9E61, "hot frame"},
        {7, 0, H, 50, 1, 0xFFFFFF, "inner white frame"},
        {7, 0, H, 50, 25, 0xF8ECD0, "below the upper part"},
        {7, 0, D, 50, 0, 0xCA9E61, "pressed frame"},
        {8, 0, N, 50, 0, S(0xFFD1AD, -0.34f), "style 8 frame"},
        {8, 0, H, 50, 11, 0x67D7FF, "hot lower part starts at height / 2.7"},
        {8, 0, D, 50, 11, 0x468FFF, "pressed lower part"},
        {8, 0, D, 50, 29, S(0xFFD1AD, -0.34f), "frame in every state"},
        {9, 0, N, 50, 1, 0xFFFFFF, "style 9 inner white frame"},
        {9, 0, N, 1, 1, S(0xFFD1AD, 0.05f), "its corners"},
        {9, 0, D, 50, 1, 0xFFFFFF, "inner frame when pressed"},
        {11, 0, N, 50, 0, face, "style 11 has no edge at rest"},
        {11, 0, H, 50, 0, Translate(OleColor::Light3D), "a raised edge when hot"},
        {11, 0, D, 50, 0, Translate(OleColor::ButtonShadow), "a sunken one when pressed"},
        {12, 0, N, 50, 0, face, "style 12 has no edge at rest"},
        {12, 0, H, 50, 0, Translate(OleColor::ButtonHighlight), "a thin raised edge when hot"},
        {12, 0, D, 50, 29, 0xFFFFFF, "white frame when pressed"},
        {12, 0, D, 50, 0, Translate(OleColor::GrayText), "under a grey frame one larger"},
    };
    ctx.parentActive = true;
    for (const Check& c : checks) {
        SCOPED_TRACE(c.what);
        p.ButtonStyle = c.style;
        p.ColorScheme = c.scheme;
        p.ApplyStyleColors();
        const QImage img = paint(c.state);
        EXPECT_EQ(at(img, c.x, c.y), c.color) << "style " << c.style << " at " << c.x << "," << c.y;
    }
    // Style 10: the frame is darker than the back colour in every state, and the states differ.
    p.ButtonStyle = 10;
    p.ColorScheme = 0;
    p.ApplyStyleColors();
    const QImage n = paint(N), h = paint(H), d = paint(D);
    for (const QImage* img : {&n, &h, &d})
        EXPECT_LT(at(*img, 50, 0) & 0xFF, p.BackColor & 0xFF);
    EXPECT_NE(at(n, 50, 5), at(h, 50, 5));
    EXPECT_NE(at(h, 50, 5), at(d, 50, 5));
    // Style 13 paints the platform's button over the system button face.
    p.ButtonStyle = StyleVisualStyle;
    const QImage themed = paint(N);
    EXPECT_NE(paint(D), themed) << "the pressed platform button differs from the one at rest";
}
