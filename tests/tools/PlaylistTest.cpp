// Links that hold several videos and the profiles of sound alone: the bridge's reading of yt-dlp's
// answers, and the bundled tool driven through the runner against a local site made by ffmpeg.

#include "tools/downloader/Playlist.h"
#include "YtDlpFixture.h"
#include "tools/downloader/AudioProfiles.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <algorithm>

using namespace brenlow::tool;
using namespace brenlow::test;
using namespace brenlow::test::media;

namespace {

QJsonObject json(const char* text)
{
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

// --- links of the rows ---

struct ItemCase
{
    const char* link;
    const char* page; // empty: no item link
    int index;
};

class ItemLinkTest : public ::testing::TestWithParam<ItemCase>
{
};

TEST_P(ItemLinkTest, OnlyTheToolsOwnFragmentNamesAnItem)
{
    const ItemCase c = GetParam();
    const auto item = ParseItemLink(QString::fromUtf8(c.link));
    if (!*c.page) {
        EXPECT_FALSE(item.has_value());
        EXPECT_EQ(VideoArguments(QString::fromUtf8(c.link)),
                  QStringList({QStringLiteral("--no-playlist"), QStringLiteral("--playlist-items"),
                               QStringLiteral("1"), QStringLiteral("--"), QString::fromUtf8(c.link)}));
        return;
    }
    ASSERT_TRUE(item.has_value());
    EXPECT_EQ(item->page, QString::fromUtf8(c.page));
    EXPECT_EQ(item->index, c.index);
    EXPECT_EQ(ItemLink(item->page, item->index), QString::fromUtf8(c.link));
    EXPECT_EQ(VideoArguments(QString::fromUtf8(c.link)),
              QStringList({QStringLiteral("--yes-playlist"), QStringLiteral("--playlist-items"),
                           QString::number(c.index), QStringLiteral("--"), QString::fromUtf8(c.page)}));
}

INSTANTIATE_TEST_SUITE_P(Links, ItemLinkTest,
                         ::testing::Values(ItemCase{"https://site.example/page.html#brenlow-video-2",
                                                    "https://site.example/page.html", 2},
                                           ItemCase{"https://site.example/p?a=1&b=2#brenlow-video-17",
                                                    "https://site.example/p?a=1&b=2", 17},
                                           ItemCase{"https://site.example/page.html#video-2", "", 0},
                                           ItemCase{"https://site.example/page.html#brenlow-video-0", "", 0},
                                           ItemCase{"https://site.example/page.html#brenlow-video-2x", "", 0},
                                           ItemCase{"https://www.youtube.com/watch?v=abc&list=PL1", "", 0},
                                           ItemCase{"file:///tmp/page.html#brenlow-video-1", "", 0}));

TEST(ListedVideosTest, EachVideoGetsItsOwnLinkAndOnlyReadVideosAreKept)
{
    // A channel's flat list (own pages, not read), a page with two video elements (read, no pages
    // of their own), one embedded video with a page elsewhere, and a gap yt-dlp left.
    const QJsonObject answer = json(R"({"_type": "playlist", "webpage_url": "https://site.example/list",
      "entries": [
        {"_type": "url", "url": "https://site.example/watch?v=a", "title": "A"},
        {"_type": "url_transparent", "url": "abc", "webpage_url": "https://site.example/watch?v=b"},
        {"id": "list-3", "webpage_url": "https://site.example/list", "formats": [{"format_id": "0"}]},
        {"id": "list-4", "webpage_url": "https://site.example/list#top", "formats": [{"format_id": "0"}]},
        {"id": "x", "webpage_url": "https://other.example/v/x", "formats": [{"format_id": "0"}]},
        null,
        {"_type": "url", "url": "not a link"}
      ]})");
    const QString link = QStringLiteral("https://site.example/list?from=mail");
    const QList<ListedVideo> videos = ListedVideos(answer, link);
    QStringList links;
    QList<bool> read;
    for (const ListedVideo& v : videos) {
        links << v.link;
        read << v.info.has_value();
    }
    EXPECT_EQ(links, QStringList({QStringLiteral("https://site.example/watch?v=a"),
                                  QStringLiteral("https://site.example/watch?v=b"),
                                  QStringLiteral("https://site.example/list?from=mail#brenlow-video-3"),
                                  QStringLiteral("https://site.example/list?from=mail#brenlow-video-4"),
                                  QStringLiteral("https://other.example/v/x")}));
    EXPECT_EQ(read, QList<bool>({false, false, true, true, true}));
    EXPECT_EQ(PlaylistLines(videos).first(), QStringLiteral("[playlist] 5"));
    EXPECT_EQ(PlaylistLines(videos).at(3),
              QStringLiteral("[playlist-video] https://site.example/list?from=mail#brenlow-video-3"));
    EXPECT_TRUE(IsPlaylist(answer));
    EXPECT_TRUE(IsPlaylist(json(R"({"_type": "multi_video"})")));
    EXPECT_FALSE(IsPlaylist(json(R"({"_type": "video"})")));
}

// --- sound alone ---

TEST(AudioProfilesTest, TwoSoundProfilesComeBeforeTheDefaultWithFreeCodes)
{
    const QJsonObject page = json(R"({"format_id": "137+140", "formats": [
        {"format_id": "1", "vcodec": "avc1", "acodec": "mp4a", "protocol": "https"},
        {"format_id": "140", "ext": "m4a", "vcodec": "none", "acodec": "mp4a.40.2", "abr": 128},
        {"format_id": "251", "ext": "webm", "vcodec": "none", "acodec": "opus", "abr": 140},
        {"format_id": "137", "vcodec": "avc1", "acodec": "none", "protocol": "m3u8_native"}]})");
    CodeMap codes{{QStringLiteral("hls-x"), QStringLiteral("2")}};
    const QStringList table =
        WithAudioProfiles({QStringLiteral("a"), QStringLiteral("b (best)")}, page, codes);
    ASSERT_EQ(table.size(), 4);
    EXPECT_EQ(table.last(), QStringLiteral("b (best)"));
    // 1 is a real id and 2 is taken: the next free numbers.
    EXPECT_TRUE(
        table.at(1).startsWith(QStringLiteral("3            webm       audio only audio only, best, opus")))
        << table.at(1).toStdString();
    EXPECT_TRUE(table.at(2).startsWith(QStringLiteral("4            mp3        audio only audio only, MP3")))
        << table.at(2).toStdString();
    EXPECT_EQ(FormatIdForCode(QStringLiteral("3"), codes), QLatin1String(AudioBestId));
    EXPECT_EQ(FormatIdForCode(QStringLiteral("4"), codes), QLatin1String(AudioMp3Id));
    // The same codes again next time.
    EXPECT_EQ(WithAudioProfiles({QStringLiteral("b (best)")}, page, codes).at(0).left(1),
              QStringLiteral("3"));

    // Sound as it comes needs no conversion; MP3 leaves the last share of the percentage to it.
    EXPECT_EQ(DownloadArguments(QLatin1String(AudioBestId), page),
              QStringList({QStringLiteral("-f"), QStringLiteral("ba"),
                           QStringLiteral("--concurrent-fragments"), QStringLiteral("4")}));
    EXPECT_EQ(DownloadShare(QLatin1String(AudioBestId), page), 1.0);
    EXPECT_EQ(DownloadArguments(QLatin1String(AudioMp3Id), page).mid(0, 5),
              QStringList({QStringLiteral("-f"), QStringLiteral("ba/b"), QStringLiteral("-x"),
                           QStringLiteral("--audio-format"), QStringLiteral("mp3")}));
    EXPECT_LT(DownloadShare(QLatin1String(AudioMp3Id), page), 1.0);
    // Pieces four at once for HLS, never for a single file.
    EXPECT_EQ(DownloadArguments(QStringLiteral("137+140"), page),
              QStringList({QStringLiteral("-f"), QStringLiteral("137+140"),
                           QStringLiteral("--concurrent-fragments"), QStringLiteral("4")}));
    EXPECT_EQ(DownloadArguments(QStringLiteral("1"), page),
              QStringList({QStringLiteral("-f"), QStringLiteral("1")}));

    // A page of picture alone has no sound profile.
    CodeMap none;
    const QJsonObject silent =
        json(R"({"formats": [{"format_id": "1", "vcodec": "avc1", "acodec": "none"}]})");
    EXPECT_EQ(WithAudioProfiles({QStringLiteral("1 (best)")}, silent, none).size(), 1);
}

