#include "ShellFixture.h"

#include "platform/ui/Dialogs.h"
#include "shell/UFAbout.h"
#include "shell/UGPass.h"

#include <QApplication>
#include <QDir>
#include <QWindow>

#include <unistd.h>

namespace {

struct FileCase {
    const char* name;
    QByteArray file; // "<none>": no password file
    QString typed;
    bool opens;
    QString memo; // the login's memo once the menu is open
};

void PrintTo(const FileCase& c, std::ostream* os)
{
    *os << c.name;
}

class PasswordFileRules : public ShellTest, public ::testing::WithParamInterface<FileCase> {};

TEST_P(PasswordFileRules, DecideWhetherTheMainMenuOpens)
{
    const FileCase& c = GetParam();
    if (c.file != "<none>")
        writePasswordFile(c.file);
    QString memo;
    EXPECT_EQ(runLogin(c.typed,
                       [&] {
                           memo = Fpass->Memo1->text();
                           endProgram();
                       }),
              0);
    EXPECT_EQ(menuOpened, c.opens);
    EXPECT_EQ(memo, c.memo);
    if (c.opens)
        EXPECT_TRUE(dialogs.calls().empty());
    else
        EXPECT_EQ(dialogs.texts(), QStringList({"Password Salah...!"}));
}

INSTANTIATE_TEST_SUITE_P(
    Login, PasswordFileRules,
    ::testing::Values(FileCase{"NoFileEmptyEntry", "<none>", "", true, ""},
                      FileCase{"NoFileAnyEntry", "<none>", "abc", false, ""},
                      FileCase{"NoFileMaster", "<none>", "koliba", true, ""},
                      FileCase{"EmptyFileEmptyEntry", "", "", true, ""},
                      FileCase{"EmptyFileOtherEntry", "", "x", false, ""},
                      FileCase{"CapitalsTypedSmall", "SECRET", "secret", true, "SECRET"},
                      FileCase{"CrLfAfterPassword", "SECRET\r\n", "SECRET", false, ""},
                      FileCase{"LfAfterPassword", "SECRET\n", "SECRET", false, ""},
                      FileCase{"CrAfterPassword", "SECRET\r", "SECRET", false, ""},
                      FileCase{"SecondLine", "SECRET\r\nMORE", "SECRET", false, ""},
                      FileCase{"SmallLettersInFile", "Secret", "Secret", false, ""},
                      FileCase{"SmallLettersInFileMaster", "Secret", "KOLIBA", true, "Secret"},
                      FileCase{"LineBreaksReadAsCrLf", "A\nB\rC", "KOLIBA", true, "A\r\nB\r\nC"},
                      FileCase{"LeadingBlankKept", " SECRET", " secret", true, " SECRET"},
                      FileCase{"LeadingBlankNotTrimmed", " SECRET", "secret", false, ""},
                      FileCase{"NulEndsTheText", QByteArray("SECRET\0JUNK", 11), "secret", true, "SECRET"},
                      FileCase{"EightBitBytesKept", "\xC9\xA0X", "\u00E9\u00A0x", true, "\u00C9\u00A0X"},
                      FileCase{"MasterWithFile", "SECRET", "koliba", true, "SECRET"}),
    [](const auto& test) { return std::string(test.param.name); });

// Whatever the file's size, the login answers at once, as its text says: a
// sparse file of 40 GB holds the password and then NUL bytes, which end it.
TEST_F(ShellTest, AHugePasswordFileIsAnsweredAsItsTextSays)
{
    writePasswordFile("SECRET");
    ASSERT_TRUE(QFile::resize(QStringLiteral("Pass.Txt"), 40LL << 30));
    EXPECT_EQ(runLogin(QStringLiteral("secret"), [] { endProgram(); }), 0);
    EXPECT_TRUE(menuOpened);
}

TEST_F(ShellTest, MasterPasswordLeavesTheFilesTextInTheMemo)
{
    writePasswordFile("SECRET");
    QString memo, entry;
    runLogin(QStringLiteral("koliba"), [&] {
        memo = Fpass->Memo1->text();
        entry = Fpass->Edit1->text();
        EXPECT_EQ(QApplication::activeModalWidget(), FUtama) << "the login window stays behind, blocked";
        EXPECT_TRUE(Fpass->isVisible());
        endProgram();
    });
    EXPECT_EQ(memo, "SECRET");
    EXPECT_EQ(entry, "KOLIBA");
}

TEST_F(ShellTest, ThirdFailureHidesAccessButEnterStillWorks)
{
    writePasswordFile("SECRET");
    bool accessVisibleAfterTwo = false;
    bool accessVisibleAtEnd = true;
    whileRunning([&] {
        Fpass->Edit1->setFocus();
        EXPECT_EQ(Fpass->Edit1->displayText(), "");
        for (const char* wrong : {"one", "two"}) {
            typeText(Fpass->Edit1, QString::fromLatin1(wrong));
            click(Fpass->Button1);
        }
        accessVisibleAfterTwo = Fpass->Button1->isVisible();
        // The wrong text is selected, so typing replaces it.
        EXPECT_EQ(Fpass->Edit1->selectedText(), "TWO");
        typeText(Fpass->Edit1, QStringLiteral("three"));
        EXPECT_EQ(Fpass->Edit1->text(), "THREE");
        EXPECT_EQ(Fpass->Edit1->displayText(), "$$$$$");
        click(Fpass->Button1);
        accessVisibleAtEnd = Fpass->Button1->isVisible();
        typeText(Fpass->Edit1, QStringLiteral("four"));
        pressEnter(Fpass->Edit1);
        typeText(Fpass->Edit1, QStringLiteral("secret"));
        pressEnter(Fpass->Edit1);
    });
    whileModal([&] {
        EXPECT_EQ(LoginFailures, 4);
        endProgram();
    });
    EXPECT_EQ(shell::runProgram(), 0);
    EXPECT_TRUE(accessVisibleAfterTwo);
    EXPECT_FALSE(accessVisibleAtEnd);
    const QString wrong = QStringLiteral("Password Salah...!");
    const QString sorry = QStringLiteral("M A A F F F T T T........!");
    EXPECT_EQ(dialogs.texts(), QStringList({wrong, wrong, wrong, sorry, wrong, sorry}));
    for (const auto& call : dialogs.calls()) {
        EXPECT_EQ(call.kind, DialogScript::Message);
        EXPECT_EQ(call.caption, "TORAMBU KESTI");
    }
}

TEST_F(ShellTest, TwoFailuresThenTheRightPasswordKeepTheCount)
{
    int countInMenu = -1;
    whileRunning([&] {
        for (const char* wrong : {"a", "b"}) {
            typeText(Fpass->Edit1, QString::fromLatin1(wrong));
            pressEnter(Fpass->Edit1);
        }
        pressKey(Fpass->Edit1, Qt::Key_Backspace);
        EXPECT_EQ(Fpass->Edit1->text(), "");
        pressEnter(Fpass->Edit1); // no file: the empty entry is right
    });
    whileModal([&] {
        countInMenu = LoginFailures;
        endProgram();
    });
    shell::runProgram();
    EXPECT_EQ(countInMenu, 2);
}

TEST_F(ShellTest, FailureCountWrapsAfter255)
{
    whileRunning([&] {
        for (int i = 0; i < 3; ++i) {
            typeText(Fpass->Edit1, QStringLiteral("x"));
            pressEnter(Fpass->Edit1);
        }
        LoginFailures = 255; // as after 255 failures
        dialogs.clear();
        for (int i = 0; i < 4; ++i) {
            typeText(Fpass->Edit1, QStringLiteral("x"));
            pressEnter(Fpass->Edit1);
        }
        EXPECT_FALSE(Fpass->Button1->isVisible()) << "nothing shows the button again";
        click(Fpass->Button2);
    });
    shell::runProgram();
    const QString wrong = QStringLiteral("Password Salah...!");
    EXPECT_EQ(dialogs.texts(), QStringList({wrong, wrong, wrong, wrong, "M A A F F F T T T........!"}));
    EXPECT_EQ(LoginFailures, 3);
}

TEST_F(ShellTest, CancelOrCloseBoxEndTheProgramWithoutAQuestion)
{
    whileRunning([] { click(Fpass->Button2); });
    EXPECT_EQ(shell::runProgram(), 0);
    whileRunning([] { Fpass->windowHandle()->close(); });
    EXPECT_EQ(shell::runProgram(), 0);
    EXPECT_TRUE(dialogs.calls().empty());
    EXPECT_FALSE(QFile::exists(QStringLiteral("Pass.Txt"))) << "nothing written";
}

TEST_F(ShellTest, LoginWindowLayout)
{
    whileRunning([&] {
        EXPECT_EQ(Fpass->windowTitle(), " Password Dialog ");
        EXPECT_EQ(Fpass->size(), QSize(376, 234));
        Fpass->resize(600, 400); // as the window manager's frame would
        EXPECT_EQ(Fpass->size(), QSize(376, 234)) << "it keeps the size of its picture";
        EXPECT_EQ(Fpass->maximumSize(), Fpass->minimumSize()) << "so it cannot be maximised either";
        EXPECT_EQ(Fpass->pos(), QPoint(443, 87));
        EXPECT_EQ(Fpass->focusWidget(), Fpass->Edit1);
        EXPECT_EQ(Fpass->Edit1->geometry(), QRect(144, 88, 121, 21));
        EXPECT_TRUE(Fpass->Memo1->geometry().intersected(Fpass->Edit1->geometry()) ==
                    Fpass->Memo1->geometry())
            << "the entry covers the memo";
        EXPECT_EQ(Fpass->Image1->image().size(), QSize(376, 234));
        // Tab order: entry, Access, Cancel, memo.
        pressKey(Fpass->Edit1, Qt::Key_Tab);
        EXPECT_EQ(Fpass->focusWidget(), Fpass->Button1);
        pressKey(Fpass->Button1, Qt::Key_Tab);
        EXPECT_EQ(Fpass->focusWidget(), Fpass->Button2);
        pressKey(Fpass->Button2, Qt::Key_Tab);
        EXPECT_EQ(Fpass->focusWidget(), Fpass->Memo1);
        // What is typed there is hidden under the entry.
        typeText(Fpass->Memo1, QStringLiteral("x"));
        pressKey(Fpass->Memo1, Qt::Key_Tab);
        EXPECT_EQ(Fpass->focusWidget(), Fpass->Edit1);
        // Alt+letter is the button's, wherever the focus is.
        Fpass->Memo1->setFocus();
        pressKey(Fpass->Memo1, Qt::Key_C, Qt::AltModifier);
        EXPECT_TRUE(ui::Application::instance()->terminated()) << "Alt+C is \"&Cancel\"";
        EXPECT_EQ(Fpass->Memo1->text(), "x") << "nothing typed";
        if (!ui::Application::instance()->terminated())
            click(Fpass->Button2);
    });
    shell::runProgram();
}

TEST_F(ShellTest, UnreadablePasswordFileShowsTheErrorWindowOnly)
{
    // A password file that exists but cannot be read. Permissions do not
    // stop the super-user, a file that fails on reading does.
    if (::geteuid() == 0) {
        ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), QStringLiteral("Pass.Txt")));
    } else {
        writePasswordFile("SECRET");
        QFile::setPermissions(QStringLiteral("Pass.Txt"), QFileDevice::WriteOwner);
    }
    whileRunning([&] {
        typeText(Fpass->Edit1, QStringLiteral("secret"));
        pressEnter(Fpass->Edit1);
        click(Fpass->Button2);
    });
    shell::runProgram();
    EXPECT_FALSE(menuOpened);
    EXPECT_EQ(dialogs.count(DialogScript::Message), 0);
    EXPECT_EQ(dialogs.count(DialogScript::Error), 1);
    EXPECT_EQ(LoginFailures, 0);
}

} // namespace
