#include "reports/UQrLapKeluar.h"

#include "shell/UDm.h"

TQrLapKeluar* QrLapKeluar = nullptr;

TQrLapKeluar::TQrLapKeluar() : report::Report(QStringLiteral("QrLapKeluar"), dataSetOfFDM) {}
