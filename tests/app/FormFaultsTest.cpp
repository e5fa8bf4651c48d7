// Faults of the tool, of the download folder and of the links: each ends in a clear outcome and
// loses nothing.
#include "FormFixture.h"

#include "app/DownloadFiles.h"
#include "app/GridDesign.h"
#include "controls/button/glintbutton.h"
#include "controls/grid/ListGrid.h"
#include "controls/progressbar/SleekProgressBar.h"
#include "runner/AVC.h"
#include "tools/ToolSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

#include <algorithm>

namespace Col = brenlow::Col;

namespace {

QString testLink(const char* path)
{
    return QStringLiteral("https://test.brenlow.example/") + QLatin1String(path);
}

enum class ToolFault
{
    Missing,
    NotExecutable,
    NoProgram
};

struct BrokenTool
{
    const char* what;
    ToolFault fault;
    const char* status;
    bool wholeStatus; // the status line says exactly this, or begins with it
};

class FormBrokenToolTest : public FormTest, public ::testing::WithParamInterface<BrokenTool>
{
};

} // namespace

TEST_P(FormBrokenToolTest, IsReportedInTheStatusLineAndTheWindowWorksOn)
{
    const QString tool = m_appDir.path() + QStringLiteral("/do.dll");
    switch (GetParam().fault) {
    case ToolFault::Missing:
        QFile::remove(tool);
        break;
    case ToolFault::NotExecutable:
        QFile::setPermissions(tool, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        break;
    case ToolFault::NoProgram:
        // Executable, but no program the system can start.
        QFile::remove(tool);
        writeFile(tool, "\x7f"
                        "ELF this is no program\n");
        QFile::setPermissions(tool, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        break;
    }
    dialogs().inputAnswers.push_back(Links::Basic);
    form->Command1_Click();
    ASSERT_TRUE(waitFor([this] { return atRest(); }));
    const QString status = QString::fromLatin1(GetParam().status);
    if (GetParam().wholeStatus) {
        EXPECT_EQ(form->Label1()->text(), status);
    } else {
        EXPECT_TRUE(form->Label1()->text().startsWith(status)) << form->Label1()->text().toStdString();
    }
    EXPECT_FALSE(form->AVC1()->IsRunning());
    expectButtons(false);
    EXPECT_EQ(form->ListGrid1()->Rows(), 0);
    EXPECT_TRUE(messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Form, FormBrokenToolTest,
    ::testing::Values(BrokenTool{"Missing", ToolFault::Missing, "Unable to locate do.dll", true},
                      BrokenTool{"NotExecutable", ToolFault::NotExecutable, "Unable to locate do.dll", true},
                      BrokenTool{"NoProgram", ToolFault::NoProgram, "Unable to start do.dll", false}),
    [](const auto& info) { return std::string(info.param.what); });

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

enum class ResumeIn
{
    SameWindow,
    NewWindow
};

class FormResumeTest : public FormTest, public ::testing::WithParamInterface<ResumeIn>
{
};

TEST_P(FormResumeTest, ADownloadBrokenOffKeepsItsPartAndFigureAndTheNextDownloadResumesIt)
{
    addVideo(Links::Interrupted);
    chooseFolder();
    downloadAll();
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Error"));
    // The row keeps the figure it reached, and why it failed.
    const int reached = grid->CellProgressValue(0, Col::Progress);
    EXPECT_GE(reached, 50);
    EXPECT_LT(reached, 100);
    EXPECT_EQ(grid->CellText(0, Col::Progress), QString::number(reached) + QLatin1Char('%'));
    EXPECT_EQ(form->Progressbar()->Value(), reached);
    EXPECT_TRUE(grid->CellTag(0, Col::Status).contains(QStringLiteral("Connection reset by peer")));
    const QString file = m_downloads.path() + QStringLiteral("/Test Uploader - Interrupted Download.mp4");
    EXPECT_EQ(grid->CellText(0, Col::VideoName) + QStringLiteral(".mp4"), QFileInfo(file).fileName());
    ASSERT_TRUE(QFile::exists(file + QStringLiteral(".part")));
    EXPECT_FALSE(QFile::exists(file));

    if (GetParam() == ResumeIn::NewWindow) {
        // Only the origin recorded on the partial file tells a new window it is the row's own.
        if (!brenlow::FileOrigin(file + QStringLiteral(".part")))
            GTEST_SKIP() << "the file system keeps no extended attributes";
        form = std::make_unique<Form1>(m_appDir.path());
        addVideo(Links::Interrupted);
        chooseFolder();
        grid = form->ListGrid1();
    }
    downloadAll();
    // The video fails whenever it starts afresh: "Complete" means the partial file was resumed.
    EXPECT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Complete"));
    EXPECT_EQ(grid->CellText(0, Col::Progress), QStringLiteral("100%"));
    EXPECT_FALSE(QFile::exists(file + QStringLiteral(".part")));
    EXPECT_EQ(readAll(file), brenlow::tool::Content("interrupted", 0, 256 * 1024));
    EXPECT_EQ(filesIn(m_downloads.path()), QStringList{QFileInfo(file).fileName()});
}

INSTANTIATE_TEST_SUITE_P(Form, FormResumeTest, ::testing::Values(ResumeIn::SameWindow, ResumeIn::NewWindow),
                         [](const auto& info) {
                             return std::string(info.param == ResumeIn::SameWindow ? "SameWindow"
                                                                                   : "NewWindow");
                         });

TEST_F(FormTest, MegabytesOfOutputAndInvalidUtf8NeitherStallNorLoseTheRow)
{
    addVideo(testLink("binary"));
    addVideo(QStringLiteral("https://test.brenlow.example/flood-1mb"));
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->Rows(), 2);
    EXPECT_EQ(grid->CellText(0, Col::VideoName), QStringLiteral("Binary Uploader - Binary Chatter"));
    EXPECT_EQ(grid->CellText(1, Col::VideoName), QStringLiteral("Flood Uploader - One Megabyte of Chatter"));
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
    expectButtons(true);
    EXPECT_FALSE(grid->Enabled());
    EXPECT_TRUE(messages().isEmpty());
    // "Cancel" ends the queue.
    form->Command3_Click();
    EXPECT_TRUE(atRest());
    expectButtons(false);
    EXPECT_NE(grid->CellText(1, Col::Status), QStringLiteral("Complete"));
}
