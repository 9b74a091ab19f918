#include "WindowSaves.h"

#include "UiDriver.h"

#include "movements/UFPP.h"
#include "movements/UPck.h"

namespace windowsaves {

namespace {

void enter(ui::Edit* box, const QString& text)
{
    box->clear();
    typeText(box, text);
    pressEnter(box);
}

} // namespace

void receipt(const QString& number, const QString& code, int quantity)
{
    FMasuk->FormActivate();
    enter(FMasuk->Edit1, number);
    enter(FMasuk->Edit2, code);
    enter(FMasuk->Edit5, QString::number(quantity));
    click(FMasuk->Button1);
}

void startIssue()
{
    FKeluar->FormActivate();
}

double stockShown(const QString& code)
{
    enter(FKeluar->Edit2, code);
    return FKeluar->Edit4->text().toDouble();
}

QString issueLine(const QString& code, int quantity)
{
    enter(FKeluar->Edit2, code);
    enter(FKeluar->Edit5, QString::number(quantity));
    click(FKeluar->Button1);
    return FKeluar->Edit1->text();
}

} // namespace windowsaves
