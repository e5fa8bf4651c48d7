// How the tool's output reaches the owner: whole, once, in order, decoded as one stream, to the
// end of the pipe, and at a pace the owner can keep up with.

#include "RunnerFixture.h"

#include "platform/ProcessKiller.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <csignal>
#include <sys/ioctl.h>

using namespace brenlow::test;

namespace {

class AVCDeliveryTest : public RunnerTest
{
protected:
    void TearDown() override
    {
        RunnerTest::TearDown();
        // Helpers a test's tool left running on purpose; checked by name so a reused id is left alone.
        for (const auto& [name, image] : strays) {
            const pid_t pid = pidFrom(name);
            if (pid > 0 && brenlow::ProcessKiller::ImageName(pid) == image)
                ::kill(pid, SIGKILL);
        }
    }

    static QByteArray procFile(pid_t pid, const char* name)
    {
        QFile f(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    /** The process sleeps in a write to a full pipe. */
    static bool waitsOnAFullPipe(pid_t pid) { return procFile(pid, "wchan").endsWith("pipe_write"); }

    static qint64 residentKiB()
    {
        for (const QByteArray& line : procFile(getpid(), "status").split('\n')) {
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
        return -1;
    }

    /** Bytes waiting in this program's pipes from the tool (summed over its open pipes). */
    static qint64 pendingInPipe()
    {
        qint64 total = 0;
        const QDir fds(QStringLiteral("/proc/self/fd"));
        for (const QString& fd : fds.entryList(QDir::Files | QDir::System)) {
            if (!QFile::symLinkTarget(fds.filePath(fd)).contains(QStringLiteral("pipe:")))
                continue;
            int waiting = 0;
            if (::ioctl(fd.toInt(), FIONREAD, &waiting) == 0)
                total += waiting;
        }
        return total;
    }

    /** Stops recording chunks (a flood would fill memory with them); counts characters instead. */
    void countInsteadOfRecording()
    {
        QObject::disconnect(avc.get(), &AVC::DataOutput, nullptr, nullptr);
        QObject::connect(avc.get(), &AVC::DataOutput, [this](QString& s) {
            const qsizetype nul = s.indexOf(QChar(0));
            characters += nul < 0 ? s.size() : nul;
            ++chunks;
        });
    }

    std::vector<std::pair<QString, QString>> strays; // pid file, image name
    qint64 characters = 0;
    qint64 chunks = 0;
};

TEST_F(AVCDeliveryTest, EveryByteArrivesOnceAndInOrderWhenHandlersReenterTheEventLoop)
{
    // A few chunks' worth first, then about 1.3 MB, and the tool ends while the handler of the first
    // chunk is still inside its own event loop.
    useScript("echo $$ > \"$(dirname \"$0\")/tool.pid\"; seq 1 500; sleep 0.5; seq 501 200000");
    int depth = 0;
    bool nested = false;
    bool first = true;
    QObject::connect(avc.get(), &AVC::DataOutput, [&](QString&) {
        nested = nested || depth > 0;
        ++depth;
        if (std::exchange(first, false)) {
            // A message box, say: the loop runs on until the tool is over and reaped.
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    const pid_t pid = pidFrom(QStringLiteral("tool.pid"));
                    return pid > 0 && ::kill(pid, 0) != 0;
                },
                60000));
            QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
        }
        QCoreApplication::processEvents();
        --depth;
    });
    QObject::connect(avc.get(), &AVC::Converting, [&] { nested = nested || depth > 0; });
    QObject::connect(avc.get(), &AVC::Complete, [&] { nested = nested || depth > 0; });
    run(2);
    ASSERT_TRUE(waitForComplete(1, 120000));

    QString expected;
    for (int i = 1; i <= 200000; ++i)
        expected += QString::number(i) + u'\n';
    EXPECT_EQ(output().size(), expected.size());
    EXPECT_TRUE(output() == expected);
    EXPECT_FALSE(nested) << "an event was raised inside a handler of an earlier one";
    EXPECT_EQ(completes(), 1);
    EXPECT_EQ(events.back().kind, Event::Complete);
}

TEST_F(AVCDeliveryTest, AnAnswerLargerThanTheRingArrivesWholeFromABusyOwner)
{
    // About 6 MB: when the tool exits, the ring and the pipe are full, and then the owner is busy
    // with one chunk for longer than the grace period.
    useScript("echo $$ > \"$(dirname \"$0\")/tool.pid\"; exec seq 1 900000");
    countInsteadOfRecording();
    QString tail;
    bool toolExited = false, busy = false;
    QObject::connect(avc.get(), &AVC::DataOutput, [&](QString& s) {
        tail = (tail + s.left(s.indexOf(QChar(0)))).right(64);
        if (toolExited || chunks % 64 != 0)
            return;
        toolExited = isGone(pidFrom(QStringLiteral("tool.pid")));
        busy = toolExited && pendingInPipe() > 0;
        QElapsedTimer work; // the owner's own long work on this chunk
        work.start();
        while (busy && work.elapsed() < AVC::GracePeriod + 200) {
        }
    });
    run(2);
    ASSERT_TRUE(waitForComplete(1, 120000));
    qint64 expected = 0;
    for (int i = 1; i <= 900000; ++i)
        expected += QByteArray::number(i).size() + 1;
    EXPECT_TRUE(busy) << "the tool exited with its output already read";
    EXPECT_EQ(characters, expected);
    EXPECT_TRUE(tail.endsWith(QStringLiteral("\n899999\n900000\n"))) << qPrintable(tail);
    EXPECT_EQ(events.back().exitCode, 0);
}

TEST_F(AVCDeliveryTest, AHandlerMayDestroyTheRunnerAndItsRunEndsWithIt)
{
    useScript("echo $$ > \"$(dirname \"$0\")/tool.pid\"; seq 1 2000; exec sleep 300");
    QObject::connect(avc.get(), &AVC::DataOutput, [&](QString&) { avc.reset(); });
    run(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !avc; }, 30000));
    const pid_t tool = pidFrom(QStringLiteral("tool.pid"));
    ASSERT_GT(tool, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return isGone(tool); }, 30000));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    // The chunk that was being handed over was the last event.
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events.at(0).kind, Event::Converting);
    EXPECT_EQ(events.at(1).kind, Event::Data);
}

