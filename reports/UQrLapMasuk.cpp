#include "reports/UQrLapMasuk.h"

TQrLapMasuk* QrLapMasuk = nullptr;

TQrLapMasuk::TQrLapMasuk() : DateRangeLayout(QStringLiteral("QrLapMasuk")) {}
