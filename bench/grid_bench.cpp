// Figures for the grid on a store of 1,000,000 items beside one of 10: build
// with -DTK_BUILD_BENCH=ON and run build/bench/grid_bench. Each figure
// includes reading the rows and painting the grid (offscreen).
#include "WindowBench.h"

#include "platform/data/Engine.h"
#include "platform/data/Query.h"
#include "platform/data/Table.h"
#include "platform/ui/DBGrid.h"
#include "tools/stockdb/StockSchema.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <malloc.h>
#include <map>
#include <memory>

namespace {

constexpr int kMillion = 1'000'000;

QString aliasFor(int items)
{
    return QStringLiteral("Items%1").arg(items);
}

// One database of `items` items under its own alias, an item table and a
// search query on it, each with a grid of the item input window's size.
struct Store {
    QString folder;
    data::Table table{QStringLiteral("TBarang")};
    data::DataSource tableSource{QStringLiteral("DsBarang"), &table};
    data::Query search{QStringLiteral("QCari")};
    data::DataSource searchSource{QStringLiteral("DsQCari"), &search};
    ui::DBGrid tableGrid;
    ui::DBGrid searchGrid;

    Store(const QString& root, int items)
    {
        folder = QDir(root).filePath(aliasFor(items));
        stockdb::create(folder);
        data::Engine::writeAlias(aliasFor(items), folder);
        data::Query fill(QStringLiteral("Fill"));
        fill.setDatabaseName(aliasFor(items));
        // Codes are five characters; a million distinct ones need letters too.
        fill.setSql(
            {QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < %1) "
                            "INSERT INTO Barang SELECT printf('%05X', i), 'ITEM ' || i, 100, 5, 'PCS' FROM n")
                 .arg(items - 1)});
        fill.execSql();

        table.setDatabaseName(aliasFor(items));
        table.setTableName(QStringLiteral("Barang.db"));
        table.open();
        search.setDatabaseName(aliasFor(items));
        search.setSql({QStringLiteral("Select KdBrg,NamaBrg"), QStringLiteral("From Barang"),
                       QStringLiteral("Where NamaBrg Like:Barang")});
        for (ui::DBGrid* grid : {&tableGrid, &searchGrid}) {
            grid->resize(457, 297);
            grid->show();
        }
        tableGrid.setDataSource(&tableSource);
        searchGrid.setDataSource(&searchSource);
        paint(tableGrid);
    }

    // What the event loop does after a change: paint, then find the place
    // and size.
    static void paint(ui::DBGrid& grid)
    {
        grid.viewport()->repaint();
        QCoreApplication::processEvents();
    }

    // A "%" search, as the search window's empty pattern.
    void openSearch()
    {
        search.close();
        search.paramByName(QStringLiteral("Barang")).setAsString(QStringLiteral("%"));
        search.prepare();
        search.open();
    }
};

// Made on first use; destroyed before the application object.
std::map<int, std::unique_ptr<Store>> stores;

Store& store(int items)
{
    static QTemporaryDir root;
    auto& s = stores[items];
    if (!s) {
        qputenv("DBENGINE_CONFIG", QDir(root.path()).filePath("aliases.ini").toLocal8Bit());
        s = std::make_unique<Store>(root.path(), items);
    }
    return *s;
}

void press(ui::DBGrid& grid, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent down(QEvent::KeyPress, key, modifiers);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(&grid, &down);
    QApplication::sendEvent(&grid, &up);
}

// Heap in use in MiB, for the rows held in memory.
double heapMiB()
{
    return double(mallinfo2().uordblks) / (1024.0 * 1024.0);
}

// Opening the item table with its grid: to the first painted rows, then with
// the count that follows them.
void BM_OpenItemGrid(benchmark::State& state)
{
    Store& s = store(int(state.range(0)));
    for (auto _ : state) {
        s.table.close();
        s.table.open();
        s.tableGrid.viewport()->repaint();
    }
    state.counters["held_rows"] = s.tableGrid.fetchedRowCount();
}
BENCHMARK(BM_OpenItemGrid)->Arg(10)->Arg(kMillion)->Unit(benchmark::kMillisecond);

void BM_OpenItemGridWithCount(benchmark::State& state)
{
    Store& s = store(int(state.range(0)));
    for (auto _ : state) {
        s.table.close();
        s.table.open();
        Store::paint(s.tableGrid);
    }
    state.counters["bar_max"] = s.tableGrid.verticalScrollBar()->maximum();
}
BENCHMARK(BM_OpenItemGridWithCount)->Arg(10)->Arg(kMillion)->Unit(benchmark::kMillisecond);

// Dragging the scroll bar's handle from the top to the middle.
void BM_DragToMiddle(benchmark::State& state)
{
    Store& s = store(kMillion);
    QScrollBar* bar = s.tableGrid.verticalScrollBar();
    for (auto _ : state) {
        state.PauseTiming();
        s.table.first();
        Store::paint(s.tableGrid);
        state.ResumeTiming();
        bar->setSliderPosition(bar->maximum() / 2);
        Store::paint(s.tableGrid);
    }
    state.counters["place"] = double(s.tableGrid.rows().currentPosition());
}
BENCHMARK(BM_DragToMiddle)->Unit(benchmark::kMillisecond);

