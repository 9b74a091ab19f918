#include "DialogScript.h"
#include "TempDatabase.h"

#include "platform/data/DataSource.h"
#include "platform/data/Query.h"
#include "platform/data/Table.h"
#include "platform/ui/Application.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DBText.h"

#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

// An item table with its own table object, data source and a grid on it.
class DBGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = std::make_unique<TempDatabase>();
        table = std::make_unique<data::Table>(QStringLiteral("TBarang"));
        table->setDatabaseName(QStringLiteral("Stock"));
        table->setTableName(QStringLiteral("Barang.db"));
        kd = table->addField(QStringLiteral("TBarangKdBrg"), QStringLiteral("KdBrg"), data::FieldType::String, 5);
        nama = table->addField(QStringLiteral("TBarangNamaBrg"), QStringLiteral("NamaBrg"), data::FieldType::String, 20);
        stock = table->addField(QStringLiteral("TBarangStock"), QStringLiteral("Stock"), data::FieldType::Float);
        reorder = table->addField(QStringLiteral("TBarangReorder"), QStringLiteral("Reorder"), data::FieldType::Float);
        satuan = table->addField(QStringLiteral("TBarangSatuan"), QStringLiteral("Satuan"), data::FieldType::String, 10);
        source = std::make_unique<data::DataSource>(QStringLiteral("DsBarang"), table.get());
        grid = std::make_unique<ui::DBGrid>();
        grid->resize(457, 297);
        grid->setDataSource(source.get());
        grid->show();
    }
    void TearDown() override
    {
        grid.reset();
        source.reset();
        table.reset();
        db.reset();
    }

    // Items "00001", "00002", ... with a name and a stock of their number.
    void fill(int count)
    {
        db->exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                "INSERT INTO Barang (KdBrg, NamaBrg, Stock, Reorder, Satuan) "
                                "SELECT printf('%05d', i), 'BARANG ' || i, i, 5, 'ITEM' FROM n")
                     .arg(count));
    }

    static QString code(int i) { return QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0')); }

    QString row(int r)
    {
        QStringList cells;
        for (int c = 0; c < grid->columnCount(); ++c)
            cells << grid->cellText(r, c);
        return cells.join(QLatin1Char('|'));
    }
    QString currentCode() { return grid->currentRow() < 0 ? QString() : grid->cellText(grid->currentRow(), 0); }
    void clickRow(int r) { QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(r, 1).center()); }

    std::unique_ptr<TempDatabase> db;
    std::unique_ptr<data::Table> table;
    data::Field *kd, *nama, *stock, *reorder, *satuan;
    std::unique_ptr<data::DataSource> source;
    std::unique_ptr<ui::DBGrid> grid;
};

TEST_F(DBGridTest, ShowsEveryFieldUnderItsNameOrTheGridsOwnColumns)
{
    db->exec(QStringLiteral("INSERT INTO Barang VALUES ('10001', 'OBENG', NULL, 2.5, 'ITEM')"));
    db->exec(QStringLiteral("INSERT INTO Barang VALUES ('20001', 'PALU', 12, 0, 'PCS')"));
    table->open();

    ASSERT_EQ(grid->columnCount(), 5);
    QStringList titles;
    for (int c = 0; c < 5; ++c)
        titles << grid->columnTitle(c);
    EXPECT_EQ(titles, QStringList({"KdBrg", "NamaBrg", "Stock", "Reorder", "Satuan"}));
    // A missing stock displays empty; whole numbers without decimals.
    EXPECT_EQ(row(0), "10001|OBENG||2.5|ITEM");
    EXPECT_EQ(row(1), "20001|PALU|12|0|PCS");
    EXPECT_EQ(grid->rowCount(), 2);

    QFont bold = grid->font();
    bold.setBold(true);
    grid->setColumns({{"Stock", "Jml Stock", 118, bold, QColor(Qt::gray)}, {"KdBrg", {}, -1, {}, {}}});
    ASSERT_EQ(grid->columnCount(), 2);
    EXPECT_EQ(grid->columnTitle(0), "Jml Stock");
    EXPECT_EQ(grid->columnWidth(0), 118);
    EXPECT_EQ(grid->columnTitle(1), "KdBrg");
    EXPECT_GT(grid->columnWidth(1), 0);
    EXPECT_EQ(row(1), "12|20001");
}

TEST_F(DBGridTest, ClosedOrEmptyDataSetShowsNoRows)
{
    EXPECT_EQ(grid->rowCount(), 0);
    table->open();
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_EQ(grid->currentRow(), -1);
    fill(3);
    table->close();
    table->open();
    EXPECT_EQ(grid->rowCount(), 3);
    table->close();
    EXPECT_EQ(grid->rowCount(), 0);
}

