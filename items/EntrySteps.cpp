#include "items/EntrySteps.h"

#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"

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

bool digitKey(QChar& key)
{
    const char16_t k = key.unicode();
    if (k == 13)
        return true;
    if (!(k == 8 || k == 9 || (k >= u'0' && k <= u'9')))
        key = QChar(0);
    return false;
}

} // namespace entry
