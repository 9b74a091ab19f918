#include "reports/ULapStock.h"

#include "datamodule/UDm.h"
#include "platform/ui/Application.h"
#include "platform/ui/SystemColors.h"
#include "reports/UQrLapStock.h"

TFLapStock* FLapStock = nullptr;

TFLapStock::TFLapStock(QWidget* parent) : ui::Form(parent)
{
    setupUi(this);
    setCloseBox(false);
    move(208, 210);

    QFont title(QStringLiteral("MS Sans Serif"));
    title.setPixelSize(ui::pixelsOfPoints(8));
    title.setBold(true);
    DBGrid1->setColumns({
        {.fieldName = QStringLiteral("KdBrg"),
         .title = QStringLiteral("Kode Barang"),
         .width = 91,
         .titleFont = title,
         .color = ui::clMenu},
        {.fieldName = QStringLiteral("NamaBrg"),
         .title = QStringLiteral("Nama Barang"),
         .width = 221,
         .titleFont = title,
         .color = ui::clInactiveCaptionText},
        {.fieldName = QStringLiteral("Satuan"), .width = 103, .titleFont = title},
        {.fieldName = QStringLiteral("Stock"),
         .title = QStringLiteral("Jml Stock"),
         .width = 118,
         .titleFont = title,
         .color = ui::clInactiveCaptionText},
    });
    // Read-only (set in its definition): a report window deletes no item.
    DBGrid1->setDataSource(FDM->DsBarang);

    OnActivate = [this] { FormActivate(); };
    Button1->OnClick = [this] { Button1Click(); };
    Button2->OnClick = [this] { Button2Click(); };
}

// The grid shows the live table, so there is nothing to refresh.
void TFLapStock::FormActivate()
{
    Button1->setFocus();
}

void TFLapStock::Button1Click()
{
    QrLapStock->preview();
}

void TFLapStock::Button2Click()
{
    closeForm();
}
