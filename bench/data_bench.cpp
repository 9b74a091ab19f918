// Figures for the data layer on a store of 1,000,000 items and 1,000,000
// issue lines: build with -DTK_BUILD_BENCH=ON and run build/bench/data_bench.
#include "datamodule/UDm.h"
#include "platform/data/Engine.h"
#include "platform/data/Transaction.h"
#include "tools/stockdb/StockSchema.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

constexpr int kItems = 1'000'000;


struct Store {
    QTemporaryDir dir;
    QString file;
    Store()
    {
        qputenv("DBENGINE_CONFIG", QDir(dir.path()).filePath("aliases.ini").toLocal8Bit());
        const QString folder = QDir(dir.path()).filePath("tables");
        stockdb::create(folder);
        data::Engine::writeAlias("Stock", folder);
        data::Query fill(QStringLiteral("Fill"));
        fill.setDatabaseName("Stock");
        // Codes are five characters; a million distinct ones need letters too.
        fill.setSql({"WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 999999) "
                     "INSERT INTO Barang SELECT printf('%05X', i), 'ITEM ' || i, 100, 5, 'PCS' FROM n"});
        fill.execSql();
        fill.setSql({"WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 999999) "
                     "INSERT INTO DetilKlrBrg SELECT '0' || (i / 10) || '/DBK/12/2026', printf('%05X', i), 1 FROM n"});
        fill.execSql();
        // Every thousandth item at its reorder level, so that the start-up
        // query has rows and stays open part-way, as in the program.
        fill.setSql({"UPDATE Barang SET Stock = 5 WHERE substr(KdBrg, 3) = '000'"});
        fill.execSql();
        file = QDir(folder).filePath(data::Engine::kDatabaseFile);
        FDM = new TFDM();
    }
    ~Store()
    {
        delete FDM;
        FDM = nullptr;
    }
};

Store& store()
{
    static Store s;
    return s;
}

// One turn of the message loop in which the program waits for the user.
void waitForUser()
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}

qint64 heapInUse()
{
    return qint64(mallinfo2().uordblks);
}

void issueSave(const QString& number, const QString& code)
{
    {
        data::Transaction save(*FDM->TMasKeluar);
        FDM->TMasKeluar->setIndexName("KeluarIdx");
        if (!FDM->TMasKeluar->findKey(number)) {
            FDM->TMasKeluar->append();
            FDM->TMasKeluarNo_Keluar->setAsString(number);
            FDM->TMasKeluarTgl->setAsDateTime(QDateTime::currentDateTime());
            FDM->TMasKeluar->post();
        }
        FDM->TMasKeluar->setIndexName("");
        FDM->TDetilKlr->append();
        FDM->TDetilKlrNo_Keluar->setAsString(number);
        FDM->TDetilKlrKdBrg->setAsString(code);
        FDM->TDetilKlrJml->setAsFloat(1);
        FDM->TDetilKlr->post();
        FDM->TBarang->findKey(code);
        FDM->TBarang->edit();
        FDM->TBarangStock->setAsFloat(FDM->TBarangStock->asFloat() - 1);
        FDM->TBarang->post();
        save.commit();
    }
    FDM->QKeluar->close();
    FDM->QKeluar->prepare();
    FDM->QKeluar->paramByName("Kel").setAsString(number);
    FDM->QKeluar->open();
}

// Loading the data module is the database's share of the start-up.
void BM_LoadDataModule(benchmark::State& state)
{
    store();
    for (auto _ : state) {
        delete FDM;
        FDM = new TFDM();
    }
}
BENCHMARK(BM_LoadDataModule)->Unit(benchmark::kMillisecond);

void BM_ItemLookup(benchmark::State& state)
{
    store();
    int i = 0;
    for (auto _ : state) {
        const QString key = QString::asprintf("%05X", (i++ * 7919) % kItems);
        benchmark::DoNotOptimize(FDM->TBarang->findKey(key));
    }
}
BENCHMARK(BM_ItemLookup);

