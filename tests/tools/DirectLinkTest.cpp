// The bundled tool fetching direct links for real, against a local HTTP server, through the runner.

#include "runner/RunnerFixture.h"

#include <QProcess>
#include <QRandomGenerator>

using namespace brenlow::test;

namespace {

class DirectLinkTest : public RunnerTest
{
protected:
    void SetUp() override
    {
        RunnerTest::SetUp();
        // Direct fetching is what these tests are about, even where yt-dlp is installed.
        qputenv("BRENLOW_YTDLP", "");
        ASSERT_TRUE(served.isValid());
        ASSERT_TRUE(downloads.isValid());
        source = QByteArray(3 * 1000 * 1000 + 17, Qt::Uninitialized);
        QRandomGenerator rng(7);
        for (char& c : source)
            c = static_cast<char>(rng.generate());
        writeServed(QStringLiteral("clip.mp4"), source);
        server.setProgram(QStringLiteral(BRENLOW_PYTHON));
        server.setArguments({QStringLiteral(BRENLOW_TEST_SERVER), served.path()});
        server.start();
        ASSERT_TRUE(server.waitForStarted(10000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.canReadLine(); }, 30000));
        port = server.readLine().trimmed().toInt();
        ASSERT_GT(port, 0);
        useBundledTool();
        host->folder = downloads.path() + u'/';
        host->name = QStringLiteral("clip");
        host->code = QStringLiteral("1");
    }

    void TearDown() override
    {
        RunnerTest::TearDown();
        qunsetenv("BRENLOW_YTDLP");
        server.kill();
        server.waitForFinished(5000);
    }

