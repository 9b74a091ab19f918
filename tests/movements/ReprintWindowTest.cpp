#include "MovementWindowsFixture.h"

#include "movements/UPackinglist.h"
#include "platform/preview/PreviewWindow.h"

#include <QTimer>

namespace {

class ReprintWindowTest : public MovementWindowTest {
protected:
    TFPackinglist* w() { return FPackinglist; }

    void SetUp() override
    {
        MovementWindowTest::SetUp();
        create(FPackinglist);
        addItem("10001", "OBENG", "10", "2", "ITEM");
        addItem("20001", "PALU", "5", "1", "PCS");
        // "09..." sorts after "010...": on the number index the last header
        // is not the newest one.
        issue(9, "09/DBK/03/2005", "2005-03-01", {{"10001", 4}, {"20001", 12}});
        issue(10, "010/DBK/03/2005", "2005-03-20", {{"20001", 1}});
    }
    void issue(int no, const QString& number, const QString& date,
               std::initializer_list<std::pair<const char*, int>> lines)
    {
        if (no)
            db().exec(QStringLiteral("INSERT INTO MasKlrBrg (No, No_Keluar, Tgl) VALUES (%1, '%2', '%3')")
                          .arg(no)
                          .arg(number, date));
        for (const auto& [code, quantity] : lines)
            db().exec(QStringLiteral("INSERT INTO DetilKlrBrg VALUES ('%1', '%2', %3)")
                          .arg(number, code)
                          .arg(quantity));
    }
    void number(const QString& text)
    {
        w()->Edit1->clear();
        typeText(w()->Edit1, text);
        pressEnter(w()->Edit1);
    }
    // "&Cetak", and the note as its preview shows it; the preview is then
    // closed, which brings the user back to the window.
    QString print()
    {
        QString note = "<no preview>";
        QTimer::singleShot(0, [&] {
            if (report::PreviewWindow* preview = QrKeluar->previewWindow()) {
                note = noteOf(preview->document());
                preview->close();
            }
        });
        click(w()->Button1);
        return note;
    }
    void expectStart()
    {
        EXPECT_EQ(w()->Edit1->text(), "");
        EXPECT_FALSE(w()->Button1->isEnabled());
        EXPECT_EQ(w()->DBGrid1->rowCount(), 0);
        EXPECT_EQ(w()->focusWidget(), w()->Edit1);
    }
};

} // namespace

TEST_F(ReprintWindowTest, EnterListsTheLinesOfTheNumberAndOnlyTheNumberListedCanBePrinted)
{
    inWindow(w(), [&] {
        EXPECT_EQ(w()->windowTitle(), "Cetak Ulang Barang keluar");
        EXPECT_TRUE(w()->hasCloseBox());
        expectStart();
        number("");
        EXPECT_EQ(dialogs.texts(), QStringList({"No Tidak Boleh Kosong...!"}));
        EXPECT_EQ(w()->focusWidget(), w()->Edit1);
        EXPECT_FALSE(w()->Button1->isEnabled());

        number("09/dbk/03/2005");
        EXPECT_EQ(w()->Edit1->text(), "09/DBK/03/2005");
        EXPECT_EQ(gridRows(w()->DBGrid1), QStringList({"10001|OBENG|ITEM|4", "20001|PALU|PCS|12"}));
        EXPECT_TRUE(w()->Button1->isEnabled());
        EXPECT_EQ(w()->focusWidget(), w()->Button1);

        // Changed after its Enter: the lines listed are no longer its lines.
        click(w()->Edit1);
        typeText(w()->Edit1, "1");
        EXPECT_FALSE(w()->Button1->isEnabled());
        pressKey(w()->Edit1, Qt::Key_Backspace);
        EXPECT_FALSE(w()->Button1->isEnabled());
        pressEnter(w()->Edit1);
        EXPECT_TRUE(w()->Button1->isEnabled());

        number(" "); // blanks are a number like any other
        EXPECT_EQ(w()->DBGrid1->rowCount(), 0);
        EXPECT_TRUE(w()->Button1->isEnabled());
    });
    EXPECT_EQ(dialogs.calls().size(), 1u);
}

TEST_F(ReprintWindowTest, TheNoteCarriesTheNumberTheStoredDateAndTheLinesThenTheWindowStartsAgain)
{
    inWindow(w(), [&] {
        number("09/dbk/03/2005");
        EXPECT_EQ(print(), "09/DBK/03/2005|01/03/2005|10001 4|20001 12");
        EXPECT_EQ(ReprintDateText, "01/03/2005");
        EXPECT_EQ(FDM->TMasKeluar->indexName(), "");
        EXPECT_TRUE(w()->isVisible());
        expectStart();
    });
    // The header order is the one the goods-issue window takes its last
    // header from.
    inWindow(FKeluar, [&] { EXPECT_EQ(FKeluar->Edit1->text(), "011/DBK/03/2005"); });
    EXPECT_EQ(rowCount("MasKlrBrg"), 2);
    EXPECT_EQ(rowCount("DetilKlrBrg"), 3);
}

TEST_F(ReprintWindowTest, ANumberWithoutAHeaderPrintsNoDateAndANumberAsLongAsTheFieldFindsItsIssue)
{
    issue(0, "LOST-1", "", {{"10001", 2}});                 // lines without a header
    const QString longNumber = "SJ/2005/03/0000000000001X"; // the field's 25 characters
    issue(11, longNumber, "2005-03-22", {{"20001", 3}});
    inWindow(w(), [&] {
        number("010/DBK/03/2005");
        EXPECT_EQ(print(), "010/DBK/03/2005|20/03/2005|20001 1");
        // Not the date of the header the table was left on.
        number("lost-1");
        EXPECT_EQ(print(), "LOST-1||10001 2");
        EXPECT_EQ(ReprintDateText, "");

        number(longNumber.toLower() + "YZ");
        EXPECT_EQ(w()->Edit1->text(), longNumber);
        EXPECT_EQ(print(), longNumber + "|22/03/2005|20001 3");

        // A header search that fails leaves the primary order all the same.
        db().exec("ALTER TABLE MasKlrBrg RENAME TO Gone");
        number("09/DBK/03/2005");
        click(w()->Button1);
        EXPECT_EQ(dialogs.count(DialogScript::Error), 1);
        EXPECT_EQ(QrKeluar->previewWindow(), nullptr);
        EXPECT_EQ(FDM->TMasKeluar->indexName(), "");
        db().exec("ALTER TABLE Gone RENAME TO MasKlrBrg");
    });
}