TEST(AudioProfilesTest, AConvertedDownloadReachesAHundredOnlyAtItsEnd)
{
    EXPECT_EQ(ScaleProgressLine(QStringLiteral("[download] 100.0% of 1.00MiB at 1.00MiB/s ETA 00:00"), 0.95),
              QStringLiteral("[download]  95.0% of 1.00MiB at 1.00MiB/s ETA 00:00"));
    EXPECT_EQ(ScaleProgressLine(QStringLiteral("[download]  50.0% of 1.00MiB"), 1.0),
              QStringLiteral("[download]  50.0% of 1.00MiB"));
    EXPECT_EQ(ScaleProgressLine(QStringLiteral("[ExtractAudio] Destination: a.mp3"), 0.95),
              QStringLiteral("[ExtractAudio] Destination: a.mp3"));
}

// --- the tool against a local site ---

class PlaylistToolTest : public YtDlpTest
{
protected:
    bool everyRunIgnoresTheUsersConfig() const
    {
        const QStringList runs = ytdlpArgs();
        return !runs.isEmpty() && std::all_of(runs.begin(), runs.end(), [](const QString& r) {
            return r.startsWith(QStringLiteral("--ignore-config "));
        });
    }
    QStringList reads() const
    {
        return ytdlpArgs().filter(QRegularExpression(QStringLiteral("^--ignore-config -J ")));
    }
};

