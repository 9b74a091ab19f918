#pragma once

#include "platform/report/Document.h"

#include <QString>
#include <functional>
#include <vector>

namespace report {
class PreviewWindow;
}

// Built report pages for the tests of every layout: where their PDFs go for a
// person to look at, and what the tests read back.

// Folder for output a person looks at ($TK_TEST_OUTPUT, set by ctest).
QString testOutputPath(const QString& fileName);
// Prints the pages to a PDF file under testOutputPath, A4 without printer
// margins (the pages carry their own); returns its path.
QString writeTestPdf(const report::Document& doc, const QString& fileName,
                     const std::function<void(int page, int count)>& progress = {});
// The pages of a PDF file, counted from its page objects; -1 when the file
// cannot be read or is no PDF.
int pdfPageCount(const QString& path);
int bandCount(const report::Page& page, report::BandType type);
// The texts an item printed on a page, or page after page.
std::vector<QString> textsOf(const report::Page& page, const QString& item);
std::vector<QString> textsOf(const report::Document& doc, const QString& item);
// Lets an open preview build its pages, as its own loop would.
void waitUntilBuilt(report::PreviewWindow* preview);
