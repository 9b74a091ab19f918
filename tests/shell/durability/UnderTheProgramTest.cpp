// Other hands on the database while the program runs: another program's
// lock.
#include "OtherProgram.h"
#include "WindowSaves.h"
#include "WindowTest.h"

#include "movements/UFPP.h"
#include "platform/data/Engine.h"

#include <QDir>
#include <gtest/gtest.h>

#include <chrono>
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

} // namespace
