#include "ItemTableFixture.h"

#include "platform/ui/GridModel.h"
#include "platform/ui/GridRows.h"

#include <QCoreApplication>
#include <QFont>

namespace {

// The row window and the model, without a widget.
class GridRowsTest : public ItemTableFixture {
protected:
    void SetUp() override
    {
        ItemTableFixture::SetUp();
        rows.setVisibleRows(10);
        rows.setDataSource(source.get());
    }
    void TearDown() override
    {
        rows.setDataSource(nullptr);
        ItemTableFixture::TearDown();
    }

    // The current item's code and its place, once the rows are read.
    void expectAt(int position)
    {
        rows.synchronize();
        EXPECT_EQ(kd->asString(), code(position + 1));
        EXPECT_EQ(rows.currentPosition(), position);
        EXPECT_LE(rows.heldCount(), 21);
    }
    QString cell(int row, int column) { return model.data(model.index(row, column)).toString(); }

    ui::GridRows rows;
    ui::GridModel model{&rows};
};

TEST_F(GridRowsTest, HoldsTheRowsAroundTheCurrentOneAndCountsOnlyAfterShowingThem)
{
    fill(20000);
    table->open();
    rows.synchronize();
    EXPECT_EQ(rows.shownCount(), 10);
    EXPECT_LE(rows.heldCount(), 21);
    EXPECT_EQ(rows.currentRow(), 0);
    EXPECT_EQ(rows.currentPosition(), 0); // the first rows say so themselves
    EXPECT_EQ(rows.resultSize(), -1);
    EXPECT_EQ(table->counts, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(rows.resultSize(), 20000);
    EXPECT_EQ(table->counts, 1);

    // A key search elsewhere jumps: the rows come first, the place after.
    ASSERT_TRUE(table->findKey(code(15000)));
    rows.synchronize();
    EXPECT_EQ(cell(rows.currentRow(), 0), code(15000));
    EXPECT_LE(rows.heldCount(), 21);
    EXPECT_EQ(rows.currentPosition(), -1);
    QCoreApplication::processEvents();
    EXPECT_EQ(rows.currentPosition(), 14999);
    EXPECT_EQ(table->placeLookups, 1);
    EXPECT_EQ(table->counts, 1);
}

TEST_F(GridRowsTest, ItsOwnMovesKnowWhereTheyGoWithoutAskingThePlace)
{
    fill(20000);
    table->open();
    rows.measure();
    table->counts = 0;

    rows.moveBy(1);
    expectAt(1);
    rows.moveBy(25); // beyond the held rows
    expectAt(26);
    rows.moveToPosition(10000);
    expectAt(10000);
    rows.moveBy(-3);
    expectAt(9997);
    rows.moveToShownRow(0);
    rows.synchronize();
    expectAt(kd->asString().toInt() - 1);
    EXPECT_EQ(rows.currentRow(), 0);
    rows.moveToLast();
    expectAt(19999);
    rows.moveBy(-15);
    expectAt(19984);
    rows.moveBy(100); // stops at the last row
    expectAt(19999);
    rows.moveToPosition(500);
    expectAt(500);
    rows.moveToFirst();
    expectAt(0);
    rows.moveBy(-1);
    expectAt(0);

    QCoreApplication::processEvents();
    EXPECT_EQ(table->placeLookups, 0);
    EXPECT_EQ(table->counts, 0);
}

TEST_F(GridRowsTest, ModelGivesDisplayTextsTitlesAlignmentColoursAndTitleFonts)
{
    db->exec(QStringLiteral("INSERT INTO Barang VALUES ('10001', 'OBENG', NULL, 2.5, 'ITEM')"));
    db->exec(QStringLiteral("INSERT INTO Barang VALUES ('20001', 'PALU', 12, 0, 'PCS')"));
    table->open();
    rows.synchronize();

    ASSERT_EQ(model.columnCount(), 5);
    ASSERT_EQ(model.rowCount(), 2);
    QStringList titles, first;
    for (int c = 0; c < 5; ++c) {
        titles << model.headerData(c, Qt::Horizontal).toString();
        first << cell(0, c);
    }
    EXPECT_EQ(titles, QStringList({"KdBrg", "NamaBrg", "Stock", "Reorder", "Satuan"}));
    EXPECT_EQ(first, QStringList({"10001", "OBENG", "", "2.5", "ITEM"})); // no stock value shows empty
    EXPECT_EQ(cell(1, 2), "12");
    auto alignment = [&](int column) {
        return model.data(model.index(0, column), Qt::TextAlignmentRole).toInt();
    };
    EXPECT_TRUE(alignment(2) & Qt::AlignRight);
    EXPECT_TRUE(alignment(1) & Qt::AlignLeft);
    EXPECT_FALSE(model.headerData(0, Qt::Horizontal, Qt::FontRole).isValid());

    QFont bold(QStringLiteral("Liberation Sans"));
    bold.setBold(true);
    model.setColumns({{"Stock", "Jml Stock", 118, bold, QColor(Qt::gray)},
                      {"KdBrg", {}, -1, {}, {}},
                      {"Nothing", {}, -1, {}, {}}});
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Jml Stock");
    EXPECT_TRUE(model.headerData(0, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(model.data(model.index(1, 0), Qt::BackgroundRole).value<QColor>(), QColor(Qt::gray));
    EXPECT_FALSE(model.data(model.index(1, 1), Qt::BackgroundRole).isValid());
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "KdBrg");
    EXPECT_EQ(cell(1, 0), "12");
    EXPECT_EQ(cell(1, 1), "20001");
    EXPECT_EQ(cell(1, 2), ""); // a field the dataset does not have
    EXPECT_EQ(model.width(0), 118);
    EXPECT_EQ(model.width(1), -1);
    EXPECT_EQ(model.displayChars(1), 5);
}

// A query makes new fields at every opening; the model must never read the
// old ones, and shows the new result.
TEST_F(GridRowsTest, FollowsAQueryThroughClosingAndOpeningAgain)
{
    fill(30);
    SearchQuery search;
    data::Query& q = search.query;
    rows.setDataSource(&search.source);
    search.open(QStringLiteral("BARANG 2%"));
    rows.synchronize();
    EXPECT_EQ(cell(0, 1), "BARANG 2");
    EXPECT_EQ(model.displayChars(0), 5);

    q.close();
    EXPECT_EQ(cell(0, 1), ""); // not read yet, and the old fields are gone
    search.open(QStringLiteral("%"));
    rows.synchronize();
    EXPECT_EQ(cell(0, 0), "00001");
    EXPECT_EQ(rows.shownCount(), 10);
    QCoreApplication::processEvents();
    EXPECT_EQ(rows.resultSize(), 30);
    rows.moveToPosition(29);
    rows.synchronize();
    EXPECT_EQ(q.fieldByName(QStringLiteral("KdBrg"))->asString(), "00030");
    EXPECT_EQ(rows.currentPosition(), 29);

    q.close();
    rows.synchronize();
    EXPECT_EQ(model.columnCount(), 0);
    EXPECT_EQ(rows.shownCount(), 0);
    EXPECT_EQ(rows.resultSize(), 0);
}

// A large result is counted in steps between events; Ctrl+End needs no
// count, and a change of the rows meanwhile is counted too.
TEST_F(GridRowsTest, CountsALargeQueryInStepsAndStaysExact)
{
    fill(200000);
    SearchQuery search;
    rows.setDataSource(&search.source);
    auto countUntilKnown = [&] {
        for (int i = 0; rows.resultSize() < 0 && i < 100000; ++i)
            QCoreApplication::processEvents();
    };
    search.open(QStringLiteral("%"));
    rows.synchronize();
    QCoreApplication::processEvents();
    EXPECT_EQ(rows.resultSize(), -1); // not within one step
    rows.moveToLast();
    rows.synchronize();
    EXPECT_EQ(cell(rows.currentRow(), 0), "200000");
    countUntilKnown();
    EXPECT_EQ(rows.resultSize(), 200000);
    EXPECT_EQ(rows.currentPosition(), 199999);

    search.open(QStringLiteral("BARANG 1%"));
    rows.synchronize();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents(); // the first rows counted
    db->exec(QStringLiteral("DELETE FROM Barang WHERE KdBrg = '00001'"));
    countUntilKnown();
    EXPECT_EQ(rows.resultSize(), 111110);
}

} // namespace
