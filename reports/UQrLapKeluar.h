#pragma once

#include "platform/preview/Report.h"

// The issue report: the issue lines of a date range (FDM->QLapKeluar), as
// the issue report window left the query.
class TQrLapKeluar : public report::Report {
    Q_OBJECT
public:
    TQrLapKeluar();
};

extern TQrLapKeluar* QrLapKeluar;
