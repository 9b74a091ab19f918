#include "reports/UFLapKeluar.h"

#include "datamodule/UDm.h"
#include "reports/UQrLapKeluar.h"

TFlapKeluar* FlapKeluar = nullptr;

TFlapKeluar::TFlapKeluar(QWidget* parent) : DateRangeWindow(parent)
{
    setupUi(this);
    bindSteps({.from = MaskEdit1,
               .to = MaskEdit2,
               .process = Button1,
               .print = Button2,
               .close = Button3,
               .grid = DBGrid1,
               .source = FDM->DsQlapKeluar,
               .query = FDM->QLapKeluar,
               .layout = [] { return static_cast<report::Report*>(QrLapKeluar); }});
}
