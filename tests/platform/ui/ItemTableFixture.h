#pragma once

#include "TempDatabase.h"

#include "platform/data/DataSource.h"
#include "platform/data/Query.h"
#include "platform/data/Table.h"
#include "platform/rtl/Errors.h"

#include <gtest/gtest.h>

#include <memory>

// The item table that counts how often it is asked for its size or a row's
// place (the costly questions on a large table), and whose reads of rows can
// be made to fail.
class CountingTable : public data::Table {
public:
    using data::Table::Table;
    std::vector<data::Row> fetchRows(const std::optional<data::Bookmark>& from, int count,
                                     bool forward) override
    {
        if (failReads)
            raise(QStringLiteral("disk I/O error"));
        return data::Table::fetchRows(from, count, forward);
    }
    qint64 recordCount() override
    {
        ++counts;
        return data::Table::recordCount();
    }
    qint64 positionOf(const data::Bookmark& bookmark) override
    {
        ++placeLookups;
        return data::Table::positionOf(bookmark);
    }
    int counts = 0;
    int placeLookups = 0;
    bool failReads = false;
};

// A fresh database with the item table open through its own table object and
// data source.
class ItemTableFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = std::make_unique<TempDatabase>();
        table = std::make_unique<CountingTable>(QStringLiteral("TBarang"));
        table->setDatabaseName(QStringLiteral("Stock"));
        table->setTableName(QStringLiteral("Barang.db"));
        kd = table->addField(QStringLiteral("TBarangKdBrg"), QStringLiteral("KdBrg"), data::FieldType::String,
                             5);
        nama = table->addField(QStringLiteral("TBarangNamaBrg"), QStringLiteral("NamaBrg"),
                               data::FieldType::String, 20);
        stock =
            table->addField(QStringLiteral("TBarangStock"), QStringLiteral("Stock"), data::FieldType::Float);
        reorder = table->addField(QStringLiteral("TBarangReorder"), QStringLiteral("Reorder"),
                                  data::FieldType::Float);
        satuan = table->addField(QStringLiteral("TBarangSatuan"), QStringLiteral("Satuan"),
                                 data::FieldType::String, 10);
        source = std::make_unique<data::DataSource>(QStringLiteral("DsBarang"), table.get());
    }
    void TearDown() override
    {
        source.reset();
        table.reset();
        db.reset();
    }

    // Items "00001", "00002", ... with a name and a stock of their number.
    void fill(int count)
    {
        db->exec(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                           "INSERT INTO Barang (KdBrg, NamaBrg, Stock, Reorder, Satuan) "
                           "SELECT printf('%05d', i), 'BARANG ' || i, i, 5, 'ITEM' FROM n")
                .arg(count));
    }

    static QString code(int i) { return QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0')); }

    std::unique_ptr<TempDatabase> db;
    std::unique_ptr<CountingTable> table;
    data::Field *kd, *nama, *stock, *reorder, *satuan;
    std::unique_ptr<data::DataSource> source;
};

// The search window's query on the item table, with its data source.
struct SearchQuery {
    data::Query query{QStringLiteral("QCari")};
    data::DataSource source{QStringLiteral("DsQCari"), &query};

    SearchQuery()
    {
        query.setDatabaseName(QStringLiteral("Stock"));
        query.setSql({QStringLiteral("Select KdBrg,NamaBrg"), QStringLiteral("From Barang"),
                      QStringLiteral("Where NamaBrg Like:Barang")});
    }
    void open(const QString& pattern)
    {
        query.close();
        query.paramByName(QStringLiteral("Barang")).setAsString(pattern);
        query.open();
    }
};
