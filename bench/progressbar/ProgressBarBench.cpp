// What a download's progress costs the bar: an incremental Value step against a full repaint.
#include "controls/progressbar/SleekProgressBar.h"


#include <benchmark/benchmark.h>

namespace {

void ValueStepByOnePercent(benchmark::State& state)
{
    SleekProgressBar bar;
    bar.resize(881, 17);
    bar.SetBarColorSet(2);
    int v = 0;
    for (auto _ : state) {
        v = v == 100 ? 0 : v + 1;
        bar.SetValue(v);
    }
}
BENCHMARK(ValueStepByOnePercent);

void FullRepaint(benchmark::State& state)
{
    SleekProgressBar bar;
    bar.resize(881, 17);
    bar.SetBarColorSet(2);
    bar.SetValue(50);
    int c = 0;
    for (auto _ : state)
        bar.SetBackColor(++c % 2 ? 0xFFFFFF : 0xFFFCFF);
}
BENCHMARK(FullRepaint);

} // namespace
