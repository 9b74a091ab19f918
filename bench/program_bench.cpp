// Figures for the whole program, its real windows on the offscreen platform,
// at 10,000, 100,000 and 1,000,000 items, each beside its floor: the same
// work done straight on the engine, with the program's settings, on the same
// file, in the same run. bench/README.md says how to run them and what the
// goals are.
#include "EngineFloor.h"
#include "FaultyDisk.h"
#include "HeapPeak.h"
#include "WindowSaves.h"

#include "UiDriver.h"
#include "datamodule/UDm.h"
#include "items/UCari.h"
#include "items/UIBarang.h"
#include "movements/UFPP.h"
#include "movements/UPackinglist.h"
#include "movements/UPck.h"
#include "movements/UQrPacking.h"
#include "platform/data/Engine.h"
#include "platform/preview/PreviewWindow.h"
#include "platform/ui/Application.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/Dialogs.h"
#include "reports/UFLapKeluar.h"
#include "reports/UFLapTerima.h"
#include "reports/ULapStock.h"
#include "reports/UMinStock.h"
#include "reports/UQrLapStock.h"
#include "shell/UUtama.h"
#include "shell/program/Program.h"
#include "tools/stockdb/StockSchema.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <linux/magic.h>
#include <map>
#include <memory>
#include <optional>
#include <spawn.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Times every event the loop hands out at one level: the longest is how
// long a key typed meanwhile would wait before the program could take it.
class BenchApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        struct Level {
            int& depth;
            explicit Level(int& d) : depth(++d) {}
            ~Level() { --depth; }
        } level(depth_);
        if (depth_ != watched_)
            return QApplication::notify(receiver, event);
        const auto start = Clock::now();
        const bool handled = QApplication::notify(receiver, event);
        longest_ = std::max(longest_, msSince(start));
        return handled;
    }
    // From here on, the events that the caller sends or that its loop runs,
    // each with all it does inside.
    void watchBlocks()
    {
        watched_ = depth_ + 1;
        longest_ = 0;
    }
    // The longest of them.
    double stopWatching()
    {
        watched_ = -1;
        return longest_;
    }

private:
    int depth_ = 0;
    int watched_ = -1;
    double longest_ = 0;
};

BenchApplication& benchApp()
{
    return *static_cast<BenchApplication*>(qApp);
}

QString benchFolder()
{
    const QString env = qEnvironmentVariable("TK_BENCH_DATA");
    return env.isEmpty() ? QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("bench-data"))
                         : env;
}

bool onMemoryFileSystem(const QString& folder)
{
    struct statfs fs {};
    if (::statfs(QFile::encodeName(folder).constData(), &fs) != 0)
        return false;
    return fs.f_type == TMPFS_MAGIC || fs.f_type == RAMFS_MAGIC;
}

// ---------------------------------------------------------------- the store

// The issue whose note is printed: 100,000 lines under one number.
constexpr int kNoteLines = 100'000;

QString noteNumber(int items)
{
    return QStringLiteral("0%1/DBK/12/2026").arg(items / 10 + 1);
}

void execRaw(sqlite3* db, const QString& sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n%s\n", error, sql.toUtf8().constData());
        std::exit(1);
    }
}

