#pragma once

#include "platform/ui/Form.h"
#include "ui_TFUtama.h"

// Main menu window.
class TFUtama : public ui::Form, public Ui::TFUtama {
public:
    explicit TFUtama(QWidget* parent = nullptr);

    void FormClose(bool& allowClose);
    void Tutup1Click();
    void SpeedButton7Click();
    void InputKodeBarang1Click();
    void SpeedButton1Click();
    void PenerimaanBarang1Click();
    void SpeedButton2Click();
    void PackingList1Click();
    void SpeedButton3Click();
    void Packinglist3Click();
    void GantiPassword1Click();
    void AboutMe1Click();

    void SpeedButton1MouseMove();
    void SpeedButton2MouseMove();
    void SpeedButton3MouseMove();
    void SpeedButton4MouseMove();
    void SpeedButton5MouseMove();
    void SpeedButton6MouseMove();
    void SpeedButton7MouseMove();
    void SpeedButton8MouseMove();
    void Image1MouseMove();

private:
    bool askExit();
};

extern TFUtama* FUtama;
