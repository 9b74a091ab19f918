#include "ShellFixture.h"

#include "platform/ui/Dialogs.h"
#include "shell/UGPass.h"

#include <QApplication>
#include <QDir>
#include <QWindow>

namespace {

const QString Wrong = QStringLiteral("Password Salah...!");
const QString StopTrying = QStringLiteral("Berhentilah Mencoba Hal Yang Bodoh....!");
const QString Changed = QStringLiteral("Password Telah Digantikan....!");

// Opens the change-password window from the menu and runs step inside it.
void inChangeWindow(std::function<void()> step)
{
    whileModal(std::move(step));
    clickMenu(FUtama->GantiPassword1);
}

// Replaces the box's text as a user does (Ctrl+A, typing) and presses Enter.
void enter(ui::Edit* edit, const QString& text)
{
    edit->setFocus();
    pressKey(edit, Qt::Key_A, Qt::ControlModifier);
    typeText(edit, text);
    pressEnter(edit);
}

// Old, new and repeat, each with Enter.
void fillIn(const QString& old, const QString& fresh, const QString& repeat)
{
    enter(FGantiPass->Edit1, old);
    enter(FGantiPass->Edit2, fresh);
    enter(FGantiPass->Edit3, repeat);
}

TEST_F(ShellTest, ThreeWrongOldPasswordsOverTwoModalWindowsEndTheProgram)
{
    writePasswordFile("SECRET");
    bool windowStillOpenAfterTwo = false;
    EXPECT_EQ(runLogin(QStringLiteral("secret"),
                       [&] {
                           inChangeWindow([&] {
                               enter(FGantiPass->Edit1, QStringLiteral("one"));
                               EXPECT_EQ(FGantiPass->Edit1->text(), "ONE") << "kept, unselected";
                               EXPECT_TRUE(FGantiPass->Edit1->selectedText().isEmpty());
                               enter(FGantiPass->Edit1, QStringLiteral("two"));
                               windowStillOpenAfterTwo =
                                   FGantiPass->isVisible() && !ui::Application::instance()->terminated();
                               enter(FGantiPass->Edit1, QStringLiteral("three"));
                           });
                           EXPECT_FALSE(FGantiPass->isVisible());
                           EXPECT_TRUE(ui::Application::instance()->terminated());
                       }),
              0);
    EXPECT_TRUE(windowStillOpenAfterTwo) << "the count survives the message windows";
    EXPECT_EQ(dialogs.texts(), QStringList({Wrong, Wrong, Wrong, StopTrying}));
    EXPECT_EQ(dialogs.count(DialogScript::Question), 0) << "no exit question";
    EXPECT_EQ(passwordFile(), "SECRET");
}

TEST_F(ShellTest, ChangeWritesTheNewPasswordAndTheNextRunAcceptsIt)
{
    writePasswordFile("SECRET");
    runLogin(QStringLiteral("secret"), [&] {
        inChangeWindow([&] {
            EXPECT_FALSE(FGantiPass->Edit2->isEnabled());
            EXPECT_FALSE(FGantiPass->Button1->isEnabled());
            fillIn(QStringLiteral("SECRET"), QStringLiteral("baru"), QStringLiteral("baru"));
            EXPECT_EQ(FGantiPass->Edit2->displayText(), "%%%%");
            EXPECT_EQ(FGantiPass->Edit3->displayText(), "****");
            EXPECT_EQ(FGantiPass->focusWidget(), FGantiPass->Button1);
            dialogs.answer(ui::idYes);
            pressEnter(FGantiPass->Button1);
        });
        EXPECT_FALSE(FGantiPass->isVisible());
        EXPECT_EQ(passwordFile(), "BARU");
        // A second change in the run expects the login's password still.
        inChangeWindow([&] {
            enter(FGantiPass->Edit1, QStringLiteral("BARU"));
            EXPECT_FALSE(FGantiPass->Edit2->isEnabled());
            enter(FGantiPass->Edit1, QStringLiteral("SECRET"));
            EXPECT_TRUE(FGantiPass->Edit2->isEnabled());
            click(FGantiPass->Button3);
        });
        endProgram();
    });
    ASSERT_GE(dialogs.count(DialogScript::Question), 1);
    const auto& ask = dialogs.calls().at(0);
    EXPECT_EQ(ask.caption, "Konfirmasi");
    EXPECT_EQ(ask.text, "Yakin Akan Mengganti Password ....?");
    EXPECT_EQ(ask.flags, 52);
    EXPECT_EQ(dialogs.texts(DialogScript::Message), QStringList({Changed, Wrong}));
    EXPECT_TRUE(QDir()
                    .entryList(QStringList{QStringLiteral(".Pass*"), QStringLiteral("*.tmp")},
                               QDir::Files | QDir::Hidden)
                    .isEmpty())
        << "no file is left behind";

    dialogs.clear();
    runLogin(QStringLiteral("baru"), [] { endProgram(); });
    EXPECT_TRUE(menuOpened);
}

// The file holds one byte per character: a character without one is not
// taken, and the others, a no-break space too, come back at the next login.
TEST_F(ShellTest, EightBitPasswordLogsInAtTheNextRun)
{
    writePasswordFile("SECRET");
    const QString typed = QStringLiteral("\u00E9\u20AC\u00A0x");
    runLogin(QStringLiteral("secret"), [&] {
        inChangeWindow([&] {
            fillIn(QStringLiteral("secret"), typed, typed);
            EXPECT_EQ(FGantiPass->Edit2->text(), QStringLiteral("\u00C9\u00A0X"));
            EXPECT_TRUE(FGantiPass->Button1->isEnabled());
            click(FGantiPass->Button1);
        });
        endProgram();
    });
    EXPECT_EQ(passwordFile(), QByteArray("\xC9\xA0X"));
    dialogs.clear();
    runLogin(typed, [] { endProgram(); });
    EXPECT_TRUE(menuOpened);
    EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(ShellTest, WithoutAFileTheLoginEntryIsTheOldPassword)
{
    runLogin(QStringLiteral("koliba"), [&] {
        inChangeWindow([&] {
            fillIn(QStringLiteral("koliba"), QStringLiteral("first"), QStringLiteral("first"));
            click(FGantiPass->Button1);
        });
        EXPECT_EQ(passwordFile(), "FIRST");
        // Now a file exists and the login's memo is empty: nothing matches.
        inChangeWindow([&] {
            for (const char* old : {"KOLIBA", "FIRST", "x"})
                enter(FGantiPass->Edit1, QString::fromLatin1(old));
        });
    });
    EXPECT_EQ(dialogs.texts(DialogScript::Message), QStringList({Changed, Wrong, Wrong, Wrong, StopTrying}));
}

TEST_F(ShellTest, EmptyLoginWithoutAFileCannotChange)
{
    runLogin(QString(), [&] {
        inChangeWindow([&] {
            pressEnter(FGantiPass->Edit1);
            EXPECT_TRUE(dialogs.calls().empty()) << "an empty old password is ignored";
            enter(FGantiPass->Edit1, QStringLiteral("anything"));
            EXPECT_FALSE(FGantiPass->Edit2->isEnabled());
            click(FGantiPass->Button3);
        });
        endProgram();
    });
    EXPECT_EQ(dialogs.texts(), QStringList({Wrong}));
}

TEST_F(ShellTest, BatalOrReopeningResetsTheCount)
{
    writePasswordFile("SECRET");
    runLogin(QStringLiteral("secret"), [&] {
        inChangeWindow([&] {
            enter(FGantiPass->Edit1, QStringLiteral("a"));
            enter(FGantiPass->Edit1, QStringLiteral("b"));
            click(FGantiPass->Button2);
            EXPECT_EQ(ChangeFailures, 0);
            EXPECT_TRUE(FGantiPass->Edit1->text().isEmpty());
            enter(FGantiPass->Edit1, QStringLiteral("c"));
            enter(FGantiPass->Edit1, QStringLiteral("d"));
            FGantiPass->windowHandle()->close();
        });
        inChangeWindow([&] {
            enter(FGantiPass->Edit1, QStringLiteral("e"));
            enter(FGantiPass->Edit1, QStringLiteral("f"));
            click(FGantiPass->Button3);
        });
        EXPECT_FALSE(ui::Application::instance()->terminated());
        endProgram();
    });
    EXPECT_EQ(dialogs.texts(), QStringList(6, Wrong));
}

TEST_F(ShellTest, MismatchAtTheRepeatWithdrawsGanti)
{
    writePasswordFile("SECRET");
    runLogin(QStringLiteral("secret"), [&] {
        inChangeWindow([&] {
            enter(FGantiPass->Edit1, QStringLiteral("secret"));
            pressEnter(FGantiPass->Edit2);
            EXPECT_FALSE(FGantiPass->Edit3->isEnabled());
            EXPECT_EQ(FGantiPass->focusWidget(), FGantiPass->Edit2);
            enter(FGantiPass->Edit2, QStringLiteral("new"));
            enter(FGantiPass->Edit3, QStringLiteral("new"));
            EXPECT_TRUE(FGantiPass->Button1->isEnabled());
            // The user goes back to the repeat box and types something else.
            enter(FGantiPass->Edit3, QStringLiteral("x"));
            EXPECT_FALSE(FGantiPass->Button1->isEnabled());
            EXPECT_FALSE(FGantiPass->Edit3->isEnabled());
            EXPECT_TRUE(FGantiPass->Edit2->text().isEmpty());
            EXPECT_TRUE(FGantiPass->Edit3->text().isEmpty());
            EXPECT_EQ(FGantiPass->focusWidget(), FGantiPass->Edit2);
            click(FGantiPass->Button1);
            click(FGantiPass->Button3);
        });
        endProgram();
    });
    EXPECT_EQ(dialogs.texts(),
              QStringList({"Password Tidak Boleh Kosong...!", "Password Yang Anda ulang Tidak Sama...!"}));
    EXPECT_EQ(passwordFile(), "SECRET");
}

TEST_F(ShellTest, GantiRefusesAnEmptyNewPassword)
{
    writePasswordFile("SECRET");
    runLogin(QStringLiteral("secret"), [&] {
        inChangeWindow([&] {
            enter(FGantiPass->Edit1, QStringLiteral("secret"));
            enter(FGantiPass->Edit2, QStringLiteral("new"));
            // The new box emptied afterwards; Enter in the empty repeat box.
            FGantiPass->Edit2->setFocus();
            pressKey(FGantiPass->Edit2, Qt::Key_A, Qt::ControlModifier);
            pressKey(FGantiPass->Edit2, Qt::Key_Backspace);
            pressEnter(FGantiPass->Edit3);
            ASSERT_TRUE(FGantiPass->Button1->isEnabled());
            click(FGantiPass->Button1);
            EXPECT_TRUE(FGantiPass->isVisible());
            EXPECT_EQ(FGantiPass->focusWidget(), FGantiPass->Edit2);
            click(FGantiPass->Button3);
        });
        endProgram();
    });
    EXPECT_EQ(dialogs.texts(), QStringList({"Password Tidak Boleh Kosong...!"}))
        << "no question, nothing written";
    EXPECT_EQ(passwordFile(), "SECRET");
}

TEST_F(ShellTest, RepeatChangedAfterGantiIsWhatGetsWritten)
{
    writePasswordFile("SECRET");
    runLogin(QStringLiteral("secret"), [&] {
        inChangeWindow([&] {
            fillIn(QStringLiteral("secret"), QStringLiteral("abc"), QStringLiteral("abc"));
            FGantiPass->Edit3->setFocus();
            pressKey(FGantiPass->Edit3, Qt::Key_End);         // entered, the repeat is selected
            typeText(FGantiPass->Edit3, QStringLiteral("d")); // no Enter: nothing checks it again
            click(FGantiPass->Button1);
        });
        endProgram();
    });
    EXPECT_EQ(passwordFile(), "ABCD");
}

TEST_F(ShellTest, NoAtTheConfirmationStartsAgain)
{
    writePasswordFile("SECRET");
    runLogin(QStringLiteral("secret"), [&] {
        inChangeWindow([&] {
            enter(FGantiPass->Edit1, QStringLiteral("wrong"));
            EXPECT_EQ(ChangeFailures, 1);
            fillIn(QStringLiteral("secret"), QStringLiteral("n"), QStringLiteral("n"));
            dialogs.answer(ui::idNo);
            click(FGantiPass->Button1);
            EXPECT_EQ(ChangeFailures, 0);
            EXPECT_TRUE(FGantiPass->Edit1->text().isEmpty());
            EXPECT_TRUE(FGantiPass->Edit2->text().isEmpty());
            EXPECT_FALSE(FGantiPass->Edit2->isEnabled());
            EXPECT_FALSE(FGantiPass->Button1->isEnabled());
            EXPECT_EQ(FGantiPass->focusWidget(), FGantiPass->Edit1);
            EXPECT_TRUE(FGantiPass->isVisible());
            click(FGantiPass->Button3);
        });
        endProgram();
    });
    EXPECT_EQ(passwordFile(), "SECRET");
}

TEST_F(ShellTest, FailedWriteShowsTheErrorAndNoSuccess)
{
    runLogin(QStringLiteral("koliba"), [&] {
        inChangeWindow([&] {
            fillIn(QStringLiteral("koliba"), QStringLiteral("new"), QStringLiteral("new"));
            // Something the new file cannot be put in place of.
            ASSERT_TRUE(QDir().mkpath(QStringLiteral("Pass.Txt/inside")));
            click(FGantiPass->Button1);
            EXPECT_TRUE(FGantiPass->isVisible());
            EXPECT_TRUE(FGantiPass->Button1->isEnabled());
            EXPECT_EQ(FGantiPass->Edit3->text(), "NEW");
            click(FGantiPass->Button3);
        });
        endProgram();
    });
    EXPECT_EQ(dialogs.count(DialogScript::Error), 1);
    EXPECT_EQ(dialogs.count(DialogScript::Message), 0);
    EXPECT_EQ(dialogs.calls().back().caption, "TORAMBU KESTI");
    EXPECT_TRUE(
        QDir().entryList(QStringList{QStringLiteral(".Pass*")}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(ShellTest, ChangeWindowLayout)
{
    runLogin(QString(), [&] {
        inChangeWindow([&] {
            EXPECT_EQ(FGantiPass->windowTitle(), " Ganti Password");
            EXPECT_EQ(FGantiPass->pos(), QPoint(325, 238));
            EXPECT_EQ(FGantiPass->Edit1->passwordChar(), "$");
            EXPECT_EQ(FGantiPass->Edit2->passwordChar(), "%");
            EXPECT_EQ(FGantiPass->Edit3->passwordChar(), "*");
            EXPECT_EQ(FGantiPass->Button1->text(), "&Ganti");
            EXPECT_EQ(FGantiPass->focusWidget(), FGantiPass->Edit1);
            pressKey(FGantiPass->Edit1, Qt::Key_Escape);
            EXPECT_TRUE(FGantiPass->isVisible());
            click(FGantiPass->Button3);
        });
        endProgram();
    });
}

} // namespace
