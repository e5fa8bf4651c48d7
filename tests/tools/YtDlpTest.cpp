// The bundled tool reading video pages through yt-dlp (its generic extractor), against a local HTTP
// server serving media made by ffmpeg at test time, through the runner as the window drives it.

#include "YtDlpFixture.h"

#include <QImage>
#include <QRegularExpression>

#include <csignal>

using namespace brenlow::test;
using namespace brenlow::test::media;

namespace {

struct PageCase
{
    const char* path;
    int formats; // the page's own format lines
    const char* name;
};

class PageTest : public YtDlpTest, public ::testing::WithParamInterface<PageCase>
{
};

TEST_P(PageTest, APageGivesItsFormatsAJpegPictureAndOneNameLine_AllFromOneReading)
{
    const PageCase c = GetParam();
    QString out;
    const QString link = url(QLatin1String(c.path));
    ASSERT_EQ(stage(2, link, &out), 0) << out.toStdString();
    const QStringList lines = table(out);
    ASSERT_EQ(lines.size(), c.formats) << out.toStdString();
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("(best)")));
    for (const QString& line : lines)
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9]{1,3} {6,}")).match(line).hasMatch())
            << line.toStdString();

    // WebP or a picture found only in the page's own data: a JPEG all the same, and nothing else left.
    ASSERT_EQ(stage(3, link, &out), 0) << out.toStdString();
    EXPECT_EQ(thumbnailFormat(), QStringLiteral("jpeg")) << out.toStdString();
    EXPECT_EQ(QImage(app.path() + QStringLiteral("/aaa.jpg")).size(), QSize(320, 180));
    EXPECT_EQ(appFiles(), QStringList({QStringLiteral("aaa.jpg"), QStringLiteral("do.dll")}));
    EXPECT_FALSE(QFile::exists(downloaded(QStringLiteral("mp4"))));

    ASSERT_EQ(stage(4, link, &out), 0);
    // The site names no uploader: the host stands in; a video element is numbered as the page's first.
    // One line and nothing else.
    EXPECT_EQ(out, QLatin1String(c.name) + QStringLiteral("\r\n"));

    // The page was read once, with the link after "--".
    ASSERT_EQ(ytdlpRuns().size(), 1);
    EXPECT_TRUE(ytdlpRuns().first().endsWith(QStringLiteral(" -- ") + link))
        << ytdlpRuns().first().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Pages, PageTest,
                         ::testing::Values(PageCase{"page.html", 2, "127.0.0.1 - Harbour Clip (1)"},
                                           PageCase{"webp.html", 1, "127.0.0.1 - Webp Clip"},
                                           PageCase{"og.html", 1, "127.0.0.1 - Open Graph Clip (1)"}),
                         [](const auto& info) {
                             return QString::fromLatin1(info.param.path).section(u'.', 0, 0).toStdString();
                         });

TEST_F(YtDlpTest, AnHtml5PagesRenditionsDownloadFromTheReadingOfTheList)
{
    QString out;
    const QString link = url(QStringLiteral("page.html"));
    const QStringList lines = pickDefault(link);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines.at(0).contains(QStringLiteral("mp4        90p"))) << lines.at(0).toStdString();
    EXPECT_TRUE(lines.at(1).contains(QStringLiteral("mp4        180p"))) << lines.at(1).toStdString();
    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    EXPECT_EQ(read(downloaded(QStringLiteral("mp4"))), read(site(QStringLiteral("big.mp4"))));
    EXPECT_TRUE(out.contains(QStringLiteral("\r\n[download] 100% of ")));
    EXPECT_EQ(extractions(), 1) << "the download used the page read for the list";

    // The other rendition by its own code; -w leaves the file that is there alone.
    host->code = codeOf(lines.at(0));
    host->name = QStringLiteral("small");
    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    EXPECT_EQ(read(downloads.path() + QStringLiteral("/small.mp4")), read(site(QStringLiteral("small.mp4"))));
    write(downloads.path() + QStringLiteral("/small.mp4"), "mine");
    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    EXPECT_EQ(read(downloads.path() + QStringLiteral("/small.mp4")), QByteArray("mine"));
}

TEST_F(YtDlpTest, AnHlsMasterOffersBothVariantsAndTheBestIsTheDefault)
{
    const QString link = url(QStringLiteral("hls/master.m3u8"));
    const QStringList lines = pickDefault(link);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines.at(0).startsWith(QStringLiteral("150          mp4        160x90")));
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("300          mp4        320x180")));
    QString out;
    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    EXPECT_EQ(streams(downloaded(QStringLiteral("mp4"))), PictureAndSound);
}

