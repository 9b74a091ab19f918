#include "LayoutChecks.h"

#include "reports/QrMin.h"
#include "reports/UQrLapStock.h"

#include <memory>

using report::BandType;
using report::Document;
using report::Primitive;

namespace {

constexpr double kLogo = 81 / 96.0 * 25.4; // 81 pixels at 96 per inch

class StockLayoutTest : public LayoutTest {
protected:
    void SetUp() override
    {
        LayoutTest::SetUp();
        QrLapStock = new TQrLapStock();
        QMin = new TQMin();
    }
    void TearDown() override
    {
        delete QMin;
        QMin = nullptr;
        delete QrLapStock;
        QrLapStock = nullptr;
        LayoutTest::TearDown();
    }

    // As the minimum-stock window's activation runs the query.
    void rerunMinimum()
    {
        FDM->QMin->close();
        FDM->QMin->open();
    }
};

void expectPortraitWithoutSummary(const Document& doc)
{
    EXPECT_DOUBLE_EQ(doc.pageWidth, 210);
    EXPECT_DOUBLE_EQ(doc.pageHeight, 297);
    for (const auto& page : doc.pages)
        EXPECT_EQ(bandCount(page, BandType::Summary), 0);
}

} // namespace

TEST_F(StockLayoutTest, TheStockReportListsEveryItemInCodeOrderAndLeavesTheTableOnTheLast)
{
    // Stored out of code order; a stock never set, none, and plenty.
    db().exec("INSERT INTO Barang (KdBrg, NamaBrg, Stock, Reorder, Satuan) VALUES "
              "('C0003', 'CAT TEMBOK PUTIH', 20, 2, 'KALENG'), ('A0001', 'BAUT 10MM', NULL, 5, 'PCS'), "
              "('E0005', 'LAMPU TL 36W', 0, 4, 'BUAH'), ('B0002', 'KABEL NYM 2X1.5', 7, 5, 'METER'), "
              "('D0004', 'PIPA PVC 1/2', 1500, 10, 'BATANG')");
    FDM->TBarang->first();
    const Document doc = QrLapStock->buildDocument();
    writeTestPdf(doc, "stock.pdf");

    expectPortraitWithoutSummary(doc);
    ASSERT_EQ(doc.pageCount(), 1);
    const auto& page = doc.pages[0];
    EXPECT_EQ(textsOf(doc, "QRSysData2"), numbered(1, 5));
    EXPECT_EQ(textsOf(doc, "QRDBText1"), (std::vector<QString>{"A0001", "B0002", "C0003", "D0004", "E0005"}));
    // The stock never set prints nothing; the others as numbers.
    EXPECT_EQ(printedIn(page, *bandOf(page, BandType::Detail, 0), "QRDBText4"), nullptr);
    EXPECT_EQ(textsOf(doc, "QRDBText4"), (std::vector<QString>{"7", "20", "1500", "0"}));
    EXPECT_EQ(FDM->TBarangKdBrg->asString(), "E0005");

    const auto* title = bandOf(page, BandType::Title);
    const auto* header = bandOf(page, BandType::ColumnHeader);
    EXPECT_NEAR(header->top, kMargin + 24.1, kPlaceTol);
    expectPlaces(page, title,
                 {{"QRImage1", 3.4, 2.1},
                  {"QRLabel1", 60.3, 4.0, "Laporan Stock Barang"},
                  {"QRLabel7", 41.8, 13.8},
                  {"QRSysData1", 150.0, 18.0, "Dicetak :05/03/2024 14:07:09"}});
    EXPECT_EQ(printedIn(page, *title, "QRLabel1")->font, (report::FontSpec{"Arial", 14, true, false}));
    EXPECT_TRUE(printedIn(page, *title, "QRLabel7")->font.bold);
    const Primitive* logo = printedIn(page, *title, "QRImage1");
    EXPECT_NEAR(logo->rect.width(), 21.4, kPlaceTol); // stretched to its box
    EXPECT_NEAR(logo->rect.height(), 21.4, kPlaceTol);
    expectPlaces(page, header,
                 {{"QRLabel2", 2.1, 2.1, "No."},
                  {"QRLabel3", 14.8, 2.1, "Kode Barang"},
                  {"QRLabel4", 55.0, 2.1, "Nama Barang"},
                  {"QRLabel5", 118.5, 2.1, "Satuan"},
                  {"QRLabel6", 156.6, 2.1, "Jumlah"}});
    expectPlaces(page, bandOf(page, BandType::Detail, 1),
                 {{"QRSysData2", 2.1, 2.1, "2"},
                  {"QRDBText1", 14.8, 2.1, "B0002"},
                  {"QRDBText2", 55.0, 2.1, "KABEL NYM 2X1.5"},
                  {"QRDBText3", 118.5, 2.1, "METER"},
                  {"QRDBText4", 156.6, 2.1, "7"}});
}

TEST_F(StockLayoutTest, TheStockReportsRowNumberKeepsItsFixedBox)
{
    db().exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
              "INSERT INTO Barang (KdBrg, NamaBrg, Stock, Reorder, Satuan) "
              "SELECT printf('%05d', i), 'BARANG ' || i, i, 1, 'PCS' FROM n");
    const Document doc = QrLapStock->buildDocument();

    const auto& last = doc.pages.back();
    const Primitive* number =
        printedIn(last, *bandOf(last, BandType::Detail, bandCount(last, BandType::Detail) - 1), "QRSysData2");
    ASSERT_TRUE(number);
    EXPECT_EQ(number->text, "10000");
    // Five digits are wider than the 8.7 mm box, which does not grow.
    EXPECT_GT(number->rect.width(), 8.7);
    ASSERT_FALSE(number->clip.isEmpty());
    EXPECT_NEAR(number->clip.left() - kMargin, 2.1, kPlaceTol);
    EXPECT_NEAR(number->clip.right() - kMargin, 2.1 + 8.7, kPlaceTol);
    EXPECT_EQ(FDM->TBarangKdBrg->asString(), "10000");
}

