#include "ReportTestSupport.h"
#include "TestClock.h"
#include "WindowTest.h"

#include "platform/report/Fonts.h"
#include "platform/report/PageBuilder.h"
#include "platform/rtl/Errors.h"

#include <QFontMetricsF>
#include <gtest/gtest.h>

using report::BandType;
using report::Document;
using report::PageBuilder;
using report::Primitive;

namespace {

constexpr double kTol = 0.01;
// A4 portrait, 12.7 mm margins: the title band ends at 38.4, the column
// header at 49.0; on later pages the header ends at 23.3.
constexpr double kFirstRowTop = 49.0;
constexpr double kSummaryTop = 284.3 - 33.9;

} // namespace

TEST(PageBuilder, ThreeRowsAreNumberedUnderTheCaptionsWithTheSummaryAtTheFoot)
{
    auto ds = testLines(3);
    ds->rows[1][1] = 12.0;
    TestReport report(testLayoutJson(), ds.get());
    const Document doc = report.buildDocument();

    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_DOUBLE_EQ(doc.pageWidth, 210);
    EXPECT_DOUBLE_EQ(doc.pageHeight, 297);
    const auto& page = doc.pages[0];
    std::vector<BandType> order;
    for (const auto& band : page.bands)
        order.push_back(band.type);
    EXPECT_EQ(order, (std::vector<BandType>{BandType::Title, BandType::ColumnHeader, BandType::Detail,
                                            BandType::Detail, BandType::Detail, BandType::Summary}));
    EXPECT_NEAR(page.bands[0].top, 12.7, kTol);
    EXPECT_NEAR(page.bands[1].top, 38.4, kTol);
    EXPECT_NEAR(page.bands[2].top, kFirstRowTop, kTol);
    EXPECT_NEAR(page.bands[5].top, kSummaryTop, kTol);

    EXPECT_EQ(textsOf(page, "RowNo"), (std::vector<QString>{"1", "2", "3"}));
    EXPECT_EQ(textsOf(page, "Code"), (std::vector<QString>{"C1", "C2", "C3"}));
    EXPECT_EQ(textsOf(page, "Qty"), (std::vector<QString>{"1", "12", "3"}));
    const auto codes = primitivesOf(page, "Code");
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(codes[size_t(i)]->rect.left(), 12.7 + 12.7, kTol);
        EXPECT_NEAR(codes[size_t(i)]->rect.top(), kFirstRowTop + 2.1 + 10.6 * i, kTol);
    }
    // Each value sits under its caption.
    EXPECT_NEAR(primitivesOf(page, "CodeCaption")[0]->rect.left(), codes[0]->rect.left(), kTol);
    EXPECT_NEAR(primitivesOf(page, "CodeCaption")[0]->rect.top(), 38.4 + 2.1, kTol);
    EXPECT_EQ(textsOf(page, "Sign"), std::vector<QString>{"(____)"});
    EXPECT_NEAR(primitivesOf(page, "Sign")[0]->rect.top(), kSummaryTop + 27.5, kTol);
    EXPECT_EQ(textsOf(page, "Address"), std::vector<QString>{"Jl. Contoh 1, Kota"});

    // The dataset is left at its last row.
    EXPECT_TRUE(ds->eof());
    EXPECT_EQ(ds->fieldByName("Code")->asString(), "C3");
}

