// The bridge to yt-dlp against what real pages, the user's own yt-dlp settings and the network do:
// settings that would change its runs, cookies, hostile titles, a cache that is not
// the page's, pages gone stale, lost code maps, live broadcasts, broken connections, and a tool
// killed in the middle of a download.

#include "YtDlpFixture.h"

#include <QImage>
#include <QRegularExpression>

#include <csignal>

using namespace brenlow::test;
using namespace brenlow::test::media;

namespace {

class YtDlpHostileTest : public YtDlpTest
{
protected:
    /** The user's yt-dlp settings: these options, then a file of these cookies; returns its path. */
    QString useCookies(const QByteArray& cookies, const QByteArray& options = {})
    {
        const QString file = home.path() + QStringLiteral("/cookies.txt");
        write(file, "# Netscape HTTP Cookie File\n" + cookies);
        write(home.path() + QStringLiteral("/XDG_CONFIG_HOME/yt-dlp/config"),
              options + "--cookies " + file.toLocal8Bit() + '\n');
        return file;
    }
    /** Every ERROR line says what failed, and there is one. */
    static void expectErrorsSaySomething(const QString& out)
    {
        int errors = 0;
        for (const QString& line : out.split(QRegularExpression(QStringLiteral("[\r\n]+")))) {
            if (!line.startsWith(QStringLiteral("ERROR:")))
                continue;
            ++errors;
            EXPECT_FALSE(line.mid(6).trimmed().isEmpty()) << out.toStdString();
        }
        EXPECT_GE(errors, 1) << out.toStdString();
    }
    QStringList downloadedFiles() const { return QDir(downloads.path()).entryList(QDir::Files); }
};

TEST_F(YtDlpHostileTest, TheUsersYtDlpSettingsChangeNothingButAccess)
{
    const QString cookies = useCookies("127.0.0.1\tFALSE\t/\tFALSE\t4102444800\tsid\tsecret\n",
                                       "-f bestaudio -q -x --download-archive " + home.path().toLocal8Bit() +
                                           "/archive.txt\n--write-info-json --write-thumbnail\n");
    const QString link = url(QStringLiteral("dash/manifest.mpd"));
    QString out;
    const QStringList lines = pickDefault(link, &out);
    ASSERT_EQ(lines.size(), 3) << out.toStdString();
    EXPECT_TRUE(lines.last().contains(QStringLiteral("merged"))) << lines.last().toStdString();
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
        EXPECT_TRUE(out.contains(QRegularExpression(QStringLiteral("\\[download\\] +[0-9.]+% of "))))
            << out.toStdString();
        EXPECT_EQ(streams(downloaded(QStringLiteral("mp4"))), PictureAndSound);
        EXPECT_EQ(downloadedFiles(), QStringList{QStringLiteral("clip.mp4")});
        // The second time the archive would have said "already recorded", and written nothing.
        ASSERT_TRUE(QFile::remove(downloaded(QStringLiteral("mp4"))));
    }
    EXPECT_FALSE(QFile::exists(home.path() + QStringLiteral("/archive.txt")));
    for (const QString& run : ytdlpRuns()) {
        EXPECT_TRUE(run.contains(QStringLiteral(" --ignore-config --cookies ") + cookies))
            << run.toStdString();
        EXPECT_FALSE(run.contains(QStringLiteral("bestaudio")));
    }
    // The cookie went to the page, as the user set it up.
    EXPECT_FALSE(requests().filter(QStringLiteral("sid=secret")).isEmpty());
}

TEST_F(YtDlpHostileTest, ADownloadWithoutItsFileIsNoSuccess)
{
    const QString link = url(QStringLiteral("page.html"));
    pickDefault(link);
    env.set("BRENLOW_TEST_YTDLP_EXTRA", "--skip-download");
    QString out;
    EXPECT_NE(stage(5, link, &out), 0) << out.toStdString();
    expectErrorsSaySomething(out);
    EXPECT_FALSE(out.contains(QStringLiteral("100%"))) << out.toStdString();
}

