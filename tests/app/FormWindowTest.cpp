// The web pane, the links, the mouse filter and shutdown.
#include "FormFixture.h"

#include "app/GridDesign.h"
#include "app/Settings.h"
#include "app/WebPane.h"
#include "controls/grid/ListGrid.h"
#include "runner/AVC.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QScreen>
#include <QTest>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>

namespace Col = brenlow::Col;

TEST_F(FormTest, ALinkCellOpensTheCurrentRowsLink)
{
    addVideo(Links::Basic);
    addVideo(Links::Second);
    ListGrid* grid = form->ListGrid1();
    grid->RowColSet(1, -1);
    qint16 shift = 0;
    form->ListGrid1_CellHandClick(0, Col::VideoLink, shift); // the current row counts, not the cell named
    ASSERT_EQ(shell().opened, QStringList{Links::Second});

    grid->SetCellTag(1, Col::VideoLink, QStringLiteral("www.example.com/watch?v=1"));
    form->ListGrid1_CellHandClick(1, Col::VideoLink, shift);
    EXPECT_EQ(shell().opened.last(), QStringLiteral("http://www.example.com/watch?v=1"));
    grid->SetCellTag(1, Col::VideoLink, QStringLiteral("https://www.example.com/v"));
    form->ListGrid1_CellHandClick(1, Col::VideoLink, shift);
    EXPECT_EQ(shell().opened.last(), QStringLiteral("https://www.example.com/v"));
    grid->SetCellTag(1, Col::VideoLink, QString());
    form->ListGrid1_CellHandClick(1, Col::VideoLink, shift);
    EXPECT_EQ(shell().opened.size(), 3);
}

TEST_F(FormTest, ALinkNoBrowserCanOpenNamesTheAddressAndTheReasonInTheStatusLine)
{
    addVideo(Links::Basic);
    shell().failure = QStringLiteral("xdg-open is missing");
    qint16 shift = 0;
    form->ListGrid1_CellHandClick(0, Col::VideoLink, shift);
    ASSERT_EQ(shell().opened.size(), 1);
    EXPECT_EQ(form->Label1()->text(),
              QStringLiteral("Unable to open %1: xdg-open is missing").arg(Links::Basic));

    // The maker's pages alike; a very long address gives way so the reason stays in the window.
    form->Label5_Click();
    EXPECT_EQ(form->Label1()->text(), QStringLiteral("Unable to open %1: xdg-open is missing")
                                          .arg(QString::fromLatin1(brenlow::ProductSettings::MakerSite)));
    form->ListGrid1()->SetCellTag(0, Col::VideoLink,
                                  QStringLiteral("https://www.example.com/") + QString(400, u'v'));
    QLabel* status = form->Label1();
    const int home = status->x();
    form->ListGrid1_CellHandClick(0, Col::VideoLink, shift);
    EXPECT_TRUE(status->text().endsWith(QStringLiteral(": xdg-open is missing")));
    EXPECT_LE(status->geometry().right(), form->width());

    // A reason too long for the room right of the line's place: the line moves left and shows it whole.
    const QString reason =
        QStringLiteral("no web browser can be started (xdg-open is missing: install xdg-utils)");
    shell().failure = reason;
    form->ListGrid1_CellHandClick(0, Col::VideoLink, shift);
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("Unable to open https://www.example.com/")));
    EXPECT_TRUE(status->text().endsWith(QStringLiteral(": ") + reason)) << status->text().toStdString();
    EXPECT_GE(status->x(), 0);
    EXPECT_LT(status->x(), home);
    EXPECT_LE(status->geometry().right(), form->width());
    EXPECT_TRUE(status->toolTip().isEmpty());
    // Wider than the window: it gives way at its end and the whole text is in the tool tip.
    shell().failure = QString(300, u'r');
    form->Label5_Click();
    EXPECT_GE(status->x(), 0);
    EXPECT_LE(status->geometry().right(), form->width());
    EXPECT_TRUE(status->toolTip().endsWith(shell().failure));
    EXPECT_TRUE(status->toolTip().startsWith(QStringLiteral("Unable to open ")));
    EXPECT_NE(status->text(), status->toolTip());
    // A short text goes back to the line's place.
    addVideo(Links::Second);
    EXPECT_EQ(status->text(), QStringLiteral("Complete"));
    EXPECT_EQ(status->x(), home);
    EXPECT_TRUE(status->toolTip().isEmpty());

    // A link that opens leaves the status line as it was.
    shell().failure.clear();
    form->Label1()->clear();
    form->Label3_Click();
    EXPECT_TRUE(form->Label1()->text().isEmpty());
}

TEST_F(FormTest, TheStartPageKeepsThePaneAndANavigationHandsTheAddressToTheBrowser)
{
    const QString start = QString::fromLatin1(brenlow::ProductSettings::StartPage);
    ASSERT_TRUE(waitFor([this, start] { return form->Text2() == start; }));
    EXPECT_FALSE(form->wb()->toPlainText().isEmpty());
    ASSERT_TRUE(waitFor([this] { return !form->WatcherTimer().isActive(); }, 5000));
    EXPECT_FALSE(form->wb()->isHidden());
    EXPECT_TRUE(shell().opened.isEmpty());
    // The watcher's own timer leaves the status line and the runner alone.
    EXPECT_TRUE(form->Label1()->text().isEmpty());

    // A click on a link of the page is a navigation away from it.
    const QString target = QStringLiteral("https://www.example.com/brenlow/help.html");
    emit form->wb()->anchorClicked(QUrl(target));
    ASSERT_TRUE(waitFor([this] { return form->wb()->isHidden(); }));
    EXPECT_EQ(shell().opened, QStringList{target});
    EXPECT_FALSE(form->WatcherTimer().isActive());
}

