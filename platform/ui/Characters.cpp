#include "platform/ui/Characters.h"

#include <QChar>

namespace ui {

qsizetype charCount(QStringView text)
{
    qsizetype n = text.size();
    for (qsizetype i = 1; i < text.size(); ++i)
        n -= text.at(i).isLowSurrogate() && text.at(i - 1).isHighSurrogate();
    return n;
}

qsizetype unitsOf(QStringView text, qsizetype chars)
{
    qsizetype units = 0;
    for (; chars > 0 && units < text.size(); --chars)
        units +=
            text.at(units).isHighSurrogate() && units + 1 < text.size() && text.at(units + 1).isLowSurrogate()
                ? 2
                : 1;
    return units;
}

bool dropped(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Other_Control || category == QChar::Other_Format ||
           category == QChar::Other_Surrogate;
}

QChar capital(QChar c)
{
    // "ß" (capital "SS"), "ÿ" and "µ" (capitals beyond Latin-1)
    // stay as they are.
    const QChar upper = c.toUpper();
    return upper.unicode() <= 0xFF ? upper : c;
}

} // namespace ui
