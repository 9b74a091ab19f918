#include "DialogScript.h"
#include "ItemTableFixture.h"

#include "platform/ui/Application.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DBText.h"

#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>

#include <functional>
#include <utility>
#include <vector>

namespace {

// A grid on the item table, shown, as the item input window has it.
class DBGridTest : public ItemTableFixture {
protected:
    void SetUp() override
    {
        ItemTableFixture::SetUp();
        grid = std::make_unique<ui::DBGrid>();
        grid->resize(457, 297);
        grid->setDataSource(source.get());
        grid->show();
    }
    void TearDown() override
    {
        grid.reset();
        ItemTableFixture::TearDown();
    }

    QString row(int r)
    {
        QStringList cells;
        for (int c = 0; c < grid->columnCount(); ++c)
            cells << grid->cellText(r, c);
        return cells.join(QLatin1Char('|'));
    }
    QString currentCode()
    {
        return grid->currentRow() < 0 ? QString() : grid->cellText(grid->currentRow(), 0);
    }
    void clickRow(int r)
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(r, 1).center());
    }

    std::unique_ptr<ui::DBGrid> grid;
};

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

// A change repaints only the rows it touches: after each one the screen
// shows what a whole paint of the grid shows.
TEST_F(DBGridTest, RepaintsEveryRowAChangeTouches)
{
    fill(5);
    table->open();
    const auto onScreen = [&] {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        QWidget* vp = grid->viewport();
        const QPoint at = vp->mapTo(grid.get(), QPoint(0, 0));
        return grid->screen()->grabWindow(grid->winId(), at.x(), at.y(), vp->width(), vp->height()).toImage();
    };
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"edit",
         [&] {
             ASSERT_TRUE(table->findKey(QStringLiteral("00003")));
             table->edit();
             nama->setAsString(QStringLiteral("DIGANTI"));
             table->post();
         }},
        {"move", [&] { table->next(); }},
        {"append",
         [&] {
             table->append();
             kd->setAsString(QStringLiteral("00009"));
             table->post();
         }},
        {"delete",
         [&] {
             ASSERT_TRUE(table->findKey(QStringLiteral("00002")));
             table->deleteRecord();
         }},
        {"reread",
         [&] {
             db->exec(QStringLiteral("UPDATE Barang SET Stock = 9 WHERE KdBrg = '00004'"));
             table->refresh();
         }},
    };
    onScreen();
    for (const auto& [name, change] : changes) {
        change();
        const QImage shown = onScreen().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown, grid->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32)) << name;
    }
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

// Drags the scroll bar's handle with the mouse to a fraction of its way.
void dragHandle(QScrollBar* bar, double fraction)
{
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.subControls = QStyle::SC_All;
    opt.orientation = bar->orientation();
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = bar->sliderPosition();
    opt.sliderValue = bar->value();
    opt.singleStep = bar->singleStep();
    opt.pageStep = bar->pageStep();
    const QRect handle =
        bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, bar);
    const QRect groove =
        bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarGroove, bar);
    const int top = groove.top() + int(fraction * (groove.height() - handle.height()));
    const QPoint to = handle.center() + QPoint(0, top - handle.top());
    QTest::mousePress(bar, Qt::LeftButton, {}, handle.center());
    QTest::mouseMove(bar, to);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, to);
}

