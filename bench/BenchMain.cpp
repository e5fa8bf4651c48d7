#include <QApplication>
#include <QStyleFactory>

#include <benchmark/benchmark.h>

// The benchmarks of the controls share this main: headless by default and in the Fusion style the
// application forces, so the figures measure what the user's window draws.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
