#include "platform/data/Database.h"

#include "platform/data/DataSet.h"
#include "platform/data/Statement.h"
#include "platform/data/Table.h"
#include "platform/data/TextIndex.h"
#include "platform/rtl/Errors.h"

#include <QAbstractEventDispatcher>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <sqlite3.h>

#include <algorithm>
#include <cerrno>

namespace data {

namespace {

// Prepared statements kept for reuse; the least used go beyond this.
constexpr size_t kKeptStatements = 64;

// The engine maps its log's index in regions of this size: a smaller index
// file is mapped by no connection.
constexpr qint64 kIndexRegion = 32768;

} // namespace

Database::Database(QString alias, QString file, int busyTimeoutMs, Mode mode)
    : alias_(std::move(alias)), file_(std::move(file))
{
    logExisted_ = QFileInfo::exists(logFile());
    indexExisted_ = QFileInfo::exists(file_ + QStringLiteral("-shm"));
    const int flags = SQLITE_OPEN_READWRITE | (mode == Mode::Create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(QFile::encodeName(file_).constData(), &db_, flags, nullptr);
    auto closeOnFailure = qScopeGuard([this] { close(); });
    if (rc != SQLITE_OK)
        throw rtl::DatabaseError(failure(rc));
    fileId_ = FileId::of(file_);
    sqlite3_extended_result_codes(db_, 1);
    // Before any statement: a lock met while opening waits like any other.
    sqlite3_busy_timeout(db_, busyTimeoutMs);
    if (mode == Mode::Open)
        checkWritable(file_, sqlite3_db_readonly(db_, "main") == 1);
    lock_ = std::make_unique<DatabaseLock>(file_);
    // Settings of this connection only; they write nothing to the file.
    Statement(*this, "PRAGMA synchronous=FULL").run();
    Statement(*this, "PRAGMA foreign_keys=OFF").run();
    // Reading the mode opens the log of a logged database. The engine counts
    // the question as a write: it is asked without the writes' steps.
    {
        switching_ = true;
        auto done = qScopeGuard([this] { switching_ = false; });
        Statement journal(*this, "PRAGMA journal_mode");
        logReady_ = journal.step() && journal.text(0).compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
    }
    noteLog();
    closeOnFailure.dismiss();
}

Database::~Database()
{
    QObject::disconnect(eventLoop_);
    if (!lost_.isEmpty() || !changedFile().isEmpty()) {
        emptyLog();
    } else if (wrote_) {
        // The log goes back into the file, so the closed database is one file
        // even when another program still has it open.
        try {
            Statement(*this, "PRAGMA wal_checkpoint(TRUNCATE)").run();
        } catch (const rtl::Error&) {
            // Closing goes on; the engine checkpoints again when it can.
        }
    }
    close();
}

void Database::close() noexcept
{
    for (auto& [sql, slot] : slots_)
        sqlite3_finalize(slot->handle);
    slots_.clear();
    if (db_ && sqlite3_close(db_) != SQLITE_OK)
        sqlite3_close_v2(db_);
    db_ = nullptr;
    removeEmptyLog();
    lock_.reset();
}

// The engine opens the log by its name when it first reads a logged
// database; which file that was is taken right then.
void Database::noteLog()
{
    if (logSeen_ || !logReady_)
        return;
    sqlite3_file* log = nullptr;
    if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_JOURNAL_POINTER, &log) != SQLITE_OK || !log ||
        !log->pMethods)
        return;
    logSeen_ = true;
    logId_ = FileId::of(logFile());
}

// The file of the two that the alias's path no longer names, "" while it
// names both: a stat of each.
QString Database::changedFile()
{
    if (FileId::of(file_) != fileId_)
        return file_;
    if (!logSeen_) {
        noteLog();
        if (!logSeen_)
            return QString();
    }
    const std::optional<FileId> log = FileId::of(logFile());
    return log && log == logId_ ? QString() : logFile();
}

void Database::checkFiles()
{
    if (lost_.isEmpty()) {
        const QString changed = changedFile();
        if (changed.isEmpty())
            return;
        lost_ = QStringLiteral("The database file %1 was removed or replaced while the program was running: "
                               "nothing was saved")
                    .arg(changed);
        if (sqlite3_get_autocommit(db_))
            emptyLog();
    }
    throw rtl::DatabaseError(lost_);
}

// What the log holds goes into the file this connection opened, through the
// files it has open; nothing is written or deleted by name any more, since
// the names may now lead to another database and its log. The log, emptied,
// is nothing a later start could apply to the file now at the path.
void Database::emptyLog() noexcept
{
    if (logEmptied_)
        return;
    logEmptied_ = true;
    // The engine would otherwise checkpoint on closing and then delete the
    // log and its index by their names.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    if (!logSeen_)
        return;
    releaseReads();
    sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
}

