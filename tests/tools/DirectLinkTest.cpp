// The bundled tool fetching direct links for real, against a local HTTP server, through the runner.

#include "YtDlpFixture.h"

#include <QRandomGenerator>

using namespace brenlow::test;

namespace {

class DirectLinkTest : public ServedTest
{
protected:
    void SetUp() override
    {
        RunnerTest::SetUp();
        // Direct fetching is what these tests are about, even where yt-dlp is installed.
        env.set("BRENLOW_YTDLP", "");
        ASSERT_TRUE(served.isValid());
        source = QByteArray(3 * 1000 * 1000 + 17, Qt::Uninitialized);
        QRandomGenerator rng(7);
        for (char& c : source)
            c = static_cast<char>(rng.generate());
        writeServed(QStringLiteral("clip.mp4"), source);
        serve(served.path());
        host->code = QStringLiteral("1");
    }

    void writeServed(const QString& name, const QByteArray& data)
    {
        write(served.path() + u'/' + name, data);
    }

    QByteArray fetched(const QString& ext = QStringLiteral("mp4")) const { return read(downloaded(ext)); }

    /** A partial file left by an earlier run. */
    void leavePart(const QString& name, const QByteArray& data)
    {
        write(downloads.path() + u'/' + name + QStringLiteral(".part"), data);
    }

