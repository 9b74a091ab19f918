#pragma once

#include "platform/ui/Form.h"

#include "ui_TFBarang.h"

// Item input window: enters new items, deletes the item marked in its grid
// and opens the item edit window.
class TFBarang : public ui::Form, public Ui::TFBarang {
    Q_OBJECT
public:
    explicit TFBarang(QWidget* parent = nullptr);

    void FormActivate();
    void Edit1KeyPress(QChar& Key);
    void Edit1Change();
    void Edit2KeyPress(QChar& Key);
    void Edit3KeyPress(QChar& Key);
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();

private:
    void withdrawLaterSteps();
};

extern TFBarang* FBarang;
