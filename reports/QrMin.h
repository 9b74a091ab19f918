#pragma once

#include "platform/report/Report.h"

// The minimum-stock report: the items at or below their reorder level, as
// the data module's query FDM->QMin holds them. The layout's instance bears
// the query's name; the query is always reached through FDM.
class TQMin : public report::Report {
    Q_OBJECT
public:
    TQMin();

    report::Band* TitleBand1;
    report::Image* QRImage1;
    report::Label* QRLabel1;
    report::Label* QRLabel15; // the firm's address line

    report::Band* ColumnHeaderBand1;
    report::Label* QRLabel2;
    report::Label* QRLabel3;
    report::Label* QRLabel4;
    report::Label* QRLabel5;
    report::Label* QRLabel6;
    report::Label* QRLabel7;

    report::Band* DetailBand1;
    report::SysData* QRSysData1;
    report::DBText* QRDBText1;
    report::DBText* QRDBText2;
    report::DBText* QRDBText3;
    report::DBText* QRDBText4;
    report::DBText* QRDBText5; // the reorder level, right-aligned
};

extern TQMin* QMin;
