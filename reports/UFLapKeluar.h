#pragma once

#include "reports/DateRangeWindow.h"

#include "ui_TFlapKeluar.h"

// Issue report window: the issue lines of a date range (FDM->QLapKeluar),
// printed through QrLapKeluar.
class TFlapKeluar : public DateRangeWindow, public Ui::TFlapKeluar {
    Q_OBJECT
public:
    explicit TFlapKeluar(QWidget* parent = nullptr);
};

extern TFlapKeluar* FlapKeluar;