TEST(PageBuilder, BandRulesAndTheHeaderLineRunAcrossTheBand)
{
    auto ds = testLines(1);
    TestReport report(testLayoutJson(), ds.get());
    const Document doc = report.buildDocument();
    const auto& page = doc.pages[0];

    auto lineAt = [](const std::vector<const Primitive*>& prims, double y) -> const Primitive* {
        for (const auto* p : prims)
            if (p->kind == Primitive::Kind::Line && std::abs(p->rect.top() - y) < kTol)
                return p;
        return nullptr;
    };
    const auto* titleRule = lineAt(primitivesOf(page, "Title"), 38.4);
    ASSERT_TRUE(titleRule);
    EXPECT_NEAR(titleRule->rect.left(), 12.7, kTol);
    EXPECT_NEAR(titleRule->rect.right(), 197.3, kTol);
    EXPECT_EQ(primitivesOf(page, "Title").size(), 1u); // no rule at its top
    EXPECT_TRUE(lineAt(primitivesOf(page, "Header"), 38.4));
    EXPECT_TRUE(lineAt(primitivesOf(page, "Header"), 49.0));
    EXPECT_TRUE(lineAt(primitivesOf(page, "Summary"), kSummaryTop));
    EXPECT_TRUE(primitivesOf(page, "Detail").empty());

    // Through the middle of its box: 38.4 + 8.5 + 2.1 / 2.
    const auto* rule = lineAt(primitivesOf(page, "Rule"), 47.95);
    ASSERT_TRUE(rule);
    EXPECT_NEAR(rule->rect.left(), 12.7, kTol);
    EXPECT_NEAR(rule->rect.width(), 184.4, kTol);
}

TEST(PageBuilder, ALongDocumentRepeatsTheColumnHeaderButNotTheTitle)
{
    auto ds = testLines(50);
    TestReport report(testLayoutJson(), ds.get());
    const Document doc = report.buildDocument();

    // 22 rows fit under the title, 24 on a page that starts with the header.
    ASSERT_EQ(doc.pageCount(), 3);
    EXPECT_EQ(bandCount(doc.pages[0], BandType::Detail), 22);
    EXPECT_EQ(bandCount(doc.pages[1], BandType::Detail), 24);
    EXPECT_EQ(bandCount(doc.pages[2], BandType::Detail), 4);
    for (int p = 0; p < 3; ++p) {
        const auto& page = doc.pages[size_t(p)];
        EXPECT_EQ(bandCount(page, BandType::Title), p == 0 ? 1 : 0);
        EXPECT_EQ(bandCount(page, BandType::ColumnHeader), 1);
        EXPECT_EQ(bandCount(page, BandType::Summary), p == 2 ? 1 : 0);
        EXPECT_EQ(textsOf(page, "CodeCaption"), std::vector<QString>{"Kode"});
        EXPECT_EQ(textsOf(page, "Heading").size(), p == 0 ? 1u : 0u);
        EXPECT_EQ(primitivesOf(page, "Logo").size(), p == 0 ? 1u : 0u);
    }
    EXPECT_NEAR(placedBand(doc.pages[1], BandType::ColumnHeader)->top, 12.7, kTol);
    EXPECT_NEAR(placedBand(doc.pages[1], BandType::Detail)->top, 23.3, kTol);
    EXPECT_NEAR(placedBand(doc.pages[2], BandType::Summary)->top, kSummaryTop, kTol);
    EXPECT_EQ(textsOf(doc.pages[1], "RowNo").front(), "23");
    EXPECT_EQ(textsOf(doc.pages[2], "RowNo").back(), "50");

    std::vector<QString> expected;
    for (int i = 1; i <= 50; ++i)
        expected.push_back(QString::number(i));
    EXPECT_EQ(textsOf(doc, "RowNo"), expected);
    // Nothing runs into the bottom margin.
    for (const auto& page : doc.pages)
        for (const auto& band : page.bands)
            EXPECT_LE(band.top + band.height, 284.3 + kTol);
}

TEST(PageBuilder, TheSummaryTakesANewPageOnlyWhenItDoesNotFitUnderTheLastRow)
{
    {
        auto ds = testLines(19); // the last row ends exactly where the summary starts
        TestReport report(testLayoutJson(), ds.get());
        const Document doc = report.buildDocument();
        ASSERT_EQ(doc.pageCount(), 1);
        EXPECT_NEAR(placedBand(doc.pages[0], BandType::Summary)->top, kSummaryTop, kTol);
    }
    {
        auto ds = testLines(20);
        TestReport report(testLayoutJson(), ds.get());
        const Document doc = report.buildDocument();
        ASSERT_EQ(doc.pageCount(), 2);
        EXPECT_EQ(bandCount(doc.pages[0], BandType::Summary), 0);
        EXPECT_EQ(bandCount(doc.pages[1], BandType::Detail), 0);
        EXPECT_EQ(bandCount(doc.pages[1], BandType::Summary), 1);
        EXPECT_NEAR(placedBand(doc.pages[1], BandType::Summary)->top, kSummaryTop, kTol);
    }
}

