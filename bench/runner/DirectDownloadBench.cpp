// A real download through the whole workflow against curl. A local HTTP server serves a file of
// the given size; Brenlow's runner runs the bundled tool for the format list, the thumbnail, the
// name and the download (collecting the output and reading the progress as the window does), and
// curl fetches the same file. Prints the median wall times, their ratio, and peak memory.
//
// Usage: runner_direct_bench [megabytes=500] [runs=3]

#include "app/ProgressParser.h"
#include "bench/ToolHost.h"
#include "runner/AVC.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

using Host = brenlow::bench::ToolHost;
using brenlow::bench::Median;

long selfPeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const qint64 megabytes = argc > 1 ? std::max(1, atoi(argv[1])) : 500;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    QString toolDir = qEnvironmentVariable("BRENLOW_TOOL_DIR");
    if (toolDir.isEmpty())
        toolDir = QCoreApplication::applicationDirPath();

    QTemporaryDir app, served, out;
    {
        // Sparse: quick to make, and served from the page cache for both contenders.
        QFile big(served.path() + QStringLiteral("/big.mp4"));
        if (!big.open(QIODevice::WriteOnly) || !big.resize(megabytes * 1000 * 1000))
            return 1;
    }
    QFile::link(toolDir + QStringLiteral("/do.dll"), app.path() + QStringLiteral("/do.dll"));
    QProcess server;
    server.start(QStringLiteral("python3"), {QStringLiteral(BRENLOW_TEST_SERVER), served.path()});
    if (!server.waitForStarted() || !server.waitForReadyRead(30000))
        return 1;
    const int port = server.readLine().trimmed().toInt();
    const QString link = QStringLiteral("http://127.0.0.1:%1/big.mp4").arg(port);
    const QString stats = app.path() + QStringLiteral("/stats");
    qputenv("BRENLOW_TOOL_TIMING_FILE", stats.toLocal8Bit());
    // The tool's own direct fetching, not yt-dlp's.
    qputenv("BRENLOW_YTDLP", "");

    Host host;
    host.app = app.path();
    host.link = link;
    host.folder = out.path() + u'/';
    std::vector<double> workflow, direct;
    long toolPeak = 0, curlPeak = 0;
    for (int i = 0; i < runs; ++i) {
        AVC avc(host);
        QString text4;
        double lastPercent = 0;
        int stage = 0;
        QObject::connect(&avc, &AVC::DataOutput, [&](QString& s) {
            const QString chunk = brenlow::ChunkText(s);
            text4 += QStringLiteral("\r\n") + chunk;
            if (stage == 5)
                lastPercent = brenlow::ProgressPercent(chunk);
        });
        QEventLoop loop;
        QObject::connect(&avc, &AVC::Complete, &loop, &QEventLoop::quit);
        QElapsedTimer clock;
        clock.start();
        for (const int s : {1, 2, 3, 5}) {
            stage = s;
            text4.clear();
            brenlow::bench::StartStage(avc, s);
            loop.exec();
        }
        workflow.push_back(clock.nsecsElapsed() / 1e9);
        QFile statsFile(stats);
        statsFile.open(QIODevice::ReadOnly);
        toolPeak =
            std::max(toolPeak, statsFile.readAll().trimmed().split('\n').last().split(' ').value(1).toLong());
        const qint64 got = QFileInfo(out.path() + QStringLiteral("/video.mp4")).size();
        std::printf("workflow: %.2f s, exit %d, last progress %.1f%%, %lld bytes\n", workflow.back(),
                    avc.LastExitCode(), lastPercent, static_cast<long long>(got));
        QFile::remove(out.path() + QStringLiteral("/video.mp4"));

        QProcess curl;
        curl.setProcessChannelMode(QProcess::SeparateChannels);
        clock.restart();
        curl.start(QStringLiteral("/usr/bin/time"),
                   {QStringLiteral("-f"), QStringLiteral("%M"), QStringLiteral("curl"), QStringLiteral("-s"),
                    QStringLiteral("-o"), out.path() + QStringLiteral("/curl.mp4"), link});
        curl.waitForFinished(-1);
        direct.push_back(clock.nsecsElapsed() / 1e9);
        curlPeak = std::max(curlPeak, curl.readAllStandardError().trimmed().split('\n').last().toLong());
        std::printf("curl:     %.2f s\n", direct.back());
        QFile::remove(out.path() + QStringLiteral("/curl.mp4"));
    }
    server.kill();
    server.waitForFinished();
    std::printf("%lld MB: median workflow %.2f s, curl %.2f s, ratio %.3f\n",
                static_cast<long long>(megabytes), Median(workflow), Median(direct),
                Median(workflow) / Median(direct));
    std::printf("peak memory: tool %ld KiB, runner process %ld KiB, curl %ld KiB\n", toolPeak, selfPeakKiB(),
                curlPeak);
    return 0;
}
