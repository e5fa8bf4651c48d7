// The bridge's reading of yt-dlp's page data: the format table and its codes, names, thumbnails,
// the overall progress and size of merged downloads, and the tool's own option parsing.

#include "tools/downloader/PageInfo.h"
#include "tools/downloader/Options.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace brenlow::tool;

namespace {

QJsonObject json(const char* text)
{
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

// A page of a big site: storyboards, audio and video apart, ids of letters and digits, and yt-dlp's
// own choice of two parts merged; its last format is a video without sound.
const char* const kSitePage = R"({
  "id": "abc", "title": "A Talk", "uploader": "Some Channel", "duration": 10,
  "webpage_url": "https://video.example.org/watch?v=abc", "webpage_url_domain": "video.example.org",
  "format_id": "251-drc+137",
  "thumbnails": [{"url": "https://i.example.org/small.jpg"}, {"url": "/big.webp"}],
  "formats": [
    {"format_id": "sb0", "ext": "mhtml", "format_note": "storyboard", "vcodec": "none", "acodec": "none"},
    {"format_id": "251-drc", "ext": "webm", "vcodec": "none", "acodec": "opus", "tbr": 130, "filesize": 160000},
    {"format_id": "18", "ext": "mp4", "width": 640, "height": 360, "vcodec": "avc1", "acodec": "mp4a",
     "format_note": "360p", "filesize": 800000},
    {"format_id": "hls-720p", "ext": "mp4", "height": 720, "vcodec": "avc1", "acodec": "mp4a", "tbr": 2000},
    {"format_id": "137", "ext": "mp4", "width": 1920, "height": 1080, "vcodec": "avc1.640028", "acodec": "none",
     "format_note": "1080p", "filesize": 1440000}
  ]})";

TEST(FormatTableTest, EveryCodeIsAShortNumberAndTheMergedPairComesLast)
{
    CodeMap codes;
    const QStringList lines = FormatTable(json(kSitePage), codes);
    ASSERT_EQ(lines.size(), 5) << lines.join(u'\n').toStdString(); // no storyboard
    for (const QString& line : lines) {
        const QString code = line.section(u' ', 0, 0);
        EXPECT_TRUE(code.size() <= 3 && code.toInt() > 0 && QString::number(code.toInt()) == code)
            << line.toStdString();
        EXPECT_GE(line.indexOf(QStringLiteral("      ")), 1)
            << "six blanks after the code: " << line.toStdString();
    }
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("18           mp4        640x360    360p")));
    EXPECT_TRUE(
        lines.at(3).startsWith(QStringLiteral("137          mp4        1920x1080  1080p, video only")));
    EXPECT_TRUE(lines.at(0).contains(QStringLiteral("audio only")));
    // The best picture with the best sound, never the soundless last format.
    const QString best = lines.last();
    EXPECT_TRUE(best.endsWith(QStringLiteral("(best)")));
    EXPECT_TRUE(best.contains(QStringLiteral("merged")));
    EXPECT_TRUE(best.contains(QStringLiteral("1.53MiB"))) << best.toStdString(); // both parts
    const QString bestCode = best.section(u' ', 0, 0);
    EXPECT_EQ(FormatIdForCode(bestCode, codes), QStringLiteral("251-drc+137"));
    EXPECT_EQ(FormatIdForCode(lines.at(0).section(u' ', 0, 0), codes), QStringLiteral("251-drc"));
    EXPECT_EQ(FormatIdForCode(QStringLiteral("137"), codes), QStringLiteral("137"));
}

TEST(FormatTableTest, CodesStayWithTheirIdsAcrossExtractions)
{
    CodeMap codes;
    const QStringList first = FormatTable(json(kSitePage), codes);
    const CodeMap kept = codes;
    // The page again, its formats in another order and one more of letters.
    QJsonObject page = json(kSitePage);
    QJsonArray formats;
    for (const QJsonValue& f : page.value(QStringLiteral("formats")).toArray())
        formats.prepend(f);
    formats.append(json(R"({"format_id": "dash-audio", "ext": "m4a", "vcodec": "none", "acodec": "mp4a"})"));
    page.insert(QStringLiteral("formats"), formats);
    const QStringList second = FormatTable(page, codes);
    for (auto it = kept.begin(); it != kept.end(); ++it)
        EXPECT_EQ(codes.value(it.key()), it.value()) << it.key().toStdString();
    EXPECT_EQ(codes.size(), kept.size() + 1);
    EXPECT_EQ(first.last(), second.last());

    // A code handed out earlier that has become a real id of the page goes to that id.
    CodeMap clash{{QStringLiteral("hls-720p"), QStringLiteral("18")}};
    const QStringList lines = FormatTable(json(kSitePage), clash);
    EXPECT_EQ(FormatIdForCode(QStringLiteral("18"), clash), QStringLiteral("18"));
    EXPECT_NE(clash.value(QStringLiteral("hls-720p")), QStringLiteral("18"));
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^18 "))).size(), 1);
}

