#pragma once

#include "reports/DateRangeLayout.h"

// The issue report: the issue lines of a date range (FDM->QLapKeluar), as
// the issue report window left the query.
class TQrLapKeluar : public DateRangeLayout {
    Q_OBJECT
public:
    TQrLapKeluar();
};

extern TQrLapKeluar* QrLapKeluar;
