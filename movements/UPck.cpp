#include "movements/UPck.h"

#include "datamodule/UDm.h"
#include "entry/EntrySteps.h"
#include "platform/data/Transaction.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Format.h"
#include "platform/ui/Dialogs.h"

TFKeluar* FKeluar = nullptr;

namespace {

const QString AboveStock = QStringLiteral("Jml Barang Keluar Melebihi Jumlah Stock...!");

} // namespace

TFKeluar::TFKeluar(QWidget* parent) : ui::Form(parent)
{
    setupUi(this);
    setCloseBox(false);
    setPosition(ui::Position::DesktopCenter);
    DBGrid1->setDataSource(FDM->DsQKeluar);
    entry::digitBox(Edit5);

    OnActivate = [this] { FormActivate(); };
    Edit2->OnKeyPress = [this](QChar& k) { Edit2KeyPress(k); };
    Edit5->OnKeyPress = [this](QChar& k) { Edit5KeyPress(k); };
    Button1->OnClick = [this] { Button1Click(); };
    Button2->OnClick = [this] { Button2Click(); };
    Button3->OnClick = [this] { Button3Click(); };
    Button4->OnClick = [this] { Button4Click(); };
}

movements::ItemBoxes TFKeluar::items() const
{
    return {
        .code = Edit2, .name = Edit3, .unit = Label9, .stock = Edit4, .quantity = Edit5, .search = Button4};
}

// Each activation starts a fresh issue under the number that follows the
// last header.
void TFKeluar::FormActivate()
{
    Edit1->clear();
    Edit2->clear();
    for (ui::Edit* box : {Edit3, Edit4, Edit5}) {
        box->clear();
        box->setEnabled(false);
    }
    Button1->setEnabled(false);
    Button3->setEnabled(false);
    FDM->QKeluar->close();
    Label7->setText(rtl::dateToStr(rtl::today()));
    Label7->adjustSize();
    FDM->TMasKeluar->last();
    const qint64 next = FDM->TMasKeluarNo->asInteger() + 1;
    Edit1->setText(movements::issueNumber(next, Label7->text()));
    Edit1->setEnabled(false);
    Label9->setText(QString());
    Edit2->setFocus();
}

void TFKeluar::Edit2KeyPress(QChar& Key)
{
    if (Key != QChar(13) || !movements::findItem(items()))
        return;
    // Inclusive: an item at its reorder level is due too.
    if (!(FDM->TBarangStock->asFloat() > FDM->TBarangReorder->asFloat()))
        ui::showMessage(QStringLiteral("Segera Lakukan Reorder Barang...!"));
    movements::showItem(items());
}

void TFKeluar::refuseQuantity(const QString& message)
{
    ui::showMessage(message);
    Edit5->clear();
    Edit5->setFocus();
}

void TFKeluar::Edit5KeyPress(QChar& Key)
{
    if (!entry::enterInDigitBox(Key))
        return;
    const QString text = Edit5->text();
    if (entry::isBlank(text) || text == QLatin1String("0")) {
        refuseQuantity(QStringLiteral("Jumlah Barang Yang Keluar Tidak Boleh Kosong...!"));
        return;
    }
    const double quantity = rtl::strToFloat(text);
    const double shown = rtl::strToFloat(Edit4->text());
    if (quantity > shown) {
        refuseQuantity(AboveStock);
        return;
    }
    Button1->setEnabled(true);
    Button1->setFocus();
}

// Header (for a new number), line and stock change are stored together or
// not at all. The quantity is checked again, inside the save, against the
// stock of the item the save changes: the code or the quantity may have been
// changed since their Enter.
void TFKeluar::Button1Click()
{
    const double quantity = rtl::strToFloat(Edit5->text());
    const QDate date = rtl::strToDate(Label7->text());
    enum { Saved, UnknownCode, TooMany } outcome = Saved;
    {
        data::Transaction transaction(*FDM->TMasKeluar);
        if (!FDM->TBarang->findKey(Edit2->text())) {
            outcome = UnknownCode;
        } else if (quantity > FDM->TBarangStock->asFloat()) {
            outcome = TooMany;
        } else {
            {
                movements::HeaderIndex byNumber(*FDM->TMasKeluar, QStringLiteral("KeluarIdx"));
                if (!FDM->TMasKeluar->findKey(Edit1->text())) {
                    FDM->TMasKeluar->append();
                    FDM->TMasKeluarNo_Keluar->setAsString(Edit1->text());
                    FDM->TMasKeluarTgl->setAsDateTime(date.startOfDay());
                    FDM->TMasKeluar->post();
                }
                FDM->TDetilKlr->append();
                FDM->TDetilKlrNo_Keluar->setAsString(Edit1->text());
                FDM->TDetilKlrKdBrg->setAsString(Edit2->text());
                FDM->TDetilKlrJml->setAsFloat(quantity);
                FDM->TDetilKlr->post();
                FDM->TBarang->edit();
                FDM->TBarangStock->setAsFloat(FDM->TBarangStock->asFloat() - quantity);
                FDM->TBarang->post();
            }
            transaction.commit();
        }
    }
    if (outcome == UnknownCode) {
        movements::refuseCode(items());
        return;
    }
    if (outcome == TooMany) {
        refuseQuantity(AboveStock);
        return;
    }
    movements::listIssueLines(Edit1->text());
    if (ui::messageBox(QStringLiteral("Apakah Ada Data Barang Lagi Dengan No.Surat Yang Sama"),
                       QStringLiteral("Konfirmasi"), ui::mbYesNo | ui::mbIconQuestion) == ui::idYes) {
        for (ui::Edit* box : {Edit2, Edit3, Edit4})
            box->clear();
        Edit5->setEnabled(false);
        Button1->setEnabled(false);
        Edit5->clear();
        Edit2->setFocus();
    } else {
        Button1->setEnabled(false);
        Button3->setEnabled(true);
        Button3->setFocus();
    }
}

void TFKeluar::Button2Click()
{
    closeForm();
}

// The note prints what the last save left in the line query: the lines of
// this number. Coming back from the preview starts the next issue.
void TFKeluar::Button3Click()
{
    movements::previewIssueNote(Edit1->text(), Label7->text());
}

void TFKeluar::Button4Click()
{
    movements::openItemSearch(*this);
}
