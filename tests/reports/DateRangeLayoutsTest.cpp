#include "LayoutChecks.h"

#include "reports/UQrLapKeluar.h"
#include "reports/UQrLapMasuk.h"

#include <algorithm>
#include <memory>

using report::BandType;
using report::Document;
using report::Primitive;

namespace {

// What differs between the receipt and the issue report.
struct DateRange {
    const char* name;
    bool issues;
    double titleHeight;
    std::vector<Place> title; // logo, title, address line, stamp
    bool stretchedLogo;
    std::vector<Place> captions;
    std::vector<Place> details; // the first row's items
};

const DateRange kReceipts{
    "receipts",
    false,
    24.8,
    {{"QRImage1", 2.6, 1.0},
     {"QRLabel1", 100.2, 3.3, "Laporan Penerimaan Barang"},
     {"QRLabel9", 82.7, 12.2},
     {"QRSysData1", 216.3, 18.5, "Dicetak Pada :05/03/2024 14:07:09"}},
    false,
    {{"QRLabel2", 2.3, 2.3, "No"},
     {"QRLabel3", 14.9, 2.3, "Tanggal"},
     {"QRLabel4", 44.0, 1.7, "No.Surat"},
     {"QRLabel5", 80.4, 1.7, "Kode Barang"},
     {"QRLabel6", 112.1, 1.7, "Nama Barang"},
     {"QRLabel7", 207.4, 1.7, "Satuan"},
     {"QRLabel8", 248.0, 2.0, "Jumlah"}},
    {{"QRSysData2", 2.6, 2.0, "1"},
     {"QRDBText1", 14.9, 2.3},
     {"QRDBText2", 44.0, 1.7},
     {"QRDBText3", 80.4, 1.7},
     {"QRDBText4", 112.1, 1.7},
     {"QRDBText5", 208.0, 1.7},
     {"QRDBText6", 248.0, 2.0}},
};

const DateRange kIssues{
    "issues",
    true,
    27.5,
    {{"QRImage1", 3.3, 0.0},
     {"QRLabel1", 93.3, 4.3, "Laporan Barang Keluar"},
     {"QRLabel9", 77.1, 14.9},
     {"QRSysData1", 231.2, 17.5, "Dicetak :05/03/2024 14:07:09"}},
    true,
    {{"QRLabel2", 2.3, 2.3, "No"},
     {"QRLabel3", 14.9, 2.3, "Tanggal"},
     {"QRLabel4", 44.0, 2.3, "No.Surat"},
     {"QRLabel5", 80.4, 2.3, "Kode Barang"},
     {"QRLabel6", 112.1, 2.3, "Nama Barang"},
     {"QRLabel7", 204.7, 2.3, "Satuan"},
     {"QRLabel8", 240.1, 2.3, "Jumlah"}},
    {{"QRSysData2", 2.6, 2.0, "1"},
     {"QRDBText1", 14.9, 2.3},
     {"QRDBText2", 44.0, 1.7},
     {"QRDBText3", 80.4, 1.7},
     {"QRDBText4", 112.1, 1.7},
     {"QRDBText5", 205.4, 1.7},
     {"QRDBText6", 242.8, 2.6}},
};

class DateRangeLayoutTest : public LayoutTest, public ::testing::WithParamInterface<const DateRange*> {
protected:
    void SetUp() override
    {
        LayoutTest::SetUp();
        if (issues())
            layout_ = std::make_unique<TQrLapKeluar>();
        else
            layout_ = std::make_unique<TQrLapMasuk>();
        db().exec("INSERT INTO Barang (KdBrg, NamaBrg, Stock, Reorder, Satuan) VALUES "
                  "('A0001', 'BAUT 10MM', 100, 5, 'PCS'), ('B0002', 'KABEL NYM 2X1.5', 50, 5, 'METER'), "
                  "('C0003', 'CAT TEMBOK PUTIH', 20, 2, 'KALENG')");
    }
    void TearDown() override
    {
        layout_.reset();
        LayoutTest::TearDown();
    }

    bool issues() const { return GetParam()->issues; }
    report::Report& layout() { return *layout_; }
    data::Query* query() { return issues() ? FDM->QLapKeluar : FDM->QLapMasuk; }

    void addMovement(const QString& no, const QString& date, const QString& code, int qty)
    {
        ::addMovement(db(), issues(), no, date, code, qty);
    }