TEST(FormatTableTest, APageWithOneFileOrAChosenSingleFormatEndsWithThatOne)
{
    CodeMap codes;
    // yt-dlp answers a bare media file without a list of formats.
    const QStringList single = FormatTable(
        json(R"({"id": "clip", "url": "http://h/clip.mp4", "ext": "mp4", "format_id": "mp4"})"), codes);
    ASSERT_EQ(single.size(), 1);
    EXPECT_TRUE(single.first().startsWith(QStringLiteral("1            mp4")));
    EXPECT_EQ(FormatIdForCode(QStringLiteral("1"), codes), QStringLiteral("mp4"));

    const QStringList hls = FormatTable(json(R"({"format_id": "300", "formats": [
        {"format_id": "300", "ext": "mp4", "height": 180, "vcodec": "avc1", "acodec": "mp4a"},
        {"format_id": "150", "ext": "mp4", "height": 90, "vcodec": "avc1", "acodec": "mp4a"}]})"),
                                        codes);
    ASSERT_EQ(hls.size(), 2);
    EXPECT_TRUE(hls.last().startsWith(QStringLiteral("300 ")));
    EXPECT_TRUE(hls.last().endsWith(QStringLiteral("(best)")));
    EXPECT_TRUE(FormatTable(json(R"({"id": "x", "formats": []})"), codes).isEmpty());
}

TEST(PageTextTest, NamesFallBackToTheHostAndTemplatesKeepTheExtensionForYtDlp)
{
    const QJsonObject site = json(kSitePage);
    EXPECT_EQ(FillTemplate(QStringLiteral("%(uploader)s - %(title)s"), site),
              QStringLiteral("Some Channel - A Talk"));
    const QJsonObject generic = json(R"({"title": "Clip", "uploader": "127.0.0.1:8080",
        "webpage_url": "http://127.0.0.1:8080/page.html", "webpage_url_domain": "127.0.0.1:8080"})");
    EXPECT_EQ(FillTemplate(QStringLiteral("%(uploader)s - %(title)s"), generic),
              QStringLiteral("127.0.0.1 - Clip"));
    const QJsonObject channel =
        json(R"({"title": "T", "channel": "Chan", "webpage_url": "https://x.org/v"})");
    EXPECT_EQ(UploaderOf(channel), QStringLiteral("Chan"));
    EXPECT_EQ(FillTemplate(QStringLiteral("%(creator)s"), channel), QStringLiteral("NA"));
    // A folder with '%' in it reaches yt-dlp escaped; the extension is left to it.
    EXPECT_EQ(FillTemplate(QStringLiteral("/home/u/50% off/%(title)s.%(ext)s"), site, true),
              QStringLiteral("/home/u/50%% off/A Talk.%(ext)s"));
    // Left to yt-dlp, every field stays and only the other '%' are escaped.
    EXPECT_EQ(EscapeTemplate(QStringLiteral("/home/u/50% off/%(title)s.%(ext)s")),
              QStringLiteral("/home/u/50%% off/%(title)s.%(ext)s"));
    // A title with '%' in it, too.
    const QJsonObject percent = json(R"({"title": "100%(x)s sure"})");
    EXPECT_EQ(FillTemplate(QStringLiteral("%(title)s.%(ext)s"), percent, true),
              QStringLiteral("100%%(x)s sure.%(ext)s"));
}

