// The core of the bundled downloader tool (do-parts/do-core.so, entered from do.dll). It answers from a
// catalogue of simulated videos, so the whole workflow can be tried and tested without a video site;
// other links go to yt-dlp where it is installed, or are fetched directly as media files.

#include "Catalogue.h"
#include "Child.h"
#include "DirectLink.h"
#include "Options.h"
#include "Output.h"
#include "QuickAnswer.h"
#include "Simulator.h"
#include "YtDlp.h"

#include <QCoreApplication>
#include <QUrl>

#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The largest peak of the programs the tool started (each under its guard, which waits for them).
long childrenPeakMemoryKiB()
{
    rusage usage{};
    return ::getrusage(RUSAGE_CHILDREN, &usage) == 0 ? usage.ru_maxrss : 0;
}

int run(int argc, char* argv[])
{
    using namespace brenlow::tool;
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    Output out;
    const Options options = ParseOptions(args);
    if (!options.problems.isEmpty()) {
        out.errorLine(QStringLiteral("Usage: do.dll [OPTIONS] URL"));
        out.errorLine(QString());
        out.errorLine(QStringLiteral("do.dll: error: %1").arg(options.problems.first()));
        return 2;
    }
    QString error;
    const Catalogue catalogue = Catalogue::load(&error);
    if (!error.isEmpty()) {
        out.line(QStringLiteral("ERROR: %1").arg(error));
        return 1;
    }
    if (const auto video = catalogue.find(options.link))
        return RunSimulated(*video, options, out);
    if (IsDirectLink(options.link)) {
        // Pages of video sites go through yt-dlp where it is installed; files and the rest are
        // fetched directly.
        const QString ytdlp = QUrl(options.link).isLocalFile() ? QString() : FindYtDlp();
        return ytdlp.isEmpty() ? RunDirect(options, out) : RunYtDlp(ytdlp, options, out);
    }
    out.line(QStringLiteral("ERROR: Unsupported URL: %1").arg(options.link));
    return 1;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int brenlow_tool_main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet(brenlow::tool::kGuardVariable))
        return brenlow::tool::RunGuard(argc, argv);
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    brenlow::tool::quick::RecordArguments(argc, argv);
    QCoreApplication app(argc, argv);
    brenlow::tool::EnableGuard();
    const int code = run(argc, argv);
    brenlow::tool::quick::RecordTime(start, childrenPeakMemoryKiB());
    return code;
}
