#include "reports/QrMin.h"

#include "datamodule/UDm.h"

TQMin* QMin = nullptr;

TQMin::TQMin() : report::Report(QStringLiteral("QMin"), dataSetOfFDM) {}
