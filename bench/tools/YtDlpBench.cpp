// The bundled tool as a bridge to yt-dlp, timed as whole runs against yt-dlp alone. A local HTTP
// server serves a page with a short clip made by ffmpeg and a page with a large file.
//  - Adding a video: the runner runs the format list, thumbnail and name stages as the window does
//    (a fresh extraction each time), against one bare "yt-dlp -J" of the same page.
//  - Downloading: the runner runs the download stage of the large page right after its format list,
//    as the window does, against "yt-dlp -o FILE LINK" alone with its output going to /dev/null; and
//    once more with the cached page gone, as when the download comes long after the list.
// Prints every run, the medians and their ratios.
//
// Usage: tool_ytdlp_bench [megabytes=300] [runs=3]

#include "app/ProgressParser.h"
#include "bench/ToolHost.h"
#include "runner/AVC.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

using Host = brenlow::bench::ToolHost;
using brenlow::bench::Median;

bool ffmpeg(const QStringList& args, const QString& dir)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-nostdin"), QStringLiteral("-loglevel"),
                                                  QStringLiteral("error"), QStringLiteral("-y")} +
                                          args);
    return p.waitForFinished(120000) && p.exitCode() == 0;
}

/** Runs the stages on the runner, one after the other; returns the collected output of the last. */
QString runStages(AVC& avc, const QList<int>& stages, double* lastPercent)
{
    QString text4;
    int stage = 0;
    QMetaObject::Connection data = QObject::connect(&avc, &AVC::DataOutput, [&](QString& s) {
        const QString chunk = brenlow::ChunkText(s);
        text4 += QStringLiteral("\r\n") + chunk;
        // As the window does: a chunk without a figure leaves the last one standing.
        if (stage == 5 && lastPercent)
            *lastPercent = brenlow::ProgressFigure(chunk).value_or(*lastPercent);
    });
    QEventLoop loop;
    QMetaObject::Connection done = QObject::connect(&avc, &AVC::Complete, &loop, &QEventLoop::quit);
    for (const int s : stages) {
        stage = s;
        text4.clear();
        brenlow::bench::StartStage(avc, s);
        loop.exec();
    }
    QObject::disconnect(data);
    QObject::disconnect(done);
    return text4;
}

