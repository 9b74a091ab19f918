#include "WindowTest.h"

#include "items/UEditBrg.h"
#include "items/UIBarang.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>

namespace {

class ItemInputTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        create(FBarang, FEditBrg);
    }
    TFBarang* w() { return FBarang; }

    // Code, name and reorder typed with Enter after each: "&Simpan" is next.
    void chain(const QString& code, const QString& name, const QString& reorder)
    {
        typeText(w()->Edit1, code);
        pressEnter(w()->Edit1);
        typeText(w()->Edit2, name);
        pressEnter(w()->Edit2);
        typeText(w()->Edit3, reorder);
        pressEnter(w()->Edit3);
    }
    // Enabled states of name, reorder and "&Simpan".
    QString laterSteps()
    {
        return QStringLiteral("%1%2%3")
            .arg(int(w()->Edit2->isEnabled()))
            .arg(int(w()->Edit3->isEnabled()))
            .arg(int(w()->Button1->isEnabled()));
    }
    void expectReset()
    {
        EXPECT_EQ(w()->Edit1->text(), "");
        EXPECT_EQ(w()->Edit2->text(), "");
        EXPECT_EQ(w()->Edit3->text(), "");
        EXPECT_EQ(w()->Label5->text(), "");
        EXPECT_EQ(laterSteps(), "000");
        EXPECT_EQ(w()->focusWidget(), w()->Edit1);
    }
};

TEST_F(ItemInputTest, OpensResetWithTheItemGrid)
{
    addItem("10001", "OBENG", "NULL", "2", "ITEM");
    addItem("20001", "PALU", "12", "0", "PCS");
    ASSERT_TRUE(FDM->TBarang->findKey("20001"));
    inWindow(w(), [&] {
        expectReset();
        EXPECT_EQ(w()->windowTitle(), "Input Data Barang ");
        EXPECT_FALSE(w()->hasCloseBox());
        ui::DBGrid* g = w()->DBGrid1;
        ASSERT_EQ(g->columnCount(), 5);
        EXPECT_EQ(g->columnTitle(0), "Kode Barang");
        EXPECT_EQ(g->columnTitle(1), "Nama Barang");
        EXPECT_EQ(g->columnWidth(1), 170);
        EXPECT_EQ(g->columnTitle(2), "Satuan");
        EXPECT_EQ(g->columnTitle(3), "Stock");
        EXPECT_EQ(g->columnTitle(4), "Reorder");
        EXPECT_EQ(gridRows(g), QStringList({"10001|OBENG|ITEM||2", "20001|PALU|PCS|12|0"}));
        EXPECT_EQ(gridCurrent(g), "20001"); // wherever the shared row was left
    });
}

TEST_F(ItemInputTest, SavesAnItemThroughTheWholeChain)
{
    dialogs.answer(ui::idYes);
    inWindow(w(), [&] {
        typeText(w()->Edit1, "1abc-");
        pressEnter(w()->Edit1);
        EXPECT_EQ(w()->Label5->text(), "ITEM");
        EXPECT_EQ(laterSteps(), "100");
        EXPECT_EQ(w()->focusWidget(), w()->Edit2);

        typeText(w()->Edit2, "obeng kembang");
        EXPECT_EQ(w()->Edit2->text(), "OBENG KEMBANG");
        pressEnter(w()->Edit2);
        EXPECT_EQ(laterSteps(), "110");
        EXPECT_EQ(w()->focusWidget(), w()->Edit3);

        // Only digits, Backspace and Tab are typed into the reorder box.
        typeText(w()->Edit3, "1a 2-.,3");
        EXPECT_EQ(w()->Edit3->text(), "123");
        pressKey(w()->Edit3, Qt::Key_Backspace);
        EXPECT_EQ(w()->Edit3->text(), "12");
        typeText(w()->Edit3, "007");
        pressEnter(w()->Edit3);
        EXPECT_EQ(laterSteps(), "111");
        EXPECT_EQ(w()->focusWidget(), w()->Button1);

        click(w()->Button1);
        ASSERT_EQ(dialogs.count(DialogScript::Question), 1);
        EXPECT_EQ(dialogs.last().caption, "Konfirmasi");
        EXPECT_EQ(dialogs.last().text, "Apakah Ada Input Data Barang Lagi...?");
        EXPECT_EQ(dialogs.last().flags, 36);
        EXPECT_EQ(stored("1ABC-"), "1ABC-|OBENG KEMBANG||12007.0|ITEM");
        // Yes: ready for the next item, the new one marked in the grid.
        EXPECT_TRUE(w()->isVisible());
        expectReset();
        EXPECT_EQ(gridRows(w()->DBGrid1), QStringList({"1ABC-|OBENG KEMBANG|ITEM||12007"}));
        EXPECT_EQ(gridCurrent(w()->DBGrid1), "1ABC-");
    });
    EXPECT_EQ(dialogs.count(DialogScript::Message), 0);
    EXPECT_EQ(dialogs.count(DialogScript::Error), 0);
}

