#include "reports/DataModuleReport.h"

#include "shell/UDm.h"

DataModuleReport::DataModuleReport(const QString& layoutName)
    : report::Report(layoutName, [](const QString& name) { return FDM->dataSetByName(name); })
{
}
