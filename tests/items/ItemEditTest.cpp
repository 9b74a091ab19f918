#include "WindowTest.h"

#include "items/UEditBrg.h"
#include "items/UIBarang.h"
#include "platform/ui/Dialogs.h"

namespace {

class ItemEditTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        create(FBarang, FEditBrg);
        addItem("10001", "OBENG", "4", "0", "ITEM");
        addItem("20001", "PALU", "NULL", "12", "PCS");
    }
    TFEditBrg* w() { return FEditBrg; }

    // Enabled states of name, reorder, unit and "&Simpan".
    QString steps()
    {
        return QStringLiteral("%1%2%3%4")
            .arg(int(w()->Edit2->isEnabled()))
            .arg(int(w()->Edit3->isEnabled()))
            .arg(int(w()->Edit4->isEnabled()))
            .arg(int(w()->Button1->isEnabled()));
    }
    void lookUp(const QString& code)
    {
        w()->Edit1->clear();
        typeText(w()->Edit1, code);
        pressEnter(w()->Edit1);
    }
    // From a found item through name, reorder and unit to "&Simpan".
    void walkToSave()
    {
        pressEnter(w()->Edit2);
        pressEnter(w()->Edit3);
        pressEnter(w()->Edit4);
    }
    void expectReset()
    {
        EXPECT_EQ(w()->Edit1->text(), "");
        EXPECT_EQ(w()->Edit2->text(), "");
        EXPECT_EQ(w()->Edit3->text(), "");
        EXPECT_EQ(w()->Edit4->text(), "");
        EXPECT_EQ(steps(), "0000");
        EXPECT_EQ(w()->focusWidget(), w()->Edit1);
    }
};

TEST_F(ItemEditTest, LooksTheItemUpAndShowsItsValues)
{
    inWindow(w(), [&] {
        expectReset();
        EXPECT_EQ(w()->windowTitle(), "Edit Data Barang");
        EXPECT_FALSE(w()->hasCloseBox());

        lookUp("200019"); // six characters find the item of the first five
        EXPECT_EQ(w()->Edit2->text(), "PALU");
        EXPECT_EQ(w()->Edit3->text(), "12");
        EXPECT_EQ(w()->Edit4->text(), "PCS");
        EXPECT_EQ(steps(), "1000");
        EXPECT_EQ(w()->focusWidget(), w()->Edit2);
        EXPECT_EQ(FDM->TBarangKdBrg->asString(), "20001");

        // A failed lookup leaves the boxes and the row of the earlier one.
        lookUp("99999");
        EXPECT_EQ(dialogs.texts(), QStringList({"Kode Barang Tidak Terdaftar...!"}));
        EXPECT_EQ(w()->Edit1->text(), "");
        EXPECT_EQ(w()->focusWidget(), w()->Edit1);
        EXPECT_EQ(w()->Edit2->text(), "PALU");
        EXPECT_EQ(steps(), "1000");
        EXPECT_EQ(FDM->TBarangKdBrg->asString(), "20001");

        // Enter again replaces what was typed with the stored values.
        lookUp("10001");
        w()->Edit2->selectAll();
        typeText(w()->Edit2, "LAIN");
        lookUp("10001");
        EXPECT_EQ(w()->Edit2->text(), "OBENG");
        EXPECT_EQ(w()->Edit3->text(), "0");

        dialogs.clear();
        lookUp("");
        EXPECT_EQ(dialogs.texts(), QStringList({"Kode Barang Tidak Terdaftar...!"}));
    });
}

TEST_F(ItemEditTest, ChainRefusesBlankNameAndUnitAndFillsAnEmptyReorder)
{
    inWindow(w(), [&] {
        lookUp("10001");
        for (const QString& blank : {QString(), QStringLiteral(" "), QStringLiteral("  ")}) {
            dialogs.clear();
            w()->Edit2->clear();
            typeText(w()->Edit2, blank);
            pressEnter(w()->Edit2);
            EXPECT_EQ(dialogs.texts(), QStringList({"Nama Barang Tidak Boleh Kosong...!"}));
            EXPECT_EQ(w()->focusWidget(), w()->Edit2);
            EXPECT_EQ(steps(), "1000");
        }
        typeText(w()->Edit2, "   ");
        pressEnter(w()->Edit2);
        EXPECT_EQ(steps(), "1100");
        EXPECT_EQ(w()->focusWidget(), w()->Edit3);

        w()->Edit3->clear();
        typeText(w()->Edit3, "x- .9");
        EXPECT_EQ(w()->Edit3->text(), "9");
        pressKey(w()->Edit3, Qt::Key_Backspace);
        pressEnter(w()->Edit3);
        EXPECT_EQ(w()->Edit3->text(), "0");
        EXPECT_EQ(steps(), "1110");
        EXPECT_EQ(w()->focusWidget(), w()->Edit4);

        for (const QString& blank : {QString(), QStringLiteral(" "), QStringLiteral("  ")}) {
            dialogs.clear();
            w()->Edit4->clear();
            typeText(w()->Edit4, blank);
            pressEnter(w()->Edit4);
            EXPECT_EQ(dialogs.texts(), QStringList({"Satuan BArang Tidak Boleh Kosong...!"}));
            EXPECT_EQ(w()->Edit4->text(), "");
            EXPECT_EQ(w()->focusWidget(), w()->Edit4);
            EXPECT_EQ(steps(), "1110");
        }
        typeText(w()->Edit4, "lusin");
        pressEnter(w()->Edit4);
        EXPECT_EQ(steps(), "1111");
        EXPECT_EQ(w()->focusWidget(), w()->Button1);
    });
}

