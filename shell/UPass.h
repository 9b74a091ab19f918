#pragma once

#include "platform/ui/Form.h"
#include "ui_TFpass.h"

#include <QString>
#include <QtGlobal>

// Login window; the program's main window.
class TFpass : public ui::Form, public Ui::TFpass {
public:
    explicit TFpass(QWidget* parent = nullptr);

    void FormActivate();
    void Button1Click();
    void Edit1KeyPress(QChar& Key);
    void Button2Click();
};

extern TFpass* Fpass;

// The password file, in the current folder; the login and the change window
// share it.
extern const QString PasswordFile;

// Failed Access checks in this run; wraps to 0 after 255.
extern quint8 LoginFailures;