    void writeServed(const QString& name, const QByteArray& data)
    {
        QFile f(served.path() + u'/' + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    QString url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(port).arg(path);
    }

    QByteArray downloaded(const QString& name = QStringLiteral("clip.mp4")) const
    {
        QFile f(downloads.path() + u'/' + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    /** Runs stage 5 on link and waits for its end; returns its exit code. */
    int downloadLink(const QString& link)
    {
        const int before = completes();
        host->downloadLink = link;
        run(5);
        EXPECT_TRUE(waitForComplete(before + 1, 120000));
        return events.back().exitCode;
    }

    /** A partial file left by an earlier run. */
    void leavePart(const QString& name, const QByteArray& data)
    {
        QFile f(downloads.path() + u'/' + name + QStringLiteral(".part"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(data);
    }

    QTemporaryDir served, downloads;
    QProcess server;
    QByteArray source;
    int port = 0;
};

TEST_F(DirectLinkTest, ADirectLinkGoesThroughEveryStage)
{
    host->link = url(QStringLiteral("clip.mp4"));
    run(2);
    ASSERT_TRUE(waitForComplete(1));
    EXPECT_EQ(events.back().exitCode, 0);
    EXPECT_TRUE(output().contains(
        QStringLiteral("format code  extension  resolution note\r\n"
                       "1            mp4        unknown    direct link , video/mp4, 2.86MiB")))
        << output().toStdString();
    run(3);
    ASSERT_TRUE(waitForComplete(2));
    EXPECT_FALSE(QFile::exists(app.path() + QStringLiteral("/aaa.jpg"))); // no thumbnail: the placeholder
    events.clear();
    run(4);
    ASSERT_TRUE(waitForComplete(1));
    EXPECT_EQ(output(), QStringLiteral("127.0.0.1 - clip\r\n"));

    EXPECT_EQ(downloadLink(url(QStringLiteral("redirect/clip.mp4"))), 0);
    EXPECT_EQ(downloaded(), source);
    EXPECT_FALSE(QFile::exists(downloads.path() + QStringLiteral("/clip.mp4.part")));
    EXPECT_TRUE(output().contains(QStringLiteral("[download] 100.0% of 2.86MiB at")));
    EXPECT_TRUE(output().contains(QStringLiteral("\r[download] 100% of 2.86MiB in ")));

    // -w: a second download leaves the file alone.
    QFile mine(downloads.path() + QStringLiteral("/clip.mp4"));
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly | QIODevice::Truncate));
    mine.write("mine");
    mine.close();
    EXPECT_EQ(downloadLink(url(QStringLiteral("clip.mp4"))), 0);
    EXPECT_EQ(downloaded(), QByteArray("mine"));
}

TEST_F(DirectLinkTest, AnInterruptedDownloadResumesWithARangeRequest)
{
    EXPECT_NE(downloadLink(url(QStringLiteral("drop/clip.mp4"))), 0);
    EXPECT_TRUE(output().contains(QStringLiteral("ERROR: ")));
    QFile part(downloads.path() + QStringLiteral("/clip.mp4.part"));
    ASSERT_TRUE(part.exists());
    // The server sent half; what had not been read when the connection broke is fetched again.
    const qint64 half = part.size();
    EXPECT_GT(half, 0);
    EXPECT_LE(half, source.size() / 2);
    EXPECT_EQ(downloadLink(url(QStringLiteral("drop/clip.mp4"))), 0);
    EXPECT_TRUE(output().contains(QStringLiteral("Resuming download at byte %1").arg(half)));
    EXPECT_EQ(downloaded(), source);
}

TEST_F(DirectLinkTest, AResumeFollowsARedirectToAnotherExtension)
{
    // An earlier run of the same address saved part of it under the address's own extension; the
    // address now leads to an .mp4, of which nothing is there yet.
    leavePart(QStringLiteral("clip.php"), source.left(1000));
    EXPECT_EQ(downloadLink(url(QStringLiteral("redirect/clip.php?to=/clip.mp4"))), 0)
        << output().toStdString();
    EXPECT_EQ(downloaded(), source);
}

TEST_F(DirectLinkTest, ARangeAnsweredFromTheStartIsNotAppended)
{
    leavePart(QStringLiteral("clip.mp4"), source.left(1000));
    EXPECT_EQ(downloadLink(url(QStringLiteral("fromzero/clip.mp4"))), 0) << output().toStdString();
    EXPECT_EQ(downloaded(), source);
}

TEST_F(DirectLinkTest, ARefusedRangeCompletesOnlyAPartOfTheRightSize)
{
    // Larger than the file: the part is no piece of it and is fetched anew.
    leavePart(QStringLiteral("clip.mp4"), source + QByteArray("trailing junk"));
    EXPECT_EQ(downloadLink(url(QStringLiteral("clip.mp4"))), 0) << output().toStdString();
    EXPECT_EQ(downloaded(), source);
    // Exactly the file: nothing more to fetch.
    QFile::remove(downloads.path() + QStringLiteral("/clip.mp4"));
    leavePart(QStringLiteral("clip.mp4"), source);
    EXPECT_EQ(downloadLink(url(QStringLiteral("clip.mp4"))), 0) << output().toStdString();
    EXPECT_TRUE(output().contains(QStringLiteral("has already been downloaded")));
    EXPECT_EQ(downloaded(), source);
}

TEST_F(DirectLinkTest, AnAddressWithoutExtensionResumesToo)
{
    writeServed(QStringLiteral("media"), source);
    EXPECT_NE(downloadLink(url(QStringLiteral("drop/media"))), 0);
    ASSERT_TRUE(QFile::exists(downloads.path() + QStringLiteral("/clip.bin.part")));
    EXPECT_EQ(downloadLink(url(QStringLiteral("drop/media"))), 0) << output().toStdString();
    EXPECT_TRUE(output().contains(QStringLiteral("Resuming download at byte")));
    EXPECT_EQ(downloaded(QStringLiteral("clip.bin")), source);
}

TEST_F(DirectLinkTest, APageLinkWithoutYtDlpSaysWhatIsNeeded)
{
    writeServed(QStringLiteral("watch.html"), "<html><body><video src=\"clip.mp4\"></video></body></html>");
    host->link = url(QStringLiteral("watch.html"));
    run(2);
    ASSERT_TRUE(waitForComplete(1));
    EXPECT_NE(events.back().exitCode, 0);
    EXPECT_TRUE(output().contains(QStringLiteral("needs yt-dlp"))) << output().toStdString();
    EXPECT_TRUE(output().contains(QStringLiteral("apt-get install yt-dlp")));
    EXPECT_FALSE(output().contains(QStringLiteral("format code")));
}

TEST_F(DirectLinkTest, ServerErrorsArePrintedWithANonZeroExit)
{
    host->link = url(QStringLiteral("missing.mp4"));
    run(2);
    ASSERT_TRUE(waitForComplete(1));
    EXPECT_EQ(events.back().exitCode, 1);
    EXPECT_TRUE(output().contains(QStringLiteral("ERROR: HTTP Error 404: Not Found")));
    EXPECT_FALSE(output().contains(QStringLiteral("format code")));
    EXPECT_EQ(downloadLink(url(QStringLiteral("missing.mp4"))), 1);
    EXPECT_TRUE(QDir(downloads.path()).isEmpty());

    // Nobody listens on the port any more.
    server.kill();
    server.waitForFinished(5000);
    events.clear();
    run(2);
    ASSERT_TRUE(waitForComplete(1));
    EXPECT_EQ(events.back().exitCode, 1);
    EXPECT_TRUE(output().contains(QStringLiteral("Connection refused"))) << output().toStdString();
}

TEST_F(DirectLinkTest, CancelEndsAStalledDownloadAndATimeoutEndsItToo)
{
    host->downloadLink = url(QStringLiteral("stall/clip.mp4"));
    run(5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return output().contains(QStringLiteral("Destination:")); }, 30000));
    avc->CancelConvert();
    ASSERT_TRUE(waitForComplete(1));
    EXPECT_EQ(events.back().exitCode, -1);

    qputenv("BRENLOW_TOOL_TIMEOUT_MS", "1000");
    const int code = downloadLink(url(QStringLiteral("stall/clip.mp4")));
    qunsetenv("BRENLOW_TOOL_TIMEOUT_MS");
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(output().contains(QStringLiteral("ERROR: Timed out")));
    EXPECT_TRUE(QFile::exists(downloads.path() + QStringLiteral("/clip.mp4.part")));
}

TEST_F(DirectLinkTest, AServerRefusingHeadStillGivesTheProfile)
{
    host->link = url(QStringLiteral("nohead/clip.mp4"));
    run(2);
    ASSERT_TRUE(waitForComplete(1));
    EXPECT_EQ(events.back().exitCode, 0);
    EXPECT_TRUE(output().contains(
        QStringLiteral("1            mp4        unknown    direct link , video/mp4, 2.86MiB")))
        << output().toStdString();
}

TEST_F(DirectLinkTest, ATlsFailureAndTheCataloguesOwnDomainAreErrors)
{
    // A plain HTTP server cannot complete a TLS handshake.
    host->link = QStringLiteral("https://127.0.0.1:%1/clip.mp4").arg(port);
    run(2);
    ASSERT_TRUE(waitForComplete(1));
    EXPECT_EQ(events.back().exitCode, 1);
    EXPECT_TRUE(output().contains(QStringLiteral("ERROR: "))) << output().toStdString();
    EXPECT_FALSE(output().contains(QStringLiteral("format code")));
    // Links under the simulated catalogue's domain are never fetched.
    events.clear();
    host->link = QStringLiteral("https://videos.brenlow.example/watch?v=nothing");
    run(2);
    ASSERT_TRUE(waitForComplete(1));
    EXPECT_TRUE(output().contains(QStringLiteral("ERROR: Unsupported URL")));
}

TEST_F(DirectLinkTest, FileLinksWork)
{
    host->link = QUrl::fromLocalFile(served.path() + QStringLiteral("/clip.mp4")).toString();
    run(2);
    ASSERT_TRUE(waitForComplete(1));
    EXPECT_TRUE(output().contains(QStringLiteral("1            mp4        unknown    direct link, 2.86MiB")));
    EXPECT_EQ(downloadLink(host->link), 0);
    EXPECT_EQ(downloaded(), source);
}

TEST_F(DirectLinkTest, ALargeFileStreamsWithFlatMemory)
{
    // A sparse file of 300 MB: cheap to make, and the server reads it quickly.
    const qint64 size = 300LL * 1000 * 1000;
    {
        QFile big(served.path() + QStringLiteral("/big.mp4"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(size));
    }
    const QString stats = records.path() + QStringLiteral("/stats");
    qputenv("BRENLOW_TOOL_TIMING_FILE", stats.toLocal8Bit());
    host->name = QStringLiteral("big");
    const int code = downloadLink(url(QStringLiteral("big.mp4")));
    qunsetenv("BRENLOW_TOOL_TIMING_FILE");
    EXPECT_EQ(code, 0);
    EXPECT_EQ(QFileInfo(downloads.path() + QStringLiteral("/big.mp4")).size(), size);
    QFile f(stats);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const qint64 peakKiB = f.readAll().trimmed().split(' ').value(1).toLongLong();
    EXPECT_GT(peakKiB, 0);
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer holds freed buffers in quarantine (up to 256 MB), so the peak of a sanitizer
    // build does not tell whether memory stays flat.
    GTEST_SKIP() << "peak memory is not meaningful under AddressSanitizer";
#endif
    EXPECT_LT(peakKiB, 80 * 1024) << "peak memory of the tool in KiB";
}

} // namespace
