#include "reports/UQrLapMasuk.h"

#include "datamodule/UDm.h"

TQrLapMasuk* QrLapMasuk = nullptr;

TQrLapMasuk::TQrLapMasuk() : report::Report(QStringLiteral("QrLapMasuk"), dataSetOfFDM) {}