TEST_F(ItemInputTest, UnitFollowsTheFirstCharacterOfTheCode)
{
    const QStringList units = {"ITEM", "PCS", "BOX", "ROLL", "UNIT", "KG", "DRUM"};
    dialogs.answer({ui::idYes, ui::idYes, ui::idYes, ui::idYes, ui::idYes, ui::idYes, ui::idYes});
    inWindow(w(), [&] {
        for (int i = 0; i < units.size(); ++i) {
            chain(QStringLiteral("%1 x!z").arg(i + 1), "N", "");
            EXPECT_EQ(w()->Label5->text(), units[i]);
            EXPECT_EQ(w()->Edit3->text(), "0"); // Enter on an empty reorder box
            click(w()->Button1);
        }
    });
    for (int i = 0; i < units.size(); ++i)
        EXPECT_EQ(stored(QStringLiteral("%1 X!Z").arg(i + 1)),
                  QStringLiteral("%1 X!Z|N||0.0|%2").arg(i + 1).arg(units[i]));
    EXPECT_TRUE(dialogs.texts(DialogScript::Message).isEmpty());
}

TEST_F(ItemInputTest, RefusesCodesOfTheWrongLengthOrFirstCharacterOrAlreadyStored)
{
    addItem("20001", "PALU", "12", "0", "PCS");
    addItem("30001", "KOTAK", "1", "0", "BOX");
    inWindow(w(), [&] {
        for (const QString& code : {QString(), QStringLiteral("1234"), QStringLiteral("123456")}) {
            dialogs.clear();
            typeText(w()->Edit1, code);
            pressEnter(w()->Edit1);
            EXPECT_EQ(dialogs.texts(), QStringList({"Kode Barang Harus 5 digit...!"})) << code.toStdString();
            EXPECT_EQ(dialogs.last().caption, "TORAMBU KESTI");
            EXPECT_EQ(w()->Edit1->text(), "");
            EXPECT_EQ(w()->focusWidget(), w()->Edit1);
            EXPECT_EQ(laterSteps(), "000");
        }

        // Registered codes are refused before their length is looked at, and
        // the found item becomes the current row.
        FDM->TBarang->first();
        dialogs.clear();
        typeText(w()->Edit1, "300019");
        pressEnter(w()->Edit1);
        EXPECT_EQ(dialogs.texts(), QStringList({"Kode : 300019 Sudah Terdaftar...!"}));
        EXPECT_EQ(w()->Edit1->text(), "");
        EXPECT_EQ(FDM->TBarangKdBrg->asString(), "30001");
        EXPECT_EQ(gridCurrent(w()->DBGrid1), "30001");

        for (const QString& code : {QStringLiteral("8AAAA"), QStringLiteral("0AAAA"), QStringLiteral("X1234"),
                                    QStringLiteral(" 1234")}) {
            dialogs.clear();
            w()->Edit1->clear();
            typeText(w()->Edit1, code);
            pressEnter(w()->Edit1);
            EXPECT_EQ(dialogs.texts(),
                      QStringList({QStringLiteral("Kode %1 Tidak Terdaftar...!").arg(code[0])}));
            EXPECT_EQ(w()->Edit1->text(), code);
            EXPECT_EQ(w()->Edit1->selectedText(), code);
            EXPECT_EQ(w()->focusWidget(), w()->Edit1);
            EXPECT_EQ(laterSteps(), "000");
            EXPECT_EQ(w()->Label5->text(), "");
        }
    });
    EXPECT_EQ(rowCount("Barang"), 2);
}