void BM_OpenItemTable(benchmark::State& state)
{
    store();
    for (auto _ : state) {
        FDM->TBarang->close();
        FDM->TBarang->open();
        benchmark::DoNotOptimize(FDM->TBarang->fetchRows(FDM->TBarang->bookmark(), 30, true));
    }
}
BENCHMARK(BM_OpenItemTable);

void BM_SearchKeystroke(benchmark::State& state)
{
    store();
    for (auto _ : state) {
        FDM->QCari->close();
        FDM->QCari->paramByName("Barang").setAsString("ITEM 12%");
        FDM->QCari->prepare();
        FDM->QCari->open();
        benchmark::DoNotOptimize(FDM->QCari->fetchRows(std::nullopt, 30, true));
    }
}
BENCHMARK(BM_SearchKeystroke);

void BM_SearchKeystrokeNoMatch(benchmark::State& state)
{
    store();
    for (auto _ : state) {
        FDM->QCari->close();
        FDM->QCari->paramByName("Barang").setAsString("ZZZ%");
        FDM->QCari->prepare();
        FDM->QCari->open();
        benchmark::DoNotOptimize(FDM->QCari->fetchRows(std::nullopt, 30, true));
    }
}
BENCHMARK(BM_SearchKeystrokeNoMatch);

// A pattern that begins with "%": the text anywhere in the name. Arg 0
// finds 111 items, 1 none, 2 every item.
const char* const kAnywhere[] = {"%TEM 1234%", "%XYZ%", "%ITEM%"};

