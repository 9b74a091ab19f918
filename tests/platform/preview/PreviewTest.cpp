#include "DialogScript.h"
#include "ReportTestSupport.h"
#include "UiDriver.h"

#include "platform/preview/PreviewWindow.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QPrintDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using report::PreviewWindow;

namespace {

QPushButton* button(PreviewWindow* window, const char* name)
{
    return window->findChild<QPushButton*>(QLatin1String(name));
}

QString status(PreviewWindow* window)
{
    return window->findChild<QLabel*>(QStringLiteral("pageStatus"))->text();
}

// Runs `step` inside the next loop that starts (the preview's).
void inPreview(std::function<void()> step)
{
    QTimer::singleShot(0, std::move(step));
}

// The title bar's close box: a close event that comes from the window system.
void closeByTitleBar(QWidget* window)
{
    QCloseEvent event;
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(window, &event); // sendEvent() would make it the program's own
    if (event.isAccepted())
        window->hide();
}

class Caller : public ui::Form {
public:
    Caller()
    {
        resize(200, 120);
        Button1 = new ui::Button(this);
        Button1->setText(QStringLiteral("Go"));
        Button1->setGeometry(10, 10, 75, 25);
        OnActivate = [this] { ++activations; };
        Button1->OnClick = [this] { ++clicks; };
    }
    ui::Button* Button1;
    int activations = 0;
    int clicks = 0;
};

class PreviewTest : public ::testing::Test {
protected:
    void TearDown() override { clearModalSteps(); }
    ui::Application app;
    DialogScript dialogs;
};

} // namespace

