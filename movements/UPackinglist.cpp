#include "movements/UPackinglist.h"

#include "datamodule/UDm.h"
#include "movements/MovementSteps.h"
#include "platform/rtl/Format.h"
#include "platform/ui/Dialogs.h"

TFPackinglist* FPackinglist = nullptr;
QString ReprintDateText;

TFPackinglist::TFPackinglist(QWidget* parent) : ui::Form(parent)
{
    setupUi(this);
    setPosition(ui::Position::DesktopCenter);
    // The number is held at the width of the stored issue number, so the
    // header search and the line query see one and the same text.
    Edit1->setMaxLength(FDM->TMasKeluarNo_Keluar->size());
    DBGrid1->setDataSource(FDM->DsQKeluar);

    OnActivate = [this] { FormActivate(); };
    Edit1->OnChange = [this] { Edit1Change(); };
    Edit1->OnKeyPress = [this](QChar& k) { Edit1KeyPress(k); };
    Button1->OnClick = [this] { Button1Click(); };
}

// Runs at every opening and on the way back from the preview.
void TFPackinglist::FormActivate()
{
    Edit1->clear();
    Button1->setEnabled(false);
    FDM->QKeluar->close();
    Edit1->setFocus();
}

// The note printed is always the note of the number listed: a number changed
// after its Enter must be listed again before it prints.
void TFPackinglist::Edit1Change()
{
    Button1->setEnabled(false);
}

void TFPackinglist::Edit1KeyPress(QChar& Key)
{
    if (Key != QChar(13))
        return;
    if (Edit1->text().isEmpty()) {
        ui::showMessage(QStringLiteral("No Tidak Boleh Kosong...!"));
        Edit1->setFocus();
        return;
    }
    movements::listIssueLines(Edit1->text());
    Button1->setEnabled(true);
    Button1->setFocus();
}

// The note carries the number as typed and the date stored with its header;
// a number no header carries prints without a date rather than with the date
// of whichever header happened to be current.
void TFPackinglist::Button1Click()
{
    {
        movements::HeaderIndex byNumber(*FDM->TMasKeluar, QStringLiteral("KeluarIDX"));
        ReprintDateText = FDM->TMasKeluar->findKey(Edit1->text())
                              ? rtl::dateToStr(FDM->TMasKeluarTgl->asDateTime().date())
                              : QString();
    }
    movements::previewIssueNote(Edit1->text(), ReprintDateText);
}
