#pragma once

#include "movements/MovementSteps.h"
#include "platform/ui/Form.h"

#include "ui_TFKeluar.h"

// Goods-issue window: proposes the next issue number, stores the issue header
// once and a line per save, lowers the item's stock and prints the issue note.
class TFKeluar : public ui::Form, public Ui::TFKeluar {
    Q_OBJECT
public:
    explicit TFKeluar(QWidget* parent = nullptr);

    void FormActivate();
    void Edit2KeyPress(QChar& Key);
    void Edit5KeyPress(QChar& Key);
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();

private:
    movements::ItemBoxes items() const;
    void refuseQuantity(const QString& message);
};

extern TFKeluar* FKeluar;
