#include "movements/UFPP.h"

#include "datamodule/UDm.h"
#include "entry/EntrySteps.h"
#include "platform/data/Transaction.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Format.h"
#include "platform/ui/Dialogs.h"

TFMasuk* FMasuk = nullptr;

TFMasuk::TFMasuk(QWidget* parent) : ui::Form(parent)
{
    setupUi(this);
    setCloseBox(false);
    setPosition(ui::Position::DesktopCenter);
    DBGrid1->setDataSource(FDM->DsQMasuk);
    entry::digitBox(Edit5);

    OnActivate = [this] { FormActivate(); };
    Edit1->OnKeyPress = [this](QChar& k) { Edit1KeyPress(k); };
    Edit2->OnKeyPress = [this](QChar& k) { Edit2KeyPress(k); };
    Edit5->OnKeyPress = [this](QChar& k) { Edit5KeyPress(k); };
    Button1->OnClick = [this] { Button1Click(); };
    Button2->OnClick = [this] { Button2Click(); };
    Button3->OnClick = [this] { Button3Click(); };
}

movements::ItemBoxes TFMasuk::items() const
{
    return {
        .code = Edit2, .name = Edit3, .unit = Label9, .stock = Edit4, .quantity = Edit5, .search = Button3};
}

void TFMasuk::FormActivate()
{
    Edit1->clear();
    for (ui::Edit* box : {Edit2, Edit3, Edit4, Edit5}) {
        box->clear();
        box->setEnabled(false);
    }
    Button1->setEnabled(false);
    FDM->QMasuk->close();
    Label7->setText(rtl::dateToStr(rtl::today()));
    Label7->adjustSize();
    Button3->setEnabled(false);
    Label9->setText(QString());
    Edit1->setFocus();
}

void TFMasuk::Edit1KeyPress(QChar& Key)
{
    if (Key == QChar(13) && entry::textStep(Edit1, QStringLiteral("No.FPP Tidak Boleh Kosong"), Edit2))
        Button3->setEnabled(true);
}

void TFMasuk::Edit2KeyPress(QChar& Key)
{
    if (Key == QChar(13) && movements::findItem(items()))
        movements::showItem(items());
}

void TFMasuk::Edit5KeyPress(QChar& Key)
{
    if (!entry::enterInDigitBox(Key))
        return;
    if (entry::isBlank(Edit5->text()))
        Edit5->setText(QStringLiteral("0"));
    Button1->setEnabled(true);
    Button1->setFocus();
}

// The line and the stock change are stored together or not at all; the item
// is looked up again inside the save, so both follow the code as it stands.
void TFMasuk::Button1Click()
{
    const double quantity = rtl::strToFloat(Edit5->text());
    const QDate date = rtl::strToDate(Label7->text());
    bool found = false;
    {
        data::Transaction transaction(*FDM->TMasuk);
        found = FDM->TBarang->findKey(Edit2->text());
        if (found) {
            FDM->TMasuk->append();
            FDM->TMasukNo_SMasuk->setAsString(Edit1->text());
            FDM->TMasukKdBrg->setAsString(Edit2->text());
            FDM->TMasukTgl->setAsDateTime(date.startOfDay());
            FDM->TMasukJml->setAsFloat(quantity);
            FDM->TMasuk->post();
            FDM->TBarang->edit();
            FDM->TBarangStock->setAsFloat(FDM->TBarangStock->asFloat() + quantity);
            FDM->TBarang->post();
            transaction.commit();
        }
    }
    if (!found) {
        movements::refuseCode(items());
        return;
    }
    FDM->QMasuk->close();
    FDM->QMasuk->prepare();
    FDM->QMasuk->paramByName(QStringLiteral("Masuk")).setAsString(Edit1->text());
    FDM->QMasuk->open();
    if (ui::messageBox(QStringLiteral("Apakah Ada Barang Dgn No.Surat Yang Sama..?"),
                       QStringLiteral("Konfirmasi"), ui::mbYesNo | ui::mbIconQuestion) == ui::idYes) {
        for (ui::Edit* box : {Edit2, Edit3, Edit4, Edit5})
            box->clear();
        Edit5->setEnabled(false);
        Button1->setEnabled(false);
        Edit2->setFocus();
    } else {
        closeForm();
    }
}

void TFMasuk::Button2Click()
{
    closeForm();
}

void TFMasuk::Button3Click()
{
    movements::openItemSearch(*this);
}
