#include "reports/UQrLapKeluar.h"

TQrLapKeluar* QrLapKeluar = nullptr;

TQrLapKeluar::TQrLapKeluar() : DateRangeLayout(QStringLiteral("QrLapKeluar")) {}
