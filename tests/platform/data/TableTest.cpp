#include "ErrorOf.h"
#include "TempDatabase.h"

#include "platform/data/DataSource.h"
#include "platform/data/Engine.h"
#include "platform/data/Query.h"
#include "platform/data/Table.h"
#include "platform/data/Transaction.h"
#include "platform/rtl/Errors.h"

#include <QFile>
#include <gtest/gtest.h>
#include <memory>

using data::FieldType;

namespace {

// The item and issue header tables with their persistent fields, as the
// program declares them.
class TableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        items = std::make_unique<data::Table>(QStringLiteral("TBarang"));
        items->setDatabaseName(QStringLiteral("Stock"));
        items->setTableName(QStringLiteral("Barang.db"));
        kd = items->addField(QStringLiteral("TBarangKdBrg"), QStringLiteral("KdBrg"), FieldType::String, 5);
        nama = items->addField(QStringLiteral("TBarangNamaBrg"), QStringLiteral("NamaBrg"), FieldType::String,
                               20);
        stock = items->addField(QStringLiteral("TBarangStock"), QStringLiteral("Stock"), FieldType::Float);
        reorder =
            items->addField(QStringLiteral("TBarangReorder"), QStringLiteral("Reorder"), FieldType::Float);
        satuan =
            items->addField(QStringLiteral("TBarangSatuan"), QStringLiteral("Satuan"), FieldType::String, 10);
        items->open();

        headers = std::make_unique<data::Table>(QStringLiteral("TMasKeluar"));
        headers->setDatabaseName(QStringLiteral("Stock"));
        headers->setTableName(QStringLiteral("MasKlrBrg.db"));
        no = headers->addField(QStringLiteral("TMasKeluarNo"), QStringLiteral("No"), FieldType::AutoInc);
        noKeluar = headers->addField(QStringLiteral("TMasKeluarNo_Keluar"), QStringLiteral("No_Keluar"),
                                     FieldType::String, 25);
        tgl = headers->addField(QStringLiteral("TMasKeluarTgl"), QStringLiteral("Tgl"), FieldType::Date);
        headers->open();
    }

    void addItem(const QString& code, const QString& name, double reorderLevel = 0)
    {
        items->append();
        kd->setAsString(code);
        nama->setAsString(name);
        reorder->setAsFloat(reorderLevel);
        items->post();
    }
    void addHeader(const QString& number, const QDate& date)
    {
        headers->append();
        noKeluar->setAsString(number);
        tgl->setAsDateTime(QDateTime(date, QTime(15, 30)));
        headers->post();
    }

    TempDatabase db;
    std::unique_ptr<data::Table> items, headers;
    data::Field *kd, *nama, *stock, *reorder, *satuan, *no, *noKeluar, *tgl;
};

TEST_F(TableTest, AnEmptyTableHasNoCurrentRowAndReadsZero)
{
    EXPECT_TRUE(items->isEmpty());
    EXPECT_TRUE(items->eof());
    EXPECT_EQ(kd->asString(), "");
    EXPECT_EQ(stock->asFloat(), 0);
    EXPECT_EQ(stock->displayText(), "");
    EXPECT_FALSE(items->findKey("10001"));

    headers->last();
    EXPECT_TRUE(headers->isEmpty());
    EXPECT_EQ(no->asInteger(), 0);
    EXPECT_EQ(errorOf([&] { items->deleteRecord(); }),
              "TBarang: Cannot perform this operation on an empty dataset");
    EXPECT_EQ(errorOf([&] { items->edit(); }), "TBarang: Cannot perform this operation on an empty dataset");
}

TEST_F(TableTest, RowsFollowTheKeyOrderAndANewItemHasNoStock)
{
    addItem("30001", "BOX");
    addItem("10001", "PAKU");
    addItem("20001", "BAUT");
    // the posted row stays current
    EXPECT_EQ(kd->asString(), "20001");
    EXPECT_TRUE(stock->isNull());
    EXPECT_EQ(stock->displayText(), "");
    EXPECT_EQ(stock->asFloat(), 0);
    EXPECT_EQ(reorder->displayText(), "0");

    items->first();
    QStringList codes;
    while (!items->eof()) {
        codes << kd->asString();
        items->next();
    }
    EXPECT_EQ(codes, QStringList({"10001", "20001", "30001"}));
    EXPECT_EQ(kd->asString(), "30001"); // next() at the end stays on the last row
    EXPECT_EQ(items->recordCount(), 3);

    items->last();
    EXPECT_EQ(kd->asString(), "30001");
    items->prior();
    EXPECT_EQ(kd->asString(), "20001");
}

