#include "MovementWindowsFixture.h"

#include "items/UCari.h"
#include "shell/program/Program.h"

#include <QApplication>

namespace {

// The search window wired to both movement windows as the start-up wires it.
class ItemSearchHandBackTest : public MovementWindowTest {
protected:
    void SetUp() override
    {
        MovementWindowTest::SetUp();
        create(FCari);
        shell::connectItemSearch();
        addItem("10001", "OBENG", "10", "2", "ITEM");
        addItem("20001", "PALU", "5", "1", "PCS");
        addItem("30001", "PAKU", "8", "1", "KG");
    }

    enum class End { Ambil, EnterEnter, AltA, CloseBox };

    // "&Cari" of the requester (its search button), a pattern typed in the
    // search window, and the search ended that way. Returns the requester's
    // flag as it stood while the search was open.
    int search(ui::Form* requester, QWidget* cari, const QString& pattern, End end)
    {
        int flag = -1;
        whileModal([&] {
            flag = requester->Tag;
            typeText(FCari->Edit1, pattern);
            switch (end) {
            case End::Ambil:
                click(FCari->Button1);
                break;
            case End::EnterEnter:
                pressEnter(FCari->Edit1);
                pressKey(FCari->focusWidget(), Qt::Key_Return);
                break;
            case End::AltA:
                pressKey(FCari->Edit1, Qt::Key_A, Qt::AltModifier);
                break;
            case End::CloseBox:
                FCari->close();
                break;
            }
        });
        click(cari);
        EXPECT_FALSE(FCari->isVisible());
        return flag;
    }
};

} // namespace

TEST_F(ItemSearchHandBackTest, TheCodeTakenGoesIntoTheIssueWindowsCodeBoxWithoutALookup)
{
    inWindow(FKeluar, [&] {
        typeText(FKeluar->Edit2, "10001");
        pressEnter(FKeluar->Edit2);
        const QString number = FKeluar->Edit1->text();
        EXPECT_EQ(search(FKeluar, FKeluar->Button4, "pal", End::EnterEnter), 1);
        EXPECT_EQ(FKeluar->Tag, 0);
        EXPECT_EQ(FKeluar->Edit2->text(), "20001");
        EXPECT_EQ(FKeluar->focusWidget(), FKeluar->Edit2);
        // Neither looked up nor activated anew: the item shown before stays.
        EXPECT_EQ(FKeluar->Edit3->text(), "OBENG");
        EXPECT_EQ(FKeluar->Edit4->text(), "10");
        EXPECT_TRUE(FKeluar->Edit5->isEnabled());
        EXPECT_EQ(FKeluar->Edit1->text(), number);

        pressEnter(FKeluar->Edit2);
        EXPECT_EQ(FKeluar->Edit3->text(), "PALU");
        EXPECT_EQ(FKeluar->focusWidget(), FKeluar->Edit5);

        // Taken from an empty result: the box is emptied.
        search(FKeluar, FKeluar->Button4, "x", End::Ambil);
        EXPECT_EQ(FKeluar->Edit2->text(), "");
        EXPECT_EQ(FKeluar->Edit3->text(), "PALU");
    });
    EXPECT_EQ(dialogs.count(DialogScript::Message), 0);
}

TEST_F(ItemSearchHandBackTest, EachSearchDeliversToTheWindowThatOpenedItHoweverTheOnesBeforeEnded)
{
    // The receipt window is tested first: a flag it left raised would take
    // the issue window's code.
    struct Step {
        bool receipt;
        End end;
        const char* pattern;
        const char* expected; // the requester's code box afterwards
    };
    const Step steps[] = {
        {true, End::CloseBox, "pal", "KEPT"},    {false, End::Ambil, "pak", "30001"},
        {true, End::AltA, "ob", "10001"},        {false, End::CloseBox, "ob", "KEPT"},
        {true, End::EnterEnter, "p_l", "20001"}, {false, End::AltA, "%bEN", "10001"},
    };
    for (const Step& s : steps) {
        ui::Form* opener = s.receipt ? static_cast<ui::Form*>(FMasuk) : FKeluar;
        ui::Edit* mine = s.receipt ? FMasuk->Edit2 : FKeluar->Edit2;
        ui::Edit* other = s.receipt ? FKeluar->Edit2 : FMasuk->Edit2;
        other->setText("OTHER");
        inWindow(opener, [&] {
            if (s.receipt) {
                typeText(FMasuk->Edit1, "SJ-1");
                pressEnter(FMasuk->Edit1);
            }
            mine->setText("KEPT");
            EXPECT_EQ(search(opener, s.receipt ? FMasuk->Button3 : FKeluar->Button4, s.pattern, s.end), 1);
            EXPECT_EQ(mine->text(), s.expected) << s.pattern;
            EXPECT_EQ(opener->focusWidget() == mine, s.end != End::CloseBox) << s.pattern;
        });
        EXPECT_EQ(other->text(), "OTHER") << s.pattern;
        EXPECT_EQ(FMasuk->Tag + FKeluar->Tag, 0) << s.pattern;
    }
}
