// The download queue, its buttons and the progress it shows.
#include "FormFixture.h"

#include "app/GridDesign.h"
#include "app/ProfileParser.h"
#include "controls/button/glintbutton.h"
#include "controls/grid/ListGrid.h"
#include "controls/progressbar/SleekProgressBar.h"
#include "runner/AVC.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

namespace Col = brenlow::Col;

namespace {

struct FailingRow
{
    const char* what;
    QString link;
    const char* reason; // in the output, when the tool gives one
};

class FormFailingRowTest : public FormTest, public ::testing::WithParamInterface<FailingRow>
{
};

} // namespace

TEST_F(FormTest, ThreeRowsDownloadInOrderIntoFilesNamedAfterThem)
{
    addVideo(Links::Basic);
    addVideo(Links::Second);
    addVideo(Links::Third);
    chooseFolder();
    const qsizetype metadataRuns = recordedRuns().size();
    downloadAll();

    EXPECT_EQ(messages(), QStringList{QStringLiteral("Done")});
    ListGrid* grid = form->ListGrid1();
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(grid->CellText(r, Col::Progress), QStringLiteral("100%")) << r;
        EXPECT_EQ(grid->CellText(r, Col::Status), QStringLiteral("Complete")) << r;
    }
    EXPECT_EQ(grid->CellProgressBarColor(), 16045770u);
    // After the last row the bar shows that row's final figure.
    EXPECT_EQ(form->Progressbar()->Value(), 100);
    EXPECT_EQ(form->CurrentStage(), Form1::Downloading);
    EXPECT_EQ(form->DownloadRow(), 2);
    expectButtons(false);

    const QStringList files = filesIn(m_downloads.path());
    ASSERT_EQ(files.size(), 3) << files.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(files[0].startsWith(QStringLiteral("Other Uploader - Third Video.")));
    EXPECT_TRUE(files[1].startsWith(QStringLiteral("Test Uploader - Basic Video.")));
    EXPECT_TRUE(files[2].startsWith(QStringLiteral("Test Uploader - Second Video.")));

    // Rows in order, each in its chosen format, the link last.
    const QList<QStringList> runs = recordedRuns().mid(metadataRuns);
    ASSERT_EQ(runs.size(), 3);
    const QStringList links{Links::Basic, Links::Second, Links::Third};
    for (int r = 0; r < 3; ++r) {
        const QString code = *brenlow::FormatCodeOf(grid->CellText(r, Col::Profile));
        EXPECT_EQ(
            runs[r],
            (QStringList{"-o", m_downloads.path() + "/" + grid->CellText(r, Col::VideoName) + ".%(ext)s",
                         "-i", "--no-playlist", "-f", code, "-v", "-c", "-w", links[r]}))
            << r;
    }
}