// A store of `items` items, 1 % at or below their reorder level; as many
// issue lines under items/10 headers, plus one issue of 100,000 lines; and
// items/10 receipt lines. Made once and kept between runs.
QString storeFolder(int items)
{
    const QString folder = QDir(benchFolder()).filePath(QString::number(items));
    const QString file = QDir(folder).filePath(data::Engine::kDatabaseFile);
    if (QFileInfo::exists(folder + QStringLiteral("/complete")))
        return folder;
    QDir(folder).removeRecursively();
    std::fprintf(stderr, "making the store of %d items in %s\n", items, qPrintable(folder));
    stockdb::create(folder);
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(file).constData(), &db);
    const QString n =
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < %1) ");
    execRaw(
        db,
        QStringLiteral(
            "BEGIN;"
            "CREATE TEMP TABLE words(k INTEGER PRIMARY KEY, w TEXT);"
            "INSERT INTO words(w) VALUES ('BAUT'),('MUR'),('KABEL'),('PIPA'),('LAMPU'),('SEKRUP'),('CAT'),"
            "('PAKU'),('ENGSEL'),('KRAN'),('SAKLAR'),('STEKER'),('FITTING'),('LEM'),('SELANG'),('GERGAJI'),"
            "('PALU'),('OBENG'),('TANG'),('KUAS'),('AMPLAS'),('SEMEN'),('PASIR'),('BATA'),('KERAMIK'),"
            "('GENTENG'),('SENG'),('KAWAT'),('RANTAI'),('GEMBOK');"
            "CREATE TEMP TABLE colours(k INTEGER PRIMARY KEY, w TEXT);"
            "INSERT INTO colours(w) VALUES ('HITAM'),('PUTIH'),('MERAH'),('BIRU'),('HIJAU'),('KUNING'),"
            "('ABU'),('COKLAT');") +
            n.arg(items - 1) +
            QStringLiteral("INSERT INTO Barang SELECT printf('%05X', i), "
                           "(SELECT w FROM words WHERE k = 1 + i % 30) || ' ' || (i / 30 % 1000) || ' ' || "
                           "(SELECT w FROM colours WHERE k = 1 + i / 30000 % 8), "
                           "CASE WHEN i % 100 = 0 THEN 5 - i % 3 ELSE 100 + i % 50 END, 5, 'PCS' FROM n;") +
            n.arg(items / 10) +
            QStringLiteral("INSERT INTO MasKlrBrg (No, No_Keluar, Tgl) SELECT i, '0' || i || '/DBK/' || "
                           "printf('%02d', 1 + i % 12) || '/2026', date('2026-01-01', '+' || (i % 365) || "
                           "' days') FROM n WHERE i > 0;") +
            n.arg(items - 1) +
            QStringLiteral("INSERT INTO DetilKlrBrg SELECT '0' || (1 + i / 10) || '/DBK/' || "
                           "printf('%02d', 1 + (1 + i / 10) % 12) || '/2026', printf('%05X', (i * 7919) % ") +
            QString::number(items) + QStringLiteral("), 1 + i % 5 FROM n;") +
            QStringLiteral("INSERT INTO MasKlrBrg (No, No_Keluar, Tgl) VALUES (%1, '%2', '2026-12-01');")
                .arg(items / 10 + 1)
                .arg(noteNumber(items)) +
            n.arg(kNoteLines - 1) +
            QStringLiteral(
                "INSERT INTO DetilKlrBrg SELECT '%1', printf('%05X', (i * 104729) % %2), 1 FROM n;")
                .arg(noteNumber(items))
                .arg(items) +
            n.arg(items / 10 - 1) +
            QStringLiteral("INSERT INTO BrgMasuk SELECT 'SM' || (i / 5), "
                           "date('2026-01-01', '+' || (i % 365) || ' days'), "
                           "printf('%05X', (i * 31) % %1), 1 + i % 7 FROM n;"
                           "COMMIT;")
                .arg(items));
    execRaw(db, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    sqlite3_close(db);
    QFile marker(folder + QStringLiteral("/complete"));
    marker.open(QIODevice::WriteOnly);
    QFile pass(folder + QStringLiteral("/Pass.Txt"));
    pass.open(QIODevice::WriteOnly);
    pass.write("RAHASIA");
    return folder;
}

QString storeFile(int items)
{
    return QDir(storeFolder(items)).filePath(data::Engine::kDatabaseFile);
}

// A fresh copy of the store for a benchmark that saves, so that every run
// starts from the same rows.
QString workingCopy(int items)
{
    const QString folder = QDir(benchFolder()).filePath(QStringLiteral("work-%1").arg(items));
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    for (const QString& name : {QString::fromLatin1(data::Engine::kDatabaseFile), QStringLiteral("Pass.Txt")})
        QFile::copy(QDir(storeFolder(items)).filePath(name), QDir(folder).filePath(name));
    return QDir(folder).filePath(data::Engine::kDatabaseFile);
}

// Every figure at three sizes, so that a cost that grows with the size shows.
void sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->ArgName("items");
}

void reportRatio(benchmark::State& state, double programMs, double floorMs, const char* what = "ms")
{
    state.counters[std::string("program_") + what] = programMs;
    state.counters[std::string("floor_") + what] = floorMs;
    state.counters["ratio"] = floorMs > 0 ? programMs / floorMs : 0;
}

// ---------------------------------------------------------------- the program

// Answers every question Yes and keeps the texts of the error windows.
struct Answers : ui::DialogResponder {
    QStringList errors;
    int questions = 0;
    void message(const QString&, const QString&) override {}
    int question(const QString&, const QString&, int) override
    {
        ++questions;
        return ui::idYes;
    }
    void error(const QString&, const QString& text) override { errors << text; }
};

// The program on a store, its start-up objects made as its start-up makes
// them; the main menu is shown.
class Program {
public:
    explicit Program(int items)
    {
        file = workingCopy(items);
        data::Engine::writeAlias(QStringLiteral("Stock"), QFileInfo(file).absolutePath());
        ui::setDialogResponder(&answers);
        app = std::make_unique<ui::Application>();
        app->setTitle(QStringLiteral("TORAMBU KESTI"));
        shell::createObjects(*app);
        FUtama->show();
        QCoreApplication::processEvents();
    }
    ~Program()
    {
        app.reset();
        data::Engine::releaseUnused();
        ui::setDialogResponder(nullptr);
    }

    QString file;
    Answers answers;
    std::unique_ptr<ui::Application> app;
};

long statusKiB(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    f.open(QIODevice::ReadOnly);
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toLong();
    return 0;
}

