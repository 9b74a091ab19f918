// Figures for the data layer on a store of 1,000,000 items and 1,000,000
// issue lines: build with -DTK_BUILD_BENCH=ON and run build/bench/data_bench.
// Every line prints program_ms beside floor_ms, the same work straight on
// libsqlite3, and their ratio.
#include "EngineFloor.h"

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

#include <chrono>

namespace {

constexpr int kItems = 1'000'000;

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The program's work and its floor, one after the other in every iteration;
// the iteration's time is the program's.
class Versus {
public:
    explicit Versus(benchmark::State& state) : state_(state) {}
    template <class Work> void program(Work&& work)
    {
        const auto t = Clock::now();
        work();
        const double ms = msSince(t);
        programMs_ += ms;
        ++n_;
        state_.SetIterationTime(ms / 1000);
    }
    template <class Work> void floor(Work&& work)
    {
        const auto t = Clock::now();
        work();
        floorMs_ += msSince(t);
    }
    void report()
    {
        if (n_ == 0)
            return;
        state_.counters["program_ms"] = programMs_ / n_;
        state_.counters["floor_ms"] = floorMs_ / n_;
        state_.counters["ratio"] = floorMs_ > 0 ? programMs_ / floorMs_ : 0;
    }

private:
    benchmark::State& state_;
    double programMs_ = 0, floorMs_ = 0;
    int n_ = 0;
};

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
                     "INSERT INTO DetilKlrBrg SELECT '0' || (i / 10) || '/DBK/12/2026', printf('%05X', i), 1 "
                     "FROM n"});
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

// The floor's connection to the store.
Floor& floor()
{
    static Floor f(store().file);
    return f;
}

const char* const kItemRow = "SELECT KdBrg, NamaBrg, Stock, Reorder, Satuan FROM Barang WHERE KdBrg = ?";
const char* const kSearchScan = "SELECT KdBrg, NamaBrg FROM Barang WHERE NamaBrg LIKE ?";
// What the data layer runs for a pattern with a leading "%": the index of
// the names' pieces gives the candidates.
const char* const kSearchIndexed =
    "SELECT KdBrg, NamaBrg FROM (SELECT Barang.* FROM engine_text_Barang_NamaBrg AS tk_text "
    "CROSS JOIN Barang ON Barang.rowid = tk_text.rowid WHERE tk_text.NamaBrg LIKE ?1) AS Barang "
    "WHERE NamaBrg LIKE ?1";
const char* const kSearchCount =
    "SELECT count(*) FROM (SELECT KdBrg, NamaBrg FROM Barang WHERE NamaBrg LIKE ?)";

// What loading the data module asks of the file: the schema, the first row
// of each table, the first row of the minimum-stock query.
void floorLoad(const QString& file)
{
    Floor f(file);
    for (const char* sql :
         {"SELECT name, sql FROM sqlite_master WHERE type='table'",
          "SELECT * FROM Barang ORDER BY KdBrg LIMIT 1", "SELECT * FROM MasKlrBrg ORDER BY No LIMIT 1",
          "SELECT rowid, * FROM DetilKlrBrg ORDER BY rowid LIMIT 1",
          "SELECT rowid, * FROM BrgMasuk ORDER BY rowid LIMIT 1",
          "Select * from Barang\r\nWhere IfNull(Stock,0) <= IfNull(Reorder,0)\r\nOrder By KdBrg"})
        f.read(sql, {}, 1);
}

// Loading the data module is the database's share of the start-up.
void BM_LoadDataModule(benchmark::State& state)
{
    Store& s = store();
    Versus v(state);
    for (auto _ : state) {
        v.program([] {
            delete FDM;
            FDM = new TFDM();
        });
        v.floor([&] { floorLoad(s.file); });
    }
    v.report();
}
BENCHMARK(BM_LoadDataModule)->UseManualTime()->Unit(benchmark::kMillisecond);

QByteArray itemKey(int i)
{
    return QByteArray::number((i * 7919) % kItems, 16).toUpper().rightJustified(5, '0');
}

void BM_ItemLookup(benchmark::State& state)
{
    store();
    Versus v(state);
    int i = 0;
    for (auto _ : state) {
        const QByteArray key = itemKey(i++);
        v.program([&] { benchmark::DoNotOptimize(FDM->TBarang->findKey(QString::fromLatin1(key))); });
        v.floor([&] { floor().read(kItemRow, {key}); });
    }
    v.report();
}
BENCHMARK(BM_ItemLookup)->UseManualTime();

