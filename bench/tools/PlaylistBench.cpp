// Adding a page of 20 videos, timed as whole runs: the window (Form1 with the bundled tool, the
// question answered Yes) from "Add Video Link" to its 20th row, against one
// "yt-dlp -J --yes-playlist" of the same page, and against one yt-dlp per video (what front ends
// that start yt-dlp for every video do). A local HTTP server serves the page and media made by ffmpeg.
//
// Usage: tool_playlist_bench [videos=20] [runs=3]   (QT_QPA_PLATFORM=offscreen without a display)

#include "app/Form1.h"
#include "bench/ToolHost.h"
#include "controls/button/glintbutton.h"
#include "controls/grid/ListGrid.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "runner/AVC.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

using brenlow::bench::Median;

/** Answers every question Yes and every other box Ok; the link comes from `link`. */
class YesDialogs final : public brenlow::Dialogs
{
public:
    QString link;
    Answer MessageBox(const QString&, const QString&, Icon, Buttons buttons) override
    {
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
    }
    std::optional<QString> InputBox(const QString&, const QString&, const QString&) override { return link; }
    QString BrowseForFolder(const QString&, const QString&) override { return {}; }
};

double timeProcess(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    p.start(program, args);
    p.waitForFinished(-1);
    return clock.nsecsElapsed() / 1e9;
}

/** Runs the event loop until done() holds, as the window's own loop runs: an event is handled when
 *  it comes (a wait that sleeps between passes, like QTest::qWaitFor's 10 ms, would add its sleeps to
 *  every step of the chain); done() is checked every millisecond. */
template <class Done> void runUntil(Done done, int timeoutMs)
{
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start(1);
    if (!done())
        loop.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int videos = argc > 1 ? std::max(2, atoi(argv[1])) : 20;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    QString toolDir = qEnvironmentVariable("BRENLOW_TOOL_DIR");
    if (toolDir.isEmpty())
        toolDir = QCoreApplication::applicationDirPath();
    const QString ytdlp = QStandardPaths::findExecutable(QStringLiteral("yt-dlp"));
    if (ytdlp.isEmpty()) {
        std::fprintf(stderr, "yt-dlp is not installed (scripts/deps.sh installs it)\n");
        return 1;
    }

    QTemporaryDir app, served, home;
    for (const char* var : {"HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
        qputenv(var, (home.path() + u'/' + QLatin1String(var)).toLocal8Bit());
    qunsetenv("BRENLOW_YTDLP");
    const QString site = served.path();
    QProcess ffmpeg;
    ffmpeg.setWorkingDirectory(site);
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                  QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                  QStringLiteral("testsrc=size=160x90:rate=10:duration=2"), QStringLiteral("-f"),
                  QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("sine=duration=2"),
                  QStringLiteral("-c:v"), QStringLiteral("libx264"), QStringLiteral("-preset"),
                  QStringLiteral("ultrafast"), QStringLiteral("-shortest"), QStringLiteral("clip.mp4")});
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0) {
        std::fprintf(stderr, "could not make the media\n");
        return 1;
    }
    QByteArray html("<!DOCTYPE html><html><head><title>Twenty Clips</title></head><body>\n");
    for (int i = 1; i <= videos; ++i) {
        // Every video a file and a picture of its own.
        QFile::copy(site + QStringLiteral("/clip.mp4"), site + QStringLiteral("/clip%1.mp4").arg(i));
        QImage picture(160, 90, QImage::Format_RGB32);
        picture.fill(QColor::fromHsv(i * 360 / videos % 360, 200, 220));
        picture.save(site + QStringLiteral("/poster%1.jpg").arg(i), "JPG");
        html += QStringLiteral("<video controls poster=\"/poster%1.jpg\"><source src=\"/clip%1.mp4\" "
                               "type=\"video/mp4\"></video>\n")
                    .arg(i)
                    .toUtf8();
    }
    QFile page(site + QStringLiteral("/list.html"));
    page.open(QIODevice::WriteOnly);
    page.write(html + "</body></html>\n");
    page.close();

    QFile::link(toolDir + QStringLiteral("/do.dll"), app.path() + QStringLiteral("/do.dll"));
    QProcess server;
    server.start(QStringLiteral("python3"), {QStringLiteral(BRENLOW_TEST_SERVER), site});
    if (!server.waitForStarted() || !server.waitForReadyRead(30000))
        return 1;
    const QString link =
        QStringLiteral("http://127.0.0.1:%1/list.html").arg(server.readLine().trimmed().toInt());

    YesDialogs dialogs;
    dialogs.link = link;
    brenlow::Host::setDialogs(&dialogs);
    std::vector<double> window, once, each;
    for (int run = 0; run < runs; ++run) {
        QDir(home.path() + QStringLiteral("/XDG_CACHE_HOME")).removeRecursively();
        int rows = 0;
        {
            Form1 form(app.path());
            QElapsedTimer clock;
            clock.start();
            form.Command1_Click();
            runUntil([&] { return form.Command(1)->Enabled() && !(form.AVC1() && form.AVC1()->IsRunning()); },
                     600000);
            window.push_back(clock.nsecsElapsed() / 1e9);
            rows = form.ListGrid1()->Rows();
        }
        once.push_back(timeProcess(ytdlp, {QStringLiteral("-J"), QStringLiteral("--yes-playlist"), link}));
        double perVideo = 0;
        for (int i = 1; i <= videos; ++i)
            perVideo += timeProcess(
                ytdlp, {QStringLiteral("-J"), QStringLiteral("--playlist-items"), QString::number(i), link});
        each.push_back(perVideo);
        std::printf("run %d: window %.3f s (%d rows), yt-dlp -J --yes-playlist %.3f s, one yt-dlp per video "
                    "%.3f s\n",
                    run + 1, window.back(), rows, once.back(), each.back());
        std::fflush(stdout);
    }
    brenlow::Host::setDialogs(nullptr);
    server.kill();
    server.waitForFinished();
    std::printf("adding %d videos: median window %.3f s, one yt-dlp -J --yes-playlist %.3f s, ratio %.2f "
                "(target <= 1.5); one yt-dlp per video %.3f s, ratio %.2f\n",
                videos, Median(window), Median(once), Median(window) / Median(once), Median(each),
                Median(each) / Median(once));
    return 0;
}