    QTemporaryDir served;
    QByteArray source;
};

TEST_F(DirectLinkTest, ADirectLinkGoesThroughEveryStage)
{
    const QString link = url(QStringLiteral("clip.mp4"));
    EXPECT_EQ(stage(2, link), 0);
    EXPECT_TRUE(output().contains(
        QStringLiteral("format code  extension  resolution note\r\n"
                       "1            mp4        unknown    direct link , video/mp4, 2.86MiB")))
        << output().toStdString();
    stage(3, link);
    EXPECT_FALSE(QFile::exists(app.path() + QStringLiteral("/aaa.jpg"))); // no thumbnail: the placeholder
    stage(4, link);
    EXPECT_EQ(output(), QStringLiteral("127.0.0.1 - clip\r\n"));

    EXPECT_EQ(stage(5, url(QStringLiteral("redirect/clip.mp4"))), 0);
    EXPECT_EQ(fetched(), source);
    EXPECT_FALSE(QFile::exists(downloads.path() + QStringLiteral("/clip.mp4.part")));
    EXPECT_TRUE(output().contains(QStringLiteral("[download] 100.0% of 2.86MiB at")));
    EXPECT_TRUE(output().contains(QStringLiteral("\r[download] 100% of 2.86MiB in ")));

    // -w: a second download leaves the file alone.
    write(downloaded(QStringLiteral("mp4")), "mine");
    EXPECT_EQ(stage(5, link), 0);
    EXPECT_EQ(fetched(), QByteArray("mine"));
}

TEST_F(DirectLinkTest, AnInterruptedDownloadResumesWithARangeRequest)
{
    EXPECT_NE(stage(5, url(QStringLiteral("drop/clip.mp4"))), 0);
    EXPECT_TRUE(output().contains(QStringLiteral("ERROR: ")));
    QFile part(downloads.path() + QStringLiteral("/clip.mp4.part"));
    ASSERT_TRUE(part.exists());
    // The server sent half; what had not been read when the connection broke is fetched again.
    const qint64 half = part.size();
    EXPECT_GT(half, 0);
    EXPECT_LE(half, source.size() / 2);
    EXPECT_EQ(stage(5, url(QStringLiteral("drop/clip.mp4"))), 0);
    EXPECT_TRUE(output().contains(QStringLiteral("Resuming download at byte %1").arg(half)));
    EXPECT_EQ(fetched(), source);
}

TEST_F(DirectLinkTest, AResumeFollowsARedirectToAnotherExtension)
{
    // An earlier run of the same address saved part of it under the address's own extension; the
    // address now leads to an .mp4, of which nothing is there yet.
    leavePart(QStringLiteral("clip.php"), source.left(1000));
    EXPECT_EQ(stage(5, url(QStringLiteral("redirect/clip.php?to=/clip.mp4"))), 0) << output().toStdString();
    EXPECT_EQ(fetched(), source);
}

TEST_F(DirectLinkTest, ARangeAnsweredFromTheStartIsNotAppended)
{
    leavePart(QStringLiteral("clip.mp4"), source.left(1000));
    EXPECT_EQ(stage(5, url(QStringLiteral("fromzero/clip.mp4"))), 0) << output().toStdString();
    EXPECT_EQ(fetched(), source);
}

TEST_F(DirectLinkTest, ARefusedRangeCompletesOnlyAPartOfTheRightSize)
{
    // Larger than the file: the part is no piece of it and is fetched anew.
    leavePart(QStringLiteral("clip.mp4"), source + QByteArray("trailing junk"));
    EXPECT_EQ(stage(5, url(QStringLiteral("clip.mp4"))), 0) << output().toStdString();
    EXPECT_EQ(fetched(), source);
    // Exactly the file: nothing more to fetch.
    QFile::remove(downloads.path() + QStringLiteral("/clip.mp4"));
    leavePart(QStringLiteral("clip.mp4"), source);
    EXPECT_EQ(stage(5, url(QStringLiteral("clip.mp4"))), 0) << output().toStdString();
    EXPECT_TRUE(output().contains(QStringLiteral("has already been downloaded")));
    EXPECT_EQ(fetched(), source);
}

TEST_F(DirectLinkTest, AnAddressWithoutExtensionResumesToo)
{
    writeServed(QStringLiteral("media"), source);
    EXPECT_NE(stage(5, url(QStringLiteral("drop/media"))), 0);
    ASSERT_TRUE(QFile::exists(downloads.path() + QStringLiteral("/clip.bin.part")));
    EXPECT_EQ(stage(5, url(QStringLiteral("drop/media"))), 0) << output().toStdString();
    EXPECT_TRUE(output().contains(QStringLiteral("Resuming download at byte")));
    EXPECT_EQ(fetched(QStringLiteral("bin")), source);
}

TEST_F(DirectLinkTest, APageLinkWithoutYtDlpSaysWhatIsNeeded)
{
    writeServed(QStringLiteral("watch.html"), "<html><body><video src=\"clip.mp4\"></video></body></html>");
    EXPECT_NE(stage(2, url(QStringLiteral("watch.html"))), 0);
    EXPECT_TRUE(output().contains(QStringLiteral("needs yt-dlp"))) << output().toStdString();
    EXPECT_TRUE(output().contains(QStringLiteral("apt-get install yt-dlp")));
    EXPECT_FALSE(output().contains(QStringLiteral("format code")));
}

TEST_F(DirectLinkTest, ServerErrorsArePrintedWithANonZeroExit)
{
    EXPECT_EQ(stage(2, url(QStringLiteral("missing.mp4"))), 1);
    EXPECT_TRUE(output().contains(QStringLiteral("ERROR: HTTP Error 404: Not Found")));
    EXPECT_FALSE(output().contains(QStringLiteral("format code")));
    EXPECT_EQ(stage(5, url(QStringLiteral("missing.mp4"))), 1);
    EXPECT_TRUE(QDir(downloads.path()).isEmpty());

    // Nobody listens on the port any more.
    server.kill();
    server.waitForFinished(5000);
    EXPECT_EQ(stage(2, url(QStringLiteral("missing.mp4"))), 1);
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

    env.set("BRENLOW_TOOL_TIMEOUT_MS", "1000");
    EXPECT_EQ(stage(5, url(QStringLiteral("stall/clip.mp4"))), 1);
    EXPECT_TRUE(output().contains(QStringLiteral("ERROR: Timed out")));
    EXPECT_TRUE(QFile::exists(downloads.path() + QStringLiteral("/clip.mp4.part")));
}

struct ProfileCase
{
    const char* name;
    const char* path; // on the server; none: a file link
    const char* profile;
};

class ProfileTest : public DirectLinkTest, public ::testing::WithParamInterface<ProfileCase>
{
};

TEST_P(ProfileTest, ALinkWithoutHeadOrOfAFileGivesItsProfileAndDownloads)
{
    const ProfileCase c = GetParam();
    const QString link = c.path ? url(QLatin1String(c.path))
                                : QUrl::fromLocalFile(served.path() + QStringLiteral("/clip.mp4")).toString();
    EXPECT_EQ(stage(2, link), 0);
    EXPECT_TRUE(output().contains(QLatin1String(c.profile))) << output().toStdString();
    EXPECT_EQ(stage(5, link), 0) << output().toStdString();
    EXPECT_EQ(fetched(), source);
}

INSTANTIATE_TEST_SUITE_P(
    Links, ProfileTest,
    ::testing::Values(ProfileCase{"NoHead", "nohead/clip.mp4",
                                  "1            mp4        unknown    direct link , video/mp4, 2.86MiB"},
                      ProfileCase{"File", nullptr,
                                  "1            mp4        unknown    direct link, 2.86MiB"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DirectLinkTest, ATlsFailureAndTheCataloguesOwnDomainAreErrors)
{
    // A plain HTTP server cannot complete a TLS handshake.
    EXPECT_EQ(stage(2, QStringLiteral("https://127.0.0.1:%1/clip.mp4").arg(port)), 1);
    EXPECT_TRUE(output().contains(QStringLiteral("ERROR: "))) << output().toStdString();
    EXPECT_FALSE(output().contains(QStringLiteral("format code")));
    // Links under the simulated catalogue's domain are never fetched.
    stage(2, QStringLiteral("https://videos.brenlow.example/watch?v=nothing"));
    EXPECT_TRUE(output().contains(QStringLiteral("ERROR: Unsupported URL")));
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
    env.set("BRENLOW_TOOL_TIMING_FILE", stats.toLocal8Bit());
    host->name = QStringLiteral("big");
    EXPECT_EQ(stage(5, url(QStringLiteral("big.mp4"))), 0);
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
