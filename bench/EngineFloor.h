#pragma once

// The floor of a benchmark: the same work straight on libsqlite3, with the
// program's settings (log mode, full sync, the same busy wait), on the same
// file, in the same run.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <initializer_list>
#include <map>
#include <string>

// The floor's connection.
class Floor {
public:
    explicit Floor(const QString& file)
    {
        sqlite3_open_v2(QFile::encodeName(file).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(db_, 5000);
        exec("PRAGMA synchronous=FULL");
        exec("PRAGMA journal_mode=WAL");
    }
    ~Floor()
    {
        for (auto& [sql, st] : statements_)
            sqlite3_finalize(st);
        sqlite3_close(db_);
    }
    void exec(const char* sql) { sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }
    // A prepared statement, kept, reset and with the texts bound in order.
    sqlite3_stmt* statement(const std::string& sql, std::initializer_list<QByteArray> texts = {})
    {
        sqlite3_stmt*& st = statements_[sql];
        if (!st)
            sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr);
        sqlite3_reset(st);
        int i = 0;
        for (const QByteArray& t : texts)
            sqlite3_bind_text(st, ++i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        return st;
    }
    // Steps up to `rows` rows (all when negative), reading every column.
    int read(sqlite3_stmt* st, int rows = -1)
    {
        int n = 0;
        while ((rows < 0 || n < rows) && sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                benchmark::DoNotOptimize(sqlite3_column_text(st, c));
            ++n;
        }
        sqlite3_reset(st);
        return n;
    }
    int read(const std::string& sql, std::initializer_list<QByteArray> texts = {}, int rows = -1)
    {
        return read(statement(sql, texts), rows);
    }

private:
    sqlite3* db_ = nullptr;
    std::map<std::string, sqlite3_stmt*> statements_;
};