TEST_F(PlaylistToolTest, APageOfThreeVideosIsReadOnceAndEachRowLinkAnswersAllFourRuns)
{
    QString out;
    const QString page = url(QStringLiteral("three.html"));
    ASSERT_EQ(stage(2, page, &out), 0) << out.toStdString();
    EXPECT_TRUE(fullTable(out).isEmpty());
    const QStringList lines = out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_TRUE(lines.contains(QStringLiteral("[playlist] 3"))) << out.toStdString();
    const QStringList rows = lines.filter(QRegularExpression(QStringLiteral("^\\[playlist-video\\] ")));
    ASSERT_EQ(rows.size(), 3);
    ASSERT_EQ(ytdlpArgs().size(), 1);
    EXPECT_TRUE(ytdlpArgs().first().contains(QStringLiteral("--flat-playlist")));

    for (int i = 0; i < 3; ++i) {
        const QString row = rows.at(i).section(u' ', 1);
        EXPECT_EQ(row, page + QStringLiteral("#brenlow-video-%1").arg(i + 1));
        ASSERT_EQ(stage(2, row, &out), 0) << out.toStdString();
        const QStringList formats = fullTable(out);
        ASSERT_EQ(formats.size(), 3) << out.toStdString(); // the file, two sound profiles
        ASSERT_EQ(stage(3, row, &out), 0) << out.toStdString();
        const QColor seen = QImage(app.path() + QStringLiteral("/aaa.jpg")).pixelColor(32, 18);
        const QColor colour(ListColours.at(i));
        EXPECT_NEAR(seen.red(), colour.red(), 40);
        EXPECT_NEAR(seen.green(), colour.green(), 40);
        EXPECT_NEAR(seen.blue(), colour.blue(), 40);
        ASSERT_EQ(stage(4, row, &out), 0);
        EXPECT_EQ(out, QStringLiteral("127.0.0.1 - Three Clips (%1)\r\n").arg(i + 1));
        host->code = codeOf(formats.last());
        host->name = QStringLiteral("clip%1").arg(i + 1);
        ASSERT_EQ(stage(5, row, &out), 0) << out.toStdString();
        EXPECT_EQ(read(downloads.path() + QStringLiteral("/clip%1.mp4").arg(i + 1)),
                  read(Site::get().dir.path() + u'/' + ListMedia.at(i)));
    }
    // Twelve runs of the tool, one reading of the page; none with the user's own yt-dlp settings.
    EXPECT_EQ(reads().size(), 1) << ytdlpArgs().join(u'\n').toStdString();
    EXPECT_TRUE(everyRunIgnoresTheUsersConfig()) << ytdlpArgs().join(u'\n').toStdString();

    // Long after, with nothing kept: the row link still leads to its own video on the page.
    QDir(home.path() + QStringLiteral("/XDG_CACHE_HOME")).removeRecursively();
    host->code = QString();
    host->name = QStringLiteral("again");
    ASSERT_EQ(stage(5, rows.at(1).section(u' ', 1), &out), 0) << out.toStdString();
    EXPECT_EQ(read(downloads.path() + QStringLiteral("/again.mp4")),
              read(Site::get().dir.path() + QStringLiteral("/big.mp4")));
    EXPECT_TRUE(ytdlpArgs().last().contains(QStringLiteral("--playlist-items 2 -- ") + page))
        << ytdlpArgs().last().toStdString();
}

