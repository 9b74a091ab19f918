#include "DialogScript.h"
#include "OtherProgram.h"
#include "TempDatabase.h"
#include "UiDriver.h"

#include "datamodule/UDm.h"
#include "platform/data/Engine.h"
#include "platform/data/Transaction.h"
#include "platform/ui/Application.h"
#include "shell/UPass.h"
#include "shell/program/Program.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSettings>
#include <gtest/gtest.h>

#include <functional>

#ifdef __linux__
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

// Every file of a folder with its checksum.
QStringList folderState(const QString& folder)
{
    QStringList state;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        QFile f(QDir(folder).filePath(name));
        f.open(QIODevice::ReadOnly);
        state << name + ' ' + QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex();
    }
    return state;
}

// Runs the whole program; a login window that appears is cancelled. Returns
// the exit code; `error` gets the start-up error window's text.
int runProgram(QString* error = nullptr)
{
    DialogScript dialogs;
    whileRunning([] { click(Fpass->Button2); });
    const int code = shell::runProgram();
    clearModalSteps();
    for (const auto& call : dialogs.calls())
        if (call.kind == DialogScript::Error && call.caption == "Application Error" && error)
            *error = call.text;
    return code;
}

// While it lives, file permissions bind this thread even when it runs as
// root: it gives up the rights that override them.
class PermissionsBind {
public:
    PermissionsBind()
    {
#ifdef __linux__
        syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &=
            ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        syscall(SYS_capset, &header_, reduced);
#endif
    }
    ~PermissionsBind()
    {
#ifdef __linux__
        syscall(SYS_capset, &header_, saved_);
#endif
    }

private:
#ifdef __linux__
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
#endif
};

TEST(DatabaseFile, AStartUpThatFailsLeavesTheDatabaseAsItWas)
{
    TempDatabase db;
    const QString file = db.dataFolder() + "/stock.sqlite";
    {
        // A table missing, in a database another program made without a log.
        OtherProgram other(file);
        ASSERT_EQ(other.exec("PRAGMA journal_mode=DELETE; DROP TABLE BrgMasuk"), SQLITE_OK);
    }
    const QStringList before = folderState(db.dataFolder());
    QString error;
    EXPECT_EQ(runProgram(&error), 1);
    EXPECT_TRUE(error.endsWith("\nTable not found: BrgMasuk.db (alias Stock).")) << error.toStdString();
    EXPECT_EQ(folderState(db.dataFolder()), before);

    QFile::resize(file, 0);
    error.clear();
    EXPECT_EQ(runProgram(&error), 1);
    EXPECT_TRUE(error.endsWith("\nTable not found: Barang.db (alias Stock).")) << error.toStdString();
    EXPECT_EQ(QFileInfo(file).size(), 0);
    EXPECT_EQ(QDir(db.dataFolder()).entryList(QDir::Files | QDir::Hidden), QStringList({"stock.sqlite"}));
}

TEST(DatabaseFile, ADatabaseTheProgramCannotWriteIsRefusedByName)
{
    TempDatabase db;
    const QString folder = db.dataFolder();
    const QString file = folder + "/stock.sqlite";
    const QStringList before = folderState(folder);
    {
        PermissionsBind bind;
        QString error;
        QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        EXPECT_EQ(runProgram(&error), 1);
        EXPECT_TRUE(error.endsWith("\nThe database " + file + " is read-only.")) << error.toStdString();
        EXPECT_EQ(folderState(folder), before);

        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        error.clear();
        EXPECT_EQ(runProgram(&error), 1);
        EXPECT_TRUE(error.endsWith("\nThe database " + file + " is in a read-only folder."))
            << error.toStdString();
        EXPECT_EQ(folderState(folder), before);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

TEST(DatabaseFile, AfterANormalEndTheFileAloneHoldsEverySave)
{
    TempDatabase db;
    const QString file = db.dataFolder() + "/stock.sqlite";
    OtherProgram other(file); // a second program keeps the database open
    ASSERT_EQ(other.column("select count(*) from Barang"), QStringList({"0"}));
    whileRunning([] {
        {
            data::Transaction save(*FDM->TBarang);
            FDM->TBarang->append();
            FDM->TBarangKdBrg->setAsString("10001");
            FDM->TBarang->post();
            save.commit();
        }
        click(Fpass->Button2);
    });
    EXPECT_EQ(shell::runProgram(), 0);
    clearModalSteps();
    const QString copy = db.folder() + "/backup.sqlite";
    ASSERT_TRUE(QFile::copy(file, copy));
    EXPECT_EQ(OtherProgram(copy).column("select KdBrg from Barang"), QStringList({"10001"}));
}

// The item windows' save, delete and edit, each refused while another
// program holds the database, then stored by the next try.
TEST(DatabaseFile, ASaveADeleteAndAnEditRefusedByALockStoreOnceItIsGone)
{
    TempDatabase db;
    {
        QSettings engine(data::Engine::configPath(), QSettings::IniFormat);
        engine.setValue("Stock/BusyTimeout", 50); // the engine's wait, short for the test
    }
    FDM = new TFDM();
    auto unload = qScopeGuard([] { delete FDM; });
    ui::Application app;
    DialogScript dialogs;
    OtherProgram other(db.dataFolder() + "/stock.sqlite");
    auto save = [&](const QString& code, const QString& name) {
        return app.guard([&] {
            data::Transaction transaction(*FDM->TBarang);
            FDM->TBarang->append();
            FDM->TBarangKdBrg->setAsString(code);
            FDM->TBarangNamaBrg->setAsString(name);
            FDM->TBarang->post();
            transaction.commit();
        });
    };
    auto remove = [&] { return app.guard([] { FDM->TBarang->deleteRecord(); }); };
    auto rename = [&](const QString& name) {
        return app.guard([&] {
            data::Transaction transaction(*FDM->TBarang);
            FDM->TBarang->edit();
            FDM->TBarangNamaBrg->setAsString(name);
            FDM->TBarang->post();
            transaction.commit();
        });
    };
    auto whileLocked = [&](const std::function<bool()>& action) {
        EXPECT_EQ(other.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
        const bool done = action();
        other.exec("ROLLBACK");
        return done;
    };

    ASSERT_TRUE(save("10001", "PAKU"));
    EXPECT_FALSE(whileLocked([&] { return save("20001", "BAUT"); }));
    EXPECT_TRUE(save("20001", "BAUT"));

    ASSERT_TRUE(FDM->TBarang->findKey("10001"));
    EXPECT_FALSE(whileLocked(remove));
    EXPECT_EQ(FDM->TBarangNamaBrg->asString(), "PAKU"); // still there, still current
    EXPECT_EQ(FDM->TBarang->recordCount(), 2);
    EXPECT_TRUE(remove());

    ASSERT_TRUE(FDM->TBarang->findKey("20001"));
    EXPECT_FALSE(whileLocked([&] { return rename("BAUT BESI"); }));
    EXPECT_TRUE(rename("BAUT BESI"));

    EXPECT_EQ(dialogs.texts(DialogScript::Error), QStringList(3, "database is locked."));
    EXPECT_EQ(other.column("select KdBrg || ' ' || NamaBrg from Barang"), QStringList({"20001 BAUT BESI"}));
}

} // namespace
