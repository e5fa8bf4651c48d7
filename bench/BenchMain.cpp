#include <QApplication>
#include <QStyleFactory>

#include <benchmark/benchmark.h>

#include <malloc.h>

// The benchmarks of the controls share this main: headless by default and in the Fusion style the
// application forces, so the figures measure what the user's window draws.
int main(int argc, char** argv)
{
    // glibc moves its thresholds for giving memory back as blocks come and go, so whether a
    // benchmark that builds and drops a large grid (or model) pays its page faults again on every
    // round depended on the order of earlier blocks: the same binary gave 48 or 115 ms. Fixed
    // thresholds keep the freed memory for the next round, for both sides of every pair.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