// A start on a full disk leaves the log and its index made but empty: the
// engine deletes them itself only when it could checkpoint. Only files this
// connection made go, only while no connection can be using them, and never
// once the names may lead to another database's files.
void Database::removeEmptyLog() noexcept
{
    if (logEmptied_ || logExisted_ || indexExisted_)
        return;
    const QFileInfo log(logFile());
    const QFileInfo index(file_ + QStringLiteral("-shm"));
    if ((log.exists() && log.size() > 0) || (index.exists() && index.size() >= kIndexRegion))
        return;
    QFile::remove(log.filePath());
    QFile::remove(index.filePath());
}

QString Database::messageOf(int code, int extendedCode, const QString& engineText, int systemError) const
{
    if (extendedCode == SQLITE_CONSTRAINT_PRIMARYKEY || extendedCode == SQLITE_CONSTRAINT_UNIQUE)
        return QStringLiteral("Key violation.");
#ifdef Q_OS_UNIX
    // The engine calls a full disk met while sizing its log's index an I/O error.
    if ((code & 0xff) == SQLITE_IOERR && (systemError == ENOSPC || systemError == EDQUOT))
        return QStringLiteral("Disk full");
#else
    Q_UNUSED(systemError);
#endif
    switch (code & 0xff) {
    case SQLITE_FULL:
        return QStringLiteral("Disk full");
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
    case SQLITE_READONLY:
    case SQLITE_PERM:
        // The engine's own text does not say which file it means.
        return file_ + QStringLiteral(": ") + engineText;
    default:
        return engineText;
    }
}

QString Database::failure(int code) const
{
    return messageOf(code, sqlite3_extended_errcode(db_), QString::fromUtf8(sqlite3_errmsg(db_)),
                     sqlite3_system_errno(db_));
}

void Database::raise(const QString& message, const DataSet* owner)
{
    if (owner)
        owner->raise(message);
    throw rtl::DatabaseError(message);
}

Database::Slot* Database::tryBorrow(const std::string& sql, int* code)
{
    Slot* slot = nullptr;
    for (auto [it, end] = slots_.equal_range(sql); it != end && !slot; ++it)
        if (!it->second->busy)
            slot = it->second.get();
    if (!slot) {
        sqlite3_stmt* handle = nullptr;
        const int rc = sqlite3_prepare_v2(db_, sql.c_str(), int(sql.size()), &handle, nullptr);
        if (rc != SQLITE_OK || !handle) {
            sqlite3_finalize(handle);
            if (code)
                *code = rc;
            return nullptr;
        }
        auto fresh = std::make_unique<Slot>();
        fresh->sql = sql;
        fresh->handle = handle;
        slot = slots_.emplace(sql, std::move(fresh))->second.get();
    }
    slot->busy = true;
    slot->parked = false;
    slot->done = false;
    slot->position = 0;
    slot->lastUse = ++uses_;
    return slot;
}

Database::Slot& Database::borrow(const std::string& sql, const DataSet* owner)
{
    int code = SQLITE_OK;
    Slot* slot = tryBorrow(sql, &code);
    if (!slot) {
        // SQLITE_OK without a statement: nothing but blanks or comments.
        raise(code == SQLITE_OK ? QStringLiteral("No SQL statement") : failure(code), owner);
    }
    return *slot;
}

bool Database::compiles(const std::string& sql)
{
    Slot* slot = tryBorrow(sql, nullptr);
    if (slot)
        giveBack(*slot);
    return slot != nullptr;
}

void Database::giveBack(Slot& slot)
{
    sqlite3_reset(slot.handle);
    sqlite3_clear_bindings(slot.handle);
    slot.busy = slot.parked = slot.done = false;
    slot.position = 0;
    if (slots_.size() <= kKeptStatements)
        return;
    auto oldest = slots_.end();
    for (auto it = slots_.begin(); it != slots_.end(); ++it)
        if (!it->second->busy && (oldest == slots_.end() || it->second->lastUse < oldest->second->lastUse))
            oldest = it;
    if (oldest != slots_.end()) {
        sqlite3_finalize(oldest->second->handle);
        slots_.erase(oldest);
    }
}

void Database::releaseReads()
{
    for (auto& [sql, slot] : slots_) {
        if (slot->busy && slot->parked && sqlite3_stmt_busy(slot->handle)) {
            sqlite3_reset(slot->handle);
            slot->position = 0;
        }
    }
}

