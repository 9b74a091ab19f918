#include "platform/ui/Label.h"

namespace ui {

Label::Label(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void Label::showEvent(QShowEvent* event)
{
    if (autoSize_)
        resize(sizeHint());
    QLabel::showEvent(event);
}

} // namespace ui
