#pragma once

#include "MemoryDataSet.h"
#include "QStringPrinter.h"
#include "ReportOutput.h"
#include "platform/preview/Report.h"
#include "platform/report/Document.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

// A layout in the shape of the program's layouts, built from text so that
// the engine's tests need no resources: a title band (rule at its bottom,
// title, logo), a column header (rules at top and bottom), a detail band with
// the row number, a code and a quantity, and a summary aligned to the bottom.
QByteArray testFrameJson();
QByteArray testLayoutJson(const QString& extraDetailItems = {},
                          const QString& orientation = QStringLiteral("portrait"));

// An 81 x 81 pixel picture, made once per run.
QString testLogoPath();

// Layouts made from text, bound to any dataset.
class TestReport : public report::Report {
public:
    TestReport(const QByteArray& layoutJson, data::DataSet* dataSet);
};

// The "Lines" dataset the test layout reads, open: row i has the code "Ci"
// and the quantity i.
std::unique_ptr<MemoryDataSet> testLines(int count);

std::vector<const report::Primitive*> primitivesOf(const report::Page& page, const QString& item);
const report::PlacedBand* placedBand(const report::Page& page, report::BandType type);
