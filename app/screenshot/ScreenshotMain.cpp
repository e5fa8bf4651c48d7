// Starts the main window with two demo rows from the bundled tool, downloads part of the first
// and saves a picture of the window. Used by scripts/screenshot.sh for the README.
#include "app/Form1.h"
#include "controls/grid/ListGrid.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "runner/AVC.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
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

    Answer MessageBox(const QString& text, const QString&, Icon, Buttons) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return Answer::Ok;
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
    brenlow::Host::setDialogs(&dialogs);

    Form1 window;
    window.show();
    const auto atRest = [&] {
        return !window.AVC1()->IsRunning() && window.CurrentStage() != Form1::ProfileList;
    };
    const int rows = static_cast<int>(dialogs.links.size());
    for (int i = 0; i < rows; ++i) {
        window.Command1_Click();
        if (!waitFor([&] { return window.ListGrid1()->Rows() == i + 1 && atRest(); })) {
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
