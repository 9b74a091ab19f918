#include "platform/data/Database.h"

#include "platform/data/Table.h"
#include "platform/rtl/Errors.h"

#include <QFile>
#include <algorithm>
#include <sqlite3.h>

namespace data {

Database::Database(QString alias, const QString& file) : alias_(std::move(alias))
{
    try {
        db_ = std::make_unique<SQLite::Database>(QFile::encodeName(file).toStdString(), SQLite::OPEN_READWRITE);
        db_->exec("PRAGMA journal_mode=WAL");
        db_->exec("PRAGMA synchronous=FULL");
        db_->exec("PRAGMA foreign_keys=OFF");
        db_->setBusyTimeout(5000);
    } catch (const SQLite::Exception& e) {
        raise(e);
    }
}

Database::~Database() = default;

SQLite::Statement& Database::statement(const std::string& sql)
{
    auto it = statements_.find(sql);
    if (it == statements_.end()) {
        try {
            it = statements_.emplace(sql, std::make_unique<SQLite::Statement>(*db_, sql)).first;
        } catch (const SQLite::Exception& e) {
            raise(e);
        }
    }
    SQLite::Statement& st = *it->second;
    st.tryReset();
    st.clearBindings();
    return st;
}

void Database::attach(Table* table)
{
    if (std::find(tables_.begin(), tables_.end(), table) == tables_.end())
        tables_.push_back(table);
}

void Database::detach(Table* table)
{
    tables_.erase(std::remove(tables_.begin(), tables_.end(), table), tables_.end());
}

int Database::begin()
{
    const int level = level_ + 1;
    try {
        db_->exec("SAVEPOINT tk_" + std::to_string(level));
    } catch (const SQLite::Exception& e) {
        raise(e);
    }
    level_ = level;
    return level;
}

void Database::commit(int level)
{
    try {
        db_->exec("RELEASE tk_" + std::to_string(level));
    } catch (const SQLite::Exception& e) {
        raise(e);
    }
    level_ = level - 1;
}

void Database::rollback(int level) noexcept
{
    const std::string sp = "tk_" + std::to_string(level);
    // A rollback runs while an error is already on its way, so it reports
    // nothing itself. RELEASE only after the undo: releasing an outermost
    // savepoint that was not rolled back would store its writes.
    if (sqlite3_exec(db_->getHandle(), ("ROLLBACK TO " + sp).c_str(), nullptr, nullptr, nullptr) == SQLITE_OK)
        sqlite3_exec(db_->getHandle(), ("RELEASE " + sp).c_str(), nullptr, nullptr, nullptr);
    else if (level == 1)
        sqlite3_exec(db_->getHandle(), "ROLLBACK", nullptr, nullptr, nullptr);
    level_ = level - 1;
    const auto tables = tables_;
    for (Table* t : tables) {
        try {
            t->cancel();
            t->refresh();
        } catch (...) {
            // The table keeps the row it had; the first error is the one shown.
        }
    }
}

QString Database::messageOf(const SQLite::Exception& e)
{
    const int ext = e.getExtendedErrorCode();
    if (ext == SQLITE_CONSTRAINT_PRIMARYKEY || ext == SQLITE_CONSTRAINT_UNIQUE)
        return QStringLiteral("Key violation.");
    if (e.getErrorCode() == SQLITE_FULL)
        return QStringLiteral("Disk full");
    return QString::fromUtf8(e.what());
}

void Database::raise(const SQLite::Exception& e)
{
    throw rtl::DatabaseError(messageOf(e));
}

} // namespace data
