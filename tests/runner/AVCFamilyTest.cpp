// Everything a run started ends with it: on Cancel, when the runner goes, when the pipe is held past
// the grace period, and when the program itself is killed. Nothing outside the run is touched.

#include "RunnerFixture.h"

#include "platform/PrivateFolder.h"
#include "platform/ProcessFamily.h"
#include "platform/ProcessKiller.h"

#include <QProcess>

#include <csignal>
#include <sys/stat.h>

using namespace brenlow::test;
namespace Family = brenlow::ProcessFamily;

namespace {

enum class Ending
{
    Cancel,
    Destroy,
    GraceOut
};

class AVCFamilyTest : public RunnerTest, public ::testing::WithParamInterface<Ending>
{
protected:
    void SetUp() override
    {
        RunnerTest::SetUp();
        wasSubreaper = Family::IsSubreaper();
        ASSERT_TRUE(Family::SetSubreaper(true));
    }

    void TearDown() override
    {
        RunnerTest::TearDown();
        // What a failed test left running, checked by name so that a reused id is left alone.
        for (const QString& file : {QStringLiteral("setsid.pid"), QStringLiteral("group.pid")}) {
            const pid_t pid = pidFrom(file);
            if (pid > 0 && !isGone(pid) && brenlow::ProcessKiller::ImageName(pid) == QStringLiteral("sleep"))
                ::kill(pid, SIGKILL);
        }
        Family::ReapOrphans();
        Family::SetSubreaper(wasSubreaper);
    }

    bool wasSubreaper = false;
};

TEST_P(AVCFamilyTest, HelpersThatLeftTheGroupOrKeepThePipeOpenEndWithTheRun)
{
    const Ending ending = GetParam();
    // One helper in a session of its own, one in the tool's group; both hold the output open. The
    // tool, started under its own name, then becomes another program or ends.
    useScript(QByteArray("d=\"$(dirname \"$0\")\"\n"
                         "echo $$ > \"$d/self.pid\"; cat /proc/$$/comm > \"$d/self.comm\"\n"
                         "setsid sleep 300 & echo $! > \"$d/setsid.pid\"\n"
                         "sleep 300 & echo $! > \"$d/group.pid\"\n"
                         "echo started\n") +
              (ending == Ending::GraceOut ? "exit 0" : "exec sleep 300"));
    run(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return output().contains(QStringLiteral("started")); }, 30000));
    const pid_t self = pidFrom(QStringLiteral("self.pid"));
    const pid_t setsidHelper = pidFrom(QStringLiteral("setsid.pid"));
    const pid_t groupHelper = pidFrom(QStringLiteral("group.pid"));
    ASSERT_GT(self, 0);
    ASSERT_GT(setsidHelper, 0);
    ASSERT_GT(groupHelper, 0);
    QFile comm(app.path() + QStringLiteral("/self.comm"));
    ASSERT_TRUE(comm.open(QIODevice::ReadOnly));
    EXPECT_EQ(comm.readAll().trimmed(), QByteArray("do.dll"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return brenlow::ProcessKiller::ImageName(setsidHelper) == QStringLiteral("sleep"); }, 10000));
    switch (ending) {
    case Ending::Cancel:
        avc->CancelConvert();
        ASSERT_TRUE(waitForComplete());
        break;
    case Ending::Destroy:
        avc.reset();
        EXPECT_EQ(completes(), 0);
        break;
    case Ending::GraceOut:
        ASSERT_TRUE(waitForComplete(1, 30000));
        EXPECT_EQ(events.back().exitCode, 0);
        break;
    }
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return isGone(self) && isGone(setsidHelper) && isGone(groupHelper); }, 10000));
    EXPECT_EQ(output(), QStringLiteral("started\n"));
}

INSTANTIATE_TEST_SUITE_P(Endings, AVCFamilyTest,
                         ::testing::Values(Ending::Cancel, Ending::Destroy, Ending::GraceOut),
                         [](const ::testing::TestParamInfo<Ending>& info) {
                             switch (info.param) {
                             case Ending::Cancel:
                                 return std::string("Cancel");
                             case Ending::Destroy:
                                 return std::string("Destroy");
                             default:
                                 return std::string("GraceOut");
                             }
                         });

