#include "platform/data/Engine.h"
#include "platform/data/Table.h"
#include "tools/stockdb/StockSchema.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(StockDb, CreatesTheTablesAndRegistersTheAlias)
{
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath("tables");
    QString out, err;
    EXPECT_EQ(stockdb::run({"create", folder}, out, err), 0) << err.toStdString();
    EXPECT_EQ(stockdb::run({"alias", "Gudang", folder}, out, err), 0) << err.toStdString();
    EXPECT_EQ(data::Engine::aliasPath("gudang"), QDir(folder).absolutePath());

    for (const char* file : {"Barang.db", "MasKlrBrg.db", "DetilKlrBrg.db", "BrgMasuk.db"}) {
        data::Table t(QStringLiteral("T"));
        t.setDatabaseName("Gudang");
        t.setTableName(QString::fromLatin1(file));
        EXPECT_NO_THROW(t.open()) << file;
    }
    data::Table headers(QStringLiteral("TMasKeluar"));
    headers.setDatabaseName("Gudang");
    headers.setTableName("MasKlrBrg.db");
    headers.setIndexName("KeluarIdx");
    headers.open();
    EXPECT_EQ(headers.indexName(), "KeluarIdx");
    EXPECT_EQ(headers.fieldByName("No")->dataType(), data::FieldType::AutoInc);
    EXPECT_EQ(headers.fieldByName("No_Keluar")->size(), 25);

    // A second create never overwrites stored data.
    EXPECT_EQ(stockdb::run({"create", folder}, out, err), 1);
    EXPECT_TRUE(err.startsWith("A database already exists: "));
    EXPECT_EQ(stockdb::run({"frobnicate"}, out, err), 2);
    EXPECT_TRUE(err.startsWith("usage:"));
    data::Engine::releaseUnused();
}

} // namespace