// The bar stands for the current row's place among all rows, whatever their
// number; the grid holds a few screenfuls of them at most.
TEST_F(DBGridTest, ScrollBarStandsForTheCurrentRowsPlaceInTheWholeResult)
{
    fill(20000);
    table->open();
    const int fit = grid->rowsThatFit();
    EXPECT_EQ(grid->rowCount(), fit);
    EXPECT_LE(grid->fetchedRowCount(), 2 * fit + 1);
    grid->synchronize();
    QScrollBar* bar = grid->verticalScrollBar();
    EXPECT_EQ(bar->maximum(), 19999);
    EXPECT_EQ(bar->value(), 0);

    dragHandle(bar, 0.5);
    const int middle = kd->asString().toInt();
    EXPECT_NEAR(middle, 10000, 200);
    EXPECT_EQ(currentCode(), kd->asString());
    EXPECT_EQ(bar->value(), middle - 1);
    EXPECT_LE(grid->fetchedRowCount(), 2 * fit + 1);
    QTest::keyClick(grid.get(), Qt::Key_PageDown);
    EXPECT_EQ(kd->asString(), code(middle + fit));
    EXPECT_EQ(bar->value(), middle + fit - 1);

    QTest::keyClick(grid.get(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(kd->asString(), "20000");
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(grid->currentRow(), fit - 1);
    EXPECT_EQ(grid->cellText(fit - 1, 0), "20000");
    EXPECT_LE(grid->fetchedRowCount(), 2 * fit + 1);

    // A jump made elsewhere keeps the current row's place on screen; the bar
    // follows once the place is found.
    ASSERT_TRUE(table->findKey(code(15000)));
    EXPECT_EQ(currentCode(), code(15000));
    EXPECT_EQ(grid->currentRow(), fit - 1);
    EXPECT_EQ(grid->cellText(0, 0), code(15000 - fit + 1));
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->value(), 14999);

    dragHandle(bar, 0);
    EXPECT_EQ(kd->asString(), "00001");
    QTest::keyClick(grid.get(), Qt::Key_PageDown);
    QTest::keyClick(grid.get(), Qt::Key_PageUp);
    EXPECT_EQ(kd->asString(), "00001");
    EXPECT_EQ(bar->value(), 0);
}

// The bar's arrows, its page steps and a drag of its handle move the
// current row as the keys do; the wheel moves it a row a notch, the other way.
TEST_F(DBGridTest, ScrollBarAndWheelMoveTheCurrentRow)
{
    fill(100);
    table->open();
    grid->synchronize();
    const int fit = grid->rowsThatFit();
    QScrollBar* bar = grid->verticalScrollBar();
    const std::pair<QAbstractSlider::SliderAction, int> steps[] = {
        {QAbstractSlider::SliderSingleStepAdd, 2},       {QAbstractSlider::SliderPageStepAdd, 2 + fit},
        {QAbstractSlider::SliderSingleStepSub, 1 + fit}, {QAbstractSlider::SliderPageStepSub, 1},
        {QAbstractSlider::SliderToMaximum, 100},         {QAbstractSlider::SliderToMinimum, 1}};
    for (const auto& [action, item] : steps) {
        bar->triggerAction(action);
        EXPECT_EQ(kd->asString(), code(item)) << action;
        EXPECT_EQ(bar->value(), item - 1) << action;
    }
    bar->setSliderPosition(49);
    EXPECT_EQ(kd->asString(), "00050");

    const auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(50, 50), grid->viewport()->mapToGlobal(QPointF(50, 50)), {},
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &event);
    };
    wheel(-120);
    EXPECT_EQ(kd->asString(), "00051");
    wheel(240);
    EXPECT_EQ(kd->asString(), "00049");
    wheel(60); // half a notch waits for the other half
    EXPECT_EQ(kd->asString(), "00049");
    wheel(60);
    EXPECT_EQ(kd->asString(), "00048");
    EXPECT_EQ(bar->value(), 47);
}

