// Link intake and the three metadata runs, driven through the window's handlers with the bundled tool.
#include "FormFixture.h"

#include "app/GridDesign.h"
#include "app/ProfileParser.h"
#include "app/Settings.h"
#include "controls/button/glintbutton.h"
#include "controls/grid/ListGrid.h"
#include "runner/AVC.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace Col = brenlow::Col;

TEST_F(FormTest, StartsUpWithItsTemplatesColumnsAndButtons)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Brenlow 7.0"));
    EXPECT_EQ(form->size(), QSize(896, 571));
    EXPECT_EQ(form->TemplateText(2), QStringLiteral(" -o \"") + form->ThumbnailFolder() +
                                         QStringLiteral("/aaa.jpg\" -i --write-thumbnail --no-playlist \""));
    EXPECT_EQ(form->TemplateText(1), QString::fromLatin1(brenlow::Templates::txt1));
    EXPECT_EQ(form->TemplateText(3), QString::fromLatin1(brenlow::Templates::txt3));
    EXPECT_EQ(form->TemplateText(5), QStringLiteral(".%(ext)s\" -i --no-playlist -f "));
    EXPECT_EQ(form->Text4(), QStringLiteral("Text4\r\n"));
    EXPECT_EQ(form->CurrentStage(), Form1::Idle);
    EXPECT_TRUE(form->Text1()->text().isEmpty());

    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->Cols(), 7);
    const QStringList headings{"Video Name", "Video Link", "Picture", "Profile",
                               "Profile",    "Progress",   "Status"};
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(grid->ColHeading(c), headings[c]) << c;
    EXPECT_EQ(grid->ColType(Col::Progress), 4);
    EXPECT_TRUE(grid->ColWordWrap(Col::ProfileList));
    EXPECT_LT(grid->ColWidth(Col::ProfileList), grid->ColWidth(Col::Picture) / 50);
    EXPECT_EQ(grid->ColImageAlignment(Col::Picture), 5);
    EXPECT_EQ(grid->Rows(), 0);
    EXPECT_TRUE(grid->Redraw());

    expectButtons(false);
    EXPECT_EQ(form->Command(1)->Caption(), QStringLiteral("Add Video Link"));
    EXPECT_EQ(form->Command(3)->Caption(), QStringLiteral("Cancel"));
    EXPECT_EQ(form->Command(1)->geometry(), QRect(8, 8, 129, 33));
    EXPECT_EQ(form->ListGrid1()->geometry(), QRect(8, 48, 879, 270));
}

TEST_F(FormTest, ButtonsWearTheirStoredDesign)
{
    for (int n = 1; n <= 5; ++n) {
        const glintbutton* b = form->Command(n);
        EXPECT_EQ(b->ButtonStyle(), 3) << n;
        EXPECT_EQ(b->ColorScheme(), 2) << n;
        EXPECT_EQ(b->PictureNormal().size(), QSize(32, 32)) << n;
        const bool bold = n == 3 || n == 5;
        EXPECT_EQ(b->Font().bold(), bold) << n;
        EXPECT_EQ(b->ForeColor() == 0xFF0000u, bold) << n;
    }
    // Loading the design keeps the window's own rectangles.
    EXPECT_EQ(form->Command(5)->geometry(), QRect(344, 376, 105, 33));
}

TEST_F(FormTest, CancellingTheInputBoxChangesNothing)
{
    QFile thumb(form->ThumbnailPath());
    ASSERT_TRUE(thumb.open(QIODevice::WriteOnly));
    thumb.close();
    dialogs().inputAnswers.push_back(std::nullopt);
    form->Command1_Click();
    dialogs().inputAnswers.push_back(QString());
    form->Command1_Click();
    ASSERT_EQ(dialogs().shown.size(), 2u);
    EXPECT_EQ(dialogs().shown[0].text, QStringLiteral("Enter Video Link:"));
    EXPECT_EQ(dialogs().shown[0].title, QStringLiteral(" "));
    EXPECT_EQ(form->CurrentStage(), Form1::Idle);
    EXPECT_EQ(form->Text4(), QStringLiteral("Text4\r\n"));
    EXPECT_TRUE(QFileInfo::exists(form->ThumbnailPath()));
    EXPECT_FALSE(form->AVC1()->IsRunning());
    EXPECT_TRUE(recordedRuns().isEmpty());
}

