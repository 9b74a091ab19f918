// The data module saving receipts and issues in another process (save_stream)
// is killed at random moments, many of them inside a commit; after each kill
// the database must be sound, hold every save that was reported, and every
// item's stock must equal its receipts minus its issues.
//
// The seed is printed; TK_DURABILITY_SEED=<n> replays a run.
//
// While one of them runs, a second copy of the program on the database is
// refused; once it was killed, the next one starts.
#include "DialogScript.h"
#include "TempDatabase.h"
#include "UiDriver.h"

#include "platform/data/Engine.h"
#include "shell/UPass.h"
#include "shell/program/Program.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>
#include <spawn.h>
#include <sqlite3.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kItems = 40;
constexpr int kOpeningStock = 50;
constexpr int kKills = 60;

struct Save {
    char kind = 0; // M receipt, K issue
    std::string number, code;
    int quantity = 0;
};

// A running save_stream with its standard output on a pipe.
class Child {
public:
    Child(uint64_t seed, int run, int stopAt)
    {
        if (::pipe(pipe_) != 0)
            throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipe_[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipe_[0]);
        std::vector<std::string> args = {SAVE_STREAM, std::to_string(seed), std::to_string(run),
                                         std::to_string(kItems)};
        if (stopAt > 0)
            args.push_back(std::to_string(stopAt));
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const int rc = posix_spawn(&pid_, SAVE_STREAM, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipe_[1]);
        if (rc != 0)
            throw std::runtime_error("cannot start " SAVE_STREAM);
    }
    ~Child()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(pipe_[0]);
    }

    // Waits until the child has stopped itself; false when it ended instead
    // or did not stop within the time.
    bool waitForStop()
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            const pid_t r = ::waitpid(pid_, &status, WNOHANG | WUNTRACED);
            if (r == pid_ && WIFSTOPPED(status))
                return true;
            if (r == pid_) {
                pid_ = -1;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return false;
    }

    // Kills it where it is and reads what it reported. False when it had
    // ended by itself.
    bool kill(std::vector<Save>& reported)
    {
        bool killed = true;
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
            pid_ = -1;
        } else {
            killed = false;
        }
        std::string out;
        char buf[4096];
        for (ssize_t n; (n = ::read(pipe_[0], buf, sizeof buf)) != 0;) {
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                break;
            out.append(buf, size_t(n));
        }
        // A line cut by the kill was not reported.
        size_t at = 0;
        for (size_t end; (end = out.find('\n', at)) != std::string::npos; at = end + 1) {
            Save s;
            char number[32], code[16];
            if (std::sscanf(out.c_str() + at, "%c %31s %15s %d", &s.kind, number, code, &s.quantity) == 4) {
                s.number = number;
                s.code = code;
                reported.push_back(s);
            }
        }
        return killed;
    }

private:
    pid_t pid_ = -1;
    int pipe_[2] = {-1, -1};
};

// The database as the next start finds it, straight on the engine. It does
// not checkpoint when closed, so the next child starts on the log the
// killed one left.
class Inspection {
public:
    explicit Inspection(const QString& file)
    {
        sqlite3_open_v2(QFile::encodeName(file).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    }
    ~Inspection() { sqlite3_close(db_); }

    std::vector<std::string> column(const char* sql)
    {
        std::vector<std::string> out;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) != SQLITE_OK)
            return {std::string("cannot read: ") + sqlite3_errmsg(db_)};
        while (sqlite3_step(st) == SQLITE_ROW) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            out.emplace_back(t ? t : "NULL");
        }
        sqlite3_finalize(st);
        return out;
    }

    int count(const Save& s)
    {
        const char* sql = s.kind == 'M'
                              ? "SELECT count(*) FROM BrgMasuk WHERE No_SMasuk=? AND KdBrg=? AND Jml=?"
                              : "SELECT count(*) FROM DetilKlrBrg WHERE No_Keluar=? AND KdBrg=? AND Jml=?";
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db_, sql, -1, &st, nullptr);
        sqlite3_bind_text(st, 1, s.number.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, s.code.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 3, s.quantity);
        const int n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
        sqlite3_finalize(st);
        return n;
    }

private:
    sqlite3* db_ = nullptr;
};

uint64_t seedOfRun()
{
    const QByteArray env = qgetenv("TK_DURABILITY_SEED");
    return env.isEmpty() ? 20260325 : env.toULongLong();
}

void addItems(const TempDatabase& db)
{
    db.exec(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < %1) "
                       "INSERT INTO Barang SELECT printf('I%04d', i), 'BARANG ' || i, %2, 5, 'PCS' FROM n")
            .arg(kItems - 1)
            .arg(kOpeningStock));
}