TEST_F(RunnerTest, AnAdoptedOrphanThatEndsIsCollectedWhenTheProgramCollectsEveryOrphan)
{
    // An orphan without the run's marker, outside its group: only the program may collect it.
    const bool wasSubreaper = Family::IsSubreaper();
    ASSERT_TRUE(Family::SetSubreaper(true));
    Family::CollectEveryOrphan(true);
    useScript("setsid env -u BRENLOW_RUN sh -c 'echo $$ > \"$0/orphan.pid\"; exec sleep 0.3' "
              "\"$(dirname \"$0\")\" >/dev/null 2>&1 &\n"
              "while [ ! -s \"$(dirname \"$0\")/orphan.pid\" ]; do :; done");
    run(2);
    ASSERT_TRUE(waitForComplete());
    const pid_t orphan = pidFrom(QStringLiteral("orphan.pid"));
    ASSERT_GT(orphan, 0);
    const QString stat = QStringLiteral("/proc/%1/stat").arg(orphan);
    // It ends as this program's child and waits to be collected.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            QFile f(stat);
            const QByteArray text = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
            const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
            return fields.size() > 1 && fields.at(0) == "Z" && fields.at(1).toInt() == ::getpid();
        },
        10000));
    useScript("exit 0");
    run(2);
    ASSERT_TRUE(waitForComplete(2));
    EXPECT_FALSE(QFileInfo::exists(stat)) << "the orphan was not collected";
    Family::CollectEveryOrphan(false);
    Family::SetSubreaper(wasSubreaper);
}

/** A program running the tool through a runner, killed as a crashed window would be. */
class KilledWindowTest : public RunnerTest
{
protected:
    void SetUp() override
    {
        RunnerTest::SetUp();
        ASSERT_TRUE(runtime.isValid());
        ASSERT_TRUE(temp.isValid());
        ASSERT_EQ(::chmod(QFile::encodeName(runtime.path()).constData(), 0700), 0);
        savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        savedTemp = qgetenv("TMPDIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        qputenv("TMPDIR", temp.path().toLocal8Bit());
    }

    void TearDown() override
    {
        if (probe.state() != QProcess::NotRunning) {
            probe.kill();
            probe.waitForFinished(10000);
        }
        if (tool > 0 && !isGone(tool) && brenlow::ProcessKiller::ImageName(tool) == QStringLiteral("sleep"))
            ::kill(tool, SIGKILL);
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        qputenv("TMPDIR", savedTemp);
        RunnerTest::TearDown();
    }

    QTemporaryDir runtime, temp;
    QByteArray savedRuntime, savedTemp;
    QProcess probe;
    pid_t tool = 0;
};

TEST_F(KilledWindowTest, TheToolDiesWithTheProgramAndItsPrivateFolderGoesAtTheNextStart)
{
    useScript("echo \"pid=$$\"; exec sleep 300");
    probe.setProgram(QStringLiteral(BRENLOW_RUNNER_PROBE));
    probe.setArguments({app.path()});
    probe.start();
    ASSERT_TRUE(probe.waitForStarted(10000));
    QString folder;
    QByteArray said;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            said += probe.readAllStandardOutput();
            const QList<QByteArray> lines = said.split('\n');
            for (const QByteArray& line : lines) {
                if (line.startsWith("folder "))
                    folder = QString::fromLocal8Bit(line.mid(7));
                if (line.startsWith("pid="))
                    tool = static_cast<pid_t>(line.mid(4).toInt());
            }
            return !folder.isEmpty() && tool > 0;
        },
        30000))
        << said.constData();
    EXPECT_TRUE(folder.startsWith(runtime.path() + u'/')) << qPrintable(folder);
    ASSERT_TRUE(QFileInfo(folder).isDir());
    ASSERT_FALSE(isGone(tool));

    probe.kill();
    ASSERT_TRUE(probe.waitForFinished(10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return isGone(tool); }, 10000)) << "the tool outlived its program";

    // This window's own folder stays; the killed one's goes.
    const auto mine = brenlow::PrivateFolder::Create();
    ASSERT_TRUE(mine);
    EXPECT_EQ(brenlow::PrivateFolder::RemoveLeftovers(), 1);
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_TRUE(QFileInfo(mine->Path()).isDir());
}

} // namespace
