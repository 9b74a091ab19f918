#include "LayoutChecks.h"

#include "platform/data/Query.h"
#include "platform/preview/PreviewWindow.h"
#include "platform/ui/Button.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/Label.h"
#include "platform/ui/MaskEdit.h"
#include "reports/UFLapKeluar.h"
#include "reports/UFLapTerima.h"
#include "reports/UQrLapKeluar.h"
#include "reports/UQrLapMasuk.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace {

// What differs between the receipt and the issue report window.
struct Twin {
    const char* name;
    bool issues;
    const char* caption;
    QSize client; // the outer size less the frame and the title bar
    const char* label1;
    QPoint label1At, label2At;
    QRect from, to, grid;
    QPoint process, close, print;
    bool upperCase;
    std::vector<const char*> tabOrder;
    const char* numberColumn;
};

const Twin kReceipts{
    "receipts",
    false,
    "Laporan Penerimaan Barang ",
    {575, 453},
    "Dari Tanggal",
    {16, 8},
    {184, 8},
    {96, 8, 73, 21},
    {224, 8, 73, 21},
    {4, 40, 565, 353},
    {352, 8},
    {384, 408},
    {472, 408},
    true,
    {"DBGrid1", "MaskEdit1", "Button1", "Button2", "Button3", "MaskEdit2"},
    "No_SMasuk",
};

const Twin kIssues{
    "issues",
    true,
    "Laporan Data Barang Keluar ",
    {574, 450},
    "Dari Tanggal :",
    {16, 16},
    {168, 16},
    {88, 16, 73, 21},
    {200, 16, 81, 21},
    {8, 48, 561, 345},
    {456, 8},
    {376, 404},
    {480, 404},
    false,
    {"MaskEdit1", "DBGrid1", "Button1", "Button2", "Button3", "MaskEdit2"},
    "No_Keluar",
};

const QString Empty = QStringLiteral("  /  /    ");

class DateRangeWindowTest : public LayoutTest, public ::testing::WithParamInterface<const Twin*> {
protected:
    void SetUp() override
    {
        LayoutTest::SetUp(); // today is 05/03/2024
        if (GetParam()->issues) {
            create(FlapKeluar, QrLapKeluar);
            w = {FlapKeluar,
                 FlapKeluar->Label1,
                 FlapKeluar->Label2,
                 FlapKeluar->MaskEdit1,
                 FlapKeluar->MaskEdit2,
                 FlapKeluar->Button1,
                 FlapKeluar->Button2,
                 FlapKeluar->Button3,
                 FlapKeluar->DBGrid1,
                 FDM->QLapKeluar,
                 QrLapKeluar};
        } else {
            create(FlapTerima, QrLapMasuk);
            w = {FlapTerima,
                 FlapTerima->Label1,
                 FlapTerima->Label2,
                 FlapTerima->MaskEdit1,
                 FlapTerima->MaskEdit2,
                 FlapTerima->Button1,
                 FlapTerima->Button2,
                 FlapTerima->Button3,
                 FlapTerima->DBGrid1,
                 FDM->QLapMasuk,
                 QrLapMasuk};
        }
        addItem("A0001", "BAUT 10MM", "100", "5", "PCS");
        addItem("B0002", "KABEL NYM 2X1.5", "50", "5", "METER");
    }

    void addMovement(const QString& no, const QString& date, const QString& code, int qty)
    {
        ::addMovement(db(), GetParam()->issues, no, date, code, qty);
    }
    void addWeek()
    {
        addMovement("D-0229", "2024-02-29", "A0001", 9);
        addMovement("D-0301", "2024-03-01", "A0001", 12);
        addMovement("D-0304", "2024-03-04", "B0002", 3);
        addMovement("D-0305A", "2024-03-05", "A0001", 7);
        addMovement("D-0305B", "2024-03-05", "B0002", 4);
        addMovement("D-0306", "2024-03-06", "B0002", 1);
    }