TEST_F(PlaylistToolTest, TheListRunMakesTheRowsPicturesReadyForTheirPictureRuns)
{
    QString out;
    const QString page = url(QStringLiteral("three.html"));
    ASSERT_EQ(stage(2, page, &out), 0) << out.toStdString();
    // With the site gone, every row's picture run still writes its own picture, from the cache.
    server.kill();
    server.waitForFinished(5000);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(stage(3, page + QStringLiteral("#brenlow-video-%1").arg(i + 1), &out), 0)
            << out.toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("[info] Downloading thumbnail %1")
                                     .arg(url(QStringLiteral("poster%1.jpg").arg(i + 1)))))
            << out.toStdString();
        const QColor seen = QImage(app.path() + QStringLiteral("/aaa.jpg")).pixelColor(32, 18);
        const QColor colour(ListColours.at(i));
        EXPECT_NEAR(seen.red(), colour.red(), 40);
        EXPECT_NEAR(seen.green(), colour.green(), 40);
        EXPECT_NEAR(seen.blue(), colour.blue(), 40);
    }
}

TEST_F(PlaylistToolTest, AFeedOfPagesGivesTheirOwnLinksAndTheFirstRowReadsThemAllInOneRun)
{
    QByteArray items;
    for (int i = 1; i <= 3; ++i) {
        write(Site::get().dir.path() + QStringLiteral("/own%1.html").arg(i),
              QStringLiteral(
                  "<html><head><meta property=\"og:title\" content=\"Feed Clip %1\"></head><body>"
                  "<video controls><source src=\"/small.mp4\" type=\"video/mp4\"></video></body></html>")
                  .arg(i)
                  .toUtf8());
        items += QStringLiteral("<item><title>%1</title><link>%2</link></item>")
                     .arg(i)
                     .arg(url(QStringLiteral("own%1.html").arg(i)))
                     .toUtf8();
    }
    write(Site::get().dir.path() + QStringLiteral("/feed.rss"),
          "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Feed</title><link>http://x/</link>" +
              items + "</channel></rss>");
    QString out;
    ASSERT_EQ(stage(2, url(QStringLiteral("feed.rss")), &out), 0) << out.toStdString();
    const QStringList rows = out.split(QStringLiteral("\r\n")).filter(QStringLiteral("[playlist-video] "));
    ASSERT_EQ(rows.size(), 3) << out.toStdString();
    for (int i = 1; i <= 3; ++i) {
        const QString link = url(QStringLiteral("own%1.html").arg(i));
        EXPECT_EQ(rows.at(i - 1), QStringLiteral("[playlist-video] ") + link);
        ASSERT_EQ(stage(2, link, &out), 0) << out.toStdString();
        EXPECT_EQ(fullTable(out).size(), 3) << out.toStdString();
        ASSERT_EQ(stage(4, link, &out), 0) << out.toStdString();
        EXPECT_TRUE(out.startsWith(QStringLiteral("127.0.0.1 - Feed Clip %1").arg(i))) << out.toStdString();
    }
    // The feed once, then the three pages together in one run.
    const QStringList read = reads();
    ASSERT_EQ(read.size(), 2) << ytdlpArgs().join(u'\n').toStdString();
    EXPECT_TRUE(everyRunIgnoresTheUsersConfig()) << ytdlpArgs().join(u'\n').toStdString();
    EXPECT_TRUE(read.at(1).endsWith(url(QStringLiteral("own1.html")) + u' ' +
                                    url(QStringLiteral("own2.html")) + u' ' +
                                    url(QStringLiteral("own3.html"))))
        << read.at(1).toStdString();
}

