#include "reports/QrMin.h"

#include "shell/UDm.h"

TQMin* QMin = nullptr;

TQMin::TQMin() : report::Report(QStringLiteral("QMin"), dataSetOfFDM) {}
