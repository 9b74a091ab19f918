#include "ReportOutput.h"
#include "WindowTest.h"

#include "movements/UQrPacking.h"

#include <gtest/gtest.h>

using report::BandType;
using report::Document;
using report::Primitive;

namespace {

constexpr double kTol = 0.05;
// Band tops on the first page of the A4 portrait issue note.
constexpr double kTitleTop = 12.7;
constexpr double kHeaderTop = 12.7 + 25.7;
constexpr double kFirstDetailTop = kHeaderTop + 10.6;
constexpr double kSummaryTop = 297 - 12.7 - 33.9;
constexpr double kLeft = 12.7;

class QrKeluarTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        create(QrKeluar);
        addItem("A0001", "BAUT 10MM", "100", "5", "PCS");
        addItem("B0002", "KABEL NYM 2X1.5", "50", "5", "METER");
        addItem("C0003", "CAT TEMBOK PUTIH", "20", "2", "KALENG");
    }

    void addLines(const QString& no, int count)
    {
        static const char* codes[] = {"A0001", "B0002", "C0003"};
        for (int i = 0; i < count; ++i)
            db().exec(
                QStringLiteral("INSERT INTO DetilKlrBrg (No_Keluar, KdBrg, Jml) VALUES ('%1', '%2', %3)")
                    .arg(no, QLatin1String(codes[i % 3]))
                    .arg(i == 1 ? 12 : i + 1));
    }

    // As the goods-issue and reprint windows do before the preview.
    void runQuery(const QString& no)
    {
        FDM->QKeluar->close();
        FDM->QKeluar->prepare();
        FDM->QKeluar->paramByName("Kel").setAsString(no);
        FDM->QKeluar->open();
        QrKeluar->QRLabel13->setCaption(no);
        QrKeluar->QRLabel14->setCaption("05/03/2024");
    }

    static const Primitive* text(const report::Page& page, const QString& item, int n = 0)
    {
        int seen = 0;
        for (const auto& p : page.primitives)
            if (p.item == item && p.kind == Primitive::Kind::Text && seen++ == n)
                return &p;
        return nullptr;
    }

    static void expectAt(const report::Page& page, const QString& item, const QString& value, double left,
                         double top, int n = 0)
    {
        const Primitive* p = text(page, item, n);
        ASSERT_TRUE(p) << item.toStdString();
        EXPECT_EQ(p->text, value) << item.toStdString();
        EXPECT_NEAR(p->rect.left(), left, kTol) << item.toStdString();
        EXPECT_NEAR(p->rect.top(), top, kTol) << item.toStdString();
    }
};

} // namespace

TEST_F(QrKeluarTest, ThreeLinesAreNumberedUnderTheCaptionsAtTheLayoutsPositions)
{
    addLines("01/DBK/03/2024", 3);
    addLines("02/DBK/03/2024", 2); // another issue's lines stay out
    runQuery("01/DBK/03/2024");
    const Document doc = QrKeluar->buildDocument();
    writeTestPdf(doc, "issue-note-three-lines.pdf");

    ASSERT_EQ(doc.pageCount(), 1);
    const auto& page = doc.pages[0];
    EXPECT_EQ(bandCount(page, BandType::Detail), 3);

    // Title band.
    expectAt(page, "QRLabel1", "Barang Keluar ", kLeft + 69.8, kTitleTop + 2.1);
    EXPECT_EQ(text(page, "QRLabel1")->font, (report::FontSpec{"Arial", 14, true, false}));
    expectAt(page, "QRLabel2", "No.", kLeft + 69.8, kTitleTop + 10.6);
    EXPECT_TRUE(text(page, "QRLabel2")->font.bold);
    expectAt(page, "QRLabel13", "01/DBK/03/2024", kLeft + 78.3, kTitleTop + 10.6);
    EXPECT_FALSE(text(page, "QRLabel13")->font.bold);
    expectAt(page, "QRLabel3", "Tanggal :", kLeft + 69.6, kTitleTop + 16.1);
    expectAt(page, "QRLabel14", "05/03/2024", kLeft + 88.9, kTitleTop + 16.1);
    expectAt(page, "QRLabel15", QrKeluar->QRLabel15->caption(), kLeft + 41.8, kTitleTop + 20.4);
    EXPECT_TRUE(text(page, "QRLabel15")->font.bold);
    EXPECT_FALSE(QrKeluar->QRLabel15->caption().isEmpty());
    const Primitive* logo = nullptr;
    for (const auto& p : page.primitives)
        if (p.item == "QRImage1")
            logo = &p;
    ASSERT_TRUE(logo);
    EXPECT_NEAR(logo->rect.left(), kLeft + 11.4, kTol);
    EXPECT_NEAR(logo->rect.top(), kTitleTop + 3.2, kTol);
    EXPECT_EQ(doc.images.at(0).size(), QSize(81, 81));

    // Column captions, and each row's values under them.
    const struct {
        const char* caption;
        const char* captionText;
        const char* value;
        double left;
    } columns[] = {{"QRLabel4", "No.", "QRSysData1", 2.1},
                   {"QRLabel5", "Kode Barang", "QRDBText3", 12.7},
                   {"QRLabel6", "Nama Barang", "QRDBText4", 59.3},
                   {"QRLabel12", "Satuan", "QRDBText6", 124.9},
                   {"QRLabel7", "Jumlah", "QRDBText5", 160.9}};
    const QStringList values[] = {{"1", "A0001", "BAUT 10MM", "PCS", "1"},
                                  {"2", "B0002", "KABEL NYM 2X1.5", "METER", "12"},
                                  {"3", "C0003", "CAT TEMBOK PUTIH", "KALENG", "3"}};
    for (int c = 0; c < 5; ++c) {
        expectAt(page, columns[c].caption, columns[c].captionText, kLeft + columns[c].left, kHeaderTop + 2.1);
        for (int row = 0; row < 3; ++row)
            expectAt(page, columns[c].value, values[row][c], kLeft + columns[c].left,
                     kFirstDetailTop + 10.6 * row + 2.1, row);
    }

    // The signature blocks at the foot of the page.
    expectAt(page, "QRLabel9", "Penjualan,", kLeft + 29.6, kSummaryTop + 12.7);
    expectAt(page, "QRLabel11", "(_________________)", kLeft + 21.2, kSummaryTop + 27.5);
    expectAt(page, "QRLabel8", "Gudora,", kLeft + 131.2, kSummaryTop + 12.7);
    expectAt(page, "QRLabel10", "(_________________)", kLeft + 124.9, kSummaryTop + 27.5);

    // Rules: under the title, above and below the captions, the extra line
    // through the middle of its box, above the summary.
    std::vector<std::pair<QString, double>> lines;
    for (const auto& p : page.primitives)
        if (p.kind == Primitive::Kind::Line)
            lines.emplace_back(p.item, p.rect.top());
    const std::vector<std::pair<QString, double>> expected = {{"TitleBand1", kHeaderTop},
                                                              {"ColumnHeaderBand1", kHeaderTop},
                                                              {"ColumnHeaderBand1", kFirstDetailTop},
                                                              {"QRShape1", kHeaderTop + 8.5 + 1.05},
                                                              {"SummaryBand1", kSummaryTop}};
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].first, expected[i].first);
        EXPECT_NEAR(lines[i].second, expected[i].second, kTol);
    }
}