void BM_SearchKeystrokeAnywhere(benchmark::State& state)
{
    store();
    for (auto _ : state) {
        FDM->QCari->close();
        FDM->QCari->paramByName("Barang").setAsString(kAnywhere[state.range(0)]);
        FDM->QCari->prepare();
        FDM->QCari->open();
        benchmark::DoNotOptimize(FDM->QCari->fetchRows(std::nullopt, 30, true));
    }
}
BENCHMARK(BM_SearchKeystrokeAnywhere)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_GoodsIssueSave(benchmark::State& state)
{
    store();
    int n = 0;
    for (auto _ : state) {
        issueSave(QStringLiteral("0%1/DBK/12/2027").arg(++n), QStringLiteral("00010"));
        state.PauseTiming();
        waitForUser();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_GoodsIssueSave);

double lookupMicros()
{
    QElapsedTimer t;
    t.start();
    constexpr int n = 2000;
    for (int i = 0; i < n; ++i)
        FDM->TBarang->findKey(QString::asprintf("%05X", (i * 7919 + 13) % kItems));
    return double(t.nsecsElapsed()) / n / 1000;
}

// A working session: 20,000 issue saves, five lines per issue, the program
// waiting for the user after each, with the start-up query open as the
// start-up leaves it. The log must stay bounded and the saves and look-ups
// as fast at the end as at the start; the closing checkpoint is timed too.
void BM_IssueSession(benchmark::State& state)
{
    Store& s = store();
    constexpr int kSaves = 20'000, kSample = 500;
    const QString wal = s.file + QStringLiteral("-wal");
    for (auto _ : state) {
        FDM->QMin->close();
        FDM->QMin->open();
        state.counters["min_rows_open"] = double(FDM->QMin->isEmpty() ? 0 : 1);
        state.counters["lookup_us_start"] = lookupMicros();
        qint64 walMax = 0;
        double first = 0, last = 0;
        QElapsedTimer t;
        for (int i = 0; i < kSaves; ++i) {
            t.start();
            issueSave(QStringLiteral("0%1/DBK/01/2028").arg(i / 5 + 1),
                      QString::asprintf("%05X", (i * 104729 + 7) % kItems));
            const double ms = double(t.nsecsElapsed()) / 1e6;
            if (i < kSample)
                first += ms;
            if (i >= kSaves - kSample)
                last += ms;
            waitForUser();
            walMax = std::max(walMax, QFileInfo(wal).size());
        }
        state.counters["save_ms_start"] = first / kSample;
        state.counters["save_ms_end"] = last / kSample;
        state.counters["wal_MiB_end"] = double(QFileInfo(wal).size()) / (1 << 20);
        state.counters["wal_MiB_max"] = double(walMax) / (1 << 20);
        state.counters["lookup_us_end"] = lookupMicros();
        t.start();
        delete FDM;
        state.counters["close_ms"] = double(t.nsecsElapsed()) / 1e6;
        state.counters["wal_left"] = QFileInfo::exists(wal) ? 1 : 0;
        FDM = new TFDM();
    }
}
BENCHMARK(BM_IssueSession)->Iterations(1)->Unit(benchmark::kSecond);

void openSearch(const QString& pattern)
{
    FDM->QCari->close();
    FDM->QCari->paramByName("Barang").setAsString(pattern);
    FDM->QCari->prepare();
    FDM->QCari->open();
}

const char* const kPatterns[] = {"%", "ITEM 1%", "ITEM 12%"};

// The last row of the search result (Ctrl+End on its grid), from a fresh
// opening: the count and one run from the last place. Heap held while the
// query stays open is reported per size.
void BM_SearchLastRow(benchmark::State& state)
{
    store();
    const QString pattern = QString::fromLatin1(kPatterns[state.range(0)]);
    qint64 heap = 0;
    for (auto _ : state) {
        state.PauseTiming();
        openSearch(pattern);
        waitForUser();
        const qint64 before = heapInUse();
        state.ResumeTiming();
        FDM->QCari->last();
        state.PauseTiming();
        heap = heapInUse() - before;
        state.ResumeTiming();
    }
    state.counters["rows"] = double(FDM->QCari->recordCount());
    state.counters["heap_KiB"] = double(heap) / 1024;
}
BENCHMARK(BM_SearchLastRow)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The same once the grid knows the count (it asks for it for its scroll bar).
void BM_SearchLastRowCounted(benchmark::State& state)
{
    store();
    const QString pattern = QString::fromLatin1(kPatterns[state.range(0)]);
    for (auto _ : state) {
        state.PauseTiming();
        openSearch(pattern);
        FDM->QCari->recordCount();
        waitForUser();
        state.ResumeTiming();
        FDM->QCari->last();
    }
}
BENCHMARK(BM_SearchLastRowCounted)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The floor: the engine counting the same statement's result.
void BM_SearchCountFloor(benchmark::State& state)
{
    store();
    data::Query count(QStringLiteral("QCount"));
    count.setDatabaseName("Stock");
    count.setSql(QStringList{QStringLiteral("SELECT count(*) FROM (")} + FDM->QCari->sql() + QStringList{")"});
    count.paramByName("Barang").setAsString(QString::fromLatin1(kPatterns[state.range(0)]));
    for (auto _ : state) {
        count.close();
        count.open();
        benchmark::DoNotOptimize(count.fields().front()->asInteger());
    }
}
BENCHMARK(BM_SearchCountFloor)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Jumps on the item table's grid: the rows at a place in the middle or at
// the end (Arg 0, 1), and the place of a row there (Arg 2, 3).
void BM_ItemTableJump(benchmark::State& state)
{
    store();
    const qint64 place = state.range(0) % 2 == 0 ? kItems / 2 : kItems - 30;
    const data::Bookmark row = FDM->TBarang->fetchRowsFrom(place, 1).front().bookmark;
    for (auto _ : state) {
        if (state.range(0) < 2)
            benchmark::DoNotOptimize(FDM->TBarang->fetchRowsFrom(place, 30));
        else
            benchmark::DoNotOptimize(FDM->TBarang->positionOf(row));
    }
}
BENCHMARK(BM_ItemTableJump)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// The same on the search result's grid, its count known: each jump is an
// event of its own and lands outside the rows held before.
void BM_SearchJump(benchmark::State& state)
{
    store();
    openSearch("%");
    FDM->QCari->recordCount();
    const qint64 place = state.range(0) == 0 ? kItems / 2 : kItems - 30;
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        waitForUser();
        state.ResumeTiming();
        benchmark::DoNotOptimize(FDM->QCari->fetchRowsFrom(place - (i++ % 2) * 1000, 30));
    }
}
BENCHMARK(BM_SearchJump)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
