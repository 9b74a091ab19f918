#pragma once

#include "platform/preview/Report.h"

// The issue note: the lines of one goods-issue document (FDM->QKeluar).
// Callers set the number and date captions, then ask for the preview.
class TQrKeluar : public report::Report {
    Q_OBJECT
public:
    TQrKeluar();

    report::Band* TitleBand1;
    report::Image* QRImage1;
    report::Label* QRLabel1;
    report::Label* QRLabel2;
    report::Label* QRLabel13; // issue number
    report::Label* QRLabel3;
    report::Label* QRLabel14; // issue date
    report::Label* QRLabel15; // the firm's address line

    report::Band* ColumnHeaderBand1;
    report::Label* QRLabel4;
    report::Label* QRLabel5;
    report::Label* QRLabel6;
    report::Label* QRLabel12;
    report::Label* QRLabel7;
    report::Shape* QRShape1;

    report::Band* DetailBand1;
    report::SysData* QRSysData1;
    report::DBText* QRDBText3;
    report::DBText* QRDBText4;
    report::DBText* QRDBText6;
    report::DBText* QRDBText5;

    report::Band* SummaryBand1;
    report::Label* QRLabel9;
    report::Label* QRLabel11;
    report::Label* QRLabel8;
    report::Label* QRLabel10;
};

extern TQrKeluar* QrKeluar;