TEST_F(FormTest, ANavigationDuringARunDoesNotStopItsPolling)
{
    startHangingRun();
    form->wb()->Navigate(QStringLiteral("https://www.example.org/elsewhere"));
    ASSERT_TRUE(waitFor([this] { return form->wb()->isHidden(); }));
    EXPECT_TRUE(form->AVC1()->IsRunning());
    EXPECT_TRUE(form->AVC1()->PollingTimer().isActive());
    EXPECT_EQ(shell().opened, QStringList{QStringLiteral("https://www.example.org/elsewhere")});
    // The run still ends through its polling.
    form->Command3_Click();
    ASSERT_TRUE(waitFor([this] { return atRest(); }));
    EXPECT_EQ(form->Label1()->text(), QStringLiteral("Cancelled"));
}

TEST_F(FormTest, APageLoadAfterTheQueueShowsNoSecondDone)
{
    addVideo(Links::Basic);
    chooseFolder();
    downloadAll();
    ASSERT_EQ(messages(), QStringList{QStringLiteral("Done")});
    form->wb()->Navigate(QString::fromLatin1(brenlow::ProductSettings::StartPage));
    ASSERT_TRUE(waitFor([this] { return form->WatcherTimer().isActive(); }, 5000));
    ASSERT_TRUE(waitFor([this] { return !form->WatcherTimer().isActive(); }, 5000));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Done")});
    EXPECT_EQ(form->Label1()->text(), QStringLiteral("Complete"));
}

TEST_F(FormTest, ARightClickOverThePaneIsSwallowedAndElsewhereNot)
{
    QWidget* viewport = form->wb()->viewport();
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    // An application-wide filter sees the event first; a swallowed event is not delivered.
    bool paneMenuSeen = false;
    struct Probe : QObject
    {
        bool* seen;
        explicit Probe(bool* s) : seen(s) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::ContextMenu)
                *seen = true;
            return false;
        }
    } probe(&paneMenuSeen);
    viewport->installEventFilter(&probe);
    QCoreApplication::sendEvent(viewport, &release);
    QCoreApplication::sendEvent(viewport, &menu);
    EXPECT_FALSE(paneMenuSeen);

    bool gridMenuSeen = false;
    Probe gridProbe(&gridMenuSeen);
    form->ListGrid1()->installEventFilter(&gridProbe);
    QContextMenuEvent gridMenu(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QCoreApplication::sendEvent(form->ListGrid1(), &gridMenu);
    EXPECT_TRUE(gridMenuSeen);

    // After shutdown the filter is gone.
    form->Form_Unload();
    paneMenuSeen = false;
    QContextMenuEvent later(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QCoreApplication::sendEvent(viewport, &later);
    EXPECT_TRUE(paneMenuSeen);
    viewport->removeEventFilter(&probe);
    form->ListGrid1()->removeEventFilter(&gridProbe);
}

TEST_F(FormTest, ShutdownReleasesTheRunnerAndDeletesTheThumbnail)
{
    addVideo(Links::Basic);
    EXPECT_TRUE(QFileInfo::exists(form->ThumbnailPath()));
    startHangingRun();
    form->close();
    EXPECT_EQ(form->AVC1(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(form->ThumbnailPath()));
    form->Form_Unload(); // a second call does nothing
    // Closing without a thumbnail file ends normally as well.
    form.reset();
    form = std::make_unique<Form1>(m_appDir.path());
    form->close();
    EXPECT_FALSE(QFileInfo::exists(form->ThumbnailPath()));
}

// The window paints its own background (its first frame asks for the backing store's memory in
// whole first): the design's colour shows between the controls, on the screen and in a grab.
TEST_F(FormTest, TheDesignBackgroundShowsBetweenTheControls)
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QTest::qWait(0);
    const QColor back(202, 214, 244);
    const QPointF between(300, 20); // right of the Delete button
    const QImage grabbed = form->grab().toImage();
    const qreal ratio = grabbed.devicePixelRatio();
    EXPECT_EQ(grabbed.pixelColor((between * ratio).toPoint()), back);
    const QImage onScreen = form->screen()->grabWindow(form->winId()).toImage();
    ASSERT_FALSE(onScreen.isNull());
    EXPECT_EQ(onScreen.pixelColor((between * onScreen.devicePixelRatio()).toPoint()), back);
}

// The icon comes right after the first frame, and to a window never shown a second later.
TEST_F(FormTest, GetsItsIconAfterItsFirstFrameOrALittleLater)
{
    QApplication::setWindowIcon(QIcon()); // an earlier window may have set the program's
    const auto ownSizes = [](const QWidget& window) { return window.windowIcon().availableSizes(); };
    const QList<QSize> sizes{{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}};
    ASSERT_TRUE(ownSizes(*form).isEmpty());
    showForm();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ownSizes(*form) == sizes; }, 500));
    EXPECT_EQ(QApplication::windowIcon().availableSizes(), sizes) << "message boxes show it too";

    QApplication::setWindowIcon(QIcon());
    Form1 hidden(m_appDir.path());
    QTest::qWait(200);
    EXPECT_TRUE(ownSizes(hidden).isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ownSizes(hidden) == sizes; }, 3000));
}
