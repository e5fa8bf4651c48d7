// The bridge's rules for what comes from pages and from the user's yt-dlp settings: values made safe
// for file names and for the one name line, the default with separate sound, tables of more formats
// than there are codes, and the access options kept of a config.

#include "tools/downloader/PageInfo.h"
#include "tools/downloader/UserConfig.h"

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

struct FieldCase
{
    const char* value;
    const char* fileNamePart;
    const char* oneLine;
};

class FieldTest : public ::testing::TestWithParam<FieldCase>
{
};

TEST_P(FieldTest, AValueNeverLeavesItsFolderAndTheNameStaysOnOneLine)
{
    const FieldCase c = GetParam();
    const QString value = QString::fromUtf8(c.value);
    EXPECT_EQ(SafeFileNamePart(value), QString::fromUtf8(c.fileNamePart));
    EXPECT_EQ(OneLine(value), QString::fromUtf8(c.oneLine));
    const QJsonObject page{{QStringLiteral("title"), value}, {QStringLiteral("uploader"), value}};
    const QString path = FillFileTemplate(QStringLiteral("/dl/sub/%(title)s.%(ext)s"), page, true);
    EXPECT_TRUE(path.startsWith(QStringLiteral("/dl/sub/")));
    EXPECT_EQ(path.count(u'/'), 3) << path.toStdString();
    EXPECT_EQ(FillTemplate(QStringLiteral("%(uploader)s - %(title)s"), page),
              QString::fromUtf8(c.oneLine) + QStringLiteral(" - ") + QString::fromUtf8(c.oneLine));
}

INSTANTIATE_TEST_SUITE_P(
    Values, FieldTest,
    ::testing::Values(FieldCase{"../../escaped", "..⧸..⧸escaped", "../../escaped"},
                      FieldCase{"..", "_", ".."}, FieldCase{".", "_", "."},
                      FieldCase{"AC/DC \\ Live", "AC⧸DC ⧹ Live", "AC/DC \\ Live"},
                      FieldCase{"Why? \"Yes\": <a|b>*", "Why？ ＂Yes＂： ＜a｜b＞＊", "Why? \"Yes\": <a|b>*"},
                      FieldCase{"First\nSecond\r\nThird", "First Second Third", "First Second  Third"},
                      FieldCase{"Tab\there\x07 bell", "Tabhere bell", "Tab here  bell"},
                      FieldCase{"Starts 12:30:45", "Starts 12_30_45", "Starts 12:30:45"},
                      FieldCase{"Line\u2028Break", "LineBreak", "Line Break"}));

TEST(DefaultFormatTest, APictureWithoutKnownSoundGoesWithThePagesBestSound)
{
    // An HLS master without CODECS: yt-dlp takes the last picture for one with sound.
    const QJsonObject master = json(R"({"format_id": "600", "formats": [
        {"format_id": "aud-low", "ext": "mp4", "vcodec": "none", "tbr": 64},
        {"format_id": "aud-English", "ext": "mp4", "vcodec": "none", "tbr": 128},
        {"format_id": "300", "ext": "mp4", "width": 640, "height": 360, "tbr": 300},
        {"format_id": "600", "ext": "mp4", "width": 1280, "height": 720, "tbr": 600}]})");
    EXPECT_EQ(DefaultFormatId(master), QStringLiteral("600+aud-English"));
    CodeMap codes;
    const QStringList lines = FormatTable(master, codes);
    EXPECT_TRUE(lines.last().contains(QStringLiteral("best: video 600 + audio ")))
        << lines.last().toStdString();
    // yt-dlp is handed the picture as silent, so that it merges the two.
    const QJsonArray formats =
        ForDownload(master, QStringLiteral("600+aud-English")).value(QStringLiteral("formats")).toArray();
    EXPECT_EQ(formats.at(3).toObject().value(QStringLiteral("acodec")).toString(), QStringLiteral("none"));
    EXPECT_FALSE(formats.at(2).toObject().contains(QStringLiteral("acodec")));

    // A picture with sound, or a page without sound apart, keeps yt-dlp's choice.
    EXPECT_EQ(DefaultFormatId(json(R"({"format_id": "18", "formats": [
        {"format_id": "a", "vcodec": "none"}, {"format_id": "18", "vcodec": "avc1", "acodec": "mp4a"}]})")),
              QStringLiteral("18"));
    EXPECT_EQ(DefaultFormatId(json(R"({"format_id": "hi", "formats": [
        {"format_id": "lo", "height": 90}, {"format_id": "hi", "height": 180}]})")),
              QStringLiteral("hi"));
}