    // The document numbers the grid lists, sorted: the query sets no order.
    QStringList listed() const
    {
        QStringList numbers;
        for (const QString& row : gridRows(w.DBGrid1))
            numbers << row.section(QLatin1Char('|'), 1, 1);
        numbers.sort();
        return numbers;
    }

    // Enters a field as the keyboard does (everything selected) and types.
    static void typeInto(ui::MaskEdit* box, const QString& text)
    {
        box->setFocus();
        typeText(box, text);
    }
    static void pressEnterWhereTheFocusIs() { pressEnter(QApplication::focusWidget()); }
    void process(const QString& from, const QString& to)
    {
        typeInto(w.MaskEdit1, from);
        typeInto(w.MaskEdit2, to);
        click(w.Button1);
    }
    QStringList errors()
    {
        QCoreApplication::processEvents(); // a field's refusal shows after the step
        return dialogs.texts(DialogScript::Error);
    }

    struct {
        DateRangeWindow* form;
        ui::Label *Label1, *Label2;
        ui::MaskEdit *MaskEdit1, *MaskEdit2;
        ui::Button *Button1, *Button2, *Button3;
        ui::DBGrid* DBGrid1;
        data::Query* query;
        report::Report* layout;
    } w{};
};

// Runs `look` in the preview that the next step opens, once its pages are
// built, then closes it.
void inPreview(report::Report* layout, std::function<void(report::PreviewWindow*)> look)
{
    QTimer::singleShot(0, [layout, look = std::move(look)] {
        report::PreviewWindow* preview = layout->previewWindow();
        ASSERT_TRUE(preview);
        waitUntilBuilt(preview);
        look(preview);
        preview->close();
    });
}

} // namespace

TEST_P(DateRangeWindowTest, TheFormFollowsItsTable)
{
    const Twin& t = *GetParam();
    inWindow(w.form, [&] {
        EXPECT_EQ(w.form->windowTitle(), t.caption);
        EXPECT_EQ(w.form->size(), t.client);
        EXPECT_FALSE(w.form->hasCloseBox());
        EXPECT_EQ(w.Label1->text(), t.label1);
        EXPECT_EQ(w.Label1->pos(), t.label1At);
        EXPECT_EQ(w.Label2->text(), "S/D");
        EXPECT_EQ(w.Label2->pos(), t.label2At);
        EXPECT_EQ(w.MaskEdit1->geometry(), t.from);
        EXPECT_EQ(w.MaskEdit2->geometry(), t.to);
        EXPECT_EQ(w.DBGrid1->geometry(), t.grid);
        EXPECT_EQ(w.DBGrid1->dataSet(), w.query);
        EXPECT_EQ(w.Button1->geometry(), QRect(t.process, QSize(75, 25)));
        EXPECT_EQ(w.Button3->geometry(), QRect(t.close, QSize(75, 25)));
        EXPECT_EQ(w.Button2->geometry(), QRect(t.print, QSize(75, 25)));
        EXPECT_EQ(w.MaskEdit1->upperCase(), t.upperCase);
        EXPECT_FALSE(w.MaskEdit2->upperCase());
        // Tab runs through the controls in their order.
        QStringList order;
        QWidget* at = w.form->findChild<QWidget*>(QString::fromLatin1(t.tabOrder[0]));
        for (size_t i = 0; i < t.tabOrder.size(); ++i, at = at->nextInFocusChain()) {
            while (at->focusPolicy() == Qt::NoFocus || at->parentWidget() != w.form)
                at = at->nextInFocusChain();
            order << at->objectName();
        }
        QStringList expected;
        for (const char* name : t.tabOrder)
            expected << QString::fromLatin1(name);
        EXPECT_EQ(order, expected);
    });
}

