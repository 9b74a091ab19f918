#include "platform/ui/Button.h"

#include "platform/ui/Accelerator.h"
#include "platform/ui/Application.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

namespace ui {

Button::Button(QWidget* parent) : QPushButton(parent)
{
    joinAcceleratorRule(this);
    setCursor(Qt::PointingHandCursor);
    setAutoDefault(false);
    setDefault(false);
    // Before the handler runs: it may open a window of its own.
    connect(this, &QAbstractButton::released, this, &Button::updatesLater);
    connect(this, &QAbstractButton::clicked, this, [this] { runHandler(OnClick); });
}

// Pressing and releasing paint the button at once (a repaint of its own and
// of the window behind it, before the click's handler runs); the pressed and
// released looks come with the next paint instead, together with what the
// handler changes.
void Button::mousePressEvent(QMouseEvent* event)
{
    deferred_ = updatesEnabled();
    if (deferred_)
        setUpdatesEnabled(false);
    QPushButton::mousePressEvent(event);
    updatesLater();
}

void Button::mouseReleaseEvent(QMouseEvent* event)
{
    deferred_ = updatesEnabled();
    if (deferred_)
        setUpdatesEnabled(false);
    const QPointer<Button> guard(this); // the handler may close its window for good
    QPushButton::mouseReleaseEvent(event);
    if (guard)
        updatesLater();
}

void Button::updatesLater()
{
    if (!deferred_)
        return;
    deferred_ = false;
    setUpdatesEnabled(true); // schedules the paint
}

void Button::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace ui