void Database::watchEventLoop()
{
    if (eventLoop_)
        return;
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        eventLoop_ =
            QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [this] { releaseReads(); });
}

// A writing statement is about to run. Inside a transaction it is stored
// with the commit, which checks the files; on its own it is stored when it
// ends, so they are checked now.
void Database::beforeWrite()
{
    if (switching_)
        return;
    wrote_ = true;
    if (!sqlite3_get_autocommit(db_))
        return;
    checkFiles();
    prepareForWrites();
    // A reader that asks to write is not given the engine's busy wait.
    releaseReads();
}

// The file goes into its log mode only here, before the first write: a
// start-up that fails has written nothing.
void Database::prepareForWrites()
{
    if (switching_ || (logReady_ && wantedIndexes_.empty()))
        return;
    switching_ = true;
    auto done = qScopeGuard([this] { switching_ = false; });
    releaseReads(); // the mode cannot change under a read
    if (!logReady_) {
        Statement(*this, "PRAGMA journal_mode=WAL").run();
        logReady_ = true;
        Statement(*this, "PRAGMA journal_mode").run(); // opens the log
        noteLog();
    }
    addWantedIndexes();
}

void Database::wantTextIndex(const QString& table, const QString& column)
{
    const auto wanted = std::make_pair(table, column);
    if (std::find(triedIndexes_.begin(), triedIndexes_.end(), wanted) == triedIndexes_.end()) {
        triedIndexes_.push_back(wanted);
        wantedIndexes_.push_back(wanted);
    }
}

// Each index is made whole or not at all, and only once per connection: the
// write that comes first goes on either way.
void Database::addWantedIndexes() noexcept
{
    for (const auto& [table, column] : wantedIndexes_) {
        if (!runQuietly("SAVEPOINT tk_index"))
            continue;
        bool made = true;
        for (const QString& st : textindex::statements(table, column))
            made = made && runQuietly(st.toStdString());
        if (!made)
            runQuietly("ROLLBACK TO tk_index");
        runQuietly("RELEASE tk_index");
    }
    wantedIndexes_.clear();
}

long long Database::lastInsertId() const
{
    return sqlite3_last_insert_rowid(db_);
}

int Database::begin()
{
    if (!lost_.isEmpty())
        throw rtl::DatabaseError(lost_);
    wrote_ = true;
    const int level = level_ + 1;
    if (level == 1) {
        if (!logReady_ || !wantedIndexes_.empty()) {
            checkFiles(); // they write on their own
            prepareForWrites();
        }
        // A writer from the start: the engine's busy wait is not given to a
        // reader that asks to write.
        releaseReads();
        Statement(*this, "BEGIN IMMEDIATE").run();
    } else {
        Statement(*this, "SAVEPOINT tk_" + std::to_string(level)).run();
    }
    level_ = level;
    return level;
}

void Database::commit(int level)
{
    if (level == 1)
        checkFiles();
    try {
        Statement(*this, level == 1 ? std::string("COMMIT") : "RELEASE tk_" + std::to_string(level)).run();
    } catch (const rtl::Error&) {
        // A commit whose log sync failed has its pages in the log all the
        // same, where a start after a crash would find them: the rollback
        // empties the log.
        failedCommit_ = level == 1;
        throw;
    }
    level_ = level - 1;
}

bool Database::runQuietly(const std::string& sql) noexcept
{
    try {
        Statement(*this, sql).run();
        return true;
    } catch (...) {
        return false;
    }
}

void Database::rollback(int level) noexcept
{
    // A rollback runs while an error is already on its way, so it reports
    // nothing itself; but it never leaves a savepoint or a transaction open.
    releaseReads();
    const std::string sp = "tk_" + std::to_string(level);
    if (level == 1) {
        if (!sqlite3_get_autocommit(db_))
            runQuietly("ROLLBACK");
        level_ = 0;
    } else if (runQuietly("ROLLBACK TO " + sp) && runQuietly("RELEASE " + sp)) {
        level_ = level - 1;
    } else {
        // Not undone on its own: the whole transaction goes, outer levels too.
        if (!sqlite3_get_autocommit(db_))
            runQuietly("ROLLBACK");
        level_ = 0;
        ++epoch_;
    }
    if (sqlite3_get_autocommit(db_)) {
        if (!lost_.isEmpty())
            emptyLog();
        else if (failedCommit_)
            runQuietly("PRAGMA wal_checkpoint(TRUNCATE)");
        failedCommit_ = false;
    }
    members_.forEach<Member>([](Member* m) {
        try {
            m->table.cancel();
            m->table.refresh();
        } catch (...) {
            // The table keeps the row it had; the first error is the one shown.
        }
    });
}

} // namespace data
