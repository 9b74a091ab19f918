// Each write and each sync of a save fails in turn, with an I/O error or a
// full disk: the save must store nothing, say so with the layer's message,
// leave no row pending, and the next save must work. A start-up on a full
// disk says so and leaves nothing behind.
#include "ErrorOf.h"
#include "FaultyDisk.h"
#include "WindowSaves.h"
#include "WindowTest.h"

#include "movements/UFPP.h"
#include "movements/UPck.h"
#include "platform/data/Engine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>

namespace {

// Every row of the four tables, straight from a file.
QStringList rowsOf(const QString& file)
{
    QStringList rows;
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    for (const char* sql : {"SELECT 'B', KdBrg, NamaBrg, Stock FROM Barang ORDER BY KdBrg",
                            "SELECT 'H', No, No_Keluar, Tgl FROM MasKlrBrg ORDER BY No",
                            "SELECT 'D', No_Keluar, KdBrg, Jml FROM DetilKlrBrg ORDER BY rowid",
                            "SELECT 'M', No_SMasuk, KdBrg, Jml FROM BrgMasuk ORDER BY rowid"}) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList cells;
            for (int i = 0; i < 4; ++i)
                cells << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
            rows << cells.join(QLatin1Char('|'));
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return rows;
}

class FailingDisk : public WindowTest {
protected:
    void SetUp() override
    {
        faultydisk::install();
        WindowTest::SetUp();
        create(FMasuk, FKeluar);
        FMasuk->show();
        FKeluar->show();
        addItem("A0001", "BAUT", "100", "5", "PCS");
        addItem("A0002", "MUR", "100", "5", "PCS");
        file_ = QDir(db().dataFolder()).filePath(data::Engine::kDatabaseFile);
    }
    void TearDown() override
    {
        faultydisk::disarm();
        WindowTest::TearDown();
    }

    // What the error window showed during a step, "" for none.
    QString shownError(const std::function<void()>& step)
    {
        dialogs.clear();
        step();
        const QStringList errors = dialogs.texts(DialogScript::Error);
        return errors.join(QLatin1Char('\n'));
    }

    // The rows as another program sees them now, and as a start after a crash
    // would find them: the file and its log copied without the log's index,
    // so the engine reads the log afresh.
    QStringList rowsAfterACrash() const
    {
        QTemporaryDir crash;
        const QString copy = QDir(crash.path()).filePath(QStringLiteral("copy.sqlite"));
        QFile::copy(file_, copy);
        QFile::copy(file_ + QStringLiteral("-wal"), copy + QStringLiteral("-wal"));
        return rowsOf(copy);
    }

    // Fails the save at each of its writes and syncs in turn, with each fault;
    // then lets it through. `save(n)` makes the n-th attempt.
    void failEachWrite(const std::function<void(int)>& save)
    {
        // As the error window shows them, with its full stop.
        const QString ioError = file_ + QStringLiteral(": disk I/O error.");
        int attempt = 0;
        for (int at = 1;; ++at) {
            for (auto fault : {faultydisk::Fault::IoError, faultydisk::Fault::DiskFull}) {
                const char* what = fault == faultydisk::Fault::IoError ? "I/O error" : "disk full";
                SCOPED_TRACE(
                    QStringLiteral("operation %1, %2").arg(at).arg(QLatin1String(what)).toStdString());
                const QStringList before = rowsOf(file_);
                faultydisk::arm(at, fault);
                const QString error = shownError([&] { save(++attempt); });
                faultydisk::disarm();
                if (!faultydisk::struck()) {
                    // Fewer writes than `at`: every one has been failed once.
                    EXPECT_EQ(error, "");
                    EXPECT_GT(at, 2) << "a save writes its log and syncs it";
                    return;
                }
                EXPECT_EQ(error,
                          fault == faultydisk::Fault::DiskFull ? QStringLiteral("Disk full.") : ioError);
                EXPECT_EQ(rowsOf(file_), before);
                EXPECT_EQ(rowsAfterACrash(), before);
                for (data::Table* t : {FDM->TBarang, FDM->TMasKeluar, FDM->TDetilKlr, FDM->TMasuk})
                    EXPECT_EQ(t->state(), data::DataSetState::Browse) << t->name().toStdString();
                EXPECT_EQ(FDM->TMasKeluar->indexName(), QString());
                // The program's own view is the stored one.
                FDM->TBarang->findKey(QStringLiteral("A0001"));
                EXPECT_EQ(FDM->TBarangStock->asFloat(),
                          rowsOf(file_).first().section(QLatin1Char('|'), 3).toDouble());

                EXPECT_EQ(shownError([&] { save(++attempt); }), "");
                const QStringList after = rowsOf(file_);
                EXPECT_NE(after, before);
                EXPECT_EQ(rowsAfterACrash(), after);
            }
        }
    }

    QString file_;
};

TEST_F(FailingDisk, AReceiptThatCannotBeWrittenStoresNothing)
{
    failEachWrite(
        [](int n) { windowsaves::receipt(QStringLiteral("M%1").arg(n), QStringLiteral("A0001"), 3); });
}

TEST_F(FailingDisk, AnIssueThatCannotBeWrittenStoresNeitherHeaderNorLine)
{
    // A new document each time: header, line and stock.
    failEachWrite([](int) {
        windowsaves::startIssue();
        windowsaves::issueLine(QStringLiteral("A0001"), 1);
    });
    // Further lines under one document: line and stock.
    windowsaves::startIssue();
    windowsaves::issueLine(QStringLiteral("A0002"), 1);
    failEachWrite([](int) { windowsaves::issueLine(QStringLiteral("A0002"), 1); });
}

TEST(FullDisk, AStartUpSaysSoAndLeavesNothingBehind)
{
    faultydisk::install();
    TempDatabase db;
    faultydisk::setFull(true);
    EXPECT_EQ(errorOf([] { FDM = new TFDM(); }), "Disk full");
    faultydisk::setFull(false);
    EXPECT_EQ(QDir(db.dataFolder()).entryList(QDir::Files | QDir::Hidden), QStringList({"stock.sqlite"}));
}

} // namespace
