#include "reports/UQrLapStock.h"

#include "datamodule/UDm.h"

TQrLapStock* QrLapStock = nullptr;

TQrLapStock::TQrLapStock() : report::Report(QStringLiteral("QrLapStock"), dataSetOfFDM) {}