TEST_F(AVCDeliveryTest, TheOutputIsDecodedAsOneStreamToItsLastByte)
{
    // A sequence that breaks off after two bytes, right where a 256-byte read ends, then one that
    // the tool never finishes.
    useScript("printf '%0255d' 0 | tr 0 a; printf '\\342\\202X'; printf '%0300d' 0 | tr 0 b; "
              "printf 'Caf\\303\\251 \\360\\237\\216'");
    run(2);
    ASSERT_TRUE(waitForComplete());
    const QByteArray bytes =
        QByteArray(255, 'a') + "\xE2\x82X" + QByteArray(300, 'b') + "Caf\xC3\xA9 \xF0\x9F\x8E";
    const QString all = output();
    EXPECT_TRUE(all == QString::fromUtf8(bytes)) << all.right(40).toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("\uFFFDX") + QString(300, u'b') + QStringLiteral("Café ")));
    EXPECT_TRUE(all.endsWith(QChar::ReplacementCharacter));
    EXPECT_EQ(events.back().kind, Event::Complete);
}

TEST_F(AVCDeliveryTest, WhatAGrandchildPrintsAfterTheToolExitedArrivesBeforeComplete)
{
    useScript("(sleep 1; echo late) & echo early");
    run(2);
    ASSERT_TRUE(waitForComplete());
    EXPECT_EQ(output(), QStringLiteral("early\nlate\n"));
    EXPECT_EQ(events.back().exitCode, 0);
}

TEST_F(AVCDeliveryTest, AGrandchildThatKeepsTheOutputOpenDelaysCompleteOnlyForAMoment)
{
    strays.emplace_back(QStringLiteral("holder.pid"), QStringLiteral("sleep"));
    useScript("sleep 300 & echo $! > \"$(dirname \"$0\")/holder.pid\"; echo done");
    run(2);
    ASSERT_TRUE(waitForComplete(1, 30000));
    EXPECT_EQ(output(), QStringLiteral("done\n"));
    EXPECT_FALSE(avc->IsRunning());
    EXPECT_FALSE(avc->PollingTimer().isActive());
}

TEST_F(AVCDeliveryTest, AFloodWaitsForABusyOwnerAndArrivesInBatchesThatLetTheEventLoopRun)
{
    constexpr qint64 total = 20000000;
    useScript("echo $$ > \"$(dirname \"$0\")/tool.pid\"; exec head -c 20000000 /dev/zero");
    countInsteadOfRecording();
    // A zero-time timer runs whenever the event loop does; count the chunks raised between two runs.
    qint64 sinceLoop = 0, longestRun = 0;
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] { sinceLoop = 0; });
    bool first = true, toolWaited = false;
    qint64 grewKiB = -1;
    const qint64 before = residentKiB();
    QObject::connect(avc.get(), &AVC::DataOutput, [&](QString&) {
        longestRun = std::max(longestRun, ++sinceLoop);
        if (!std::exchange(first, false))
            return;
        // The owner is busy in a loop of its own; the tool must come to wait rather than the
        // output piling up in memory.
        const pid_t tool = pidFrom(QStringLiteral("tool.pid"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return isGone(tool) || waitsOnAFullPipe(tool); }, 60000));
        toolWaited = !isGone(tool);
        grewKiB = residentKiB() - before;
        sinceLoop = 0;
    });
    probe.start();
    run(2);
    ASSERT_TRUE(waitForComplete(1, 240000));
    EXPECT_TRUE(toolWaited);
    EXPECT_LT(grewKiB, 16 * 1024);
    EXPECT_EQ(characters, total); // each NUL byte becomes one replacement character
    EXPECT_LE(longestRun, 2048);
    EXPECT_GE(chunks, total / AVC::ChunkSize);
    EXPECT_EQ(events.back().exitCode, 0);
}

} // namespace
