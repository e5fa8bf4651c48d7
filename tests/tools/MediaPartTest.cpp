// do.dll loads Qt Gui and Qt Network (its media part) only for the runs that need them, and no Qt at
// all for the runs whose answers were kept ready with the page: those answers are the core's, byte
// for byte. A thumbnail still works, also from a copy of the program in another folder.

#include "tools/downloader/Answers.h"
#include "tools/downloader/PageCache.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

/** What happened to the kept answers after they were made. */
enum class Since
{
    Nothing,
    CodesChanged, // the list's codes were handed out again otherwise
    PageReplaced, // the page was read again
    Damaged,      // the answers file was cut short
    OtherLinks    // another link's answers lie under this link's name
};

struct Stage
{
    const char* name;
    QStringList args; // the link follows
    const char* link;
    bool needsMedia;       // pictures and the network: the module is loaded
    bool withoutQt = false; // answered by do.dll alone
    Since since = Since::Nothing;
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
        page = {{"id", "kept"},
                {"title", "Kept\tPage: 50% \"off\""},
                {"channel", "Cache Keeper"},
                {"view_count", 1234},
                {"webpage_url", kCached},
                {"thumbnail", "http://127.0.0.1:9/t.jpg"},
                {"format_id", "18"},
                {"ext", "mp4"},
                {"formats", QJsonArray{format}},
                {"_brenlow_listed", true}};
        const brenlow::tool::PageCache cache(QString::fromLatin1(kCached));
        ASSERT_TRUE(cache.store(page));
        QImage picture(32, 18, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QBuffer jpeg(&kept);
        ASSERT_TRUE(jpeg.open(QIODevice::WriteOnly) && picture.save(&jpeg, "JPG"));
        ASSERT_TRUE(cache.storePicture({QStringLiteral("http://127.0.0.1:9/t.jpg"), kept}));
        brenlow::tool::KeepAnswers(QString::fromLatin1(kCached), page);
    }

    /** Runs do.dll; what it printed, and whether it loaded Qt Core, Gui and Network. */
    struct Run
    {
        int exitCode = -1;
        QByteArray out, picture;
        bool core = false, gui = false, network = false;
    };
    Run run(const QStringList& args, const QString& picturePath)
    {
        QFile::remove(picturePath);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
        env.insert(QStringLiteral("BRENLOW_YTDLP"), QStringLiteral("/bin/false"));
        p.setProcessEnvironment(env);
        p.start(tool, args);
        Run r;
        if (!p.waitForFinished(60000))
            return r;
        r.exitCode = p.exitCode();
        r.out = p.readAllStandardOutput();
        const QByteArray loader = p.readAllStandardError();
        r.core = loader.contains("file=libQt6Core.so");
        r.gui = loader.contains("file=libQt6Gui.so");
        r.network = loader.contains("file=libQt6Network.so");
        QFile written(picturePath);
        if (written.open(QIODevice::ReadOnly))
            r.picture = written.readAll();
        return r;
    }
    void TearDown() override { qunsetenv("XDG_CACHE_HOME"); }

    QTemporaryDir home;
    QString tool;
    QJsonObject page;
    QByteArray kept; // the picture made ready
};