// A refusal of the code, or any change of it after its Enter, takes back the
// later steps, so a save cannot store a refused code with an earlier unit.
TEST_F(ItemInputTest, ChangingOrRefusingTheCodeWithdrawsTheLaterSteps)
{
    addItem("40001", "TALI", "1", "0", "ROLL");
    inWindow(w(), [&] {
        chain("20001", "PALU", "5");
        ASSERT_EQ(laterSteps(), "111");
        w()->Edit1->setFocus();
        pressKey(w()->Edit1, Qt::Key_End); // entered, the code is selected
        pressKey(w()->Edit1, Qt::Key_Backspace);
        EXPECT_EQ(laterSteps(), "000");
        EXPECT_EQ(w()->Label5->text(), "");
        EXPECT_EQ(w()->Edit2->text(), "PALU");
        EXPECT_EQ(w()->Edit3->text(), "5");
        click(w()->Button1); // disabled: nothing happens

        // A new passing code opens the name box again; the typed texts stay.
        typeText(w()->Edit1, "2");
        pressEnter(w()->Edit1);
        EXPECT_EQ(laterSteps(), "100");
        EXPECT_EQ(w()->Label5->text(), "PCS");

        // Refused after a pass: nothing of the earlier pass stays usable.
        w()->Edit1->selectAll();
        typeText(w()->Edit1, "40001");
        pressEnter(w()->Edit1);
        EXPECT_EQ(laterSteps(), "000");
        EXPECT_EQ(w()->Label5->text(), "");
        typeText(w()->Edit1, "9AAAA");
        pressEnter(w()->Edit1);
        EXPECT_EQ(laterSteps(), "000");
        EXPECT_EQ(w()->Label5->text(), "");
    });
    EXPECT_EQ(rowCount("Barang"), 1);
    EXPECT_EQ(dialogs.count(DialogScript::Question), 0);
}

TEST_F(ItemInputTest, NameMustNotBeBlankAndIsStoredCutToTwentyCharacters)
{
    dialogs.answer({ui::idYes, ui::idYes});
    inWindow(w(), [&] {
        typeText(w()->Edit1, "50001");
        pressEnter(w()->Edit1);
        for (const QString& name : {QString(), QStringLiteral(" "), QStringLiteral("  ")}) {
            dialogs.clear();
            w()->Edit2->clear();
            typeText(w()->Edit2, name);
            pressEnter(w()->Edit2);
            EXPECT_EQ(dialogs.texts(), QStringList({"Nama Barang Tidak Boleh Kosong...!"}));
            EXPECT_EQ(w()->Edit2->text(), "");
            EXPECT_EQ(w()->focusWidget(), w()->Edit2);
            EXPECT_EQ(laterSteps(), "100");
        }
        dialogs.clear();
        typeText(w()->Edit2, "   ");
        pressEnter(w()->Edit2);
        EXPECT_TRUE(dialogs.calls().empty());
        pressEnter(w()->Edit3);
        click(w()->Button1);

        chain("50002", "abcdefghijklmnopqrstuvwxy", "1");
        click(w()->Button1);
    });
    EXPECT_EQ(stored("50001"), "50001|   ||0.0|UNIT");
    EXPECT_EQ(stored("50002"), "50002|ABCDEFGHIJKLMNOPQRST||1.0|UNIT");
}

TEST_F(ItemInputTest, NoToTheSaveQuestionClosesAndTheNextOpeningIsReset)
{
    dialogs.answer(ui::idNo);
    inWindow(w(), [&] {
        chain("60001", "BERAS", "10");
        click(w()->Button1);
        EXPECT_FALSE(w()->isVisible());
    });
    EXPECT_EQ(stored("60001"), "60001|BERAS||10.0|KG");
    inWindow(w(), [&] {
        expectReset();
        chain("70001", "OLI", "1");
        click(w()->Button2); // "&Batal"
        expectReset();
        click(w()->Button3); // "&Tutup"
        EXPECT_FALSE(w()->isVisible());
    });
    EXPECT_EQ(rowCount("Barang"), 1);
}