TEST_F(QrKeluarTest, AnIssueLongerThanAPageRepeatsTheCaptionsAndSignsOnceAtTheFootOfTheLastPage)
{
    addLines("03/DBK/03/2024", 30);
    runQuery("03/DBK/03/2024");
    const Document doc = QrKeluar->buildDocument();
    writeTestPdf(doc, "issue-note-two-pages.pdf");

    ASSERT_EQ(doc.pageCount(), 2);
    const auto& first = doc.pages[0];
    const auto& second = doc.pages[1];
    EXPECT_EQ(bandCount(first, BandType::Detail) + bandCount(second, BandType::Detail), 30);
    // The number and date are on the first page only.
    EXPECT_TRUE(text(first, "QRLabel13"));
    EXPECT_FALSE(text(second, "QRLabel13"));
    EXPECT_FALSE(text(second, "QRLabel1"));
    // The second page starts with the captions.
    expectAt(second, "QRLabel5", "Kode Barang", kLeft + 12.7, 12.7 + 2.1);
    EXPECT_FALSE(text(first, "QRLabel9"));
    expectAt(second, "QRLabel9", "Penjualan,", kLeft + 29.6, kSummaryTop + 12.7);
    expectAt(second, "QRLabel8", "Gudora,", kLeft + 131.2, kSummaryTop + 12.7);
}

TEST_F(QrKeluarTest, ANumberWithoutLinesStillPrintsTheTitleAnEmptyRowAndTheSignatures)
{
    addLines("01/DBK/03/2024", 3);
    runQuery("99/DBK/03/2024");
    const Document doc = QrKeluar->buildDocument();
    writeTestPdf(doc, "issue-note-empty.pdf");

    ASSERT_EQ(doc.pageCount(), 1);
    const auto& page = doc.pages[0];
    std::vector<BandType> order;
    for (const auto& band : page.bands)
        order.push_back(band.type);
    EXPECT_EQ(order, (std::vector<BandType>{BandType::Title, BandType::Detail, BandType::Summary}));
    expectAt(page, "QRLabel13", "99/DBK/03/2024", kLeft + 78.3, kTitleTop + 10.6);
    expectAt(page, "QRLabel14", "05/03/2024", kLeft + 88.9, kTitleTop + 16.1);
    for (const char* item : {"QRLabel4", "QRLabel5", "QRLabel6", "QRLabel12", "QRLabel7", "QRSysData1",
                             "QRDBText3", "QRDBText4", "QRDBText5", "QRDBText6"})
        EXPECT_FALSE(text(page, item)) << item;
    expectAt(page, "QRLabel11", "(_________________)", kLeft + 21.2, kSummaryTop + 27.5);

    // The same for the query closed (the windows close it on activation).
    FDM->QKeluar->close();
    const Document closed = QrKeluar->buildDocument();
    ASSERT_EQ(closed.pageCount(), 1);
    EXPECT_EQ(closed.pages[0].bands.size(), 3u);
}
