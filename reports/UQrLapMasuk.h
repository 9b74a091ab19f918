#pragma once

#include "reports/DateRangeLayout.h"

// The receipt report: the receipt lines of a date range (FDM->QLapMasuk),
// as the receipt report window left the query.
class TQrLapMasuk : public DateRangeLayout {
    Q_OBJECT
public:
    TQrLapMasuk();
};

extern TQrLapMasuk* QrLapMasuk;