TEST_F(FormTest, AddingAVideoGivesTheExactRow)
{
    addVideo(Links::Basic);
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->Rows(), 1);
    EXPECT_EQ(form->CurrentStage(), Form1::ItemAdded);
    EXPECT_EQ(grid->CellText(0, Col::VideoName), QStringLiteral("Test Uploader - Basic Video"));
    EXPECT_EQ(grid->CellText(0, Col::VideoLink), Links::Basic);
    EXPECT_TRUE(grid->CellText(0, Col::Picture).isEmpty());
    EXPECT_FALSE(grid->CellPictureGet(0, Col::Picture).isNull());

    const QString list = grid->CellText(0, Col::ProfileList);
    EXPECT_EQ(list, form->Text5());
    const QStringList entries = brenlow::EntriesOfProfileList(list);
    ASSERT_EQ(entries.size(), 3);
    EXPECT_TRUE(list.contains(QStringLiteral("<<<")));
    EXPECT_EQ(grid->CellText(0, Col::Profile), entries.last());
    EXPECT_EQ(form->Combo1()->count(), 3);
    EXPECT_EQ(form->Combo1()->currentText(), entries.last());
    EXPECT_TRUE(grid->CellText(0, Col::Progress).isEmpty());
    EXPECT_EQ(grid->CellProgressValue(0, Col::Progress), 0);
    EXPECT_TRUE(grid->CellText(0, Col::Status).isEmpty());
    EXPECT_EQ(form->Label1()->text(), QStringLiteral("Complete"));
    EXPECT_TRUE(messages().isEmpty());
    expectButtons(false);

    // The three runs the tool received, each value one argument.
    const QList<QStringList> runs = recordedRuns();
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(runs[0], (QStringList{"-s", "--skip-download", "-i", "-F", "--no-playlist", Links::Basic}));
    EXPECT_EQ(runs[1], (QStringList{"-o", form->ThumbnailPath(), "-i", "--write-thumbnail", "--no-playlist",
                                    Links::Basic}));
    EXPECT_EQ(runs[2], (QStringList{"-s", "--skip-download", "-i", "--no-playlist", "--get-filename", "-o",
                                    "%(uploader)s - %(title)s", Links::Basic}));
}

TEST_F(FormTest, EveryRowsLinkCellIsABlueUnderlinedHandWithItsOwnTag)
{
    addVideo(Links::Basic);
    addVideo(Links::Second);
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->Rows(), 2);
    const QStringList links{Links::Basic, Links::Second};
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(grid->CellForeColor(r, Col::VideoLink), 16711680u) << r;
        EXPECT_TRUE(grid->CellFontUnderline(r, Col::VideoLink)) << r;
        EXPECT_TRUE(grid->CellHandPointer(r, Col::VideoLink)) << r;
        EXPECT_EQ(grid->CellTag(r, Col::VideoLink), links[r]) << r;
        EXPECT_FALSE(grid->CellHandPointer(r, Col::VideoName)) << r;
    }
    EXPECT_EQ(grid->CellText(1, Col::VideoName), QStringLiteral("Test Uploader - Second Video"));
}

namespace {

struct UnusableLink
{
    const char* what;
    QString link; // "%DOWNLOADS%" stands for the test's download folder
    int runs;     // runs of the tool before the chain gave up
    const char* reason;
    bool wholeReason; // the box's reason is exactly this, or holds it
    const char* status;
    std::vector<const char*> inOutput; // in the box's details and in the output box
};

class FormUnusableLinkTest : public FormTest, public ::testing::WithParamInterface<UnusableLink>
{
};

} // namespace