TEST_F(TableTest, KeySearchCutsItsValueAndKeepsTheRowWhenNothingIsFound)
{
    addItem("10001", "PAKU", 5);
    addItem("20001", "BAUT");
    EXPECT_TRUE(items->findKey("100019")); // six characters find the first five
    EXPECT_EQ(nama->asString(), "PAKU");
    EXPECT_FALSE(items->findKey("99999"));
    EXPECT_EQ(kd->asString(), "10001"); // still current and readable
    EXPECT_EQ(reorder->asFloat(), 5);
}

TEST_F(TableTest, AssignmentsCutTextToTheFieldWidth)
{
    addItem("1234567", "ABCDEFGHIJKLMNOPQRSTUVWXY");
    EXPECT_EQ(kd->asString(), "12345");
    EXPECT_EQ(nama->asString(), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(db.scalar("select NamaBrg from Barang"), "ABCDEFGHIJKLMNOPQRST");

    // Widths count characters: one outside the Basic Multilingual Plane is
    // kept whole or cut whole, never split into half a pair.
    const QString face = QString::fromUcs4(U"\U0001F600");
    addItem("2000" + face + "9", QString(19, 'N') + face + "X");
    EXPECT_EQ(kd->asString(), "2000" + face);
    EXPECT_EQ(nama->asString(), QString(19, 'N') + face);
    EXPECT_EQ(
        db.scalar(
            "select length(NamaBrg) || unicode(substr(NamaBrg, 20)) from Barang where NamaBrg like 'N%'"),
        "20128512");
    EXPECT_TRUE(items->findKey("2000" + face + "7"));

    const QString number = "0100/DBK/12/2026-EXTRA-CHARS";
    addHeader(number, QDate(2026, 12, 9));
    EXPECT_EQ(noKeluar->asString(), number.left(25));
}

TEST_F(TableTest, ASecondItemWithTheSameCodeIsAKeyViolationAndStoresNothing)
{
    addItem("10001", "PAKU");
    items->append();
    kd->setAsString("10001");
    nama->setAsString("LAIN");
    EXPECT_EQ(errorOf([&] { items->post(); }), "Key violation.");
    EXPECT_EQ(items->state(), data::DataSetState::Browse); // the change is dropped
    EXPECT_EQ(nama->asString(), "PAKU");
    EXPECT_EQ(items->recordCount(), 1);
}

TEST_F(TableTest, EditChangesTheCurrentRowInPlace)
{
    addItem("10001", "PAKU");
    addItem("20001", "BAUT");
    ASSERT_TRUE(items->findKey("10001"));
    items->edit();
    stock->setAsFloat(12);
    items->post();
    EXPECT_EQ(stock->displayText(), "12");
    EXPECT_EQ(db.scalar("select Stock from Barang where KdBrg='10001'"), "12");

    // a new code keeps the row current under its new place in the order
    items->edit();
    kd->setAsString("90001");
    items->post();
    EXPECT_EQ(kd->asString(), "90001");
    items->prior();
    EXPECT_EQ(kd->asString(), "20001");
}

TEST_F(TableTest, DeleteMakesTheNextRowCurrentOrThePreviousAtTheEnd)
{
    addItem("10001", "A");
    addItem("20001", "B");
    addItem("30001", "C");
    ASSERT_TRUE(items->findKey("20001"));
    items->deleteRecord();
    EXPECT_EQ(kd->asString(), "30001");
    items->deleteRecord();
    EXPECT_EQ(kd->asString(), "10001");
    items->deleteRecord();
    EXPECT_TRUE(items->isEmpty());
    EXPECT_EQ(items->recordCount(), 0);
}

TEST_F(TableTest, FieldsWithoutEditModeRefuseAssignments)
{
    addItem("10001", "A");
    EXPECT_EQ(errorOf([&] { nama->setAsString("X"); }), "TBarang: Dataset not in edit or insert mode");
    headers->append();
    EXPECT_EQ(errorOf([&] { no->setAsInteger(5); }), "TMasKeluar: Field 'No' cannot be modified");
    headers->cancel();
}

// A sum past the largest number is no quantity.
TEST_F(TableTest, ANumberFieldTakesOnlyFiniteNumbers)
{
    addItem("10001", "PAKU");
    items->edit();
    stock->setAsFloat(1e308);
    EXPECT_EQ(errorOf([&] { stock->setAsFloat(stock->asFloat() * 10); }),
              "'INF' is not a valid floating point value");
    EXPECT_EQ(stock->asFloat(), 1e308);
}

TEST_F(TableTest, IssueHeadersGetRisingNumbersAndSwitchIndexWithoutLosingTheRow)
{
    addHeader("03/DBK", QDate(2026, 12, 1));
    addHeader("01/DBK", QDate(2026, 12, 2));
    addHeader("02/DBK", QDate(2026, 12, 3));
    EXPECT_EQ(no->asInteger(), 3);
    EXPECT_EQ(tgl->asDateTime(), QDateTime(QDate(2026, 12, 3), QTime(0, 0))); // the date only
    EXPECT_EQ(tgl->displayText(), "03/12/2026");

    headers->first();
    EXPECT_EQ(noKeluar->asString(), "03/DBK"); // default order: by No
    headers->setIndexName("KeluarIDX");
    EXPECT_EQ(noKeluar->asString(), "03/DBK"); // the row stays current
    headers->next();
    EXPECT_TRUE(headers->eof()); // "03/DBK" is last by number
    EXPECT_TRUE(headers->findKey("01/DBK"));
    EXPECT_EQ(no->asInteger(), 2);
    headers->setIndexName("keluaridx");
    EXPECT_EQ(no->asInteger(), 2);
    headers->setIndexName("");
    headers->last();
    EXPECT_EQ(no->asInteger(), 3);
    EXPECT_EQ(errorOf([&] { headers->setIndexName("NoSuchIdx"); }),
              "TMasKeluar: Index 'NoSuchIdx' not found");
}

TEST_F(TableTest, ATransactionStoresAllOrNothing)
{
    addItem("10001", "PAKU");
    {
        data::Transaction save(*items);
        items->edit();
        stock->setAsFloat(5);
        items->post();
        addHeader("01/DBK", QDate(2026, 12, 9));
        items->append();
        kd->setAsString("20001");
        // the save fails here, before its post
    }
    EXPECT_EQ(items->state(), data::DataSetState::Browse);
    EXPECT_EQ(items->recordCount(), 1);
    EXPECT_EQ(headers->recordCount(), 0);
    EXPECT_TRUE(headers->isEmpty());
    ASSERT_TRUE(items->findKey("10001"));
    EXPECT_TRUE(stock->isNull()); // the current row was read again

    {
        data::Transaction save(*items);
        items->edit();
        stock->setAsFloat(7);
        items->post();
        {
            data::Transaction inner(*items);
            addHeader("02/DBK", QDate(2026, 12, 9));
        } // the inner part alone is undone
        save.commit();
    }
    EXPECT_EQ(db.scalar("select Stock from Barang"), "7");
    EXPECT_EQ(headers->recordCount(), 0);
}

TEST_F(TableTest, ARollbackThatMeetsAnotherErrorStillUndoesTheSave)
{
    addItem("10001", "PAKU");
    // A bound control that fails while the tables are read again after the
    // rollback must not end the program: the save's own error goes on.
    data::SourceLink failing([](bool) { throw rtl::DatabaseError(QStringLiteral("control failed")); });
    data::DataSource source(QStringLiteral("DsBarang"), items.get());
    try {
        data::Transaction save(*items);
        addHeader("01/DBK", QDate(2026, 12, 9));
        failing.setDataSource(&source);
        throw rtl::ConvertError(QStringLiteral("'x' is not a valid floating point value"));
    } catch (const rtl::ConvertError& e) {
        EXPECT_EQ(e.message(), "'x' is not a valid floating point value");
    }
    failing.setDataSource(nullptr);
    EXPECT_EQ(headers->recordCount(), 0);
    EXPECT_EQ(items->state(), data::DataSetState::Browse);
}

TEST_F(TableTest, ASavepointThatCannotBeUndoneAloneTakesTheWholeSaveWithIt)
{
    addItem("10001", "PAKU");
    data::Query release(QStringLiteral("QRelease"));
    release.setDatabaseName(QStringLiteral("Stock"));
    release.setSql({QStringLiteral("RELEASE tk_2")});
    {
        data::Transaction save(*items);
        addHeader("01/DBK", QDate(2026, 12, 9));
        {
            data::Transaction inner(*items);
            addHeader("02/DBK", QDate(2026, 12, 9));
            release.execSql(); // its savepoint is gone behind the layer's back
        }
        EXPECT_EQ(errorOf([&] { save.commit(); }), "The transaction was rolled back");
    }
    EXPECT_EQ(headers->recordCount(), 0);
    // Nothing stays open: the next save stores.
    {
        data::Transaction save(*items);
        addHeader("03/DBK", QDate(2026, 12, 9));
        save.commit();
    }
    {
        data::Transaction save(*items);
        addItem("20001", "BAUT");
        save.commit();
    }
    EXPECT_EQ(db.scalar("select group_concat(No_Keluar) from MasKlrBrg"), "03/DBK");
    EXPECT_EQ(db.scalar("select count(*) from Barang"), "2");
}

TEST_F(TableTest, QueriesReportEngineFailuresInsteadOfEndingEarly)
{
    data::Query q(QStringLiteral("QTest"));
    q.setDatabaseName(QStringLiteral("Stock"));
    // The second row fails (integer overflow) after the first was read.
    q.setSql({QStringLiteral("select case when n = 2 then abs(-9223372036854775807 - 1) else n end as v"),
              QStringLiteral("from (select 1 as n union all select 2 union all select 3)")});
    q.open();
    EXPECT_EQ(q.fieldByName("v")->asInteger(), 1);
    EXPECT_TRUE(errorOf([&] { q.next(); }).startsWith("QTest: integer overflow"));
    q.close();
    // Counting does not take the failing row for the end, nor does reading.
    q.open();
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_TRUE(errorOf([&] { q.fetchRowsFrom(0, 3); }).startsWith("QTest: integer overflow"));
    q.close();

    addItem("10001", "PAKU");
    data::Query insert(QStringLiteral("QInsert"));
    insert.setDatabaseName(QStringLiteral("Stock"));
    insert.setSql({QStringLiteral("insert into Barang (KdBrg) values (:Kode)")});
    EXPECT_EQ(errorOf([&] { insert.execSql(); }), "QInsert: No value for parameter 'Kode'");
    insert.paramByName("Kode").setAsString("10001");
    EXPECT_EQ(errorOf([&] { insert.execSql(); }), "QInsert: Key violation.");
}

TEST_F(TableTest, DataSourcesTellBoundControls)
{
    struct Counter : data::DataLink {
        int sets = 0, records = 0;
        void dataSetChanged() override { ++sets; }
        void recordChanged() override { ++records; }
    } counter;
    data::DataSource source(QStringLiteral("DsBarang"), items.get());
    source.addLink(&counter);
    addItem("10001", "A");
    addItem("20001", "B");
    EXPECT_GE(counter.sets, 2);
    const int records = counter.records;
    items->first();
    EXPECT_GT(counter.records, records);

    counter.sets = counter.records = 0;
    items->disableControls();
    items->first();
    items->next();
    EXPECT_EQ(counter.records + counter.sets, 0);
    items->enableControls();
    EXPECT_EQ(counter.sets, 1);
    source.removeLink(&counter);
}

TEST_F(TableTest, ABoundControlOutlivingItsSourceIsUnbound)
{
    std::vector<bool> calls;
    data::SourceLink link([&](bool recordOnly) { calls.push_back(recordOnly); });
    {
        data::DataSource source(QStringLiteral("DsBarang"), items.get());
        EXPECT_TRUE(link.setDataSource(&source));
        EXPECT_FALSE(link.setDataSource(&source));
        EXPECT_EQ(link.dataSet(), items.get());
        addItem("10001", "A");
        items->first();
        ASSERT_FALSE(calls.empty());
        EXPECT_TRUE(calls.back()); // a move is a record change
        calls.clear();
    }
    EXPECT_EQ(link.dataSource(), nullptr);
    EXPECT_EQ(link.dataSet(), nullptr);
    EXPECT_EQ(calls, std::vector<bool>{false});
    addItem("20001", "B"); // nothing reaches the unbound control
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(TableTest, RowsAreFetchedInWindowsAroundABookmark)
{
    for (int i = 1; i <= 9; ++i)
        addItem(QStringLiteral("1000%1").arg(i), QStringLiteral("ITEM %1").arg(i));
    auto head = items->fetchRows(std::nullopt, 3, true);
    ASSERT_EQ(head.size(), 3u);
    EXPECT_EQ(head[2].values[0].toString(), "10003");
    auto after = items->fetchRows(head[2].bookmark, 10, true);
    ASSERT_EQ(after.size(), 6u);
    EXPECT_EQ(after[0].values[0].toString(), "10004");
    auto before = items->fetchRows(after[0].bookmark, 2, false);
    ASSERT_EQ(before.size(), 2u);
    EXPECT_EQ(before[0].values[0].toString(), "10003"); // nearest first
    items->gotoBookmark(before[1].bookmark);
    EXPECT_EQ(kd->asString(), "10002");

    // Places in the order, for jumps and scroll bars.
    EXPECT_EQ(items->positionOf(after[0].bookmark), 3);
    auto middle = items->fetchRowsFrom(4, 2);
    ASSERT_EQ(middle.size(), 2u);
    EXPECT_EQ(middle[0].values[0].toString(), "10005");
    EXPECT_TRUE(items->fetchRowsFrom(9, 1).empty());
    // A query's places come from its own walk.
    data::Query q(QStringLiteral("Q"));
    q.setDatabaseName(QStringLiteral("Stock"));
    q.setSql({QStringLiteral("Select KdBrg from Barang")});
    q.open();
    auto qrows = q.fetchRowsFrom(7, 5);
    ASSERT_EQ(qrows.size(), 2u);
    EXPECT_EQ(q.positionOf(qrows[1].bookmark), 8);
}

TEST(TableOpen, EngineAndLayerErrorsNameWhatIsWrong)
{
    TempDatabase db;
    data::Table unknownAlias(QStringLiteral("TBarang"));
    unknownAlias.setDatabaseName(QStringLiteral("NoSuchAlias"));
    unknownAlias.setTableName(QStringLiteral("Barang.db"));
    EXPECT_EQ(errorOf([&] { unknownAlias.open(); }), "Unknown database alias: NoSuchAlias");

    data::Table missingTable(QStringLiteral("TX"));
    missingTable.setDatabaseName(QStringLiteral("Stock"));
    missingTable.setTableName(QStringLiteral("Gudang.db"));
    EXPECT_EQ(errorOf([&] { missingTable.open(); }), "Table not found: Gudang.db (alias Stock)");

    data::Table wrongField(QStringLiteral("TBarang"));
    wrongField.setDatabaseName(QStringLiteral("Stock"));
    wrongField.setTableName(QStringLiteral("Barang.db"));
    wrongField.addField(QStringLiteral("TBarangHarga"), QStringLiteral("Harga"), FieldType::Float);
    EXPECT_EQ(errorOf([&] { wrongField.open(); }), "TBarang: Field 'Harga' not found");
    EXPECT_FALSE(wrongField.active());

    data::Table wrongType(QStringLiteral("TBarang"));
    wrongType.setDatabaseName(QStringLiteral("Stock"));
    wrongType.setTableName(QStringLiteral("Barang.db"));
    wrongType.addField(QStringLiteral("TBarangStock"), QStringLiteral("Stock"), FieldType::String, 10);
    EXPECT_EQ(errorOf([&] { wrongType.open(); }),
              "TBarang: Type mismatch for field 'Stock', expecting: String actual: Float");
}

TEST(TableOpen, EngineMessagesAboutTheFileNameIt)
{
    TempDatabase db;
    const QString file = db.dataFolder() + "/stock.sqlite";
    QFile::remove(file);
    QFile garbage(file);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(8192, 'x'));
    garbage.close();
    data::Table t(QStringLiteral("TBarang"));
    t.setDatabaseName(QStringLiteral("Stock"));
    t.setTableName(QStringLiteral("Barang.db"));
    EXPECT_EQ(errorOf([&] { t.open(); }), file + ": file is not a database");
}

// Names in the engine's configuration match whatever their case, as in any
// INI file; an alias whose path is empty says so.
TEST(TableOpen, AnAliasWithoutItsDatabaseIsReported)
{
    TempDatabase db;
    data::Engine::writeAlias(QStringLiteral("Empty"), db.folder() + "/nothing-here");
    data::Table t(QStringLiteral("TBarang"));
    t.setDatabaseName(QStringLiteral("Empty"));
    t.setTableName(QStringLiteral("Barang.db"));
    EXPECT_TRUE(errorOf([&] { t.open(); }).startsWith("Database not found for alias Empty: "));
    QFile config(data::Engine::configPath());
    ASSERT_TRUE(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
    config.write("[Empty]\nPath=\n[stock]\npath=" + QFile::encodeName(db.dataFolder()) + "\n");
    config.close();
    EXPECT_EQ(errorOf([&] { t.open(); }),
              "The database alias Empty has no folder: its Path= is empty in " + data::Engine::configPath());
    t.setDatabaseName(QStringLiteral("Stock"));
    EXPECT_EQ(errorOf([&] { t.open(); }), "<no error>");
}

} // namespace
