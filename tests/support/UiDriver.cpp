#include "UiDriver.h"

#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Form.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QPointer>
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

// When the active window closes, the window system activates the form the
// user goes back to: the one whose loop goes on.
class Reactivator : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Hide || !watched->isWidgetType() ||
            !static_cast<QWidget*>(watched)->isWindow())
            return false;
        if (QApplication::activeWindow() && QApplication::activeWindow() != watched)
            return false;
        // A closing modal form is still on the stack while it hides.
        auto* app = ui::Application::instance();
        if (!app)
            return false;
        ui::Form* back = app->mainForm();
        const auto& modal = app->modalForms();
        for (auto it = modal.rbegin(); it != modal.rend(); ++it) {
            if (*it != watched && (*it)->isVisible()) {
                back = *it;
                break;
            }
        }
        if (back && back != watched && back->isVisible())
            QApplication::setActiveWindow(back);
        return false;
    }
};

void installHook()
{
    if (ui::Form::loopStarted)
        return;
    qApp->installEventFilter(new Reactivator(qApp));
    ui::Form::loopStarted = [](ui::Form* form, bool modal) {
        auto& queue = modal ? modalSteps() : runningSteps();
        if (queue.empty())
            return;
        std::function<void()> step = std::move(queue.front());
        queue.pop_front();
        // Posted, so it runs inside the loop that is about to start. The form
        // is made the active window first, as the window system does for the
        // user: shortcuts (Alt+letter) only reach an active window.
        QPointer<ui::Form> target(form);
        QMetaObject::invokeMethod(
            form,
            [target, step = std::move(step)] {
                if (target)
                    QApplication::setActiveWindow(target);
                step();
            },
            Qt::QueuedConnection);
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
    return window && blocker &&
           (window == blocker || blocker->isAncestorOf(window, QWindow::IncludeTransients));
}

} // namespace

void typeText(QWidget* widget, const QString& text)
{
    if (!reachable(widget))
        return;
    // QTest types ASCII only; other characters come as the key event a
    // keyboard layout that has them sends.
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text.at(i).unicode() < 0x7F)
            continue;
        if (i > start)
            QTest::keyClicks(widget, text.mid(start, i - start));
        if (i < text.size())
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(text.at(i).toUpper().unicode()),
                                QString(text.at(i)), Qt::NoModifier);
        start = i + 1;
    }
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

void activate(QWidget* window)
{
    // A window behind a modal one passes the activation on to it.
    if (window && window->isVisible() && !reachable(window))
        window = QApplication::activeModalWidget();
    QCoreApplication::processEvents(); // what the window system still had to say
    QApplication::setActiveWindow(window ? window->window() : nullptr);
    QCoreApplication::processEvents();
}

void clickMenu(QAction* item)
{
    // The chain of menus from the bar down to the item.
    std::vector<QAction*> path{item};
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