TEST(PageTextTest, TheBestThumbnailIsMadeAbsoluteAndAPlaylistGivesItsFirstEntry)
{
    EXPECT_EQ(ThumbnailUrl(json(kSitePage)), QStringLiteral("https://video.example.org/big.webp"));
    EXPECT_EQ(ThumbnailUrl(json(R"({"thumbnail": "/t.jpg", "webpage_url": "http://h:1/a/p.html"})")),
              QStringLiteral("http://h:1/t.jpg"));
    EXPECT_TRUE(ThumbnailUrl(json(R"({"id": "x"})")).isEmpty());
    const QJsonObject list = json(R"({"_type": "playlist", "entries": [{"id": "first"}, {"id": "second"}]})");
    EXPECT_EQ(VideoEntry(list).value(QStringLiteral("id")).toString(), QStringLiteral("first"));
}

TEST(PageTextTest, APagesOwnPictureIsFoundInItsHeadOrItsVideoPoster)
{
    const QUrl page(QStringLiteral("http://127.0.0.1:8000/films/clip.html"));
    EXPECT_EQ(PagePictureUrl("<META content='pics/a.jpg?x=1&amp;y=2' Property='og:image'>", page),
              QStringLiteral("http://127.0.0.1:8000/films/pics/a.jpg?x=1&y=2"));
    EXPECT_EQ(PagePictureUrl("<meta name=\"twitter:image\" content=\"https://cdn.example/t.png\">", page),
              QStringLiteral("https://cdn.example/t.png"));
    // The head's picture wins over the poster; without either there is none.
    EXPECT_EQ(PagePictureUrl(
                  "<video poster=\"/p.jpg\"></video><meta property=\"og:image\" content=\"/o.jpg\">", page),
              QStringLiteral("http://127.0.0.1:8000/o.jpg"));
    EXPECT_EQ(PagePictureUrl("<video controls poster=\"/p.jpg\">", page),
              QStringLiteral("http://127.0.0.1:8000/p.jpg"));
    EXPECT_EQ(PagePictureUrl("<meta property=\"og:title\" content=\"/t.jpg\"><video>", page), QString());
    // Only web addresses: a page cannot make the tool read a local file.
    EXPECT_EQ(PagePictureUrl("<meta property=\"og:image\" content=\"file:///etc/passwd\">", page), QString());
}

QString sample(const char* id, const char* status, double done, double total)
{
    return MergedProgress::Marker() + QStringLiteral(" %1|%2|%3|%4|NA|1000|5|NA|NA")
                                          .arg(QLatin1String(id), QLatin1String(status))
                                          .arg(done)
                                          .arg(total);
}

TEST(MergedProgressTest, TwoPartsGiveOneRisingPercentage)
{
    // Video 1440000 bytes, audio 160000: the video is nine tenths of the whole.
    MergedProgress p(QStringLiteral("137+251-drc"), json(kSitePage));
    EXPECT_FALSE(p.feed(QStringLiteral("[download] Destination: x.f137.mp4")));
    ASSERT_TRUE(p.feed(sample("137", "downloading", 720000, 1440000)));
    EXPECT_NEAR(p.percent(), 45.0, 0.01);
    EXPECT_TRUE(p.line().startsWith(QStringLiteral("[download]  45.0% of 1.53MiB at ")))
        << p.line().toStdString();
    p.feed(sample("137", "finished", 1440000, 1440000));
    EXPECT_NEAR(p.percent(), 90.0, 0.01);
    // The audio starts at its own 0 %, the whole goes on from 90 %.
    p.feed(sample("251-drc", "downloading", 0, 160000));
    EXPECT_NEAR(p.percent(), 90.0, 0.01);
    p.feed(sample("251-drc", "downloading", 80000, 160000));
    EXPECT_NEAR(p.percent(), 95.0, 0.01);
    // An estimate that grows never takes the figure back.
    p.feed(sample("251-drc", "downloading", 80000, 320000));
    EXPECT_NEAR(p.percent(), 95.0, 0.01);
    p.feed(sample("251-drc", "finished", 160000, 160000));
    EXPECT_NEAR(p.percent(), 100.0, 0.01);

    // Without sizes both parts count the same.
    MergedProgress even(QStringLiteral("a+b"),
                        json(R"({"formats": [{"format_id": "a"}, {"format_id": "b"}]})"));
    even.feed(sample("a", "finished", 10, 10));
    EXPECT_NEAR(even.percent(), 50.0, 0.01);
}

TEST(MergedSizeTest, TheSizeShownIsTheWholeOrNone)
{
    // No sizes in the page: none until yt-dlp has told both parts' sizes.
    MergedProgress p(QStringLiteral("v+a"), json(R"({"formats": [{"format_id": "v"}, {"format_id": "a"}]})"));
    p.feed(sample("v", "downloading", 100000, 570000));
    EXPECT_LT(p.total(), 0);
    EXPECT_TRUE(p.line().contains(QStringLiteral("% of Unknown size"))) << p.line().toStdString();
    p.feed(sample("v", "finished", 570000, 570000));
    p.feed(sample("a", "downloading", 0, 51160));
    EXPECT_EQ(p.total(), 570000 + 51160);
    // One part alone: its own size is the whole.
    MergedProgress one(QStringLiteral("v"), json(R"({"formats": [{"format_id": "v"}]})"));
    one.feed(sample("v", "downloading", 10, 4096));
    EXPECT_EQ(one.total(), 4096);
}

TEST(OptionsTest, EverythingAfterTheDoubleDashIsTheLink)
{
    const Options o =
        ParseOptions({QStringLiteral("-F"), QStringLiteral("--"), QStringLiteral("--exec=rm -rf x")});
    EXPECT_TRUE(o.problems.isEmpty());
    EXPECT_EQ(o.mode, Options::Mode::FormatList);
    EXPECT_EQ(o.link, QStringLiteral("--exec=rm -rf x"));
    EXPECT_FALSE(
        ParseOptions({QStringLiteral("--"), QStringLiteral("a"), QStringLiteral("b")}).problems.isEmpty());
    EXPECT_FALSE(ParseOptions({QStringLiteral("--exec=rm")}).problems.isEmpty());
}

} // namespace