void BM_OpenItemTable(benchmark::State& state)
{
    store();
    Versus v(state);
    for (auto _ : state) {
        v.program([] {
            FDM->TBarang->close();
            FDM->TBarang->open();
            benchmark::DoNotOptimize(FDM->TBarang->fetchRows(FDM->TBarang->bookmark(), 30, true));
        });
        v.floor([] {
            floor().read("SELECT KdBrg, NamaBrg, Stock, Reorder, Satuan FROM Barang ORDER BY KdBrg", {}, 30);
        });
    }
    v.report();
}
BENCHMARK(BM_OpenItemTable)->UseManualTime();

void openSearch(const QString& pattern)
{
    FDM->QCari->close();
    FDM->QCari->paramByName("Barang").setAsString(pattern);
    FDM->QCari->prepare();
    FDM->QCari->open();
}

// The search's statement run again for a keystroke and its first rows,
// beside the plain statement straight on the engine; for a leading "%" also
// beside the statement the data layer runs for it (floor_index_ms).
void measureSearch(benchmark::State& state, const char* pattern)
{
    store();
    const QByteArray text(pattern);
    const bool indexed = text.startsWith('%') && text != "%";
    Versus v(state);
    double indexMs = 0;
    int n = 0;
    for (auto _ : state) {
        v.program([&] {
            openSearch(QString::fromLatin1(pattern));
            benchmark::DoNotOptimize(FDM->QCari->fetchRows(std::nullopt, 30, true));
        });
        v.floor([&] { floor().read(kSearchScan, {text}, 30); });
        if (indexed) {
            const auto t = Clock::now();
            floor().read(kSearchIndexed, {text}, 30);
            indexMs += msSince(t);
        }
        ++n;
    }
    v.report();
    if (indexed && n > 0) {
        state.counters["floor_index_ms"] = indexMs / n;
        state.counters["ratio_index"] = state.counters["program_ms"] / (indexMs / n);
    }
}

void BM_SearchKeystroke(benchmark::State& state)
{
    measureSearch(state, "ITEM 12%");
}
BENCHMARK(BM_SearchKeystroke)->UseManualTime();

void BM_SearchKeystrokeNoMatch(benchmark::State& state)
{
    measureSearch(state, "ZZZ%");
}
BENCHMARK(BM_SearchKeystrokeNoMatch)->UseManualTime();

// A pattern that begins with "%": the text anywhere in the name. Arg 0
// finds 111 items, 1 none, 2 every item.
const char* const kAnywhere[] = {"%TEM 1234%", "%XYZ%", "%ITEM%"};

void BM_SearchKeystrokeAnywhere(benchmark::State& state)
{
    measureSearch(state, kAnywhere[state.range(0)]);
}
// The floor's scan costs far more than the program's answer: a fixed count
// of keys keeps the run short.
BENCHMARK(BM_SearchKeystrokeAnywhere)
    ->DenseRange(0, 2)
    ->UseManualTime()
    ->Iterations(100)
    ->Unit(benchmark::kMillisecond);

// The floor of a goods-issue save: the same reads and writes in one
// transaction, then the issue's lines.
void floorIssueSave(const QByteArray& number, const QByteArray& code)
{
    Floor& f = floor();
    f.exec("BEGIN");
    if (f.read("SELECT No FROM MasKlrBrg WHERE No_Keluar = ?", {number}) == 0)
        f.read("INSERT INTO MasKlrBrg (No_Keluar, Tgl) VALUES (?, '2027-12-09')", {number});
    f.read("INSERT INTO DetilKlrBrg (No_Keluar, KdBrg, Jml) VALUES (?, ?, 1)", {number, code});
    f.read(kItemRow, {code});
    f.read("UPDATE Barang SET Stock = Stock - 1 WHERE KdBrg = ?", {code});
    f.exec("COMMIT");
    f.read("SELECT DetilKlrBrg.KdBrg, NamaBrg, Satuan, Jml FROM DetilKlrBrg, Barang "
           "WHERE DetilKlrBrg.KdBrg = Barang.KdBrg AND No_Keluar = ?",
           {number});
}

