#pragma once

// Internal to the data layer: one SQLite connection behind an alias.

#include <QString>
#include <SQLiteCpp/SQLiteCpp.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace data {

class Table;

class Database {
public:
    Database(QString alias, const QString& file);
    ~Database();

    const QString& alias() const { return alias_; }
    SQLite::Database& connection() { return *db_; }

    // A prepared statement kept for reuse, reset and with its bindings cleared.
    SQLite::Statement& statement(const std::string& sql);

    void attach(Table* table);
    void detach(Table* table);

    // Savepoints; begin() returns the new level.
    int begin();
    void commit(int level);
    void rollback(int level) noexcept;

    // Turns an engine failure into the layer's error, and its message.
    [[noreturn]] static void raise(const SQLite::Exception& e);
    static QString messageOf(const SQLite::Exception& e);

private:
    QString alias_;
    std::unique_ptr<SQLite::Database> db_;
    std::map<std::string, std::unique_ptr<SQLite::Statement>> statements_;
    std::vector<Table*> tables_;
    int level_ = 0;
};

} // namespace data
