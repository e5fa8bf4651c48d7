// Ending this program's own processes by image name. These tests use a name of their own, and the
// killer only ever reaches what this program started.

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

using brenlow::ProcessKiller::FindDescendantsByImageSuffix;
using brenlow::ProcessKiller::ImageName;
using brenlow::ProcessKiller::KillDescendantsByImageSuffix;

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
        for (const pid_t pid : strays) {
            if (ImageName(pid).endsWith(suffix))
                ::kill(pid, SIGKILL);
        }
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
    std::vector<pid_t> strays; // started here but no longer children of this program
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

    const QList<pid_t> found = FindDescendantsByImageSuffix(suffix);
    EXPECT_EQ(found.size(), 4);
    EXPECT_EQ(KillDescendantsByImageSuffix(suffix), 4);
    for (QProcess* p : {a, b, upper, longer})
        EXPECT_TRUE(waitEnded(p));
    for (QProcess* p : {a, b, upper, longer})
        EXPECT_EQ(p->exitStatus(), QProcess::CrashExit);
    QCoreApplication::processEvents();
    EXPECT_EQ(bak->state(), QProcess::Running);
    EXPECT_EQ(other->state(), QProcess::Running);
    // Nothing left to kill; and we never list ourselves.
    EXPECT_EQ(KillDescendantsByImageSuffix(suffix), 0);
    EXPECT_FALSE(FindDescendantsByImageSuffix(QStringLiteral("runner_tests")).contains(getpid()));
}

TEST_F(ProcessKillerTest, GrandchildrenAreFoundButNotWhatLeftTheFamilyNorTheirGroups)
{
    // A wrapper leads its own group and runs the tool inside it, then a sleeping partner; a second
    // copy of the tool is orphaned at once, so this program no longer is its ancestor.
    const QString tool = dir.path() + QStringLiteral("/inner-") + suffix;
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), tool));
    const QString wrapperPath = dir.path() + QStringLiteral("/wrapper.sh");
    QFile f(wrapperPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const QByteArray t = "\"" + tool.toLocal8Bit() + "\"";
    const QByteArray d = "\"" + dir.path().toLocal8Bit() + "\"";
    f.write("#!/bin/sh\n(" + t + " 300 </dev/null >/dev/null 2>&1 & echo $! > " + d + "/orphan.pid)\n" + t +
            " 300\nsleep 300\n");
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
    pid_t orphan = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QFile pidFile(dir.path() + QStringLiteral("/orphan.pid"));
            if (pidFile.open(QIODevice::ReadOnly))
                orphan = static_cast<pid_t>(pidFile.readAll().trimmed().toInt());
            return orphan > 0 && FindDescendantsByImageSuffix(suffix).size() == 1;
        },
        30000));
    strays.push_back(orphan);
    const pid_t inner = FindDescendantsByImageSuffix(suffix).value(0);
    EXPECT_EQ(brenlow::ProcessKiller::ParentOf(inner), group);
    EXPECT_NE(inner, orphan);
    EXPECT_EQ(ImageName(orphan), QStringLiteral("inner-") + suffix);

    EXPECT_EQ(KillDescendantsByImageSuffix(suffix), 1);
    // The wrapper goes on to its next line once the tool has ended, so it must still be running.
    EXPECT_TRUE(QTest::qWaitFor([&] { return FindDescendantsByImageSuffix(suffix).isEmpty(); }, 30000));
    QCoreApplication::processEvents();
    EXPECT_EQ(wrapper->state(), QProcess::Running);
    EXPECT_EQ(::kill(-group, 0), 0);
    EXPECT_EQ(ImageName(orphan), QStringLiteral("inner-") + suffix);
    ::kill(-group, SIGKILL);
}

TEST_F(ProcessKillerTest, TheCallersOwnGroupIsNeverKilled)
{
    EXPECT_FALSE(brenlow::ProcessKiller::KillProcessGroup(getpgrp()));
    EXPECT_FALSE(brenlow::ProcessKiller::KillProcessGroup(1));
    EXPECT_FALSE(brenlow::ProcessKiller::KillProcessGroup(0));
}

} // namespace
