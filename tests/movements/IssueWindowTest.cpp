#include "MovementWindowsFixture.h"

#include "movements/MovementSteps.h"
#include "platform/rtl/Format.h"
#include "platform/ui/Dialogs.h"

namespace {

const QString AboveStock = QStringLiteral("Jml Barang Keluar Melebihi Jumlah Stock...!");
const QString Reorder = QStringLiteral("Segera Lakukan Reorder Barang...!");

class IssueWindowTest : public MovementWindowTest {
protected:
    TFKeluar* w() { return FKeluar; }

    void SetUp() override
    {
        MovementWindowTest::SetUp();
        addItem("10001", "OBENG", "10", "2", "ITEM");
        addItem("20001", "PALU", "5", "5", "PCS");
        addItem("30001", "KUNCI", "NULL", "0", "SET");
    }
    void headersUpTo(int no)
    {
        db().exec(
            QStringLiteral("INSERT INTO MasKlrBrg (No, No_Keluar, Tgl) VALUES (%1, 'OLD', '2005-02-28')")
                .arg(no));
    }
    void code(const QString& text)
    {
        w()->Edit2->clear();
        typeText(w()->Edit2, text);
        pressEnter(w()->Edit2);
    }
    void quantity(const QString& text)
    {
        w()->Edit5->clear();
        typeText(w()->Edit5, text);
        pressEnter(w()->Edit5);
    }
    // Edit3, Edit4, Edit5, "&Simpan", "&Cetak".
    QString steps() { return enabled({w()->Edit3, w()->Edit4, w()->Edit5, w()->Button1, w()->Button3}); }
    QStringList headers()
    {
        return rows("SELECT No || '|' || No_Keluar || '|' || Tgl FROM MasKlrBrg ORDER BY No");
    }
    QStringList lines()
    {
        return rows("SELECT No_Keluar || '|' || KdBrg || '|' || Jml FROM DetilKlrBrg ORDER BY rowid");
    }
};

} // namespace

TEST(IssueNumber, ZeroThenTheRunningNumberThenMonthAndYearTakenByPlace)
{
    EXPECT_EQ(movements::issueNumber(1, "25/03/2005"), "01/DBK/03/2005");
    EXPECT_EQ(movements::issueNumber(10, "25/03/2005"), "010/DBK/03/2005");
    EXPECT_EQ(movements::issueNumber(100, "25/03/2005"), "0100/DBK/03/2005");
    EXPECT_EQ(movements::issueNumber(1000, "01/12/1999"), "01000/DBK/12/1999");
    // Not parsed: another form of date text gives whatever stands there.
    EXPECT_EQ(movements::issueNumber(7, "2005-03-25"), "07/DBK/5-/3-25");
    EXPECT_EQ(movements::issueNumber(7, "1/3/05"), "07/DBK//0/");
}

TEST_F(IssueWindowTest, ActivationProposesTheNumberAfterTheLastHeader)
{
    inWindow(w(), [&] {
        EXPECT_EQ(w()->windowTitle(), "Form Barang Keluar ");
        EXPECT_FALSE(w()->hasCloseBox());
        EXPECT_EQ(w()->Label7->text(), "25/03/2005");
        EXPECT_EQ(w()->Edit1->text(), "01/DBK/03/2005");
        EXPECT_FALSE(w()->Edit1->isEnabled());
        EXPECT_TRUE(w()->Edit2->isEnabled());
        EXPECT_TRUE(w()->Button4->isEnabled());
        EXPECT_EQ(steps(), "00000");
        EXPECT_EQ(w()->focusWidget(), w()->Edit2);
    });
    headersUpTo(9);
    inWindow(w(), [&] { EXPECT_EQ(w()->Edit1->text(), "010/DBK/03/2005"); });
    headersUpTo(99);
    setClock(QDateTime(QDate(2006, 1, 2), QTime(0, 5))); // no restart in a new month or year
    inWindow(w(), [&] { EXPECT_EQ(w()->Edit1->text(), "0100/DBK/01/2006"); });
}

