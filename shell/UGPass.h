#pragma once

#include "platform/ui/Form.h"
#include "ui_TFGantiPass.h"

#include <QString>
#include <QtGlobal>

// Change-password window.
class TFGantiPass : public ui::Form, public Ui::TFGantiPass {
public:
    explicit TFGantiPass(QWidget* parent = nullptr);

    void FormActivate();
    void Edit1KeyPress(QChar& Key);
    void Edit2KeyPress(QChar& Key);
    void Edit3KeyPress(QChar& Key);
    void Button1Click();
    void Button2Click();
    void Button3Click();
};

extern TFGantiPass* FGantiPass;

// Wrong old passwords since the window was opened or last reset.
extern quint8 ChangeFailures;
// The login's password-file text, as last compared with.
extern QString StoredPasswordCopy;