// Opened, then Enter three times: today in both dates, "&Proses" by Enter,
// today's movements listed under the query's own column names.
TEST_P(DateRangeWindowTest, EnterThreeTimesListsTodaysMovements)
{
    addWeek();
    inWindow(w.form, [&] {
        EXPECT_EQ(w.MaskEdit1->text(), Empty);
        EXPECT_EQ(w.MaskEdit2->displayText(), "__/__/____");
        EXPECT_FALSE(w.query->active());
        EXPECT_EQ(w.DBGrid1->rowCount(), 0);
        EXPECT_EQ(QApplication::focusWidget(), w.MaskEdit1);
        pressEnterWhereTheFocusIs();
        EXPECT_EQ(w.MaskEdit1->text(), "05/03/2024");
        EXPECT_EQ(QApplication::focusWidget(), w.MaskEdit2);
        pressEnterWhereTheFocusIs();
        EXPECT_EQ(w.MaskEdit2->text(), "05/03/2024");
        EXPECT_EQ(QApplication::focusWidget(), w.Button1);
        pressEnterWhereTheFocusIs();
        EXPECT_EQ(listed(), (QStringList{"D-0305A", "D-0305B"}));
        QStringList titles;
        for (int c = 0; c < w.DBGrid1->columnCount(); ++c)
            titles << w.DBGrid1->columnTitle(c);
        EXPECT_EQ(titles,
                  (QStringList{"Tgl", GetParam()->numberColumn, "KdBrg", "NamaBrg", "Satuan", "Jml"}));
        EXPECT_TRUE(gridRows(w.DBGrid1).contains("05/03/2024|D-0305B|B0002|KABEL NYM 2X1.5|METER|4"));
        EXPECT_EQ(QApplication::focusWidget(), w.Button2);
    });
    EXPECT_TRUE(dialogs.calls().empty());
}

TEST_P(DateRangeWindowTest, ARangeListsBothEndsADayItselfAndAReversedRangeNothing)
{
    addWeek();
    inWindow(w.form, [&] {
        process("01/03/2024", "05/03/2024");
        EXPECT_EQ(listed(), (QStringList{"D-0301", "D-0304", "D-0305A", "D-0305B"}));
        process("4/3/2024", "4/3/2024"); // day and month in one digit
        EXPECT_EQ(w.MaskEdit1->text(), " 4/ 3/2024");
        EXPECT_EQ(listed(), QStringList{"D-0304"});
        process("05/03/2024", "01/03/2024");
        EXPECT_TRUE(w.query->active());
        EXPECT_EQ(listed(), QStringList());
        EXPECT_EQ(QApplication::focusWidget(), w.Button2);
    });
    EXPECT_TRUE(dialogs.calls().empty());
}

// A date that does not convert stops "&Proses" after the query was closed;
// a from-date that did convert keeps its parameter.
TEST_P(DateRangeWindowTest, ADateThatDoesNotConvertStopsProsesWithTheQueryClosed)
{
    addWeek();
    inWindow(w.form, [&] {
        process("01/03/2024", "05/03/2024");
        ASSERT_EQ(listed().size(), 4);
        process("31/02/2024", "05/03/2024");
        EXPECT_EQ(errors(), QStringList{"'31/02/2024' is not a valid date."});
        EXPECT_FALSE(w.query->active());
        EXPECT_EQ(w.DBGrid1->rowCount(), 0);
        EXPECT_EQ(QApplication::focusWidget(), w.Button1);

        process("02/03/2024", "01/99/2024");
        EXPECT_EQ(errors().value(1), "'01/99/2024' is not a valid date.");
        EXPECT_EQ(w.query->paramByName("Tgla").value().toDate(), QDate(2024, 3, 2));
        EXPECT_FALSE(w.query->active());

        w.form->FormActivate();
        click(w.Button1);
        EXPECT_EQ(errors().value(2), "'  /  /    ' is not a valid date.");
        EXPECT_TRUE(w.form->isVisible());
    });
}