TEST_F(StockLayoutTest, TheMinimumStockReportListsItemsAtOrBelowTheirReorderLevelWithTheLevelRightAligned)
{
    db().exec(
        "INSERT INTO Barang (KdBrg, NamaBrg, Stock, Reorder, Satuan) VALUES "
        "('A0001', 'BAUT 10MM', 5, 5, 'PCS'), ('B0002', 'KABEL NYM 2X1.5', 6, 5, 'METER'), "
        "('C0003', 'CAT TEMBOK PUTIH', 3, 120, 'KALENG'), ('D0004', 'PIPA PVC 1/2', 1500, 10, 'BATANG')");
    rerunMinimum();
    const Document doc = QMin->buildDocument();
    writeTestPdf(doc, "minimum-stock.pdf");

    expectPortraitWithoutSummary(doc);
    ASSERT_EQ(doc.pageCount(), 1);
    const auto& page = doc.pages[0];
    // Equal to the level is listed, one above it is not.
    EXPECT_EQ(textsOf(doc, "QRDBText1"), (std::vector<QString>{"A0001", "C0003"}));
    EXPECT_EQ(textsOf(doc, "QRSysData1"), numbered(1, 2));

    const auto* title = bandOf(page, BandType::Title);
    const auto* header = bandOf(page, BandType::ColumnHeader);
    EXPECT_NEAR(header->top, kMargin + 24.1, kPlaceTol);
    expectPlaces(page, title,
                 {{"QRImage1", 17.7, 1.3},
                  {"QRLabel1", 67.7, 2.1, "Laporan Minimum Stock"},
                  {"QRLabel15", 43.9, 18.3}});
    EXPECT_EQ(printedIn(page, *title, "QRLabel1")->font, (report::FontSpec{"Arial", 14, true, false}));
    EXPECT_TRUE(printedIn(page, *title, "QRLabel15")->font.bold);
    // No date-time stamp: the title band holds the logo, title and address only.
    int titleItems = 0;
    for (const auto& p : page.primitives)
        titleItems += p.kind != Primitive::Kind::Line && printedIn(page, *title, p.item) == &p;
    EXPECT_EQ(titleItems, 3);
    const Primitive* logo = printedIn(page, *title, "QRImage1");
    EXPECT_NEAR(logo->rect.width(), kLogo, kPlaceTol); // its natural size
    expectPlaces(page, header,
                 {{"QRLabel2", 2.1, 2.1, "No."},
                  {"QRLabel3", 10.6, 2.1, "Kode Barang"},
                  {"QRLabel4", 33.9, 2.1, "Nama Barang"},
                  {"QRLabel5", 108.0, 2.1, "Satuan"},
                  {"QRLabel6", 137.6, 2.1, "Stock"},
                  {"QRLabel7", 156.6, 2.1, "Minimum Stock"}});

    for (int row = 0; row < 2; ++row) {
        const auto* detail = bandOf(page, BandType::Detail, row);
        const bool paint = printedIn(page, *detail, "QRDBText1")->text == "C0003";
        expectPlaces(page, detail,
                     {{"QRSysData1", 2.1, 2.1, row == 0 ? "1" : "2"},
                      {"QRDBText1", 10.6, 2.1},
                      {"QRDBText2", 33.9, 2.1, paint ? "CAT TEMBOK PUTIH" : "BAUT 10MM"},
                      {"QRDBText3", 108.0, 2.1, paint ? "KALENG" : "PCS"},
                      {"QRDBText4", 139.7, 2.1, paint ? "3" : "5"}});
        // The reorder level ends 177.3 mm from the band's left edge, however wide.
        const Primitive* level = printedIn(page, *detail, "QRDBText5");
        ASSERT_TRUE(level);
        EXPECT_EQ(level->text, paint ? "120" : "5");
        EXPECT_NEAR(level->rect.right() - kMargin, 177.3, kPlaceTol);
        EXPECT_NEAR(level->rect.top() - detail->top, 2.1, kPlaceTol);
    }
}

TEST_F(StockLayoutTest, WithoutRowsBothReportsPrintTheTitleAndOneEmptyRow)
{
    static const char* const stockItems[] = {"QRSysData2", "QRDBText1", "QRDBText2", "QRDBText3",
                                             "QRDBText4"};
    const Document stock = QrLapStock->buildDocument(); // an empty item table
    writeTestPdf(stock, "stock-empty.pdf");
    expectEmptyPage(stock, stockItems, 5);
    EXPECT_EQ(textsOf(stock, "QRSysData1"), std::vector<QString>{"Dicetak :05/03/2024 14:07:09"});
    EXPECT_NEAR(bandOf(stock.pages[0], BandType::Detail)->top, kMargin + 24.1, kPlaceTol);

    static const char* const minimumItems[] = {"QRSysData1", "QRDBText1", "QRDBText2",
                                               "QRDBText3",  "QRDBText4", "QRDBText5"};
    db().exec("INSERT INTO Barang (KdBrg, NamaBrg, Stock, Reorder, Satuan) VALUES ('A0001', 'BAUT 10MM', 6, "
              "5, 'PCS')");
    rerunMinimum(); // nothing at or below its level
    const Document none = QMin->buildDocument();
    writeTestPdf(none, "minimum-stock-empty.pdf");
    expectEmptyPage(none, minimumItems, 6);
    FDM->QMin->close();
    expectEmptyPage(QMin->buildDocument(), minimumItems, 6);
}