void resetPeakMemory()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// Until every event posted so far has run, the low-priority ones too (a
// grid counts its rows then).
void waitUntilIdle()
{
    bool idle = false;
    struct Sentinel : QObject {
        bool* idle;
        explicit Sentinel(bool* i) : idle(i) {}
        bool event(QEvent* e) override
        {
            if (e->type() != QEvent::User)
                return QObject::event(e);
            *idle = true;
            return true;
        }
    } sentinel(&idle);
    QCoreApplication::postEvent(&sentinel, new QEvent(QEvent::User), Qt::LowEventPriority - 1);
    while (!idle)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

// Runs `open` (a click that opens a window) and times it to the end of the
// first paint of `watched`, and to the moment the program is idle again (the
// grid's count, which waits for the paint, included); the window is then
// closed. Peak memory over the opening to that idle moment, above what was
// in use before: the heap's peak, and the resident size's (which stays flat
// while freed memory is reused).
struct Opening {
    double paintMs = 0, idleMs = 0;
    long peakKiB = 0, rssKiB = 0;
};

class PaintWatch : public QObject {
public:
    PaintWatch(QWidget* watched, std::function<void()> onIdle) : watched_(watched), onIdle_(std::move(onIdle))
    {
        watched->installEventFilter(this);
    }
    ~PaintWatch() override { watched_->removeEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (o == watched_ && e->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    result.paintMs = msSince(start);
                    // After every event posted so far, the low-priority ones too.
                    QCoreApplication::postEvent(this, new QEvent(QEvent::User), Qt::LowEventPriority - 1);
                },
                Qt::QueuedConnection);
        }
        return false;
    }
    bool event(QEvent* e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        result.idleMs = msSince(start);
        result.peakKiB = long((heappeak::peak() - heapBefore) / 1024);
        result.rssKiB = statusKiB("VmHWM:") - rssBefore;
        idle = true;
        if (onIdle_)
            onIdle_();
        return true;
    }

    Clock::time_point start;
    long rssBefore = 0;
    long long heapBefore = 0;
    Opening result;
    bool idle = false;

private:
    QWidget* watched_;
    std::function<void()> onIdle_;
    bool painted_ = false;
};

Opening openWindow(ui::Form* form, QWidget* watched, const std::function<void()>& click)
{
    PaintWatch watch(watched, [form] { form->closeForm(); });
    QCoreApplication::processEvents();
    resetPeakMemory();
    watch.rssBefore = statusKiB("VmRSS:");
    watch.heapBefore = heappeak::resetPeak();
    watch.start = Clock::now();
    click();
    return watch.result;
}

void measureWindow(benchmark::State& state, const QString& file, ui::Form* form, ui::DBGrid* grid,
                   const std::function<void()>& open, const std::function<int(Floor&)>& floorWork)
{
    Opening sum;
    double floorMs = 0;
    int n = 0;
    Floor floor(file);
    for (auto _ : state) {
        const Opening o = openWindow(form, grid->viewport(), open);
        const auto t = Clock::now();
        benchmark::DoNotOptimize(floorWork(floor));
        floorMs += msSince(t);
        sum.paintMs += o.paintMs;
        sum.idleMs += o.idleMs;
        sum.peakKiB = std::max(sum.peakKiB, o.peakKiB);
        sum.rssKiB = std::max(sum.rssKiB, o.rssKiB);
        ++n;
        state.SetIterationTime(o.paintMs / 1000);
    }
    reportRatio(state, sum.paintMs / n, floorMs / n);
    state.counters["idle_ms"] = sum.idleMs / n;
    state.counters["peak_KiB"] = double(sum.peakKiB);
    state.counters["rss_peak_KiB"] = double(sum.rssKiB);
}

} // namespace

// ---------------------------------------------------------------- start-up

namespace {

QString helper(const char* name)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(name));
}

// Runs a program to its end in `folder`, on the window platform `platform`;
// wall time in ms.
double runProcess(const QString& program, const QStringList& args, const QString& folder,
                  const char* platform)
{
    std::vector<std::string> env8;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0)
            env8.emplace_back(*e);
    env8.push_back(std::string("QT_QPA_PLATFORM=") + platform);
    std::vector<char*> env;
    for (auto& e : env8)
        env.push_back(e.data());
    env.push_back(nullptr);
    std::vector<std::string> argv8 = {program.toStdString()};
    for (const QString& a : args)
        argv8.push_back(a.toStdString());
    std::vector<char*> argv;
    for (auto& a : argv8)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data());
    int status = 0;
    if (rc == 0)
        ::waitpid(pid, &status, 0);
    const double ms = msSince(start);
    posix_spawn_file_actions_destroy(&actions);
    QDir::setCurrent(previous);
    return rc == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