// The field keeps the focus while its year is incomplete: Enter, a click on
// "&Proses", Tab and Alt+P all leave it there, and nothing runs; Esc gives back the
// empty field, and Enter then fills in today.
TEST_P(DateRangeWindowTest, AnIncompleteYearKeepsTheFocusInItsField)
{
    const QString refusal = QStringLiteral("Invalid input value.  Use escape key to abandon changes.");
    addWeek();
    inWindow(w.form, [&] {
        typeText(w.MaskEdit1, "010320");
        pressEnter(w.MaskEdit1);
        EXPECT_EQ(QApplication::focusWidget(), w.MaskEdit1);
        EXPECT_EQ(w.MaskEdit1->text(), "01/03/20  ");
        click(w.Button1);
        pressKey(w.MaskEdit1, Qt::Key_Tab);
        pressKey(w.MaskEdit1, Qt::Key_P, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), w.MaskEdit1);
        EXPECT_EQ(errors(), (QStringList{refusal, refusal, refusal, refusal}));
        EXPECT_FALSE(w.query->active()) << "neither the click on \"&Proses\" nor Alt+P did anything";
        pressKey(w.MaskEdit1, Qt::Key_Escape);
        EXPECT_EQ(w.MaskEdit1->text(), Empty);
        pressEnter(w.MaskEdit1);
        EXPECT_EQ(w.MaskEdit1->text(), "05/03/2024");
        EXPECT_EQ(QApplication::focusWidget(), w.MaskEdit2);
    });
    EXPECT_EQ(errors().size(), 4);
}

// "&Cetak" previews the layout over what the query holds; printing writes
// the pages; closing the preview brings the window back reset. Right after
// opening, with the query closed, it previews the empty report.
TEST_P(DateRangeWindowTest, CetakPreviewsTheQueryAndClosingThePreviewResetsTheWindow)
{
    addWeek();
    const QString pdf = testOutputPath(QStringLiteral("window-%1.pdf").arg(GetParam()->name));
    QFile::remove(pdf);
    inWindow(w.form, [&] {
        process("01/03/2024", "05/03/2024");
        std::vector<QString> previewed;
        inPreview(w.layout, [&](report::PreviewWindow* preview) {
            previewed = textsOf(preview->document(), "QRDBText2");
            preview->printer().setOutputFileName(pdf);
            preview->print();
        });
        click(w.Button2);
        std::sort(previewed.begin(), previewed.end());
        EXPECT_EQ(previewed, (std::vector<QString>{"D-0301", "D-0304", "D-0305A", "D-0305B"}));
        EXPECT_EQ(pdfPageCount(pdf), 1);
        // Back from the preview: activated again.
        EXPECT_EQ(w.MaskEdit1->text(), Empty);
        EXPECT_EQ(w.MaskEdit2->text(), Empty);
        EXPECT_FALSE(w.query->active());
        EXPECT_EQ(w.DBGrid1->rowCount(), 0);
        EXPECT_EQ(QApplication::focusWidget(), w.MaskEdit1);

        int pages = 0, columnHeaders = -1;
        inPreview(w.layout, [&](report::PreviewWindow* preview) {
            pages = preview->document().pageCount();
            columnHeaders = bandCount(preview->document().pages[0], report::BandType::ColumnHeader);
        });
        click(w.Button2);
        EXPECT_EQ(pages, 1);
        EXPECT_EQ(columnHeaders, 0);
    });
    EXPECT_TRUE(dialogs.calls().empty());
}

// Coming back to the window while its preview is still open resets it before
// the first key: what the user types goes into the empty from-date.
TEST_P(DateRangeWindowTest, ComingBackWhileThePreviewIsOpenResetsTheWindowFirst)
{
    addWeek();
    inWindow(w.form, [&] {
        process("01/03/2024", "05/03/2024");
        inPreview(w.layout, [&](report::PreviewWindow*) {
            activate(w.form);
            typeText(QApplication::focusWidget(), "01032026");
            EXPECT_EQ(w.MaskEdit1->text(), "01/03/2026");
            EXPECT_FALSE(w.query->active());
        });
        click(w.Button2);
    });
}

INSTANTIATE_TEST_SUITE_P(Windows, DateRangeWindowTest, ::testing::Values(&kReceipts, &kIssues),
                         [](const auto& test) { return std::string(test.param->name); });