TEST_F(DBGridTest, ReadsRowsOfAQuery)
{
    fill(5);
    SearchQuery search;
    grid->setDataSource(&search.source);
    ui::DBText text;
    text.setDataSource(&search.source);
    text.setDataField(QStringLiteral("KdBrg"));

    search.open(QStringLiteral("BARANG 3%"));
    ASSERT_EQ(grid->columnCount(), 2);
    EXPECT_EQ(grid->columnTitle(1), "NamaBrg");
    EXPECT_EQ(row(0), "00003|BARANG 3");
    EXPECT_EQ(text.text(), "00003");

    search.open(QStringLiteral("%"));
    EXPECT_EQ(grid->rowCount(), 5);
    clickRow(4);
    EXPECT_EQ(text.text(), "00005");

    search.query.close();
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

    grid->setTabsBetweenColumns(false);
    grid->setFocus();
    QTest::keyClick(grid.get(), Qt::Key_Home);
    QTest::keyClick(grid.get(), Qt::Key_Tab);
    EXPECT_EQ(holder.focusWidget(), &after);
    EXPECT_EQ(grid->currentColumn(), 0);
    grid->setParent(nullptr);
}

// A column without a width of its own holds its field's display width in
// digits "0" of the grid's font and, where titles show, its title in the
// title's font, each with the cell margins.
TEST_F(DBGridTest, DefaultWidthsHoldTheFieldsDigitsAndTheTitle)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    grid->setFont(font);
    QFont bold = font;
    bold.setBold(true);
    grid->setColumns({
        {QStringLiteral("KdBrg"), QStringLiteral("Kode Barang"), -1, {}, {}},
        {QStringLiteral("NamaBrg"), QStringLiteral("Nama Barang"), 170, {}, {}},
        {QStringLiteral("Satuan"), {}, -1, {}, {}},
        {QStringLiteral("Stock"), QStringLiteral("Jumlah Barang di Gudang"), -1, bold, {}},
    });
    fill(3);
    table->open();
    const QFontMetrics fm(font);
    const int digits = fm.horizontalAdvance(QLatin1Char('0'));
    const int widths[] = {fm.horizontalAdvance(QStringLiteral("Kode Barang")) + 4, 170, 10 * digits + 4,
                          QFontMetrics(bold).horizontalAdvance(QStringLiteral("Jumlah Barang di Gudang")) +
                              4};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(grid->columnWidth(c), widths[c]) << c;
    grid->setShowTitles(false);
    EXPECT_EQ(grid->columnWidth(0), 5 * digits + 4);
    EXPECT_EQ(grid->columnWidth(3), 10 * digits + 4);
}

TEST_F(DBGridTest, TitlesIndicatorAndColumnResizingAreOptions)
{
    fill(3);
    table->open();
    const QRect title = grid->titleRect(0);
    EXPECT_GT(grid->cellRect(0, 0).top(), 0);
    EXPECT_EQ(title.left(), ui::DBGrid::kIndicatorWidth);

    // Dragging a title's right border widens the column.
    const int width = grid->columnWidth(0);
    const QPoint border(title.right() + 1, title.center().y());
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, border);
    QTest::mouseMove(grid->viewport(), border + QPoint(30, 0));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, border + QPoint(30, 0));
    EXPECT_EQ(grid->columnWidth(0), width + 30);

    grid->setColumnResizing(false);
    const QPoint moved(grid->titleRect(0).right() + 1, title.center().y());
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, moved);
    QTest::mouseMove(grid->viewport(), moved + QPoint(30, 0));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, moved + QPoint(30, 0));
    EXPECT_EQ(grid->columnWidth(0), width + 30);

    grid->setShowTitles(false);
    grid->setShowIndicator(false);
    EXPECT_EQ(grid->cellRect(0, 0).topLeft(), QPoint(0, 0));
    clickRow(2);
    EXPECT_EQ(kd->asString(), "00003");
}

TEST_F(DBGridTest, RowsThatCannotBeReadLeaveTheGridEmptyWithOneErrorWindow)
{
    DialogScript dialogs;
    fill(3);
    table->open();
    EXPECT_EQ(grid->rowCount(), 3);
    table->failReads = true;
    table->refresh();
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_TRUE(dialogs.calls().empty()); // not in the middle of the dataset's own call
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs.texts(DialogScript::Error), QStringList({"TBarang: disk I/O error."}));

    table->failReads = false;
    table->refresh();
    EXPECT_EQ(grid->rowCount(), 3);
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
