#include "MovementWindowsFixture.h"

#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QClipboard>

namespace {

class ReceiptWindowTest : public MovementWindowTest {
protected:
    TFMasuk* w() { return FMasuk; }

    void SetUp() override
    {
        MovementWindowTest::SetUp();
        addItem("10001", "OBENG", "NULL", "2", "ITEM");
        addItem("20001", "PALU", "12", "0", "PCS");
    }
    void number(const QString& text)
    {
        typeText(w()->Edit1, text);
        pressEnter(w()->Edit1);
    }
    // Code, then quantity, each with Enter: "&Simpan" is next.
    void line(const QString& code, const QString& quantity)
    {
        typeText(w()->Edit2, code);
        pressEnter(w()->Edit2);
        typeText(w()->Edit5, quantity);
        pressEnter(w()->Edit5);
    }
    QString steps() { return enabled({w()->Edit2, w()->Button3, w()->Edit5, w()->Button1}); }
    QStringList stored()
    {
        return rows(
            "SELECT No_SMasuk || '|' || Tgl || '|' || KdBrg || '|' || Jml FROM BrgMasuk ORDER BY rowid");
    }
};

} // namespace

TEST_F(ReceiptWindowTest, OpensEmptyWithTodaysDateAndTakesANumberThatIsNotBlank)
{
    inWindow(w(), [&] {
        EXPECT_EQ(w()->windowTitle(), "Form Penerimaan Barang ");
        EXPECT_FALSE(w()->hasCloseBox());
        EXPECT_EQ(w()->Label7->text(), "25/03/2005");
        EXPECT_EQ(steps(), "0000");
        EXPECT_EQ(w()->focusWidget(), w()->Edit1);
        for (const char* blank : {"", " ", "  "}) {
            number(blank);
            EXPECT_EQ(dialogs.last().text, "No.FPP Tidak Boleh Kosong");
            EXPECT_EQ(w()->Edit1->text(), "");
            EXPECT_EQ(w()->focusWidget(), w()->Edit1);
            EXPECT_EQ(steps(), "0000");
        }
        number("   ");
        EXPECT_EQ(steps(), "1100");
        EXPECT_EQ(w()->focusWidget(), w()->Edit2);
        // At most the 15 characters a receipt number is stored with.
        w()->Edit1->clear();
        typeText(w()->Edit1, "sj-2005/03/0001-x");
        EXPECT_EQ(w()->Edit1->text(), "SJ-2005/03/0001");
        w()->Edit1->clear(); // in whole characters, without format characters
        QApplication::clipboard()->setText(QString::fromUtf16(u"\u202Eabcdefghijklmn\U0001F4E6x"));
        w()->Edit1->paste();
        EXPECT_EQ(w()->Edit1->text(), QString::fromUtf16(u"ABCDEFGHIJKLMN\U0001F4E6"));
    });
    EXPECT_EQ(dialogs.count(DialogScript::Message), 3);
}

TEST_F(ReceiptWindowTest, TwoItemsRaiseTheirStockAndAreListedUnderTheNumber)
{
    db().exec("INSERT INTO BrgMasuk VALUES ('SJ-1', '2005-03-01', '20001', 3)"); // an earlier opening
    dialogs.answer({ui::idYes, ui::idNo});
    inWindow(w(), [&] {
        number("sj-1");
        typeText(w()->Edit2, "10001");
        pressEnter(w()->Edit2);
        EXPECT_EQ(w()->Edit3->text(), "OBENG");
        EXPECT_EQ(w()->Edit4->text(), "0") << "a stock never written";
        EXPECT_EQ(w()->Label9->text(), "ITEM");
        EXPECT_EQ(steps(), "1110");
        EXPECT_EQ(w()->focusWidget(), w()->Edit5);
        typeText(w()->Edit5, "5x -,.");
        EXPECT_EQ(w()->Edit5->text(), "5");
        pressEnter(w()->Edit5);
        EXPECT_EQ(steps(), "1111");
        EXPECT_EQ(w()->focusWidget(), w()->Button1);
        click(w()->Button1);
        EXPECT_EQ(dialogs.last().text, "Apakah Ada Barang Dgn No.Surat Yang Sama..?");
        EXPECT_EQ(dialogs.last().caption, "Konfirmasi");
        EXPECT_EQ(dialogs.last().flags, 36);
        // Yes: the next item under the same number; the unit stays shown.
        EXPECT_EQ(w()->Edit1->text(), "SJ-1");
        for (ui::Edit* box : {w()->Edit2, w()->Edit3, w()->Edit4, w()->Edit5})
            EXPECT_EQ(box->text(), "");
        EXPECT_EQ(w()->Label9->text(), "ITEM");
        EXPECT_EQ(steps(), "1100");
        EXPECT_EQ(w()->focusWidget(), w()->Edit2);
        EXPECT_EQ(gridRows(w()->DBGrid1), QStringList({"20001|PALU|PCS|3", "10001|OBENG|ITEM|5"}));

        line("20001", ""); // an empty quantity is taken as 0
        EXPECT_EQ(w()->Edit5->text(), "0");
        click(w()->Button1);
        EXPECT_FALSE(w()->isVisible()) << "No closes the window";
    });
    EXPECT_EQ(stored(), QStringList({"SJ-1|2005-03-01|20001|3.0", "SJ-1|2005-03-25|10001|5.0",
                                     "SJ-1|2005-03-25|20001|0.0"}));
    EXPECT_EQ(stock("10001"), "5");
    EXPECT_EQ(stock("20001"), "12");
    EXPECT_EQ(dialogs.count(DialogScript::Message) + dialogs.count(DialogScript::Error), 0);

    // Opened again: fresh, with the grid empty.
    inWindow(w(), [&] {
        EXPECT_EQ(w()->Edit1->text(), "");
        EXPECT_EQ(steps(), "0000");
        EXPECT_EQ(w()->DBGrid1->rowCount(), 0);
    });
}

