#include "ShellFixture.h"

#include "items/UIBarang.h"
#include "movements/UPackinglist.h"
#include "platform/ui/Dialogs.h"
#include "reports/UFLapKeluar.h"
#include "reports/UFLapTerima.h"
#include "shell/UFAbout.h"
#include "shell/UGPass.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

namespace {

const QString ExitQuestion = QStringLiteral("Yakin Akan Keluar Dari Aplikasi");

// The three ways to the exit question.
enum class Way { CloseBox, CloseButton, TutupMenu };

void askToLeave(Way way)
{
    switch (way) {
    case Way::CloseBox:
        FUtama->windowHandle()->close();
        break;
    case Way::CloseButton:
        click(FUtama->SpeedButton7);
        break;
    case Way::TutupMenu:
        clickMenu(FUtama->Tutup1);
        break;
    }
}

class ExitQuestion3Ways : public ShellTest, public ::testing::WithParamInterface<Way> {};

TEST_P(ExitQuestion3Ways, NoKeepsTheMenuOpenAndYesEndsAfterOneQuestion)
{
    const Way way = GetParam();
    int askedOnNo = 0;
    int askedOnYes = 0;
    EXPECT_EQ(runLogin(QString(),
                       [&] {
                           dialogs.answer({ui::idNo, ui::idNo, ui::idYes});
                           askToLeave(way);
                           askedOnNo = dialogs.count(DialogScript::Question);
                           EXPECT_TRUE(FUtama->isVisible());
                           EXPECT_TRUE(FUtama->isModalOpen());
                           // Still usable, and asks again.
                           whileModal([] { click(FAbout->Button1); });
                           clickMenu(FUtama->AboutMe1);
                           askToLeave(way);
                           EXPECT_TRUE(FUtama->isVisible());
                           askToLeave(way);
                           askedOnYes = dialogs.count(DialogScript::Question);
                       }),
              0);
    EXPECT_TRUE(menuOpened);
    EXPECT_EQ(askedOnNo, 1);
    EXPECT_EQ(askedOnYes, 3);
    ASSERT_EQ(dialogs.count(DialogScript::Question), 3) << "Yes asks once";
    for (const auto& call : dialogs.calls()) {
        EXPECT_EQ(call.caption, "Konfirmasi");
        EXPECT_EQ(call.text, ExitQuestion);
        EXPECT_EQ(call.flags, 36);
    }
}

INSTANTIATE_TEST_SUITE_P(MainMenu, ExitQuestion3Ways,
                         ::testing::Values(Way::CloseBox, Way::CloseButton, Way::TutupMenu),
                         [](const auto& test) {
                             switch (test.param) {
                             case Way::CloseBox:
                                 return std::string("CloseBox");
                             case Way::CloseButton:
                                 return std::string("CloseButton");
                             default:
                                 return std::string("TutupMenu");
                             }
                         });

TEST_F(ShellTest, ClosingLetterAsksTheExitQuestion)
{
    runLogin(QString(), [&] {
        dialogs.answer(ui::idNo);
        pressKey(FUtama, Qt::Key_C);
        EXPECT_EQ(dialogs.count(DialogScript::Question), 1);
        pressKey(FUtama, Qt::Key_C, Qt::AltModifier);
    });
    EXPECT_EQ(dialogs.count(DialogScript::Question), 2);
}

TEST_F(ShellTest, LetterLGoesToTheReceiptReportButtonNeverToMinimumStock)
{
    runLogin(QString(), [&] {
        QSignalSpy receipt(FUtama->SpeedButton4, &QAbstractButton::clicked);
        QSignalSpy minimum(FUtama->SpeedButton8, &QAbstractButton::clicked);
        for (int i = 0; i < 3; ++i)
            whileModal([] { click(FlapTerima->Button3); });
        pressKey(FUtama, Qt::Key_L);
        pressKey(FUtama, Qt::Key_L, Qt::AltModifier);
        pressKey(FUtama, Qt::Key_L, Qt::AltModifier);
        EXPECT_EQ(receipt.count(), 3);
        EXPECT_EQ(minimum.count(), 0);
        endProgram();
    });
}

TEST_F(ShellTest, MenuBarFromTheKeyboard)
{
    runLogin(QString(), [&] {
        QMenuBar* bar = FUtama->MainMenu1;
        const auto popup = [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); };
        // F10, or Alt alone, enters the bar, where the menu it is on stands
        // out; arrows move; Esc leaves.
        const QPoint onFile = bar->actionGeometry(FUtama->File1->menuAction()).topLeft() + QPoint(2, 4);
        const QRgb plain = bar->grab().toImage().pixel(onFile);
        pressKey(FUtama, Qt::Key_F10);
        EXPECT_EQ(bar->activeAction(), FUtama->File1->menuAction());
        EXPECT_NE(bar->grab().toImage().pixel(onFile), plain);
        pressKey(bar, Qt::Key_Escape);
        EXPECT_EQ(bar->activeAction(), nullptr);
        QTest::keyClick(FUtama, Qt::Key_Alt, Qt::AltModifier);
        EXPECT_EQ(bar->activeAction(), FUtama->File1->menuAction());
        pressKey(bar, Qt::Key_Escape);

        // Alt with a letter no button carries opens the menu it begins.
        pressKey(FUtama, Qt::Key_F, Qt::AltModifier);
        ASSERT_EQ(popup(), FUtama->File1);
        pressKey(popup(), Qt::Key_Down);
        EXPECT_EQ(FUtama->File1->activeAction(), FUtama->GantiPassword1);
        whileModal([] { click(FGantiPass->Button3); });
        pressKey(popup(), Qt::Key_Return);
        whileModal([] { click(FAbout->Button1); });
        pressKey(FUtama, Qt::Key_A, Qt::AltModifier);

        // "Cetak Ulang" lies under "Laporan", whose letter is a button's.
        bool reprint = false;
        pressKey(FUtama, Qt::Key_F10);
        pressKey(bar, Qt::Key_Right);
        pressKey(bar, Qt::Key_Right);
        pressKey(bar, Qt::Key_Down);
        ASSERT_EQ(popup(), FUtama->Laporan1);
        for (int i = 0; i < 4; ++i)
            pressKey(popup(), Qt::Key_Down);
        EXPECT_EQ(FUtama->Laporan1->activeAction(), FUtama->Cetak1->menuAction());
        pressKey(popup(), Qt::Key_Right);
        ASSERT_EQ(popup(), FUtama->Cetak1);
        whileModal([&] {
            reprint = FPackinglist->isVisible();
            FPackinglist->close();
        });
        pressKey(popup(), Qt::Key_Return);
        EXPECT_TRUE(reprint);
        endProgram();
    });
    EXPECT_EQ(dialogs.count(DialogScript::Question), 0);
}

