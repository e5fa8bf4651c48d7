// The window's private folder: where it is made, that removing it never follows a link, and that
// the folders of windows that are gone are cleaned up at start.

#include "platform/PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using brenlow::PrivateFolder;

/** The runtime and temporary folders point into temporary folders of the test's own. */
class PrivateFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtime.isValid());
        ASSERT_TRUE(temp.isValid());
        ASSERT_TRUE(outside.isValid());
        ASSERT_EQ(::chmod(QFile::encodeName(runtime.path()).constData(), 0700), 0);
        savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        savedTemp = qgetenv("TMPDIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        qputenv("TMPDIR", temp.path().toLocal8Bit());
        // Something that is not the folder's, which a removal must never reach.
        QDir(outside.path()).mkdir(QStringLiteral("sub"));
        touch(outside.path() + QStringLiteral("/keep"));
        touch(outside.path() + QStringLiteral("/sub/keep"));
    }

    void TearDown() override
    {
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        qputenv("TMPDIR", savedTemp);
    }

    static void touch(const QString& path)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }

    bool outsideIntact() const
    {
        return QFileInfo::exists(outside.path() + QStringLiteral("/keep")) &&
               QFileInfo::exists(outside.path() + QStringLiteral("/sub/keep"));
    }

    /** Fills a folder with a file, a subfolder and links out of it. */
    void fill(const QString& path)
    {
        touch(path + QStringLiteral("/aaa.jpg"));
        ASSERT_TRUE(QDir(path).mkdir(QStringLiteral("deep")));
        touch(path + QStringLiteral("/deep/part"));
        ASSERT_TRUE(QFile::link(outside.path(), path + QStringLiteral("/link")));
        ASSERT_TRUE(
            QFile::link(outside.path() + QStringLiteral("/sub"), path + QStringLiteral("/deep/link")));
    }

    QTemporaryDir runtime, temp, outside;
    QByteArray savedRuntime, savedTemp;
};

struct RuntimeCase
{
    const char* name;
    mode_t mode; // 0: XDG_RUNTIME_DIR names no folder at all
    bool relative;
    bool used;
};

void PrintTo(const RuntimeCase& c, std::ostream* os)
{
    *os << c.name;
}

class RuntimeFolderTest : public PrivateFolderTest, public ::testing::WithParamInterface<RuntimeCase>
{
};

TEST_P(RuntimeFolderTest, TheRuntimeFolderIsUsedOnlyWhenOnlyItsOwnerMayEnterIt)
{
    const RuntimeCase& c = GetParam();
    if (c.mode == 0)
        qputenv("XDG_RUNTIME_DIR", (runtime.path() + QStringLiteral("/missing")).toLocal8Bit());
    else
        ASSERT_EQ(::chmod(QFile::encodeName(runtime.path()).constData(), c.mode), 0);
    if (c.relative)
        qputenv("XDG_RUNTIME_DIR", QDir::current().relativeFilePath(runtime.path()).toLocal8Bit());
    const auto folder = PrivateFolder::Create();
    EXPECT_EQ(PrivateFolder::RuntimeFolder().isEmpty(), !c.used);
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
    ASSERT_TRUE(folder);
    const QString base = c.used ? runtime.path() : temp.path();
    EXPECT_EQ(QFileInfo(folder->Path()).path(), base);
    EXPECT_EQ(QFileInfo(folder->Path()).permissions() & 0x0077, 0) << "others may enter the folder";
}

INSTANTIATE_TEST_SUITE_P(Modes, RuntimeFolderTest,
                         ::testing::Values(RuntimeCase{"Private", 0700, false, true},
                                           RuntimeCase{"ReadableByAll", 0755, false, false},
                                           RuntimeCase{"GroupMayEnter", 0710, false, false},
                                           RuntimeCase{"WritableByAll", 0777, false, false},
                                           RuntimeCase{"Relative", 0700, true, false},
                                           RuntimeCase{"Missing", 0, false, false}),
                         [](const ::testing::TestParamInfo<RuntimeCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(PrivateFolderTest, RemovingTheFolderTakesWhatItHoldsButNeverFollowsALink)
{
    auto folder = PrivateFolder::Create();
    ASSERT_TRUE(folder);
    const QString path = folder->Path();
    fill(path);
    folder.reset();
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(outsideIntact());

    // A link put in the folder's place is not entered, nor is a look-alike folder removed.
    for (const bool lookAlike : {false, true}) {
        folder = PrivateFolder::Create();
        ASSERT_TRUE(folder);
        const QString moved = folder->Path() + QStringLiteral(".moved");
        ASSERT_TRUE(QDir().rename(folder->Path(), moved));
        if (lookAlike) {
            ASSERT_TRUE(QDir().mkdir(folder->Path()));
            touch(folder->Path() + QStringLiteral("/other"));
        } else {
            ASSERT_TRUE(QFile::link(outside.path(), folder->Path()));
        }
        const QString at = folder->Path();
        folder.reset();
        EXPECT_TRUE(outsideIntact());
        EXPECT_EQ(QFileInfo::exists(at + QStringLiteral("/other")), lookAlike);
    }
}

TEST_F(PrivateFolderTest, OnlyTheFoldersOfWindowsThatAreGoneAreRemovedAtStart)
{
    const auto mine = PrivateFolder::Create();
    ASSERT_TRUE(mine);
    // A finished process's id names a window that is gone.
    QProcess finished;
    finished.start(QStringLiteral("/bin/true"), {});
    ASSERT_TRUE(finished.waitForFinished(10000));
    const qint64 gonePid = finished.processId() > 0 ? finished.processId() : 999999;
    const QString ownName = QFileInfo(mine->Path()).fileName(); // brenlow-<pid>-<start>-<random>
    const QStringList parts = ownName.split(u'-');
    ASSERT_EQ(parts.size(), 4);
    const QString gone = QStringLiteral("brenlow-%1-%2-abc").arg(gonePid).arg(parts.at(2));
    const QString reused =
        QStringLiteral("brenlow-%1-%2-def").arg(parts.at(1)).arg(parts.at(2).toULongLong() + 1);
    const QStringList leftovers{runtime.path() + u'/' + gone, temp.path() + u'/' + reused};
    for (const QString& path : leftovers) {
        ASSERT_TRUE(QDir().mkdir(path));
        fill(path);
    }
    // Not ours to remove: a link of a leftover's name, and a name of another pattern.
    ASSERT_TRUE(QFile::link(outside.path(), temp.path() + QStringLiteral("/brenlow-1-1-link")));
    ASSERT_TRUE(QDir().mkdir(temp.path() + QStringLiteral("/brenlow-notes")));

    EXPECT_EQ(PrivateFolder::RemoveLeftovers(), 2);
    for (const QString& path : leftovers)
        EXPECT_FALSE(QFileInfo::exists(path)) << qPrintable(path);
    EXPECT_TRUE(QFileInfo(mine->Path()).isDir());
    EXPECT_TRUE(QFileInfo(temp.path() + QStringLiteral("/brenlow-1-1-link")).isSymLink());
    EXPECT_TRUE(QFileInfo(temp.path() + QStringLiteral("/brenlow-notes")).isDir());
    EXPECT_TRUE(outsideIntact());
}

} // namespace
