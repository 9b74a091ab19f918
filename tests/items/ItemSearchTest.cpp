#include "WindowTest.h"

#include "items/UCari.h"
#include "platform/ui/DBGrid.h"

#include <algorithm>

namespace {

class ItemSearchTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        create(FCari);
        addItem("10001", "BAUT", "1", "0", "PCS");
        addItem("10002", "BAUT 10MM", "1", "0", "PCS");
        addItem("20001", "OBENG BESAR", "1", "0", "ITEM");
        addItem("30001", "KABEL", "1", "0", "METER");
        addItem("40001", "BOR", "1", "0", "SET");
        db().exec("INSERT INTO Barang (KdBrg, NamaBrg) VALUES ('90001', NULL)"); // no name: never listed
    }
    TFCari* w() { return FCari; }

    // The codes the grid lists, in code order (the engine sets the order).
    QStringList codes()
    {
        QStringList out;
        for (const QString& row : gridRows(w()->DBGrid1))
            out << row.section('|', 0, 0);
        std::sort(out.begin(), out.end());
        return out;
    }
    void pattern(const QString& text)
    {
        w()->Edit1->clear();
        typeText(w()->Edit1, text);
    }
};

} // namespace

TEST_F(ItemSearchTest, OpensOnEveryNamedItemWhateverWasTypedBefore)
{
    inWindow(w(), [&] {
        EXPECT_EQ(w()->windowTitle(), "Cari Data Barang ");
        EXPECT_TRUE(w()->hasCloseBox());
        EXPECT_EQ(w()->Edit1->text(), "");
        EXPECT_EQ(w()->focusWidget(), w()->Edit1);
        EXPECT_EQ(codes(), QStringList({"10001", "10002", "20001", "30001", "40001"}));
        typeText(w()->Edit1, "kab");
        EXPECT_EQ(codes(), QStringList({"30001"}));
    });
    addItem("50001", "PAKU", "1", "0", "KG"); // added between two openings
    inWindow(w(), [&] {
        EXPECT_EQ(w()->Edit1->text(), "");
        EXPECT_EQ(codes(), QStringList({"10001", "10002", "20001", "30001", "40001", "50001"}));
    });
}

TEST_F(ItemSearchTest, EveryChangeRunsThePatternAgainAsABeginningWithPercentAndUnderscore)
{
    inWindow(w(), [&] {
        typeText(w()->Edit1, "b");
        EXPECT_EQ(w()->Edit1->text(), "B");
        EXPECT_EQ(codes(), QStringList({"10001", "10002", "40001"}));
        typeText(w()->Edit1, "a");
        EXPECT_EQ(codes(), QStringList({"10001", "10002"}));
        pressKey(w()->Edit1, Qt::Key_Backspace);
        EXPECT_EQ(codes(), QStringList({"10001", "10002", "40001"}));

        pattern("%b");
        EXPECT_EQ(codes(), QStringList({"10001", "10002", "20001", "30001", "40001"}));
        pattern("%be");
        EXPECT_EQ(codes(), QStringList({"20001", "30001"}));
        pattern("b_r");
        EXPECT_EQ(codes(), QStringList({"40001"}));
        pattern("baut_");
        EXPECT_EQ(codes(), QStringList({"10002"}));

        // Nothing is kept from an earlier run: an item stored meanwhile is
        // found at the next keystroke.
        db().exec("INSERT INTO Barang VALUES ('60001', 'BAUT 12MM', 1, 0, 'PCS')");
        pattern("baut ");
        EXPECT_EQ(codes(), QStringList({"10002", "60001"}));
    });
}

TEST_F(ItemSearchTest, TheCodeFollowsTheCurrentRowAndEnterNeedsAResult)
{
    inWindow(w(), [&] {
        pattern("baut");
        EXPECT_EQ(w()->DBText1->text(), gridCurrent(w()->DBGrid1));
        const QString first = w()->DBText1->text();
        pressKey(w()->DBGrid1, Qt::Key_Down);
        EXPECT_NE(w()->DBText1->text(), first);
        EXPECT_EQ(w()->DBText1->text(), gridCurrent(w()->DBGrid1));

        pressEnter(w()->Edit1);
        EXPECT_EQ(w()->focusWidget(), w()->Button1);
        EXPECT_EQ(dialogs.calls().size(), 0u);

        pattern("bautx");
        EXPECT_EQ(w()->DBGrid1->rowCount(), 0);
        EXPECT_EQ(w()->DBText1->text(), "");
        pressEnter(w()->Edit1);
        ASSERT_EQ(dialogs.texts(DialogScript::Message), QStringList({"Tidak Ada Barang Yang Dicari"}));
        EXPECT_EQ(w()->focusWidget(), w()->Edit1);
        EXPECT_TRUE(w()->isVisible());
        pressKey(w()->Edit1, Qt::Key_Escape);
        EXPECT_TRUE(w()->isVisible()) << "Esc closes nothing";
    });
}
