#pragma once

#include "platform/ui/Form.h"

#include "ui_TFCari.h"

#include <vector>

namespace ui {
class Edit;
}

// Item search window: lists the items whose name begins with the typed text
// and hands the chosen code back to the window that asked for it.
class TFCari : public ui::Form, public Ui::TFCari {
    Q_OBJECT
public:
    // A window that opens the search: it raises its Tag (1) first, and takes
    // the chosen code into its code box.
    struct Requester {
        ui::Form* form;
        ui::Edit* code;
    };

    explicit TFCari(QWidget* parent = nullptr);

    // The windows that may ask, in the order the hand-back tests their flags.
    void setRequesters(std::vector<Requester> requesters);

    void FormActivate();
    void FormClose(bool& allowClose);
    void Edit1Change();
    void Edit1KeyPress(QChar& Key);
    void Button1Click();

private:
    std::vector<Requester> requesters_;
};

extern TFCari* FCari;
