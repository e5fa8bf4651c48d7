// The window's parsers on the largest outputs it meets: a long format table (re-parsed on every
// click and every profile edit) and the download's progress chunks (one every polling tick).
#include "app/NameCleaner.h"
#include "app/ProfileParser.h"
#include "app/ProgressParser.h"

#include <benchmark/benchmark.h>

namespace {

QString formatTable(int formats)
{
    QString out;
    for (int i = 0; i < 300; ++i)
        out += QStringLiteral("[debug] Loading extractor data, part %1 of 300\r\n").arg(i + 1);
    out += QStringLiteral("format code  extension  resolution note\r\n");
    for (int i = 0; i < formats; ++i)
        out += QStringLiteral("%1").arg(100 + i).leftJustified(13) + QStringLiteral("mp4        ") +
               QStringLiteral("1280x720   720p 1500k , avc1.64001F, 30fps, mp4a.40.2@128k, 48.21MiB\r\n");
    return out;
}

void ParseFormatTable(benchmark::State& state)
{
    const QString out = formatTable(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(brenlow::ParseFormatTable(out));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * out.size() * 2);
}
BENCHMARK(ParseFormatTable)->Arg(3)->Arg(40)->Arg(400);

void EntriesOfAStoredList(benchmark::State& state)
{
    const QString list = brenlow::ParseFormatTable(formatTable(40)).ProfileList;
    for (auto _ : state)
        benchmark::DoNotOptimize(brenlow::EntriesOfProfileList(list));
}
BENCHMARK(EntriesOfAStoredList);

void ProgressOfAChunk(benchmark::State& state)
{
    QString chunk = QStringLiteral("[download]  45.3% of 10.00MiB at  1.00MiB/s ETA 00:05\r\n"
                                   "[download]  46.1% of 10.00MiB at  1.00MiB/s ETA 00:05\r\n");
    chunk += QString(256 - chunk.size(), QChar(u'\0'));
    for (auto _ : state)
        benchmark::DoNotOptimize(brenlow::ProgressPercent(brenlow::ChunkText(chunk)));
}
BENCHMARK(ProgressOfAChunk);

void CleanAName(benchmark::State& state)
{
    const QString name = QStringLiteral("Zoë Ångström - AC/DC: \"Live\" <at> River Plate [2009] {HD} ¿What?");
    for (auto _ : state)
        benchmark::DoNotOptimize(brenlow::CleanName(name));
}
BENCHMARK(CleanAName);

} // namespace

BENCHMARK_MAIN();
