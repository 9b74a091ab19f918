#pragma once

#include "platform/preview/Report.h"

// The minimum-stock report: the items at or below their reorder level, as
// the data module's query FDM->QMin holds them. The layout's instance bears
// the query's name; the query is always reached through FDM.
class TQMin : public report::Report {
    Q_OBJECT
public:
    TQMin();
};

extern TQMin* QMin;
