#include "UiDriver.h"

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QTest>
#include <QWindow>

#include <deque>

namespace {

std::deque<std::function<void()>>& modalSteps()
{
    static std::deque<std::function<void()>> steps;
    return steps;
}

std::deque<std::function<void()>>& runningSteps()
{
    static std::deque<std::function<void()>> steps;
    return steps;
}

void installHook()
{
    if (ui::Form::loopStarted)
        return;
    ui::Form::loopStarted = [](ui::Form* form, bool modal) {
        auto& queue = modal ? modalSteps() : runningSteps();
        if (queue.empty())
            return;
        std::function<void()> step = std::move(queue.front());
        queue.pop_front();
        // Posted, so it runs inside the loop that is about to start.
        QMetaObject::invokeMethod(form, std::move(step), Qt::QueuedConnection);
    };
}

// A user reaches a widget only when it is on screen, enabled and not behind
// a modal window.
bool reachable(QWidget* widget)
{
    if (!widget || !widget->isVisible() || !widget->isEnabled())
        return false;
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return true;
    QWindow* window = widget->window()->windowHandle();
    QWindow* blocker = modal->windowHandle();
    return window && blocker && (window == blocker || blocker->isAncestorOf(window, QWindow::IncludeTransients));
}

} // namespace

void typeText(QWidget* widget, const QString& text)
{
    if (!reachable(widget))
        return;
    QTest::keyClicks(widget, text);
}

void pressEnter(QWidget* widget)
{
    pressKey(widget, Qt::Key_Return);
}

void pressKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    if (!reachable(widget))
        return;
    QTest::keyClick(widget, key, modifiers);
}

void click(QWidget* widget)
{
    if (!reachable(widget))
        return;
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void click(ui::Button* button)
{
    click(static_cast<QWidget*>(button));
}

void moveMouse(QWidget* widget, const QPoint& pos)
{
    if (!reachable(widget))
        return;
    QTest::mouseMove(widget, pos);
}

void clickMenu(QAction* item)
{
    // The chain of menus from the bar down to the item.
    std::vector<QAction*> path {item};
    QMenuBar* bar = nullptr;
    QAction* current = item;
    while (!bar) {
        QWidget* holder = nullptr;
        for (QObject* o : current->associatedObjects()) {
            if (auto* b = qobject_cast<QMenuBar*>(o)) {
                bar = b;
                break;
            }
            if (auto* m = qobject_cast<QMenu*>(o))
                holder = m;
        }
        if (bar)
            break;
        auto* menu = qobject_cast<QMenu*>(holder);
        if (!menu)
            return;
        current = menu->menuAction();
        path.insert(path.begin(), current);
    }
    if (!reachable(bar))
        return;
    // Open from the bar, then walk down the popups.
    QAction* top = path.front();
    const QPoint onBar = bar->actionGeometry(top).center();
    if (path.size() == 1) {
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, onBar);
        return;
    }
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, onBar);
    for (size_t i = 1; i < path.size(); ++i) {
        QMenu* menu = path[i - 1]->menu();
        if (!menu || !menu->isVisible())
            return;
        const QPoint at = menu->actionGeometry(path[i]).center();
        if (i + 1 < path.size()) {
            QTest::mouseMove(menu, at);
            QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, at);
        } else {
            QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, at);
        }
    }
}

void whileModal(std::function<void()> step)
{
    installHook();
    modalSteps().push_back(std::move(step));
}

void whileRunning(std::function<void()> step)
{
    installHook();
    runningSteps().push_back(std::move(step));
}

void clearModalSteps()
{
    modalSteps().clear();
    runningSteps().clear();
}
