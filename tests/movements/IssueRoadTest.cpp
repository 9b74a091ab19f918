#include "MovementWindowsFixture.h"
#include "ReportOutput.h"
#include "tests/shell/ShellFixture.h"

#include "items/UCari.h"
#include "movements/UFPP.h"
#include "movements/UPck.h"
#include "movements/UQrPacking.h"
#include "platform/preview/PreviewWindow.h"

#include <QTimer>

namespace {

class IssueRoadTest : public ShellTest {};

} // namespace

TEST_F(IssueRoadTest, FromTheMenuThroughTwoLinesToThePrintedNoteAndOnWithTheNextNumber)
{
    setClock(QDate(2005, 3, 25));
    addItem("10001", "OBENG", "10", "2", "ITEM");
    addItem("20001", "PALU", "5", "1", "PCS");
    db().exec("INSERT INTO MasKlrBrg (No, No_Keluar, Tgl) VALUES (11, '011/DBK/02/2005', '2005-02-28')");
    dialogs.answer({ui::idYes, ui::idNo});
    QString note, numberBefore, numberWhileOpen, numberAfter;
    EXPECT_EQ(
        runLogin(
            QString(),
            [&] {
                // The receipt window opens from its menu entry and its button.
                whileModal([] { click(FMasuk->Button2); });
                clickMenu(FUtama->PenerimaanBarang1);
                whileModal([] { click(FMasuk->Button2); });
                click(FUtama->SpeedButton2);

                whileModal([&] {
                    numberBefore = FKeluar->Edit1->text();
                    for (const auto& [code, quantity] : {std::pair{"10001", "4"}, std::pair{"20001", "5"}}) {
                        typeText(FKeluar->Edit2, code);
                        pressEnter(FKeluar->Edit2);
                        typeText(FKeluar->Edit5, quantity);
                        pressEnter(FKeluar->Edit5);
                        pressKey(FKeluar->Button1, Qt::Key_Return);
                    }
                    QTimer::singleShot(0, [&] {
                        const report::Document doc = QrKeluar->buildDocument();
                        writeTestPdf(doc, "issue-note-of-the-road.pdf");
                        note = noteOf(doc);
                        // Back in the window while the preview stays open.
                        activate(FKeluar);
                        numberWhileOpen = FKeluar->Edit1->text();
                        QrKeluar->previewWindow()->close();
                    });
                    pressKey(FKeluar->Button3, Qt::Key_Return);
                    numberAfter = FKeluar->Edit1->text();
                    click(FKeluar->Button2);
                });
                clickMenu(FUtama->PackingList1);
                endProgram();
            }),
        0);
    EXPECT_EQ(numberBefore, "012/DBK/03/2005");
    EXPECT_EQ(note, "012/DBK/03/2005|25/03/2005|10001 4|20001 5");
    EXPECT_EQ(numberWhileOpen, "013/DBK/03/2005");
    EXPECT_EQ(numberAfter, "013/DBK/03/2005");
    EXPECT_EQ(stored("10001"), "10001|OBENG|6.0|2.0|ITEM");
    EXPECT_EQ(stored("20001"), "20001|PALU|0.0|1.0|PCS");
    EXPECT_EQ(dialogs.count(DialogScript::Question), 2);
    EXPECT_EQ(dialogs.count(DialogScript::Message) + dialogs.count(DialogScript::Error), 0);
}

TEST_F(IssueRoadTest, TheStartUpWiresCariToTheSearchWindowWhichHandsTheCodeBack)
{
    addItem("10001", "OBENG", "10", "2", "ITEM");
    addItem("20001", "PALU", "5", "1", "PCS");
    QString shown;
    EXPECT_EQ(runLogin(QString(),
                       [&] {
                           whileModal([&] {
                               whileModal([] {
                                   typeText(FCari->Edit1, "pa");
                                   click(FCari->Button1);
                               });
                               click(FKeluar->Button4);
                               pressEnter(FKeluar->Edit2);
                               shown = FKeluar->Edit3->text();
                               click(FKeluar->Button2);
                           });
                           click(FUtama->SpeedButton3);
                           endProgram();
                       }),
              0);
    EXPECT_EQ(shown, "PALU");
}
