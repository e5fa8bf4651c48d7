// Ending processes by image name. These tests use a name of their own, so they never touch the
// do.dll processes of anything else running at the same time.

#include "platform/ProcessKiller.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <unistd.h>

namespace {

using brenlow::ProcessKiller::FindByImageSuffix;
using brenlow::ProcessKiller::ImageName;
using brenlow::ProcessKiller::KillByImageSuffix;

class ProcessKillerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        suffix = QStringLiteral("kt%1.dll").arg(QCoreApplication::applicationPid());
    }

    void TearDown() override
    {
        for (auto& p : processes) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    /** Starts a sleeping program whose file is named name (a copy of sleep, or a script). */
    QProcess* startAs(const QString& name, bool script = false, bool ownGroup = false)
    {
        const QString path = dir.path() + u'/' + name;
        if (script) {
            QFile f(path);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("#!/bin/sh\nsleep 300 &\nwait\n");
            f.close();
            f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        } else {
            EXPECT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), path));
        }
        auto p = std::make_unique<QProcess>();
        p->setProgram(path);
        p->setArguments({QStringLiteral("300")});
        if (ownGroup)
            p->setChildProcessModifier([] { ::setpgid(0, 0); });
        p->start();
        EXPECT_TRUE(p->waitForStarted(10000));
        processes.push_back(std::move(p));
        return processes.back().get();
    }

    static bool waitEnded(QProcess* p)
    {
        return p->state() == QProcess::NotRunning || p->waitForFinished(10000);
    }

    QTemporaryDir dir;
    QString suffix;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(ProcessKillerTest, ImageNamesAreWholeEvenPastTheKernelsFifteenCharacters)
{
    QProcess* shortName = startAs(suffix);
    const QString longName = QStringLiteral("a-rather-long-program-name-") + suffix;
    QProcess* longBinary = startAs(longName);
    const QString longScript = QStringLiteral("a-rather-long-script-name-") + suffix;
    QProcess* script = startAs(longScript, true);
    EXPECT_EQ(ImageName(static_cast<pid_t>(shortName->processId())), suffix);
    EXPECT_EQ(ImageName(static_cast<pid_t>(longBinary->processId())), longName);
    // For a script the image is the script, not its interpreter.
    EXPECT_EQ(ImageName(static_cast<pid_t>(script->processId())), longScript);
    EXPECT_EQ(ImageName(static_cast<pid_t>(getpid())),
              QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

TEST_F(ProcessKillerTest, EveryProcessWhoseNameEndsWithTheSuffixIsKilledWhateverItsCase)
{
    QProcess* a = startAs(suffix);
    QProcess* b = startAs(QStringLiteral("two-") + suffix);
    QProcess* upper = startAs(QStringLiteral("UP-") + suffix.toUpper());
    QProcess* longer = startAs(QStringLiteral("prefix-making-it-longer-") + suffix);
    QProcess* bak = startAs(suffix + QStringLiteral(".bak"));
    QProcess* other = startAs(QStringLiteral("unrelated"));

    const QList<pid_t> found = FindByImageSuffix(suffix);
    EXPECT_EQ(found.size(), 4);
    EXPECT_EQ(KillByImageSuffix(suffix), 4);
    for (QProcess* p : {a, b, upper, longer})
        EXPECT_TRUE(waitEnded(p));
    for (QProcess* p : {a, b, upper, longer})
        EXPECT_EQ(p->exitStatus(), QProcess::CrashExit);
    QCoreApplication::processEvents();
    EXPECT_EQ(bak->state(), QProcess::Running);
    EXPECT_EQ(other->state(), QProcess::Running);
    // Nothing left to kill; and we never list ourselves.
    EXPECT_EQ(KillByImageSuffix(suffix), 0);
    EXPECT_FALSE(FindByImageSuffix(QStringLiteral("runner_tests")).contains(getpid()));
}

TEST_F(ProcessKillerTest, AScriptsChildrenInItsGroupGoWithIt)
{
    QProcess* script = startAs(QStringLiteral("wrap-") + suffix, true, true);
    const pid_t group = static_cast<pid_t>(script->processId());
    // Its sleeping child is in the script's group.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QProcess pgrep;
            pgrep.start(QStringLiteral("pgrep"), {QStringLiteral("-g"), QString::number(group)});
            pgrep.waitForFinished();
            return pgrep.readAll().split('\n').size() >= 3;
        },
        30000));
    EXPECT_EQ(KillByImageSuffix(suffix), 1);
    EXPECT_TRUE(waitEnded(script));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ::kill(-group, 0) != 0; }, 30000));
}

TEST_F(ProcessKillerTest, AToolInsideAnotherProgramsGroupGoesAloneAndLeavesThatGroupStanding)
{
    // A wrapper leads its own group and starts the tool inside it, as a shell script or a test
    // program does; ending the tool must not end the wrapper.
    const QString tool = dir.path() + QStringLiteral("/inner-") + suffix;
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), tool));
    const QString wrapperPath = dir.path() + QStringLiteral("/wrapper.sh");
    QFile f(wrapperPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n\"" + tool.toLocal8Bit() + "\" 300\nsleep 300\n");
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    auto p = std::make_unique<QProcess>();
    p->setProgram(wrapperPath);
    p->setChildProcessModifier([] { ::setpgid(0, 0); });
    p->start();
    ASSERT_TRUE(p->waitForStarted(10000));
    QProcess* wrapper = p.get();
    const pid_t group = static_cast<pid_t>(wrapper->processId());
    ASSERT_GT(group, 1);
    processes.push_back(std::move(p));

    ASSERT_TRUE(QTest::qWaitFor([&] { return FindByImageSuffix(suffix).size() == 1; }, 30000));
    EXPECT_EQ(KillByImageSuffix(suffix), 1);
    // The wrapper goes on to its next line once the tool has ended, so it must still be running.
    EXPECT_TRUE(QTest::qWaitFor([&] { return FindByImageSuffix(suffix).isEmpty(); }, 30000));
    QCoreApplication::processEvents();
    EXPECT_EQ(wrapper->state(), QProcess::Running);
    EXPECT_EQ(::kill(-group, 0), 0);
    ::kill(-group, SIGKILL);
}

TEST_F(ProcessKillerTest, TheCallersOwnGroupIsNeverKilled)
{
    EXPECT_FALSE(brenlow::ProcessKiller::KillProcessGroup(getpgrp()));
    EXPECT_FALSE(brenlow::ProcessKiller::KillProcessGroup(1));
    EXPECT_FALSE(brenlow::ProcessKiller::KillProcessGroup(0));
}

} // namespace
