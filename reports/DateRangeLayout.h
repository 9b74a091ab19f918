#pragma once

#include "platform/report/Report.h"

// What the receipt and issue reports share: the same items in the same
// bands; their definitions differ in places, title, stamp and query.
class DateRangeLayout : public report::Report {
    Q_OBJECT
public:
    explicit DateRangeLayout(const QString& layoutName);

    report::Band* TitleBand1;
    report::Image* QRImage1;
    report::Label* QRLabel1;
    report::Label* QRLabel9;     // the firm's address line
    report::SysData* QRSysData1; // when the pages were built

    report::Band* ColumnHeaderBand1;
    report::Label* QRLabel2;
    report::Label* QRLabel3;
    report::Label* QRLabel4;
    report::Label* QRLabel5;
    report::Label* QRLabel6;
    report::Label* QRLabel7;
    report::Label* QRLabel8;

    report::Band* DetailBand1;
    report::SysData* QRSysData2;
    report::DBText* QRDBText1;
    report::DBText* QRDBText2; // the document number
    report::DBText* QRDBText3;
    report::DBText* QRDBText4;
    report::DBText* QRDBText5;
    report::DBText* QRDBText6;
};
