#include "platform/ui/Button.h"

#include "platform/ui/Accelerator.h"
#include "platform/ui/Application.h"

#include <QKeyEvent>

namespace ui {

Button::Button(QWidget* parent) : QPushButton(parent)
{
    joinAcceleratorRule(this);
    setCursor(Qt::PointingHandCursor);
    setAutoDefault(false);
    setDefault(false);
    connect(this, &QAbstractButton::clicked, this, [this] { runHandler(OnClick); });
}

void Button::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace ui
