// The grid's bulk operations on 100,000 rows of 7 columns, next to the same work done with
// QStandardItemModel (+ QSortFilterProxyModel for sorting and filtering). Compare the pairs
// BM_Grid_<Op> and BM_Qt_<Op>.
#include "controls/grid/ListGrid.h"

#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int RowCount = 100000;
constexpr int ColCount = 7;

struct RowTexts
{
    QString name, link, profile, size, status;
    QString line; ///< the row as AddItem takes it, tab-separated
};

// Deterministic, shuffled values: names in no particular order, sizes spread over many values.
std::vector<RowTexts> makeRows()
{
    std::vector<RowTexts> rows;
    rows.reserve(RowCount);
    quint32 seed = 12345;
    const auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFFFF;
    };
    for (int i = 0; i < RowCount; ++i) {
        const quint32 r = next();
        rows.push_back({QStringLiteral("Uploader %1 - Video title number %2").arg(r % 977).arg(r),
                        QStringLiteral("https://example.com/watch?v=%1").arg(i),
                        QStringLiteral("%1,MP4,1280X720,720P").arg(r % 300),
                        QString::number((r % 100000) / 10.0), i % 3 ? QStringLiteral("Complete") : QString(),
                        QString()});
        RowTexts& t = rows.back();
        const QChar tab = QLatin1Char('\t');
        t.line =
            t.name + tab + t.size + tab + t.link + tab + t.profile + tab + t.profile + tab + tab + t.status;
    }
    return rows;
}

const std::vector<RowTexts>& data()
{
    static const std::vector<RowTexts> rows = makeRows();
    return rows;
}

void addColumns(ListGrid& grid)
{
    grid.AddColumn(QStringLiteral("Video Name"), 2500);
    grid.AddColumn(QStringLiteral("Size"), 1000, 4, brenlow::ColumnType::Numeric);
    grid.AddColumn(QStringLiteral("Video Link"), 2500);
    grid.AddColumn(QStringLiteral("Profile"), 0, 4, 0, {}, {}, 4, false, 0, false);
    grid.AddColumn(QStringLiteral("Profile"), 1500);
    grid.AddColumn(QStringLiteral("Progress"), 1500, 4, brenlow::ColumnType::Progress);
    grid.AddColumn(QStringLiteral("Status"), 1500);
}

void fillGrid(ListGrid& grid)
{
    for (const RowTexts& r : data())
        grid.AddItem(r.line);
    if (grid.Rows() != RowCount || grid.CellText(RowCount - 1, 6) != data().back().status)
        qFatal("the grid was not filled as expected");
}

std::unique_ptr<ListGrid> filledGrid()
{
    auto grid = std::make_unique<ListGrid>();
    addColumns(*grid);
    fillGrid(*grid);
    return grid;
}

void fillModel(QStandardItemModel& model)
{
    model.setColumnCount(ColCount);
    for (const RowTexts& r : data()) {
        QList<QStandardItem*> items;
        items.reserve(ColCount);
        items << new QStandardItem(r.name);
        auto* size = new QStandardItem;
        size->setData(r.size.toDouble(), Qt::DisplayRole);
        items << size << new QStandardItem(r.link) << new QStandardItem(r.profile)
              << new QStandardItem(r.profile) << new QStandardItem << new QStandardItem(r.status);
        model.appendRow(items);
    }
}

std::unique_ptr<QStandardItemModel> filledModel()
{
    auto model = std::make_unique<QStandardItemModel>();
    fillModel(*model);
    return model;
}

void resetOrder(ListGrid& grid)
{
    // Sort type 0 puts the rows back in storage order.
    grid.Sort(0, 0);
}

// ---- AddItem of every row, painting off

