#include "platform/ui/EditMask.h"

#include <gtest/gtest.h>

namespace {

// The date mask "!99/99/0000;1;_": day and month may be typed in one digit,
// the year's four digits must be. Each row: the text the program set, the
// selection, then the user's steps one by one ('\b' Backspace, '\x7f'
// Delete, any other character typed), and what the mask holds after them.
struct DateSteps {
    const char* set;
    int from, to;
    const char* steps;
    const char* text;
    const char* shown;
    int cursor;
};

class EditMaskDateTest : public ::testing::TestWithParam<DateSteps> {};

TEST_P(EditMaskDateTest, TypingFillsThePlacesAndErasingEmptiesThem)
{
    const DateSteps& row = GetParam();
    ui::EditMask mask;
    mask.setMask(QStringLiteral("!99/99/0000;1;_"));
    mask.setText(QString::fromLatin1(row.set));
    int from = row.from, to = row.to;
    for (const char* step = row.steps; *step; ++step) {
        const bool done = *step == '\b'     ? mask.erase(true, from, to)
                          : *step == '\x7f' ? mask.erase(false, from, to)
                                            : mask.type(QString(QLatin1Char(*step)), from, to);
        if (done)
            from = to = mask.cursor();
    }
    EXPECT_EQ(mask.text(), QString::fromLatin1(row.text));
    EXPECT_EQ(mask.shown(), QString::fromLatin1(row.shown));
    EXPECT_EQ(from, row.cursor);
    EXPECT_EQ(mask.modified(),
              QString::fromLatin1(row.steps) != "" && mask.text() != QString::fromLatin1(row.set));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, EditMaskDateTest,
    ::testing::Values(DateSteps{"", 0, 0, "", "  /  /    ", "__/__/____", 0},
                      DateSteps{"", 0, 0, "05032024", "05/03/2024", "05/03/2024", 10},
                      // A literal closes the part; its typed digits move to the end.
                      DateSteps{"", 0, 10, "1/3/2024", " 1/ 3/2024", "_1/_3/2024", 10},
                      // A literal right after a full part is stepped over.
                      DateSteps{"", 0, 10, "01/12/1999", "01/12/1999", "01/12/1999", 10},
                      // Nothing but digits, nothing past the end.
                      DateSteps{"01/12/1999", 10, 10, "7x", "01/12/1999", "01/12/1999", 10},
                      DateSteps{"01/12/1999", 0, 10, "a-4", "4 /  /    ", "4_/__/____", 1},
                      // Backspace and Delete empty places and move nothing; on a literal
                      // Delete does nothing.
                      DateSteps{"12/10/2023", 3, 3, "\b", "1 /10/2023", "1_/10/2023", 1},
                      DateSteps{"12/10/2023", 3, 3, "\b\x7f", "1 /10/2023", "1_/10/2023", 1},
                      DateSteps{"12/10/2023", 2, 2, "\x7f", "12/10/2023", "12/10/2023", 2},
                      DateSteps{"12/10/2023", 6, 6, "\x7f", "12/10/ 023", "12/10/_023", 6},
                      DateSteps{"12/10/2023", 0, 0, "\b", "12/10/2023", "12/10/2023", 0},
                      DateSteps{"12/10/2023", 1, 7, "\x7f", "1 /  / 023", "1_/__/_023", 1},
                      // The program's text is placed into the mask.
                      DateSteps{"05/03/2024", 0, 0, "", "05/03/2024", "05/03/2024", 0},
                      DateSteps{"050324", 0, 0, "", "05/03/24  ", "05/03/24__", 0}));

TEST(EditMaskTest, AbandonGoesBackToTheTextTheBoxWasEnteredWith)
{
    ui::EditMask mask;
    mask.setMask(QStringLiteral("!99/99/0000;1;_"));
    EXPECT_FALSE(mask.complete());
    EXPECT_EQ(mask.firstMissing(), 6);
    EXPECT_FALSE(mask.abandon()) << "nothing changed";
    mask.type(QStringLiteral("//2024"), 0, 0);
    EXPECT_TRUE(mask.complete()) << "day and month may stay empty";
    mask.enter();
    mask.type(QStringLiteral("1"), 0, 10);
    EXPECT_EQ(mask.firstMissing(), 6);
    EXPECT_TRUE(mask.abandon());
    EXPECT_EQ(mask.text(), "  /  /2024");
    EXPECT_FALSE(mask.modified());
}

} // namespace
