#include "reports/UFLapKeluar.h"

#include "reports/UQrLapKeluar.h"
#include "shell/UDm.h"

TFlapKeluar* FlapKeluar = nullptr;

TFlapKeluar::TFlapKeluar(QWidget* parent) : DateRangeWindow(parent)
{
    setupUi(this);
    bindSteps({MaskEdit1, MaskEdit2, Button1, Button2, Button3, DBGrid1, FDM->DsQlapKeluar, FDM->QLapKeluar,
               [] { return static_cast<report::Report*>(QrLapKeluar); }});
}
