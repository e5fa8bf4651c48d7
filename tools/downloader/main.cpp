// The bundled downloader tool, installed as do.dll beside brenlow. It answers from a catalogue of
// simulated videos, so the whole workflow can be tried and tested without a video site; other links
// go to yt-dlp where it is installed, or are fetched directly as media files.

#include "Catalogue.h"
#include "Child.h"
#include "DirectLink.h"
#include "Options.h"
#include "Output.h"
#include "Simulator.h"
#include "YtDlp.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QUrl>

#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// One file per run, named so that sorting by name gives the order of the runs; written under a
// temporary name first, so a reader never sees half of it.
void recordArguments(int argc, char* argv[])
{
    const QByteArray dir = qgetenv("BRENLOW_TOOL_RECORD_DIR");
    if (dir.isEmpty())
        return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const QByteArray stamp = QByteArray::number(static_cast<qint64>(now.tv_sec) * 1000000000 + now.tv_nsec)
                                 .rightJustified(20, '0') +
                             '-' + QByteArray::number(getpid()).rightJustified(8, '0');
    const QString base = QString::fromLocal8Bit(dir + '/' + stamp);
    QByteArray bytes;
    for (int i = 1; i < argc; ++i)
        bytes += QByteArray(argv[i]) + '\0';
    QFile file(base + QStringLiteral(".tmp"));
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) {
        file.close();
        file.rename(base + QStringLiteral(".args"));
    }
}

QByteArray peakMemoryKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return "0";
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0);
    }
    return "0";
}

// The largest peak of the programs the tool started (each under its guard, which waits for them).
QByteArray childrenPeakMemoryKiB()
{
    rusage usage{};
    return ::getrusage(RUSAGE_CHILDREN, &usage) == 0
               ? QByteArray::number(static_cast<qint64>(usage.ru_maxrss))
               : QByteArray("0");
}

void recordTime(const QElapsedTimer& clock)
{
    const QByteArray path = qgetenv("BRENLOW_TOOL_TIMING_FILE");
    if (path.isEmpty())
        return;
    QFile file(QString::fromLocal8Bit(path));
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(QByteArray::number(clock.nsecsElapsed() / 1e9, 'f', 6) + ' ' + peakMemoryKiB() + ' ' +
                   childrenPeakMemoryKiB() + '\n');
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

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet(brenlow::tool::kGuardVariable))
        return brenlow::tool::RunGuard(argc, argv);
    QElapsedTimer clock;
    clock.start();
    recordArguments(argc, argv);
    QCoreApplication app(argc, argv);
    brenlow::tool::EnableGuard();
    const int code = run(argc, argv);
    recordTime(clock);
    return code;
}
