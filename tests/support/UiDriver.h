#pragma once

#include <QPoint>
#include <QString>
#include <Qt>

#include <functional>

class QAction;
class QWidget;

namespace ui {
class Button;
}

// Drives windows as a user does, through real key and mouse events.

// Types the text into the widget, one key at a time (any character).
void typeText(QWidget* widget, const QString& text);
void pressEnter(QWidget* widget);
void pressKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Clicks with the left mouse button in the middle of the widget (a button,
// a speed button, ...). Nothing happens when it is hidden, disabled or
// behind a modal window, as for a user.
void click(QWidget* widget);
void click(ui::Button* button);
// The window system makes the window the active one, as a click on its
// title bar or Alt+Tab does; nullptr: the user went to another program.
void activate(QWidget* window);
// Opens the item's menu on its menu bar with the mouse and clicks the item.
void clickMenu(QAction* item);
// Moves the pointer over the widget to a point inside it.
void moveMouse(QWidget* widget, const QPoint& pos);

// Queues a step that runs inside the next modal loop (Form::showModal), once
// the form is shown and activated. Steps queue up in order, one per loop.
void whileModal(std::function<void()> step);
// Queues a step for the main loop started by Application::run().
void whileRunning(std::function<void()> step);
// Drops steps that no loop took (call between tests).
void clearModalSteps();