TEST_F(YtDlpHostileTest, CookiesAndCredentialsNeverGoToThePicture)
{
    useCookies("127.0.0.1\tFALSE\t/cookie\tFALSE\t4102444800\tsid\tsecret\n"
               "localhost\tFALSE\t/\tFALSE\t4102444800\tother\tsecret2\n");
    ASSERT_TRUE(QDir().mkpath(site(QStringLiteral("public"))) &&
                QDir().mkpath(site(QStringLiteral("cookie"))));
    QFile::copy(site(QStringLiteral("small.mp4")), site(QStringLiteral("cookie/small.mp4")));
    QImage(64, 36, QImage::Format_RGB32).save(site(QStringLiteral("public/poster.jpg")));
    QImage(64, 36, QImage::Format_RGB32).save(site(QStringLiteral("cookie/poster.jpg")));
    const QByteArray otherHost = QStringLiteral("http://localhost:%1/cookie/poster.jpg").arg(port).toLatin1();
    for (const auto& [name, poster] :
         {std::pair{"samehost", QByteArray("/public/poster.jpg")}, std::pair{"otherhost", otherHost}}) {
        const QString page = QStringLiteral("cookie/%1.html").arg(QLatin1String(name));
        // The media under the cookie's path: yt-dlp writes the cookie into the page's headers.
        write(site(page), videoPage("Cookie Clip", poster, {"/cookie/small.mp4"}));
        QString out;
        ASSERT_EQ(stage(2, url(page), &out), 0) << out.toStdString();
        ASSERT_EQ(stage(3, url(page), &out), 0) << out.toStdString();
        EXPECT_EQ(QImage(app.path() + QStringLiteral("/aaa.jpg")).size(), QSize(64, 36)) << out.toStdString();
    }
    const QStringList log = requests();
    EXPECT_FALSE(
        log.filter(QRegularExpression(QStringLiteral("^/cookie/samehost.html\t.*sid=secret"))).isEmpty())
        << log.join(u'\n').toStdString();
    for (const QString& line : log.filter(QStringLiteral("poster.jpg"))) {
        const QStringList f = line.split(u'\t');
        EXPECT_TRUE(f.value(2).isEmpty() && f.value(3).isEmpty()) << line.toStdString();
    }
    EXPECT_EQ(log.filter(QStringLiteral("poster.jpg")).size(), 2) << log.join(u'\n').toStdString();
}

TEST_F(YtDlpHostileTest, TheCacheIsTheUsersAloneAndEachEntryServesOnlyItsLink)
{
    // Made by an older version, readable by everyone.
    ASSERT_TRUE(QDir().mkpath(cacheDir()));
    const auto open = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                      QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                      QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(cacheDir(), open));
    const QString harbour = url(QStringLiteral("page.html")), og = url(QStringLiteral("og.html"));
    QString out;
    ASSERT_EQ(stage(2, harbour, &out), 0) << out.toStdString();
    ASSERT_EQ(stage(2, og, &out), 0) << out.toStdString();
    const auto owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    for (const QString& dir : {cacheDir(), QFileInfo(cacheDir()).path()})
        EXPECT_EQ(QFileInfo(dir).permissions() &
                      ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
                  owner)
            << dir.toStdString();
    // Each link's page, codes and answers made ready.
    const QFileInfoList files = QDir(cacheDir()).entryInfoList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(files.size(), 6);
    for (const QFileInfo& f : files)
        EXPECT_EQ(f.permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner)
            << f.fileName().toStdString();

    // Another page's entry under this link's name gives no name of that page.
    ASSERT_TRUE(QFile::remove(cacheEntry(og)));
    ASSERT_TRUE(QFile::copy(cacheEntry(harbour), cacheEntry(og)));
    const int before = extractions();
    ASSERT_EQ(stage(4, og, &out), 0) << out.toStdString();
    EXPECT_TRUE(out.startsWith(QStringLiteral("127.0.0.1 - Open Graph Clip"))) << out.toStdString();
    EXPECT_EQ(out.count(QStringLiteral("\r\n")), 1) << out.toStdString();
    EXPECT_EQ(extractions(), before + 1);
}

