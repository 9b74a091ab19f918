#pragma once

#include "platform/ui/Form.h"

#include "ui_TFminStock.h"

// Minimum-stock window: the items at or below their reorder level (the data
// module's query FDM->QMin, run again at every activation) and the preview of
// the minimum-stock report.
class TFminStock : public ui::Form, public Ui::TFminStock {
    Q_OBJECT
public:
    explicit TFminStock(QWidget* parent = nullptr);

    void FormActivate();
    void Button1Click();
    void Button2Click();
};

extern TFminStock* FminStock;
