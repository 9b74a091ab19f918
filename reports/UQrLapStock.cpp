#include "reports/UQrLapStock.h"

#include "shell/UDm.h"

TQrLapStock* QrLapStock = nullptr;

TQrLapStock::TQrLapStock()
    : report::Report(QStringLiteral("QrLapStock"), [](const QString& name) { return FDM->dataSetByName(name); })
{
    TitleBand1 = band(QStringLiteral("TitleBand1"));
    QRImage1 = item<report::Image>(QStringLiteral("QRImage1"));
    QRLabel1 = item<report::Label>(QStringLiteral("QRLabel1"));
    QRLabel7 = item<report::Label>(QStringLiteral("QRLabel7"));
    QRSysData1 = item<report::SysData>(QStringLiteral("QRSysData1"));

    ColumnHeaderBand1 = band(QStringLiteral("ColumnHeaderBand1"));
    QRLabel2 = item<report::Label>(QStringLiteral("QRLabel2"));
    QRLabel3 = item<report::Label>(QStringLiteral("QRLabel3"));
    QRLabel4 = item<report::Label>(QStringLiteral("QRLabel4"));
    QRLabel5 = item<report::Label>(QStringLiteral("QRLabel5"));
    QRLabel6 = item<report::Label>(QStringLiteral("QRLabel6"));

    DetailBand1 = band(QStringLiteral("DetailBand1"));
    QRSysData2 = item<report::SysData>(QStringLiteral("QRSysData2"));
    QRDBText1 = item<report::DBText>(QStringLiteral("QRDBText1"));
    QRDBText2 = item<report::DBText>(QStringLiteral("QRDBText2"));
    QRDBText3 = item<report::DBText>(QStringLiteral("QRDBText3"));
    QRDBText4 = item<report::DBText>(QStringLiteral("QRDBText4"));
}
