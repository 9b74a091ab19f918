#pragma once

#include "movements/MovementSteps.h"
#include "platform/ui/Form.h"

#include "ui_TFMasuk.h"

// Goods-receipt window: lines of an incoming goods document under the number
// the user types; each save appends a receipt line and raises the item's stock.
class TFMasuk : public ui::Form, public Ui::TFMasuk {
    Q_OBJECT
public:
    explicit TFMasuk(QWidget* parent = nullptr);

    void FormActivate();
    void Edit1KeyPress(QChar& Key);
    void Edit2KeyPress(QChar& Key);
    void Edit5KeyPress(QChar& Key);
    void Button1Click();
    void Button2Click();
    void Button3Click();

private:
    movements::ItemBoxes items() const;
};

extern TFMasuk* FMasuk;