TEST_F(ItemEditTest, SaveWritesTheBoxesIntoTheFoundItem)
{
    dialogs.answer(ui::idYes);
    inWindow(w(), [&] {
        lookUp("10001");
        // Each box the chain enters has its text selected: typing replaces it.
        typeText(w()->Edit2, "obeng plus panjang sekali");
        pressEnter(w()->Edit2);
        typeText(w()->Edit3, "007");
        pressEnter(w()->Edit3);
        typeText(w()->Edit4, "batang kecil");
        pressEnter(w()->Edit4);
        click(w()->Button1);
        EXPECT_EQ(dialogs.last().text, "Apakah Ada Edit Data Barang Lagi...?");
        EXPECT_EQ(dialogs.last().caption, "Konfirmasi");
        EXPECT_EQ(dialogs.last().flags, 36);
        EXPECT_TRUE(w()->isVisible());
        expectReset();
        EXPECT_EQ(FDM->TBarangKdBrg->asString(), "10001");
    });
    // Stock keeps its value; long texts are cut to their fields.
    EXPECT_EQ(stored("10001"), "10001|OBENG PLUS PANJANG S|4.0|7.0|BATANG KEC");
    EXPECT_EQ(stored("20001"), "20001|PALU||12.0|PCS");
}

TEST_F(ItemEditTest, ACodeChangedAfterTheLookupRenamesTheItem)
{
    dialogs.answer(ui::idNo);
    inWindow(w(), [&] {
        lookUp("20001");
        walkToSave();
        w()->Edit1->clear();
        typeText(w()->Edit1, "2000x");
        click(w()->Button1);
        EXPECT_FALSE(w()->isVisible()); // No closes the window
    });
    EXPECT_EQ(stored("20001"), "");
    EXPECT_EQ(stored("2000X"), "2000X|PALU||12.0|PCS");
    EXPECT_EQ(rowCount("Barang"), 2);
}

// Refused saves change nothing: neither the table nor the window.
TEST_F(ItemEditTest, RefusedSaveWritesNothing)
{
    inWindow(w(), [&] {
        lookUp("20001");
        walkToSave();

        // Another item's code: key violation.
        w()->Edit1->clear();
        typeText(w()->Edit1, "10001");
        w()->Edit2->setText("GANTI");
        click(w()->Button1);
        EXPECT_EQ(dialogs.count(DialogScript::Error), 1);
        EXPECT_EQ(FDM->TBarang->state(), data::DataSetState::Browse);
        EXPECT_EQ(FDM->TBarangKdBrg->asString(), "20001");
        EXPECT_EQ(FDM->TBarangNamaBrg->asString(), "PALU");
        EXPECT_EQ(steps(), "1111");
        EXPECT_EQ(w()->Edit1->text(), "10001");
        EXPECT_EQ(w()->Edit2->text(), "GANTI");

        // A reorder box emptied after its Enter does not convert.
        dialogs.clear();
        w()->Edit1->setText("20001");
        w()->Edit3->setFocus();
        w()->Edit3->end(false);
        pressKey(w()->Edit3, Qt::Key_Backspace);
        pressKey(w()->Edit3, Qt::Key_Backspace);
        ASSERT_EQ(w()->Edit3->text(), "");
        click(w()->Button1);
        EXPECT_EQ(dialogs.texts(DialogScript::Error),
                  QStringList({ui::withFullStop("'' is not a valid floating point value")}));
        EXPECT_EQ(FDM->TBarang->state(), data::DataSetState::Browse);

        // An emptied code box is refused before anything is written.
        dialogs.clear();
        typeText(w()->Edit3, "3");
        w()->Edit1->clear();
        w()->Button1->setFocus();
        click(w()->Button1);
        EXPECT_EQ(dialogs.texts(), QStringList({"Kode Barang Tidak Terdaftar...!"}));
        EXPECT_EQ(dialogs.last().kind, DialogScript::Message);
        EXPECT_EQ(w()->focusWidget(), w()->Edit1);
        EXPECT_EQ(steps(), "1111");
        EXPECT_TRUE(w()->isVisible());
    });
    EXPECT_EQ(stored("20001"), "20001|PALU||12.0|PCS");
    EXPECT_EQ(stored("10001"), "10001|OBENG|4.0|0.0|ITEM");
    EXPECT_EQ(dialogs.count(DialogScript::Question), 0);
}

TEST_F(ItemEditTest, BatalAndTutupSaveNothing)
{
    inWindow(w(), [&] {
        lookUp("10001");
        w()->Edit2->setText("X");
        walkToSave();
        click(w()->Button2);
        expectReset();
        lookUp("10001");
        walkToSave();
        click(w()->Button3);
        EXPECT_FALSE(w()->isVisible());
    });
    EXPECT_EQ(stored("10001"), "10001|OBENG|4.0|0.0|ITEM");
    // The row last found stays current.
    EXPECT_EQ(FDM->TBarangKdBrg->asString(), "10001");
    inWindow(w(), [&] { expectReset(); });
}

} // namespace
