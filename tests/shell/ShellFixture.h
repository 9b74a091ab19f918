#pragma once

#include "WindowTest.h"

#include "shell/UPass.h"
#include "shell/UUtama.h"
#include "shell/program/Program.h"

#include <QByteArray>
#include <QFile>

// The whole program on the kit's fresh database, run in its folder (where
// "Pass.Txt" lives), with the dialog responder answering.
class ShellTest : public WindowTest {
protected:
    ShellTest() : WindowTest(Make::DatabaseOnly) {}
    void SetUp() override
    {
        WindowTest::SetUp();
        LoginFailures = 0;
    }

    static void writePasswordFile(const QByteArray& bytes)
    {
        QFile f(QStringLiteral("Pass.Txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QByteArray passwordFile()
    {
        QFile f(QStringLiteral("Pass.Txt"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    // Logs in with the text typed into the login entry and Enter; when the
    // main menu opens, runs inMenu inside it. The program is ended by the test
    // (inMenu) or, when the login fails, by "&Cancel". Returns the exit code.
    int runLogin(const QString& typed, std::function<void()> inMenu)
    {
        menuOpened = false;
        whileRunning([this, typed] {
            typeText(Fpass->Edit1, typed);
            pressEnter(Fpass->Edit1);
            if (!menuOpened)
                click(Fpass->Button2);
        });
        whileModal([this, inMenu] {
            menuOpened = true;
            inMenu();
        });
        const int code = shell::runProgram();
        clearModalSteps();
        return code;
    }

    static void endProgram() { ui::Application::instance()->terminate(); }

    bool menuOpened = false;
};
