#include "reports/QrMin.h"

TQMin* QMin = nullptr;

TQMin::TQMin() : DataModuleReport(QStringLiteral("QMin")) {}
