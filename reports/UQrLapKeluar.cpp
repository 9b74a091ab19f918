#include "reports/UQrLapKeluar.h"

TQrLapKeluar* QrLapKeluar = nullptr;

TQrLapKeluar::TQrLapKeluar() : DataModuleReport(QStringLiteral("QrLapKeluar")) {}
