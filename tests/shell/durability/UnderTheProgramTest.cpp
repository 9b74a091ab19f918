// Other hands on the database while the program runs: another program's
// lock; its file removed or replaced (a clerk cleaning up, a backup restored
// by hand).
#include "OtherProgram.h"
#include "WindowSaves.h"
#include "WindowTest.h"

#include "movements/UFPP.h"
#include "tools/stockdb/StockSchema.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

namespace {

class ReceiptWindow : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        create(FMasuk);
        FMasuk->show();
        addItem("A0001", "BAUT", "100", "5", "PCS");
        file = db().dataFolder() + "/stock.sqlite";
    }
    QString file;
};

TEST_F(ReceiptWindow, ASaveWaitsForAnotherProgramsLockAndIsStoredOnceItGoes)
{
    OtherProgram other(file);
    ASSERT_EQ(other.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        other.exec("COMMIT");
    });
    windowsaves::receipt(QStringLiteral("M1"), QStringLiteral("A0001"), 3);
    release.join();
    EXPECT_EQ(dialogs.texts(DialogScript::Error), QStringList());
    EXPECT_EQ(other.column("select No_SMasuk || ' ' || Stock from BrgMasuk, Barang"),
              QStringList({"M1 103.0"}));
}

// What a start after a crash finds in a file and the log beside it.
QString afterACrash(const QString& db)
{
    QTemporaryDir crash;
    QFile::copy(db, crash.filePath("c"));
    QFile::copy(db + "-wal", crash.filePath("c-wal"));
    OtherProgram p(crash.filePath("c"));
    return (p.column("pragma integrity_check") + p.column("select KdBrg from Barang") +
            p.column("select No_SMasuk from BrgMasuk"))
        .join(' ');
}

struct Change {
    const char* name;
    const char* command; // on the program's file $F; $O is another database
    const char* named;   // what the message names: the database "", its log "-wal"
    const char* atPath;  // what a start after a crash then finds at the path
};

class FileUnderTheProgram : public ReceiptWindow, public ::testing::WithParamInterface<Change> {};

// The next save is refused and confirms nothing. The file the program opened
// gets what its log held (at $F.old once moved there), and no log is left
// for a database that now lies at the path.
TEST_P(FileUnderTheProgram, TheNextSaveIsRefusedAndNoLogIsLeftForAnotherFile)
{
    windowsaves::receipt(QStringLiteral("M1"), QStringLiteral("A0001"), 3);
    QTemporaryDir other;
    stockdb::create(other.path());
    OtherProgram(other.filePath("stock.sqlite")).exec("insert into Barang values ('B0001','MUR',7,5,'PCS')");
    qputenv("F", QFile::encodeName(file));
    qputenv("O", QFile::encodeName(other.filePath("stock.sqlite")));
    ASSERT_EQ(std::system(GetParam().command), 0);
    dialogs.clear();
    windowsaves::receipt(QStringLiteral("M2"), QStringLiteral("A0001"), 4);
    EXPECT_EQ(dialogs.texts(),
              QStringList("The database file " + file + GetParam().named +
                          " was removed or replaced while the program was running: nothing was "
                          "saved."));
    EXPECT_TRUE(FMasuk->Button1->isEnabled());
    EXPECT_EQ(QFile::exists(file) ? afterACrash(file) : "", GetParam().atPath);
    if (QFile::exists(file + ".old")) {
        EXPECT_EQ(afterACrash(file + ".old"), "ok A0001 M1");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Durability, FileUnderTheProgram,
    ::testing::Values(Change{"Removed", "rm \"$F\" \"$F-wal\" \"$F-shm\"", "", ""},
                      Change{"LogRemoved", "rm \"$F-wal\" \"$F-shm\"", "-wal", "ok A0001 M1"},
                      Change{"Replaced", "mv \"$O\" \"$F\"", "", "ok B0001"},
                      Change{"MovedAsideAndReplaced", "mv \"$F\" \"$F.old\" && cp \"$O\" \"$F\"", "",
                             "ok B0001"}),
    [](const auto& test) { return std::string(test.param.name); });

} // namespace
