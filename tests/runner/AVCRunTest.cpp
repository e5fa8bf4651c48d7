// Running the tool: how its output arrives, how a run ends, and how it is stopped.

#include "RunnerFixture.h"

#include "platform/ProcessKiller.h"

#include <QFileInfo>
#include <QProcess>

#include <csignal>

using namespace brenlow::test;

namespace {

class AVCRunTest : public RunnerTest
{
protected:
    QList<Event::Kind> kinds() const
    {
        QList<Event::Kind> out;
        for (const Event& e : events)
            out << e.kind;
        return out;
    }
};

struct ShortOutput
{
    const char* what;
    QByteArray script;
    QString chunk; // the one chunk it gives, before the padding
};

class AVCShortOutputTest : public AVCRunTest, public ::testing::WithParamInterface<ShortOutput>
{
};

TEST_P(AVCShortOutputTest, ArrivesAsOneChunkPaddedWithNulsThenComplete)
{
    useScript(GetParam().script);
    run(2);
    EXPECT_TRUE(avc->IsRunning());
    EXPECT_TRUE(avc->PollingTimer().isActive());
    EXPECT_EQ(avc->PollingTimer().interval(), 300);
    ASSERT_TRUE(waitForComplete());
    ASSERT_EQ(kinds(), (QList<Event::Kind>{Event::Converting, Event::Data, Event::Complete}));
    EXPECT_EQ(events.at(1).text, GetParam().chunk + QString(256 - GetParam().chunk.size(), QChar(0)));
    EXPECT_EQ(events.back().exitCode, 0);
    EXPECT_FALSE(avc->PollingTimer().isActive());
    EXPECT_FALSE(avc->IsRunning());
}

INSTANTIATE_TEST_SUITE_P(
    Runs, AVCShortOutputTest,
    ::testing::Values(ShortOutput{"TenBytes", "printf '0123456789'", QStringLiteral("0123456789")},
                      // A NUL byte of the tool does not cut the chunk.
                      ShortOutput{"NulByte", "printf 'ab\\000cd'", QStringLiteral("ab\uFFFDcd")},
                      // A silent child ends with an empty chunk.
                      ShortOutput{"Silent", "exit 0", QString()}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(AVCRunTest, LongOutputArrivesInOrderedChunksOfAtMost256Bytes)
{
    // 3000 bytes written in pieces, some of them after a pause of more than a tick.
    useScript(
        "i=0; while [ $i -lt 30 ]; do printf '%099d\\n' $i; i=$((i+1)); [ $i -eq 10 ] && sleep 0.7; done");
    run(2);
    ASSERT_TRUE(waitForComplete());
    QString expected;
    for (int i = 0; i < 30; ++i)
        expected += QStringLiteral("%1\n").arg(i, 99, 10, QLatin1Char('0'));
    EXPECT_EQ(output(), expected);
    int dataEvents = 0;
    for (const Event& e : events) {
        if (e.kind == Event::Data) {
            ++dataEvents;
            EXPECT_EQ(e.text.size(), 256);
        }
    }
    EXPECT_GE(dataEvents, 12); // 3000 bytes in chunks of 256 at most
    // Each tick raises Converting once, before its chunks; the pause splits the run into two ticks.
    const auto k = kinds();
    EXPECT_EQ(k.first(), Event::Converting);
    EXPECT_GE(std::count(k.begin(), k.end(), Event::Converting), 2);
}

TEST_F(AVCRunTest, AFloodIsNotHeldToOneChunkATick)
{
    useBundledTool();
    host->link = QStringLiteral("https://test.brenlow.example/flood-1mb");
    run(2);
    ASSERT_TRUE(waitForComplete(1, 120000));
    const QString all = output();
    EXPECT_GE(all.size(), 1024 * 1024);
    EXPECT_TRUE(all.contains(QStringLiteral("format code  extension  resolution note")));
    EXPECT_EQ(events.back().exitCode, 0);
    // At one chunk a tick this would take 4096 ticks of 300 ms; a tick takes what has come.
    const auto k = kinds();
    EXPECT_LE(std::count(k.begin(), k.end(), Event::Converting), 64);
    EXPECT_GE(std::count(k.begin(), k.end(), Event::Data), 4096);
}

TEST_F(AVCRunTest, StandardErrorArrivesInterleavedWithStandardOutput)
{
    useBundledTool();
    host->link = QStringLiteral("https://test.brenlow.example/interleave");
    run(2);
    ASSERT_TRUE(waitForComplete());
    QString expected;
    for (int i = 1; i <= 6; ++i)
        expected += QStringLiteral("[stdout] line %1\r\n[stderr] line %1\r\n").arg(i);
    EXPECT_TRUE(output().startsWith(expected)) << output().left(300).toStdString();
    EXPECT_TRUE(output().contains(QStringLiteral("format code  extension  resolution note")));
}

TEST_F(AVCRunTest, ACharacterSplitBetweenReadsArrivesWhole)
{
    useBundledTool();
    host->link = QStringLiteral("https://test.brenlow.example/split-utf8");
    run(4);
    ASSERT_TRUE(waitForComplete());
    EXPECT_TRUE(output().endsWith(QStringLiteral("Ünïcode Splitter - Café 日本\r\n")))
        << output().toStdString();
    EXPECT_FALSE(output().contains(QChar::ReplacementCharacter));
    // The tool paused inside the first character, so it came in more than one tick.
    const auto k = kinds();
    EXPECT_GE(std::count(k.begin(), k.end(), Event::Converting), 2);
}

TEST_F(AVCRunTest, AMissingToolGivesOnlyTheErrorEvent)
{
    avc->PollingTimer().setInterval(1234);
    run(2);
    // A directory, and a file that cannot be executed, count as missing too.
    ASSERT_TRUE(QDir(app.path()).mkdir(QStringLiteral("do.dll")));
    run(3);
    ASSERT_TRUE(QDir(app.path()).rmdir(QStringLiteral("do.dll")));
    QFile plain(toolPath());
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("#!/bin/sh\necho hi\n");
    plain.close();
    ASSERT_TRUE(plain.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    run(5);
    QTest::qWait(400); // no tick may follow; nothing to wait for but time
    ASSERT_EQ(kinds(), (QList<Event::Kind>{Event::Error, Event::Error, Event::Error}));
    for (const Event& e : events)
        EXPECT_EQ(e.text, QStringLiteral("Unable to locate do.dll"));
    EXPECT_FALSE(avc->PollingTimer().isActive());
    EXPECT_EQ(avc->PollingTimer().interval(), 1234);
    EXPECT_FALSE(avc->IsRunning());
}

TEST_F(AVCRunTest, ACompleteHandlerMayStartTheNextRun)
{
    useScript("echo \"$@\"");
    host->link = QStringLiteral("L");
    int seen = 0;
    QObject::connect(avc.get(), &AVC::Complete, [&] {
        if (++seen == 1) {
            bool overwrite = true;
            avc->ConvertMedia3(overwrite);
        }
    });
    run(2);
    ASSERT_TRUE(waitForComplete(1));
    EXPECT_TRUE(avc->PollingTimer().isActive());
    EXPECT_TRUE(avc->IsRunning());
    ASSERT_TRUE(waitForComplete(2));
    EXPECT_TRUE(output().contains(QStringLiteral("--write-thumbnail")));
    EXPECT_FALSE(avc->PollingTimer().isActive());
}

TEST_F(AVCRunTest, TheExitStatusIsReadableInComplete)
{
    useScript("echo failing; exit 3");
    run(2);
    ASSERT_TRUE(waitForComplete());
    EXPECT_EQ(events.back().exitCode, 3);
    EXPECT_EQ(avc->LastExitCode(), 3);

    ASSERT_TRUE(QFile::remove(toolPath()));
    useBundledTool();
    host->folder = app.path() + u'/';
    host->name = QStringLiteral("x");
    host->code = QStringLiteral("18");
    host->downloadLink = QStringLiteral("https://test.brenlow.example/exit3");
    run(5);
    ASSERT_TRUE(waitForComplete(2));
    EXPECT_EQ(events.back().exitCode, 3);
    EXPECT_TRUE(output().contains(QStringLiteral("HTTP Error 403")));
}

TEST_F(AVCRunTest, CancelStopsAHangingRunWhichThenCompletesThroughThePolling)
{
    useScript("echo $$ > \"$(dirname \"$0\")/self.pid\"; echo started; exec sleep 300");
    bool insideCancel = false, toolGoneAtComplete = false;
    QObject::connect(avc.get(), &AVC::Complete, [&] {
        EXPECT_FALSE(insideCancel) << "Complete must come from a tick, not from CancelConvert";
        toolGoneAtComplete = isGone(pidFrom(QStringLiteral("self.pid")));
    });
    run(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return output().contains(QStringLiteral("started")); }, 30000));
    const pid_t tool = pidFrom(QStringLiteral("self.pid"));
    ASSERT_GT(tool, 0);
    ASSERT_FALSE(isGone(tool));
    insideCancel = true;
    avc->CancelConvert();
    insideCancel = false;
    // The run is still on until a tick finds its end.
    EXPECT_TRUE(avc->IsRunning());
    ASSERT_TRUE(waitForComplete());
    EXPECT_TRUE(toolGoneAtComplete);
    EXPECT_EQ(completes(), 1);
    EXPECT_EQ(events.back().exitCode, -1);
    EXPECT_EQ(output(), QStringLiteral("started\n"));
    EXPECT_FALSE(avc->IsRunning());
    EXPECT_FALSE(avc->PollingTimer().isActive());
}

TEST_F(AVCRunTest, CancelEndsOnlyItsOwnRunNotOtherDoDllProcessesOfThisProgram)
{
    // Two do.dll programs beside this run: one no longer descended from this program (as another
    // window's download would be), and a shell job "x-do.dll | partner" descended from it (as a
    // second runner's would be), whose partner shares the job's process group.
    const QString dir = app.path();
    // What this test started ends with it, checked by name so that a reused id is left alone.
    struct Leftovers
    {
        std::vector<std::pair<pid_t, QString>> started;
        ~Leftovers()
        {
            for (const auto& [pid, name] : started) {
                if (brenlow::ProcessKiller::ImageName(pid) == name)
                    ::kill(pid, SIGKILL);
            }
        }
    } leftovers;
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), dir + QStringLiteral("/stranger-do.dll")));
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), dir + QStringLiteral("/x-do.dll")));
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), dir + QStringLiteral("/partner")));
    QProcess orphaner;
    orphaner.start(QStringLiteral("/bin/sh"),
                   {QStringLiteral("-c"),
                    QStringLiteral("\"$0/stranger-do.dll\" 300 </dev/null >/dev/null 2>&1 & "
                                   "echo $! > \"$0/stranger.pid\""),
                    dir});
    ASSERT_TRUE(orphaner.waitForFinished(30000));
    const pid_t stranger = pidFrom(QStringLiteral("stranger.pid"));
    ASSERT_GT(stranger, 0);
    leftovers.started.emplace_back(stranger, QStringLiteral("stranger-do.dll"));

    QProcess job;
    job.setProgram(QStringLiteral("/bin/sh"));
    job.setArguments(
        {QStringLiteral("-c"),
         QStringLiteral("\"$0/partner\" 300 & echo $! > \"$0/partner.pid\"; exec \"$0/x-do.dll\" 300"), dir});
    job.setChildProcessModifier([] { ::setpgid(0, 0); });
    job.start();
    ASSERT_TRUE(job.waitForStarted(30000));
    const pid_t jobPid = static_cast<pid_t>(job.processId());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return pidFrom(QStringLiteral("partner.pid")) > 0 &&
                   brenlow::ProcessKiller::ImageName(jobPid) == QStringLiteral("x-do.dll");
        },
        30000));
    const pid_t partner = pidFrom(QStringLiteral("partner.pid"));
    leftovers.started.emplace_back(partner, QStringLiteral("partner"));

    useScript("echo started; sleep 300");
    run(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return output().contains(QStringLiteral("started")); }, 30000));
    avc->CancelConvert();
    ASSERT_TRUE(waitForComplete());
    EXPECT_EQ(events.back().exitCode, -1);
    // Not of this run, though of this program and named do.dll: it runs on.
    EXPECT_EQ(job.state(), QProcess::Running);
    job.kill();
    EXPECT_TRUE(job.waitForFinished(30000));

    EXPECT_FALSE(isGone(stranger));
    EXPECT_FALSE(isGone(partner));
}

TEST_F(AVCRunTest, ASecondStartDuringARunIsRefused)
{
    useScript("echo started; sleep 300");
    run(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return output().contains(QStringLiteral("started")); }, 30000));
    run(3);
    EXPECT_EQ(events.back().kind, Event::Error);
    EXPECT_TRUE(avc->IsRunning());
    avc->CancelConvert();
    ASSERT_TRUE(waitForComplete());
}

} // namespace
