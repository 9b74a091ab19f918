#include "movements/UQrPacking.h"

#include "datamodule/UDm.h"

TQrKeluar* QrKeluar = nullptr;

TQrKeluar::TQrKeluar() : report::Report(QStringLiteral("QrKeluar"), dataSetOfFDM)
{
    TitleBand1 = band(QStringLiteral("TitleBand1"));
    QRImage1 = item<report::Image>(QStringLiteral("QRImage1"));
    QRLabel1 = item<report::Label>(QStringLiteral("QRLabel1"));
    QRLabel2 = item<report::Label>(QStringLiteral("QRLabel2"));
    QRLabel13 = item<report::Label>(QStringLiteral("QRLabel13"));
    QRLabel3 = item<report::Label>(QStringLiteral("QRLabel3"));
    QRLabel14 = item<report::Label>(QStringLiteral("QRLabel14"));
    QRLabel15 = item<report::Label>(QStringLiteral("QRLabel15"));

    ColumnHeaderBand1 = band(QStringLiteral("ColumnHeaderBand1"));
    QRLabel4 = item<report::Label>(QStringLiteral("QRLabel4"));
    QRLabel5 = item<report::Label>(QStringLiteral("QRLabel5"));
    QRLabel6 = item<report::Label>(QStringLiteral("QRLabel6"));
    QRLabel12 = item<report::Label>(QStringLiteral("QRLabel12"));
    QRLabel7 = item<report::Label>(QStringLiteral("QRLabel7"));
    QRShape1 = item<report::Shape>(QStringLiteral("QRShape1"));

    DetailBand1 = band(QStringLiteral("DetailBand1"));
    QRSysData1 = item<report::SysData>(QStringLiteral("QRSysData1"));
    QRDBText3 = item<report::DBText>(QStringLiteral("QRDBText3"));
    QRDBText4 = item<report::DBText>(QStringLiteral("QRDBText4"));
    QRDBText6 = item<report::DBText>(QStringLiteral("QRDBText6"));
    QRDBText5 = item<report::DBText>(QStringLiteral("QRDBText5"));

    SummaryBand1 = band(QStringLiteral("SummaryBand1"));
    QRLabel9 = item<report::Label>(QStringLiteral("QRLabel9"));
    QRLabel11 = item<report::Label>(QStringLiteral("QRLabel11"));
    QRLabel8 = item<report::Label>(QStringLiteral("QRLabel8"));
    QRLabel10 = item<report::Label>(QStringLiteral("QRLabel10"));
}
