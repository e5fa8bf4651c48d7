// The thumbnail run of the bridge to yt-dlp against hostile pictures: fake and truncated JPEGs, a
// picture larger than the window can show, one too large to decode, one on this computer's disk.

#include "YtDlpFixture.h"

#include <QImage>

using namespace brenlow::test;
using namespace brenlow::test::media;

namespace {

struct PictureCase
{
    const char* name;
    QSize written; // empty: no aaa.jpg
};

class PictureTest : public YtDlpTest, public ::testing::WithParamInterface<PictureCase>
{
};

TEST_P(PictureTest, OnlyAWholePictureOfAWebAddressIsWrittenAndNoLargerThan1280x720)
{
    const PictureCase c = GetParam();
    const QString name = QLatin1String(c.name);
    QByteArray poster = "/pictures/" + QByteArray(c.name);
    const QByteArray good = read(site(QStringLiteral("thumb.jpg")));
    ASSERT_TRUE(QDir().mkpath(site(QStringLiteral("pictures"))));
    if (name == u"fake.jpg") {
        write(site(QStringLiteral("pictures/fake.jpg")),
              QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(5000, 'x'));
    } else if (name == u"truncated.jpg") {
        write(site(QStringLiteral("pictures/truncated.jpg")), good.left(good.size() / 2));
    } else if (name == u"wide.jpg") {
        QImage big(6000, 3000, QImage::Format_RGB32);
        big.fill(Qt::darkCyan);
        ASSERT_TRUE(big.save(site(QStringLiteral("pictures/wide.jpg")), "JPG", 50));
    } else if (name == u"huge.png") {
        // 16000x12000 in a few MB: rows of zeros, compressed.
        QProcess py;
        py.start(
            QStringLiteral(BRENLOW_PYTHON),
            {QStringLiteral("-c"),
             QStringLiteral(
                 "import zlib,struct,sys\nw,h=16000,12000\n"
                 "def chunk(t,d): return struct.pack('>I',len(d))+t+d+struct.pack('>I',zlib.crc32(t+d))\n"
                 "c=zlib.compressobj(1); row=bytes(1+w*3)\n"
                 "data=b''.join(c.compress(row) for _ in range(h))+c.flush()\n"
                 "open(sys.argv[1],'wb').write(b'\\x89PNG\\r\\n\\x1a\\n'+chunk(b'IHDR',struct.pack('>IIBBBBB'"
                 ",w,h,8,2,0,0,0))"
                 "+chunk(b'IDAT',data)+chunk(b'IEND',b''))\n"),
             site(QStringLiteral("pictures/huge.png"))});
        ASSERT_TRUE(py.waitForFinished(120000) && py.exitCode() == 0);
    } else if (name == u"file") {
        poster = "file://" + site(QStringLiteral("thumb.jpg")).toUtf8();
    } else if (name == u"webp") {
        poster = "/thumb.webp";
    }
    const QString page = QStringLiteral("picture-%1.html").arg(name);
    write(site(page), videoPage("Picture Clip", poster, {"/small.mp4"}));
    const QString stats = home.path() + QStringLiteral("/stats");
    QString out;
    ASSERT_EQ(stage(2, url(page), &out), 0) << out.toStdString();
    env.set("BRENLOW_TOOL_TIMING_FILE", stats.toLocal8Bit());
    ASSERT_EQ(stage(3, url(page), &out), 0) << out.toStdString();
    const QString aaa = app.path() + QStringLiteral("/aaa.jpg");
    if (c.written.isEmpty()) {
        EXPECT_FALSE(QFile::exists(aaa)) << out.toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("WARNING:"))) << out.toStdString();
    } else {
        EXPECT_EQ(QImage(aaa).size(), c.written) << out.toStdString();
        EXPECT_EQ(thumbnailFormat(), QStringLiteral("jpeg"));
    }
    for (const QString& r : requests())
        EXPECT_FALSE(r.startsWith(QStringLiteral("/pictures/")) && name == u"file") << r.toStdString();
#if !defined(__SANITIZE_ADDRESS__)
    // The run's peak, the programs it started included.
    const QList<QByteArray> fields = read(stats).trimmed().split(' ');
    ASSERT_EQ(fields.size(), 3) << read(stats).toStdString();
    EXPECT_LT(fields.at(1).toLongLong() + fields.at(2).toLongLong(), 300 * 1024) << read(stats).toStdString();
#endif
}

INSTANTIATE_TEST_SUITE_P(Pictures, PictureTest,
                         ::testing::Values(PictureCase{"fake.jpg", {}}, PictureCase{"truncated.jpg", {}},
                                           PictureCase{"wide.jpg", QSize(1280, 640)},
                                           PictureCase{"huge.png", {}}, PictureCase{"file", {}},
                                           PictureCase{"webp", QSize(320, 180)}),
                         [](const auto& info) {
                             return QString::fromLatin1(info.param.name).remove(u'.').toStdString();
                         });

} // namespace
