// do.dll loads Qt Gui and Qt Network (its media part) only for the runs that need them: the runs
// answered from the catalogue or the page cache start without them, and a thumbnail still works,
// also from a copy of the program in another folder.

#include "tools/downloader/PageCache.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Stage
{
    const char* name;
    QStringList args; // the link follows
    const char* link;
    bool needsMedia; // pictures and the network: the module is loaded
};

void PrintTo(const Stage& s, std::ostream* os)
{
    *os << s.name;
}

const char kCached[] = "http://127.0.0.1:9/watch?v=kept";

class MediaPartTest : public ::testing::TestWithParam<Stage>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        // The program copied elsewhere, as the window's tests do: the module is not beside it.
        tool = home.filePath(QStringLiteral("do.dll"));
        ASSERT_TRUE(QFile::copy(qEnvironmentVariable("BRENLOW_TOOL_DIR") + QStringLiteral("/do.dll"), tool));
        qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toLocal8Bit());
        // A video of a list yt-dlp read before: the runs answer from it without starting yt-dlp (which
        // would fail).
        const QJsonObject format{{"format_id", "18"}, {"ext", "mp4"},     {"url", "http://127.0.0.1:9/v.mp4"},
                                 {"vcodec", "avc1"},  {"acodec", "mp4a"}, {"width", 640},
                                 {"height", 360}};
        ASSERT_TRUE(brenlow::tool::PageCache(QString::fromLatin1(kCached))
                        .store({{"id", "kept"},
                                {"title", "Kept Page"},
                                {"uploader", "Cache Keeper"},
                                {"webpage_url", kCached},
                                {"format_id", "18"},
                                {"ext", "mp4"},
                                {"formats", QJsonArray{format}},
                                {"_brenlow_listed", true}}));
    }
    void TearDown() override { qunsetenv("XDG_CACHE_HOME"); }

    QTemporaryDir home;
    QString tool;
};

TEST_P(MediaPartTest, LoadsQtGuiAndNetworkOnlyWhenTheRunNeedsThem)
{
    const Stage& stage = GetParam();
    QStringList args = stage.args;
    args.replaceInStrings(QStringLiteral("PICTURE"), home.filePath(QStringLiteral("aaa.jpg")));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
    env.insert(QStringLiteral("BRENLOW_YTDLP"), QStringLiteral("/bin/false"));
    p.setProcessEnvironment(env);
    p.start(tool, args << QString::fromLatin1(stage.link));
    ASSERT_TRUE(p.waitForFinished(60000));
    const QByteArray out = p.readAllStandardOutput();
    const QByteArray loader = p.readAllStandardError();
    EXPECT_EQ(p.exitCode(), 0) << out.constData();
    EXPECT_EQ(loader.contains("file=libQt6Gui.so"), stage.needsMedia);
    EXPECT_EQ(loader.contains("file=libQt6Network.so"), stage.needsMedia);
    if (stage.args.contains(QStringLiteral("--get-filename"))) {
        EXPECT_FALSE(out.trimmed().isEmpty());
    }
    if (stage.args.contains(QStringLiteral("-F"))) {
        EXPECT_TRUE(out.contains("(best)")) << out.constData();
    }
    if (stage.needsMedia) {
        EXPECT_EQ(QImage(home.filePath(QStringLiteral("aaa.jpg")), "JPG").size(), QSize(320, 180));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, MediaPartTest,
    ::testing::Values(
        Stage{"CatalogueList",
              {"-s", "--skip-download", "-i", "-F", "--no-playlist"},
              "https://test.brenlow.example/basic",
              false},
        Stage{"CatalogueName",
              {"--get-filename", "-o", "%(uploader)s - %(title)s"},
              "https://test.brenlow.example/basic",
              false},
        Stage{"CataloguePicture",
              {"-o", "PICTURE", "-i", "--write-thumbnail", "--no-playlist"},
              "https://test.brenlow.example/basic",
              true},
        Stage{"CachedPageList", {"-s", "--skip-download", "-i", "-F", "--no-playlist"}, kCached, false},
        Stage{"CachedPageName", {"--get-filename", "-o", "%(uploader)s - %(title)s"}, kCached, false}),
    [](const ::testing::TestParamInfo<Stage>& info) { return std::string(info.param.name); });

} // namespace
