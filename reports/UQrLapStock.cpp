#include "reports/UQrLapStock.h"

#include "shell/UDm.h"

TQrLapStock* QrLapStock = nullptr;

TQrLapStock::TQrLapStock() : report::Report(QStringLiteral("QrLapStock"), dataSetOfFDM) {}
