#pragma once

// Internal to the data layer: one SQLite connection behind an alias.

#include "platform/data/DatabaseFiles.h"
#include "platform/data/Link.h"

#include <QMetaObject>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace data {

class DataSet;
class Statement;
class Table;

class Database {
public:
    enum class Mode {
        Open,   // an existing database; refused when the program could not write it
        Create, // a new file
    };

    // Opens without writing anything: the engine's busy wait holds from the
    // first statement on, and the file is switched to its log mode only
    // before the first write (so a start-up that fails changes nothing).
    // One connection at a time, in any process, has a database: another one
    // is refused while the first lives.
    Database(QString alias, QString file, int busyTimeoutMs, Mode mode = Mode::Open);
    // Ends every statement, checkpoints the log into the file when this
    // connection wrote, and closes.
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& alias() const { return alias_; }
    const QString& file() const { return file_; }

    // Savepoints; begin() returns the new level. The outermost level starts
    // as a writer, so it waits for another program's lock like any write.
    // When a savepoint cannot be undone on its own the whole transaction is
    // rolled back: epoch() then changes, and the outer levels are gone too.
    //
    // Before every write that stores something (an outermost commit, a write
    // of its own, the change of the log mode) the connection checks that the
    // alias's path still names the database and log files it has open. When
    // one was removed or replaced, the write is refused, and so is every
    // later one.
    int begin();
    void commit(int level);
    void rollback(int level) noexcept;
    int level() const { return level_; }
    unsigned epoch() const { return epoch_; }

    // The tables of the connection, read again after a rollback.
    class Member : public Link {
    public:
        explicit Member(Table& t) : table(t) {}
        Table& table;
    };
    void attach(Member& member) { members_.add(&member); }

    // Resets the statements kept between calls (a query's walk), so that no
    // read transaction outlives the event that started it. Runs whenever the
    // program waits for the user.
    void releaseReads();

    // The layer's message for an engine failure: key violations and a full
    // disk in the layer's words, failures about the file naming it.
    QString messageOf(int code, int extendedCode, const QString& engineText, int systemError = 0) const;
    QString failure(int code) const; // of the connection's last call
    // As "<name>: <message>" when a dataset is given.
    [[noreturn]] static void raise(const QString& message, const DataSet* owner = nullptr);

    // The engine's index of the pieces of a text column, for a database made
    // without it: made before the connection's next write, so that a start-up
    // writes nothing.
    void wantTextIndex(const QString& table, const QString& column);

    // Whether the engine takes a statement (nothing is run).
    bool compiles(const std::string& sql);
    long long lastInsertId() const;

private:
    friend class Statement;
    struct Slot {
        std::string sql;
        sqlite3_stmt* handle = nullptr;
        bool busy = false;   // borrowed by a Statement
        bool parked = false; // kept between calls; may be reset
        bool done = false;   // the run reached its end
        long long position = 0;
        unsigned long long lastUse = 0;
    };
    Slot& borrow(const std::string& sql, const DataSet* owner);
    Slot* tryBorrow(const std::string& sql, int* code);
    void giveBack(Slot& slot);
    void beforeWrite();
    void prepareForWrites();
    void addWantedIndexes() noexcept;
    void watchEventLoop();
    void close() noexcept;
    bool runQuietly(const std::string& sql) noexcept;

    QString logFile() const { return file_ + QStringLiteral("-wal"); }
    void noteLog();
    QString changedFile();
    void checkFiles();
    void emptyLog() noexcept;
    void removeEmptyLog() noexcept;

    QString alias_;
    QString file_;
    sqlite3* db_ = nullptr;
    std::multimap<std::string, std::unique_ptr<Slot>> slots_;
    unsigned long long uses_ = 0;
    LinkList members_;
    int level_ = 0;
    unsigned epoch_ = 0;
    bool logReady_ = false;
    bool switching_ = false;
    bool wrote_ = false;
    bool failedCommit_ = false;
    std::optional<FileId> fileId_; // the database file, as opened
    std::optional<FileId> logId_;  // the log, once the engine has it open
    bool logSeen_ = false;
    QString lost_; // the refusal, once a file was removed or replaced
    bool logEmptied_ = false;
    bool logExisted_ = false, indexExisted_ = false; // beside the file when it was opened
    std::unique_ptr<DatabaseLock> lock_;
    std::vector<std::pair<QString, QString>> wantedIndexes_, triedIndexes_;
    QMetaObject::Connection eventLoop_;
};

} // namespace data
