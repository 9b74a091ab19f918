#pragma once

#include "platform/ui/Form.h"

#include "ui_TFPackinglist.h"

#include <QString>

// Issue note reprint window: lists the lines of a stored issue by its number
// and prints its note again with the date stored in its header.
class TFPackinglist : public ui::Form, public Ui::TFPackinglist {
    Q_OBJECT
public:
    explicit TFPackinglist(QWidget* parent = nullptr);

    void FormActivate();
    void Edit1Change();
    void Edit1KeyPress(QChar& Key);
    void Button1Click();
};

extern TFPackinglist* FPackinglist;

// The date text of the last note prepared here; empty until the first print.
extern QString ReprintDateText;
