// Other hands on the database while the program runs: its file removed or
// replaced (a clerk cleaning up, a backup restored by hand), another
// program's lock.
#include "OtherProgram.h"
#include "WindowSaves.h"
#include "WindowTest.h"

#include "movements/UFPP.h"
#include "platform/data/Engine.h"
#include "tools/stockdb/StockSchema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

QByteArray sha1(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1) : "none";
}

class ReceiptWindow : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        create(FMasuk);
        FMasuk->show();
        addItem("A0001", "BAUT", "100", "5", "PCS");
        file = QDir(db().dataFolder()).filePath(data::Engine::kDatabaseFile);
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
    EXPECT_EQ(other.column("select No_SMasuk || ' ' || Stock from BrgMasuk, Barang"), QStringList({"M1 103.0"}));
}

struct Change {
    const char* name;
    void (*apply)(const QString& file, const QString& other); // `other`: another database
    const char* changed; // what the message names: the database "", its log "-wal"
    const char* opened;  // the name the file the program opened has now, "" when gone
    bool another;        // the other database lies at the path
};

void PrintTo(const Change& c, std::ostream* os)
{
    *os << c.name;
}

class FileUnderTheProgram : public ReceiptWindow, public ::testing::WithParamInterface<Change> {};

// The next save is refused and confirms nothing. The file the program opened
// gets what its log held; another database put at the path is left as it
// was, also for a start after a crash.
TEST_P(FileUnderTheProgram, TheNextSaveIsRefusedAndNoLogIsLeftForAnotherFile)
{
    const Change& c = GetParam();
    windowsaves::receipt(QStringLiteral("M1"), QStringLiteral("A0001"), 3);
    QTemporaryDir elsewhere;
    stockdb::create(elsewhere.path());
    const QString other = elsewhere.filePath(QStringLiteral("stock.sqlite"));
    OtherProgram(other).exec("insert into Barang values ('B0001','MUR',7,5,'PCS')");
    c.apply(file, other);
    const QByteArray put = sha1(file);
    dialogs.clear();

    windowsaves::receipt(QStringLiteral("M2"), QStringLiteral("A0001"), 4);
    EXPECT_EQ(dialogs.texts(), QStringList("The database file " + file + c.changed +
                                           " was removed or replaced while the program was running: nothing was "
                                           "saved."));
    EXPECT_TRUE(FMasuk->Button1->isEnabled());
    EXPECT_EQ(FMasuk->Edit5->text(), "4");
    // Each read alone, as a start after a crash finds it.
    auto restarted = [](const QString& db, const QString& log) {
        QTemporaryDir crash;
        const QString copy = crash.filePath(QStringLiteral("copy.sqlite"));
        QFile::copy(db, copy);
        QFile::copy(log, copy + "-wal");
        OtherProgram p(copy);
        return p.column("pragma integrity_check") + p.column("select KdBrg from Barang") +
               p.column("select No_SMasuk from BrgMasuk");
    };
    if (*c.opened) {
        EXPECT_EQ(restarted(db().dataFolder() + "/" + c.opened, QString()), QStringList({"ok", "A0001", "M1"}));
    }
    if (c.another) {
        EXPECT_EQ(sha1(file), put);
        EXPECT_EQ(restarted(file, file + "-wal"), QStringList({"ok", "B0001"}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Durability, FileUnderTheProgram,
    ::testing::Values(
        Change{"FileRemoved", [](const QString& f, const QString&) { QFile::remove(f); }, "", "", false},
        Change{"FileAndLogRemoved",
               [](const QString& f, const QString&) {
                   for (const char* suffix : {"", "-wal", "-shm"})
                       QFile::remove(f + suffix);
               },
               "", "", false},
        Change{"LogRemoved",
               [](const QString& f, const QString&) {
                   QFile::remove(f + "-wal");
                   QFile::remove(f + "-shm");
               },
               "-wal", "stock.sqlite", false},
        Change{"AnotherMovedOverIt", [](const QString& f, const QString& o) { ::rename(qPrintable(o), qPrintable(f)); },
               "", "", true},
        Change{"MovedAsideAndAnotherCopiedIn",
               [](const QString& f, const QString& o) {
                   QFile::rename(f, f + ".old");
                   QFile::copy(o, f);
               },
               "", "stock.sqlite.old", true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
