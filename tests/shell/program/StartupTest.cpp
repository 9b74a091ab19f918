#include "DialogScript.h"
#include "TempDatabase.h"
#include "UiDriver.h"

#include "datamodule/UDm.h"
#include "platform/ui/Application.h"
#include "shell/UFAbout.h"
#include "shell/UGPass.h"
#include "shell/UPass.h"
#include "shell/UUtama.h"
#include "shell/program/Program.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(Startup, MissingAliasShowsApplicationErrorAndExitsWithOne)
{
    // An engine configuration without the alias "Stock".
    QTemporaryDir dir;
    const QByteArray previous = qgetenv("DBENGINE_CONFIG");
    qputenv("DBENGINE_CONFIG", QDir(dir.path()).filePath(QStringLiteral("aliases.ini")).toLocal8Bit());
    DialogScript dialogs;
    bool windowShown = true;
    dialogs.onShow([&](const DialogScript::Call&) {
        windowShown = false;
        for (QWidget* w : QApplication::topLevelWidgets())
            windowShown |= w->isVisible();
    });
    testing::internal::CaptureStderr();
    const int code = shell::runProgram();
    const std::string err = testing::internal::GetCapturedStderr();
    qputenv("DBENGINE_CONFIG", previous);

    EXPECT_EQ(code, 1);
    ASSERT_EQ(dialogs.calls().size(), 1u);
    const auto& call = dialogs.calls().front();
    EXPECT_EQ(call.kind, DialogScript::Error);
    EXPECT_EQ(call.caption, "Application Error");
    const QStringList lines = call.text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Exception \\w+ in module \\S+ at [0-9A-F]+\\.$"))
                    .match(lines[0])
                    .hasMatch())
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QLatin1Char('.')));
    EXPECT_FALSE(lines[1].endsWith(QStringLiteral("..")));
    EXPECT_FALSE(windowShown) << "no window of the program was shown";
    EXPECT_EQ(QString::fromStdString(err).trimmed(), call.text);
    // Only the objects before the data module were made, and all are gone.
    EXPECT_EQ(Fpass, nullptr);
    EXPECT_EQ(FUtama, nullptr);
    EXPECT_EQ(FDM, nullptr);
}

TEST(Startup, ErrorTextAddsAFullStopUnlessThereIsOne)
{
    const QString a = shell::startupErrorText(
        "DatabaseError", "torambu-kesti", reinterpret_cast<const void*>(0x1234), "Stock: alias not found");
    EXPECT_TRUE(a.startsWith("Exception DatabaseError in module torambu-kesti at "));
    EXPECT_TRUE(a.endsWith("\nStock: alias not found."));
    const QString b = shell::startupErrorText("E", "m", nullptr, "Done!");
    EXPECT_TRUE(b.endsWith("\nDone!."));
    const QString c = shell::startupErrorText("E", "m", nullptr, "Done.");
    EXPECT_TRUE(c.endsWith("\nDone."));
}

TEST(Startup, CreatesTheObjectsAndShowsTheLoginWindowFirst)
{
    TempDatabase db;
    DialogScript dialogs;
    QStringList visible;
    whileRunning([&] {
        EXPECT_NE(FDM, nullptr);
        EXPECT_EQ(ui::Application::instance()->mainForm(), Fpass);
        EXPECT_EQ(ui::Application::instance()->title(), "TORAMBU KESTI");
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                visible << w->objectName();
        click(Fpass->Button2);
    });
    EXPECT_EQ(shell::runProgram(), 0);
    clearModalSteps();
    EXPECT_EQ(visible, QStringList({"TFpass"}));
    EXPECT_TRUE(dialogs.calls().empty());
    EXPECT_EQ(FDM, nullptr) << "destroyed on the way out";
}

} // namespace
