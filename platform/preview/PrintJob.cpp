#include "platform/preview/PrintJob.h"

#include "platform/report/PageBuilder.h"
#include "platform/report/Renderer.h"
#include "platform/rtl/Errors.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace report {

namespace {

void pump()
{
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

PrintJob::PrintJob(QWidget* parent) : window_(std::make_unique<QWidget>(parent, Qt::Dialog))
{
    window_->setWindowTitle(QStringLiteral("Printing progress"));
    window_->setObjectName(QStringLiteral("printingProgress"));
    label_ = new QLabel(window_.get());
    auto* box = new QVBoxLayout(window_.get());
    box->addWidget(label_);
    label_->setMinimumWidth(240);
    label_->setText(QStringLiteral("Preparing pages"));
    window_->show();
    pump();
}

PrintJob::~PrintJob() = default;

void PrintJob::refuseIncomplete()
{
    throw rtl::Error(QStringLiteral("The pages are incomplete and are not printed: their data was closed "
                                    "or changed while they were built. Preview the report again."));
}

Document PrintJob::rebuild(const LayoutModel& layout, data::DataSet* dataSet)
{
    PageBuilder builder(layout, dataSet);
    while (!builder.step(500)) {
        label_->setText(QStringLiteral("Preparing page %1").arg(builder.document().pageCount()));
        pump();
    }
    Document rebuilt = builder.takeDocument();
    if (!rebuilt.complete)
        refuseIncomplete();
    return rebuilt;
}

void PrintJob::print(const Document& document, QPrinter& printer)
{
    printDocument(document, printer, [&](int page, int count) {
        label_->setText(QStringLiteral("Printing page %1 of %2").arg(page).arg(count));
        pump();
    });
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
