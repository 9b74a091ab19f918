#pragma once

#include "platform/ui/Form.h"

#include "ui_TFLapStock.h"

// Stock report window: the live item table in a grid, and the stock report's
// preview. It changes no data.
class TFLapStock : public ui::Form, public Ui::TFLapStock {
    Q_OBJECT
public:
    explicit TFLapStock(QWidget* parent = nullptr);

    void FormActivate();
    void Button1Click();
    void Button2Click();
};

extern TFLapStock* FLapStock;