TEST_F(PreviewTest, ReturnsWhenClosedWhileTheCallerStaysUsableAndIsActivatedAgain)
{
    auto ds = testLines(3);
    TestReport report(testLayoutJson(), ds.get());
    Caller caller;
    bool returned = false;
    whileModal([&] {
        EXPECT_EQ(caller.activations, 1);
        inPreview([&] {
            PreviewWindow* window = report.previewWindow();
            ASSERT_TRUE(window);
            EXPECT_TRUE(window->isVisible());
            EXPECT_EQ(window->windowTitle(), "Print Preview");
            EXPECT_EQ(button(window, "closeButton")->text(), "&Close");
            EXPECT_FALSE(window->isModal());
            // A second request while it is open does nothing.
            report.preview();
            EXPECT_EQ(report.previewWindow(), window);
            EXPECT_FALSE(returned);
            // The calling window still works.
            activate(&caller);
            click(caller.Button1);
            EXPECT_EQ(caller.clicks, 1);
            activate(window); // the user is in the preview again
            click(button(window, "nextPageButton"));
            click(button(window, "closeButton"));
        });
        report.preview();
        returned = true;
        EXPECT_EQ(report.previewWindow(), nullptr);
        EXPECT_EQ(caller.activations, 3) << "back from the preview, and again by closing it";
        caller.closeForm();
    });
    caller.showModal();
    EXPECT_TRUE(returned);
    EXPECT_TRUE(ds->eof());
    EXPECT_EQ(ds->fieldByName("Code")->asString(), "C3");
    EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(PreviewTest, ClosingItStraightAwayStillActivatesTheCaller)
{
    auto ds = testLines(0);
    TestReport report(testLayoutJson(), ds.get());
    Caller caller;
    whileModal([&] {
        inPreview([&] { report.previewWindow()->close(); });
        report.preview();
        EXPECT_EQ(caller.activations, 2);
        caller.closeForm();
    });
    caller.showModal();
}

TEST_F(PreviewTest, TheCloseBoxActivatesTheCallerAsCloseDoes)
{
    auto ds = testLines(3);
    TestReport report(testLayoutJson(), ds.get());
    Caller caller;
    whileModal([&] {
        inPreview([&] {
            activate(&caller); // the user was last in the calling window
            const int before = caller.activations;
            closeByTitleBar(report.previewWindow());
            EXPECT_EQ(caller.activations, before + 1);
        });
        report.preview();
        caller.closeForm();
    });
    caller.showModal();
}

TEST_F(PreviewTest, AClosedPreviewOpensAgainWhileALaterOneIsStillOpen)
{
    auto ds = testLines(3);
    TestReport a(testLayoutJson(), ds.get());
    TestReport b(testLayoutJson(), ds.get());
    PreviewWindow* firstA = nullptr;
    PreviewWindow* secondA = nullptr;
    inPreview([&] { // in A's loop
        firstA = a.previewWindow();
        ASSERT_TRUE(firstA);
        inPreview([&] { // in B's loop, which A's loop cannot leave before B closes
            firstA->close();
            QTimer::singleShot(0, &a, [&] {
                secondA = a.previewWindow();
                ASSERT_TRUE(secondA);
                a.preview(); // open again: nothing happens
                EXPECT_EQ(a.previewWindow(), secondA);
                secondA->close();
            });
            a.preview();
            EXPECT_TRUE(secondA);
            EXPECT_NE(secondA, firstA);
            EXPECT_EQ(a.previewWindow(), nullptr);
            ASSERT_TRUE(b.previewWindow());
            b.previewWindow()->close();
        });
        b.preview();
    });
    a.preview();
    EXPECT_EQ(a.previewWindow(), nullptr);
    EXPECT_EQ(b.previewWindow(), nullptr);
}

// Closed under its preview the caller hides, the preview stays usable, the
// form behind waits; once the preview closes the caller opens again.
TEST_F(PreviewTest, ACallerClosedUnderItsPreviewEndsItsShowingWhenThePreviewCloses)
{
    auto ds = testLines(50);
    TestReport report(testLayoutJson(), ds.get());
    Caller menu, caller;
    menu.Button1->OnClick = [&] { ++menu.clicks, caller.showModal(); };
    caller.Button1->OnClick = [&] { report.preview(); };
    whileModal([&] {
        whileModal([&] {
            inPreview([&] {
                PreviewWindow* w = report.previewWindow();
                caller.closeForm();
                EXPECT_FALSE(caller.isVisible());
                click(menu.Button1);
                EXPECT_EQ(menu.clicks, 1) << "the form behind takes nothing yet";
                click(button(w, "nextPageButton"));
                EXPECT_EQ(w->currentPage(), 1);
                click(button(w, "closeButton"));
                EXPECT_FALSE(w->isVisible());
                w->close(); // in case it could not be
            });
            click(caller.Button1);
        });
        click(menu.Button1);
        EXPECT_FALSE(caller.isModalOpen());
        whileModal([&] { caller.closeForm(); });
        click(menu.Button1);
        EXPECT_EQ(menu.clicks, 2);
        menu.closeForm();
    });
    menu.showModal();
    EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(PreviewTest, ReturnsWhenTheProgramEnds)
{
    auto ds = testLines(3);
    TestReport report(testLayoutJson(), ds.get());
    Caller caller;
    bool returned = false;
    whileModal([&] {
        inPreview([&] { app.terminate(); });
        report.preview();
        returned = true;
    });
    caller.showModal();
    EXPECT_TRUE(returned);
    EXPECT_EQ(report.previewWindow(), nullptr);
    // Once the program is ending there is no preview any more.
    report.preview();
    EXPECT_EQ(report.previewWindow(), nullptr);
}

TEST_F(PreviewTest, PagesTurnAndZoomFromTheButtons)
{
    auto ds = testLines(50);
    TestReport report(testLayoutJson(), ds.get());
    inPreview([&] {
        PreviewWindow* w = report.previewWindow();
        ASSERT_TRUE(w);
        waitUntilBuilt(w);
        EXPECT_EQ(w->document().pageCount(), 3);
        EXPECT_EQ(status(w), "Page 1 of 3");
        EXPECT_FALSE(button(w, "priorPageButton")->isEnabled());
        click(button(w, "nextPageButton"));
        EXPECT_EQ(w->currentPage(), 1);
        click(button(w, "lastPageButton"));
        EXPECT_EQ(w->currentPage(), 2);
        EXPECT_EQ(status(w), "Page 3 of 3");
        EXPECT_FALSE(button(w, "nextPageButton")->isEnabled());
        click(button(w, "priorPageButton"));
        EXPECT_EQ(w->currentPage(), 1);
        click(button(w, "firstPageButton"));
        EXPECT_EQ(w->currentPage(), 0);

        click(button(w, "zoom100Button"));
        EXPECT_NEAR(w->pixelsPerMm(), w->logicalDpiX() / 25.4, 1e-9);
        click(button(w, "pageWidthButton"));
        const double width = w->pixelsPerMm();
        click(button(w, "zoomFitButton"));
        const double fit = w->pixelsPerMm();
        EXPECT_LT(fit, width); // a whole A4 page is taller than the window is wide
        w->resize(w->width() + 200, w->height());
        click(button(w, "pageWidthButton"));
        EXPECT_GT(w->pixelsPerMm(), width);
        w->close();
    });
    report.preview();
}

TEST_F(PreviewTest, ALongDocumentShowsItsFirstPageBeforeTheRestIsBuilt)
{
    auto ds = testLines(24 * 300); // about 300 pages
    TestReport report(testLayoutJson(), ds.get());
    inPreview([&] {
        PreviewWindow* w = report.previewWindow();
        ASSERT_TRUE(w);
        EXPECT_TRUE(w->building());
        EXPECT_GE(w->document().pageCount(), 1);
        EXPECT_LT(w->document().pageCount(), 100);
        waitUntilBuilt(w);
        EXPECT_EQ(w->document().pageCount(), 301);
        EXPECT_EQ(status(w), "Page 1 of 301");
        w->close();
    });
    report.preview();
    EXPECT_EQ(ds->fieldByName("Code")->asString(), QStringLiteral("C%1").arg(24 * 300));
}

TEST_F(PreviewTest, ClosingBeforeTheLastPageIsBuiltLeavesTheRowWhereBuildingStopped)
{
    auto ds = testLines(24 * 300);
    TestReport report(testLayoutJson(), ds.get());
    int built = 0;
    inPreview([&] {
        PreviewWindow* w = report.previewWindow();
        ASSERT_TRUE(w->building());
        for (const auto& page : w->document().pages)
            built += bandCount(page, report::BandType::Detail);
        w->close();
    });
    report.preview();
    EXPECT_EQ(ds->fieldByName("Code")->asString(), QStringLiteral("C%1").arg(built + 1));
}

TEST_F(PreviewTest, DataClosedWhileThePagesAreBuiltLeavesThemMarkedIncompleteAndUnprinted)
{
    auto ds = testLines(24 * 300);
    TestReport report(testLayoutJson(), ds.get());
    const QString path = testOutputPath(QStringLiteral("preview-incomplete.pdf"));
    QFile::remove(path);
    inPreview([&] {
        PreviewWindow* w = report.previewWindow();
        ASSERT_TRUE(w->building());
        ds->close(); // the calling window's activation closes its query
        waitUntilBuilt(w);
        EXPECT_FALSE(w->document().complete);
        EXPECT_EQ(bandCount(w->document().pages.back(), report::BandType::Summary), 0);
        EXPECT_TRUE(status(w).contains("incomplete")) << status(w).toStdString();
        w->printer().setOutputFileName(path);
        click(button(w, "printButton"));
        w->close();
    });
    report.preview();
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.last().kind, DialogScript::Error);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(PreviewTest, PrintsThroughTheSetUpBuildingThePagesAgainOrThePagesShownOnceTheDataIsClosed)
{
    auto ds = testLines(30);
    TestReport report(testLayoutJson(), ds.get());
    const QString path = testOutputPath(QStringLiteral("preview-print.pdf"));
    const QString shownPath = testOutputPath(QStringLiteral("preview-print-shown.pdf"));
    QFile::remove(path);
    QFile::remove(shownPath);
    inPreview([&] {
        PreviewWindow* w = report.previewWindow();
        ASSERT_TRUE(w);
        waitUntilBuilt(w);
        EXPECT_EQ(w->printer().copyCount(), 1);
        EXPECT_EQ(w->printer().pageLayout().orientation(), QPageLayout::Portrait);
        w->printer().setOutputFileName(path);
        // The set-up offers pages 1 to the page count.
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            EXPECT_EQ(dialog->minPage(), 1);
            EXPECT_EQ(dialog->maxPage(), 2);
            auto* from = dialog->findChild<QSpinBox*>(QStringLiteral("from"));
            auto* to = dialog->findChild<QSpinBox*>(QStringLiteral("to"));
            ASSERT_TRUE(from && to);
            EXPECT_EQ(from->value(), 1);
            EXPECT_EQ(to->value(), 2);
            // It sets the printer up and prints nothing itself.
            EXPECT_EQ(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->text(), "OK");
            dialog->accept();
        });
        click(button(w, "printerSetupButton"));
        // Printing runs the rows again: these make a third page.
        for (int i = 0; i < 20; ++i)
            ds->rows.push_back({QStringLiteral("LATE"), 1.0});
        click(button(w, "printButton"));
        EXPECT_EQ(ds->fieldByName("Code")->asString(), "LATE");
        EXPECT_EQ(w->document().pageCount(), 2);

        // Once the caller has closed its dataset, the pages on screen are
        // printed, not the page of an empty dataset.
        ds->close();
        w->printer().setOutputFileName(shownPath);
        w->printer().setPrintRange(QPrinter::AllPages);
        click(button(w, "printButton"));
        w->printer().setCopyCount(2);
        w->close();
    });
    report.preview();
    EXPECT_TRUE(dialogs.calls().empty());
    EXPECT_EQ(pdfPageCount(path), 3);
    EXPECT_EQ(pdfPageCount(shownPath), 2);

    // The printer chosen in the set-up serves the next layout, which starts
    // afresh with one copy and its own orientation.
    TestReport landscape(testLayoutJson({}, QStringLiteral("landscape")), ds.get());
    QFile::remove(path);
    inPreview([&] {
        PreviewWindow* w = landscape.previewWindow();
        EXPECT_EQ(w->printer().copyCount(), 1);
        EXPECT_EQ(w->printer().pageLayout().orientation(), QPageLayout::Landscape);
        click(button(w, "printButton"));
        w->close();
    });
    landscape.preview();
    EXPECT_TRUE(dialogs.calls().empty());
    EXPECT_EQ(pdfPageCount(path), 1);
}

