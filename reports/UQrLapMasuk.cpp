#include "reports/UQrLapMasuk.h"

TQrLapMasuk* QrLapMasuk = nullptr;

TQrLapMasuk::TQrLapMasuk() : DataModuleReport(QStringLiteral("QrLapMasuk")) {}
