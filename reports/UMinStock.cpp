#include "reports/UMinStock.h"

#include "datamodule/UDm.h"
#include "reports/QrMin.h"

TFminStock* FminStock = nullptr;

TFminStock::TFminStock(QWidget* parent) : ui::Form(parent)
{
    setupUi(this);
    setPosition(ui::Position::DesktopCenter);
    DBGrid1->setDataSource(FDM->DsQmin);

    OnActivate = [this] { FormActivate(); };
    Button1->OnClick = [this] { Button1Click(); };
    Button2->OnClick = [this] { Button2Click(); };
}

// Items reach or leave their reorder level while the window is closed or its
// preview is open: the list is made again each time the user comes to it.
void TFminStock::FormActivate()
{
    FDM->QMin->close();
    FDM->QMin->open();
}

// The layout, not the data module's query of the same name.
void TFminStock::Button1Click()
{
    QMin->preview();
}

void TFminStock::Button2Click()
{
    closeForm();
}
