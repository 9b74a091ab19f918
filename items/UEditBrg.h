#pragma once

#include "platform/ui/Form.h"

#include "ui_TFEditBrg.h"

// Item edit window: looks an item up by its code and writes the changed
// code, name, reorder level and unit into that row.
class TFEditBrg : public ui::Form, public Ui::TFEditBrg {
    Q_OBJECT
public:
    explicit TFEditBrg(QWidget* parent = nullptr);

    void FormActivate();
    void Edit1KeyPress(QChar& Key);
    void Edit2KeyPress(QChar& Key);
    void Edit3KeyPress(QChar& Key);
    void Edit4KeyPress(QChar& Key);
    void Button1Click();
    void Button2Click();
    void Button3Click();
};

extern TFEditBrg* FEditBrg;
