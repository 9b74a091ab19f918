#include "shell/UUtama.h"

#include "items/UIBarang.h"
#include "movements/UFPP.h"
#include "movements/UPackinglist.h"
#include "movements/UPck.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "reports/UFLapKeluar.h"
#include "reports/UFLapTerima.h"
#include "reports/ULapStock.h"
#include "reports/UMinStock.h"
#include "shell/UFAbout.h"
#include "shell/UGPass.h"

TFUtama* FUtama = nullptr;

namespace {
const QColor Navy(0, 0, 128);
const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);
const QColor Black(0, 0, 0);
} // namespace

TFUtama::TFUtama(QWidget* parent) : ui::Form(parent)
{
    setupUi(this);
    setMenuBar(MainMenu1);
    setAutoSize(true);
    setPosition(ui::Position::DesktopCenter);
    OnClose = [this](bool& allowClose) { FormClose(allowClose); };

    // The windows of the other entries and buttons bind their opening
    // handlers here as they are built.
    ui::onMenuClick(InputKodeBarang1, [this] { InputKodeBarang1Click(); });
    SpeedButton1->OnClick = [this] { SpeedButton1Click(); };
    ui::onMenuClick(PenerimaanBarang1, [this] { PenerimaanBarang1Click(); });
    SpeedButton2->OnClick = [this] { SpeedButton2Click(); };
    ui::onMenuClick(PackingList1, [this] { PackingList1Click(); });
    SpeedButton3->OnClick = [this] { SpeedButton3Click(); };
    ui::onMenuClick(Packinglist3, [this] { Packinglist3Click(); });
    ui::onMenuClick(StockBarang1, [this] { StockBarang1Click(); });
    SpeedButton6->OnClick = [this] { SpeedButton6Click(); };
    ui::onMenuClick(MinimumStock1, [this] { MinimumStock1Click(); });
    SpeedButton8->OnClick = [this] { SpeedButton8Click(); };
    ui::onMenuClick(PenerimaanBarang2, [this] { PenerimaanBarang2Click(); });
    SpeedButton4->OnClick = [this] { SpeedButton4Click(); };
    ui::onMenuClick(PackingList2, [this] { PackingList2Click(); });
    SpeedButton5->OnClick = [this] { SpeedButton5Click(); };
    ui::onMenuClick(GantiPassword1, [this] { GantiPassword1Click(); });
    ui::onMenuClick(Tutup1, [this] { Tutup1Click(); });
    ui::onMenuClick(AboutMe1, [this] { AboutMe1Click(); });
    SpeedButton7->OnClick = [this] { SpeedButton7Click(); };

    SpeedButton1->OnMouseMove = [this] { SpeedButton1MouseMove(); };
    SpeedButton2->OnMouseMove = [this] { SpeedButton2MouseMove(); };
    SpeedButton3->OnMouseMove = [this] { SpeedButton3MouseMove(); };
    SpeedButton4->OnMouseMove = [this] { SpeedButton4MouseMove(); };
    SpeedButton5->OnMouseMove = [this] { SpeedButton5MouseMove(); };
    SpeedButton6->OnMouseMove = [this] { SpeedButton6MouseMove(); };
    SpeedButton7->OnMouseMove = [this] { SpeedButton7MouseMove(); };
    SpeedButton8->OnMouseMove = [this] { SpeedButton8MouseMove(); };
    Image1->OnMouseMove = [this] { Image1MouseMove(); };
}

bool TFUtama::askExit()
{
    return ui::messageBox(QStringLiteral("Yakin Akan Keluar Dari Aplikasi"), QStringLiteral("Konfirmasi"),
                          ui::mbYesNo | ui::mbIconQuestion) == ui::idYes;
}

void TFUtama::FormClose(bool& allowClose)
{
    if (askExit())
        ui::Application::instance()->terminate();
    else
        allowClose = false;
}

void TFUtama::Tutup1Click()
{
    if (askExit())
        ui::Application::instance()->terminate();
}

void TFUtama::SpeedButton7Click()
{
    closeForm();
}

void TFUtama::InputKodeBarang1Click()
{
    FBarang->showModal();
}

void TFUtama::SpeedButton1Click()
{
    FBarang->showModal();
}

void TFUtama::PenerimaanBarang1Click()
{
    FMasuk->showModal();
}

void TFUtama::SpeedButton2Click()
{
    FMasuk->showModal();
}

void TFUtama::PackingList1Click()
{
    FKeluar->showModal();
}

void TFUtama::SpeedButton3Click()
{
    FKeluar->showModal();
}

void TFUtama::Packinglist3Click()
{
    FPackinglist->showModal();
}

void TFUtama::StockBarang1Click()
{
    FLapStock->showModal();
}

void TFUtama::SpeedButton6Click()
{
    FLapStock->showModal();
}

void TFUtama::MinimumStock1Click()
{
    FminStock->showModal();
}

void TFUtama::SpeedButton8Click()
{
    FminStock->showModal();
}

void TFUtama::PenerimaanBarang2Click()
{
    FlapTerima->showModal();
}

void TFUtama::SpeedButton4Click()
{
    FlapTerima->showModal();
}

void TFUtama::PackingList2Click()
{
    FlapKeluar->showModal();
}

void TFUtama::SpeedButton5Click()
{
    FlapKeluar->showModal();
}

void TFUtama::GantiPassword1Click()
{
    FGantiPass->showModal();
}

void TFUtama::AboutMe1Click()
{
    FAbout->showModal();
}

void TFUtama::SpeedButton1MouseMove()
{
    SpeedButton1->setFontSize(12);
    SpeedButton1->setFontColor(Navy);
}

void TFUtama::SpeedButton2MouseMove()
{
    SpeedButton2->setFontSize(12);
    SpeedButton2->setFontColor(Navy);
}

void TFUtama::SpeedButton3MouseMove()
{
    SpeedButton3->setFontSize(12);
    SpeedButton3->setFontColor(Navy);
}

void TFUtama::SpeedButton4MouseMove()
{
    SpeedButton4->setFontSize(12);
    SpeedButton4->setFontColor(Navy);
}

void TFUtama::SpeedButton5MouseMove()
{
    SpeedButton5->setFontSize(12);
    SpeedButton5->setFontColor(Navy);
}

void TFUtama::SpeedButton6MouseMove()
{
    SpeedButton6->setFontSize(12);
    SpeedButton6->setFontColor(Navy);
}

void TFUtama::SpeedButton7MouseMove()
{
    SpeedButton7->setFontSize(12);
    SpeedButton7->setFontColor(Red);
}

void TFUtama::SpeedButton8MouseMove()
{
    SpeedButton8->setFontSize(12);
    SpeedButton8->setFontColor(Navy);
}

void TFUtama::Image1MouseMove()
{
    // At rest: 10 pt black, "&Close" 10 pt blue. Setting a value a button
    // already has does not repaint it.
    ui::SpeedButton* const buttons[] = {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4,
                                        SpeedButton5, SpeedButton6, SpeedButton7, SpeedButton8};
    for (ui::SpeedButton* b : buttons) {
        b->setFontSize(10);
        b->setFontColor(b == SpeedButton7 ? Blue : Black);
    }
}
