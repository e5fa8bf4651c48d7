// Starts the main window with two demo rows from the bundled tool, downloads part of the first
// and saves a picture of the window. Used by scripts/screenshot.sh for the README.
#include "app/Form1.h"
#include "controls/button/glintbutton.h"
#include "controls/grid/ListGrid.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "runner/AVC.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <deque>

namespace {

/** Answers the input box and the folder picker from lists; message boxes are only printed. */
class DemoDialogs final : public brenlow::Dialogs
{
public:
    std::deque<QString> links;
    QString folder;
    QString picture; // the window's picture; a question is saved beside it

    Answer MessageBox(const QString& text, const QString& title, Icon, Buttons buttons) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        if (buttons != Buttons::YesNo)
            return Answer::Ok;
        // A link of several videos: the question as the user sees it goes beside the picture, and
        // the answer is Yes.
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No);
        box.show();
        if (!QTest::qWaitForWindowExposed(&box))
            std::fprintf(stderr, "the question was not shown\n");
        box.grab().save(QFileInfo(picture).path() + u'/' + QFileInfo(picture).completeBaseName() +
                        QStringLiteral("-question.png"));
        return Answer::Yes;
    }
    std::optional<QString> InputBox(const QString&, const QString&, const QString&) override
    {
        if (links.empty())
            return std::nullopt;
        QString link = links.front();
        links.pop_front();
        return link;
    }
    QString BrowseForFolder(const QString&, const QString&) override { return folder; }
};

bool waitFor(const std::function<bool()>& condition)
{
    return QTest::qWaitFor(condition, 60000);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brenlow"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("brenlow.png");

    QTemporaryDir downloads;
    DemoDialogs dialogs;
    // Links after the file name take the place of the two demo videos (a page of a local site, say).
    for (int i = 2; i < argc; ++i)
        dialogs.links.push_back(QString::fromLocal8Bit(argv[i]));
    if (dialogs.links.empty())
        dialogs.links = {QStringLiteral("https://videos.brenlow.example/watch?v=sunrise"),
                         QStringLiteral("https://videos.brenlow.example/watch?v=citylights")};
    dialogs.folder = downloads.path();
    dialogs.picture = out;
    brenlow::Host::setDialogs(&dialogs);

    Form1 window;
    window.show();
    const auto atRest = [&] {
        return !window.AVC1()->IsRunning() && window.CurrentStage() != Form1::ProfileList;
    };
    const int links = static_cast<int>(dialogs.links.size());
    bool addingShown = false;
    for (int i = 0; i < links; ++i) {
        const int before = window.ListGrid1()->Rows();
        window.Command1_Click();
        // A link of several videos adds several rows; the window is saved once while it adds them.
        const bool added = waitFor([&] {
            if (!addingShown && window.ListGrid1()->Rows() == before + 2 && !atRest()) {
                addingShown =
                    window.grab().save(QFileInfo(out).path() + u'/' + QFileInfo(out).completeBaseName() +
                                       QStringLiteral("-adding.png"));
            }
            return window.ListGrid1()->Rows() > before && atRest() && window.Command(1)->Enabled();
        });
        if (!added) {
            std::fprintf(stderr, "the demo row %d was not added\n", i + 1);
            return 1;
        }
    }
    window.Command2_Click();
    window.Command5_Click();
    waitFor([&] { return window.ListGrid1()->CellProgressValue(0, 5) >= 40; });
    QTest::qWait(100); // let the last repaint reach the screen
    const bool saved = window.grab().save(out);
    window.Command3_Click();
    waitFor([&] { return !window.AVC1()->IsRunning(); });
    brenlow::Host::setDialogs(nullptr);
    std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save", qPrintable(out));
    return saved ? 0 : 1;
}