TEST_F(IssueWindowTest, TheReorderWarningComesAtOrBelowTheReorderLevelBeforeTheItemIsShown)
{
    QString nameWhenWarned = "-";
    dialogs.onShow([&](const DialogScript::Call&) { nameWhenWarned = w()->Edit3->text(); });
    inWindow(w(), [&] {
        code("10001"); // 10 above 2
        EXPECT_EQ(dialogs.count(DialogScript::Message), 0);
        EXPECT_EQ(w()->Edit3->text(), "OBENG");
        EXPECT_EQ(w()->Label9->text(), "ITEM");
        EXPECT_EQ(steps(), "00100");

        code("20001"); // 5 at 5
        ASSERT_EQ(dialogs.count(DialogScript::Message), 1);
        EXPECT_EQ(dialogs.last().text, Reorder);
        EXPECT_EQ(nameWhenWarned, "OBENG");
        EXPECT_EQ(w()->Edit3->text(), "PALU");

        code("30001"); // no stock value, reorder 0
        EXPECT_EQ(dialogs.texts(DialogScript::Message), QStringList({Reorder, Reorder}));
        EXPECT_EQ(w()->Edit4->text(), "0");

        code("");
        EXPECT_EQ(dialogs.last().text, "Kode Barang :  Tidak Terdaftar...!");
        EXPECT_EQ(w()->focusWidget(), w()->Button4);
        EXPECT_EQ(w()->Edit3->text(), "KUNCI") << "the item shown before stays";
    });
}

TEST_F(IssueWindowTest, TheQuantityIsRefusedEmptyZeroOrAboveTheStockShown)
{
    inWindow(w(), [&] {
        code("10001");
        for (const char* refused : {"", "0"}) {
            quantity(refused);
            EXPECT_EQ(dialogs.last().text, "Jumlah Barang Yang Keluar Tidak Boleh Kosong...!");
            EXPECT_EQ(w()->Edit5->text(), "");
            EXPECT_EQ(w()->focusWidget(), w()->Edit5);
            EXPECT_EQ(steps(), "00100");
        }
        quantity("1a1 -");
        EXPECT_EQ(dialogs.last().text, AboveStock);
        EXPECT_EQ(w()->Edit5->text(), "");
        EXPECT_EQ(steps(), "00100");
        quantity("10");
        EXPECT_EQ(steps(), "00110");
        EXPECT_EQ(w()->focusWidget(), w()->Button1);
        quantity("11");
        EXPECT_EQ(steps(), "00110") << "a refusal leaves \"&Simpan\" as it was";
        quantity("00");
        EXPECT_EQ(w()->focusWidget(), w()->Button1);
    });
    EXPECT_EQ(dialogs.count(DialogScript::Message), 4);
}

TEST_F(IssueWindowTest, OneHeaderPerNumberALinePerSaveAndTheStockLowered)
{
    headersUpTo(4);
    dialogs.answer({ui::idYes, ui::idNo, ui::idYes});
    inWindow(w(), [&] {
        code("10001");
        quantity("3");
        click(w()->Button1);
        EXPECT_EQ(dialogs.last().text, "Apakah Ada Data Barang Lagi Dengan No.Surat Yang Sama");
        EXPECT_EQ(dialogs.last().caption, "Konfirmasi");
        EXPECT_EQ(dialogs.last().flags, 36);
        // Yes: the next line of the same issue.
        for (ui::Edit* box : {w()->Edit2, w()->Edit3, w()->Edit4, w()->Edit5})
            EXPECT_EQ(box->text(), "");
        EXPECT_EQ(w()->Label9->text(), "ITEM");
        EXPECT_EQ(steps(), "00000");
        EXPECT_EQ(w()->focusWidget(), w()->Edit2);
        EXPECT_EQ(gridRows(w()->DBGrid1), QStringList({"10001|OBENG|ITEM|3"}));

        code("10001"); // the same item again is a further line
        quantity("7");
        click(w()->Button1);
        // No: ready to print; the item boxes stay.
        EXPECT_EQ(w()->Edit3->text(), "OBENG");
        EXPECT_EQ(steps(), "00101");
        EXPECT_EQ(w()->focusWidget(), w()->Button3);

        code("20001");
        quantity("5"); // all of its stock
        click(w()->Button1);
        EXPECT_EQ(steps(), "00001") << "Yes leaves \"&Cetak\" as it was";
        EXPECT_EQ(gridRows(w()->DBGrid1),
                  QStringList({"10001|OBENG|ITEM|3", "10001|OBENG|ITEM|7", "20001|PALU|PCS|5"}));
    });
    EXPECT_EQ(headers(), QStringList({"4|OLD|2005-02-28", "5|05/DBK/03/2005|2005-03-25"}));
    EXPECT_EQ(lines(), QStringList({"05/DBK/03/2005|10001|3.0", "05/DBK/03/2005|10001|7.0",
                                    "05/DBK/03/2005|20001|5.0"}));
    EXPECT_EQ(stock("10001"), "0");
    EXPECT_EQ(stock("20001"), "0");
    EXPECT_EQ(FDM->TMasKeluar->indexName(), "");

    // Closed without a print: the next opening goes on from the last header.
    inWindow(w(), [&] {
        EXPECT_EQ(w()->Edit1->text(), "06/DBK/03/2005");
        EXPECT_EQ(w()->DBGrid1->rowCount(), 0);
    });
}

