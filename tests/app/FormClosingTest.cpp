// Closing during a run, where the folder picker opens, the new row in view, and the window's own boxes.
#include "FormFixture.h"

#include "app/GridDesign.h"
#include "controls/grid/ListGrid.h"
#include "runner/AVC.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTimer>

namespace Col = brenlow::Col;
using Icon = brenlow::Dialogs::Icon;

TEST_F(FormTest, ClosingDuringADownloadAsksFirstAndNoKeepsItRunning)
{
    addVideo(Links::HangDownload);
    chooseFolder();
    showForm();
    form->Command5_Click();
    ASSERT_TRUE(form->AVC1()->IsRunning());

    dialogs().messageAnswers.push_back(brenlow::Dialogs::Answer::No);
    EXPECT_FALSE(form->close());
    ASSERT_FALSE(boxes().empty());
    EXPECT_EQ(boxes().back().Text, QStringLiteral("A download is running. Stop it and close?"));
    EXPECT_EQ(boxes().back().Buttons, brenlow::Dialogs::Buttons::YesNo);
    ASSERT_NE(form->AVC1(), nullptr);
    EXPECT_TRUE(form->AVC1()->IsRunning());
    EXPECT_TRUE(form->isVisible());

    dialogs().messageAnswers.push_back(brenlow::Dialogs::Answer::Yes);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(form->AVC1(), nullptr);
    // At rest nothing is asked.
    const size_t asked = boxes().size();
    form = std::make_unique<Form1>(m_appDir.path());
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_EQ(boxes().size(), asked);
}

TEST_F(FormTest, TheFolderPickerOpensInTheChosenFolderElseInTheDownloadFolder)
{
    form->Command2_Click(); // cancelled
    chooseFolder();
    form->Command2_Click(); // cancelled: the folder stays
    ASSERT_EQ(m_detailed.startFolders.size(), 3);
    EXPECT_EQ(m_detailed.startFolders[0], QStandardPaths::writableLocation(QStandardPaths::DownloadLocation));
    EXPECT_EQ(m_detailed.startFolders[2], m_downloads.path() + QLatin1Char('/'));
    EXPECT_EQ(form->Text1()->text(), m_downloads.path() + QLatin1Char('/'));
}

TEST_F(FormTest, ANewRowIsScrolledIntoView)
{
    showForm();
    ListGrid* grid = form->ListGrid1();
    for (const QString& link : {Links::Basic, Links::Second, Links::Third, Links::Unicode})
        addVideo(link);
    ASSERT_EQ(grid->Rows(), 4);
    ASSERT_FALSE(grid->verticalScrollBar()->isHidden()) << "the list is expected to need scrolling";
    grid->Refresh();
    EXPECT_GE(grid->RowLastVisible(), 3);
    EXPECT_FALSE(grid->layout().cellRect(3, Col::VideoName).isNull());
}

namespace {

/** Runs `inspect` on the window's modal box once it is shown, then closes it. */
void whenShown(const std::function<void(QWidget*)>& inspect)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, inspect] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        inspect(modal);
        // Whatever the checks found, the box goes, or the test would wait on it for ever.
        if (QApplication::activeModalWidget() == modal)
            modal->close();
    });
    timer->start();
}

struct BoxCase
{
    brenlow::Message message;
    QMessageBox::Icon icon;
};

class WindowBoxes : public ::testing::TestWithParam<BoxCase>
{
};

} // namespace

TEST_P(WindowBoxes, ShowTheToolsTextAsItIsWithTheirIconAndAWholeTitle)
{
    QWidget owner;
    brenlow::WindowDialogs dialogs(&owner);
    const BoxCase& c = GetParam();
    bool inspected = false;
    whenShown([&](QWidget* modal) {
        inspected = true;
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr) << modal->metaObject()->className();
        EXPECT_EQ(box->icon(), c.icon);
        EXPECT_EQ(box->text(), c.message.Text);
        EXPECT_EQ(box->informativeText(), c.message.Informative);
        EXPECT_EQ(box->detailedText(), c.message.Details);
        for (QLabel* label : box->findChildren<QLabel*>()) {
            if (!label->text().isEmpty() && label->pixmap().isNull()) {
                EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
            }
        }
        // Wide enough for its title beside the title bar's buttons.
        const QFontMetrics title(QApplication::font("QMdiSubWindowTitleBar"));
        EXPECT_GE(box->width(), title.horizontalAdvance(QStringLiteral("Brenlow 7.0")) + 100);
        box->done(QMessageBox::Ok);
    });
    dialogs.ShowWholeMessage(c.message, QStringLiteral("Brenlow 7.0"));
    EXPECT_TRUE(inspected);
}

INSTANTIATE_TEST_SUITE_P(
    Form, WindowBoxes,
    ::testing::Values(BoxCase{{QStringLiteral("Done"), {}, {}, Icon::Information}, QMessageBox::Information},
                      BoxCase{{QStringLiteral("Done"), QStringLiteral("2 of 3 downloads failed."),
                               QStringLiteral("A\nERROR: <b>x</b>"), Icon::Warning},
                              QMessageBox::Warning},
                      BoxCase{{QStringLiteral("Error"),
                               QStringLiteral("<h1 style=\"color:green\">Download finished</h1>"),
                               QStringLiteral("whole output"), Icon::Critical},
                              QMessageBox::Critical}));

TEST(WindowInputBox, TakesAPastedLinkWhole)
{
    QWidget owner;
    brenlow::WindowDialogs dialogs(&owner);
    const QString link = QStringLiteral("https://a.example/v?x=") + QString(50000, QLatin1Char('x'));
    whenShown([&](QWidget* modal) {
        auto* input = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(input, nullptr);
        auto* edit = input->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->insert(link); // as a paste does
        input->accept();
    });
    const std::optional<QString> answer =
        dialogs.InputBox(QStringLiteral("Enter Video Link:"), QStringLiteral(" "), QString());
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->size(), link.size());
}