// The pages of a file leave the system's cache (those of a file nobody
// writes).
void evict(const QString& file)
{
    for (const QString& f : {file, file + QStringLiteral("-wal")}) {
        const int fd = ::open(QFile::encodeName(f).constData(), O_RDONLY);
        if (fd < 0)
            continue;
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

// Start-up to the painted login window, the whole process; Arg 1: with the
// database's pages evicted from the system's cache before each start; Arg 2:
// 0 the offscreen platform, 1 the X server's (it needs a DISPLAY). Beside the
// database floor, `bare_ms`: startup_bare, a Qt program that shows one window
// of the login's size, on the same platform.
void BM_StartUp(benchmark::State& state)
{
    const int items = int(state.range(0));
    const bool cold = state.range(1) != 0;
    const char* platform = state.range(2) == 0 ? "offscreen" : "xcb";
    if (state.range(2) != 0 && qEnvironmentVariableIsEmpty("DISPLAY")) {
        state.SkipWithError(
            "no DISPLAY: the xcb lines need an X server (Xvfb with a window manager will do)");
        return;
    }
    const QString file = storeFile(items);
    const QString folder = QFileInfo(file).absolutePath();
    data::Engine::writeAlias(QStringLiteral("Stock"), folder);
    double program = 0, floor = 0, bare = 0;
    int n = 0;
    for (auto _ : state) {
        if (cold)
            evict(file);
        const double p = runProcess(helper("startup_probe"), {}, folder, platform);
        if (cold)
            evict(file);
        const double f = runProcess(helper("startup_floor"), {file}, folder, platform);
        const double b = runProcess(helper("startup_bare"), {}, folder, platform);
        if (p < 0 || f < 0 || b < 0) {
            state.SkipWithError("a start did not end well");
            return;
        }
        program += p;
        floor += f;
        bare += b;
        ++n;
        state.SetIterationTime(p / 1000);
    }
    reportRatio(state, program / n, floor / n);
    state.counters["bare_ms"] = bare / n;
    state.counters["ratio_bare"] = program / bare;
}
BENCHMARK(BM_StartUp)
    ->ArgsProduct({{10'000, 100'000, 1'000'000}, {0, 1}, {0, 1}})
    ->ArgNames({"items", "cold", "xcb"})
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- windows

// The rows a grid on the item table shows.
const char* const kItemRows =
    "SELECT KdBrg, NamaBrg, Stock, Reorder, Satuan FROM Barang ORDER BY KdBrg LIMIT 20";

void BM_ItemWindow(benchmark::State& state)
{
    Program program(int(state.range(0)));
    measureWindow(
        state, program.file, FBarang, FBarang->DBGrid1, [] { click(FUtama->SpeedButton1); },
        [](Floor& f) { return f.read(kItemRows); });
}
BENCHMARK(BM_ItemWindow)->Apply(sizes)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_ReceiptWindow(benchmark::State& state)
{
    Program program(int(state.range(0)));
    // Its grid starts empty: the floor is nothing read.
    measureWindow(
        state, program.file, FMasuk, FMasuk->DBGrid1, [] { click(FUtama->SpeedButton2); },
        [](Floor&) { return 0; });
}
BENCHMARK(BM_ReceiptWindow)->Apply(sizes)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_IssueWindow(benchmark::State& state)
{
    Program program(int(state.range(0)));
    // Its grid starts empty; the activation reads the last header.
    measureWindow(
        state, program.file, FKeluar, FKeluar->DBGrid1, [] { click(FUtama->SpeedButton3); },
        [](Floor& f) { return f.read("SELECT No, No_Keluar, Tgl FROM MasKlrBrg ORDER BY No DESC LIMIT 1"); });
}
BENCHMARK(BM_IssueWindow)->Apply(sizes)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// Opened from its menu entry; its grid starts empty.
void BM_ReprintWindow(benchmark::State& state)
{
    Program program(int(state.range(0)));
    measureWindow(
        state, program.file, FPackinglist, FPackinglist->DBGrid1, [] { FUtama->Packinglist3->trigger(); },
        [](Floor&) { return 0; });
}
BENCHMARK(BM_ReprintWindow)->Apply(sizes)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_StockWindow(benchmark::State& state)
{
    Program program(int(state.range(0)));
    measureWindow(
        state, program.file, FLapStock, FLapStock->DBGrid1, [] { click(FUtama->SpeedButton6); },
        [](Floor& f) { return f.read(kItemRows); });
}
BENCHMARK(BM_StockWindow)->Apply(sizes)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// Its activation runs the minimum-stock query again.
void BM_MinimumStockWindow(benchmark::State& state)
{
    Program program(int(state.range(0)));
    measureWindow(
        state, program.file, FminStock, FminStock->DBGrid1, [] { click(FUtama->SpeedButton8); },
        [](Floor& f) {
            return f.read("Select * from Barang\r\nWhere IfNull(Stock,0) <= IfNull(Reorder,0)\r\n"
                          "Order By KdBrg",
                          {}, 20);
        });
}
BENCHMARK(BM_MinimumStockWindow)
    ->Apply(sizes)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

// The date-range report windows open with their query closed: an empty grid.
void BM_ReceiptReportWindow(benchmark::State& state)
{
    Program program(int(state.range(0)));
    measureWindow(
        state, program.file, FlapTerima, FlapTerima->DBGrid1, [] { click(FUtama->SpeedButton4); },
        [](Floor&) { return 0; });
}
BENCHMARK(BM_ReceiptReportWindow)
    ->Apply(sizes)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

void BM_IssueReportWindow(benchmark::State& state)
{
    Program program(int(state.range(0)));
    measureWindow(
        state, program.file, FlapKeluar, FlapKeluar->DBGrid1, [] { click(FUtama->SpeedButton5); },
        [](Floor&) { return 0; });
}
BENCHMARK(BM_IssueReportWindow)->Apply(sizes)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- saves

// The floor of a goods-issue save: the same reads and writes straight on the
// engine, one transaction, then the lines of the issue read as the grid
// shows them.
void floorIssueSave(Floor& f, const QByteArray& number, const QByteArray& code)
{
    f.exec("BEGIN");
    f.read("SELECT KdBrg, NamaBrg, Stock, Reorder, Satuan FROM Barang WHERE KdBrg = ?", {code});
    if (f.read("SELECT No FROM MasKlrBrg WHERE No_Keluar = ?", {number}) == 0)
        f.read("INSERT INTO MasKlrBrg (No_Keluar, Tgl) VALUES (?, '2026-12-09')", {number});
    f.read("INSERT INTO DetilKlrBrg (No_Keluar, KdBrg, Jml) VALUES (?, ?, 1)", {number, code});
    f.read("UPDATE Barang SET Stock = Stock - 1 WHERE KdBrg = ?", {code});
    f.exec("COMMIT");
    f.read("SELECT DetilKlrBrg.KdBrg, NamaBrg, Satuan, Jml FROM DetilKlrBrg, Barang "
           "WHERE DetilKlrBrg.KdBrg = Barang.KdBrg AND No_Keluar = ?",
           {number}, 20);
}

QString itemCode(int items, int i)
{
    return QString::asprintf("%05X", unsigned((i * 104729LL + 7) % items));
}

bool refuseMemoryFileSystem(benchmark::State& state, const QString& file)
{
    if (!onMemoryFileSystem(QFileInfo(file).absolutePath()))
        return false;
    state.SkipWithError("the store is on a memory file system: a durable save cannot be measured there");
    return true;
}

// Until the widgets have painted: those the program has not repainted by
// the time it is idle are painted then, as the screen would show them.
class RepaintWatch : public QObject {
public:
    explicit RepaintWatch(std::initializer_list<QWidget*> widgets) : widgets_(widgets)
    {
        for (QWidget* w : widgets_)
            w->installEventFilter(this);
    }
    ~RepaintWatch() override
    {
        for (QWidget* w : widgets_)
            w->removeEventFilter(this);
    }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            painted_.insert(o);
        return false;
    }
    // How many had to be painted here.
    int finish()
    {
        waitUntilIdle();
        int forced = 0;
        for (QWidget* w : widgets_) {
            if (!painted_.contains(w) && w->isVisible()) {
                w->repaint();
                ++forced;
            }
        }
        return forced;
    }

private:
    std::vector<QWidget*> widgets_;
    QSet<QObject*> painted_;
};

void enterText(QLineEdit* box, const QString& text)
{
    box->clear();
    typeText(box, text);
    pressEnter(box);
}

// A goods-issue save through the issue window: the code and the quantity
// typed with Enter, then timed from "&Simpan" clicked (the question answered)
// to the window's grid and its scroll bar painted with the new line; five
// lines per issue. Syncs counted under the engine.
void BM_IssueSave(benchmark::State& state)
{
    const int items = int(state.range(0));
    Program program(items);
    if (refuseMemoryFileSystem(state, program.file))
        return;
    FKeluar->show();
    ui::DBGrid* grid = FKeluar->DBGrid1;
    Floor floor(program.file);
    double programMs = 0, floorMs = 0, typingMs = 0;
    int n = 0, syncs = 0, forced = 0;
    for (auto _ : state) {
        if (n % 5 == 0)
            windowsaves::startIssue();
        const QString code = itemCode(items, n);
        auto t = Clock::now();
        enterText(FKeluar->Edit2, code);
        enterText(FKeluar->Edit5, QStringLiteral("1"));
        waitUntilIdle();
        typingMs += msSince(t);
        const int syncsBefore = faultydisk::syncs();
        RepaintWatch repaint({grid->viewport(), grid->verticalScrollBar()});
        t = Clock::now();
        click(FKeluar->Button1);
        forced += repaint.finish();
        const double ms = msSince(t);
        const QString number = FKeluar->Edit1->text();
        syncs += faultydisk::syncs() - syncsBefore;
        t = Clock::now();
        floorIssueSave(floor, ("F" + number).toUtf8(), itemCode(items, n + 1).toUtf8());
        floorMs += msSince(t);
        programMs += ms;
        ++n;
        state.SetIterationTime(ms / 1000);
        QCoreApplication::processEvents();
    }
    if (!program.answers.errors.isEmpty())
        state.SkipWithError(program.answers.errors.first().toStdString().c_str());
    else if (program.answers.questions != n)
        state.SkipWithError(
            ("a save was refused: " + std::to_string(program.answers.questions) + " questions").c_str());
    reportRatio(state, programMs / n, floorMs / n);
    state.counters["typing_ms"] = typingMs / n;
    state.counters["forced_paints"] = double(forced) / n;
    state.counters["syncs_per_save"] = double(syncs) / n;
}
BENCHMARK(BM_IssueSave)->Apply(sizes)->UseManualTime()->Iterations(300)->Unit(benchmark::kMillisecond);

double lookupMs(int items, int salt)
{
    const auto t = Clock::now();
    constexpr int n = 2000;
    for (int i = 0; i < n; ++i)
        FDM->TBarang->findKey(itemCode(items, i * 31 + salt));
    return msSince(t) / n;
}

double floorLookupMs(Floor& f, int items, int salt)
{
    const auto t = Clock::now();
    constexpr int n = 2000;
    for (int i = 0; i < n; ++i)
        f.read("SELECT KdBrg, NamaBrg, Stock, Reorder, Satuan FROM Barang WHERE KdBrg = ?",
               {itemCode(items, i * 31 + salt).toUtf8()});
    return msSince(t) / n;
}

// A working session: 20,000 goods-issue saves through the issue window, the
// program waiting for the user after each, with every query open as the
// windows leave it (the start-up's minimum-stock query, the issue lines).
// The log must stay bounded and a save and a look-up cost the same at the
// end as at the start; the closing checkpoint is timed.
void BM_IssueSession(benchmark::State& state)
{
    const int items = int(state.range(0));
    constexpr int kSaves = 20'000, kSample = 500;
    for (auto _ : state) {
        auto program = std::make_unique<Program>(items);
        if (refuseMemoryFileSystem(state, program->file))
            return;
        const QString wal = program->file + QStringLiteral("-wal");
        FKeluar->show();
        Floor floor(program->file);
        state.counters["lookup_ms_start"] = lookupMs(items, 1);
        state.counters["floor_lookup_ms_start"] = floorLookupMs(floor, items, 1);
        double first = 0, last = 0;
        qint64 walMax = 0;
        for (int i = 0; i < kSaves; ++i) {
            if (i % 5 == 0)
                windowsaves::startIssue();
            const auto t = Clock::now();
            windowsaves::issueLine(itemCode(items, i), 1);
            const double ms = msSince(t);
            if (i < kSample)
                first += ms;
            if (i >= kSaves - kSample)
                last += ms;
            QCoreApplication::processEvents();
            walMax = std::max(walMax, QFileInfo(wal).size());
        }
        state.counters["save_ms_start"] = first / kSample;
        state.counters["save_ms_end"] = last / kSample;
        state.counters["wal_MiB_end"] = double(QFileInfo(wal).size()) / (1 << 20);
        state.counters["wal_MiB_max"] = double(walMax) / (1 << 20);
        state.counters["lookup_ms_end"] = lookupMs(items, 2);
        state.counters["floor_lookup_ms_end"] = floorLookupMs(floor, items, 2);
        if (!program->answers.errors.isEmpty())
            state.SkipWithError(program->answers.errors.first().toStdString().c_str());
        else if (program->answers.questions != kSaves)
            state.SkipWithError("a save was refused");
        const auto t = Clock::now();
        program.reset();
        state.counters["close_ms"] = msSince(t);
        state.counters["wal_left_MiB"] = double(QFileInfo(wal).size()) / (1 << 20);
    }
}
BENCHMARK(BM_IssueSession)->Apply(sizes)->Iterations(1)->Unit(benchmark::kSecond);

// The search's statement as a keystroke runs it (close, parameter, prepare,
// open) and the rows its grid shows, without the window; Arg 1 as for
// BM_SearchKeystroke. The floor is the same statement straight on the
// engine, which has no index to use for the last two.
const char* const kSearchPatterns[] = {"KABEL 123%", "%", "%KABEL 123%"};

// The statement as the engine gets it without help: for a leading "%" it
// reads the table row by row.
const char* const kSearchScan = "SELECT KdBrg, NamaBrg FROM Barang WHERE NamaBrg LIKE ?";

// What the program runs for a pattern with a leading "%": its index of the
// names' pieces gives the candidates, the pattern keeps those it matches.
const char* const kSearchIndexed =
    "SELECT KdBrg, NamaBrg FROM (SELECT Barang.* FROM engine_text_Barang_NamaBrg AS tk_text "
    "CROSS JOIN Barang ON Barang.rowid = tk_text.rowid WHERE tk_text.NamaBrg LIKE ?1) AS Barang "
    "WHERE NamaBrg LIKE ?1";

// Both floors of a search's first rows; the index's only for a leading "%".
struct SearchFloors {
    double scanMs = 0, indexMs = 0;
    int n = 0;
    bool differ = false;

    void measure(Floor& floor, const QByteArray& pattern)
    {
        auto t = Clock::now();
        const int rows = floor.read(kSearchScan, {pattern}, 20);
        scanMs += msSince(t);
        ++n;
        if (!pattern.startsWith('%') || pattern == "%")
            return;
        t = Clock::now();
        differ |= floor.read(kSearchIndexed, {pattern}, 20) != rows;
        indexMs += msSince(t);
    }
    // floor_ms the scan; for a leading "%" also the index statement's floor.
    void report(benchmark::State& state, double programMs) const
    {
        reportRatio(state, programMs, scanMs / n);
        if (indexMs > 0) {
            state.counters["floor_index_ms"] = indexMs / n;
            state.counters["ratio_index"] = programMs / (indexMs / n);
        }
        if (differ)
            state.SkipWithError("the index statement's rows are not the scan's");
    }
};

void sizesAndPatterns(benchmark::internal::Benchmark* b)
{
    b->ArgsProduct({{10'000, 100'000, 1'000'000}, {0, 1, 2}})->ArgNames({"items", "pattern"});
}

void BM_SearchQuery(benchmark::State& state)
{
    Program program(int(state.range(0)));
    Floor floor(program.file);
    const QString pattern = QString::fromLatin1(kSearchPatterns[state.range(1)]);
    SearchFloors floors;
    double programMs = 0;
    int n = 0;
    for (auto _ : state) {
        auto t = Clock::now();
        FDM->QCari->close();
        FDM->QCari->paramByName(QStringLiteral("Barang")).setAsString(pattern);
        FDM->QCari->prepare();
        FDM->QCari->open();
        benchmark::DoNotOptimize(FDM->QCari->fetchRows(std::nullopt, 20, true));
        const double ms = msSince(t);
        floors.measure(floor, pattern.toUtf8());
        programMs += ms;
        ++n;
        state.SetIterationTime(ms / 1000);
    }
    floors.report(state, programMs / n);
    state.counters["rows"] = double(FDM->QCari->recordCount());
}
BENCHMARK(BM_SearchQuery)
    ->Apply(sizesAndPatterns)
    ->UseManualTime()
    ->Iterations(50)
    ->Unit(benchmark::kMillisecond);

// A keystroke in the search window: from the key to its grid painted again
// (and to the program idle, the grid's count included). Arg 1: 0 a letter
// that makes a longer prefix, 1 the Backspace that leaves the box empty (the
// pattern "%": every item), 2 a letter after a leading "%" (the text anywhere
// in the name). next_key_ms: the longest the program is deaf to the next key
// from this key to idle, the longest single event it handles (the key's own
// included); its mean, and its maximum over the keys. count_ms: to the
// grid's count known, which goes on in steps between events after idle_ms;
// the keys are watched until then. The floors as for BM_SearchQuery.
void BM_SearchKeystroke(benchmark::State& state)
{
    const int items = int(state.range(0));
    const int kind = int(state.range(1));
    Program program(items);
    Floor floor(program.file);
    const QString before[] = {QStringLiteral("KABEL "), QStringLiteral("K"), QStringLiteral("%KABEL ")};
    double paint = 0, idle = 0, count = 0, nextKey = 0, nextKeyMax = 0;
    SearchFloors floors;
    int n = 0;
    FKeluar->show();
    FKeluar->FormActivate();
    whileModal([&] {
        ui::DBGrid* grid = FCari->DBGrid1;
        // The count ends between events, after the paint and idle moments.
        const auto counted = [grid](Clock::time_point deadline) {
            while (grid->rows().resultSize() < 0 && Clock::now() < deadline)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
            return grid->rows().resultSize() >= 0;
        };
        for (auto _ : state) {
            // "KABEL 13%" to "KABEL 93%" in turn, so that a key shows rows not
            // drawn a moment ago, as typing forward does; the emptied box is
            // always "%".
            const QString start = kind == 1 ? before[kind] : before[kind] + QString::number(1 + n % 9);
            FCari->Edit1->setText(start);
            waitUntilIdle();
            counted(Clock::now() + std::chrono::seconds(10));
            waitUntilIdle();
            PaintWatch watch(grid->viewport(), nullptr);
            std::optional<Clock::time_point> countedAt;
            const auto onMeasured = QObject::connect(&grid->rows(), &ui::GridRows::measured, [&] {
                if (!countedAt && grid->rows().resultSize() >= 0)
                    countedAt = Clock::now();
            });
            benchApp().watchBlocks();
            watch.start = Clock::now();
            if (kind == 1)
                pressKey(FCari->Edit1, Qt::Key_Backspace);
            else
                typeText(FCari->Edit1, QStringLiteral("3"));
            const auto deadline = Clock::now() + std::chrono::seconds(10);
            while (!watch.idle && Clock::now() < deadline)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
            const bool known = watch.idle && counted(deadline);
            QObject::disconnect(onMeasured);
            if (!watch.idle || !known) {
                benchApp().stopWatching();
                state.SkipWithError(watch.idle ? "the search's count was not known"
                                               : "the search grid was not painted again");
                break;
            }
            waitUntilIdle();
            const double blocked = benchApp().stopWatching();
            // Known without a step of its own: as soon as the rows were read.
            count += countedAt ? std::chrono::duration<double, std::milli>(*countedAt - watch.start).count()
                               : watch.result.paintMs;
            nextKey += blocked;
            nextKeyMax = std::max(nextKeyMax, blocked);
            floors.measure(floor, kind == 1 ? QByteArray("%") : (start + QStringLiteral("3%")).toUtf8());
            paint += watch.result.paintMs;
            idle += watch.result.idleMs;
            ++n;
            state.SetIterationTime(watch.result.paintMs / 1000);
        }
        FCari->closeForm();
    });
    click(FKeluar->Button4);
    if (n == 0)
        return;
    floors.report(state, paint / n);
    state.counters["idle_ms"] = idle / n;
    state.counters["count_ms"] = count / n;
    state.counters["next_key_ms"] = nextKey / n;
    state.counters["next_key_max_ms"] = nextKeyMax;
}
BENCHMARK(BM_SearchKeystroke)
    ->Apply(sizesAndPatterns)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- reports

// Builds the whole document of a layout; pages per second beside the floor,
// reading the same rows straight from the engine.
void measureBuild(benchmark::State& state, report::Report& layout, const std::string& floorSql,
                  std::initializer_list<QByteArray> texts, const QString& file)
{
    Floor floor(file);
    double programMs = 0, floorMs = 0;
    int pages = 0, n = 0;
    for (auto _ : state) {
        auto t = Clock::now();
        pages = layout.buildDocument().pageCount();
        const double ms = msSince(t);
        t = Clock::now();
        benchmark::DoNotOptimize(floor.read(floorSql, texts));
        floorMs += msSince(t);
        programMs += ms;
        ++n;
        state.SetIterationTime(ms / 1000);
    }
    reportRatio(state, programMs / n, floorMs / n);
    state.counters["pages"] = pages;
    state.counters["pages_per_s"] = pages / (programMs / n / 1000);
}

void openIssueNote(int items)
{
    FDM->QKeluar->close();
    FDM->QKeluar->prepare();
    FDM->QKeluar->paramByName(QStringLiteral("Kel")).setAsString(noteNumber(items));
    FDM->QKeluar->open();
}

const char* const kIssueNoteFloor = "SELECT DetilKlrBrg.KdBrg, NamaBrg, Satuan, Jml FROM DetilKlrBrg, Barang "
                                    "WHERE DetilKlrBrg.KdBrg = Barang.KdBrg AND No_Keluar = ?";

// The issue note of 100,000 lines.
void BM_IssueNoteBuild(benchmark::State& state)
{
    const int items = int(state.range(0));
    Program program(items);
    openIssueNote(items);
    measureBuild(state, *QrKeluar, kIssueNoteFloor, {noteNumber(items).toUtf8()}, program.file);
}
BENCHMARK(BM_IssueNoteBuild)->Apply(sizes)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

// The stock report: every item.
void BM_StockReportBuild(benchmark::State& state)
{
    Program program(int(state.range(0)));
    measureBuild(state, *QrLapStock,
                 "SELECT KdBrg, NamaBrg, Stock, Reorder, Satuan FROM Barang ORDER BY KdBrg", {},
                 program.file);
}
BENCHMARK(BM_StockReportBuild)->Apply(sizes)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

// Watches for the first paint of a preview's page, then closes the preview
// while its pages are still being built, and times both.
class PreviewWatch : public QObject {
public:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() != QEvent::Paint || !o->isWidgetType() || firstMs >= 0)
            return false;
        auto* w = static_cast<QWidget*>(o);
        auto* window = qobject_cast<report::PreviewWindow*>(w->window());
        auto* scroll = window ? window->findChild<QScrollArea*>() : nullptr;
        if (!scroll || scroll->widget() != w)
            return false;
        QPointer<report::PreviewWindow> target(window);
        QMetaObject::invokeMethod(
            this,
            [this, target] {
                firstMs = msSince(start);
                if (!target)
                    return;
                stillBuilding = target->building();
                closeStart = Clock::now();
                target->close();
            },
            Qt::QueuedConnection);
        return false;
    }

    Clock::time_point start, closeStart;
    double firstMs = -1;
    bool stillBuilding = false;
};

