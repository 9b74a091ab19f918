#pragma once

#include "platform/preview/Report.h"

// The receipt report: the receipt lines of a date range (FDM->QLapMasuk),
// as the receipt report window left the query.
class TQrLapMasuk : public report::Report {
    Q_OBJECT
public:
    TQrLapMasuk();
};

extern TQrLapMasuk* QrLapMasuk;
