#pragma once

#include <QPrinter>
#include <memory>

class QWidget;

namespace report {

class LayoutModel;

// A printer for a layout's pages: A4 in the layout's orientation, the whole
// sheet, one copy, all pages; the printer chosen in any set-up of the run.
std::unique_ptr<QPrinter> makePrinter(const LayoutModel& layout);

// The printer set-up over `parent`, offering pages 1 to `pageCount`. It only
// sets the printer up; the choice is kept for the rest of the run. Returns
// whether it was accepted.
bool setUpPrinter(QPrinter& printer, int pageCount, QWidget* parent);

} // namespace report