TEST_F(YtDlpHostileTest, AHostileTitleStaysInItsFolderAndOnOneLine)
{
    write(site(QStringLiteral("hostile.html")),
          videoPage("../../escaped&#10;Second&#13;&#10;Third", "", {"/small.mp4"}));
    const QString link = url(QStringLiteral("hostile.html"));
    QString list, out;
    ASSERT_EQ(stage(2, link, &list), 0) << list.toStdString();
    ASSERT_EQ(stage(4, link, &out), 0) << out.toStdString();
    EXPECT_EQ(out.count(QStringLiteral("\r\n")), 1) << out.toStdString();
    EXPECT_TRUE(out.startsWith(QStringLiteral("127.0.0.1 - ../../escaped Second")) &&
                out.contains(QStringLiteral("Third")))
        << out.toStdString();

    // Into a template of the caller's that names the title as the file.
    host->folder = downloads.path() + QStringLiteral("/a/b/sub/");
    ASSERT_TRUE(QDir().mkpath(host->folder));
    host->name = QStringLiteral("%(title)s");
    host->code = codeOf(table(list).last());
    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    const QStringList inSub = QDir(host->folder).entryList(QDir::Files | QDir::Hidden);
    ASSERT_EQ(inSub.size(), 1) << out.toStdString();
    EXPECT_TRUE(inSub.first().startsWith(QStringLiteral("..⧸..⧸escaped Second")))
        << inSub.first().toStdString();
    EXPECT_TRUE(
        QDir(downloads.path() + QStringLiteral("/a")).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(YtDlpHostileTest, AStalePageOfSeveralVideosDownloadsExactlyTheOneListed)
{
    // The first video in two renditions, the second in one: the first's default is no format of the
    // second.
    write(site(QStringLiteral("two.html")),
          "<html><head><title>Two Clips</title></head><body><video controls>"
          "<source src=\"/small.mp4\" type=\"video/mp4\" label=\"90p\">"
          "<source src=\"/big.mp4\" type=\"video/mp4\" label=\"180p\"></video>"
          "<video controls><source src=\"/blob.mp4\" type=\"video/mp4\"></video></body></html>");
    const QString link = url(QStringLiteral("two.html"));
    QString out;
    // Each video of the page is a row of its own; the first row's download, after its page went
    // stale, fetches that video alone.
    ASSERT_EQ(stage(2, link, &out), 0) << out.toStdString();
    const QStringList rows = out.split(QStringLiteral("\r\n")).filter(QStringLiteral("[playlist-video] "));
    ASSERT_EQ(rows.size(), 2) << out.toStdString();
    const QString first = rows.first().section(u' ', 1);
    ASSERT_FALSE(pickDefault(first).isEmpty());
    ASSERT_NO_FATAL_FAILURE(makeStale(first));
    ASSERT_EQ(stage(5, first, &out), 0) << out.toStdString();
    EXPECT_EQ(downloadedFiles(), QStringList{QStringLiteral("clip.mp4")});
    EXPECT_EQ(read(downloaded(QStringLiteral("mp4"))), read(site(QStringLiteral("big.mp4"))));
}

TEST_F(YtDlpHostileTest, ALostCodeMapIsToldAndTheMergedDefaultStillDownloads)
{
    const QString link = url(QStringLiteral("dash/manifest.mpd"));
    // The cache cannot be written: its place is taken by a file.
    const QString blocked = home.path() + QStringLiteral("/blocked");
    write(blocked, "not a folder");
    env.set("XDG_CACHE_HOME", blocked.toLocal8Bit());
    QString out;
    pickDefault(link, &out);
    EXPECT_TRUE(out.contains(QStringLiteral("WARNING: Unable to keep the format codes")))
        << out.toStdString();
    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    EXPECT_EQ(streams(downloaded(QStringLiteral("mp4"))), PictureAndSound);
}

TEST_F(YtDlpHostileTest, AnHlsMasterWithoutCodecsDefaultsToPictureAndSound)
{
    const QString link = url(QStringLiteral("hls/nocodecs.m3u8"));
    QString out;
    const QStringList lines = pickDefault(link, &out);
    ASSERT_EQ(lines.size(), 8) << out.toStdString();
    EXPECT_TRUE(lines.last().contains(QStringLiteral("merged"))) << lines.last().toStdString();
    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    EXPECT_EQ(streams(downloaded(QStringLiteral("mp4"))), PictureAndSound);
    // Also when the page is read again for the download.
    ASSERT_NO_FATAL_FAILURE(makeStale(link));
    ASSERT_TRUE(QFile::remove(downloaded(QStringLiteral("mp4"))));
    ASSERT_EQ(stage(5, link, &out), 0) << out.toStdString();
    EXPECT_EQ(streams(downloaded(QStringLiteral("mp4"))).size(), 2) << out.toStdString();
}

TEST_F(YtDlpHostileTest, ALiveBroadcastIsRefusedAndAnEndedOneDownloads)
{
    QString out;
    EXPECT_NE(stage(2, url(QStringLiteral("hls/live.m3u8")), &out), 0);
    EXPECT_TRUE(
        out.contains(QStringLiteral("ERROR: This is a live broadcast; add it again when it has ended.")))
        << out.toStdString();
    EXPECT_TRUE(table(out).isEmpty());
    const QString ended = url(QStringLiteral("hls/lo.m3u8"));
    ASSERT_FALSE(pickDefault(ended).isEmpty());
    ASSERT_EQ(stage(5, ended, &out), 0) << out.toStdString();
    EXPECT_EQ(streams(downloaded(QStringLiteral("mp4"))).size(), 2);
}

TEST_F(YtDlpHostileTest, ABrokenConnectionEndsWithAnErrorThatSaysWhatFailed)
{
    const QString link = url(QStringLiteral("page.html"));
    pickDefault(link);
    // Newer yt-dlp versions end a connection that broke too often this way: the reason after a
    // carriage return.
    const QString fake = home.path() + QStringLiteral("/yt-dlp-broken");
    write(
        fake,
        "#!/bin/sh\nprintf '[download] Destination: x\\n'\nprintf 'ERROR: \\r[download] Got error: 663 bytes "
        "read, 18071 more expected. Giving up after 10 retries\\n' >&2\nexit 1\n");
    QFile(fake).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    env.set("BRENLOW_YTDLP", fake.toLocal8Bit());
    QString out;
    EXPECT_NE(stage(5, link, &out), 0);
    expectErrorsSaySomething(out);
    EXPECT_TRUE(out.contains(QStringLiteral("ERROR: [download] Got error: 663 bytes read")))
        << out.toStdString();
}

TEST_F(YtDlpHostileTest, OnlyAPageThatHasGoneStaleIsReadAgain)
{
    const QString link = url(QStringLiteral("page.html"));
    pickDefault(link);
    // The media's server does not answer: a page read again would not help.
    const QString entry = cacheEntry(link);
    QByteArray json = read(entry);
    ASSERT_TRUE(json.contains(QStringLiteral("127.0.0.1:%1/big.mp4").arg(port).toLatin1()));
    write(entry,
          json.replace(QStringLiteral("127.0.0.1:%1/big.mp4").arg(port).toLatin1(), "127.0.0.1:9/big.mp4"));
    const qsizetype before = ytdlpRuns().size();
    QString out;
    EXPECT_NE(stage(5, link, &out), 0);
    expectErrorsSaySomething(out);
    EXPECT_EQ(ytdlpRuns().size(), before + 1) << out.toStdString();

    // A picture server that stalls: the picture run gives up in its time, once, without Qt's chatter.
    env.set("BRENLOW_TOOL_TIMEOUT_MS", "2000");
    write(site(QStringLiteral("stallpic.html")),
          videoPage("Stalled Picture", "/stall/blob.mp4", {"/small.mp4"}));
    const QString stalled = url(QStringLiteral("stallpic.html"));
    ASSERT_EQ(stage(2, stalled, &out), 0) << out.toStdString();
    const int extracted = extractions();
    ASSERT_EQ(stage(3, stalled, &out), 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("WARNING: Unable to download thumbnail"))) << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("qt."))) << out.toStdString();
    EXPECT_FALSE(QFile::exists(app.path() + QStringLiteral("/aaa.jpg")));
    EXPECT_EQ(extractions(), extracted);
}

