// The brenlow program itself, started headless as a child of the test.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace {

QStringList privateFolders(const QString& runtime)
{
    return QDir(runtime).entryList({QStringLiteral("brenlow-*")}, QDir::Dirs | QDir::NoDotAndDotDot);
}

class ProgramTest : public ::testing::TestWithParam<int>
{
};

} // namespace

TEST_P(ProgramTest, AQuitSignalShutsDownAndRemovesThePrivateFolder)
{
    QTemporaryDir runtime;
    QTemporaryDir home;
    ASSERT_TRUE(runtime.isValid() && home.isValid());
    // The folder of a window whose process is gone: start-up clears it away beside the window.
    const QString leftover = QStringLiteral("brenlow-999999999-1-gone");
    ASSERT_TRUE(QDir(runtime.path()).mkdir(leftover));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.path() + QStringLiteral("/.cache"));
    QProcess program;
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(BRENLOW_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted(30000));
    // The window has started up once its folder is there, and the leftover is gone.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QStringList folders = privateFolders(runtime.path());
            return folders.size() == 1 && !folders.contains(leftover);
        },
        60000))
        << privateFolders(runtime.path()).join(u' ').toStdString();
    ASSERT_EQ(::kill(static_cast<pid_t>(program.processId()), GetParam()), 0);
    const bool ended = program.waitForFinished(60000);
    if (!ended) {
        program.kill();
        program.waitForFinished(10000);
    }
    ASSERT_TRUE(ended);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(privateFolders(runtime.path()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Signals, ProgramTest, ::testing::Values(SIGTERM, SIGHUP, SIGINT));
