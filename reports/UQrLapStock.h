#pragma once

#include "platform/report/Report.h"

// The stock report: every item of the item table (FDM->TBarang) in code
// order. Building it leaves the table on its last item.
class TQrLapStock : public report::Report {
    Q_OBJECT
public:
    TQrLapStock();

    report::Band* TitleBand1;
    report::Image* QRImage1;
    report::Label* QRLabel1;
    report::Label* QRLabel7;     // the firm's address line
    report::SysData* QRSysData1; // when the pages were built

    report::Band* ColumnHeaderBand1;
    report::Label* QRLabel2;
    report::Label* QRLabel3;
    report::Label* QRLabel4;
    report::Label* QRLabel5;
    report::Label* QRLabel6;

    report::Band* DetailBand1;
    report::SysData* QRSysData2; // in a fixed box
    report::DBText* QRDBText1;
    report::DBText* QRDBText2;
    report::DBText* QRDBText3;
    report::DBText* QRDBText4;
};

extern TQrLapStock* QrLapStock;