TEST_F(YtDlpHostileTest, NothingTheToolStartsOutlivesItNorAnyScratchFile)
{
    const QString scratch = home.path() + QStringLiteral("/tmp");
    ASSERT_TRUE(QDir().mkpath(scratch));
    env.set("TMPDIR", scratch.toLocal8Bit());
    env.set("BRENLOW_TEST_YTDLP_HELPER", "sleep 300");
    ASSERT_NO_FATAL_FAILURE(startStalledDownload());
    // The tool alone is killed, as a crash or the system would.
    const QStringList records =
        QDir(this->records.path()).entryList({QStringLiteral("*.args")}, QDir::Files, QDir::Name);
    const pid_t tool = records.last().section(u'-', 1, 1).section(u'.', 0, 0).toInt();
    const QStringList log = QString::fromUtf8(read(logPath())).split(u'\n', Qt::SkipEmptyParts);
    const pid_t helper = log.filter(QStringLiteral("helper ")).last().section(u' ', 1, 1).toInt();
    const pid_t ytdlp = ytdlpRuns().last().section(u' ', 0, 0).toInt();
    ASSERT_GT(tool, 0);
    ASSERT_GT(helper, 0);
    ASSERT_EQ(::kill(helper, 0), 0);
    ASSERT_EQ(::kill(tool, SIGKILL), 0);
    ASSERT_TRUE(waitForComplete(1, 30000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return isGone(ytdlp) && isGone(helper); }, 30000));
    EXPECT_TRUE(QDir(scratch).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        << QDir(scratch).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(u' ').toStdString();
}

} // namespace
