#pragma once

#include "platform/preview/Report.h"

// The stock report: every item of the item table (FDM->TBarang) in code
// order. Building it leaves the table on its last item.
class TQrLapStock : public report::Report {
    Q_OBJECT
public:
    TQrLapStock();
};

extern TQrLapStock* QrLapStock;
