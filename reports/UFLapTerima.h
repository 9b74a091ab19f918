#pragma once

#include "reports/DateRangeWindow.h"

#include "ui_TFlapTerima.h"

// Receipt report window: the receipt lines of a date range (FDM->QLapMasuk),
// printed through QrLapMasuk.
class TFlapTerima : public DateRangeWindow, public Ui::TFlapTerima {
    Q_OBJECT
public:
    explicit TFlapTerima(QWidget* parent = nullptr);
};

extern TFlapTerima* FlapTerima;
