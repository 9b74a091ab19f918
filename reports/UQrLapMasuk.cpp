#include "reports/UQrLapMasuk.h"

#include "shell/UDm.h"

TQrLapMasuk* QrLapMasuk = nullptr;

TQrLapMasuk::TQrLapMasuk() : report::Report(QStringLiteral("QrLapMasuk"), dataSetOfFDM) {}
