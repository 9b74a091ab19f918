#include "items/UIBarang.h"

#include "datamodule/UDm.h"
#include "entry/EntrySteps.h"
#include "items/UEditBrg.h"
#include "platform/data/Transaction.h"
#include "platform/rtl/Format.h"
#include "platform/ui/Dialogs.h"

TFBarang* FBarang = nullptr;

TFBarang::TFBarang(QWidget* parent) : ui::Form(parent)
{
    setupUi(this);
    setCloseBox(false);
    setPosition(ui::Position::DesktopCenter);
    entry::digitBox(Edit3);

    DBGrid1->setColumns({
        {.fieldName = QStringLiteral("KdBrg"), .title = QStringLiteral("Kode Barang")},
        {.fieldName = QStringLiteral("NamaBrg"), .title = QStringLiteral("Nama Barang"), .width = 170},
        {.fieldName = QStringLiteral("Satuan")},
        {.fieldName = QStringLiteral("Stock")},
        {.fieldName = QStringLiteral("Reorder")},
    });
    DBGrid1->setDataSource(FDM->DsBarang);

    OnActivate = [this] { FormActivate(); };
    Edit1->OnKeyPress = [this](QChar& k) { Edit1KeyPress(k); };
    Edit1->OnChange = [this] { Edit1Change(); };
    Edit2->OnKeyPress = [this](QChar& k) { Edit2KeyPress(k); };
    Edit3->OnKeyPress = [this](QChar& k) { Edit3KeyPress(k); };
    Button1->OnClick = [this] { Button1Click(); };
    Button2->OnClick = [this] { Button2Click(); };
    Button3->OnClick = [this] { Button3Click(); };
    Button4->OnClick = [this] { Button4Click(); };
    Button5->OnClick = [this] { Button5Click(); };
}

void TFBarang::FormActivate()
{
    Edit1->clear();
    Edit2->clear();
    Edit2->setEnabled(false);
    Edit3->clear();
    Edit3->setEnabled(false);
    Label5->setText(QString());
    Button1->setEnabled(false);
    Edit1->setFocus();
}

// A code that was refused, or changed after its check, must not reach the
// save with the unit of an earlier code: the later steps start over. What
// was typed in them stays.
void TFBarang::withdrawLaterSteps()
{
    Edit2->setEnabled(false);
    Edit3->setEnabled(false);
    Button1->setEnabled(false);
    Label5->setText(QString());
}

void TFBarang::Edit1Change()
{
    withdrawLaterSteps();
}

void TFBarang::Edit1KeyPress(QChar& Key)
{
    if (Key != QChar(13))
        return;
    const QString code = Edit1->text();
    // Emptying the code box withdraws the later steps (Edit1Change).
    if (FDM->TBarang->findKey(code)) {
        ui::showMessage(QStringLiteral("Kode : ") + code + QStringLiteral(" Sudah Terdaftar...!"));
        Edit1->clear();
        Edit1->setFocus();
        return;
    }
    if (code.mid(4, 1).isEmpty() || !code.mid(5, 1).isEmpty()) {
        ui::showMessage(QStringLiteral("Kode Barang Harus 5 digit...!"));
        Edit1->clear();
        Edit1->setFocus();
        return;
    }
    const QString first = code.left(1);
    if (first == QLatin1String("1"))
        Label5->setText(QStringLiteral("ITEM"));
    if (first == QLatin1String("2"))
        Label5->setText(QStringLiteral("PCS"));
    if (first == QLatin1String("3"))
        Label5->setText(QStringLiteral("BOX"));
    if (first == QLatin1String("4"))
        Label5->setText(QStringLiteral("ROLL"));
    if (first == QLatin1String("5"))
        Label5->setText(QStringLiteral("UNIT"));
    if (first == QLatin1String("6"))
        Label5->setText(QStringLiteral("KG"));
    if (first == QLatin1String("7"))
        Label5->setText(QStringLiteral("DRUM"));
    Label5->adjustSize();
    if (first >= QLatin1String("1") && first <= QLatin1String("7")) {
        Edit2->setEnabled(true);
        Edit2->setFocus();
    } else {
        withdrawLaterSteps();
        ui::showMessage(QStringLiteral("Kode ") + first + QStringLiteral(" Tidak Terdaftar...!"));
        Edit1->selectAll();
        Edit1->setFocus();
    }
}

void TFBarang::Edit2KeyPress(QChar& Key)
{
    if (Key == QChar(13))
        entry::textStep(Edit2, QStringLiteral("Nama Barang Tidak Boleh Kosong...!"), Edit3);
}

void TFBarang::Edit3KeyPress(QChar& Key)
{
    if (!entry::enterInDigitBox(Key))
        return;
    if (Edit3->text().isEmpty())
        Edit3->setText(QStringLiteral("0"));
    Button1->setEnabled(true);
    Button1->setFocus();
}

// The reorder text is converted before the row is begun, and the row is
// written in one transaction, so a refused save leaves neither a stored nor
// a pending row, and the window as it was.
void TFBarang::Button1Click()
{
    const double reorder = rtl::strToFloat(Edit3->text());
    {
        data::Transaction transaction(*FDM->TBarang);
        FDM->TBarang->append();
        FDM->TBarangKdBrg->setAsString(Edit1->text());
        FDM->TBarangNamaBrg->setAsString(Edit2->text());
        FDM->TBarangReorder->setAsFloat(reorder);
        FDM->TBarangSatuan->setAsString(Label5->text());
        FDM->TBarang->post();
        transaction.commit();
    }
    if (ui::messageBox(QStringLiteral("Apakah Ada Input Data Barang Lagi...?"), QStringLiteral("Konfirmasi"),
                       ui::mbYesNo | ui::mbIconQuestion) == ui::idYes)
        FormActivate();
    else
        closeForm();
}

void TFBarang::Button2Click()
{
    FormActivate();
}

void TFBarang::Button3Click()
{
    closeForm();
}

void TFBarang::Button4Click()
{
    FEditBrg->showModal();
}

void TFBarang::Button5Click()
{
    if (ui::messageBox(QStringLiteral("Yakin Data Barang Akan Dihapus...?"), QStringLiteral("Konfirmasi"),
                       ui::mbYesNo | ui::mbIconQuestion) != ui::idYes)
        return;
    FDM->TBarang->deleteRecord();
    FormActivate();
}
