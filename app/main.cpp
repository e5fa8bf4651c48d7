#include "app/Form1.h"
#include "app/MessageDetails.h"
#include "app/StartupWork.h"
#include "platform/Host.h"
#include "platform/PrivateFolder.h"
#include "platform/ProcessFamily.h"

#include <QApplication>
#include <QDBusConnection>
#include <QSocketNotifier>
#include <QStyleFactory>

#include <csignal>
#include <cstdio>
#include <cstring>
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
        // A signal to quit is no stray click: the window closes without asking first.
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* form = qobject_cast<Form1*>(widget))
                form->Form_Unload();
        }
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

constexpr char HelpText[] =
    "Usage: brenlow [--help | --version]\n"
    "\n"
    "Brenlow is a desktop download manager for online videos. Add the links of video pages; it\n"
    "lists each video's formats, thumbnail and name and downloads the list one video after the\n"
    "other. All network work is done by the downloader tool do.dll in the program's folder.\n"
    "\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "The bundled do.dll runs the first yt-dlp on PATH, or the program BRENLOW_YTDLP names, and\n"
    "keeps the pages it reads in $XDG_CACHE_HOME/brenlow/pages (~/.cache/brenlow/pages).\n"
    "See brenlow(1).\n";

/** --help and --version answer on standard output without opening a window (or needing a
 *  display). Returns true when one was given. */
bool answeredCommandLine(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Brenlow %s\n", BRENLOW_VERSION);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(HelpText, stdout);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (answeredCommandLine(argc, argv))
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    // Work that needs no window goes on beside the connection to the display and the building of
    // the window: the font configuration, the window's pictures, and the folders of windows that
    // were killed, which are cleared away.
    brenlow::StartupWork startup([] {
        // The toolkit's accessibility bridge connects to the session bus when the window's first
        // control is made, and the window would wait for that (some milliseconds, more where no bus
        // runs and one is looked for): the connection is made here instead.
        (void)QDBusConnection::sessionBus();
        Form1::PreparePictures();
        brenlow::PrivateFolder::RemoveLeftovers();
    });
    QApplication app(argc, argv);
    startup.applicationStarted();
    QApplication::setApplicationName(QStringLiteral("Brenlow"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    closeWindowsOnQuitSignals();
    // Whatever a download leaves running stays this program's to end.
    brenlow::ProcessFamily::SetSubreaper(true);
    brenlow::ProcessFamily::CollectEveryOrphan(true);
    Form1 window;
    // Boxes and the folder picker are modal to the window.
    brenlow::WindowDialogs dialogs(&window);
    brenlow::Host::setDialogs(&dialogs);
    window.show();
    const int code = QApplication::exec();
    brenlow::Host::setDialogs(nullptr);
    startup.finish();
    return code;
}
