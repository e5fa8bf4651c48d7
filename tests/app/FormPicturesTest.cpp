// The buttons' pictures: drawn for the screen's density and put on the buttons pixel for pixel.
#include "FormFixture.h"

#include "controls/button/ButtonPictures.h"
#include "controls/button/glintbutton.h"

#include <algorithm>

namespace {

/** True when `picture` lies in `surface` pixel for pixel, its mask-coloured pixels aside. A
 *  button lower than its picture shows only the middle of it, and its frame (two pixels of its
 *  own, `border` on the surface) is drawn over the picture. */
bool containsPicture(const QImage& surface, const QImage& picture, int border)
{
    const QImage s = surface.convertToFormat(QImage::Format_RGB32);
    const QImage p = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb mask = 0xFF000000u | brenlow::ButtonPictureMaskColor;
    const int slackX = p.width() / 4, slackY = p.height() / 4;
    for (int y0 = -slackY; y0 + p.height() <= s.height() + slackY; ++y0) {
        for (int x0 = -slackX; x0 + p.width() <= s.width() + slackX; ++x0) {
            bool same = true;
            for (int y = std::max(0, -y0); same && y < p.height() && y0 + y < s.height(); ++y) {
                for (int x = std::max(0, -x0); same && x < p.width() && x0 + x < s.width(); ++x) {
                    const QPoint at(x0 + x, y0 + y);
                    const bool onFrame = at.x() < border || at.y() < border || at.x() >= s.width() - border ||
                                         at.y() >= s.height() - border;
                    same = onFrame || p.pixel(x, y) == mask || s.pixel(at) == p.pixel(x, y);
                }
            }
            if (same)
                return true;
        }
    }
    return false;
}

/** A picture enlarged pixel for pixel is made of 2 x 2 blocks of one colour. */
bool pixelDoubled(const QImage& picture)
{
    for (int y = 0; y + 1 < picture.height(); y += 2) {
        for (int x = 0; x + 1 < picture.width(); x += 2) {
            const QRgb c = picture.pixel(x, y);
            if (picture.pixel(x + 1, y) != c || picture.pixel(x, y + 1) != c ||
                picture.pixel(x + 1, y + 1) != c)
                return false;
        }
    }
    return true;
}

} // namespace

TEST_F(FormTest, ButtonPicturesAreDrawnForTheScreensDensityAndShownPixelForPixel)
{
    const bool dense = qApp->devicePixelRatio() >= 2.0;
    for (int n = 1; n <= 5; ++n) {
        glintbutton* button = form->Command(n);
        const QImage picture = button->PictureNormal();
        ASSERT_FALSE(picture.isNull()) << n;
        EXPECT_EQ(picture.deviceIndependentSize(), QSizeF(32, 32)) << n;
        if (dense) {
            EXPECT_EQ(picture.size(), QSize(64, 64)) << n;
            EXPECT_FALSE(pixelDoubled(picture)) << n;
        }
        // "Cancel" starts disabled, so its picture is shown faded.
        if (button->Enabled()) {
            EXPECT_TRUE(containsPicture(button->Surface(), picture, qRound(2 * button->devicePixelRatioF())))
                << n;
        }
    }
}