TEST_P(FormUnusableLinkTest, EndsInErrorWithTheToolsReasonAndNoRow)
{
    const UnusableLink& c = GetParam();
    QString link = c.link;
    link.replace(QStringLiteral("%DOWNLOADS%"), m_downloads.path());
    auto* box = form->findChild<QPlainTextEdit*>();
    ASSERT_NE(box, nullptr);
    showForm();
    addVideo(link);
    ASSERT_EQ(messages(), QStringList{QStringLiteral("Error")});
    ASSERT_EQ(boxes().size(), 1u);
    const brenlow::Message& error = boxes()[0];
    EXPECT_EQ(error.Icon, brenlow::Dialogs::Icon::Critical);
    if (c.reason && c.wholeReason) {
        EXPECT_EQ(error.Informative, QString::fromUtf8(c.reason));
    } else if (c.reason) {
        EXPECT_TRUE(error.Informative.contains(QString::fromUtf8(c.reason)))
            << error.Informative.toStdString();
    }
    if (c.status) {
        EXPECT_EQ(form->Label1()->text(), QString::fromUtf8(c.status));
    }
    EXPECT_NE(form->Label1()->text(), QStringLiteral("Complete"));
    // The whole output is behind "Show Details..."; the output box keeps it but stays hidden.
    for (const char* text : c.inOutput) {
        EXPECT_TRUE(error.Details.contains(QString::fromUtf8(text))) << text;
        EXPECT_TRUE(form->Text4().contains(QString::fromUtf8(text))) << text;
    }
    EXPECT_FALSE(box->isVisible());

    EXPECT_EQ(form->CurrentStage(), Form1::Idle);
    EXPECT_EQ(form->ListGrid1()->Rows(), 0);
    expectButtons(false);
    // The link reached the tool whole, as one argument.
    const QList<QStringList> runs = recordedRuns();
    ASSERT_EQ(runs.size(), c.runs);
    EXPECT_EQ(runs[0], (QStringList{"-s", "--skip-download", "-i", "-F", "--no-playlist", link}));
    EXPECT_EQ(runs.last().last(), link);

    // The window works on.
    addVideo(Links::Basic);
    EXPECT_EQ(form->ListGrid1()->Rows(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Form, FormUnusableLinkTest,
    ::testing::Values(
        UnusableLink{"Unavailable",
                     Links::Broken,
                     1,
                     "This video is unavailable",
                     true,
                     "Error",
                     {"[youtube] error: Downloading webpage", "ERROR: This video is unavailable"}},
        UnusableLink{"NoNumericFormat", Links::NonNumericOnly, 1, nullptr, false, nullptr, {}},
        // A name run that printed no name: its last line is the reason.
        UnusableLink{"NoName", Links::NoName, 3, "Downloading", false, nullptr, {}},
        UnusableLink{"CrashAtStart",
                     QStringLiteral("https://test.brenlow.example/crash"),
                     1,
                     nullptr,
                     false,
                     nullptr,
                     {}},
        // Unknown to the tool: long ones, and ones with quotes and blanks that a shell would split.
        UnusableLink{"Long",
                     Links::Basic + QStringLiteral("?list=") + QString(6000, QLatin1Char('x')),
                     1,
                     nullptr,
                     false,
                     nullptr,
                     {}},
        UnusableLink{"QuotesAndBlanks",
                     Links::Basic + QStringLiteral("\" -o %DOWNLOADS%/evil \"'a b' ;$(id)`id` \\\""),
                     1,
                     nullptr,
                     false,
                     nullptr,
                     {}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(FormTest, NamesAreCleanedAndUnicodeTitlesKept)
{
    addVideo(Links::Cleaning);
    addVideo(Links::Unicode);
    addVideo(Links::LineFeeds);
    addVideo(QStringLiteral("https://test.brenlow.example/split-utf8"));
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->Rows(), 4);
    EXPECT_EQ(grid->CellText(0, Col::VideoName), QStringLiteral("Clean-Up-Crew - A--B"));
    EXPECT_EQ(grid->CellText(1, Col::VideoName), QStringLiteral("Zoë Ångström - Ünïcödé — 日本語のビデオ 🎬"));
    EXPECT_EQ(grid->CellText(2, Col::VideoName), QStringLiteral("Unix Uploader - Line Feed Video"));
    EXPECT_EQ(brenlow::EntriesOfProfileList(grid->CellText(2, Col::ProfileList)).size(), 3);
    // A name cut inside a character between two reads comes out whole.
    EXPECT_EQ(grid->CellText(3, Col::VideoName), QStringLiteral("Ünïcode Splitter - Café 日本"));
}

TEST_F(FormTest, AMissingOrBrokenThumbnailGivesAPlaceholderPicture)
{
    addVideo(Links::NoThumbnail);
    addVideo(Links::CorruptThumbnail);
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->Rows(), 2);
    const QImage a = grid->CellPictureGet(0, Col::Picture);
    const QImage b = grid->CellPictureGet(1, Col::Picture);
    EXPECT_FALSE(a.isNull());
    EXPECT_EQ(a, b);
    addVideo(Links::Basic);
    EXPECT_NE(grid->CellPictureGet(2, Col::Picture), a);
}

TEST_F(FormTest, CancelDuringAMetadataRunEndsTheChainWithoutARow)
{
    startHangingRun();
    // The buttons stay disabled for the whole chain, "Cancel" alone enabled.
    expectButtons(true);
    ASSERT_TRUE(waitFor([this] { return recordedRuns().size() == 1; }));
    form->Command3_Click();
    ASSERT_TRUE(waitFor([this] { return atRest(); }));
    EXPECT_EQ(form->Label1()->text(), QStringLiteral("Cancelled"));
    EXPECT_EQ(form->CurrentStage(), Form1::Idle);
    EXPECT_EQ(form->ListGrid1()->Rows(), 0);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(recordedRuns().size(), 1);
    // The window works on afterwards.
    addVideo(Links::Basic);
    EXPECT_EQ(form->ListGrid1()->Rows(), 1);
}

TEST_F(FormTest, TheStatusLineCyclesThroughTheFramesOfTheStage)
{
    startHangingRun();
    // One frame per polling tick, on from wherever the animation stood.
    const QString base = QStringLiteral("Please Wait Downloading Profile List");
    const QStringList tails{"...", ">..", ".>.", "..>"};
    const int first = form->StatusFrame();
    for (int i = 0; i < 5; ++i) {
        form->AVC1_Converting();
        EXPECT_EQ(form->Label1()->text(), base + tails[(first + i) % 4]) << i;
    }
    form->Command3_Click();
    ASSERT_TRUE(waitFor([this] { return atRest(); }));
    // Idle: the animation leaves the status line alone.
    form->AVC1_Converting();
    EXPECT_EQ(form->Label1()->text(), QStringLiteral("Cancelled"));
}

TEST_F(FormTest, ALinkIsTrimmedAndOneTheToolWouldTakeForAnOptionIsRefused)
{
    addVideo(QStringLiteral(" \t") + Links::Basic + QStringLiteral(" \r\n"));
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->Rows(), 1);
    EXPECT_EQ(form->CurrentLink(), Links::Basic);
    EXPECT_EQ(grid->CellText(0, Col::VideoLink), Links::Basic);
    EXPECT_EQ(grid->CellTag(0, Col::VideoLink), Links::Basic);
    EXPECT_EQ(grid->CellText(0, Col::ProfileList).count(QStringLiteral("<<<")) > 0, true);
    EXPECT_EQ(recordedRuns().value(0).last(), Links::Basic);

    const qsizetype runs = recordedRuns().size();
    const QStringList refused{
        QStringLiteral("--exec=touch evil"), QStringLiteral("  -o evil ") + Links::Basic,
        Links::Basic + QStringLiteral("\tx"), Links::Second + QStringLiteral("\r\n") + Links::Third,
        Links::Basic + QStringLiteral("\x01")};
    for (const QString& link : refused) {
        dialogs().inputAnswers.push_back(link);
        form->Command1_Click();
        EXPECT_TRUE(form->Label1()->text().startsWith(QStringLiteral("Not a video link")))
            << form->Label1()->text().toStdString();
        EXPECT_FALSE(form->AVC1()->IsRunning());
        EXPECT_TRUE(atRest());
        EXPECT_EQ(form->CurrentLink(), Links::Basic);
        EXPECT_EQ(form->CurrentStage(), Form1::ItemAdded);
    }
    EXPECT_TRUE(form->Label1()->text().contains(QStringLiteral("control characters")));
    dialogs().inputAnswers.push_back(QStringLiteral("-x"));
    form->Command1_Click();
    EXPECT_TRUE(form->Label1()->text().contains(QStringLiteral("\"-\"")));
    EXPECT_EQ(recordedRuns().size(), runs);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(grid->Rows(), 1);
}

TEST_F(FormTest, ANameRunThatEndsWithAnErrorCodeButPrintedANameAddsTheRow)
{
    addVideo(Links::NameExit1);
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->Rows(), 1) << form->Text4().toStdString();
    EXPECT_EQ(grid->CellText(0, Col::VideoName), QStringLiteral("Warned Uploader - Warned Video"));
    EXPECT_EQ(form->AVC1()->LastExitCode(), 1);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(form->CurrentStage(), Form1::ItemAdded);
}