TEST_F(ReceiptWindowTest, AnUnknownCodeIsRefusedAndTheSaveFollowsTheCodeAtTheClick)
{
    dialogs.answer({ui::idYes});
    inWindow(w(), [&] {
        number("SJ-2");
        line("20001", "4");
        w()->Edit2->clear();
        typeText(w()->Edit2, "2000x1");
        pressEnter(w()->Edit2);
        ASSERT_EQ(dialogs.count(DialogScript::Message), 1);
        EXPECT_EQ(dialogs.last().text, "Kode Barang : 2000X1 Tidak Terdaftar...!");
        EXPECT_EQ(w()->Edit2->text(), "");
        EXPECT_EQ(w()->focusWidget(), w()->Button3);
        EXPECT_EQ(w()->Edit3->text(), "PALU") << "the item shown before stays";
        EXPECT_EQ(steps(), "1111");

        // Changed after its Enter: the save looks the code up again.
        typeText(w()->Edit2, "30001");
        click(w()->Button1);
        EXPECT_EQ(dialogs.last().text, "Kode Barang : 30001 Tidak Terdaftar...!");
        EXPECT_EQ(w()->Edit2->text(), "");
        EXPECT_EQ(w()->focusWidget(), w()->Button3);
        EXPECT_TRUE(w()->Button1->isEnabled());
        EXPECT_TRUE(stored().isEmpty());

        w()->Edit2->setText("100011"); // another item's code, cut to five
        click(w()->Button1);
    });
    EXPECT_EQ(stored(), QStringList({"SJ-2|2005-03-25|10001|4.0"}));
    EXPECT_EQ(stock("10001"), "4");
    EXPECT_EQ(stock("20001"), "12");
}

TEST_F(ReceiptWindowTest, AFailedSaveStoresNeitherTheLineNorTheStock)
{
    db().exec("CREATE TRIGGER refuse BEFORE UPDATE ON Barang BEGIN SELECT RAISE(ABORT, 'refused'); END");
    inWindow(w(), [&] {
        number("SJ-4");
        line("20001", "4");
        click(w()->Button1);
        ASSERT_EQ(dialogs.count(DialogScript::Error), 1);
        EXPECT_TRUE(w()->isVisible());
    });
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(stock("20001"), "12");
    db().exec("DROP TRIGGER refuse");
    EXPECT_EQ(db().scalar("SELECT count(*) FROM BrgMasuk"), "0") << "no pending line stored later";
}

// The quantity boxes of both movement windows are digit boxes: a paste that
// is not all digits never reaches the stock.
TEST_F(ReceiptWindowTest, APasteIntoEitherQuantityBoxTakesDigitsOnly)
{
    for (ui::Form* form : {static_cast<ui::Form*>(FMasuk), static_cast<ui::Form*>(FKeluar)}) {
        ui::Edit* quantity = form == FMasuk ? FMasuk->Edit5 : FKeluar->Edit5;
        inWindow(form, [&] {
            quantity->setEnabled(true);
            quantity->setFocus();
            QApplication::clipboard()->setText(QStringLiteral("-5"));
            pressKey(quantity, Qt::Key_Insert, Qt::ShiftModifier);
            EXPECT_EQ(quantity->text(), "");
            QApplication::clipboard()->setText(QStringLiteral("5"));
            pressKey(quantity, Qt::Key_Insert, Qt::ShiftModifier);
            EXPECT_EQ(quantity->text(), "5");
        });
    }
}
