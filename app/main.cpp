#include "app/Form1.h"
#include "app/MessageDetails.h"
#include "platform/Host.h"
#include "platform/PrivateFolder.h"
#include "platform/ProcessFamily.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QStyleFactory>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onQuitSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

/** A terminate, hang-up or interrupt signal closes the windows as the user would, so shutdown
 *  ends the running tool and removes the window's private folder. The handler only writes to a
 *  socket; the event loop does the rest. */
void closeWindowsOnQuitSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &byte, 1);
        QApplication::closeAllWindows();
        QApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT})
        sigaction(sig, &action, nullptr);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brenlow"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    closeWindowsOnQuitSignals();
    // Whatever a download leaves running stays this program's to end; folders of windows that were
    // killed are cleared away.
    brenlow::ProcessFamily::SetSubreaper(true);
    brenlow::ProcessFamily::CollectEveryOrphan(true);
    brenlow::PrivateFolder::RemoveLeftovers();
    Form1 window;
    // Boxes and the folder picker are modal to the window.
    brenlow::WindowDialogs dialogs(&window);
    brenlow::Host::setDialogs(&dialogs);
    window.show();
    const int code = QApplication::exec();
    brenlow::Host::setDialogs(nullptr);
    return code;
}