void BM_Grid_AddItem(benchmark::State& state)
{
    data();
    for (auto _ : state) {
        auto grid = std::make_unique<ListGrid>();
        addColumns(*grid);
        fillGrid(*grid);
        benchmark::DoNotOptimize(grid->Rows());
        state.PauseTiming();
        grid.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Grid_AddItem)->Unit(benchmark::kMillisecond);

void BM_Qt_AddItem(benchmark::State& state)
{
    data();
    for (auto _ : state) {
        auto model = std::make_unique<QStandardItemModel>();
        fillModel(*model);
        benchmark::DoNotOptimize(model->rowCount());
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Qt_AddItem)->Unit(benchmark::kMillisecond);

// ---- Growth stays linear: twice the rows take about twice the time

void BM_Grid_AddItemScaling(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    const QString text = QStringLiteral("x");
    for (auto _ : state) {
        auto grid = std::make_unique<ListGrid>();
        grid->AddColumn(QStringLiteral("a"), 1000);
        for (int i = 0; i < rows; ++i)
            grid->AddItem(text);
        benchmark::DoNotOptimize(grid->Rows());
        state.PauseTiming();
        grid.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(rows);
}
BENCHMARK(BM_Grid_AddItemScaling)
    ->RangeMultiplier(4)
    ->Range(12500, 200000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

// ---- FormatCells of one column over all rows

void BM_Grid_FormatCells(benchmark::State& state)
{
    auto grid = filledGrid();
    int colour = 0;
    for (auto _ : state) {
        grid->FormatCells(0, -1, 6, 6, 4, QString::number(++colour % 2 ? 255 : 65280));
    }
}
BENCHMARK(BM_Grid_FormatCells)->Unit(benchmark::kMillisecond);

void BM_Qt_FormatCells(benchmark::State& state)
{
    auto model = filledModel();
    int colour = 0;
    for (auto _ : state) {
        const QBrush brush(++colour % 2 ? QColor(255, 0, 0) : QColor(0, 255, 0));
        for (int r = 0; r < RowCount; ++r)
            model->item(r, 6)->setForeground(brush);
    }
}
BENCHMARK(BM_Qt_FormatCells)->Unit(benchmark::kMillisecond);

// ---- Sort by a numeric and by a text column (from storage order each time)

void gridSort(benchmark::State& state, int col)
{
    auto grid = filledGrid();
    for (auto _ : state) {
        grid->Sort(col, 2);
        state.PauseTiming();
        resetOrder(*grid);
        state.ResumeTiming();
    }
}

void qtSort(benchmark::State& state, int col)
{
    auto model = filledModel();
    QSortFilterProxyModel proxy;
    proxy.setSortCaseSensitivity(Qt::CaseInsensitive);
    proxy.setSourceModel(model.get());
    for (auto _ : state) {
        proxy.sort(col, Qt::AscendingOrder);
        benchmark::DoNotOptimize(proxy.index(0, 0));
        state.PauseTiming();
        proxy.sort(-1);
        state.ResumeTiming();
    }
}

void BM_Grid_SortNumeric(benchmark::State& state)
{
    gridSort(state, 1);
}
void BM_Qt_SortNumeric(benchmark::State& state)
{
    qtSort(state, 1);
}
void BM_Grid_SortText(benchmark::State& state)
{
    gridSort(state, 0);
}
void BM_Qt_SortText(benchmark::State& state)
{
    qtSort(state, 0);
}
BENCHMARK(BM_Grid_SortNumeric)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Qt_SortNumeric)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Grid_SortText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Qt_SortText)->Unit(benchmark::kMillisecond);

// ---- Sort by two columns: sizes (many small groups of equal sizes), names within each group

void BM_Grid_SortSecondary(benchmark::State& state)
{
    auto grid = filledGrid();
    for (auto _ : state) {
        grid->Sort(1, 2, 0, 2);
        state.PauseTiming();
        resetOrder(*grid);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Grid_SortSecondary)->Unit(benchmark::kMillisecond);

void BM_Qt_SortSecondary(benchmark::State& state)
{
    // The Qt way to a two-key order: the proxy's sort is stable, so sort by the second key, then by
    // the first.
    auto model = filledModel();
    QSortFilterProxyModel proxy;
    proxy.setSortCaseSensitivity(Qt::CaseInsensitive);
    proxy.setSourceModel(model.get());
    for (auto _ : state) {
        proxy.sort(0, Qt::AscendingOrder);
        proxy.sort(1, Qt::AscendingOrder);
        benchmark::DoNotOptimize(proxy.index(0, 0));
        state.PauseTiming();
        proxy.sort(-1);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Qt_SortSecondary)->Unit(benchmark::kMillisecond);

// ---- DeleteSelected of every other row (half the grid)

void BM_Grid_DeleteSelected(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto grid = filledGrid();
        grid->SetMultiSelect(1);
        for (int r = 0; r < RowCount; r += 2)
            grid->SetRowSelected(r, true);
        state.ResumeTiming();
        grid->DeleteSelected();
        benchmark::DoNotOptimize(grid->Rows());
        state.PauseTiming();
        if (grid->Rows() != RowCount / 2)
            qFatal("DeleteSelected left %d rows", grid->Rows());
        grid.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Grid_DeleteSelected)->Unit(benchmark::kMillisecond);

void BM_Qt_DeleteSelected(benchmark::State& state)
{
    // The Qt way: the selected rows, removed from the last one up so the others keep their numbers.
    for (auto _ : state) {
        state.PauseTiming();
        auto model = filledModel();
        state.ResumeTiming();
        for (int r = (RowCount - 1) / 2 * 2; r >= 0; r -= 2)
            model->removeRow(r);
        benchmark::DoNotOptimize(model->rowCount());
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Qt_DeleteSelected)->Unit(benchmark::kMillisecond);

// ---- FindItem of the last row

void BM_Grid_FindLast(benchmark::State& state)
{
    auto grid = filledGrid();
    const QString last = grid->CellText(RowCount - 1, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(grid->FindItem(last, 0, 0, false, 0));
}
BENCHMARK(BM_Grid_FindLast)->Unit(benchmark::kMillisecond);

void BM_Qt_FindLast(benchmark::State& state)
{
    auto model = filledModel();
    const QString last = model->item(RowCount - 1, 0)->text();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            model->match(model->index(0, 0), Qt::DisplayRole, last, 1, Qt::MatchFixedString));
    }
}
BENCHMARK(BM_Qt_FindLast)->Unit(benchmark::kMillisecond);

// ---- FilterOn / FilterOff (rows whose status contains "complete")

void BM_Grid_FilterOn(benchmark::State& state)
{
    auto grid = filledGrid();
    for (auto _ : state) {
        grid->FilterOn(QStringLiteral("complete"), 6, 2, false, 0);
        state.PauseTiming();
        grid->FilterOff(0);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Grid_FilterOn)->Unit(benchmark::kMillisecond);

void BM_Qt_FilterOn(benchmark::State& state)
{
    auto model = filledModel();
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(model.get());
    proxy.setFilterKeyColumn(6);
    proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);
    for (auto _ : state) {
        proxy.setFilterFixedString(QStringLiteral("complete"));
        benchmark::DoNotOptimize(proxy.rowCount());
        state.PauseTiming();
        proxy.setFilterFixedString(QString());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Qt_FilterOn)->Unit(benchmark::kMillisecond);

void BM_Grid_FilterOff(benchmark::State& state)
{
    auto grid = filledGrid();
    for (auto _ : state) {
        state.PauseTiming();
        grid->FilterOn(QStringLiteral("complete"), 6, 2, false, 0);
        state.ResumeTiming();
        grid->FilterOff(0);
    }
}
BENCHMARK(BM_Grid_FilterOff)->Unit(benchmark::kMillisecond);

void BM_Qt_FilterOff(benchmark::State& state)
{
    auto model = filledModel();
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(model.get());
    proxy.setFilterKeyColumn(6);
    proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);
    for (auto _ : state) {
        state.PauseTiming();
        proxy.setFilterFixedString(QStringLiteral("complete"));
        state.ResumeTiming();
        proxy.setFilterFixedString(QString());
        benchmark::DoNotOptimize(proxy.rowCount());
    }
}
BENCHMARK(BM_Qt_FilterOff)->Unit(benchmark::kMillisecond);

} // namespace