/** The code of the last (default) profile of a format-list output. */
QString bestCode(const QString& output)
{
    const QRegularExpression line(QStringLiteral("(?m)^([0-9]{1,3}) {6,}.*\\(best\\)\\r?$"));
    QString code;
    for (auto it = line.globalMatch(output); it.hasNext();)
        code = it.next().captured(1);
    return code;
}

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

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const qint64 megabytes = argc > 1 ? std::max(1, atoi(argv[1])) : 300;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    QString toolDir = qEnvironmentVariable("BRENLOW_TOOL_DIR");
    if (toolDir.isEmpty())
        toolDir = QCoreApplication::applicationDirPath();
    const QString ytdlp = QStandardPaths::findExecutable(QStringLiteral("yt-dlp"));
    if (ytdlp.isEmpty()) {
        std::fprintf(stderr, "yt-dlp is not installed (scripts/deps.sh installs it)\n");
        return 1;
    }

    QTemporaryDir app, served, out, cache;
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    const QString site = served.path();
    const bool made =
        ffmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                QStringLiteral("testsrc=size=320x180:rate=10:duration=2"), QStringLiteral("-f"),
                QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("sine=duration=2"),
                QStringLiteral("-c:v"), QStringLiteral("libx264"), QStringLiteral("-preset"),
                QStringLiteral("ultrafast"), QStringLiteral("-shortest"), QStringLiteral("clip.mp4")},
               site) &&
        ffmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                QStringLiteral("testsrc=size=320x180:duration=1"), QStringLiteral("-frames:v"),
                QStringLiteral("1"), QStringLiteral("thumb.jpg")},
               site);
    QFile big(site + QStringLiteral("/big.mp4"));
    // Sparse: quick to make, and served from the page cache for both contenders.
    if (!made || !big.open(QIODevice::WriteOnly) || !big.resize(megabytes * 1000 * 1000)) {
        std::fprintf(stderr, "could not make the media\n");
        return 1;
    }
    big.close();
    auto page = [&](const char* name, const char* title, const char* video) {
        QFile f(site + u'/' + QLatin1String(name));
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray("<html><head><meta property=\"og:title\" content=\"") + title +
                "\"><meta property=\"og:image\" content=\"/thumb.jpg\">"
                "<meta property=\"og:video\" content=\"" +
                video + "\"></head><body></body></html>");
    };
    page("clip.html", "Clip", "/clip.mp4");
    page("big.html", "Big", "/big.mp4");

    QFile::link(toolDir + QStringLiteral("/do.dll"), app.path() + QStringLiteral("/do.dll"));
    QProcess server;
    server.start(QStringLiteral("python3"), {QStringLiteral(BRENLOW_TEST_SERVER), site});
    if (!server.waitForStarted() || !server.waitForReadyRead(30000))
        return 1;
    const int port = server.readLine().trimmed().toInt();
    const QString clipLink = QStringLiteral("http://127.0.0.1:%1/clip.html").arg(port);
    const QString bigLink = QStringLiteral("http://127.0.0.1:%1/big.html").arg(port);

    Host host;
    host.app = app.path();
    host.folder = out.path() + u'/';
    AVC avc(host);
    std::vector<double> add, bare, fetch, fetchCold, alone;
    for (int i = 0; i < runs; ++i) {
        QDir(cache.path()).removeRecursively();
        host.link = clipLink;
        QElapsedTimer clock;
        clock.start();
        runStages(avc, {1, 2, 3}, nullptr);
        add.push_back(clock.nsecsElapsed() / 1e9);
        bare.push_back(timeProcess(ytdlp, {QStringLiteral("-J"), clipLink}));
        std::printf("add: runner %.3f s, yt-dlp -J %.3f s, picture %s\n", add.back(), bare.back(),
                    QFile::exists(app.path() + QStringLiteral("/aaa.jpg")) ? "yes" : "no");

        host.link = bigLink;
        host.code = bestCode(runStages(avc, {1}, nullptr));
        double percent = 0;
        clock.restart();
        runStages(avc, {5}, &percent);
        fetch.push_back(clock.nsecsElapsed() / 1e9);
        const qint64 got = QFileInfo(out.path() + QStringLiteral("/video.mp4")).size();
        QFile::remove(out.path() + QStringLiteral("/video.mp4"));
        // Long after the list was read: yt-dlp reads the page again.
        QDir(cache.path() + QStringLiteral("/brenlow/pages")).removeRecursively();
        clock.restart();
        runStages(avc, {5}, nullptr);
        fetchCold.push_back(clock.nsecsElapsed() / 1e9);
        QFile::remove(out.path() + QStringLiteral("/video.mp4"));
        alone.push_back(
            timeProcess(ytdlp, {QStringLiteral("-o"), out.path() + QStringLiteral("/alone.%(ext)s"),
                                QStringLiteral("--"), bigLink}));
        const qint64 aloneGot = QFileInfo(out.path() + QStringLiteral("/alone.mp4")).size();
        QFile::remove(out.path() + QStringLiteral("/alone.mp4"));
        std::printf("download %lld MB: runner %.3f s (code %s, last progress %.1f%%, %lld bytes), "
                    "page read again %.3f s, yt-dlp alone %.3f s (%lld bytes)\n",
                    static_cast<long long>(megabytes), fetch.back(), qPrintable(host.code), percent,
                    static_cast<long long>(got), fetchCold.back(), alone.back(),
                    static_cast<long long>(aloneGot));
    }
    server.kill();
    server.waitForFinished();
    std::printf("adding a video: median runner %.3f s, yt-dlp -J %.3f s, ratio %.3f (target <= 1.3)\n",
                Median(add), Median(bare), Median(add) / Median(bare));
    std::printf(
        "downloading %lld MB: median runner %.3f s, yt-dlp alone %.3f s, ratio %.3f (target <= 1.05)\n",
        static_cast<long long>(megabytes), Median(fetch), Median(alone), Median(fetch) / Median(alone));
    std::printf("downloading %lld MB with the page read again: median runner %.3f s, ratio %.3f\n",
                static_cast<long long>(megabytes), Median(fetchCold), Median(fetchCold) / Median(alone));
    return 0;
}
