#include "platform/preview/PrinterSetup.h"

#include "platform/report/Model.h"
#include "platform/ui/Application.h"

#include <QDialogButtonBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPushButton>

namespace report {

namespace {

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

std::unique_ptr<QPrinter> makePrinter(const LayoutModel& layout)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(layout.orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                             : QPageLayout::Portrait);
    printer->setFullPage(true);
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    printer->setCopyCount(1);
    printer->setDocName(layout.name);
    const ChosenPrinter& chosen = chosenPrinter();
    if (chosen.chosen) {
        if (chosen.format == QPrinter::PdfFormat) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(chosen.file);
        } else {
            printer->setPrinterName(chosen.name);
            printer->setOutputFileName(chosen.file);
        }
    }
    return printer;
}

bool setUpPrinter(QPrinter& printer, int pageCount, QWidget* parent)
{
    const int pages = std::max(1, pageCount);
    QPrintDialog dialog(&printer, parent);
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
        return false;
    ChosenPrinter& chosen = chosenPrinter();
    chosen.chosen = true;
    chosen.format = printer.outputFormat();
    chosen.name = printer.printerName();
    chosen.file = printer.outputFileName();
    return true;
}

} // namespace report
