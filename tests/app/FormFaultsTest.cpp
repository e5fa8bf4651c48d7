// Faults of the tool, of the download folder and of the links: each ends in a clear outcome and
// loses nothing.
#include "FormFixture.h"

#include "app/GridDesign.h"
#include "controls/button/glintbutton.h"
#include "controls/grid/ListGrid.h"
#include "runner/AVC.h"
#include "tools/ToolSupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>

#include <algorithm>

namespace Col = brenlow::Col;

namespace {

QString testLink(const char* path)
{
    return QStringLiteral("https://test.brenlow.example/") + QLatin1String(path);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST_F(FormTest, AToolThatIsNotExecutableOrNoProgramIsReportedAndTheWindowWorksOn)
{
    const QString tool = m_appDir.path() + QStringLiteral("/do.dll");
    QFile::setPermissions(tool, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    dialogs().inputAnswers.push_back(Links::Basic);
    form->Command1_Click();
    EXPECT_EQ(form->Label1()->text(), QStringLiteral("Unable to locate do.dll"));
    EXPECT_TRUE(atRest());

    // Executable, but no program the system can start.
    QFile::remove(tool);
    {
        QFile f(tool);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\x7f"
                "ELF this is no program\n");
    }
    QFile::setPermissions(tool, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    dialogs().inputAnswers.push_back(Links::Basic);
    form->Command1_Click();
    ASSERT_TRUE(waitFor([this] { return atRest(); }));
    EXPECT_TRUE(form->Label1()->text().startsWith(QStringLiteral("Unable to start do.dll")))
        << form->Label1()->text().toStdString();
    EXPECT_EQ(form->ListGrid1()->Rows(), 0);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_FALSE(form->Command(3)->Enabled());
}

TEST_F(FormTest, AToolRemovedBeforeTheDownloadIsReportedAndCancelEndsTheQueue)
{
    addVideo(Links::Basic);
    chooseFolder();
    QFile::remove(m_appDir.path() + QStringLiteral("/do.dll"));
    form->Command5_Click();
    EXPECT_EQ(form->Label1()->text(), QStringLiteral("Unable to locate do.dll"));
    EXPECT_FALSE(form->AVC1()->IsRunning());
    EXPECT_TRUE(form->Command(3)->Enabled());
    form->Command3_Click();
    ASSERT_TRUE(waitFor([this] { return atRest(); }));
    EXPECT_NE(form->ListGrid1()->CellText(0, Col::Status), QStringLiteral("Complete"));
    EXPECT_EQ(form->ListGrid1()->Rows(), 1);
    EXPECT_TRUE(QDir(m_downloads.path()).isEmpty());
}

TEST_F(FormTest, AToolCrashingAtStartGivesErrorNeverARowOrAComplete)
{
    addVideo(testLink("crash"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Error")});
    EXPECT_EQ(form->ListGrid1()->Rows(), 0);

    addVideo(testLink("crash-download"));
    addVideo(Links::Basic);
    ASSERT_EQ(form->ListGrid1()->Rows(), 2);
    chooseFolder();
    downloadAll();
    ListGrid* grid = form->ListGrid1();
    EXPECT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Error"));
    EXPECT_NE(grid->CellText(0, Col::Progress), QStringLiteral("100%"));
    EXPECT_EQ(grid->CellText(1, Col::Status), QStringLiteral("Complete"));
    EXPECT_EQ(messages().last(), QStringLiteral("Done"));
}

TEST_F(FormTest, ADownloadBrokenOffKeepsItsPartAndTheNextDownloadResumesIt)
{
    addVideo(testLink("interrupted"));
    chooseFolder();
    downloadAll();
    ListGrid* grid = form->ListGrid1();
    EXPECT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Error"));
    EXPECT_NE(grid->CellText(0, Col::Progress), QStringLiteral("100%"));
    const QString file =
        m_downloads.path() + QLatin1Char('/') + grid->CellText(0, Col::VideoName) + QStringLiteral(".mp4");
    ASSERT_TRUE(QFile::exists(file + QStringLiteral(".part")));
    EXPECT_FALSE(QFile::exists(file));

    downloadAll();
    EXPECT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Complete"));
    EXPECT_EQ(grid->CellText(0, Col::Progress), QStringLiteral("100%"));
    EXPECT_FALSE(QFile::exists(file + QStringLiteral(".part")));
    EXPECT_EQ(readAll(file), brenlow::tool::Content("interrupted", 0, 256 * 1024));
}

TEST_F(FormTest, MegabytesOfOutputAndInvalidUtf8NeitherStallNorLoseTheRow)
{
    addVideo(testLink("binary"));
    addVideo(QStringLiteral("https://test.brenlow.example/flood-1mb"));
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->Rows(), 2);
    EXPECT_EQ(grid->CellText(0, Col::VideoName), QStringLiteral("Binary Uploader - Binary Chatter"));
    EXPECT_FALSE(grid->CellText(0, Col::ProfileList).isEmpty());
    chooseFolder();
    downloadAll();
    EXPECT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Complete"));
    EXPECT_EQ(grid->CellText(1, Col::Status), QStringLiteral("Complete"));
    EXPECT_EQ(QDir(m_downloads.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(FormTest, AFloodOfOutputKeepsOnlyABoundedTailAndStillAddsTheRow)
{
    // 50 MB of chatter before each answer: the window keeps what it parses (the tail), not all of it.
    qsizetype largest = 0;
    QObject::connect(form->AVC1(), &AVC::DataOutput, form.get(),
                     [&](QString&) { largest = std::max(largest, form->Text4().size()); });
    addVideo(testLink("flood-50mb"));
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->Rows(), 1);
    EXPECT_EQ(grid->CellText(0, Col::VideoName).left(16), QStringLiteral("Flood Uploader -"));
    EXPECT_FALSE(grid->CellText(0, Col::ProfileList).isEmpty());
    EXPECT_GT(largest, 1024 * 1024);
    EXPECT_LT(largest, 16 * 1024 * 1024);
}

TEST_F(FormTest, AnUnwritableOrVanishedFolderMarksTheRowErrorNotComplete)
{
    addVideo(Links::Basic);
    // A folder that cannot hold files, even for an administrator: its path runs through a file.
    const QString blocker = m_downloads.path() + QStringLiteral("/not-a-folder");
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    dialogs().folderAnswers.push_back(blocker);
    form->Command2_Click();
    downloadAll();
    ListGrid* grid = form->ListGrid1();
    EXPECT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Error"));
    EXPECT_TRUE(form->Text4().contains(QStringLiteral("ERROR: unable to open for writing")));

    const QString gone = m_downloads.path() + QStringLiteral("/gone");
    ASSERT_TRUE(QDir().mkpath(gone));
    dialogs().folderAnswers.push_back(gone);
    form->Command2_Click();
    ASSERT_TRUE(QDir(gone).removeRecursively());
    downloadAll();
    EXPECT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Error"));
    EXPECT_EQ(messages().last(), QStringLiteral("Done"));
    EXPECT_TRUE(atRest());
}

TEST_F(FormTest, AFileOfTheSameNameIsLeftAlone)
{
    addVideo(Links::Basic);
    chooseFolder();
    const QString file = m_downloads.path() + QStringLiteral("/Test Uploader - Basic Video.mp4");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("the user's own file");
    }
    downloadAll();
    EXPECT_EQ(readAll(file), QByteArray("the user's own file"));
    // The user's file is no download of this row: the video comes beside it, under a free name.
    EXPECT_EQ(form->ListGrid1()->CellText(0, Col::Status), QStringLiteral("Complete"))
        << form->Text4().toStdString();
    EXPECT_EQ(QDir(m_downloads.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{"Test Uploader - Basic Video (2).mp4", "Test Uploader - Basic Video.mp4"}));
}

TEST_F(FormTest, LongLinksAndLinksWithQuotesAndBlanksReachTheToolWhole)
{
    const QString longLink = Links::Basic + QStringLiteral("?list=") + QString(6000, QLatin1Char('x'));
    const QString evil = m_downloads.path() + QStringLiteral("/evil");
    const QString nasty =
        Links::Basic + QStringLiteral("\" -o ") + evil + QStringLiteral(" \"'a b' ;$(id)`id` \\\"");
    for (const QString& link : {longLink, nasty}) {
        const qsizetype runs = recordedRuns().size();
        const qsizetype before = messages().size();
        addVideo(link);
        // No such video: an error, no row, and the link arrived as one whole argument.
        ASSERT_EQ(messages().size(), before + 1);
        EXPECT_EQ(messages().last(), QStringLiteral("Error"));
        EXPECT_EQ(form->ListGrid1()->Rows(), 0);
        const QList<QStringList> all = recordedRuns();
        ASSERT_EQ(all.size(), runs + 1);
        EXPECT_EQ(all[runs].last(), link);
        EXPECT_EQ(all[runs].mid(0, all[runs].size() - 1),
                  (QStringList{"-s", "--skip-download", "-i", "-F", "--no-playlist"}));
    }
    addVideo(Links::Basic);
    EXPECT_EQ(form->ListGrid1()->Rows(), 1);
}

TEST_F(FormTest, AToolGoneAtALaterRowLeavesTheSameButtonsAsAtTheFirst)
{
    addVideo(Links::Basic);
    addVideo(Links::Second);
    chooseFolder();
    form->Command5_Click();
    ASSERT_TRUE(form->AVC1()->IsRunning());
    // Row 0 runs; the tool is gone when row 1 starts.
    QFile::remove(m_appDir.path() + QStringLiteral("/do.dll"));
    ListGrid* grid = form->ListGrid1();
    ASSERT_TRUE(waitFor([&] { return grid->CellText(0, Col::Status) == QStringLiteral("Complete"); }));
    ASSERT_TRUE(waitFor([this] { return !form->AVC1()->IsRunning(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(form->Label1()->text(), QStringLiteral("Unable to locate do.dll"));
    EXPECT_TRUE(form->Command(3)->Enabled());
    for (int n : {1, 2, 4, 5})
        EXPECT_FALSE(form->Command(n)->Enabled()) << n;
    EXPECT_FALSE(grid->Enabled());
    EXPECT_TRUE(messages().isEmpty());
    // "Cancel" ends the queue.
    form->Command3_Click();
    EXPECT_TRUE(atRest());
    for (int n : {1, 2, 4, 5})
        EXPECT_TRUE(form->Command(n)->Enabled()) << n;
    EXPECT_FALSE(form->Command(3)->Enabled());
    EXPECT_NE(grid->CellText(1, Col::Status), QStringLiteral("Complete"));
}