TEST_F(IssueWindowTest, TheSaveChecksTheQuantityAgainstTheItemItChanges)
{
    dialogs.answer({ui::idYes});
    inWindow(w(), [&] {
        code("10001");
        quantity("5");
        typeText(w()->Edit5, "0"); // 50 after its Enter
        click(w()->Button1);
        ASSERT_EQ(dialogs.texts(), QStringList({AboveStock}));
        EXPECT_EQ(w()->Edit5->text(), "");
        EXPECT_EQ(w()->focusWidget(), w()->Edit5);
        EXPECT_TRUE(w()->Button1->isEnabled());

        quantity("6");
        w()->Edit2->setText("20001"); // another item, with a stock of 5
        click(w()->Button1);
        EXPECT_EQ(dialogs.texts(), QStringList({AboveStock, AboveStock}));

        w()->Edit2->setText("40001");
        quantity("5");
        click(w()->Button1);
        EXPECT_EQ(dialogs.last().text, "Kode Barang : 40001 Tidak Terdaftar...!");
        EXPECT_EQ(w()->focusWidget(), w()->Button4);
        EXPECT_TRUE(lines().isEmpty());

        w()->Edit2->setText("20001");
        click(w()->Button1); // 5 of 5 passes
        EXPECT_EQ(dialogs.last().kind, DialogScript::Question);
    });
    EXPECT_EQ(headers(), QStringList({"1|01/DBK/03/2005|2005-03-25"}));
    EXPECT_EQ(lines(), QStringList({"01/DBK/03/2005|20001|5.0"}));
    EXPECT_EQ(stock("10001"), "10");
    EXPECT_EQ(stock("20001"), "0");
}

TEST_F(IssueWindowTest, AFailedSaveStoresNothingAndTheNextNumberStillFollowsTheLastHeader)
{
    headersUpTo(2);
    db().exec("CREATE TRIGGER refuse BEFORE UPDATE ON Barang BEGIN SELECT RAISE(ABORT, 'refused'); END");
    inWindow(w(), [&] {
        code("10001");
        quantity("4");
        click(w()->Button1);
        ASSERT_EQ(dialogs.count(DialogScript::Error), 1);
        EXPECT_EQ(FDM->TMasKeluar->indexName(), "");
        EXPECT_EQ(w()->Edit1->text(), "03/DBK/03/2005");
    });
    EXPECT_EQ(headers(), QStringList({"2|OLD|2005-02-28"}));
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(stock("10001"), "10");
    db().exec("DROP TRIGGER refuse");
    inWindow(w(), [&] { EXPECT_EQ(w()->Edit1->text(), "03/DBK/03/2005"); });
}

TEST_F(IssueWindowTest, CariRaisesTheFlagWhileTheSearchWindowIsOpen)
{
    inWindow(w(), [&] {
        click(w()->Button4); // no search window yet: nothing opens, no request stays
        EXPECT_EQ(w()->Tag, 0);
        EXPECT_EQ(app->modalForms().back(), w());

        ui::Form search;
        movements::ItemSearchWindow = &search;
        int tagWhileOpen = 0;
        whileModal([&] {
            tagWhileOpen = w()->Tag;
            search.closeForm();
        });
        click(w()->Button4);
        EXPECT_EQ(tagWhileOpen, 1);
    });
}
