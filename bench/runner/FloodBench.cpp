// Does the runner hold the tool back? The bundled tool floods 50 MB of output, once through the
// runner and once into /dev/null; the tool reports its own wall time each time. Prints the median
// of both and their ratio (1.0 means the runner never slowed the tool down).
//
// Two floods by default: one as fast as the pipe takes it (the pipe itself then costs more than
// /dev/null), and one paced at 100 MB/s, far beyond what a real tool prints.
//
// Usage: runner_flood_bench [runs] [link...]   (BRENLOW_TOOL_DIR defaults to this program's folder)

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

double lastTime(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = f.readAll().trimmed().split('\n');
    return lines.last().split(' ').value(0).toDouble();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    Host host;
    QString toolDir = qEnvironmentVariable("BRENLOW_TOOL_DIR");
    if (toolDir.isEmpty())
        toolDir = QCoreApplication::applicationDirPath();
    QTemporaryDir dir;
    host.app = dir.path();
    if (!QFile::link(toolDir + QStringLiteral("/do.dll"), dir.path() + QStringLiteral("/do.dll"))) {
        std::fprintf(stderr, "cannot link the tool from %s\n", qPrintable(toolDir));
        return 1;
    }
    const QString timing = dir.path() + QStringLiteral("/timing");
    qputenv("BRENLOW_TOOL_TIMING_FILE", timing.toLocal8Bit());

    QStringList links;
    for (int i = 2; i < argc; ++i)
        links << QString::fromLocal8Bit(argv[i]);
    if (links.isEmpty())
        links = {QStringLiteral("https://test.brenlow.example/flood-50mb"),
                 QStringLiteral("https://test.brenlow.example/flood-50mb-paced")};
    for (const QString& link : links) {
        host.link = link;
        std::printf("%s\n", qPrintable(link));
        std::vector<double> piped, devnull, complete;
        for (int i = 0; i < runs; ++i) {
            AVC avc(host);
            qint64 chars = 0;
            QEventLoop loop;
            QTimer::singleShot(600000, &loop, [&] { loop.exit(1); });
            QObject::connect(&avc, &AVC::DataOutput, [&](QString& s) {
                const qsizetype nul = s.indexOf(QChar(0));
                chars += nul < 0 ? s.size() : nul;
            });
            // A real event loop, as in the window: it sleeps in poll and wakes as soon as output arrives.
            QObject::connect(&avc, &AVC::Complete, &loop, [&] { loop.exit(0); });
            QElapsedTimer clock;
            clock.start();
            bool overwrite = true;
            avc.ConvertMedia2(overwrite);
            if (loop.exec() != 0) {
                std::fprintf(stderr, "the run did not complete\n");
                return 1;
            }
            complete.push_back(clock.nsecsElapsed() / 1e9);
            piped.push_back(lastTime(timing));
            std::printf("through the runner: tool %.3f s, until Complete %.3f s, %lld characters delivered\n",
                        piped.back(), complete.back(), static_cast<long long>(chars));

            QProcess p;
            p.setStandardOutputFile(QProcess::nullDevice());
            p.setStandardErrorFile(QProcess::nullDevice());
            p.start(dir.path() + QStringLiteral("/do.dll"), avc.LastArguments());
            p.waitForFinished(-1);
            devnull.push_back(lastTime(timing));
            std::printf("into /dev/null:     tool %.3f s\n", devnull.back());
        }
        const double mp = median(piped), md = median(devnull);
        std::printf("median tool wall time: runner %.3f s, /dev/null %.3f s, ratio %.3f (median until "
                    "Complete %.3f s)\n",
                    mp, md, mp / md, median(complete));
    }
    return 0;
}
