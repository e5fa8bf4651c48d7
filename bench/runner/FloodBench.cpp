// A flood of output through the runner. The bundled tool prints 50 MB of chatter; for each run this
// prints three figures:
//  - the time from the start until Complete, against the same tool piped into `cat > /dev/null`
//    (their ratio: 1.0 means the runner costs nothing over a plain pipe; the target is 1.5 at most);
//  - the runner process's peak memory above its resident size before the run (target 20 MB; the
//    first run is the telling one, later ones start with the heap the first left behind);
//  - the longest time the event loop was held, seen as the lateness of a 1 ms timer (target 50 ms),
//    and how long the loop had been held when Complete was raised (the run's last tick); on a busy
//    machine these include the time the program was not even running, so the longest hold is also
//    given in this thread's processor time, which counts only the program's own work.
// The medians of the times and the worst of the others end the report. The machine's load moves
// the times a lot: use many runs.
//
// Usage: runner_flood_bench [runs=5] [microseconds of work per chunk=0] [link...]
//        (BRENLOW_TOOL_DIR defaults to this program's folder)

#include "runner/AVC.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {

class Host final : public AVCHost
{
public:
    QString app, link;
    QString TemplateText(int n) const override
    {
        return n == 1 ? QStringLiteral(" -s --skip-download -i -F --no-playlist \"") : QString();
    }
    QString DownloadFolder() const override { return {}; }
    QString CurrentLink() const override { return link; }
    QString FormatCode() const override { return {}; }
    QString DownloadLink() const override { return {}; }
    QString DownloadName() const override { return {}; }
    QString ApplicationFolder() const override { return app; }
};

qint64 statusKiB(const char* field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Starts the peak resident size afresh (VmHWM), so that each run has its own.
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

qint64 threadNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

void burn(int microseconds)
{
    if (microseconds <= 0)
        return;
    QElapsedTimer t;
    t.start();
    while (t.nsecsElapsed() < microseconds * 1000LL) {
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const int workPerChunk = argc > 2 ? std::max(0, atoi(argv[2])) : 0;
    Host host;
    QString toolDir = qEnvironmentVariable("BRENLOW_TOOL_DIR");
    if (toolDir.isEmpty())
        toolDir = QCoreApplication::applicationDirPath();
    QTemporaryDir dir;
    host.app = dir.path();
    const QString tool = dir.path() + QStringLiteral("/do.dll");
    if (!QFile::link(toolDir + QStringLiteral("/do.dll"), tool)) {
        std::fprintf(stderr, "cannot link the tool from %s\n", qPrintable(toolDir));
        return 1;
    }

    QStringList links;
    for (int i = 3; i < argc; ++i)
        links << QString::fromLocal8Bit(argv[i]);
    if (links.isEmpty())
        links = {QStringLiteral("https://test.brenlow.example/flood-50mb")};
    for (const QString& link : links) {
        host.link = link;
        std::printf("%s, %d us of work per chunk\n", qPrintable(link), workPerChunk);
        std::vector<double> runner, pipe, memory, held, cpu, completeHeld, worked;
        for (int i = 0; i < runs; ++i) {
            qint64 chars = 0;
            qint64 longestGap = 0;
            qint64 longestWork = 0;
            qint64 heldAtComplete = 0;
            double untilComplete = 0;
            const double cpuBefore = cpuSeconds();
            QStringList args;
            resetPeak();
            const qint64 idle = statusKiB("VmRSS:");
            {
                AVC avc(host);
                QEventLoop loop;
                QTimer::singleShot(600000, &loop, [&] { loop.exit(1); });
                QObject::connect(&avc, &AVC::DataOutput, [&](QString& s) {
                    const qsizetype nul = s.indexOf(QChar(0));
                    chars += nul < 0 ? s.size() : nul;
                    burn(workPerChunk);
                });
                // The lateness of a 1 ms timer is how long the event loop was kept from the window.
                QElapsedTimer sinceProbe;
                qint64 workAtProbe = threadNanoseconds();
                QObject::connect(&avc, &AVC::Complete, &loop, [&] {
                    heldAtComplete = sinceProbe.nsecsElapsed();
                    loop.exit(0);
                });
                QTimer probe;
                probe.setTimerType(Qt::PreciseTimer);
                probe.setInterval(1);
                QObject::connect(&probe, &QTimer::timeout, [&] {
                    longestGap = std::max(longestGap, sinceProbe.nsecsElapsed());
                    sinceProbe.start();
                    const qint64 work = threadNanoseconds();
                    longestWork = std::max(longestWork, work - workAtProbe);
                    workAtProbe = work;
                });
                QElapsedTimer clock;
                clock.start();
                bool overwrite = true;
                avc.ConvertMedia2(overwrite);
                sinceProbe.start();
                workAtProbe = threadNanoseconds();
                probe.start();
                if (loop.exec() != 0) {
                    std::fprintf(stderr, "the run did not complete\n");
                    return 1;
                }
                untilComplete = clock.nsecsElapsed() / 1e9;
                args = avc.LastArguments();
            }
            const qint64 peak = statusKiB("VmHWM:");
            cpu.push_back(cpuSeconds() - cpuBefore);

            QProcess shell;
            QElapsedTimer clock;
            clock.start();
            shell.start(
                QStringLiteral("/bin/sh"),
                QStringList{QStringLiteral("-c"), QStringLiteral("\"$0\" \"$@\" | cat > /dev/null"), tool} +
                    args);
            shell.waitForFinished(-1);
            const double piped = clock.nsecsElapsed() / 1e9;

            runner.push_back(untilComplete);
            pipe.push_back(piped);
            memory.push_back((peak - idle) / 1024.0);
            held.push_back((longestGap - 1000000) / 1e6);
            completeHeld.push_back(heldAtComplete / 1e6);
            worked.push_back(longestWork / 1e6);
            std::printf(
                "run %d: until Complete %.3f s (%lld characters, %.3f s of processor time), into cat "
                "%.3f s, ratio %.2f; peak memory +%.1f MB; event loop held at most %.1f ms (%.1f ms of "
                "processor time), %.1f ms at Complete\n",
                i + 1, untilComplete, static_cast<long long>(chars), cpu.back(), piped, untilComplete / piped,
                memory.back(), held.back(), worked.back(), completeHeld.back());
            std::fflush(stdout);
        }
        const double worstMemory = *std::max_element(memory.begin(), memory.end());
        const double worstHeld = *std::max_element(held.begin(), held.end());
        const double worstAtComplete = *std::max_element(completeHeld.begin(), completeHeld.end());
        const double worstWork = *std::max_element(worked.begin(), worked.end());
        std::printf(
            "medians: until Complete %.3f s (processor %.3f s), into cat %.3f s, ratio %.2f (target <= 1.5); "
            "worst: peak memory +%.1f MB (target <= 20), event loop held %.1f ms (%.1f ms of processor "
            "time), "
            "at Complete %.1f ms (target <= 50)\n",
            median(runner), median(cpu), median(pipe), median(runner) / median(pipe), worstMemory, worstHeld,
            worstWork, worstAtComplete);
    }
    return 0;
}