TEST_F(DBGridTest, FollowsTheCurrentRowAndMovesItByClicksAndKeys)
{
    fill(30);
    table->open();
    EXPECT_EQ(currentCode(), "00001");
    EXPECT_EQ(grid->currentRow(), 0);

    ASSERT_TRUE(table->findKey(QStringLiteral("00025")));
    EXPECT_EQ(currentCode(), "00025");

    table->first();
    clickRow(3);
    EXPECT_EQ(kd->asString(), "00004");
    EXPECT_EQ(grid->currentRow(), 3);

    QTest::keyClick(grid.get(), Qt::Key_Down);
    EXPECT_EQ(kd->asString(), "00005");
    QTest::keyClick(grid.get(), Qt::Key_Up);
    QTest::keyClick(grid.get(), Qt::Key_Up);
    EXPECT_EQ(kd->asString(), "00003");

    // Moving past the last shown row scrolls by one row.
    const int fit = grid->rowsThatFit();
    table->first();
    for (int i = 0; i < fit; ++i)
        QTest::keyClick(grid.get(), Qt::Key_Down);
    EXPECT_EQ(kd->asString(), code(fit + 1));
    EXPECT_EQ(grid->currentRow(), fit - 1);
    EXPECT_EQ(grid->cellText(0, 0), "00002");

    QTest::keyClick(grid.get(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(kd->asString(), "00030");
    EXPECT_EQ(grid->currentRow(), grid->rowCount() - 1);
    QTest::keyClick(grid.get(), Qt::Key_Down); // nothing below the last row
    EXPECT_EQ(kd->asString(), "00030");
    QTest::keyClick(grid.get(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(kd->asString(), "00001");
    EXPECT_EQ(grid->currentRow(), 0);
}

TEST_F(DBGridTest, KeepsUpWithAppendsEditsAndDeletes)
{
    fill(3);
    table->open();
    ASSERT_EQ(grid->rowCount(), 3);

    table->append();
    kd->setAsString(QStringLiteral("0000AB"));
    nama->setAsString(QStringLiteral("BARU"));
    satuan->setAsString(QStringLiteral("KG"));
    table->post();
    EXPECT_EQ(grid->rowCount(), 4);
    EXPECT_EQ(row(3), "0000A|BARU|||KG"); // in key order, the key cut to 5
    EXPECT_EQ(currentCode(), "0000A");

    ASSERT_TRUE(table->findKey(QStringLiteral("00001")));
    table->edit();
    nama->setAsString(QStringLiteral("DIGANTI"));
    stock->setAsFloat(7);
    table->post();
    EXPECT_EQ(row(0), "00001|DIGANTI|7|5|ITEM");

    table->deleteRecord();
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(row(0), "00002|BARANG 2|2|5|ITEM");
    EXPECT_EQ(currentCode(), "00002");

    // A write that did not come through the dataset shows once the dataset
    // says its rows changed.
    db->exec(QStringLiteral("DELETE FROM Barang"));
    table->refresh();
    EXPECT_EQ(grid->rowCount(), 0);
}

TEST_F(DBGridTest, ARowBeingAppendedShowsAtTheCurrentPlaceUntilPostedOrDropped)
{
    fill(3);
    table->open();
    ASSERT_TRUE(table->findKey(QStringLiteral("00002")));
    EXPECT_EQ(grid->currentRow(), 1);
    table->append();
    kd->setAsString(QStringLiteral("99999"));
    EXPECT_EQ(grid->rowCount(), 4);
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_EQ(grid->cellText(1, 0), "99999");
    table->cancel();
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(currentCode(), "00002");
}

// A large table opens as cheaply as a small one: the grid holds about three
// windows of rows, and its scroll bar has three places.
TEST_F(DBGridTest, LargeTableIsFetchedAWindowAtATime)
{
    fill(20000);
    table->open();
    const int fit = grid->rowsThatFit();
    EXPECT_EQ(grid->rowCount(), fit);
    EXPECT_FALSE(grid->exactScrollBar());
    EXPECT_LE(grid->fetchedRowCount(), 2 * fit + 1);
    QScrollBar* bar = grid->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->minimum());

    QTest::keyClick(grid.get(), Qt::Key_PageDown);
    EXPECT_EQ(kd->asString(), code(fit + 1));
    EXPECT_GT(bar->value(), bar->minimum());
    EXPECT_LT(bar->value(), bar->maximum());

    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(kd->asString(), "20000");
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(grid->currentRow(), fit - 1);
    EXPECT_EQ(grid->cellText(fit - 1, 0), kd->asString());
    EXPECT_LE(grid->fetchedRowCount(), 2 * fit + 1);

    // A jump into the middle keeps the current row's place on screen.
    ASSERT_TRUE(table->findKey(QStringLiteral("15000")));
    EXPECT_EQ(currentCode(), "15000");
    EXPECT_EQ(grid->currentRow(), fit - 1);
    EXPECT_EQ(grid->cellText(0, 0), code(15000 - fit + 1));
    EXPECT_LE(grid->fetchedRowCount(), 2 * fit + 1);

    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(kd->asString(), "00001");
    EXPECT_EQ(bar->value(), bar->minimum());
}

TEST_F(DBGridTest, SmallResultHasAnExactScrollBar)
{
    fill(40);
    table->open();
    EXPECT_TRUE(grid->exactScrollBar());
    QScrollBar* bar = grid->verticalScrollBar();
    EXPECT_EQ(bar->maximum(), 39);
    ASSERT_TRUE(table->findKey(QStringLiteral("00020")));
    grid->synchronize();
    EXPECT_EQ(bar->value(), 19);
    bar->setSliderPosition(30);
    EXPECT_EQ(kd->asString(), "00031");
    EXPECT_EQ(currentCode(), "00031");
}

TEST_F(DBGridTest, ReadsRowsOfAQuery)
{
    fill(5);
    data::Query q(QStringLiteral("QCari"));
    q.setDatabaseName(QStringLiteral("Stock"));
    q.setSql({QStringLiteral("Select KdBrg,NamaBrg"), QStringLiteral("From Barang"),
              QStringLiteral("Where NamaBrg Like:Barang")});
    data::DataSource ds(QStringLiteral("DsQCari"), &q);
    grid->setDataSource(&ds);
    ui::DBText text;
    text.setDataSource(&ds);
    text.setDataField(QStringLiteral("KdBrg"));

    q.paramByName(QStringLiteral("Barang")).setAsString(QStringLiteral("BARANG 3%"));
    q.open();
    ASSERT_EQ(grid->columnCount(), 2);
    EXPECT_EQ(grid->columnTitle(1), "NamaBrg");
    EXPECT_EQ(row(0), "00003|BARANG 3");
    EXPECT_EQ(text.text(), "00003");

    q.close();
    q.paramByName(QStringLiteral("Barang")).setAsString(QStringLiteral("%"));
    q.open();
    EXPECT_EQ(grid->rowCount(), 5);
    clickRow(4);
    EXPECT_EQ(text.text(), "00005");

    q.close();
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_EQ(text.text(), "");
    grid->setDataSource(nullptr);
}

TEST_F(DBGridTest, TabWalksTheColumnsBeforeLeavingTheGrid)
{
    fill(2);
    table->open();
    QWidget holder;
    grid->setParent(&holder);
    QWidget after(&holder);
    after.setFocusPolicy(Qt::StrongFocus);
    holder.show();
    grid->setFocus();
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(grid.get(), Qt::Key_Tab);
    EXPECT_EQ(grid->currentColumn(), 4);
    QTest::keyClick(grid.get(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(grid->currentColumn(), 3);
    EXPECT_EQ(holder.focusWidget(), grid.get());
    QTest::keyClick(grid.get(), Qt::Key_Tab);
    QTest::keyClick(grid.get(), Qt::Key_Tab); // past the last column
    EXPECT_EQ(holder.focusWidget(), &after);
    EXPECT_EQ(grid->currentColumn(), 4);
    grid->setParent(nullptr);
}

TEST(DBTextTest, ShowsTheDisplayTextOfOneFieldOfTheCurrentRow)
{
    TempDatabase db;
    db.exec(QStringLiteral("INSERT INTO Barang VALUES ('10001', 'OBENG', 3, 1, 'ITEM')"));
    db.exec(QStringLiteral("INSERT INTO Barang VALUES ('10002', 'PALU', NULL, 1, 'PCS')"));
    data::Table t(QStringLiteral("TBarang"));
    t.setDatabaseName(QStringLiteral("Stock"));
    t.setTableName(QStringLiteral("Barang.db"));
    t.addField(QStringLiteral("TBarangKdBrg"), QStringLiteral("KdBrg"), data::FieldType::String, 5);
    t.addField(QStringLiteral("TBarangStock"), QStringLiteral("Stock"), data::FieldType::Float);
    data::DataSource ds(QStringLiteral("DsBarang"), &t);
    ui::DBText text;
    text.setDataSource(&ds);
    text.setDataField(QStringLiteral("Stock"));
    EXPECT_EQ(text.text(), "");
    t.open();
    EXPECT_EQ(text.text(), "3");
    t.next();
    EXPECT_EQ(text.text(), ""); // no stock value
    text.setDataField(QStringLiteral("NoSuchField"));
    EXPECT_EQ(text.text(), "");
    text.setDataSource(nullptr);
}

} // namespace
