// Why something failed: the tool's own words with "Error" and "Done", and on the failed row.
#include "FormFixture.h"

#include "app/GridDesign.h"
#include "controls/grid/ListGrid.h"
#include "controls/progressbar/SleekProgressBar.h"
#include "runner/AVC.h"

#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QToolTip>

namespace Col = brenlow::Col;

namespace {

/** Moves the pointer over a cell of the grid; false when no point of the grid is that cell. */
bool hoverCell(ListGrid* grid, int row, int col, QPoint& at)
{
    for (int y = 2; y < grid->height(); y += 4) {
        for (int x = 2; x < grid->width(); x += 4) {
            QMouseEvent move(QEvent::MouseMove, QPointF(x, y), grid->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(grid, &move);
            if (grid->MouseRow() == row && grid->MouseCol() == col) {
                at = QPoint(x, y);
                return true;
            }
        }
    }
    return false;
}

/** A tool tip's text as the user reads it. */
QString plain(const QString& tip)
{
    QTextDocument doc;
    doc.setHtml(tip);
    return doc.toPlainText();
}

QString toolTipAt(ListGrid* grid, QPoint at)
{
    QToolTip::hideText();
    QHelpEvent help(QEvent::ToolTip, at, grid->mapToGlobal(at));
    QCoreApplication::sendEvent(grid, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

} // namespace

TEST_F(FormTest, AFailedLinkShowsErrorWithTheToolsReason)
{
    addVideo(Links::Broken);
    ASSERT_EQ(messages(), QStringList{QStringLiteral("Error")});
    ASSERT_EQ(boxes().size(), 1u);
    // The reason is on the box itself; the whole output is behind "Show Details...".
    EXPECT_EQ(boxes()[0].Informative, QStringLiteral("This video is unavailable"));
    EXPECT_EQ(boxes()[0].Icon, brenlow::Dialogs::Icon::Critical);
    EXPECT_TRUE(boxes()[0].Details.contains(QStringLiteral("[youtube] error: Downloading webpage")));
    EXPECT_TRUE(boxes()[0].Details.contains(QStringLiteral("ERROR: This video is unavailable")));
    EXPECT_EQ(form->Label1()->text(), QStringLiteral("Error"));

    // A name run that printed no name: its last line is the reason.
    addVideo(Links::NoName);
    ASSERT_EQ(messages().size(), 2);
    EXPECT_EQ(messages().last(), QStringLiteral("Error"));
    EXPECT_TRUE(boxes().back().Informative.contains(QStringLiteral("Downloading")))
        << boxes().back().Informative.toStdString();
    EXPECT_NE(form->Label1()->text(), QStringLiteral("Complete"));
}

TEST_F(FormTest, AFailedRowTellsWhyInItsStatusCellAndInTheDoneBox)
{
    addVideo(Links::Basic);
    addVideo(Links::Exit3);
    addVideo(Links::Second);
    chooseFolder();
    downloadAll();
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->CellText(1, Col::Status), QStringLiteral("Error"));
    const QString reason = QStringLiteral("ERROR: unable to download video data: HTTP Error 403: Forbidden");
    EXPECT_EQ(grid->CellTag(1, Col::Status), reason);
    EXPECT_TRUE(grid->CellTag(0, Col::Status).isEmpty());
    EXPECT_TRUE(grid->CellTag(2, Col::Status).isEmpty());

    ASSERT_EQ(messages(), QStringList{QStringLiteral("Done")});
    EXPECT_EQ(boxes()[0].Informative, QStringLiteral("1 of 3 downloads failed."));
    EXPECT_EQ(boxes()[0].Icon, brenlow::Dialogs::Icon::Warning);
    EXPECT_EQ(form->Label1()->text(), QStringLiteral("1 of 3 downloads failed."));
    const QString details = messageDetails().value(0);
    EXPECT_TRUE(details.contains(grid->CellText(1, Col::VideoName)));
    EXPECT_TRUE(details.contains(reason));
    EXPECT_FALSE(details.contains(grid->CellText(0, Col::VideoName)));

    // The pointer resting on the failed row's status cell shows the reason; elsewhere it does not.
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QPoint at;
    ASSERT_TRUE(hoverCell(grid, 1, Col::Status, at));
    EXPECT_EQ(plain(toolTipAt(grid, at)), reason);
    ASSERT_TRUE(hoverCell(grid, 2, Col::Status, at));
    EXPECT_NE(plain(toolTipAt(grid, at)), reason);

    // A queue without failures shows "Done" alone, and the row's old reason is gone.
    grid->SetCellText(1, Col::VideoLink, Links::Third);
    downloadAll();
    EXPECT_EQ(messages().last(), QStringLiteral("Done"));
    EXPECT_TRUE(messageDetails().last().isEmpty());
    EXPECT_TRUE(boxes().back().Informative.isEmpty());
    EXPECT_EQ(boxes().back().Icon, brenlow::Dialogs::Icon::Information);
    EXPECT_EQ(form->Label1()->text(), QStringLiteral("Complete"));
    EXPECT_EQ(grid->CellText(1, Col::Status), QStringLiteral("Complete"));
    EXPECT_TRUE(grid->CellTag(1, Col::Status).isEmpty());
}

TEST_F(FormTest, AFailedDownloadKeepsTheFigureItReached)
{
    addVideo(Links::Interrupted);
    chooseFolder();
    downloadAll();
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Error"));
    const int reached = grid->CellProgressValue(0, Col::Progress);
    EXPECT_GE(reached, 50);
    EXPECT_LT(reached, 100);
    EXPECT_EQ(grid->CellText(0, Col::Progress), QString::number(reached) + QLatin1Char('%'));
    EXPECT_EQ(form->Progressbar()->Value(), reached);
    EXPECT_TRUE(grid->CellTag(0, Col::Status).contains(QStringLiteral("Connection reset by peer")));
}

TEST_F(FormTest, TheOutputBoxStaysHiddenAndTheListUncovered)
{
    auto* box = form->findChild<QPlainTextEdit*>();
    ASSERT_NE(box, nullptr);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    addVideo(Links::Broken);
    EXPECT_FALSE(box->isVisible());
    EXPECT_TRUE(form->Text4().contains(QStringLiteral("ERROR: This video is unavailable")));
}
