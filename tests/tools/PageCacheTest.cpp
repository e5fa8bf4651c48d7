// The page cache's code map: written whole and private, and kept while its link is used, also when
// its codes do not change (then it is only marked as used, not written again).

#include "tools/downloader/PageCache.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(PageCacheCodes, AreReplacedWholeAndStayWhileTheLinkIsUsed)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    qputenv("XDG_CACHE_HOME", home.path().toLocal8Bit());
    const brenlow::tool::PageCache cache(QStringLiteral("https://site.example/watch?v=codes"));
    const brenlow::tool::CodeMap first{{QStringLiteral("hls-720p"), QStringLiteral("0")}};
    ASSERT_TRUE(cache.storeCodes(first));
    const QStringList files = QDir(brenlow::tool::PageCache::folder()).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1) << files.join(u' ').toStdString(); // no scratch file left
    const QString path = brenlow::tool::PageCache::folder() + u'/' + files.first();
    EXPECT_EQ(QFileInfo(path).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);

    // Used again a week later with the same codes: marked as used, so pruning spares it.
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            f.setFileTime(QDateTime::currentDateTimeUtc().addDays(-8), QFileDevice::FileModificationTime));
    }
    ASSERT_TRUE(cache.storeCodes(first));
    EXPECT_LT(QFileInfo(path).lastModified().secsTo(QDateTime::currentDateTime()), 3600);
    EXPECT_EQ(cache.codes(), first);

    const brenlow::tool::CodeMap second{{QStringLiteral("hls-720p"), QStringLiteral("0")},
                                        {QStringLiteral("dash-audio"), QStringLiteral("1")}};
    ASSERT_TRUE(cache.storeCodes(second));
    EXPECT_EQ(cache.codes(), second);
    EXPECT_EQ(QDir(brenlow::tool::PageCache::folder()).entryList(QDir::Files).size(), 1);
    qunsetenv("XDG_CACHE_HOME");
}
