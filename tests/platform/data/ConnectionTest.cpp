#include "OtherProgram.h"
#include "TempDatabase.h"

#include "platform/data/Query.h"
#include "platform/data/Table.h"
#include "platform/data/Transaction.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

// One turn of the message loop in which the program waits for the user.
void waitForUser()
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}

std::unique_ptr<data::Table> itemTable()
{
    auto t = std::make_unique<data::Table>(QStringLiteral("TBarang"));
    t->setDatabaseName(QStringLiteral("Stock"));
    t->setTableName(QStringLiteral("Barang.db"));
    return t;
}

QString storeFile(const TempDatabase& db)
{
    return db.dataFolder() + QStringLiteral("/stock.sqlite");
}

TEST(Connection, ALockMetWhileOpeningIsWaitedFor)
{
    TempDatabase db;
    OtherProgram other(storeFile(db));
    // Without the log a writer keeps readers out too.
    ASSERT_EQ(other.exec("PRAGMA journal_mode=DELETE; BEGIN EXCLUSIVE"), SQLITE_OK);
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.exec("ROLLBACK");
    });
    auto items = itemTable();
    EXPECT_NO_THROW(items->open());
    release.join();
}

TEST(Connection, NoQueryKeepsAReadOpenWhileTheProgramWaits)
{
    TempDatabase db;
    db.exec("insert into Barang values ('10001','A',0,5,'PCS'), ('10002','B',1,5,'PCS'), "
            "('10003','C',9,5,'PCS')");
    data::Query minimum(QStringLiteral("QMin"));
    minimum.setDatabaseName(QStringLiteral("Stock"));
    minimum.setSql({QStringLiteral("Select * from Barang"), QStringLiteral("Where Stock <= Reorder")});
    minimum.open(); // part-way through its result
    OtherProgram other(storeFile(db));
    ASSERT_EQ(other.exec("insert into BrgMasuk values ('M1','2026-12-09','10001',4)"), SQLITE_OK);

    waitForUser();
    // The log can start again from its beginning only when nobody reads it.
    int logged = -1, copied = -1;
    EXPECT_EQ(sqlite3_wal_checkpoint_v2(other.db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, &logged, &copied),
              SQLITE_OK);
    EXPECT_EQ(logged, 0);
    minimum.next(); // and the query goes on where it was
    EXPECT_EQ(minimum.fieldByName("KdBrg")->asString(), "10002");
    minimum.next();
    EXPECT_TRUE(minimum.eof());
}

TEST(Connection, AClosedDatabaseIsOneFileWhileAnotherProgramHasItOpen)
{
    TempDatabase db;
    OtherProgram other(storeFile(db));
    ASSERT_EQ(other.column("select count(*) from Barang"), QStringList({"0"}));
    {
        auto items = itemTable();
        items->open();
        data::Transaction save(*items);
        items->append();
        items->fieldByName("KdBrg")->setAsString("10001");
        items->post();
        save.commit();
    } // the last dataset goes, and the connection with it
    const QString copy = db.folder() + "/copy.sqlite";
    ASSERT_TRUE(QFile::copy(storeFile(db), copy));
    OtherProgram backup(copy);
    EXPECT_EQ(backup.column("select KdBrg from Barang"), QStringList({"10001"}));
}

// A query result of 1000 rows read in windows: a walk, broken by the
// program waiting, meets every row once in the engine's order, and places,
// bookmarks and counts agree.
TEST(QueryRows, PlacesAndWalksAgreeWithTheWholeResult)
{
    TempDatabase db;
    db.exec(
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 999) "
        "INSERT INTO Barang SELECT printf('%05d', (i * 7919) % 100000), 'ITEM ' || i, 0, 0, 'PCS' FROM n");
    OtherProgram other(storeFile(db));
    const QStringList all = other.column("Select KdBrg,NamaBrg From Barang Where NamaBrg Like '%'");
    ASSERT_EQ(all.size(), 1000);

    data::Query q(QStringLiteral("QCari"));
    q.setDatabaseName(QStringLiteral("Stock"));
    q.setSql({QStringLiteral("Select KdBrg,NamaBrg"), QStringLiteral("From Barang"),
              QStringLiteral("Where NamaBrg Like:Barang")});
    q.paramByName("Barang").setAsString("%");
    q.open();
    data::Field* code = q.fieldByName("KdBrg");
    QStringList walked;
    for (; !q.eof(); q.next()) {
        walked << code->asString();
        if (walked.size() % 300 == 0)
            waitForUser();
    }
    EXPECT_EQ(walked, all);
    EXPECT_EQ(q.recordCount(), 1000);

    q.first();
    q.last();
    EXPECT_EQ(code->asString(), all.back());
    EXPECT_EQ(q.positionOf(*q.bookmark()), 999);
    auto tail = q.fetchRows(std::nullopt, 3, false);
    ASSERT_EQ(tail.size(), 3u);
    EXPECT_EQ(tail[2].values[0].toString(), all[997]); // nearest first
    waitForUser();
    q.prior();
    EXPECT_EQ(code->asString(), all[998]);

    auto middle = q.fetchRowsFrom(500, 2);
    ASSERT_EQ(middle.size(), 2u);
    EXPECT_EQ(middle[1].values[0].toString(), all[501]);
    EXPECT_EQ(q.positionOf(middle[1].bookmark), 501);
    q.gotoBookmark(middle[0].bookmark);
    q.prior();
    EXPECT_EQ(code->asString(), all[499]);
    EXPECT_TRUE(q.fetchRowsFrom(1000, 1).empty());
    EXPECT_EQ(q.positionOf(data::Bookmark{{QVariant(qint64(1000))}}), -1);
}

} // namespace
