#include "tools/stockdb/StockSchema.h"

#include "platform/data/Engine.h"
#include "platform/rtl/Errors.h"

#include <QDir>

namespace stockdb {

QStringList schema()
{
    return QStringList{
               // Items, keyed and ordered by code.
               QStringLiteral(
                   "CREATE TABLE Barang (KdBrg VARCHAR(5) NOT NULL PRIMARY KEY, NamaBrg VARCHAR(20), "
                   "Stock REAL, Reorder REAL, Satuan VARCHAR(10))"),
               // Issue headers: No orders the primary index, so the last row is the newest.
               QStringLiteral("CREATE TABLE MasKlrBrg (No INTEGER PRIMARY KEY AUTOINCREMENT, "
                              "No_Keluar VARCHAR(25) NOT NULL DEFAULT '', Tgl DATE)"),
               QStringLiteral("CREATE INDEX KeluarIdx ON MasKlrBrg (No_Keluar)"),
               QStringLiteral("CREATE TABLE DetilKlrBrg (No_Keluar VARCHAR(25), KdBrg VARCHAR(5), Jml REAL)"),
               QStringLiteral(
                   "CREATE TABLE BrgMasuk (No_SMasuk VARCHAR(15), Tgl DATE, KdBrg VARCHAR(5), Jml REAL)"),
               // The engine's own indexes for the line queries and date ranges.
               QStringLiteral("CREATE INDEX engine_DetilKlrBrg_No_Keluar ON DetilKlrBrg (No_Keluar)"),
               QStringLiteral("CREATE INDEX engine_BrgMasuk_No_SMasuk ON BrgMasuk (No_SMasuk)"),
               QStringLiteral("CREATE INDEX engine_BrgMasuk_Tgl ON BrgMasuk (Tgl)"),
               QStringLiteral("CREATE INDEX engine_MasKlrBrg_Tgl ON MasKlrBrg (Tgl)"),
               // Name searches by their beginning (LIKE ignores letter case).
               QStringLiteral("CREATE INDEX engine_Barang_NamaBrg ON Barang (NamaBrg COLLATE NOCASE)"),
               // The items at or below their reorder level, which the start-up lists.
               QStringLiteral("CREATE INDEX engine_Barang_Minimum ON Barang (KdBrg) "
                              "WHERE IfNull(Stock,0) <= IfNull(Reorder,0)"),
           } // Name searches for a text anywhere in the name.
           + data::Engine::textIndex(QStringLiteral("Barang"), QStringLiteral("NamaBrg"));
}

void create(const QString& folder)
{
    data::Engine::createDatabase(folder, schema());
}

int run(const QStringList& args, QString& out, QString& err)
{
    const QString usage = QStringLiteral("usage: stockdb create FOLDER\n"
                                         "       stockdb alias NAME FOLDER\n");
    try {
        if (args.size() == 2 && args[0] == QLatin1String("create")) {
            create(args[1]);
            out = QStringLiteral("created the tables in %1\n").arg(QDir(args[1]).absolutePath());
            return 0;
        }
        if (args.size() == 3 && args[0] == QLatin1String("alias")) {
            data::Engine::writeAlias(args[1], args[2]);
            out = QStringLiteral("alias %1 -> %2 in %3\n")
                      .arg(args[1], QDir(args[2]).absolutePath(), data::Engine::configPath());
            return 0;
        }
    } catch (const rtl::Error& e) {
        err = e.message() + QLatin1Char('\n');
        return 1;
    }
    err = usage;
    return 2;
}

} // namespace stockdb
