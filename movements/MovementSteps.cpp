#include "movements/MovementSteps.h"

#include "datamodule/UDm.h"
#include "movements/UQrPacking.h"
#include "platform/data/Query.h"
#include "platform/data/Table.h"
#include "platform/rtl/Format.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"

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
    ui::showMessage(QStringLiteral("Kode Barang : ") + boxes.code->text() +
                    QStringLiteral(" Tidak Terdaftar...!"));
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
    return QStringLiteral("0") + QString::number(n) + QStringLiteral("/DBK/") + dateText.mid(3, 2) +
           QStringLiteral("/") + dateText.mid(6, 4);
}

void listIssueLines(const QString& number)
{
    FDM->QKeluar->close();
    // Opening compiles the statement; a prepare first would compile it twice.
    FDM->QKeluar->paramByName(QStringLiteral("Kel")).setAsString(number);
    FDM->QKeluar->open();
}

void previewIssueNote(const QString& number, const QString& dateText)
{
    QrKeluar->QRLabel13->setCaption(number);
    QrKeluar->QRLabel14->setCaption(dateText);
    QrKeluar->preview();
}

// A switch that fails once the new order is in place leaves the table on
// it; no destructor runs then, so the order goes back here.
HeaderIndex::HeaderIndex(data::Table& headers, const QString& indexName) : headers_(headers)
{
    try {
        headers_.setIndexName(indexName);
    } catch (...) {
        restore();
        throw;
    }
}

HeaderIndex::~HeaderIndex()
{
    restore();
}

void HeaderIndex::restore() noexcept
{
    try {
        headers_.setIndexName(QString());
    } catch (...) {
        // Runs while an error may be on its way; that one is shown.
    }
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
