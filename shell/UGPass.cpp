#include "shell/UGPass.h"

#include "platform/rtl/Files.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "shell/UPass.h"

TFGantiPass* FGantiPass = nullptr;
quint8 ChangeFailures = 0;
QString StoredPasswordCopy;

TFGantiPass::TFGantiPass(QWidget* parent) : ui::Form(parent)
{
    setupUi(this);
    move(325, 238);
    OnActivate = [this] { FormActivate(); };
    Edit1->OnKeyPress = [this](QChar& Key) { Edit1KeyPress(Key); };
    Edit2->OnKeyPress = [this](QChar& Key) { Edit2KeyPress(Key); };
    Edit3->OnKeyPress = [this](QChar& Key) { Edit3KeyPress(Key); };
    Button1->OnClick = [this] { Button1Click(); };
    Button2->OnClick = [this] { Button2Click(); };
    Button3->OnClick = [this] { Button3Click(); };
    // The new password is written one byte per character: a character
    // without an 8-bit code would be stored as '?' and lock the user out.
    for (ui::Edit* box : {Edit1, Edit2, Edit3})
        box->setLatin1Only(true);
}

void TFGantiPass::FormActivate()
{
    Edit1->clear();
    Edit2->clear();
    Edit3->clear();
    Edit2->setEnabled(false);
    Edit3->setEnabled(false);
    Edit1->setFocus();
    Button1->setEnabled(false);
    ChangeFailures = 0;
}

void TFGantiPass::Edit1KeyPress(QChar& Key)
{
    if (Key != QChar(13) || Edit1->text().isEmpty())
        return;
    // The old password is the one of the login, not the file's present text.
    QString expected;
    if (rtl::fileExists(PasswordFile)) {
        StoredPasswordCopy = Fpass->Memo1->text();
        expected = StoredPasswordCopy;
    } else {
        expected = Fpass->Edit1->text();
    }
    if (Edit1->text() == expected) {
        Edit2->setEnabled(true);
        Edit2->setFocus();
        return;
    }
    ui::showMessage(QStringLiteral("Password Salah...!"));
    ++ChangeFailures;
    if (ChangeFailures >= 3) {
        ui::showMessage(QStringLiteral("Berhentilah Mencoba Hal Yang Bodoh....!"));
        ui::Application::instance()->terminate();
    }
}

void TFGantiPass::Edit2KeyPress(QChar& Key)
{
    if (Key != QChar(13))
        return;
    if (Edit2->text().isEmpty()) {
        ui::showMessage(QStringLiteral("Password Tidak Boleh Kosong...!"));
        return;
    }
    Edit3->setEnabled(true);
    Edit3->setFocus();
}

void TFGantiPass::Edit3KeyPress(QChar& Key)
{
    if (Key != QChar(13))
        return;
    if (Edit2->text() == Edit3->text()) {
        Button1->setEnabled(true);
        Button1->setFocus();
        return;
    }
    ui::showMessage(QStringLiteral("Password Yang Anda ulang Tidak Sama...!"));
    Edit2->clear();
    Edit3->clear();
    Edit3->setEnabled(false);
    // Back to the new password: "&Ganti" must not write the emptied repeat.
    Button1->setEnabled(false);
    Edit2->setFocus();
}

void TFGantiPass::Button1Click()
{
    // The new box may have been emptied after its check, so that an empty
    // repeat matched it: an empty password would let anyone in.
    if (Edit3->text().isEmpty()) {
        ui::showMessage(QStringLiteral("Password Tidak Boleh Kosong...!"));
        Edit2->setFocus();
        return;
    }
    if (ui::messageBox(QStringLiteral("Yakin Akan Mengganti Password ....?"), QStringLiteral("Konfirmasi"),
                       ui::mbYesNo | ui::mbIconExclamation) != ui::idYes) {
        FormActivate();
        return;
    }
    // The new text goes to a new file that replaces the old one only once it
    // is written in full, so a failed write keeps the old password.
    rtl::replaceFileContents(PasswordFile, Edit3->text().toLatin1());
    ui::showMessage(QStringLiteral("Password Telah Digantikan....!"));
    closeForm();
}

void TFGantiPass::Button2Click()
{
    FormActivate();
}

void TFGantiPass::Button3Click()
{
    closeForm();
}