TEST_P(MediaPartTest, LoadsQtGuiAndNetworkOnlyWhenTheRunNeedsThem)
{
    const Stage& stage = GetParam();
    const brenlow::tool::PageCache cache(QString::fromLatin1(kCached));
    if (stage.since == Since::CodesChanged) {
        brenlow::tool::CodeMap codes = cache.codes();
        codes.insert(QStringLiteral("99"), QStringLiteral("handed-out-elsewhere"));
        ASSERT_TRUE(cache.storeCodes(codes));
    } else if (stage.since == Since::Damaged) {
        QFile answers(cache.answersPath());
        ASSERT_TRUE(answers.open(QIODevice::ReadWrite) && answers.resize(answers.size() / 2));
    } else if (stage.since == Since::OtherLinks) {
        const QString other = QStringLiteral("http://127.0.0.1:9/watch?v=other");
        ASSERT_TRUE(brenlow::tool::PageCache(other).store(page));
        brenlow::tool::KeepAnswers(other, page);
        ASSERT_TRUE(QFile::remove(cache.answersPath()));
        ASSERT_TRUE(QFile::copy(brenlow::tool::PageCache(other).answersPath(), cache.answersPath()));
    } else if (stage.since == Since::PageReplaced) {
        page.insert(QStringLiteral("title"), QStringLiteral("Read Again"));
        ASSERT_TRUE(cache.store(page));
    }
    QStringList args = stage.args;
    const QString picture = home.filePath(QStringLiteral("aaa.jpg"));
    args.replaceInStrings(QStringLiteral("PICTURE"), picture);
    args << QString::fromLatin1(stage.link);
    const Run r = run(args, picture);
    EXPECT_EQ(r.exitCode, 0) << r.out.constData();
    EXPECT_EQ(r.core, !stage.withoutQt);
    EXPECT_EQ(r.gui, stage.needsMedia);
    EXPECT_EQ(r.network, stage.needsMedia);
    if (stage.args.contains(QStringLiteral("--get-filename"))) {
        EXPECT_FALSE(r.out.trimmed().isEmpty());
    }
    if (stage.args.contains(QStringLiteral("-F"))) {
        EXPECT_TRUE(r.out.contains("(best)")) << r.out.constData();
    }
    if (stage.needsMedia) {
        EXPECT_EQ(QImage(picture, "JPG").size(), QSize(320, 180));
    }
    if (stage.since == Since::PageReplaced) {
        EXPECT_TRUE(r.out.contains("Read Again")) << r.out.constData();
    }
    if (!stage.withoutQt)
        return;
    // The core, asked the same without the kept answers, answers the same, byte for byte.
    if (stage.args.contains(QStringLiteral("--write-thumbnail"))) {
        EXPECT_EQ(r.picture, kept);
    }
    ASSERT_TRUE(QFile::remove(cache.answersPath()));
    const Run core = run(args, picture);
    EXPECT_TRUE(core.core);
    EXPECT_EQ(core.exitCode, r.exitCode);
    EXPECT_EQ(core.out, r.out);
    EXPECT_EQ(core.picture, r.picture);
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
        Stage{"CachedPageList", {"-s", "--skip-download", "-i", "-F", "--no-playlist"}, kCached, false, true},
        Stage{"CachedPageName", {"--get-filename", "-o", "%(uploader)s - %(title)s"}, kCached, false, true},
        // Fields the page lacks, conversions other than s, a '%' that opens no field, a tab.
        Stage{"CachedPageOddName",
              {"--get-filename", "-o", "%(view_count)05d %(nothing)s %(id)s%%(x)s %(\t[%(ext)s]"},
              kCached,
              false,
              true},
        Stage{"CachedPageDefaultName", {"--get-filename"}, kCached, false, true},
        Stage{"CachedPagePicture",
              {"-o", "PICTURE", "-i", "--write-thumbnail", "--no-playlist"},
              kCached,
              false,
              true},
        Stage{"CodesChangedList",
              {"-s", "--skip-download", "-i", "-F", "--no-playlist"},
              kCached,
              false,
              false,
              Since::CodesChanged},
        Stage{"DamagedAnswersName",
              {"--get-filename", "-o", "%(uploader)s - %(title)s"},
              kCached,
              false,
              false,
              Since::Damaged},
        Stage{"OtherLinksAnswersList",
              {"-s", "--skip-download", "-i", "-F", "--no-playlist"},
              kCached,
              false,
              false,
              Since::OtherLinks},
        Stage{"PageReplacedName",
              {"--get-filename", "-o", "%(uploader)s - %(title)s"},
              kCached,
              false,
              false,
              Since::PageReplaced}),
    [](const ::testing::TestParamInfo<Stage>& info) { return std::string(info.param.name); });

} // namespace
