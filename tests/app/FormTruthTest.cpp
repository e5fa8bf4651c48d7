// What the window says is what happened: "Complete", "Error", "Done", "Cancel" and closing.
#include "FormFixture.h"

#include "app/DownloadFiles.h"
#include "app/GridDesign.h"
#include "controls/button/glintbutton.h"
#include "controls/common/Colors.h"
#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridLayout.h"
#include "controls/progressbar/SleekProgressBar.h"
#include "runner/AVC.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

#include <cmath>

namespace Col = brenlow::Col;

namespace {

/** A tool answering the three runs of "Add Video Link" for one video, with a format table of its
 *  own, and downloading as the given shell lines say ($file is the file the template names). */
QByteArray scriptTool(const QByteArray& table, const QByteArray& download)
{
    return "case \" $* \" in\n"
           "*\" -F \"*) printf '%b' 'format code  extension  resolution note\\n" +
           table +
           "' ;;\n"
           "*\" --write-thumbnail \"*) exit 0 ;;\n"
           "*\" --get-filename \"*) echo 'Script Uploader - Script Video' ;;\n"
           "*) prev=; for a; do [ \"$prev\" = -o ] && out=$a; prev=$a; done\n"
           "   file=$(printf '%s' \"$out\" | sed 's/[.]%(ext)s$/.mp4/')\n" +
           download +
           "\n ;;\n"
           "esac\n";
}

const QByteArray plainTable = "22          mp4        1280x720   720p\\n";

/** Whether a process is gone (reaped by its parent). */
bool processGone(const QByteArray& pid)
{
    return !QFileInfo::exists(QStringLiteral("/proc/") + QString::fromLatin1(pid.trimmed()));
}

double luminance(QColor c)
{
    const auto lin = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
}

double contrast(QColor a, QColor b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

/** The best contrast of any pixel of an area against a background colour that fills most of it:
 *  the contrast of the text drawn there. */
double textContrast(const QImage& image, const QRect& area, QColor background)
{
    double best = 1.0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            best = std::max(best, contrast(image.pixelColor(x, y), background));
    }
    return best;
}

} // namespace

TEST_F(FormTest, AQueueInWhichRowsFailedSaysSoAndNeverReadsComplete)
{
    addVideo(Links::Exit3);
    addVideo(Links::Interrupted);
    chooseFolder();
    downloadAll();
    ASSERT_EQ(messages(), QStringList{QStringLiteral("Done")});
    expectFailuresReported(2, 2,
                           {QStringLiteral("HTTP Error 403"), QStringLiteral("Connection reset by peer")});

    // Once more, the second row now downloads whole (it resumes): one failure is left.
    downloadAll();
    EXPECT_EQ(form->ListGrid1()->CellText(1, Col::Status), QStringLiteral("Complete"));
    expectFailuresReported(1, 2, {});
    EXPECT_NE(form->Label1()->text(), QStringLiteral("Complete"));
}

TEST_F(FormTest, CancelAfterTheToolFinishedLeavesTheRowComplete)
{
    const QString marker = m_records.path() + QStringLiteral("/exited");
    // The tool writes its file and ends, but a helper it left keeps the output open: the window
    // still waits on the output when "Cancel" is pressed.
    useScriptTool(scriptTool(plainTable, "printf '[download] 100%% of 1.00KiB in 00:01\\n'\n"
                                         "   printf 'video' > \"$file\"\n"
                                         "   sleep 20 &\n"
                                         "   echo $$ > '" +
                                             marker.toLocal8Bit() + "'"));
    addVideo(Links::Basic);
    ASSERT_EQ(form->ListGrid1()->Rows(), 1);
    chooseFolder();
    form->Command5_Click();
    ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(marker) && processGone(readAll(marker)); }, 20000));
    ASSERT_TRUE(form->AVC1()->IsRunning()) << "the run ended before the helper let go of the output";
    form->Command3_Click();
    ASSERT_TRUE(waitFor([this] { return atRest(); }));
    EXPECT_EQ(form->ListGrid1()->CellText(0, Col::Status), QStringLiteral("Complete"));
    EXPECT_EQ(form->ListGrid1()->CellText(0, Col::Progress), QStringLiteral("100%"));
}

TEST_F(FormTest, TheToolsTextNeverShiftsCellsNorShowsAsMarkup)
{
    const QByteArray html = "ERROR: HTTP Error 500: <h1 style=\"color:green\">Download finished</h1>";
    useScriptTool(scriptTool("18          mp4        640x360\\tHLS\\n" + plainTable,
                             "printf '%s\\n' '" + html + "'; exit 1"));
    addVideo(Links::Basic);
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->Rows(), 1);
    EXPECT_TRUE(grid->CellText(0, Col::Profile).startsWith(QStringLiteral("22,")))
        << grid->CellText(0, Col::Profile).toStdString();
    EXPECT_FALSE(grid->CellText(0, Col::ProfileList).contains(QLatin1Char('\t')));
    EXPECT_TRUE(grid->CellText(0, Col::Progress).isEmpty());
    EXPECT_TRUE(grid->CellText(0, Col::Status).isEmpty());

    chooseFolder();
    downloadAll();
    ASSERT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Error"));
    EXPECT_EQ(grid->CellTag(0, Col::Status), QString::fromLatin1(html));
    // The tool tip shows the reason as it is, tags and all.
    showForm();
    EXPECT_EQ(cellToolTip(0, Col::Status), QString::fromLatin1(html));
}