TEST(PageBuilder, AnEmptyOrClosedDataSetPrintsTitleOneEmptyDetailAndSummaryWithoutCaptions)
{
    auto empty = testLines(0);
    auto closed = testLines(3);
    closed->close();
    for (data::DataSet* ds :
         {static_cast<data::DataSet*>(empty.get()), static_cast<data::DataSet*>(closed.get()),
          static_cast<data::DataSet*>(nullptr)}) {
        TestReport report(testLayoutJson(), ds);
        const Document doc = report.buildDocument();
        ASSERT_EQ(doc.pageCount(), 1);
        const auto& page = doc.pages[0];
        std::vector<BandType> order;
        for (const auto& band : page.bands)
            order.push_back(band.type);
        EXPECT_EQ(order, (std::vector<BandType>{BandType::Title, BandType::Detail, BandType::Summary}));
        EXPECT_NEAR(page.bands[1].top, 38.4, kTol);
        EXPECT_TRUE(primitivesOf(page, "NoCaption").empty());
        EXPECT_TRUE(primitivesOf(page, "Rule").empty());
        EXPECT_TRUE(primitivesOf(page, "Code").empty());
        EXPECT_TRUE(primitivesOf(page, "Qty").empty());
        EXPECT_TRUE(primitivesOf(page, "RowNo").empty());
        EXPECT_EQ(textsOf(page, "Heading"), std::vector<QString>{"Heading"});
        EXPECT_EQ(textsOf(page, "Sign"), std::vector<QString>{"(____)"});
    }
}

TEST(PageBuilder, WithoutPrintIfEmptyAnEmptyDataSetGivesNoPages)
{
    auto ds = testLines(0);
    QByteArray json = testLayoutJson();
    json.replace("\"dataSet\"", "\"printIfEmpty\": false, \"dataSet\"");
    TestReport report(json, ds.get());
    EXPECT_EQ(report.buildDocument().pageCount(), 0);
}

TEST(PageBuilder, AFieldTheDataSetLacksIsReportedWithTheDataSetsName)
{
    auto ds = testLines(2);
    TestReport report(
        testLayoutJson(
            R"json({ "name": "Bad", "kind": "dbText", "dataField": "Nope", "left": 50, "top": 2 })json"),
        ds.get());
    try {
        report.buildDocument();
        FAIL() << "no error";
    } catch (const rtl::DatabaseError& e) {
        EXPECT_EQ(e.message(), "Lines: Field 'Nope' not found");
    }
}