// A save that fails stores nothing, leaves no pending row and keeps the
// window as it was, ready to try again.
TEST_F(ItemInputTest, FailedSaveStoresNothingAndKeepsTheWindow)
{
    addItem("10009", "ADA", "4", "1", "ITEM");
    dialogs.answer(ui::idYes);
    inWindow(w(), [&] {
        chain("20002", "PALU", "7");
        // Backspace empties the reorder box after its Enter.
        w()->Edit3->setFocus();
        pressKey(w()->Edit3, Qt::Key_Backspace);
        click(w()->Button1);
        EXPECT_EQ(dialogs.texts(DialogScript::Error),
                  QStringList({ui::withFullStop("'' is not a valid floating point value")}));
        EXPECT_EQ(rowCount("Barang"), 1);
        EXPECT_EQ(FDM->TBarang->state(), data::DataSetState::Browse);
        EXPECT_EQ(laterSteps(), "111");
        EXPECT_EQ(w()->Edit1->text(), "20002");
        EXPECT_EQ(w()->Label5->text(), "PCS");

        // The same code stored meanwhile by someone else: a key violation.
        typeText(w()->Edit3, "7");
        FDM->TBarang->first();
        db().exec("INSERT INTO Barang VALUES ('20002', 'LAIN', 3, 3, 'PCS')");
        dialogs.clear();
        click(w()->Button1);
        EXPECT_EQ(dialogs.count(DialogScript::Error), 1);
        EXPECT_EQ(dialogs.count(DialogScript::Question), 0);
        EXPECT_EQ(stored("20002"), "20002|LAIN|3.0|3.0|PCS");
        EXPECT_EQ(FDM->TBarang->state(), data::DataSetState::Browse);
        EXPECT_EQ(FDM->TBarangKdBrg->asString(), "10009");
        EXPECT_EQ(laterSteps(), "111");
        EXPECT_EQ(w()->Edit2->text(), "PALU");
        EXPECT_EQ(gridRows(w()->DBGrid1).size(), 2);

        // Once the clash is gone, the same press stores the item.
        db().exec("DELETE FROM Barang WHERE KdBrg = '20002'");
        click(w()->Button1);
        EXPECT_EQ(stored("20002"), "20002|PALU||7.0|PCS");
    });
}

TEST_F(ItemInputTest, DeletesTheMarkedItemAfterConsent)
{
    addItem("10001", "OBENG", "1", "1", "ITEM");
    addItem("20001", "PALU", "2", "1", "PCS");
    addItem("30001", "KOTAK", "3", "1", "BOX");
    inWindow(w(), [&] {
        typeText(w()->Edit1, "20001");
        pressEnter(w()->Edit1); // refused as registered: now the marked row
        typeText(w()->Edit1, "5");

        dialogs.clear();
        dialogs.answer(ui::idNo);
        click(w()->Button5);
        EXPECT_EQ(dialogs.last().text, "Yakin Data Barang Akan Dihapus...?");
        EXPECT_EQ(dialogs.last().caption, "Konfirmasi");
        EXPECT_EQ(dialogs.last().flags, 36);
        EXPECT_EQ(rowCount("Barang"), 3);
        EXPECT_EQ(w()->Edit1->text(), "5");

        dialogs.answer(ui::idYes);
        click(w()->Button5);
        EXPECT_EQ(stored("20001"), "");
        EXPECT_EQ(rowCount("Barang"), 2);
        expectReset();
        EXPECT_EQ(gridRows(w()->DBGrid1), QStringList({"10001|OBENG|ITEM|1|1", "30001|KOTAK|BOX|3|1"}));
        EXPECT_EQ(gridCurrent(w()->DBGrid1), "30001");

        // A click in the grid picks the row to delete.
        QTest::mouseClick(w()->DBGrid1->viewport(), Qt::LeftButton, {},
                          w()->DBGrid1->cellRect(0, 1).center());
        EXPECT_EQ(FDM->TBarangKdBrg->asString(), "10001");
        pressKey(w()->DBGrid1, Qt::Key_Down);
        EXPECT_EQ(FDM->TBarangKdBrg->asString(), "30001");
        pressKey(w()->DBGrid1, Qt::Key_Up);
        dialogs.answer(ui::idYes);
        click(w()->Button5);
        EXPECT_EQ(gridRows(w()->DBGrid1), QStringList({"30001|KOTAK|BOX|3|1"}));

        dialogs.answer(ui::idYes);
        click(w()->Button5);
        EXPECT_EQ(rowCount("Barang"), 0);
        EXPECT_TRUE(gridRows(w()->DBGrid1).isEmpty());

        // On an empty table the deletion fails and the window is not reset.
        typeText(w()->Edit1, "1");
        dialogs.clear();
        dialogs.answer(ui::idYes);
        click(w()->Button5);
        EXPECT_EQ(
            dialogs.texts(DialogScript::Error),
            QStringList({ui::withFullStop("TBarang: Cannot perform this operation on an empty dataset")}));
        EXPECT_EQ(w()->Edit1->text(), "1");
    });
}

