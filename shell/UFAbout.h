#pragma once

#include "platform/ui/Form.h"
#include "ui_TFAbout.h"

// About box.
class TFAbout : public ui::Form, public Ui::TFAbout {
public:
    explicit TFAbout(QWidget* parent = nullptr);
    void Button1Click();
};

extern TFAbout* FAbout;
