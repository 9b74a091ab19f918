#pragma once

#include "reports/DataModuleReport.h"

// The issue report: the issue lines of a date range (FDM->QLapKeluar), as
// the issue report window left the query.
class TQrLapKeluar : public DataModuleReport {
    Q_OBJECT
public:
    TQrLapKeluar();
};

extern TQrLapKeluar* QrLapKeluar;