void BM_GoodsIssueSave(benchmark::State& state)
{
    store();
    Versus v(state);
    int n = 0;
    for (auto _ : state) {
        ++n;
        v.program([&] { issueSave(QStringLiteral("0%1/DBK/12/2027").arg(n), QStringLiteral("00010")); });
        v.floor([&] { floorIssueSave(QStringLiteral("F0%1/DBK/12/2027").arg(n).toUtf8(), "00011"); });
        waitForUser();
    }
    v.report();
}
BENCHMARK(BM_GoodsIssueSave)->UseManualTime();

double lookupMicros()
{
    QElapsedTimer t;
    t.start();
    constexpr int n = 2000;
    for (int i = 0; i < n; ++i)
        FDM->TBarang->findKey(QString::asprintf("%05X", (i * 7919 + 13) % kItems));
    return double(t.nsecsElapsed()) / n / 1000;
}

double floorLookupMicros()
{
    QElapsedTimer t;
    t.start();
    constexpr int n = 2000;
    for (int i = 0; i < n; ++i)
        floor().read(kItemRow, {QByteArray(qPrintable(QString::asprintf("%05X", (i * 7919 + 13) % kItems)))});
    return double(t.nsecsElapsed()) / n / 1000;
}

// A working session: 20,000 issue saves, five lines per issue, the program
// waiting for the user after each, with the start-up query open as the
// start-up leaves it. The log must stay bounded and the saves and look-ups
// as fast at the end as at the start; the closing checkpoint is timed too.
// The floors: look-ups straight on the engine at the start and the end.
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
        state.counters["floor_lookup_us_start"] = floorLookupMicros();
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
        state.counters["floor_lookup_us_end"] = floorLookupMicros();
        t.start();
        delete FDM;
        state.counters["close_ms"] = double(t.nsecsElapsed()) / 1e6;
        state.counters["wal_left"] = QFileInfo::exists(wal) ? 1 : 0;
        FDM = new TFDM();
    }
}
BENCHMARK(BM_IssueSession)->Iterations(1)->Unit(benchmark::kSecond);

const char* const kPatterns[] = {"%", "ITEM 1%", "ITEM 12%"};

int floorCount(const QByteArray& pattern)
{
    sqlite3_stmt* st = floor().statement(kSearchCount, {pattern});
    const int n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : 0;
    sqlite3_reset(st);
    return n;
}

// The engine's own way to the rows at a place: it steps over those before.
void floorRowsAt(const char* sql, const QByteArray& pattern, qint64 place)
{
    // A statement without a parameter leaves the text unbound.
    floor().read(std::string(sql) + " LIMIT 30 OFFSET " + std::to_string(std::max<qint64>(place, 0)),
                 {pattern});
}

// The last row of the search result (Ctrl+End on its grid), from a fresh
// opening: the count and one run from the last place. Heap held while the
// query stays open is reported per size. The floor: the count and the last
// rows straight on the engine.
void BM_SearchLastRow(benchmark::State& state)
{
    store();
    const QByteArray text(kPatterns[state.range(0)]);
    const QString pattern = QString::fromLatin1(text);
    Versus v(state);
    qint64 heap = 0;
    for (auto _ : state) {
        openSearch(pattern);
        waitForUser();
        const qint64 before = heapInUse();
        v.program([] { FDM->QCari->last(); });
        heap = heapInUse() - before;
        v.floor([&] { floorRowsAt(kSearchScan, text, floorCount(text) - 30); });
    }
    v.report();
    state.counters["rows"] = double(FDM->QCari->recordCount());
    state.counters["heap_KiB"] = double(heap) / 1024;
}
BENCHMARK(BM_SearchLastRow)->DenseRange(0, 2)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// The same once the grid knows the count (it asks for it for its scroll bar);
// the floor: the last rows straight on the engine.
void BM_SearchLastRowCounted(benchmark::State& state)
{
    store();
    const QByteArray text(kPatterns[state.range(0)]);
    const QString pattern = QString::fromLatin1(text);
    const qint64 rows = floorCount(text);
    Versus v(state);
    for (auto _ : state) {
        openSearch(pattern);
        FDM->QCari->recordCount();
        waitForUser();
        v.program([] { FDM->QCari->last(); });
        v.floor([&] { floorRowsAt(kSearchScan, text, rows - 30); });
    }
    v.report();
}
BENCHMARK(BM_SearchLastRowCounted)
    ->DenseRange(0, 2)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