// The preview of the issue note of 100,000 lines: opened to its first page
// painted, then closed while its pages are still being built.
void BM_IssueNotePreview(benchmark::State& state)
{
    const int items = int(state.range(0));
    Program program(items);
    Floor floor(program.file);
    double firstPage = 0, closing = 0, floorMs = 0;
    int n = 0;
    for (auto _ : state) {
        openIssueNote(items);
        PreviewWatch watch;
        qApp->installEventFilter(&watch);
        watch.start = Clock::now();
        QrKeluar->preview();
        const double closeMs = msSince(watch.closeStart);
        qApp->removeEventFilter(&watch);
        if (!watch.stillBuilding)
            state.SkipWithError("the preview had built every page before it was closed");
        const auto t = Clock::now();
        // The first page's rows.
        floor.read(kIssueNoteFloor, {noteNumber(items).toUtf8()}, 60);
        floorMs += msSince(t);
        firstPage += watch.firstMs;
        closing += closeMs;
        ++n;
        state.SetIterationTime(watch.firstMs / 1000);
    }
    reportRatio(state, firstPage / n, floorMs / n);
    state.counters["close_ms"] = closing / n;
}
BENCHMARK(BM_IssueNotePreview)->Apply(sizes)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

// The offscreen platform's notes about what it cannot do are not figures.
void quietPlatform(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtWarningMsg || !text.contains(QLatin1String("This plugin does not support")))
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

int main(int argc, char** argv)
{
    qInstallMessageHandler(quietPlatform);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The bench's own engine configuration; the helpers it starts read it too.
    faultydisk::install();
    BenchApplication app(argc, argv);
    QDir().mkpath(benchFolder());
    qputenv("DBENGINE_CONFIG", QDir(benchFolder()).filePath(QStringLiteral("aliases.ini")).toLocal8Bit());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
