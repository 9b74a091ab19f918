#include "reports/UQrLapStock.h"

TQrLapStock* QrLapStock = nullptr;

TQrLapStock::TQrLapStock() : DataModuleReport(QStringLiteral("QrLapStock")) {}
