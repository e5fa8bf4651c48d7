// What a repaint of the grid costs: a full pass visits only the rows in view, so 100,000 rows cost
// about what 100 do; and the main window's list with thumbnails must stay well under a frame.
#include "controls/common/PropertyBag.h"
#include "controls/grid/ListGrid.h"

#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

void fillTextGrid(ListGrid& grid, int rows)
{
    grid.resize(896, 270);
    grid.AddColumn(QStringLiteral("Video Name"), 4000);
    grid.AddColumn(QStringLiteral("Video Link"), 3000);
    grid.AddColumn(QStringLiteral("Progress"), 1500, 5, 4);
    grid.AddColumn(QStringLiteral("Status"), 1500, 5);
    grid.SetRedraw(false);
    for (int i = 0; i < rows; ++i) {
        grid.AddItem(
            QStringLiteral("Uploader - video number %1\thttps://video.example/watch?v=%1\t%2%\tQueued")
                .arg(i)
                .arg(i % 101));
        grid.SetCellProgressValue(i, 2, i % 101);
    }
    grid.SetRedraw(true);
}

void FullRepaint(benchmark::State& state)
{
    ListGrid grid;
    fillTextGrid(grid, static_cast<int>(state.range(0)));
    grid.Refresh();
    for (auto _ : state)
        grid.Refresh();
    state.counters["rows_in_view"] = grid.RowLastVisible() - grid.RowFirstVisible() + 1;
}
BENCHMARK(FullRepaint)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);

QImage thumbnail(int seed)
{
    QImage img(480, 360, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(img.rect(), QColor::fromHsv((seed * 37) % 360, 160, 220));
    p.fillRect(40, 40, 400, 280, QColor::fromHsv((seed * 91) % 360, 200, 120));
    return img;
}

void buildWindowGrid(ListGrid& grid, int rows)
{
    brenlow::PropertyBag bag;
    bag.WriteProperty(QStringLiteral("backcolorsel"), 0xC56A31u);
    bag.WriteProperty(QStringLiteral("themecolor"), 0);
    bag.WriteProperty(QStringLiteral("themestyle"), 7);
    bag.WriteProperty(QStringLiteral("focusrectmode"), 2);
    bag.WriteProperty(QStringLiteral("showrownumbers"), true);
    bag.WriteProperty(QStringLiteral("borderstyle"), 0);
    grid.ReadProperties(bag);
    grid.resize(879, 270);
    grid.SetEditTrigger(10);
    grid.SetMinRowHeight(1400);
    grid.AddColumn(QStringLiteral("Video Name"), 1500);
    grid.AddColumn(QStringLiteral("Video Link"), 1500, 4, 0, {}, {}, 4, false, 0, true, true);
    grid.AddColumn(QStringLiteral("Picture"), 1000, 4, 0, {}, {}, 4, false, 0, true, true);
    grid.AddColumn(QStringLiteral("Profile"), 1, 4, 0, {}, {}, 4, true, 0, true, true);
    grid.AddColumn(QStringLiteral("Profile"), 2500);
    grid.AddColumn(QStringLiteral("Progress"), 700, 5, 4, {}, {}, 4, false, 0, true, true);
    grid.AddColumn(QStringLiteral("Status"), 700, 5, 0, {}, {}, 4, false, 0, true, true);
    grid.SetColImageAlignment(2, 5);
    grid.ColForceFit();
    for (int i = 0; i < rows; ++i) {
        grid.AddItem(QStringLiteral("Uploader %1 - A video title\thttps://video.example/watch?v=%1\t\tlist\t"
                                    "22,MP4,1280X720,HD\t%2%\t")
                         .arg(i)
                         .arg(i * 2));
        grid.CellPicture(thumbnail(i), i, 2);
        grid.SetCellProgressValue(i, 5, i * 2);
    }
    grid.SetRedraw(true);
    grid.RowColSet(1, 4);
}

void WindowGridWithThumbnails(benchmark::State& state)
{
    ListGrid grid;
    buildWindowGrid(grid, 50);
    grid.Refresh();
    for (auto _ : state)
        grid.Refresh();
}
BENCHMARK(WindowGridWithThumbnails)->Unit(benchmark::kMicrosecond);

// A progress step during a download: one cell changes and the grid repaints.
void WindowGridProgressStep(benchmark::State& state)
{
    ListGrid grid;
    buildWindowGrid(grid, 50);
    grid.Refresh();
    int v = 0;
    for (auto _ : state) {
        v = v == 100 ? 0 : v + 1;
        grid.SetCellProgressValue(0, 5, v);
        grid.SetCellText(0, 5, QStringLiteral("%1%").arg(v));
    }
}
BENCHMARK(WindowGridProgressStep)->Unit(benchmark::kMicrosecond);

// The first pass after the thumbnails arrive scales every picture in view once.
void WindowGridFirstPass(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto grid = std::make_unique<ListGrid>();
        buildWindowGrid(*grid, 50);
        state.ResumeTiming();
        grid->Refresh();
        state.PauseTiming();
        grid.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(WindowGridFirstPass)->Unit(benchmark::kMicrosecond)->Iterations(20);

} // namespace

namespace {

// Stored sizes far beyond any screen: a group-header row millions of pixels high, a totals line of a
// huge vertical offset and a current cell ten million pixels wide with the dotted focus rectangle.
// Each pass draws what is in view, so it costs about what an ordinary one does.
void OversizedStripsRepaint(benchmark::State& state)
{
    ListGrid grid;
    fillTextGrid(grid, 20);
    grid.SetColWidth(0, 1.5e8f);
    grid.SetRowGroupHeader(1, true);
    grid.SetRowHeight(1, 4.0e6f);
    grid.SetTotalsLineShow(true);
    grid.SetThemeStyle(4);
    grid.SetFocusRectMode(2);
    grid.SetFocusRectStyle(0);
    grid.SetMinVerticalOffset(state.range(0));
    grid.RowColSet(0, 0);
    grid.Refresh();
    for (auto _ : state)
        grid.Refresh();
}
BENCHMARK(OversizedStripsRepaint)->Arg(2)->Arg(500000000)->Unit(benchmark::kMicrosecond)->Iterations(5);

} // namespace