    // As the report window's "&Proses" runs the query.
    void runQuery(const QDate& from, const QDate& to)
    {
        query()->close();
        query()->prepare();
        query()->paramByName("Tgla").setAsDate(from);
        query()->paramByName("Tglb").setAsDate(to);
        query()->open();
    }

    QString pdfName(const char* what) const
    {
        return QStringLiteral("%1-%2.pdf").arg(GetParam()->name, what);
    }

private:
    std::unique_ptr<report::Report> layout_;
};

} // namespace

TEST_P(DateRangeLayoutTest, ARangePrintsOnLandscapeWithEveryItemAtItsPlaceAndNoSummary)
{
    const DateRange& c = *GetParam();
    addMovement("SM-0101", "2024-02-29", "A0001", 9); // the day before the range
    addMovement("SM-0102", "2024-03-01", "A0001", 12);
    addMovement("SM-0103", "2024-03-04", "B0002", 3);
    addMovement("SM-0104", "2024-03-05", "C0003", 7); // the range's last day
    addMovement("SM-0105", "2024-03-06", "C0003", 1);
    runQuery(QDate(2024, 3, 1), QDate(2024, 3, 5));
    const Document doc = layout().buildDocument();
    writeTestPdf(doc, pdfName("range"));

    EXPECT_DOUBLE_EQ(doc.pageWidth, 297);
    EXPECT_DOUBLE_EQ(doc.pageHeight, 210);
    ASSERT_EQ(doc.pageCount(), 1);
    const auto& page = doc.pages[0];
    std::vector<BandType> order;
    for (const auto& band : page.bands)
        order.push_back(band.type);
    EXPECT_EQ(order, (std::vector<BandType>{BandType::Title, BandType::ColumnHeader, BandType::Detail,
                                            BandType::Detail, BandType::Detail}));

    const auto* title = bandOf(page, BandType::Title);
    const auto* header = bandOf(page, BandType::ColumnHeader);
    EXPECT_NEAR(header->top, kMargin + c.titleHeight, kPlaceTol);
    expectPlaces(page, title, c.title);
    expectPlaces(page, header, c.captions);
    for (int row = 0; row < 3; ++row) {
        const auto* detail = bandOf(page, BandType::Detail, row);
        EXPECT_NEAR(detail->top, header->top + 10.6 * (row + 1), kPlaceTol);
        std::vector<Place> places = c.details;
        places[0].text = nullptr;
        expectPlaces(page, detail, places);
    }

    // The title in 14 point bold, the address line bold, the rest plain.
    EXPECT_EQ(printedIn(page, *title, "QRLabel1")->font, (report::FontSpec{"Arial", 14, true, false}));
    EXPECT_TRUE(printedIn(page, *title, "QRLabel9")->font.bold);
    EXPECT_EQ(printedIn(page, *title, "QRSysData1")->font, (report::FontSpec{"Arial", 10, false, false}));
    // The whole stamp is on the page, even where it runs past the band.
    const Primitive* stamp = printedIn(page, *title, "QRSysData1");
    EXPECT_TRUE(stamp->clip.isEmpty() || stamp->clip.contains(stamp->rect));
    EXPECT_LE(stamp->rect.right(), 297.0);

    // The logo's box is 26.8 mm: the picture at its natural 21.4 mm, or
    // stretched to fill the box.
    const Primitive* logo = printedIn(page, *title, "QRImage1");
    ASSERT_EQ(logo->kind, Primitive::Kind::Image);
    EXPECT_EQ(doc.images.at(size_t(logo->image)).size(), QSize(81, 81));
    EXPECT_NEAR(logo->rect.width(), c.stretchedLogo ? 26.8 : 81 / 96.0 * 25.4, kPlaceTol);
    EXPECT_NEAR(logo->rect.height(), c.stretchedLogo ? 26.8 : 81 / 96.0 * 25.4, kPlaceTol);

    // Both ends of the range, numbered from 1, each row with its texts.
    EXPECT_EQ(textsOf(doc, "QRSysData2"), numbered(1, 3));
    auto sorted = [&](const char* item) {
        std::vector<QString> texts = textsOf(doc, item);
        std::sort(texts.begin(), texts.end());
        return texts;
    };
    EXPECT_EQ(sorted("QRDBText1"), (std::vector<QString>{"01/03/2024", "04/03/2024", "05/03/2024"}));
    EXPECT_EQ(sorted("QRDBText2"), (std::vector<QString>{"SM-0102", "SM-0103", "SM-0104"}));
    EXPECT_EQ(sorted("QRDBText4"),
              (std::vector<QString>{"BAUT 10MM", "CAT TEMBOK PUTIH", "KABEL NYM 2X1.5"}));
    EXPECT_EQ(sorted("QRDBText6"), (std::vector<QString>{"12", "3", "7"}));
}

