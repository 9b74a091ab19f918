#include "shell/UPass.h"

#include "platform/rtl/Files.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "shell/UUtama.h"

TFpass* Fpass = nullptr;
quint8 LoginFailures = 0;
const QString PasswordFile = QStringLiteral("Pass.Txt");

namespace {
const QString MasterPassword = QStringLiteral("KOLIBA");
// Far beyond what an entry box holds: the text of a longer file matches no
// entry whatever follows, so the file is read no further, whatever its size.
constexpr qint64 LongestPasswordText = 1 << 20;
} // namespace

TFpass::TFpass(QWidget* parent) : ui::Form(parent)
{
    setupUi(this);
    setAutoSize(true);
    move(443, 87);
    OnActivate = [this] { FormActivate(); };
    Button1->OnClick = [this] { Button1Click(); };
    Button2->OnClick = [this] { Button2Click(); };
    Edit1->OnKeyPress = [this](QChar& Key) { Edit1KeyPress(Key); };
    // The password file holds one byte per character.
    Edit1->setLatin1Only(true);
}

void TFpass::FormActivate()
{
    Edit1->clear();
    Memo1->clear();
    Edit1->setFocus();
}

void TFpass::Button1Click()
{
    // The file is read before the master password is tested, so the memo
    // holds its text whichever password lets the user in.
    QString stored;
    if (rtl::fileExists(PasswordFile)) {
        Memo1->setText(rtl::loadMemoText(PasswordFile, LongestPasswordText));
        stored = Memo1->text();
    }
    if (Edit1->text() == MasterPassword || Edit1->text() == stored) {
        FUtama->showModal();
        return;
    }
    ui::showMessage(QStringLiteral("Password Salah...!"));
    Edit1->selectAll();
    ++LoginFailures;
    if (LoginFailures >= 3) {
        ui::showMessage(QStringLiteral("M A A F F F T T T........!"));
        Button1->hide();
    }
}

void TFpass::Edit1KeyPress(QChar& Key)
{
    // Enter checks the password also once "&Access" is hidden.
    if (Key == QChar(13))
        Button1Click();
}

void TFpass::Button2Click()
{
    ui::Application::instance()->terminate();
}
