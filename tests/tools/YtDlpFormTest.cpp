// The whole workflow of the window with real video pages: Form1 and the bundled tool driving yt-dlp
// against a local server, from "Add Video Link" to a file that plays; a link that holds several
// videos asks one question, then gives a row per video through the same runs as a typed link.

#include "../app/FormFixture.h"
#include "MediaSite.h"

#include "app/GridDesign.h"
#include "app/Thumbnail.h"
#include "controls/grid/ListGrid.h"

#include <QLabel>

using namespace brenlow::test::media;
namespace Col = brenlow::Col;
using Answer = brenlow::Dialogs::Answer;

namespace {

class YtDlpFormTest : public FormTest
{
protected:
    void SetUp() override
    {
        if (!Site::get().ready)
            GTEST_SKIP() << Site::get().why.toStdString();
        ASSERT_TRUE(home.isValid());
        env.useHome(home.path());
        env.unset("BRENLOW_YTDLP"); // the first yt-dlp on PATH, as for a user
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
    }

    QString url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(port).arg(path);
    }

    SavedEnv env;
    QTemporaryDir home;
    QProcess server;
    int port = 0;
};

TEST_F(YtDlpFormTest, AVideoPageBecomesARowAndItsDefaultDownloadPlays)
{
    const QString link = url(QStringLiteral("page.html"));
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
    EXPECT_EQ(streams(file), PictureAndSound);
    // It plays: every frame decodes.
    EXPECT_TRUE(run(program("ffmpeg"),
                    {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"),
                     QStringLiteral("-xerror"), QStringLiteral("-i"), file, QStringLiteral("-f"),
                     QStringLiteral("null"), QStringLiteral("-")},
                    m_downloads.path()));
}

class PlaylistFormTest : public YtDlpFormTest
{
protected:
    QString page() const { return url(QStringLiteral("three.html")); }

    /** A feed of a thousand videos, each on a page of its own. */
    QString bigFeed() const
    {
        QByteArray items;
        for (int i = 1; i <= 1000; ++i)
            items += QStringLiteral(
                         "<item><title>%1</title><link>http://127.0.0.1:%2/og.html?n=%1</link></item>\n")
                         .arg(i)
                         .arg(port)
                         .toUtf8();
        write(Site::get().dir.path() + QStringLiteral("/thousand.rss"),
              "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Thousand</title>"
              "<link>http://x/</link>\n" +
                  items + "</channel></rss>\n");
        return url(QStringLiteral("thousand.rss"));
    }

    /** Presses "Add Video Link" with a link of several videos and answers the question; returns the
     *  texts the status line showed until the window came to rest (or until `until` held). */
    QStringList addList(Answer answer, const std::function<bool()>& until = {}, const QString& link = {})
    {
        dialogs().messageAnswers.push_back(answer);
        dialogs().inputAnswers.push_back(link.isEmpty() ? page() : link);
        form->Command1_Click();
        QStringList seen;
        EXPECT_TRUE(waitFor([&] {
            const QString text = form->Label1()->text();
            if (seen.isEmpty() || seen.last() != text)
                seen << text;
            return until ? until() : atRest();
        }));
        return seen;
    }
};

TEST_F(PlaylistFormTest, YesAddsEveryVideoAsItsOwnRowAndEachRowDownloadsItsOwnVideo)
{
    const QStringList status = addList(Answer::Yes);
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->Rows(), 3) << form->Text4().toStdString() << messages().join(u',').toStdString();
    EXPECT_EQ(messages(), QStringList{QStringLiteral("This link holds 3 videos. Add all 3?")});
    for (const char* text : {"Adding video 1 of 3...", "Adding video 2 of 3...", "Adding video 3 of 3..."})
        EXPECT_TRUE(status.contains(QLatin1String(text))) << status.join(u'|').toStdString();

    QList<QImage> pictures;
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(grid->CellText(row, Col::VideoName),
                  QStringLiteral("127.0.0.1 - Three Clips %1").arg(row + 1));
        EXPECT_EQ(grid->CellText(row, Col::VideoLink),
                  page() + QStringLiteral("#brenlow-video-%1").arg(row + 1));
        const QString profiles = grid->CellText(row, Col::ProfileList);
        EXPECT_TRUE(profiles.contains(QStringLiteral("audio only, MP3"))) << profiles.toStdString();
        // The sound profiles come before the default, which stays picture and sound.
        EXPECT_LT(profiles.indexOf(QStringLiteral("audio only, MP3")),
                  profiles.indexOf(QStringLiteral("(best)")))
            << profiles.toStdString();
        EXPECT_TRUE(grid->CellText(row, Col::Profile).endsWith(QStringLiteral("(BEST)")));
        pictures << grid->CellPictureGet(row, Col::Picture);
        EXPECT_NE(pictures.last(), brenlow::PlaceholderThumbnail());
    }
    EXPECT_NE(pictures.at(0), pictures.at(1));
    EXPECT_NE(pictures.at(1), pictures.at(2));

    chooseFolder();
    downloadAll();
    EXPECT_EQ(messages().last(), QStringLiteral("Done"));
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(grid->CellText(row, Col::Status), QStringLiteral("Complete"));
        EXPECT_EQ(read(m_downloads.path() + QStringLiteral("/127.0.0.1 - Three Clips %1.mp4").arg(row + 1)),
                  read(Site::get().dir.path() + u'/' + ListMedia.at(row)))
            << QDir(m_downloads.path()).entryList(QDir::Files).join(u',').toStdString();
    }
    EXPECT_EQ(QDir(m_downloads.path()).entryList(QDir::Files).size(), 3);
}

TEST_F(PlaylistFormTest, NoAddsNothing_AThousandComeOneByOne_AndCancelKeepsTheRowsAdded)
{
    addList(Answer::No);
    EXPECT_EQ(form->ListGrid1()->Rows(), 0);
    EXPECT_EQ(recordedRuns().size(), 1) << "only the list was read";

    // A thousand videos: the rows come one by one with the count; Cancel once two are there.
    const QStringList status = addList(
        Answer::Yes, [this] { return form->ListGrid1()->Rows() >= 2; }, bigFeed());
    EXPECT_EQ(messages().last(), QStringLiteral("This link holds 1000 videos. Add all 1000?"));
    EXPECT_TRUE(status.contains(QStringLiteral("Adding video 2 of 1000...")))
        << status.join(u'|').toStdString();
    ASSERT_FALSE(atRest());
    form->Command3_Click();
    ASSERT_TRUE(waitFor([this] { return atRest(); }));
    const int kept = form->ListGrid1()->Rows();
    EXPECT_GE(kept, 2);
    EXPECT_LT(kept, 10);
    EXPECT_EQ(form->ListGrid1()->CellText(1, Col::VideoLink), url(QStringLiteral("og.html?n=2")));
    EXPECT_EQ(form->Label1()->text(), QStringLiteral("Cancelled"));
    const qsizetype runs = recordedRuns().size();

    // The next link is one video again, without a question; nothing of the list ran meanwhile.
    addVideo(url(QStringLiteral("page.html")));
    EXPECT_EQ(form->ListGrid1()->Rows(), kept + 1);
    EXPECT_EQ(messages().size(), 2);
    EXPECT_EQ(recordedRuns().size(), runs + 3);
}

} // namespace
