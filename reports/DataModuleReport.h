#pragma once

#include "platform/report/Report.h"

// A report layout whose definition names the dataset of the data module
// (FDM) it prints. Nothing is set on these layouts from outside: the windows
// only ask for their preview.
class DataModuleReport : public report::Report {
    Q_OBJECT
public:
    explicit DataModuleReport(const QString& layoutName);
};