// The search's count through the data layer, beside the engine counting the
// same statement's result.
void BM_SearchCountFloor(benchmark::State& state)
{
    store();
    const QByteArray text(kPatterns[state.range(0)]);
    data::Query count(QStringLiteral("QCount"));
    count.setDatabaseName("Stock");
    count.setSql(QStringList{QStringLiteral("SELECT count(*) FROM (")} + FDM->QCari->sql() +
                 QStringList{")"});
    count.paramByName("Barang").setAsString(QString::fromLatin1(text));
    Versus v(state);
    for (auto _ : state) {
        v.program([&] {
            count.close();
            count.open();
            benchmark::DoNotOptimize(count.fields().front()->asInteger());
        });
        v.floor([&] { benchmark::DoNotOptimize(floorCount(text)); });
    }
    v.report();
}
BENCHMARK(BM_SearchCountFloor)
    ->DenseRange(0, 2)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

// The item table's rows at a place: the code there found in the code's own
// index from the nearer end, then the rows from it.
void floorItemRowsAt(qint64 place)
{
    const std::string key =
        place <= kItems / 2
            ? "SELECT KdBrg FROM Barang ORDER BY KdBrg LIMIT 1 OFFSET " + std::to_string(place)
            : "SELECT KdBrg FROM Barang ORDER BY KdBrg DESC LIMIT 1 OFFSET " +
                  std::to_string(kItems - 1 - place);
    sqlite3_stmt* st = floor().statement(key);
    const QByteArray code = sqlite3_step(st) == SQLITE_ROW
                                ? QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)))
                                : "";
    sqlite3_reset(st);
    floor().read("SELECT KdBrg, NamaBrg, Stock, Reorder, Satuan FROM Barang WHERE KdBrg >= ? ORDER BY KdBrg",
                 {code}, 30);
}

// Jumps on the item table's grid: the rows at a place in the middle or at
// the end (Arg 0, 1), and the place of a row there (Arg 2, 3). The floors:
// the rows at that place, the count of the rows before that row, each from
// the nearer end.
void BM_ItemTableJump(benchmark::State& state)
{
    store();
    const qint64 place = state.range(0) % 2 == 0 ? kItems / 2 : kItems - 30;
    const data::Bookmark row = FDM->TBarang->fetchRowsFrom(place, 1).front().bookmark;
    const QByteArray key = FDM->TBarang->fetchRowsFrom(place, 1).front().values.front().toString().toUtf8();
    Versus v(state);
    for (auto _ : state) {
        if (state.range(0) < 2) {
            v.program([&] { benchmark::DoNotOptimize(FDM->TBarang->fetchRowsFrom(place, 30)); });
            v.floor([&] { floorItemRowsAt(place); });
        } else {
            v.program([&] { benchmark::DoNotOptimize(FDM->TBarang->positionOf(row)); });
            // Counted from the nearer end.
            v.floor([&] {
                floor().read(place <= kItems / 2 ? "SELECT count(*) FROM Barang WHERE KdBrg < ?"
                                                 : "SELECT (SELECT count(*) FROM Barang) - "
                                                   "(SELECT count(*) FROM Barang WHERE KdBrg >= ?)",
                             {key});
            });
        }
    }
    v.report();
}
BENCHMARK(BM_ItemTableJump)->DenseRange(0, 3)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// The same on the search result's grid, its count known: each jump is an
// event of its own and lands outside the rows held before. The floor: the
// rows at that place straight on the engine.
void BM_SearchJump(benchmark::State& state)
{
    store();
    openSearch("%");
    FDM->QCari->recordCount();
    const qint64 place = state.range(0) == 0 ? kItems / 2 : kItems - 30;
    Versus v(state);
    int i = 0;
    for (auto _ : state) {
        waitForUser();
        const qint64 at = place - (i++ % 2) * 1000;
        v.program([&] { benchmark::DoNotOptimize(FDM->QCari->fetchRowsFrom(at, 30)); });
        v.floor([&] { floorRowsAt(kSearchScan, "%", at); });
    }
    v.report();
}
BENCHMARK(BM_SearchJump)->Arg(0)->Arg(1)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
