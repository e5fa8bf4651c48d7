#include "controls/common/Surface.h"
#include "controls/common/BundledPicture.h"

#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace brenlow;

namespace {

struct SurfaceCase
{
    int width;
    int height;
    QImage::Format format;
};

class NewSurfaceTest : public ::testing::TestWithParam<SurfaceCase>
{
};

// Small ones come from the heap, large ones are mapped: either way the lines lie where QImage puts
// them, painting reaches every pixel, and a copy that is changed leaves the surface alone.
TEST_P(NewSurfaceTest, BehavesAsAnImageOfThatSize)
{
    const SurfaceCase c = GetParam();
    QImage surface = NewSurface(QSize(c.width, c.height), c.format);
    ASSERT_FALSE(surface.isNull());
    EXPECT_EQ(surface.size(), QSize(c.width, c.height));
    EXPECT_EQ(surface.bytesPerLine(), QImage(c.width, c.height, c.format).bytesPerLine());
    {
        QPainter p(&surface);
        p.fillRect(surface.rect(), QColor(10, 20, 30));
        p.fillRect(QRect(c.width - 1, c.height - 1, 1, 1), QColor(200, 100, 50));
    }
    EXPECT_EQ(surface.pixelColor(0, 0), QColor(10, 20, 30));
    EXPECT_EQ(surface.pixelColor(c.width - 1, c.height - 1), QColor(200, 100, 50));

    QImage copy = surface;
    copy.setPixelColor(0, 0, QColor(1, 2, 3));
    EXPECT_EQ(surface.pixelColor(0, 0), QColor(10, 20, 30));
    EXPECT_EQ(copy.pixelColor(0, 0), QColor(1, 2, 3));
    surface = QImage();
    EXPECT_EQ(copy.pixelColor(c.width - 1, c.height - 1), QColor(200, 100, 50))
        << "the copy keeps its pixels";
}

INSTANTIATE_TEST_SUITE_P(Sizes, NewSurfaceTest,
                         ::testing::Values(SurfaceCase{40, 30, QImage::Format_RGB32},
                                           SurfaceCase{1400, 680, QImage::Format_RGB32},
                                           SurfaceCase{1001, 700, QImage::Format_RGB888},
                                           SurfaceCase{777, 513, QImage::Format_ARGB32_Premultiplied}));

// A picture file may change while the program runs, so it is read anew each time.
TEST(BundledPicture, FilesAreReadAnew)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("p.png"));
    QImage picture(4, 4, QImage::Format_RGB32);
    for (const QColor color : {QColor(Qt::red), QColor(Qt::blue)}) {
        picture.fill(color);
        ASSERT_TRUE(picture.save(path, "png"));
        EXPECT_EQ(ReadBundledPicture(path, "png", QImage::Format_RGB32).pixelColor(0, 0), color);
    }
    EXPECT_TRUE(ReadBundledPicture(dir.filePath(QStringLiteral("none.png")), "png").isNull());
}

} // namespace
