#include "items/UEditBrg.h"

#include "datamodule/UDm.h"
#include "entry/EntrySteps.h"
#include "platform/data/Transaction.h"
#include "platform/rtl/Format.h"
#include "platform/ui/Dialogs.h"

TFEditBrg* FEditBrg = nullptr;

TFEditBrg::TFEditBrg(QWidget* parent) : ui::Form(parent)
{
    setupUi(this);
    setCloseBox(false);
    setPosition(ui::Position::DesktopCenter);
    entry::digitBox(Edit3);

    OnActivate = [this] { FormActivate(); };
    Edit1->OnKeyPress = [this](QChar& k) { Edit1KeyPress(k); };
    Edit2->OnKeyPress = [this](QChar& k) { Edit2KeyPress(k); };
    Edit3->OnKeyPress = [this](QChar& k) { Edit3KeyPress(k); };
    Edit4->OnKeyPress = [this](QChar& k) { Edit4KeyPress(k); };
    Button1->OnClick = [this] { Button1Click(); };
    Button2->OnClick = [this] { Button2Click(); };
    Button3->OnClick = [this] { Button3Click(); };
}

void TFEditBrg::FormActivate()
{
    Edit1->clear();
    Edit2->clear();
    Edit2->setEnabled(false);
    Edit3->clear();
    Edit3->setEnabled(false);
    Edit4->clear();
    Edit4->setEnabled(false);
    Button1->setEnabled(false);
    Edit1->setFocus();
}

void TFEditBrg::Edit1KeyPress(QChar& Key)
{
    if (Key != QChar(13))
        return;
    if (FDM->TBarang->findKey(Edit1->text())) {
        Edit2->setText(FDM->TBarangNamaBrg->asString());
        Edit3->setText(rtl::floatToStr(FDM->TBarangReorder->asFloat()));
        Edit4->setText(FDM->TBarangSatuan->asString());
        Edit2->setEnabled(true);
        Edit2->setFocus();
    } else {
        ui::showMessage(QStringLiteral("Kode Barang Tidak Terdaftar...!"));
        Edit1->clear();
        Edit1->setFocus();
    }
}

void TFEditBrg::Edit2KeyPress(QChar& Key)
{
    if (Key == QChar(13))
        entry::textStep(Edit2, QStringLiteral("Nama Barang Tidak Boleh Kosong...!"), Edit3);
}

void TFEditBrg::Edit3KeyPress(QChar& Key)
{
    if (!entry::enterInDigitBox(Key))
        return;
    if (entry::isBlank(Edit3->text()))
        Edit3->setText(QStringLiteral("0"));
    Edit4->setEnabled(true);
    Edit4->setFocus();
}

void TFEditBrg::Edit4KeyPress(QChar& Key)
{
    if (Key == QChar(13))
        entry::textStep(Edit4, QStringLiteral("Satuan BArang Tidak Boleh Kosong...!"), Button1);
}

// An emptied code box would write an empty key into the item. The reorder
// text is converted before the row is touched, and the row is written in one
// transaction, so a refused save changes neither the table nor the window.
void TFEditBrg::Button1Click()
{
    if (Edit1->text().isEmpty()) {
        ui::showMessage(QStringLiteral("Kode Barang Tidak Terdaftar...!"));
        Edit1->setFocus();
        return;
    }
    const double reorder = rtl::strToFloat(Edit3->text());
    {
        data::Transaction transaction(*FDM->TBarang);
        FDM->TBarang->edit();
        FDM->TBarangKdBrg->setAsString(Edit1->text());
        FDM->TBarangNamaBrg->setAsString(Edit2->text());
        FDM->TBarangReorder->setAsFloat(reorder);
        FDM->TBarangSatuan->setAsString(Edit4->text());
        FDM->TBarang->post();
        transaction.commit();
    }
    if (ui::messageBox(QStringLiteral("Apakah Ada Edit Data Barang Lagi...?"), QStringLiteral("Konfirmasi"),
                       ui::mbYesNo | ui::mbIconQuestion) == ui::idYes)
        FormActivate();
    else
        closeForm();
}

void TFEditBrg::Button2Click()
{
    FormActivate();
}

void TFEditBrg::Button3Click()
{
    closeForm();
}
