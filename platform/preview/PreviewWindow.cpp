#include "platform/preview/PreviewWindow.h"

#include "platform/data/DataSet.h"
#include "platform/report/PageBuilder.h"
#include "platform/report/Renderer.h"
#include "platform/report/Layout.h"
#include "platform/rtl/Errors.h"
#include "platform/ui/Application.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace report {

namespace {

constexpr int kGap = 12;           // grey border around the page, in pixels
constexpr int kStepBudgetMs = 25;  // building in the background stays out of the user's way
constexpr int kRowsPerStep = 100;
const char* const kFileFilter = "Report pages (*.tkr)";

// The printer chosen in a printer set-up: the program has one printer, kept
// for the rest of the run (the life of the application object) and used by
// every layout's preview.
struct ChosenPrinter {
    bool chosen = false;
    QPrinter::OutputFormat format = QPrinter::NativeFormat;
    QString name;
    QString file;
};

ChosenPrinter& chosenPrinter()
{
    static ChosenPrinter choice;
    static QPointer<QObject> run;
    static bool started = false;
    QObject* app = ui::Application::instance();
    if (!started || run != app) {
        choice = {};
        run = app;
        started = true;
    }
    return choice;
}

} // namespace

class PageView : public QWidget {
public:
    explicit PageView(PreviewWindow* window) : QWidget(nullptr), window_(window) {}

    void changed()
    {
        const Document& doc = window_->document();
        const double ppm = window_->pixelsPerMm();
        resize(int(doc.pageWidth * ppm) + 2 * kGap, int(doc.pageHeight * ppm) + 2 * kGap);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const Document& doc = window_->document();
        const double ppm = window_->pixelsPerMm();
        QPainter painter(this);
        painter.fillRect(rect(), QColor(128, 128, 128));
        const QRectF paper(kGap, kGap, doc.pageWidth * ppm, doc.pageHeight * ppm);
        painter.fillRect(paper.translated(3, 3), QColor(64, 64, 64));
        painter.fillRect(paper, Qt::white);
        painter.translate(paper.topLeft());
        painter.scale(ppm, ppm);
        paintPage(doc, window_->currentPage(), painter);
    }

private:
    PreviewWindow* window_;
};

// The windows that ask for a preview close their dataset when they are
// activated again, which may happen while the preview is still open.
class PreviewWindow::DataWatch : public data::DataLink {
public:
    DataWatch(data::DataSet* dataSet, bool& closed) : dataSet_(dataSet), closed_(closed) { dataSet_->addLink(this); }
    ~DataWatch() override { dataSet_->removeLink(this); }
    DataWatch(const DataWatch&) = delete;
    DataWatch& operator=(const DataWatch&) = delete;
    void dataSetChanged() override
    {
        if (!dataSet_->active())
            closed_ = true;
    }

private:
    data::DataSet* dataSet_;
    bool& closed_;
};

PreviewWindow::PreviewWindow(Layout& report) : QWidget(nullptr), report_(report)
{
    setWindowTitle(QStringLiteral("Print Preview"));
    document_.orientation = report.layout().orientation;
    document_.pageWidth = report.layout().pageWidth();
    document_.pageHeight = report.layout().pageHeight();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* bar = new QHBoxLayout;
    layout->addLayout(bar);
    auto button = [&](const char* name, const QString& caption, std::function<void()> work) {
        bar->addWidget(addButton(name, caption, std::move(work)));
    };
    button("zoomFitButton", QStringLiteral("Zoom to fit"), [this] { setZoom(Zoom::Fit); });
    button("zoom100Button", QStringLiteral("100 %"), [this] { setZoom(Zoom::Percent100); });
    button("pageWidthButton", QStringLiteral("Page width"), [this] { setZoom(Zoom::PageWidth); });
    bar->addSpacing(12);
    button("firstPageButton", QStringLiteral("First page"), [this] { showPage(0); });
    button("priorPageButton", QStringLiteral("Previous page"), [this] { showPage(page_ - 1); });
    button("nextPageButton", QStringLiteral("Next page"), [this] { showPage(page_ + 1); });
    button("lastPageButton", QStringLiteral("Last page"), [this] { showPage(document().pageCount() - 1); });
    bar->addSpacing(12);
    button("printerSetupButton", QStringLiteral("Printer setup"), [this] { printerSetup(); });
    button("printButton", QStringLiteral("Print"), [this] { print(); });
    bar->addSpacing(12);
    button("saveButton", QStringLiteral("Save"), [this] {
        QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save"), QString(), QLatin1String(kFileFilter));
        if (path.isEmpty())
            return;
        if (QFileInfo(path).suffix().isEmpty())
            path += QLatin1String(".tkr");
        saveTo(path);
    });
    button("loadButton", QStringLiteral("Load"), [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Load"), QString(), QLatin1String(kFileFilter));
        if (!path.isEmpty())
            loadFrom(path);
    });
    bar->addSpacing(12);
    button("closeButton", QStringLiteral("&Close"), [this] { close(); });
    bar->addStretch();

    // Pages are built a slice at a time whenever the event loop is idle.
    buildTimer_ = new QTimer(this);
    buildTimer_->setSingleShot(true);
    buildTimer_->setInterval(0);
    connect(buildTimer_, &QTimer::timeout, this, &PreviewWindow::buildMore);

    scroll_ = new QScrollArea(this);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);
    view_ = new PageView(this);
    scroll_->setWidget(view_);
    layout->addWidget(scroll_, 1);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("pageStatus"));
    layout->addWidget(status_);

    QSize size(1000, 800);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize() * 9 / 10);
    resize(size);
}

