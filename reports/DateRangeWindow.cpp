#include "reports/DateRangeWindow.h"

#include "platform/data/DataSource.h"
#include "platform/data/Query.h"
#include "platform/preview/Report.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Format.h"
#include "platform/ui/Button.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/MaskEdit.h"

namespace {

const QString EmptyDate = QStringLiteral("  /  /    ");

// Enter on an empty date field gives it today's date; a partly typed date
// stays as typed.
void todayWhenEmpty(ui::MaskEdit* box)
{
    if (box->text() == EmptyDate)
        box->setText(rtl::dateToStr(rtl::today()));
}

} // namespace

DateRangeWindow::DateRangeWindow(QWidget* parent) : ui::Form(parent) {}

void DateRangeWindow::bindSteps(const Parts& parts)
{
    w_ = parts;
    setCloseBox(false);
    setPosition(ui::Position::DesktopCenter);
    w_.grid->setDataSource(w_.source);

    OnActivate = [this] { FormActivate(); };
    w_.from->OnKeyPress = [this](QChar& k) { MaskEdit1KeyPress(k); };
    w_.to->OnKeyPress = [this](QChar& k) { MaskEdit2KeyPress(k); };
    w_.process->OnClick = [this] { Button1Click(); };
    w_.print->OnClick = [this] { Button2Click(); };
    w_.close->OnClick = [this] { Button3Click(); };
}

void DateRangeWindow::FormActivate()
{
    w_.from->clear();
    w_.to->clear();
    w_.query->close();
    w_.from->setFocus();
}

void DateRangeWindow::MaskEdit1KeyPress(QChar& Key)
{
    if (Key != QChar(13))
        return;
    todayWhenEmpty(w_.from);
    w_.to->setFocus();
}

void DateRangeWindow::MaskEdit2KeyPress(QChar& Key)
{
    if (Key != QChar(13))
        return;
    todayWhenEmpty(w_.to);
    w_.process->setFocus();
}

// The two dates are not compared: a first day after the last lists nothing.
void DateRangeWindow::Button1Click()
{
    w_.query->close();
    w_.query->prepare();
    w_.query->paramByName(QStringLiteral("Tgla")).setAsDate(rtl::strToDate(w_.from->text()));
    w_.query->paramByName(QStringLiteral("Tglb")).setAsDate(rtl::strToDate(w_.to->text()));
    w_.query->open();
    w_.print->setFocus();
}

// Prints whatever the query holds: nothing checks that "&Proses" ran.
void DateRangeWindow::Button2Click()
{
    w_.layout()->preview();
}

void DateRangeWindow::Button3Click()
{
    closeForm();
}