// Each button grows to 12 pt navy under the pointer ("&Close" red) and stays
// so after the pointer leaves it, until the pointer is over the picture: then
// all rest at 10 pt black ("&Close" blue). Only size and colour change.
TEST_F(ShellTest, HoverLookOfEveryButton)
{
    runLogin(QString(), [&] {
        const QColor windowText = FUtama->palette().color(QPalette::WindowText);
        const QColor navy(0, 0, 128), black(0, 0, 0);
        const struct {
            ui::SpeedButton* button;
            QColor start, hover, rest;
        } rows[] = {
            {FUtama->SpeedButton1, windowText, navy, black},
            {FUtama->SpeedButton2, windowText, navy, black},
            {FUtama->SpeedButton3, windowText, navy, black},
            {FUtama->SpeedButton4, windowText, navy, black},
            {FUtama->SpeedButton5, windowText, navy, black},
            {FUtama->SpeedButton6, windowText, navy, black},
            {FUtama->SpeedButton8, windowText, navy, black},
            {FUtama->SpeedButton7, black, QColor(255, 0, 0), QColor(0, 0, 255)}, // "&Close", lowest
        };
        const QString family = FUtama->SpeedButton1->font().family();
        // The first `hovered` rows are or were under the pointer; the others
        // show the start look or the resting one.
        const auto expectLooks = [&](const char* when, bool atStart, size_t hovered) {
            for (size_t i = 0; i < std::size(rows); ++i) {
                const auto& row = rows[i];
                SCOPED_TRACE(when + (" " + row.button->objectName()).toStdString());
                EXPECT_EQ(row.button->fontSize(), i < hovered ? 12 : atStart ? 8 : 10);
                EXPECT_EQ(row.button->fontColor(), i < hovered ? row.hover : atStart ? row.start : row.rest);
                EXPECT_TRUE(row.button->font().bold());
                EXPECT_EQ(row.button->font().family(), family);
            }
        };
        expectLooks("at the start", true, 0);
        moveMouse(FUtama->Image1, QPoint(20, 20));
        expectLooks("over the picture", false, 0);
        for (size_t i = 0; i < std::size(rows); ++i) {
            moveMouse(rows[i].button, QPoint(10, 10)); // from the button above, not over the picture
            expectLooks("button to button", false, i + 1);
        }
        moveMouse(FUtama->MainMenu1, QPoint(FUtama->MainMenu1->width() - 5, 5));
        expectLooks("onto the menu bar", false, std::size(rows));
        moveMouse(FUtama->Image1, QPoint(20, 20));
        expectLooks("back over the picture", false, 0);
        endProgram();
    });
}