PreviewWindow::~PreviewWindow() = default;

QPrinter& PreviewWindow::printer()
{
    // Made on first use: finding the printers can take a while, and most
    // previews are only looked at.
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setPageSize(QPageSize(QPageSize::A4));
        printer_->setPageOrientation(report_.layout().orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                                            : QPageLayout::Portrait);
        printer_->setFullPage(true);
        printer_->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        printer_->setCopyCount(1);
        printer_->setDocName(report_.layout().name);
        const ChosenPrinter& chosen = chosenPrinter();
        if (chosen.chosen) {
            if (chosen.format == QPrinter::PdfFormat) {
                printer_->setOutputFormat(QPrinter::PdfFormat);
                printer_->setOutputFileName(chosen.file);
            } else {
                printer_->setPrinterName(chosen.name);
                printer_->setOutputFileName(chosen.file);
            }
        }
    }
    return *printer_;
}

QPushButton* PreviewWindow::addButton(const char* objectName, const QString& caption, std::function<void()> work)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, work = std::move(work)] { run(work); });
    return button;
}

void PreviewWindow::run(const std::function<void()>& work)
{
    if (ui::Application* app = ui::Application::instance()) {
        app->guard(work);
        return;
    }
    try {
        work();
    } catch (const std::exception& e) {
        qWarning("%s", e.what());
    }
}

const Document& PreviewWindow::document() const
{
    return builder_ ? builder_->document() : document_;
}

void PreviewWindow::start()
{
    if (data::DataSet* dataSet = report_.dataSet())
        dataWatch_ = std::make_unique<DataWatch>(dataSet, dataClosed_);
    builder_ = std::make_unique<PageBuilder>(report_.layout(), report_.dataSet());
    while (!builder_->step(kRowsPerStep) && builder_->completedPages() < 1) {
    }
    if (builder_->finished()) {
        document_ = builder_->takeDocument();
        builder_.reset();
    }
    show();
    raise();
    activateWindow();
    setZoom(zoom_);
    if (builder_)
        buildTimer_->start();
}

void PreviewWindow::buildMore()
{
    if (!builder_ || closing_)
        return;
    const int before = document().pageCount();
    QElapsedTimer timer;
    timer.start();
    bool ok = true;
    run([&] {
        try {
            while (!builder_->step(kRowsPerStep) && timer.elapsed() < kStepBudgetMs) {
            }
        } catch (...) {
            ok = false;
            throw;
        }
    });
    if (!ok || builder_->finished()) {
        // After an error the pages built so far stay on show.
        document_ = builder_->takeDocument();
        if (!ok)
            document_.complete = false;
        builder_.reset();
    }
    if (document().pageCount() != before || !builder_)
        updateControls();
    if (builder_)
        buildTimer_->start();
}

void PreviewWindow::finishBuilding()
{
    if (!builder_)
        return;
    builder_->finish();
    document_ = builder_->takeDocument();
    builder_.reset();
    updateControls();
}

void PreviewWindow::stopBuilding()
{
    if (!builder_)
        return;
    std::unique_ptr<PageBuilder> builder = std::move(builder_);
    document_ = builder->takeDocument();
    builder->abandon();
}

double PreviewWindow::pixelsPerMm() const
{
    const Document& doc = document();
    const QSize viewport = scroll_->viewport()->size();
    const double scrollBar = scroll_->verticalScrollBar()->sizeHint().width();
    switch (zoom_) {
    case Zoom::Fit:
        return std::max(0.1, std::min((viewport.width() - 2 * kGap) / doc.pageWidth,
                                      (viewport.height() - 2 * kGap) / doc.pageHeight));
    case Zoom::PageWidth:
        // Leaves room for the vertical scroll bar that a page this wide needs.
        return std::max(0.1, (scroll_->width() - scroll_->frameWidth() * 2 - scrollBar - 2 * kGap) / doc.pageWidth);
    case Zoom::Percent100:
        break;
    }
    return logicalDpiX() / 25.4;
}

void PreviewWindow::setZoom(Zoom zoom)
{
    zoom_ = zoom;
    updateControls();
}

void PreviewWindow::showPage(int index)
{
    const int count = document().pageCount();
    page_ = std::clamp(index, 0, std::max(0, count - 1));
    scroll_->verticalScrollBar()->setValue(0);
    updateControls();
}

