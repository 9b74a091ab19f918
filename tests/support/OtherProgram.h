#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <sqlite3.h>

// Another program on the same database file, straight on the engine.
class OtherProgram {
public:
    explicit OtherProgram(const QString& file)
    {
        sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    }
    ~OtherProgram() { sqlite3_close(db); }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    int exec(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
    // The first column of every row, as text.
    QStringList column(const char* sql)
    {
        QStringList out;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        return out;
    }

    sqlite3* db = nullptr;
};