TEST_F(ShellTest, MainMenuLayout)
{
    runLogin(QString(), [&] {
        EXPECT_EQ(FUtama->windowTitle(), " Menu Utama ");
        const int bar = FUtama->MainMenu1->height();
        EXPECT_EQ(FUtama->size(), QSize(800, 600 + bar));
        FUtama->resize(1000, 700);
        EXPECT_EQ(FUtama->size(), QSize(800, 600 + bar));
        EXPECT_EQ(FUtama->maximumSize(), FUtama->minimumSize());
        EXPECT_EQ(FUtama->Image1->geometry(), QRect(0, bar, 800, 600));
        EXPECT_EQ(FUtama->SpeedButton8->y() - bar, 488);
        for (const ui::SpeedButton* b : FUtama->findChildren<ui::SpeedButton*>())
            EXPECT_EQ(std::pair(b->x(), b->width()), std::pair(280, 241)) << b->objectName().toStdString();
        EXPECT_LT(FUtama->SpeedButton8->y(), FUtama->SpeedButton7->y());
        // The menu bar: File, Transaksi, Laporan and an item on the bar itself.
        const auto top = FUtama->MainMenu1->actions();
        ASSERT_EQ(top.size(), 4);
        EXPECT_EQ(top[0]->text(), "File");
        EXPECT_EQ(top[3], FUtama->AboutMe1);
        EXPECT_EQ(FUtama->AboutMe1->menu(), nullptr);
        EXPECT_TRUE(FUtama->N5->isSeparator());
        EXPECT_EQ(FUtama->Cetak1->actions().value(0), FUtama->Packinglist3);
        endProgram();
    });
}

TEST_F(ShellTest, AboutBoxOpensOverTheLoginWindowAndCloses)
{
    QPoint firstPlace;
    runLogin(QString(), [&] {
        whileModal([&] {
            EXPECT_EQ(FAbout->windowTitle(), " About Me ");
            // Centred over the login window, not over the main menu.
            EXPECT_LE((FAbout->frameGeometry().center() - Fpass->frameGeometry().center()).manhattanLength(),
                      4);
            EXPECT_EQ(FAbout->Label2->text(), "Tim TORAMBU KESTI");
            EXPECT_FALSE(FAbout->Image1->image().isNull());
            pressKey(FAbout->Button1, Qt::Key_Escape);
            EXPECT_TRUE(FAbout->isVisible()) << "Escape closes nothing";
            firstPlace = FAbout->pos() + QPoint(30, 20);
            FAbout->move(firstPlace);
            pressKey(FAbout->Button1, Qt::Key_C);
        });
        clickMenu(FUtama->AboutMe1);
        EXPECT_FALSE(FAbout->isVisible());
        whileModal([&] {
            EXPECT_EQ(FAbout->pos(), firstPlace) << "later openings keep the place";
            FAbout->windowHandle()->close();
        });
        clickMenu(FUtama->AboutMe1);
        EXPECT_FALSE(FAbout->isVisible());
        whileModal([&] { pressEnter(FAbout->Button1); });
        clickMenu(FUtama->AboutMe1);
        EXPECT_FALSE(FAbout->isVisible());
        endProgram();
    });
    EXPECT_TRUE(dialogs.calls().empty());
}

} // namespace

namespace {

TEST_F(ShellTest, BothItemEntriesOpenTheItemInputWindow)
{
    int opened = 0;
    EXPECT_EQ(runLogin(QString(),
                       [&] {
                           auto closeItemWindow = [&] {
                               whileModal([&] {
                                   EXPECT_TRUE(FBarang->isVisible());
                                   EXPECT_EQ(FBarang->focusWidget(), FBarang->Edit1);
                                   ++opened;
                                   click(FBarang->Button3);
                               });
                           };
                           closeItemWindow();
                           clickMenu(FUtama->InputKodeBarang1);
                           closeItemWindow();
                           click(FUtama->SpeedButton1);
                           EXPECT_TRUE(FUtama->isVisible());
                           endProgram();
                       }),
              0);
    EXPECT_EQ(opened, 2);
}

// "Laporan", "Penerimaan Barang" and its button open the receipt report
// window, "Barang Keluar" and its button the issue report window; each comes
// up reset, and "&Tutup" brings the main menu back.
TEST_F(ShellTest, TheReportEntriesAndButtonsOpenTheDateRangeWindows)
{
    QStringList opened;
    EXPECT_EQ(runLogin(QString(),
                       [&] {
                           auto expect = [&](ui::Form* window, ui::MaskEdit* from, ui::Button* close) {
                               whileModal([&opened, window, from, close] {
                                   EXPECT_TRUE(window->isVisible());
                                   EXPECT_EQ(window->focusWidget(), from);
                                   EXPECT_EQ(from->text(), "  /  /    ");
                                   opened << window->windowTitle();
                                   click(close);
                               });
                           };
                           expect(FlapTerima, FlapTerima->MaskEdit1, FlapTerima->Button3);
                           clickMenu(FUtama->PenerimaanBarang2);
                           expect(FlapTerima, FlapTerima->MaskEdit1, FlapTerima->Button3);
                           click(FUtama->SpeedButton4);
                           expect(FlapKeluar, FlapKeluar->MaskEdit1, FlapKeluar->Button3);
                           clickMenu(FUtama->PackingList2);
                           expect(FlapKeluar, FlapKeluar->MaskEdit1, FlapKeluar->Button3);
                           click(FUtama->SpeedButton5);
                           EXPECT_TRUE(FUtama->isVisible());
                           endProgram();
                       }),
              0);
    EXPECT_EQ(opened, (QStringList{"Laporan Penerimaan Barang ", "Laporan Penerimaan Barang ",
                                   "Laporan Data Barang Keluar ", "Laporan Data Barang Keluar "}));
}

} // namespace
