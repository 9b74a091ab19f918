// The floor of the start-up: what the program's start-up asks of the
// database, straight on the engine with the program's settings, from a
// process of its own. usage: startup_floor FILE
#include <cstdio>
#include <sqlite3.h>

static int run(sqlite3* db, const char* sql)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
        return 1;
    // One row, as a dataset opened on its first row.
    int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? 0 : 1;
}

int main(int argc, char** argv)
{
    sqlite3* db = nullptr;
    if (argc < 2 || sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return 1;
    sqlite3_busy_timeout(db, 5000);
    const char* steps[] = {
        "PRAGMA synchronous=FULL",
        "SELECT name, sql FROM sqlite_master WHERE type='table'",
        "PRAGMA table_info(Barang)",
        "SELECT * FROM Barang ORDER BY KdBrg LIMIT 1",
        "PRAGMA table_info(MasKlrBrg)",
        "SELECT * FROM MasKlrBrg ORDER BY No LIMIT 1",
        "PRAGMA table_info(DetilKlrBrg)",
        "SELECT rowid, * FROM DetilKlrBrg ORDER BY rowid LIMIT 1",
        "PRAGMA table_info(BrgMasuk)",
        "SELECT rowid, * FROM BrgMasuk ORDER BY rowid LIMIT 1",
        "Select * from Barang\r\nWhere IfNull(Stock,0) <= IfNull(Reorder,0)\r\nOrder By KdBrg",
    };
    int failed = 0;
    for (unsigned i = 0; i < sizeof steps / sizeof *steps; ++i)
        failed |= run(db, steps[i]);
    sqlite3_close(db);
    std::puts("done");
    return failed;
}
