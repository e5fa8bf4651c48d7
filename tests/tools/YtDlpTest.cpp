// The bundled tool reading video pages through yt-dlp (its generic extractor), against a local HTTP
// server serving media made by ffmpeg at test time, through the runner as the window drives it.

#include "YtDlpFixture.h"

#include <QDirIterator>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>

#include <csignal>

using namespace brenlow::test;
using namespace brenlow::test::media;

namespace {

TEST_F(YtDlpTest, AnHtml5PageGivesItsRenditionsAPictureAName_AndOneExtractionServesThemAll)
{
    QString out;
    const QString link = url(QStringLiteral("page.html"));
    ASSERT_EQ(stage(2, link, &out), 0) << out.toStdString();
    const QStringList lines = table(out);
    ASSERT_EQ(lines.size(), 2) << out.toStdString();
    EXPECT_TRUE(lines.at(0).contains(QStringLiteral("mp4        90p"))) << lines.at(0).toStdString();
    EXPECT_TRUE(lines.at(1).contains(QStringLiteral("mp4        180p"))) << lines.at(1).toStdString();
    EXPECT_TRUE(lines.at(1).endsWith(QStringLiteral("(best)")));
    for (const QString& line : lines)
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9]{1,3} {6,}")).match(line).hasMatch())
            << line.toStdString();

    ASSERT_EQ(stage(3, link, &out), 0) << out.toStdString();
    EXPECT_EQ(thumbnailFormat(), QStringLiteral("jpeg"));
    EXPECT_EQ(QImage(app.path() + QStringLiteral("/aaa.jpg")).size(), QSize(320, 180));
    EXPECT_EQ(appFiles(), QStringList({QStringLiteral("aaa.jpg"), QStringLiteral("do.dll")}));
    EXPECT_FALSE(QFile::exists(downloaded(QStringLiteral("mp4"))));

    ASSERT_EQ(stage(4, link, &out), 0);
    // The site names no uploader: the host stands in; one line and nothing else.
    EXPECT_TRUE(out.startsWith(QStringLiteral("127.0.0.1 - Harbour Clip"))) << out.toStdString();
    EXPECT_EQ(out.count(QStringLiteral("\r\n")), 1) << out.toStdString();

    // The page was read once, with the link after "--".
    ASSERT_EQ(ytdlpRuns().size(), 1);
    EXPECT_TRUE(ytdlpRuns().first().endsWith(QStringLiteral(" -- ") + link))
        << ytdlpRuns().first().toStdString();

    host->code = codeOf(lines.at(1));
    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    EXPECT_EQ(read(downloaded(QStringLiteral("mp4"))),
              read(Site::get().dir.path() + QStringLiteral("/big.mp4")));
    EXPECT_TRUE(out.contains(QStringLiteral("\r\n[download] 100% of ")));
    EXPECT_EQ(extractions(), 1) << "the download used the page read for the list";

    // The other rendition by its own code; -w leaves the file that is there alone.
    host->code = codeOf(lines.at(0));
    host->name = QStringLiteral("small");
    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    EXPECT_EQ(read(downloads.path() + QStringLiteral("/small.mp4")),
              read(Site::get().dir.path() + QStringLiteral("/small.mp4")));
    write(downloads.path() + QStringLiteral("/small.mp4"), "mine");
    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    EXPECT_EQ(read(downloads.path() + QStringLiteral("/small.mp4")), QByteArray("mine"));
}

TEST_F(YtDlpTest, AWebPPictureBecomesAJpegAndNothingElseIsLeft)
{
    const QString link = url(QStringLiteral("webp.html"));
    QString out;
    ASSERT_EQ(stage(2, link, &out), 0) << out.toStdString();
    ASSERT_EQ(table(out).size(), 1) << out.toStdString();
    ASSERT_EQ(stage(3, link, &out), 0) << out.toStdString();
    EXPECT_EQ(thumbnailFormat(), QStringLiteral("jpeg")) << out.toStdString();
    EXPECT_EQ(QImage(app.path() + QStringLiteral("/aaa.jpg")).size(), QSize(320, 180));
    EXPECT_EQ(appFiles(), QStringList({QStringLiteral("aaa.jpg"), QStringLiteral("do.dll")}));
    ASSERT_EQ(stage(4, link, &out), 0);
    EXPECT_EQ(out, QStringLiteral("127.0.0.1 - Webp Clip\r\n"));
}

TEST_F(YtDlpTest, APagesOpenGraphPictureIsTheThumbnailWhereYtDlpFindsNone)
{
    const QString link = url(QStringLiteral("og.html"));
    QString out;
    ASSERT_EQ(stage(2, link, &out), 0) << out.toStdString();
    ASSERT_EQ(table(out).size(), 1) << out.toStdString();
    ASSERT_EQ(stage(3, link, &out), 0) << out.toStdString();
    EXPECT_EQ(thumbnailFormat(), QStringLiteral("jpeg")) << out.toStdString();
    EXPECT_EQ(appFiles(), QStringList({QStringLiteral("aaa.jpg"), QStringLiteral("do.dll")}));
}

