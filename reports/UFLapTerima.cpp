#include "reports/UFLapTerima.h"

#include "reports/UQrLapMasuk.h"
#include "shell/UDm.h"

TFlapTerima* FlapTerima = nullptr;

TFlapTerima::TFlapTerima(QWidget* parent) : DateRangeWindow(parent)
{
    setupUi(this);
    bindSteps({MaskEdit1, MaskEdit2, Button1, Button2, Button3, DBGrid1, FDM->DsQlapMasuk, FDM->QLapMasuk,
               [] { return static_cast<report::Report*>(QrLapMasuk); }});
}
