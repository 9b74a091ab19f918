#include "movements/MovementSteps.h"

#include "platform/rtl/Format.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"
#include "shell/UDm.h"

namespace movements {

ui::Form* ItemSearchWindow = nullptr;

bool findItem(const ItemBoxes& boxes)
{
    if (FDM->TBarang->findKey(boxes.code->text()))
        return true;
    refuseCode(boxes);
    return false;
}

void refuseCode(const ItemBoxes& boxes)
{
    ui::showMessage(QStringLiteral("Kode Barang : ") + boxes.code->text() + QStringLiteral(" Tidak Terdaftar...!"));
    boxes.code->clear();
    boxes.search->setFocus();
}

void showItem(const ItemBoxes& boxes)
{
    boxes.name->setText(FDM->TBarangNamaBrg->asString());
    boxes.unit->setText(FDM->TBarangSatuan->asString());
    boxes.unit->adjustSize();
    boxes.stock->setEnabled(false);
    boxes.stock->setText(rtl::floatToStr(FDM->TBarangStock->asFloat()));
    boxes.quantity->setEnabled(true);
    boxes.quantity->setFocus();
}

QString issueNumber(qint64 n, const QString& dateText)
{
    return QStringLiteral("0") + QString::number(n) + QStringLiteral("/DBK/") + dateText.mid(3, 2)
         + QStringLiteral("/") + dateText.mid(6, 4);
}

void openItemSearch(ui::Form& requester)
{
    requester.Tag = 1;
    if (ItemSearchWindow)
        ItemSearchWindow->showModal();
    else
        requester.Tag = 0;
}

} // namespace movements
