#include "reports/UFLapTerima.h"

#include "datamodule/UDm.h"
#include "reports/UQrLapMasuk.h"

TFlapTerima* FlapTerima = nullptr;

TFlapTerima::TFlapTerima(QWidget* parent) : DateRangeWindow(parent)
{
    setupUi(this);
    bindSteps({.from = MaskEdit1,
               .to = MaskEdit2,
               .process = Button1,
               .print = Button2,
               .close = Button3,
               .grid = DBGrid1,
               .source = FDM->DsQlapMasuk,
               .query = FDM->QLapMasuk,
               .layout = [] { return static_cast<report::Report*>(QrLapMasuk); }});
}