// Nothing is typed into the grid, so a letter there never clicks the button
// that carries it; Alt+letter clicks the button, and types nothing in a box
// whose button is disabled.
TEST_F(ItemInputTest, LettersInTheGridOrWithAltTypeNothing)
{
    addItem("10001", "OBENG", "1", "1", "ITEM");
    inWindow(w(), [&] {
        typeText(w()->Edit1, "20001");
        pressEnter(w()->Edit1);
        ASSERT_EQ(laterSteps(), "100");
        w()->Edit1->setFocus();
        pressKey(w()->Edit1, Qt::Key_S, Qt::AltModifier); // "&Simpan" is disabled
        EXPECT_EQ(w()->Edit1->text(), "20001");
        EXPECT_EQ(laterSteps(), "100") << "no change of the code";

        w()->DBGrid1->setFocus();
        typeText(w()->DBGrid1, "hHtTeb ");
        EXPECT_TRUE(dialogs.calls().empty());
        EXPECT_TRUE(w()->isVisible());
        EXPECT_EQ(w()->Edit1->text(), "20001");

        dialogs.answer(ui::idYes);
        pressKey(w()->DBGrid1, Qt::Key_H, Qt::AltModifier);
        EXPECT_EQ(dialogs.texts(DialogScript::Question), QStringList({"Yakin Data Barang Akan Dihapus...?"}));
        EXPECT_EQ(rowCount("Barang"), 0);
        pressKey(w()->DBGrid1, Qt::Key_T, Qt::AltModifier);
        EXPECT_FALSE(w()->isVisible());
    });
}

TEST_F(ItemInputTest, EditButtonOpensTheEditWindowAndComingBackKeepsTheBoxes)
{
    addItem("10001", "OBENG", "4", "1", "ITEM");
    dialogs.answer(ui::idNo);
    inWindow(w(), [&] {
        chain("20001", "PALU", "3");
        whileModal([&] {
            EXPECT_TRUE(FEditBrg->isVisible());
            typeText(FEditBrg->Edit1, "10001");
            pressEnter(FEditBrg->Edit1);
            FEditBrg->Edit2->selectAll();
            typeText(FEditBrg->Edit2, "obeng besar");
            pressEnter(FEditBrg->Edit2);
            pressEnter(FEditBrg->Edit3);
            pressEnter(FEditBrg->Edit4);
            click(FEditBrg->Button1); // No: the edit window closes
            EXPECT_FALSE(FEditBrg->isVisible());
        });
        click(w()->Button4);
        EXPECT_FALSE(FEditBrg->isVisible());
        EXPECT_EQ(w()->Edit1->text(), "20001");
        EXPECT_EQ(w()->Edit2->text(), "PALU");
        EXPECT_EQ(w()->Edit3->text(), "3");
        EXPECT_EQ(w()->Label5->text(), "PCS");
        EXPECT_EQ(laterSteps(), "111");
        // The grid shows the edit, with the edited item marked.
        EXPECT_EQ(gridRows(w()->DBGrid1), QStringList({"10001|OBENG BESAR|ITEM|4|1"}));
        EXPECT_EQ(gridCurrent(w()->DBGrid1), "10001");
        // Back in this window, its accelerators work again.
        EXPECT_EQ(QApplication::activeWindow(), w());
        pressKey(w()->Edit1, Qt::Key_T, Qt::AltModifier);
        EXPECT_FALSE(w()->isVisible());
    });
    EXPECT_EQ(stored("10001"), "10001|OBENG BESAR|4.0|1.0|ITEM");
}

TEST_F(ItemInputTest, PasteOrDropIntoTheReorderBoxTakesDigitsOnly)
{
    inWindow(w(), [&] {
        typeText(w()->Edit1, QStringLiteral("1abcd"));
        pressEnter(w()->Edit1);
        typeText(w()->Edit2, QStringLiteral("baut"));
        pressEnter(w()->Edit2);
        ui::Edit* reorder = w()->Edit3;
        ASSERT_EQ(w()->focusWidget(), reorder);
        for (const char* refused : {"-5", "12.75", "1e308", "\u0667"}) {
            QApplication::clipboard()->setText(QString::fromUtf8(refused));
            pressKey(reorder, Qt::Key_Insert, Qt::ShiftModifier);
        }
        EXPECT_EQ(reorder->text(), "");
        QApplication::clipboard()->setText(QStringLiteral("42"));
        pressKey(reorder, Qt::Key_Insert, Qt::ShiftModifier);
        EXPECT_EQ(reorder->text(), "42");
        const auto drop = [&](const QString& text) {
            QMimeData dragged;
            dragged.setText(text);
            QDragEnterEvent enter(QPoint(2, 5), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(reorder, &enter);
            QDropEvent dropped(QPointF(2, 5), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(reorder, &dropped);
        };
        drop(QStringLiteral("7x"));
        EXPECT_EQ(reorder->text(), "42");
        drop(QStringLiteral("7"));
        EXPECT_EQ(reorder->text(), "742");
    });
}

} // namespace
