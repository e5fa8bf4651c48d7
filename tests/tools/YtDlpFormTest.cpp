// The whole workflow of the window with a real video page: Form1 and the bundled tool driving yt-dlp
// against a local server, from "Add Video Link" to a file that plays.

#include "../app/FormFixture.h"
#include "MediaSite.h"

#include "app/GridDesign.h"
#include "app/Thumbnail.h"
#include "controls/grid/ListGrid.h"

using namespace brenlow::test::media;
namespace Col = brenlow::Col;

namespace {

class YtDlpFormTest : public FormTest
{
protected:
    void SetUp() override
    {
        if (!Site::get().ready)
            GTEST_SKIP() << Site::get().why.toStdString();
        ASSERT_TRUE(home.isValid());
        for (const char* var : {"HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "BRENLOW_YTDLP"}) {
            saved.append({var, qgetenv(var), qEnvironmentVariableIsSet(var)});
            qputenv(var, (home.path() + u'/' + QLatin1String(var)).toLocal8Bit());
        }
        qunsetenv("BRENLOW_YTDLP"); // the first yt-dlp on PATH, as for a user
        port = startServer(server, Site::get().dir.path());
        ASSERT_GT(port, 0);
        FormTest::SetUp();
    }

    void TearDown() override
    {
        if (!Site::get().ready)
            return;
        FormTest::TearDown();
        server.kill();
        server.waitForFinished(5000);
        for (const auto& s : saved) {
            if (s.wasSet)
                qputenv(s.name, s.value);
            else
                qunsetenv(s.name);
        }
    }

    struct Saved
    {
        const char* name;
        QByteArray value;
        bool wasSet;
    };
    QList<Saved> saved;
    QTemporaryDir home;
    QProcess server;
    int port = 0;
};

TEST_F(YtDlpFormTest, AVideoPageBecomesARowAndItsDefaultDownloadPlays)
{
    const QString link = QStringLiteral("http://127.0.0.1:%1/page.html").arg(port);
    addVideo(link);
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->Rows(), 1) << form->Text4().toStdString() << " " << messages().join(u',').toStdString();
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_TRUE(grid->CellText(0, Col::VideoName).startsWith(QStringLiteral("127.0.0.1 - Harbour Clip")))
        << grid->CellText(0, Col::VideoName).toStdString();
    EXPECT_EQ(grid->CellText(0, Col::VideoLink), link);
    const QImage picture = grid->CellPictureGet(0, Col::Picture);
    EXPECT_FALSE(picture.isNull());
    EXPECT_NE(picture, brenlow::PlaceholderThumbnail());
    const QString profiles = grid->CellText(0, Col::ProfileList);
    EXPECT_TRUE(profiles.contains(QStringLiteral("90p")) && profiles.contains(QStringLiteral("180p")))
        << profiles.toStdString();
    EXPECT_TRUE(grid->CellText(0, Col::Profile).contains(QStringLiteral("180P")))
        << grid->CellText(0, Col::Profile).toStdString();

    chooseFolder();
    downloadAll();
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Done")});
    EXPECT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Complete")) << form->Text4().toStdString();
    const QStringList files = QDir(m_downloads.path()).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1) << files.join(u',').toStdString();
    EXPECT_TRUE(files.first().endsWith(QStringLiteral(".mp4")));
    const QString file = m_downloads.path() + u'/' + files.first();
    EXPECT_EQ(streams(file), QStringList({QStringLiteral("video,320"), QStringLiteral("audio")}));
    // It plays: every frame decodes.
    EXPECT_TRUE(run(program("ffmpeg"),
                    {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"),
                     QStringLiteral("-xerror"), QStringLiteral("-i"), file, QStringLiteral("-f"),
                     QStringLiteral("null"), QStringLiteral("-")},
                    m_downloads.path()));
}

} // namespace