TEST_F(YtDlpTest, AnHlsMasterOffersBothVariantsAndTheBestIsTheDefault)
{
    const QString link = url(QStringLiteral("hls/master.m3u8"));
    QString out;
    ASSERT_EQ(stage(2, link, &out), 0) << out.toStdString();
    const QStringList lines = table(out);
    ASSERT_EQ(lines.size(), 2) << out.toStdString();
    EXPECT_TRUE(lines.at(0).startsWith(QStringLiteral("150          mp4        160x90")));
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("300          mp4        320x180")));
    host->code = codeOf(lines.last());
    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    EXPECT_EQ(streams(downloaded(QStringLiteral("mp4"))),
              QStringList({QStringLiteral("video,320"), QStringLiteral("audio")}));
}

TEST_F(YtDlpTest, ADashManifestsDefaultMergesPictureAndSoundWithOneRisingProgress)
{
    const QString link = url(QStringLiteral("dash/manifest.mpd"));
    QString out;
    ASSERT_EQ(stage(2, link, &out), 0) << out.toStdString();
    const QStringList lines = table(out);
    ASSERT_EQ(lines.size(), 3) << out.toStdString();
    EXPECT_EQ(lines.filter(QStringLiteral("audio only")).size(), 1);
    EXPECT_EQ(lines.filter(QStringLiteral("video only")).size(), 1);
    EXPECT_TRUE(lines.last().contains(QStringLiteral("merged"))) << lines.last().toStdString();
    EXPECT_FALSE(lines.last().contains(QStringLiteral("only")));

    host->code = codeOf(lines.last());
    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    EXPECT_EQ(streams(downloaded(QStringLiteral("mp4"))),
              QStringList({QStringLiteral("video,320"), QStringLiteral("audio")}));
    EXPECT_TRUE(QDir(downloads.path()).entryList(QDir::Files) == QStringList{QStringLiteral("clip.mp4")})
        << "the parts are gone";
    // Each progress line on a line of its own, the figures never going back.
    double last = -1;
    int count = 0;
    const QRegularExpression progress(QStringLiteral("^\\[download\\] +([0-9.]+)% of "));
    for (const QString& line : out.split(QStringLiteral("\r\n"))) {
        const QRegularExpressionMatch m = progress.match(line);
        if (!m.hasMatch())
            continue;
        EXPECT_GE(m.captured(1).toDouble(), last) << line.toStdString();
        last = m.captured(1).toDouble();
        ++count;
    }
    EXPECT_GE(count, 1);
    EXPECT_EQ(last, 100.0);
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
    const QString link = url(QStringLiteral("stall.html"));
    QString out;
    ASSERT_EQ(stage(2, link, &out), 0) << out.toStdString();
    host->code = codeOf(table(out).last());
    events.clear();
    run(5);
    const QString part = downloaded(QStringLiteral("mp4.part"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(part).size() >= 32 * 1024; }, 60000))
        << output().toStdString();
    const QStringList runs = ytdlpRuns();
    ASSERT_EQ(runs.size(), 2);
    const pid_t pid = runs.last().section(u' ', 0, 0).toInt();
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(pid, 0), 0) << "yt-dlp runs";
    avc->CancelConvert();
    ASSERT_TRUE(waitForComplete(1, 30000));
    // yt-dlp went with the tool (a zombie waiting for its new parent counts as gone).
    auto gone = [pid] {
        const QByteArray stat = read(QStringLiteral("/proc/%1/stat").arg(pid));
        return stat.isEmpty() || stat.mid(stat.lastIndexOf(')') + 2, 1) == "Z";
    };
    EXPECT_TRUE(QTest::qWaitFor(gone, 30000));

    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Resuming download at byte"))) << out.toStdString();
    EXPECT_EQ(read(downloaded(QStringLiteral("mp4"))), Site::get().blob);
}

TEST_F(YtDlpTest, TheCachedPageIsRenewedWhenStaleUnreadableOrFailing)
{
    const QString link = url(QStringLiteral("page.html"));
    QString out;
    ASSERT_EQ(stage(2, link, &out), 0) << out.toStdString();
    const QString best = codeOf(table(out).value(1));
    const QString cacheDir = home.path() + QStringLiteral("/XDG_CACHE_HOME/brenlow/pages");
    const QStringList cached = QDir(cacheDir).entryList({QStringLiteral("*.json")}, QDir::Files);
    ASSERT_EQ(cached.size(), 1);
    const QString cacheFile = cacheDir + u'/' + cached.first();
    ASSERT_EQ(extractions(), 1);

    // Stale: read again.
    {
        QFile f(cacheFile);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            f.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    }
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
    EXPECT_EQ(read(host->folder + QStringLiteral("clip.mp4")),
              read(Site::get().dir.path() + QStringLiteral("/big.mp4")));
}

} // namespace
