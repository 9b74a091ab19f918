#pragma once

// The window-test kit. Each test gets a fresh database (a temporary folder
// with the four tables, registered as the alias "Stock" and made the current
// directory), the data module FDM loaded on it, the application object titled
// "TORAMBU KESTI" with a stand-in main window, and the windows it creates
// with create(), as the start-up creates them. `dialogs` answers the message
// and question windows; UiDriver.h types and clicks; setClock() fixes "now"
// until the test ends; errorOf() catches an error's message. For example:
//
//   class ItemEditTest : public WindowTest {};
//   TEST_F(ItemEditTest, ShowsTheItemFound) {
//       create(FEditBrg);
//       addItem("10001", "OBENG", "4", "0", "ITEM");
//       inWindow(FEditBrg, [&] {
//           typeText(FEditBrg->Edit1, "10001");
//           pressEnter(FEditBrg->Edit1);
//           EXPECT_EQ(FEditBrg->Edit2->text(), "OBENG");
//       });
//   }

#include "DialogScript.h"
#include "ErrorOf.h"
#include "QStringPrinter.h"
#include "TempDatabase.h"
#include "TestClock.h"
#include "UiDriver.h"

#include "datamodule/UDm.h"
#include "platform/ui/Application.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace ui {
class DBGrid;
class Form;
} // namespace ui

class WindowTest : public ::testing::Test {
protected:
    // DatabaseOnly: the fresh database and nothing else, for tests that start
    // the whole program themselves.
    enum class Make { Windows, DatabaseOnly };
    explicit WindowTest(Make make = Make::Windows) : make_(make) {}

    void SetUp() override;
    void TearDown() override; // the windows, the data module, the database

    // Creates each object into its program-wide reference, in this order,
    // owned by the application; they go when the test ends.
    template <class... T> void create(T*&... refs) { (app->createForm(refs), ...); }

    // Opens the window modally and runs the steps inside its loop; closes it
    // afterwards if the steps left it open.
    static void inWindow(ui::Form* form, std::function<void()> steps);

    TempDatabase& db() { return *db_; }

    // Stored rows, written and read straight in the database. Stock and
    // reorder are SQL values ("NULL" for none).
    void addItem(const QString& code, const QString& name, const QString& stock, const QString& reorder,
                 const QString& unit);
    QString stored(const QString& code) const; // "code|name|stock|reorder|unit", "" when missing
    int rowCount(const QString& table) const;

    // What a grid shows: a row's cells joined by '|'; the current row's first cell.
    static QStringList gridRows(ui::DBGrid* grid);
    static QString gridCurrent(ui::DBGrid* grid);

    std::unique_ptr<ui::Application> app;
    ui::Form* mainForm = nullptr; // stands in for the login window, the program's main window
    DialogScript dialogs;

private:
    Make make_;
    std::unique_ptr<TempDatabase> db_;
};