TEST(KilledSaves, EveryReportedSaveSurvivesAndEveryStockAddsUp)
{
    TempDatabase db;
    addItems(db);
    const QString file = QDir(db.dataFolder()).filePath(data::Engine::kDatabaseFile);
    const uint64_t seed = seedOfRun();
    std::printf("durability seed %llu (replay with TK_DURABILITY_SEED=%llu)\n", (unsigned long long)seed,
                (unsigned long long)seed);
    std::mt19937_64 random(seed);

    std::vector<Save> reported;
    int atWriteKills = 0;
    for (int run = 0; run < kKills; ++run) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", run " + std::to_string(run));
        // Every other kill lands on a chosen write or sync, which the engine
        // makes only while it commits (or checkpoints); the others at a
        // moment after the start.
        const bool atWrite = run % 2 == 0;
        const int stopAt = atWrite ? 1 + int(random() % 150) : 0;
        const int delayMs = 20 + int(random() % 180);
        Child child(seed, run, stopAt);
        if (atWrite) {
            ASSERT_TRUE(child.waitForStop()) << "save_stream did not reach its write " << stopAt;
            ++atWriteKills;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        }
        ASSERT_TRUE(child.kill(reported)) << "save_stream ended by itself";

        Inspection after(file);
        ASSERT_EQ(after.column("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
        for (const Save& s : reported)
            ASSERT_EQ(after.count(s), 1) << "reported save " << s.kind << ' ' << s.number << ' ' << s.code;
        // Checked over every stored movement, the unreported last one too:
        // its line and its stock change are there together or not at all.
        EXPECT_EQ(after.column(("SELECT KdBrg || ' ' || Stock FROM Barang b WHERE Stock IS NOT " +
                                std::to_string(kOpeningStock) +
                                " + (SELECT total(Jml) FROM BrgMasuk m WHERE m.KdBrg = b.KdBrg)"
                                " - (SELECT total(Jml) FROM DetilKlrBrg d WHERE d.KdBrg = b.KdBrg)")
                                   .c_str()),
                  std::vector<std::string>{});
        EXPECT_EQ(
            after.column("SELECT No_Keluar FROM MasKlrBrg h WHERE NOT EXISTS "
                         "(SELECT 1 FROM DetilKlrBrg d WHERE d.No_Keluar = h.No_Keluar) "
                         "UNION ALL SELECT No_Keluar FROM MasKlrBrg GROUP BY No_Keluar HAVING count(*) > 1 "
                         "UNION ALL SELECT No_Keluar FROM DetilKlrBrg d WHERE NOT EXISTS "
                         "(SELECT 1 FROM MasKlrBrg h WHERE h.No_Keluar = d.No_Keluar)"),
            std::vector<std::string>{});
    }
    EXPECT_GE(atWriteKills, kKills / 2);
    // The runs saved enough to mean something: receipts and issues, and
    // issue documents of more than one line.
    int issues = 0;
    for (const Save& s : reported)
        issues += s.kind == 'K';
    EXPECT_GT(issues, 50);
    EXPECT_GT(int(reported.size()) - issues, 50);
    std::printf("%zu saves reported over %d kills, %d of them at a write or sync of a commit or checkpoint\n",
                reported.size(), kKills, atWriteKills);
}

TEST(KilledSaves, ASecondCopyIsRefusedWhileTheFirstRunsButNotOnceItWasKilled)
{
    TempDatabase db;
    addItems(db);
    auto folder = [&] {
        QStringList files;
        for (const QFileInfo& f : QDir(db.dataFolder()).entryInfoList(QDir::Files | QDir::Hidden))
            files << f.fileName() + ' ' + f.lastModified().toString(Qt::ISODateWithMs) + ' ' +
                         QString::number(f.size());
        return files;
    };
    auto run = [] {
        whileRunning([] { click(Fpass->Button2); }); // a login window that appears is cancelled
        const int code = shell::runProgram();
        clearModalSteps();
        return code;
    };
    Child first(seedOfRun(), 0, 1); // holds the database, stopped at its first write
    ASSERT_TRUE(first.waitForStop());
    const QStringList before = folder();
    DialogScript dialogs;
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(dialogs.texts().value(0).section('\n', 1),
              "The database " + db.dataFolder() + "/stock.sqlite is in use by another copy of the program.");
    EXPECT_EQ(folder(), before);
    std::vector<Save> reported;
    first.kill(reported);
    EXPECT_EQ(run(), 0);
}

} // namespace