// The set-up's page range and copies reach the printed file; only the
// first page carries the title's logo.
TEST_F(PreviewTest, PrintsTheSetUpsPageRangeAsManyTimesAsItsCopies)
{
    struct Case {
        const char* name;
        QPrinter::PrintRange range;
        int from, to, copies;
        int pages;
        bool logo;
    };
    const Case cases[] = {
        {"pages 2 to 3, twice", QPrinter::PageRange, 2, 3, 2, 4, false},
        {"page 3 alone", QPrinter::PageRange, 3, 3, 1, 1, false},
        {"a range past the last page ends there", QPrinter::PageRange, 1, 9, 1, 3, true},
        {"all pages, twice", QPrinter::AllPages, 2, 3, 2, 6, true},
    };
    auto ds = testLines(50);
    TestReport report(testLayoutJson(), ds.get());
    QTemporaryDir dir;
    inPreview([&] {
        PreviewWindow* w = report.previewWindow();
        ASSERT_TRUE(w);
        waitUntilBuilt(w);
        ASSERT_EQ(w->document().pageCount(), 3);
        for (const Case& c : cases) {
            const QString path = dir.filePath(QString::fromLatin1(c.name) + QStringLiteral(".pdf"));
            w->printer().setOutputFileName(path);
            w->printer().setPrintRange(c.range);
            w->printer().setFromTo(c.from, c.to);
            w->printer().setCopyCount(c.copies);
            click(button(w, "printButton"));
            EXPECT_EQ(pdfPageCount(path), c.pages) << c.name;
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << c.name;
            EXPECT_EQ(file.readAll().contains("/Subtype /Image"), c.logo) << c.name;
        }
        w->close();
    });
    report.preview();
    EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(PreviewTest, SavedPagesLoadIntoThePreviewAndABadFileShowsAnError)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.tkr"));
    auto big = testLines(50);
    auto small = testLines(2);
    TestReport bigReport(testLayoutJson(), big.get());
    TestReport smallReport(testLayoutJson(), small.get());
    inPreview([&] {
        bigReport.previewWindow()->saveTo(path);
        bigReport.previewWindow()->close();
    });
    bigReport.preview();
    inPreview([&] {
        PreviewWindow* w = smallReport.previewWindow();
        EXPECT_EQ(w->document().pageCount(), 1);
        w->loadFrom(path);
        EXPECT_EQ(w->document().pageCount(), 3);
        EXPECT_EQ(status(w), "Page 1 of 3");
        QFile junk(dir.filePath(QStringLiteral("junk.tkr")));
        ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
        junk.write("junk");
        junk.close();
        // Through the button's guard, as the load button runs it.
        app.guard([&] { w->loadFrom(junk.fileName()); });
        EXPECT_EQ(w->document().pageCount(), 3);
        // Loaded pages print as they are; the dataset would give one page.
        w->printer().setOutputFileName(dir.filePath(QStringLiteral("loaded.pdf")));
        click(button(w, "printButton"));
        EXPECT_EQ(pdfPageCount(dir.filePath(QStringLiteral("loaded.pdf"))), 3);
        w->close();
    });
    smallReport.preview();
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.last().kind, DialogScript::Error);
    EXPECT_TRUE(dialogs.last().text.contains("does not hold saved report pages"));
}
