#pragma once

#include "DialogScript.h"
#include "TempDatabase.h"
#include "UiDriver.h"

#include "platform/ui/Application.h"
#include "shell/program/Program.h"
#include "shell/UPass.h"
#include "shell/UUtama.h"

#include <QByteArray>
#include <QFile>

#include <gtest/gtest.h>
#include <memory>

// The whole program on a fresh database, run in a temporary current
// directory (where "Pass.Txt" lives), with the dialog responder answering.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db_ = std::make_unique<TempDatabase>();
        LoginFailures = 0;
    }
    void TearDown() override
    {
        clearModalSteps();
        db_.reset();
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

    DialogScript dialogs;
    bool menuOpened = false;

private:
    std::unique_ptr<TempDatabase> db_;
};