void PreviewWindow::updateControls()
{
    const int count = document().pageCount();
    page_ = std::clamp(page_, 0, std::max(0, count - 1));
    QString text = count == 0 ? QStringLiteral("No pages") : QStringLiteral("Page %1 of %2").arg(page_ + 1).arg(count);
    if (!building() && !document().complete)
        text += QStringLiteral(" (incomplete: the data was closed or changed while the pages were built)");
    status_->setText(text);
    auto enable = [this](const char* name, bool on) { findChild<QPushButton*>(QLatin1String(name))->setEnabled(on); };
    enable("firstPageButton", page_ > 0);
    enable("priorPageButton", page_ > 0);
    enable("nextPageButton", page_ + 1 < count);
    enable("lastPageButton", page_ + 1 < count);
    view_->changed();
}

void PreviewWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (view_)
        view_->changed();
}

void PreviewWindow::printerSetup()
{
    finishBuilding();
    const int pages = std::max(1, document().pageCount());
    QPrintDialog dialog(&printer(), this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setMinMax(1, pages);
    dialog.setFromTo(1, pages);
    // It only sets the printer up; printing is the preview's own button.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* accept = buttons->button(QDialogButtonBox::Ok))
            accept->setText(QStringLiteral("OK"));
    }
    if (dialog.exec() != QDialog::Accepted)
        return;
    ChosenPrinter& chosen = chosenPrinter();
    chosen.chosen = true;
    chosen.format = printer().outputFormat();
    chosen.name = printer().printerName();
    chosen.file = printer().outputFileName();
}

void PreviewWindow::print()
{
    // The preview's own run ends before the dataset is walked again.
    finishBuilding();
    // A dataset closed since the preview was built (the caller resets on
    // activation) would give an empty page, not the pages on show.
    const data::DataSet* dataSet = report_.dataSet();
    const bool rebuild = !loaded_ && !dataClosed_ && (!dataSet || dataSet->active());
    const rtl::Error incomplete(QStringLiteral("The pages are incomplete and are not printed: their data was closed "
                                               "or changed while they were built. Preview the report again."));
    if (!rebuild && !document_.complete)
        throw incomplete;

    QWidget progress(this, Qt::Dialog);
    progress.setWindowTitle(QStringLiteral("Printing progress"));
    progress.setObjectName(QStringLiteral("printingProgress"));
    auto* label = new QLabel(&progress);
    auto* box = new QVBoxLayout(&progress);
    box->addWidget(label);
    label->setMinimumWidth(240);
    label->setText(QStringLiteral("Preparing pages"));
    progress.show();
    auto pump = [] { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    pump();

    Document rebuilt;
    if (rebuild) {
        PageBuilder builder(report_.layout(), report_.dataSet());
        while (!builder.step(500)) {
            label->setText(QStringLiteral("Preparing page %1").arg(builder.document().pageCount()));
            pump();
        }
        rebuilt = builder.takeDocument();
        if (!rebuilt.complete)
            throw incomplete;
    }
    try {
        printDocument(rebuild ? rebuilt : document_, printer(), [&](int page, int count) {
            label->setText(QStringLiteral("Printing page %1 of %2").arg(page).arg(count));
            pump();
        });
    } catch (...) {
        // A printer that failed stays broken; the next set-up starts afresh.
        printer_.reset();
        throw;
    }
}

void PreviewWindow::saveTo(const QString& path)
{
    finishBuilding();
    saveDocument(document_, path);
}

void PreviewWindow::loadFrom(const QString& path)
{
    Document loaded = loadDocument(path);
    stopBuilding();
    document_ = std::move(loaded);
    loaded_ = true;
    page_ = 0;
    updateControls();
}

void PreviewWindow::closeEvent(QCloseEvent* event)
{
    closing_ = true;
    run([this] { stopBuilding(); });
    QWidget::closeEvent(event);
    emit closed();
}

void printDocument(const Document& document, QPrinter& printer, const std::function<void(int, int)>& progress)
{
    const int count = document.pageCount();
    if (count == 0)
        return;
    int from = 1;
    int to = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(count, printer.toPage() > 0 ? printer.toPage() : count);
    }
    if (from > to)
        return;
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());

    QPainter painter;
    if (!painter.begin(&printer))
        throw rtl::Error(QStringLiteral("The printer could not be started"));
    bool first = true;
    int printed = 0;
    const int total = (to - from + 1) * copies;
    for (int copy = 0; copy < copies; ++copy) {
        for (int page = from; page <= to; ++page) {
            if (!first && !printer.newPage()) {
                painter.end();
                throw rtl::Error(QStringLiteral("The printer could not start a new page"));
            }
            first = false;
            painter.save();
            scaleToMillimetres(painter);
            paintPage(document, page - 1, painter);
            painter.restore();
            if (progress)
                progress(++printed, total);
        }
    }
    if (!painter.end())
        throw rtl::Error(QStringLiteral("The printer could not finish the document"));
}

} // namespace report