TEST_F(YtDlpTest, ADashManifestsDefaultMergesPictureAndSoundWithOneRisingProgress)
{
    const QString link = url(QStringLiteral("dash/manifest.mpd"));
    QString out;
    const QStringList lines = pickDefault(link, &out);
    ASSERT_EQ(lines.size(), 3) << out.toStdString();
    EXPECT_EQ(lines.filter(QStringLiteral("audio only")).size(), 1);
    EXPECT_EQ(lines.filter(QStringLiteral("video only")).size(), 1);
    EXPECT_TRUE(lines.last().contains(QStringLiteral("merged"))) << lines.last().toStdString();
    EXPECT_FALSE(lines.last().contains(QStringLiteral("only")));

    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    EXPECT_EQ(streams(downloaded(QStringLiteral("mp4"))), PictureAndSound);
    EXPECT_TRUE(QDir(downloads.path()).entryList(QDir::Files) == QStringList{QStringLiteral("clip.mp4")})
        << "the parts are gone";
    expectRisingTo100(out);
}

TEST_F(YtDlpTest, AMissingPageEndsWithYtDlpsErrorAndNoTable)
{
    const QString link = url(QStringLiteral("gone.html"));
    QString out;
    EXPECT_NE(stage(2, link, &out), 0);
    EXPECT_TRUE(out.contains(QStringLiteral("ERROR:")) && out.contains(QStringLiteral("404")))
        << out.toStdString();
    EXPECT_TRUE(table(out).isEmpty());
    host->code = QStringLiteral("1");
    EXPECT_NE(stage(5, link, &out), 0);
    EXPECT_TRUE(out.contains(QStringLiteral("404"))) << out.toStdString();
    EXPECT_TRUE(QDir(downloads.path()).isEmpty());
    // The name run gives no name, only the error.
    EXPECT_NE(stage(4, link, &out), 0);
    EXPECT_TRUE(out.startsWith(QStringLiteral("ERROR:"))) << out.toStdString();
    EXPECT_EQ(out.count(QStringLiteral("\r\n")), out.count(QStringLiteral("ERROR:"))) << out.toStdString();
}

TEST_F(YtDlpTest, CancelEndsAStalledDownloadWithYtDlpAndTheNextDownloadResumes)
{
    ASSERT_NO_FATAL_FAILURE(startStalledDownload());
    const QStringList runs = ytdlpRuns();
    ASSERT_EQ(runs.size(), 2);
    const pid_t pid = runs.last().section(u' ', 0, 0).toInt();
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(pid, 0), 0) << "yt-dlp runs";
    avc->CancelConvert();
    ASSERT_TRUE(waitForComplete(1, 30000));
    // yt-dlp went with the tool (a zombie waiting for its new parent counts as gone).
    EXPECT_TRUE(QTest::qWaitFor([pid] { return isGone(pid); }, 30000));

    QString out;
    ASSERT_EQ(stage(5, url(QStringLiteral("stall.html")), &out), 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Resuming download at byte"))) << out.toStdString();
    EXPECT_EQ(read(downloaded(QStringLiteral("mp4"))), Site::get().blob);
}

TEST_F(YtDlpTest, TheCachedPageIsRenewedWhenStaleUnreadableOrFailing)
{
    const QString link = url(QStringLiteral("page.html"));
    QString out;
    ASSERT_EQ(stage(2, link, &out), 0) << out.toStdString();
    const QString best = codeOf(table(out).value(1));
    const QString cacheFile = cacheEntry(link);
    ASSERT_EQ(QDir(cacheDir()).entryList({QStringLiteral("*.json")}, QDir::Files),
              QStringList{QFileInfo(cacheFile).fileName()});
    ASSERT_EQ(extractions(), 1);

    // Stale: read again.
    ASSERT_NO_FATAL_FAILURE(makeStale(link));
    ASSERT_EQ(stage(4, link, &out), 0);
    EXPECT_TRUE(out.startsWith(QStringLiteral("127.0.0.1 - Harbour Clip")));
    EXPECT_EQ(extractions(), 2);

    // Unreadable: read again.
    write(cacheFile, "not a page");
    ASSERT_EQ(stage(4, link, &out), 0);
    EXPECT_TRUE(out.startsWith(QStringLiteral("127.0.0.1 - Harbour Clip")));
    EXPECT_EQ(extractions(), 3);

    // Fresh but failing (its media address has gone): the download reads the page again.
    QByteArray json = read(cacheFile);
    ASSERT_TRUE(json.contains("/big.mp4"));
    write(cacheFile, json.replace("/big.mp4", "/gone.mp4").replace("/small.mp4", "/gone.mp4"));
    host->code = best;
    // Into a folder with a "%" that yt-dlp would read as the start of a field, were it not escaped.
    host->folder = downloads.path() + QStringLiteral("/50% off/");
    ASSERT_TRUE(QDir().mkpath(host->folder));
    const qsizetype runsBefore = ytdlpRuns().size();
    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    ASSERT_EQ(ytdlpRuns().size(), runsBefore + 2);
    EXPECT_TRUE(ytdlpRuns().at(runsBefore).contains(QStringLiteral("--load-info-json")));
    EXPECT_TRUE(ytdlpRuns().last().endsWith(QStringLiteral(" -- ") + link)) << "yt-dlp read the page itself";
    EXPECT_EQ(read(host->folder + QStringLiteral("clip.mp4")), read(site(QStringLiteral("big.mp4"))));
}

} // namespace
