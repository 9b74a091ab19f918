#pragma once

#include "platform/report/Document.h"

#include <QPrinter>
#include <functional>
#include <memory>

class QLabel;
class QWidget;

namespace data {
class DataSet;
}

namespace report {

class LayoutModel;

// Sends pages to a printer (or a PDF file): the printer's page range if it
// has one, each page drawn on the whole sheet. Raises rtl::Error when the
// printer cannot be started. `progress` is told each page printed.
void printDocument(const Document& document, QPrinter& printer,
                   const std::function<void(int page, int count)>& progress = {});

// One print run from the preview, with a progress window over it that shows
// the pages being made and printed; the window goes with the job.
class PrintJob {
public:
    explicit PrintJob(QWidget* parent);
    ~PrintJob();
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    // The layout's pages built again from its dataset. Raises rtl::Error
    // when they come out incomplete.
    Document rebuild(const LayoutModel& layout, data::DataSet* dataSet);
    void print(const Document& document, QPrinter& printer);

    // Refuses pages whose data went away while they were built.
    [[noreturn]] static void refuseIncomplete();

private:
    std::unique_ptr<QWidget> window_;
    QLabel* label_ = nullptr;
};

} // namespace report
