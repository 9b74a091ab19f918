#include "items/UCari.h"

#include "datamodule/UDm.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Edit.h"

TFCari* FCari = nullptr;

TFCari::TFCari(QWidget* parent) : ui::Form(parent)
{
    setupUi(this);
    setPosition(ui::Position::DesktopCenter);
    DBText1->setDataSource(FDM->DsQCari);
    DBGrid1->setDataSource(FDM->DsQCari);

    OnActivate = [this] { FormActivate(); };
    OnClose = [this](bool& allowClose) { FormClose(allowClose); };
    Edit1->OnChange = [this] { Edit1Change(); };
    Edit1->OnKeyPress = [this](QChar& k) { Edit1KeyPress(k); };
    Button1->OnClick = [this] { Button1Click(); };
}

void TFCari::setRequesters(std::vector<Requester> requesters)
{
    requesters_ = std::move(requesters);
}

// Every opening lists every named item afresh, whatever was typed before.
void TFCari::FormActivate()
{
    if (Edit1->text().isEmpty())
        Edit1Change(); // clearing an empty box is a change too
    else
        Edit1->clear();
    Edit1->setFocus();
}

// However the window goes, no request stays pending.
void TFCari::FormClose(bool&)
{
    for (const Requester& r : requesters_)
        r.form->Tag = 0;
}

// No delay and no cache: every change runs the query again. "%" and "_"
// typed in the box keep their pattern meaning.
void TFCari::Edit1Change()
{
    FDM->QCari->close();
    FDM->QCari->paramByName(QStringLiteral("Barang")).setAsString(Edit1->text() + QLatin1Char('%'));
    FDM->QCari->prepare();
    FDM->QCari->open();
}

void TFCari::Edit1KeyPress(QChar& Key)
{
    if (Key != QChar(13))
        return;
    if (!DBText1->text().isEmpty()) {
        Button1->setFocus();
    } else {
        ui::showMessage(QStringLiteral("Tidak Ada Barang Yang Dicari"));
        Edit1->setFocus();
    }
}

// The code goes to the first window whose flag is raised; its lookup runs
// only when the user presses Enter there. The focus is set while this window
// is still up, so the requester has it once it is active again; the
// requester is not activated anew.
void TFCari::Button1Click()
{
    ui::Edit* target = nullptr;
    for (const Requester& r : requesters_) {
        if (r.form->Tag == 1) {
            target = r.code;
            target->setText(DBText1->text());
            r.form->Tag = 0;
            break;
        }
    }
    closeForm();
    if (target)
        target->setFocus();
}