TEST_P(FormFailingRowTest, IsMarkedErrorAndTheQueueGoesOn)
{
    addVideo(GetParam().link);
    addVideo(Links::Basic);
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->Rows(), 2);
    chooseFolder();
    downloadAll();
    EXPECT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Error"));
    EXPECT_NE(grid->CellText(0, Col::Progress), QStringLiteral("100%"));
    EXPECT_EQ(grid->CellText(1, Col::Status), QStringLiteral("Complete"));
    EXPECT_EQ(grid->CellText(1, Col::Progress), QStringLiteral("100%"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Done")});
    if (GetParam().reason) {
        EXPECT_TRUE(form->Text4().contains(QString::fromLatin1(GetParam().reason)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Form, FormFailingRowTest,
    ::testing::Values(FailingRow{"Http403", Links::Exit3, "HTTP Error 403"},
                      FailingRow{"CrashAtStart",
                                 QStringLiteral("https://test.brenlow.example/crash-download"), nullptr}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(FormTest, CancelDuringADownloadKeepsTheProgressAndStartsNoFurtherRow)
{
    addVideo(Links::HangDownload);
    addVideo(Links::Basic);
    chooseFolder();
    const qsizetype metadataRuns = recordedRuns().size();
    form->Command5_Click();
    ASSERT_TRUE(form->AVC1()->IsRunning());
    expectButtons(true);
    ListGrid* grid = form->ListGrid1();
    // The tool prints nothing more once it hangs at 30 %.
    ASSERT_TRUE(waitFor([&] { return grid->CellProgressValue(0, Col::Progress) >= 30; }));

    // A progress line of the tool: the figure reaches the bar and the cell, halves to even.
    QString chunk = QStringLiteral("[download]  45.3% of 10.00MiB at  1.00MiB/s ETA 00:05");
    form->AVC1_DataOutput(chunk);
    EXPECT_EQ(form->Progressbar()->Value(), 45);
    EXPECT_EQ(grid->CellText(0, Col::Progress), QStringLiteral("45%"));
    chunk = QStringLiteral("[download]  12.5% of 10.00MiB");
    form->AVC1_DataOutput(chunk);
    EXPECT_EQ(grid->CellProgressValue(0, Col::Progress), 12);
    chunk = QStringLiteral("[download]  13.5% of 10.00MiB");
    form->AVC1_DataOutput(chunk);
    EXPECT_EQ(grid->CellText(0, Col::Progress), QStringLiteral("14%"));
    form->Command3_Click();
    ASSERT_TRUE(waitFor([this] { return atRest(); }));
    EXPECT_EQ(form->Label1()->text(), QStringLiteral("Cancelled"));
    EXPECT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Cancelled"));
    // The end of the run (its empty last read) leaves the figure the row reached.
    EXPECT_EQ(grid->CellText(0, Col::Progress), QStringLiteral("14%"));
    EXPECT_EQ(grid->CellProgressValue(0, Col::Progress), 14);
    EXPECT_EQ(form->Progressbar()->Value(), 14);
    EXPECT_TRUE(grid->CellText(1, Col::Status).isEmpty());
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(recordedRuns().size(), metadataRuns + 1);
}

TEST_F(FormTest, AChunkWithoutAFigureLeavesTheBarAndTheCellAsTheyAre)
{
    addVideo(Links::HangDownload);
    chooseFolder();
    ListGrid* grid = form->ListGrid1();
    // The figure after every chunk of the tool's own output: chunk boundaries cut its progress
    // lines, and other lines come between them, yet the figure never falls back.
    QList<int> bar;
    QList<int> cell;
    QObject::connect(form->AVC1(), &AVC::DataOutput, form.get(), [&] {
        bar << form->Progressbar()->Value();
        cell << grid->CellProgressValue(0, Col::Progress);
    });
    form->Command5_Click();
    ASSERT_TRUE(waitFor([&] { return grid->CellProgressValue(0, Col::Progress) >= 30; }));
    ASSERT_GE(bar.size(), 2);
    for (qsizetype i = 1; i < bar.size(); ++i) {
        EXPECT_GE(bar[i], bar[i - 1]) << i;
        EXPECT_GE(cell[i], cell[i - 1]) << i;
    }
    const int reached = form->Progressbar()->Value();
    QString chunk = QStringLiteral("[info] no figure here");
    form->AVC1_DataOutput(chunk);
    chunk = QStringLiteral("MiB/s ETA 00:03\r[downl");
    form->AVC1_DataOutput(chunk);
    EXPECT_EQ(form->Progressbar()->Value(), reached);
    EXPECT_EQ(grid->CellText(0, Col::Progress), QString::number(reached) + QLatin1Char('%'));
    // Once the cell is full it stays full; the bar follows the tool.
    chunk = QStringLiteral("[download] 100% of 1MiB");
    form->AVC1_DataOutput(chunk);
    chunk = QStringLiteral("[download]  50.0% of 1MiB");
    form->AVC1_DataOutput(chunk);
    EXPECT_EQ(form->Progressbar()->Value(), 50);
    EXPECT_EQ(grid->CellText(0, Col::Progress), QStringLiteral("100%"));
    form->Command3_Click();
    ASSERT_TRUE(waitFor([this] { return atRest(); }));
}

TEST_F(FormTest, ARowDownloadedAgainShowsTheNewDownloadsProgress)
{
    addVideo(Links::Basic);
    chooseFolder();
    downloadAll();
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->CellText(0, Col::Progress), QStringLiteral("100%"));
    ASSERT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Complete"));

    // The same row again, now a download that hangs at about a third.
    ASSERT_TRUE(QFile::remove(m_downloads.path() + QStringLiteral("/Test Uploader - Basic Video.mp4")));
    grid->SetCellText(0, Col::VideoLink, Links::HangDownload);
    QStringList status;
    QObject::connect(form->AVC1(), &AVC::DataOutput, form.get(),
                     [&] { status << grid->CellText(0, Col::Status); });
    form->Command5_Click();
    ASSERT_TRUE(form->AVC1()->IsRunning());
    EXPECT_TRUE(grid->CellText(0, Col::Status).isEmpty());
    EXPECT_EQ(form->Progressbar()->Value(), 0);
    const auto running = [&] {
        const int v = grid->CellProgressValue(0, Col::Progress);
        return v >= 30 && v < 100;
    };
    EXPECT_TRUE(waitFor(running, 20000)) << grid->CellText(0, Col::Progress).toStdString();
    EXPECT_EQ(grid->CellText(0, Col::Progress),
              QString::number(grid->CellProgressValue(0, Col::Progress)) + QLatin1Char('%'));
    EXPECT_TRUE(grid->CellText(0, Col::Status).endsWith(QStringLiteral(" left")))
        << grid->CellText(0, Col::Status).toStdString();
    EXPECT_FALSE(status.contains(QStringLiteral("Complete")));
    form->Command3_Click();
    ASSERT_TRUE(waitFor([this] { return atRest(); }));
    EXPECT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Cancelled"));
}

TEST_F(FormTest, TwoRowsOfTheSameNameKeepBothVideos)
{
    addVideo(Links::Basic);
    addVideo(Links::Basic);
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->Rows(), 2);
    // The second row in another format, so the two files differ.
    const QStringList entries = brenlow::EntriesOfProfileList(grid->CellText(1, Col::ProfileList));
    grid->SetCellText(1, Col::Profile, entries.first());
    chooseFolder();
    downloadAll();
    EXPECT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Complete"));
    EXPECT_EQ(grid->CellText(1, Col::Status), QStringLiteral("Complete"));
    EXPECT_EQ(filesIn(m_downloads.path()),
              (QStringList{"Test Uploader - Basic Video (2).mp4", "Test Uploader - Basic Video.mp4"}));
    EXPECT_NE(QFileInfo(m_downloads.path() + "/Test Uploader - Basic Video (2).mp4").size(),
              QFileInfo(m_downloads.path() + "/Test Uploader - Basic Video.mp4").size());
    // A new run of the queue starts afresh: the same rows find the same files.
    downloadAll();
    EXPECT_EQ(filesIn(m_downloads.path()).size(), 2);
}

TEST_F(FormTest, ALongNameIsShortenedToFitAndAnEmptyNameGetsOne)
{
    addVideo(Links::LongName);
    addVideo(Links::Basic);
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->Rows(), 2);
    const QString full = grid->CellText(0, Col::VideoName);
    ASSERT_GT(full.toUtf8().size(), 255);
    grid->SetCellText(1, Col::VideoName, QStringLiteral("?*?"));
    chooseFolder();
    downloadAll();
    EXPECT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Complete"))
        << form->Text4().right(300).toStdString();
    EXPECT_EQ(grid->CellText(1, Col::Status), QStringLiteral("Complete"));
    const QStringList files = filesIn(m_downloads.path());
    ASSERT_EQ(files.size(), 2) << files.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(files.contains(QStringLiteral("Untitled Video.mp4")));
    const QString shortened =
        files.first() == QStringLiteral("Untitled Video.mp4") ? files.last() : files.first();
    EXPECT_LE(shortened.toUtf8().size(), 255);
    EXPECT_TRUE(shortened.endsWith(QStringLiteral(".mp4")));
    const QString stem = shortened.chopped(4);
    EXPECT_TRUE(full.startsWith(stem));
    EXPECT_GT(stem.size(), 20);
    EXPECT_EQ(QString::fromUtf8(stem.toUtf8()), stem);
    // The list keeps the whole name.
    EXPECT_EQ(grid->CellText(0, Col::VideoName), full);
}

TEST_F(FormTest, ARowWithoutAFormatCodeDownloadsInTheToolsDefault)
{
    addVideo(Links::Basic);
    form->ListGrid1()->SetCellText(0, Col::Profile, QStringLiteral("best"));
    chooseFolder();
    const qsizetype before = recordedRuns().size();
    downloadAll();
    const QStringList args = recordedRuns().value(before);
    EXPECT_FALSE(args.contains(QStringLiteral("-f")));
    EXPECT_EQ(args.last(), Links::Basic);
    EXPECT_EQ(form->ListGrid1()->CellText(0, Col::Status), QStringLiteral("Complete"));
}

TEST_F(FormTest, DownloadNeedsRowsAndAFolder)
{
    form->Command5_Click();
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Please Add Video Link First")});
    addVideo(Links::Basic);
    const qsizetype runs = recordedRuns().size();
    form->Command5_Click(); // no folder: the message, then the picker (cancelled)
    EXPECT_EQ(messages().last(), QStringLiteral("Please select Download Folder"));
    EXPECT_EQ(dialogs().shown.back().kind, QStringLiteral("folder"));
    EXPECT_EQ(dialogs().shown.back().text, QStringLiteral("Select Download folder"));
    dialogs().folderAnswers.push_back(m_downloads.path());
    form->Command5_Click(); // the picker fills the folder, but the queue does not start
    EXPECT_EQ(form->Text1()->text(), m_downloads.path() + QStringLiteral("/"));
    EXPECT_FALSE(form->AVC1()->IsRunning());
    EXPECT_EQ(recordedRuns().size(), runs);
}

TEST_F(FormTest, BrowseStoresTheFolderWithOneTrailingSlash)
{
    dialogs().folderAnswers = {QStringLiteral("/tmp/videos"), QStringLiteral("/tmp/videos/"),
                               QStringLiteral("/"), QString()};
    form->Command2_Click();
    EXPECT_EQ(form->Text1()->text(), QStringLiteral("/tmp/videos/"));
    form->Command2_Click();
    EXPECT_EQ(form->Text1()->text(), QStringLiteral("/tmp/videos/"));
    form->Command2_Click();
    EXPECT_EQ(form->Text1()->text(), QStringLiteral("/"));
    form->Command2_Click(); // cancelled: unchanged
    EXPECT_EQ(form->Text1()->text(), QStringLiteral("/"));
    EXPECT_EQ(form->DownloadFolder(), QStringLiteral("/"));
}

TEST_F(FormTest, DeleteRemovesTheCurrentRow)
{
    addVideo(Links::Basic);
    addVideo(Links::Second);
    ListGrid* grid = form->ListGrid1();
    grid->RowColSet(0, -1);
    form->Command4_Click();
    ASSERT_EQ(grid->Rows(), 1);
    EXPECT_EQ(grid->CellTag(0, Col::VideoLink), Links::Second);
    grid->RowColSet(0, -1);
    form->Command4_Click();
    EXPECT_EQ(grid->Rows(), 0);
    form->Command4_Click(); // nothing left: nothing happens
    EXPECT_EQ(grid->Rows(), 0);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(FormTest, TheProfileEditorOffersTheRowsOwnListAndCommitsTheChoice)
{
    addVideo(Links::Basic);
    addVideo(Links::Second);
    ListGrid* grid = form->ListGrid1();
    const QStringList entries0 = brenlow::EntriesOfProfileList(grid->CellText(0, Col::ProfileList));
    ASSERT_GE(entries0.size(), 2);

    bool cancel = false;
    form->ListGrid1_BeforeEdit(0, Col::Profile, cancel);
    EXPECT_FALSE(cancel);
    ASSERT_EQ(form->Combo1()->count(), entries0.size());
    EXPECT_EQ(form->Combo1()->currentText(), entries0.last());
    form->Combo1()->setCurrentIndex(0);
    QString value = QStringLiteral("proposed");
    form->ListGrid1_AfterEdit(0, Col::Profile, value, cancel);
    EXPECT_EQ(value, entries0.first());
    QString other = QStringLiteral("kept");
    form->ListGrid1_AfterEdit(0, Col::VideoName, other, cancel);
    EXPECT_EQ(other, QStringLiteral("kept"));

    // Enter in the open editor stores the choice at once and is swallowed; other keys pass.
    grid->ForceCellEdit(0, Col::Profile);
    ASSERT_TRUE(grid->EditPending());
    ASSERT_EQ(form->Combo1()->count(), entries0.size());
    form->Combo1()->setCurrentIndex(1);
    int key = 65;
    form->Combo1_KeyDown(key, 0);
    EXPECT_EQ(key, 65);
    EXPECT_TRUE(grid->EditPending());
    key = 13;
    form->Combo1_KeyDown(key, 0);
    EXPECT_EQ(key, 0);
    EXPECT_FALSE(grid->EditPending());
    EXPECT_EQ(grid->CellText(0, Col::Profile), entries0[1]);

    // A click on a row refills the editor from that row; an empty profile cell selects nothing.
    grid->SetCellText(1, Col::Profile, QString());
    grid->RowColSet(1, -1);
    form->ListGrid1_Click();
    EXPECT_EQ(form->Combo1()->currentIndex(), -1);
}

TEST_F(FormTest, AnOpenProfileEditorIsStoredIntoItsOwnRowBeforeAnyButtonActs)
{
    addVideo(Links::Basic);
    ListGrid* grid = form->ListGrid1();
    const QStringList entries0 = brenlow::EntriesOfProfileList(grid->CellText(0, Col::ProfileList));
    ASSERT_GE(entries0.size(), 2);
    grid->ForceCellEdit(0, Col::Profile);
    ASSERT_TRUE(grid->EditPending());
    form->Combo1()->setCurrentIndex(0);

    // A video with other formats fills the editor's list while row 0 is still being edited.
    addVideo(Links::FourDigit);
    ASSERT_EQ(grid->Rows(), 2);
    EXPECT_FALSE(grid->EditPending());
    EXPECT_EQ(grid->CellText(0, Col::Profile), entries0.first());
    chooseFolder();
    const qsizetype before = recordedRuns().size();
    downloadAll();
    EXPECT_EQ(grid->CellText(0, Col::Profile), entries0.first());
    const QStringList run0 = recordedRuns().value(before);
    const qsizetype f = run0.indexOf(QStringLiteral("-f"));
    ASSERT_GE(f, 0);
    EXPECT_EQ(run0.value(f + 1), *brenlow::FormatCodeOf(entries0.first()));

    // Delete while editing: the edit is stored, the row goes, no editor is left on the next row.
    addVideo(Links::Second);
    ASSERT_EQ(grid->Rows(), 3);
    const QString profile2 = grid->CellText(2, Col::Profile);
    grid->ForceCellEdit(1, Col::Profile);
    ASSERT_TRUE(grid->EditPending());
    form->Command4_Click();
    EXPECT_EQ(grid->Rows(), 2);
    EXPECT_FALSE(grid->EditPending());
    EXPECT_FALSE(form->Combo1()->isVisible());
    EXPECT_EQ(grid->CellText(1, Col::Profile), profile2);
    EXPECT_EQ(grid->CellTag(1, Col::VideoLink), Links::Second);
}

TEST_F(FormTest, TheProfileCellTakesOnlyAnEntryOfItsOwnRowsList)
{
    addVideo(Links::Basic);
    addVideo(Links::FourDigit);
    ListGrid* grid = form->ListGrid1();
    const QString kept = grid->CellText(0, Col::Profile);
    // The editor holds the second video's list (refilled for row 1), yet row 0 is committed.
    bool cancel = false;
    form->ListGrid1_BeforeEdit(1, Col::Profile, cancel);
    form->Combo1()->setCurrentIndex(0);
    ASSERT_FALSE(brenlow::EntriesOfProfileList(grid->CellText(0, Col::ProfileList))
                     .contains(form->Combo1()->currentText()));
    QString value = form->Combo1()->currentText();
    form->ListGrid1_AfterEdit(0, Col::Profile, value, cancel);
    EXPECT_EQ(value, kept);
    EXPECT_FALSE(cancel);
}