TEST_F(PlaylistToolTest, AListWithoutVideosOrAMissingPageEndsWithAReason)
{
    QString out;
    EXPECT_EQ(stage(2, url(QStringLiteral("empty.rss")), &out), 1);
    EXPECT_TRUE(out.contains(QStringLiteral("ERROR: This playlist holds no videos"))) << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("[playlist]")));
    EXPECT_EQ(stage(2, url(QStringLiteral("gone.html")), &out), 1);
    EXPECT_TRUE(out.contains(QStringLiteral("ERROR:"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("404"))) << out.toStdString();
}

struct AudioCase
{
    const char* name;
    int fromLast; // the profile's place before the default line
    const char* ext;
    const char* codec;
};

class AudioToolTest : public PlaylistToolTest, public ::testing::WithParamInterface<AudioCase>
{
};

TEST_P(AudioToolTest, ASoundProfileGivesOneFileOfSoundAloneWithOneRisingPercentage)
{
    const AudioCase c = GetParam();
    QString out;
    const QString link = url(QStringLiteral("page.html"));
    ASSERT_EQ(stage(2, link, &out), 0) << out.toStdString();
    const QStringList formats = fullTable(out);
    ASSERT_GE(formats.size(), 3) << out.toStdString();
    EXPECT_TRUE(formats.last().endsWith(QStringLiteral("(best)")));
    EXPECT_FALSE(formats.last().contains(QStringLiteral("audio only")));
    host->code = codeOf(formats.at(formats.size() - 1 - c.fromLast));
    host->name = QString::fromLatin1(c.name);
    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    const QStringList files = QDir(downloads.path()).entryList(QDir::Files);
    ASSERT_EQ(files, QStringList{QString::fromLatin1(c.name) + u'.' + QLatin1String(c.ext)})
        << out.toStdString();
    const QString file = downloads.path() + u'/' + files.first();
    EXPECT_EQ(streams(file), QStringList{QStringLiteral("audio")});
    EXPECT_EQ(streams(file, "codec_name"), QStringList{QLatin1String(c.codec)});
    // The figures the window reads rise and end at 100.
    expectRisingTo100(out);
}

INSTANTIATE_TEST_SUITE_P(Profiles, AudioToolTest,
                         ::testing::Values(AudioCase{"best", 2, "m4a", "aac"},
                                           AudioCase{"mp3", 1, "mp3", "mp3"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PiecesCase
{
    const char* path;
    bool pieces; // several pieces at once
};

class PiecesTest : public PlaylistToolTest, public ::testing::WithParamInterface<PiecesCase>
{
};

TEST_P(PiecesTest, PiecesOfAnHlsVideoComeFourAtOnceAndASingleFileStaysOneConnection)
{
    const PiecesCase c = GetParam();
    const QString link = url(QLatin1String(c.path));
    pickDefault(link);
    QString out;
    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    const QString run = ytdlpArgs().last();
    EXPECT_EQ(run.contains(QStringLiteral("--concurrent-fragments 4")), c.pieces) << run.toStdString();
    EXPECT_EQ(run.contains(QStringLiteral("--concurrent-fragments")), c.pieces) << run.toStdString();
    EXPECT_EQ(streams(downloaded(QStringLiteral("mp4"))), PictureAndSound);
}

INSTANTIATE_TEST_SUITE_P(Links, PiecesTest,
                         ::testing::Values(PiecesCase{"hls/master.m3u8", true},
                                           PiecesCase{"page.html", false}),
                         [](const auto& info) { return std::string(info.param.pieces ? "hls" : "single"); });

} // namespace
