#include "platform/preview/PreviewWindow.h"

#include "platform/data/DataSet.h"
#include "platform/preview/BuildScheduler.h"
#include "platform/preview/DocumentFile.h"
#include "platform/preview/PageView.h"
#include "platform/preview/PrintJob.h"
#include "platform/preview/PrinterSetup.h"
#include "platform/report/Layout.h"
#include "platform/ui/Application.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace report {

namespace {

constexpr int kGap = PageView::kGap;
// Building goes on once the first page is on screen, or after this long
// for a window that is not painted (hidden by the window system).
constexpr int kFirstPaintWaitMs = 200;

} // namespace

// The windows that ask for a preview close their dataset when they are
// activated again, which may happen while the preview is still open.
class PreviewWindow::DataWatch : public data::DataLink {
public:
    DataWatch(data::DataSet* dataSet, bool& closed) : dataSet_(dataSet), closed_(closed)
    {
        dataSet_->addLink(this);
    }
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
    pages_ = new BuildScheduler(
        report.layout(), report.dataSet(), [this](const auto& work) { run(work); }, this);
    connect(pages_, &BuildScheduler::progressed, this, &PreviewWindow::updateControls);

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
        const QString path = askSavePath(this);
        if (!path.isEmpty())
            saveTo(path);
    });
    button("loadButton", QStringLiteral("Load"), [this] {
        const QString path = askLoadPath(this);
        if (!path.isEmpty())
            loadFrom(path);
    });
    bar->addSpacing(12);
    button("closeButton", QStringLiteral("&Close"), [this] { close(); });
    bar->addStretch();

    scroll_ = new QScrollArea(this);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);
    view_ = new PageView(this);
    // Queued, so that what else came with the first paint runs before the
    // first slice of building.
    view_->painted = [this] {
        QMetaObject::invokeMethod(pages_, &BuildScheduler::goOn, Qt::QueuedConnection);
    };
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
    if (!printer_)
        printer_ = makePrinter(report_.layout());
    return *printer_;
}

QPushButton* PreviewWindow::addButton(const char* objectName, const QString& caption,
                                      std::function<void()> work)
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
    return pages_->document();
}

bool PreviewWindow::building() const
{
    return pages_->building();
}

void PreviewWindow::start()
{
    if (data::DataSet* dataSet = report_.dataSet())
        dataWatch_ = std::make_unique<DataWatch>(dataSet, dataClosed_);
    pages_->start();
    show();
    raise();
    activateWindow();
    setZoom(zoom_);
    QTimer::singleShot(kFirstPaintWaitMs, pages_, &BuildScheduler::goOn);
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
        return std::max(0.1, (scroll_->width() - scroll_->frameWidth() * 2 - scrollBar - 2 * kGap) /
                                 doc.pageWidth);
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
    QString text =
        count == 0 ? QStringLiteral("No pages") : QStringLiteral("Page %1 of %2").arg(page_ + 1).arg(count);
    if (!building() && !document().complete)
        text += QStringLiteral(" (incomplete: the data was closed or changed while the pages were built)");
    status_->setText(text);
    auto enable = [this](const char* name, bool on) {
        findChild<QPushButton*>(QLatin1String(name))->setEnabled(on);
    };
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
    pages_->finish();
    setUpPrinter(printer(), document().pageCount(), this);
}

void PreviewWindow::print()
{
    // The preview's own run ends before the dataset is walked again.
    pages_->finish();
    // A dataset closed since the preview was built (the caller resets on
    // activation) would give an empty page, not the pages on show.
    const data::DataSet* dataSet = report_.dataSet();
    const bool rebuild = !loaded_ && !dataClosed_ && (!dataSet || dataSet->active());
    if (!rebuild && !document().complete)
        PrintJob::refuseIncomplete();

    PrintJob job(this);
    Document rebuilt;
    if (rebuild)
        rebuilt = job.rebuild(report_.layout(), report_.dataSet());
    try {
        job.print(rebuild ? rebuilt : document(), printer());
    } catch (...) {
        // A printer that failed stays broken; the next set-up starts afresh.
        printer_.reset();
        throw;
    }
}

void PreviewWindow::saveTo(const QString& path)
{
    pages_->finish();
    saveDocument(document(), path);
}

void PreviewWindow::loadFrom(const QString& path)
{
    pages_->replace(loadDocument(path));
    loaded_ = true;
    page_ = 0;
    updateControls();
}

void PreviewWindow::closeEvent(QCloseEvent* event)
{
    run([this] { pages_->stop(); });
    QWidget::closeEvent(event);
    emit closed();
}

} // namespace report