/** An HLS master of count variants: ids "hls-N", `sizes` distinct picture sizes, sound apart. */
QJsonObject bigMaster(int count, int sizes)
{
    QJsonArray formats;
    formats.append(json(R"({"format_id": "hls-audio", "ext": "mp4", "vcodec": "none", "acodec": "mp4a"})"));
    for (int i = 0; i < count; ++i) {
        const int h = 100 + i % sizes;
        formats.append(QJsonObject{{QStringLiteral("format_id"), QStringLiteral("hls-%1").arg(i)},
                                   {QStringLiteral("ext"), QStringLiteral("mp4")},
                                   {QStringLiteral("height"), h},
                                   {QStringLiteral("width"), h * 2},
                                   {QStringLiteral("vcodec"), QStringLiteral("avc1")},
                                   {QStringLiteral("acodec"), QStringLiteral("none")},
                                   {QStringLiteral("tbr"), 100 + i}});
    }
    QJsonObject page{{QStringLiteral("formats"), formats}};
    page.insert(QStringLiteral("format_id"), QStringLiteral("hls-%1+hls-audio").arg(count - 1));
    return page;
}

class CodesRunOutTest : public ::testing::TestWithParam<int>
{
};

TEST_P(CodesRunOutTest, EveryLineHasACodeAndTheSoundAndTheDefaultStay)
{
    const QJsonObject page = bigMaster(1100, GetParam());
    CodeMap codes;
    const QStringList lines = FormatTable(page, codes);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_LE(lines.size(), 999);
    QSet<QString> seen;
    for (const QString& line : lines) {
        const QString code = line.section(u' ', 0, 0);
        ASSERT_TRUE(QRegularExpression(QStringLiteral("^[1-9][0-9]{0,2}$")).match(code).hasMatch())
            << line.toStdString();
        EXPECT_FALSE(seen.contains(code)) << line.toStdString();
        seen.insert(code);
    }
    EXPECT_EQ(lines.filter(QStringLiteral("audio only")).size(), 1);
    EXPECT_TRUE(lines.last().contains(QStringLiteral("merged"))) << lines.last().toStdString();
    EXPECT_EQ(FormatIdForCode(lines.last().section(u' ', 0, 0), codes), QStringLiteral("hls-1099+hls-audio"));
    // With few sizes, only duplicates went: every size is still offered.
    if (GetParam() < 999) {
        for (int h = 100; h < 100 + GetParam(); ++h)
            EXPECT_FALSE(lines.filter(QStringLiteral("%1x%2").arg(h * 2).arg(h)).isEmpty()) << h;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, CodesRunOutTest, ::testing::Values(6, 1100));

TEST(UserConfigTest, OnlyTheAccessOptionsOfTheUsersConfigArePassedOn)
{
    const QStringList user = ConfigWords(QStringLiteral(
        "# my settings\n-f bestaudio -x -q --download-archive ~/archive.txt\n"
        "--cookies \"/home/me/my cookies.txt\"  # signed in\n--write-info-json --write-thumbnail\n"
        "--proxy=socks5://127.0.0.1:9050 -uname -p 'se cr#et' -o '%(title)s.%(ext)s' --netrc\n"
        "--exec 'rm -rf ~' --config-locations /tmp/other.conf\n"));
    EXPECT_EQ(user.at(6), QStringLiteral("--cookies"));
    EXPECT_EQ(user.at(7), QStringLiteral("/home/me/my cookies.txt"));
    const QStringList system =
        ConfigWords(QStringLiteral("--source-address 10.0.0.2 --proxy http://old:1\n"
                                   "--cookies-from-browser firefox --no-check-certificates"));
    EXPECT_EQ(AccessOptionsOf({system, user}),
              QStringList({QStringLiteral("--source-address"), QStringLiteral("10.0.0.2"),
                           QStringLiteral("--proxy"), QStringLiteral("socks5://127.0.0.1:9050"),
                           QStringLiteral("--cookies-from-browser"), QStringLiteral("firefox"),
                           QStringLiteral("--no-check-certificates"), QStringLiteral("--cookies"),
                           QStringLiteral("/home/me/my cookies.txt"), QStringLiteral("--username"),
                           QStringLiteral("name"), QStringLiteral("--password"), QStringLiteral("se cr#et"),
                           QStringLiteral("--netrc")}));
    // A later file switches an option off again.
    EXPECT_EQ(AccessOptionsOf(
                  {system, ConfigWords(QStringLiteral("--no-cookies-from-browser --check-certificates"))}),
              QStringList({QStringLiteral("--source-address"), QStringLiteral("10.0.0.2"),
                           QStringLiteral("--proxy"), QStringLiteral("http://old:1")}));
}

} // namespace
