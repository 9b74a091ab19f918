#include "../shell/ShellFixture.h"
#include "LayoutChecks.h"

#include "platform/data/Transaction.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/SystemColors.h"
#include "reports/QrMin.h"
#include "reports/ULapStock.h"
#include "reports/UMinStock.h"
#include "reports/UQrLapStock.h"

#include <QEventLoop>
#include <QTimer>
#include <QWindow>

namespace {

// Runs `step` inside the preview that the next action opens.
void inPreview(report::Report* layout, std::function<void(report::PreviewWindow*)> step)
{
    QTimer::singleShot(0, layout, [layout, step] {
        ASSERT_TRUE(layout->previewWindow());
        step(layout->previewWindow());
        layout->previewWindow()->close();
    });
}

class StockWindowsTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        create(FLapStock, QrLapStock, FminStock, QMin);
    }

    // Stored out of code order: a stock never set, 7 and 20.
    void addStockItems()
    {
        addItem("C0003", "CAT TEMBOK PUTIH", "20", "2", "KALENG");
        addItem("A0001", "BAUT 10MM", "NULL", "5", "PCS");
        addItem("B0002", "KABEL NYM 2X1.5", "7", "500", "METER");
    }

    // What a goods issue does to the item: its stock less the quantity.
    void issue(const QString& code, double quantity)
    {
        data::Transaction transaction(*FDM->TBarang);
        ASSERT_TRUE(FDM->TBarang->findKey(code));
        FDM->TBarang->edit();
        FDM->TBarangStock->setAsFloat(FDM->TBarangStock->asFloat() - quantity);
        FDM->TBarang->post();
        transaction.commit();
    }
};

