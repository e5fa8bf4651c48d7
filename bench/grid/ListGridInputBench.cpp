// The grid's input path on 100,000 rows: a pointer move over the cells (hit-test, pointer shape,
// tooltip check), a Down key (move, select, repaint) and a wheel notch (scroll, repaint).
#include "controls/grid/ListGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<ListGrid> makeGrid()
{
    auto grid = std::make_unique<ListGrid>();
    grid->resize(900, 600);
    for (int c = 0; c < 7; ++c)
        grid->AddColumn(QStringLiteral("Column %1").arg(c), 1800);
    grid->FormatCells(0, -1, 1, 1, 256, QStringLiteral("True"));
    for (int r = 0; r < 100000; ++r)
        grid->AddItem(
            QStringLiteral("Uploader %1 - a video title long enough to be cut\thttps://example.com/%1\t\t"
                           "18,MP4\t18,MP4\t\tComplete")
                .arg(r));
    grid->SetRedraw(true);
    grid->show();
    return grid;
}

ListGrid& grid()
{
    static std::unique_ptr<ListGrid> g = makeGrid();
    return *g;
}

void BM_PointerMoveOverCells(benchmark::State& state)
{
    ListGrid& g = grid();
    int i = 0;
    for (auto _ : state) {
        const QPointF p(20 + (i * 37) % 800, 40 + (i * 13) % 500);
        QMouseEvent ev(QEvent::MouseMove, p, g.mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&g, &ev);
        ++i;
    }
}
BENCHMARK(BM_PointerMoveOverCells);

void BM_DownKeyMovesAndRepaints(benchmark::State& state)
{
    ListGrid& g = grid();
    g.RowColSet(0, 0);
    for (auto _ : state) {
        if (g.Row() >= g.Rows() - 1) {
            state.PauseTiming();
            g.RowColSet(0, 0);
            state.ResumeTiming();
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(&g, &press);
    }
}
BENCHMARK(BM_DownKeyMovesAndRepaints);

void BM_WheelNotchScrollsAndRepaints(benchmark::State& state)
{
    ListGrid& g = grid();
    int delta = -120;
    for (auto _ : state) {
        const int before = g.RowFirstVisible();
        const QPointF p(100, 100);
        QWheelEvent ev(p, g.mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
        QApplication::sendEvent(&g, &ev);
        if (g.RowFirstVisible() == before)
            delta = -delta; // turn at either end
    }
}
BENCHMARK(BM_WheelNotchScrollsAndRepaints);

} // namespace