// Dragging to places spread over the whole table.
void BM_DragAnywhere(benchmark::State& state)
{
    Store& s = store(kMillion);
    QScrollBar* bar = s.tableGrid.verticalScrollBar();
    int i = 0;
    for (auto _ : state) {
        bar->setSliderPosition(int((qint64(++i) * 7919 * 127) % kMillion));
        Store::paint(s.tableGrid);
    }
}
BENCHMARK(BM_DragAnywhere)->Unit(benchmark::kMillisecond);

void BM_CtrlEndOnItemTable(benchmark::State& state)
{
    Store& s = store(kMillion);
    for (auto _ : state) {
        state.PauseTiming();
        press(s.tableGrid, Qt::Key_Home, Qt::ControlModifier);
        Store::paint(s.tableGrid);
        state.ResumeTiming();
        press(s.tableGrid, Qt::Key_End, Qt::ControlModifier);
        Store::paint(s.tableGrid);
    }
    state.counters["place"] = double(s.tableGrid.rows().currentPosition());
}
BENCHMARK(BM_CtrlEndOnItemTable)->Unit(benchmark::kMillisecond);

// A search keystroke's share: the query reopened and its first rows painted;
// the count follows in BM_SearchGridCount.
void BM_SearchGridFirstPaint(benchmark::State& state)
{
    Store& s = store(kMillion);
    for (auto _ : state) {
        s.openSearch();
        s.searchGrid.viewport()->repaint();
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SearchGridFirstPaint)->Unit(benchmark::kMillisecond);

void BM_SearchGridCount(benchmark::State& state)
{
    Store& s = store(kMillion);
    for (auto _ : state) {
        state.PauseTiming();
        s.openSearch();
        s.searchGrid.viewport()->repaint();
        state.ResumeTiming();
        QCoreApplication::processEvents();
    }
    state.counters["bar_max"] = s.searchGrid.verticalScrollBar()->maximum();
}
BENCHMARK(BM_SearchGridCount)->Unit(benchmark::kMillisecond);

// The last row of the "%" search over a million items, from the first rows
// of a freshly opened query, with the count the scroll bar needs; and the
// memory it leaves held.
void BM_SearchGridCtrlEnd(benchmark::State& state)
{
    Store& s = store(kMillion);
    double growth = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.openSearch();
        s.searchGrid.viewport()->repaint();
        const double before = heapMiB();
        state.ResumeTiming();
        press(s.searchGrid, Qt::Key_End, Qt::ControlModifier);
        Store::paint(s.searchGrid);
        state.PauseTiming();
        growth = std::max(growth, heapMiB() - before);
        state.ResumeTiming();
    }
    state.counters["place"] = double(s.searchGrid.rows().currentPosition());
    state.counters["heap_growth_MiB"] = growth;
}
BENCHMARK(BM_SearchGridCtrlEnd)->Unit(benchmark::kMillisecond);

// The same once the count has followed the first paint, as it does while the
// user looks at the first rows.
void BM_SearchGridCtrlEndCounted(benchmark::State& state)
{
    Store& s = store(kMillion);
    for (auto _ : state) {
        state.PauseTiming();
        s.openSearch();
        s.searchGrid.viewport()->repaint();
        s.searchGrid.synchronize();
        state.ResumeTiming();
        press(s.searchGrid, Qt::Key_End, Qt::ControlModifier);
        Store::paint(s.searchGrid);
    }
    state.counters["place"] = double(s.searchGrid.rows().currentPosition());
}
BENCHMARK(BM_SearchGridCtrlEndCounted)->Unit(benchmark::kMillisecond);

// The floor: SQLite counting the same result by itself.
void BM_SearchCountOnSqlite(benchmark::State& state)
{
    Store& s = store(kMillion);
    sqlite3* db = nullptr;
    const QByteArray file =
        QFile::encodeName(QDir(s.folder).filePath(QLatin1String(data::Engine::kDatabaseFile)));
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        state.SkipWithError("cannot open the database");
        sqlite3_close(db);
        return;
    }
    sqlite3_stmt* count = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM (Select KdBrg,NamaBrg From Barang Where NamaBrg Like ?)", -1,
                       &count, nullptr);
    for (auto _ : state) {
        sqlite3_bind_text(count, 1, "%", -1, SQLITE_STATIC);
        sqlite3_step(count);
        benchmark::DoNotOptimize(sqlite3_column_int64(count, 0));
        sqlite3_reset(count);
    }
    sqlite3_finalize(count);
    sqlite3_close(db);
}
BENCHMARK(BM_SearchCountOnSqlite)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    const int code = runWindowBenchmarks(argc, argv);
    stores.clear();
    return code;
}