TEST_F(StockWindowsTest, TheStockGridShowsEveryItemLiveAndChangesNothing)
{
    addStockItems();
    inWindow(FLapStock, [&] {
        EXPECT_EQ(FLapStock->windowTitle(), "Laporan Data Stock Barang ");
        EXPECT_FALSE(FLapStock->hasCloseBox());
        EXPECT_EQ(FLapStock->pos(), QPoint(208, 210));
        EXPECT_EQ(FLapStock->focusWidget(), FLapStock->Button1);
        ui::DBGrid* g = FLapStock->DBGrid1;
        const QStringList titles = {"Kode Barang", "Nama Barang", "Satuan", "Jml Stock"};
        const int widths[] = {91, 221, 103, 118};
        const QColor colours[] = {ui::clMenu, ui::clInactiveCaptionText, QColor(), ui::clInactiveCaptionText};
        ASSERT_EQ(g->columnCount(), 4);
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(g->columnTitle(c), titles[c]);
            EXPECT_EQ(g->columnWidth(c), widths[c]);
            EXPECT_TRUE(g->model().headerData(c, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
            EXPECT_EQ(g->model().data(g->model().index(0, c), Qt::BackgroundRole).value<QColor>(),
                      colours[c]);
        }
        EXPECT_FALSE(g->columnLines() || g->rowLines() || g->columnResizing());
        // Every item in code order, whatever its stock; a stock never set is an empty cell.
        EXPECT_EQ(gridRows(g), QStringList({"A0001|BAUT 10MM|PCS|", "B0002|KABEL NYM 2X1.5|METER|7",
                                            "C0003|CAT TEMBOK PUTIH|KALENG|20"}));
        // Tab walks the columns; Ctrl+Delete deletes nothing.
        g->setFocus();
        pressKey(g, Qt::Key_Tab);
        EXPECT_EQ(g->currentColumn(), 1);
        dialogs.answer(ui::idOk);
        pressKey(g, Qt::Key_Delete, Qt::ControlModifier);
        click(FLapStock->Button2);
    });
    EXPECT_EQ(rowCount("Barang"), 3);
    EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(StockWindowsTest, EnterAtOpeningPreviewsTheStockReportAndLeavesTheLastItemCurrent)
{
    addStockItems();
    ASSERT_TRUE(FDM->TBarang->findKey("A0001"));
    inWindow(FLapStock, [&] {
        inPreview(QrLapStock, [&](report::PreviewWindow* preview) {
            const report::Document& doc = preview->document();
            EXPECT_EQ(textsOf(doc, "QRSysData2"), numbered(1, 3));
            EXPECT_EQ(textsOf(doc, "QRDBText1"), (std::vector<QString>{"A0001", "B0002", "C0003"}));
            EXPECT_EQ(textsOf(doc, "QRDBText4"), (std::vector<QString>{"7", "20"})); // none for A0001
            FLapStock->DBGrid1->setFocus(); // the window stays usable meanwhile
        });
        pressEnter(FLapStock->focusWidget());
        EXPECT_EQ(QrLapStock->previewWindow(), nullptr);
        EXPECT_EQ(FLapStock->focusWidget(), FLapStock->Button1) << "focus back on \"&Cetak\"";
        EXPECT_EQ(gridCurrent(FLapStock->DBGrid1), "C0003");
    });
    EXPECT_EQ(FDM->TBarangKdBrg->asString(), "C0003");
}

TEST_F(StockWindowsTest, TheMinimumListIsRunAgainAtEveryOpeningAndAfterThePreview)
{
    addItem("C0003", "CAT TEMBOK PUTIH", "9", "2", "KALENG");
    addItem("B0002", "KABEL NYM 2X1.5", "6", "5", "METER");
    addItem("A0001", "BAUT 10MM", "5", "5", "PCS");
    addItem("D0004", "PIPA PVC 1/2", "NULL", "3", "BATANG"); // never received: no stock is 0
    addItem("E0005", "LAMPU TL 36W", "0", "NULL", "BUAH");   // no level is 0
    inWindow(FminStock, [&] {
        EXPECT_EQ(FminStock->windowTitle(), " Laporan Minimum Stock");
        EXPECT_TRUE(FminStock->hasCloseBox());
        ui::DBGrid* g = FminStock->DBGrid1;
        ASSERT_EQ(g->columnCount(), 5);
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(g->columnTitle(c), (QStringList{"KdBrg", "NamaBrg", "Stock", "Reorder", "Satuan"}[c]));
        // At its level it is listed, one above it not; in code order.
        EXPECT_EQ(gridRows(g), QStringList({"A0001|BAUT 10MM|5|5|PCS", "D0004|PIPA PVC 1/2||3|BATANG",
                                            "E0005|LAMPU TL 36W|0||BUAH"}));
    });
    issue("B0002", 1); // down to its level
    inWindow(FminStock, [&] {
        EXPECT_EQ(gridRows(FminStock->DBGrid1),
                  QStringList({"A0001|BAUT 10MM|5|5|PCS", "B0002|KABEL NYM 2X1.5|5|5|METER",
                               "D0004|PIPA PVC 1/2||3|BATANG", "E0005|LAMPU TL 36W|0||BUAH"}));
        inPreview(QMin, [&](report::PreviewWindow* preview) {
            EXPECT_EQ(textsOf(preview->document(), "QRDBText1"),
                      (std::vector<QString>{"A0001", "B0002", "D0004", "E0005"}));
            issue("C0003", 8); // below its level while the preview is open
        });
        click(FminStock->Button1);
        EXPECT_EQ(gridRows(FminStock->DBGrid1).size(), 5);
        FminStock->windowHandle()->close(); // the close box
        EXPECT_FALSE(FminStock->isVisible());
    });
    EXPECT_EQ(rowCount("Barang"), 5);
    EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(StockWindowsTest, WithNothingAtItsLevelTheGridIsEmptyAndThePagePrintsNoRows)
{
    addItem("A0001", "BAUT 10MM", "6", "5", "PCS");
    inWindow(FminStock, [&] {
        EXPECT_EQ(FminStock->DBGrid1->rowCount(), 0);
        inPreview(QMin, [&](report::PreviewWindow* preview) {
            static const char* const data[] = {"QRSysData1", "QRDBText1", "QRDBText2",
                                               "QRDBText3",  "QRDBText4", "QRDBText5"};
            expectEmptyPage(preview->document(), data, 6);
        });
        click(FminStock->Button1);
    });
}

// At the first opening too, a failed run shows its own error and no other
// for the rows it replaced.
TEST_F(StockWindowsTest, AFailingRunShowsOneErrorAndAnEmptyGrid)
{
    addItem("A0001", "BAUT 10MM", "5", "5", "PCS");
    FDM->QMin->close();
    FDM->QMin->open();
    QEventLoop idle; // the program waits for the user: the rows read are let go
    QTimer::singleShot(0, &idle, &QEventLoop::quit);
    idle.exec();
    db().exec("ALTER TABLE Barang RENAME TO Gone");
    inWindow(FminStock, [&] { EXPECT_EQ(FminStock->DBGrid1->rowCount(), 0); });
    EXPECT_EQ(dialogs.texts(), QStringList({"QMin: no such table: Barang."}));
}

// Both reports open from their menu entries and their buttons over the whole program.
TEST_F(ShellTest, TheStockReportsOpenFromTheirEntriesAndButtons)
{
    QStringList opened;
    auto expectOpen = [&](ui::Form* form, ui::Button* close) {
        whileModal([&opened, form, close] {
            opened << form->windowTitle();
            click(close);
        });
    };
    EXPECT_EQ(runLogin(QString(),
                       [&] {
                           expectOpen(FLapStock, FLapStock->Button2);
                           clickMenu(FUtama->StockBarang1);
                           expectOpen(FLapStock, FLapStock->Button2);
                           click(FUtama->SpeedButton6);
                           expectOpen(FminStock, FminStock->Button2);
                           clickMenu(FUtama->MinimumStock1);
                           expectOpen(FminStock, FminStock->Button2);
                           click(FUtama->SpeedButton8);
                           endProgram();
                       }),
              0);
    EXPECT_EQ(opened, QStringList({"Laporan Data Stock Barang ", "Laporan Data Stock Barang ",
                                   " Laporan Minimum Stock", " Laporan Minimum Stock"}));
}

} // namespace