TEST_P(DateRangeLayoutTest, FortyMovementsRunOnWithTheCaptionsOnEveryPageAndTheTitleOnlyOnTheFirst)
{
    const DateRange& c = *GetParam();
    static const char* codes[] = {"A0001", "B0002", "C0003"};
    for (int i = 0; i < 40; ++i)
        addMovement(QStringLiteral("SM-%1").arg(i / 4 + 1, 4, 10, QLatin1Char('0')),
                    QStringLiteral("2024-03-%1").arg(i % 28 + 1, 2, 10, QLatin1Char('0')), codes[i % 3],
                    i + 1);
    runQuery(QDate(2024, 3, 1), QDate(2024, 3, 31));
    const Document doc = layout().buildDocument();
    writeTestPdf(doc, pdfName("forty"));

    // 10.6 mm rows on a landscape page: 14 (receipts) or 13 (issues, a
    // higher title band) under the title and the captions, 16 under the
    // captions alone.
    EXPECT_EQ(textsOf(doc, "QRSysData2"), numbered(1, 40));
    const int first = c.issues ? 13 : 14;
    ASSERT_EQ(doc.pageCount(), 3);
    EXPECT_EQ(bandCount(doc.pages[0], BandType::Detail), first);
    EXPECT_EQ(bandCount(doc.pages[1], BandType::Detail), 16);
    EXPECT_EQ(bandCount(doc.pages[2], BandType::Detail), 40 - 16 - first);
    for (int n = 0; n < 3; ++n) {
        const auto& page = doc.pages[size_t(n)];
        for (const char* item : {"QRImage1", "QRLabel1", "QRLabel9", "QRSysData1"})
            EXPECT_EQ(printedCount(page, item), n == 0 ? 1 : 0) << item << " on page " << n + 1;
        EXPECT_EQ(bandCount(page, BandType::Summary), 0);
        if (n == 0)
            continue;
        // Later pages start with the captions and their rules.
        const auto* header = bandOf(page, BandType::ColumnHeader);
        ASSERT_TRUE(header);
        EXPECT_NEAR(header->top, kMargin, kPlaceTol);
        expectPlaces(page, header, c.captions);
        int rules = 0;
        for (const auto& p : page.primitives)
            rules += p.kind == Primitive::Kind::Line && p.item == header->name;
        EXPECT_EQ(rules, 2);
        EXPECT_NEAR(bandOf(page, BandType::Detail)->top, kMargin + 10.6, kPlaceTol);
    }
    // Nothing runs into the bottom margin.
    for (const auto& page : doc.pages)
        for (const auto& band : page.bands)
            EXPECT_LE(band.top + band.height, 210 - kMargin + 1e-6);
}

TEST_P(DateRangeLayoutTest, AClosedOrEmptyQueryPrintsTheTitleAndOneEmptyRow)
{
    static const char* const dataItems[] = {"QRSysData2", "QRDBText1", "QRDBText2", "QRDBText3",
                                            "QRDBText4",  "QRDBText5", "QRDBText6"};
    query()->close(); // as the report window leaves it on activation
    const Document closed = layout().buildDocument();
    writeTestPdf(closed, pdfName("closed"));
    expectEmptyPage(closed, dataItems, 7);
    expectPlaces(closed.pages[0], bandOf(closed.pages[0], BandType::Title), GetParam()->title);
    EXPECT_NEAR(bandOf(closed.pages[0], BandType::Detail)->top, kMargin + GetParam()->titleHeight, kPlaceTol);

    addMovement("SM-0201", "2024-03-10", "A0001", 4);
    runQuery(QDate(2024, 3, 11), QDate(2024, 3, 1)); // the first day after the last: nothing
    const Document empty = layout().buildDocument();
    expectEmptyPage(empty, dataItems, 7);
    EXPECT_EQ(textsOf(empty, "QRSysData1").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, DateRangeLayoutTest, ::testing::Values(&kReceipts, &kIssues),
                         [](const auto& test) { return std::string(test.param->name); });