TEST_F(FormTest, AFolderWithPercentSignsTakesTheDownload)
{
    const QString folder = m_downloads.path() + QStringLiteral("/clips %(title)s 100%");
    ASSERT_TRUE(QDir().mkpath(folder));
    addVideo(Links::Basic);
    dialogs().folderAnswers.push_back(folder);
    form->Command2_Click();
    EXPECT_EQ(form->Text1()->text(), folder + QLatin1Char('/'));
    downloadAll();
    EXPECT_EQ(form->ListGrid1()->CellText(0, Col::Status), QStringLiteral("Complete"));
    EXPECT_EQ(filesIn(folder), QStringList{QStringLiteral("Test Uploader - Basic Video.mp4")});
}

enum class Origin
{
    Unknown,
    OtherVideo,
    ThisVideo
};

class SameNameFiles : public FormTest, public ::testing::WithParamInterface<Origin>
{
};

TEST_P(SameNameFiles, OnlyTheRowsOwnFileCountsAsItsDownload)
{
    chooseFolder();
    const QString mine = m_downloads.path() + QStringLiteral("/Test Uploader - Basic Video.mp4");
    const QString second = m_downloads.path() + QStringLiteral("/Test Uploader - Basic Video (2).mp4");
    writeFile(mine, "a file that was there first");
    if (GetParam() != Origin::Unknown) {
        if (!brenlow::SetFileOrigin(mine, GetParam() == Origin::ThisVideo ? Links::Basic : Links::Second))
            GTEST_SKIP() << "the file system keeps no extended attributes";
    }
    addVideo(Links::Basic);
    downloadAll();
    EXPECT_EQ(form->ListGrid1()->CellText(0, Col::Status), QStringLiteral("Complete"));
    // The file that was there is never overwritten.
    EXPECT_EQ(readAll(mine), QByteArray("a file that was there first"));
    if (GetParam() == Origin::ThisVideo) {
        EXPECT_EQ(filesIn(m_downloads.path()), QStringList{QFileInfo(mine).fileName()});
    } else {
        EXPECT_EQ(filesIn(m_downloads.path()),
                  (QStringList{QFileInfo(second).fileName(), QFileInfo(mine).fileName()}));
        EXPECT_GT(QFileInfo(second).size(), 1000);
        const std::optional<QString> origin = brenlow::FileOrigin(second);
        if (origin) {
            EXPECT_EQ(*origin, Links::Basic);
        }
        // Downloaded again, the row finds its own file.
        downloadAll();
        EXPECT_EQ(filesIn(m_downloads.path()).size(), 2);
        EXPECT_EQ(form->ListGrid1()->CellText(0, Col::Status), QStringLiteral("Complete"));
    }
}

INSTANTIATE_TEST_SUITE_P(Form, SameNameFiles,
                         ::testing::Values(Origin::Unknown, Origin::OtherVideo, Origin::ThisVideo));

TEST_F(FormTest, ARunningRowShowsSpeedAndTimeLeftInItsStatusCell)
{
    addVideo(Links::HangDownload);
    chooseFolder();
    showForm();
    form->Command5_Click();
    ListGrid* grid = form->ListGrid1();
    ASSERT_TRUE(waitFor([&] { return grid->CellProgressValue(0, Col::Progress) >= 30; }));
    static const QRegularExpression speed(QStringLiteral("^[0-9.]+ [KMG]?i?B/s, [0-9:]+ left$"));
    EXPECT_TRUE(speed.match(grid->CellText(0, Col::Status)).hasMatch())
        << grid->CellText(0, Col::Status).toStdString();
    // The cell shows it whole.
    grid->Refresh();
    const QFontMetrics metrics(grid->font());
    EXPECT_LE(metrics.horizontalAdvance(QStringLiteral("9.99 MiB/s, 0:00:00 left")),
              grid->layout().cellRect(0, Col::Status).width() - 6);
    form->Command3_Click();
    ASSERT_TRUE(waitFor([this] { return atRest(); }));
    EXPECT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Cancelled"));
}

TEST_F(FormTest, TheRunningRowsFigureIsReadableSelectedOrNot)
{
    addVideo(Links::Basic);
    showForm();
    ListGrid* grid = form->ListGrid1();
    const QColor fill = brenlow::OleColor::ToQColor(16045770);
    for (const bool selected : {true, false}) {
        for (const int value : {50, 100}) {
            if (selected)
                grid->RowColSet(0, -1);
            else
                grid->SelectedClearAll();
            grid->SetCellProgressBarColor(16045770);
            grid->SetCellProgressValue(0, Col::Progress, value);
            grid->SetCellText(0, Col::Progress, QString::number(value) + QLatin1Char('%'));
            grid->Refresh();
            const QImage surface = grid->surface();
            const QRect cell = grid->layout().cellRect(0, Col::Progress);
            ASSERT_FALSE(cell.isEmpty());
            // Half a bar: the text lies across the bar and the rest of the cell.
            const int middle = cell.center().x();
            const QRect overBar(middle - 12, cell.center().y() - 6, 12, 12);
            EXPECT_GE(textContrast(surface, overBar, fill), 4.5) << selected << " " << value;
            if (value < 100) {
                const QColor back = surface.pixelColor(cell.right() - 2, cell.top() + 3);
                const QRect overCell(middle + 1, cell.center().y() - 6, 12, 12);
                EXPECT_GE(textContrast(surface, overCell, back), 4.5) << selected << " " << value;
            }
        }
    }
}
