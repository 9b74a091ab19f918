#include "reports/UQrLapKeluar.h"

#include "datamodule/UDm.h"

TQrLapKeluar* QrLapKeluar = nullptr;

TQrLapKeluar::TQrLapKeluar() : report::Report(QStringLiteral("QrLapKeluar"), dataSetOfFDM) {}