TEST(PageBuilder, TextItemsSizeAlignWrapAndStampAsTheirSettingsSay)
{
    setClock(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
    auto ds = testLines(1);
    ds->rows[0][0] = QStringLiteral("alpha beta gamma delta epsilon");
    ds->close();
    ds->open();
    TestReport report(
        testLayoutJson(
            R"json({ "name": "Stamp", "kind": "sysData", "data": "qrsDateTime", "text": "Dicetak :", "left": 60, "top": 2 },
        { "name": "Right", "kind": "dbText", "dataField": "Qty", "alignment": "right", "autoSize": false, "left": 100, "top": 2, "width": 12.2 },
        { "name": "RightAuto", "kind": "dbText", "dataField": "Code", "alignment": "right", "left": 100, "top": 6, "width": 10 },
        { "name": "Wrapped", "kind": "dbText", "dataField": "Code", "autoSize": false, "left": 130, "top": 1, "width": 20, "height": 8.5 })json"),
        ds.get());
    const Document doc = report.buildDocument();
    const auto& page = doc.pages[0];

    EXPECT_EQ(textsOf(page, "Stamp"), std::vector<QString>{"Dicetak :05/03/2024 14:07:09"});

    // Right-aligned: the text ends at the right edge of its box.
    const auto* right = primitivesOf(page, "Right").at(0);
    EXPECT_NEAR(right->rect.right(), 12.7 + 100 + 12.2, kTol);
    const auto* rightAuto = primitivesOf(page, "RightAuto").at(0);
    EXPECT_NEAR(rightAuto->rect.right(), 12.7 + 110, kTol);
    EXPECT_GT(rightAuto->rect.width(), 10); // sized to its text, growing to the left

    // A fixed box wraps at its width and cuts what falls below it: two lines
    // of about 4 mm fit in 8.5 mm, the third starts below and is dropped.
    const auto wrapped = primitivesOf(page, "Wrapped");
    ASSERT_EQ(wrapped.size(), 3u);
    EXPECT_EQ(wrapped[0]->text, "alpha beta");
    EXPECT_GT(report::textWidth(wrapped[0]->font, "alpha beta gamma"), 20);
    for (const auto* p : wrapped) {
        EXPECT_LE(p->rect.width(), 20 + kTol);
        EXPECT_NEAR(p->rect.left(), 12.7 + 130, kTol);
    }
    EXPECT_FALSE(wrapped[2]->clip.isEmpty());
    EXPECT_NEAR(wrapped[2]->clip.bottom(), kFirstRowTop + 1 + 8.5, kTol);
    EXPECT_GT(wrapped[2]->rect.bottom(), wrapped[2]->clip.bottom());
}

TEST(PageBuilder, ALogoIsDrawnAtItsNaturalSizeClippedToItsBoxOrStretchedToFillIt)
{
    auto ds = testLines(1);
    {
        TestReport report(testLayoutJson(), ds.get());
        const Document doc = report.buildDocument();
        const auto* logo = primitivesOf(doc.pages[0], "Logo").at(0);
        ASSERT_EQ(logo->kind, Primitive::Kind::Image);
        EXPECT_EQ(doc.images.at(size_t(logo->image)).size(), QSize(81, 81));
        // 81 pixels at 96 per inch.
        EXPECT_NEAR(logo->rect.width(), 81 / 96.0 * 25.4, 1e-9);
        EXPECT_NEAR(logo->rect.left(), 12.7 + 11.4, kTol);
        EXPECT_NEAR(logo->rect.top(), 12.7 + 3.2, kTol);
        EXPECT_NEAR(logo->clip.width(), 21.4, kTol);
        EXPECT_NEAR(logo->clip.height(), 21.4, kTol);
    }
    {
        QByteArray json = testLayoutJson();
        json.replace("\"height\": 21.4 }", "\"height\": 21.4, \"stretch\": true }");
        TestReport report(json, ds.get());
        const Document doc = report.buildDocument();
        const auto* logo = primitivesOf(doc.pages[0], "Logo").at(0);
        EXPECT_NEAR(logo->rect.width(), 21.4, kTol);
        EXPECT_NEAR(logo->rect.height(), 21.4, kTol);
        EXPECT_TRUE(logo->clip.isEmpty());
    }
}

TEST(PageBuilder, LandscapeTurnsThePage)
{
    auto ds = testLines(40);
    TestReport report(testLayoutJson({}, QStringLiteral("landscape")), ds.get());
    const Document doc = report.buildDocument();
    EXPECT_DOUBLE_EQ(doc.pageWidth, 297);
    EXPECT_DOUBLE_EQ(doc.pageHeight, 210);
    EXPECT_NEAR(primitivesOf(doc.pages[0], "Title")[0]->rect.right(), 297 - 12.7, kTol);
    // (197.3 - 49.0) / 10.6 rows under the title.
    EXPECT_EQ(bandCount(doc.pages[0], BandType::Detail), 13);
    EXPECT_EQ(textsOf(doc, "RowNo").size(), 40u);
}

TEST(PageBuilder, InStepsTheRowsComeOutOnceEachEvenWhenOthersMoveTheRowInBetween)
{
    auto ds = testLines(60);
    TestReport report(testLayoutJson(), ds.get());
    const Document whole = report.buildDocument();

    PageBuilder builder(report.layout(), ds.get());
    EXPECT_FALSE(builder.step(10));
    EXPECT_EQ(builder.completedPages(), 0);
    int steps = 1;
    while (!builder.step(7)) {
        ds->first(); // a bound grid moves the shared current row
        ++steps;
    }
    EXPECT_GT(steps, 5);
    EXPECT_EQ(builder.completedPages(), 3);
    const Document stepped = builder.takeDocument();
    EXPECT_EQ(textsOf(stepped, "RowNo"), textsOf(whole, "RowNo"));
    EXPECT_EQ(textsOf(stepped, "Code"), textsOf(whole, "Code"));
    EXPECT_EQ(ds->fieldByName("Code")->asString(), "C60");
}

TEST(PageBuilder, ADataSetReopenedBetweenStepsEndsTheDocumentIncompleteWithoutTheSummary)
{
    auto ds = testLines(60);
    ds->fieldsPerOpen = true; // closing drops the fields, as a query does
    ds->columnsOnOpen = {{QStringLiteral("Code"), data::FieldType::String},
                         {QStringLiteral("Qty"), data::FieldType::Float}};
    QByteArray json = testLayoutJson();
    json.replace(R"("left": 21.2, "top": 27.5 })", R"("left": 21.2, "top": 27.5 },
        { "name": "LastCode", "kind": "dbText", "dataField": "Code", "left": 120, "top": 27.5 })");
    TestReport report(json, ds.get());
    EXPECT_TRUE(report.buildDocument().complete);

    PageBuilder builder(report.layout(), ds.get());
    EXPECT_FALSE(builder.step(10));
    ds->changedByOthers();
    EXPECT_TRUE(builder.step(10));
    const Document doc = builder.takeDocument();
    EXPECT_EQ(textsOf(doc, "RowNo").size(), 10u);
    // Signature blocks under a cut-off list would pass it off as whole.
    EXPECT_FALSE(doc.complete);
    EXPECT_EQ(bandCount(doc.pages.back(), BandType::Summary), 0);

    // Closed in between: the same, and nothing reads the dropped fields.
    PageBuilder again(report.layout(), ds.get());
    EXPECT_FALSE(again.step(5));
    ds->close();
    EXPECT_TRUE(again.step(5));
    EXPECT_EQ(textsOf(again.document(), "RowNo").size(), 5u);
    EXPECT_FALSE(again.document().complete);
    EXPECT_TRUE(textsOf(again.document(), "LastCode").empty());
}

TEST(PageBuilder, FieldsMadeAgainWithoutNoticeBetweenStepsAreLookedUpAgain)
{
    auto ds = testLines(60);
    ds->fieldsPerOpen = true;
    // Run again with its columns in another order.
    ds->columnsOnOpen = {{QStringLiteral("Qty"), data::FieldType::Float},
                         {QStringLiteral("Code"), data::FieldType::String}};
    QByteArray json = testLayoutJson();
    json.replace(R"("left": 21.2, "top": 27.5 })", R"("left": 21.2, "top": 27.5 },
        { "name": "LastCode", "kind": "dbText", "dataField": "Code", "left": 120, "top": 27.5 })");
    TestReport report(json, ds.get());
    PageBuilder builder(report.layout(), ds.get());
    EXPECT_FALSE(builder.step(10));
    // Its controls are disabled meanwhile, so the builder hears nothing.
    ds->disableControls();
    ds->close();
    for (auto& row : ds->rows)
        std::swap(row[0], row[1]);
    ds->open();
    builder.finish();
    ds->enableControls();

    const Document doc = builder.takeDocument();
    std::vector<QString> codes;
    std::vector<QString> quantities;
    for (int i = 1; i <= 60; ++i) {
        codes.push_back(QStringLiteral("C%1").arg(i));
        quantities.push_back(QString::number(i));
    }
    EXPECT_EQ(textsOf(doc, "Code"), codes);
    EXPECT_EQ(textsOf(doc, "Qty"), quantities);
    EXPECT_EQ(textsOf(doc, "LastCode"), std::vector<QString>{"C60"});
}

namespace {
// Counts the rows a dataset reads. Like a query's result it reads forward
// only: reaching its last row reads every row.
class CountingDataSet : public MemoryDataSet {
public:
    using MemoryDataSet::MemoryDataSet;
    qint64 rowsRead = 0;

    qint64 recordCount() override
    {
        rowsRead += qint64(rows.size());
        return MemoryDataSet::recordCount();
    }
    std::vector<data::Row> fetchRows(const std::optional<data::Bookmark>& from, int count,
                                     bool forward) override
    {
        auto result = MemoryDataSet::fetchRows(from, count, forward);
        rowsRead += qint64(result.size());
        return result;
    }

protected:
    bool counted(bool found)
    {
        rowsRead += found;
        return found;
    }
    // A query reaches its last row only by reading every row.
    bool fetchOne(const std::optional<data::Bookmark>& from, bool forward, data::Row& out) override
    {
        if (!from && !forward)
            rowsRead += qint64(rows.size());
        return MemoryDataSet::fetchOne(from, forward, out);
    }
    bool fetchAt(const data::Bookmark& at, data::Row& out) override
    {
        return counted(MemoryDataSet::fetchAt(at, out));
    }
};
} // namespace

TEST(PageBuilder, AbandoningReadsNoFurtherRowsWhateverTheSize)
{
    for (int size : {100, 100000}) {
        CountingDataSet ds(QStringLiteral("Lines"), {{QStringLiteral("Code"), data::FieldType::String},
                                                     {QStringLiteral("Qty"), data::FieldType::Float}});
        for (int i = 1; i <= size; ++i)
            ds.rows.push_back({QStringLiteral("C%1").arg(i), double(i)});
        ds.open();
        TestReport report(testLayoutJson(), &ds);
        PageBuilder builder(report.layout(), &ds);
        EXPECT_FALSE(builder.step(3));
        const qint64 read = ds.rowsRead;
        builder.abandon();
        EXPECT_TRUE(builder.finished());
        EXPECT_EQ(ds.rowsRead, read) << size << " rows";
        // Where the walk stopped: the next row it would have printed.
        EXPECT_EQ(ds.fieldByName("Code")->asString(), "C4");
    }
}

class PageBuilderOnTable : public WindowTest {};

TEST_F(PageBuilderOnTable, AbandoningLeavesATableAtItsLastRowAsAWholeRunDoes)
{
    db().exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 60) "
              "INSERT INTO Barang (KdBrg, NamaBrg, Stock, Reorder, Satuan) "
              "SELECT printf('%05d', i), 'BARANG', i, 1, 'PCS' FROM n");
    QByteArray json = testLayoutJson();
    json.replace(R"("dataField": "Code")", R"("dataField": "KdBrg")")
        .replace(R"("dataField": "Qty")", R"("dataField": "Stock")");
    TestReport report(json, FDM->TBarang);
    PageBuilder builder(report.layout(), FDM->TBarang);
    EXPECT_FALSE(builder.step(3));
    builder.abandon();
    EXPECT_EQ(FDM->TBarangKdBrg->asString(), "00060");
}

TEST(TextWidth, IsTheWidthOfTheWholeTextShapedAtOnce)
{
    // Kerning pairs, ligatures, spaces, digits and text outside plain ASCII.
    const QStringList texts = {"AV",
                               "To LT Yo",
                               "KABEL 123 HITAM",
                               "0100001/DBK/12/2026",
                               "19919",
                               "1.234,50",
                               "office affluent ffi",
                               "Wa. Tj, \"P\"",
                               "  two  spaces ",
                               "Rp 5.000 - é ñ",
                               "x"};
    const QString arial = QStringLiteral("Arial");
    for (const report::FontSpec& spec :
         {report::FontSpec{arial, 10, false, false}, report::FontSpec{arial, 12, true, false},
          report::FontSpec{arial, 8, false, true}}) {
        const QFontMetricsF shaped(report::textFont(spec));
        for (int round = 0; round < 2; ++round) // measured, then from what was kept
            for (const QString& text : texts)
                EXPECT_EQ(report::textWidth(spec, text),
                          shaped.horizontalAdvance(text) / report::kTextUnitsPerMm)
                    << text.toStdString() << " at " << spec.pointSize;
    }
}
