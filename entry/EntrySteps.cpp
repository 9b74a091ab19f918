#include "entry/EntrySteps.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/Edit.h"

#include <algorithm>

namespace entry {

bool isBlank(const QString& text)
{
    return text.isEmpty() || text == QLatin1String(" ") || text == QLatin1String("  ");
}

bool textStep(ui::Edit* box, const QString& message, QWidget* next)
{
    if (isBlank(box->text())) {
        ui::showMessage(message);
        box->clear();
        box->setFocus();
        return false;
    }
    next->setEnabled(true);
    next->setFocus();
    return true;
}

namespace {
bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}
} // namespace

bool enterInDigitBox(QChar& key)
{
    const char16_t k = key.unicode();
    if (k == 13)
        return true;
    if (!(k == 8 || k == 9 || isDigit(key)))
        key = QChar(0);
    return false;
}

void digitBox(ui::Edit* box)
{
    box->setInsertRule(
        [](const QString& inserted) { return std::all_of(inserted.begin(), inserted.end(), isDigit); });
}

} // namespace entry
