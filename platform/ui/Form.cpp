#include "platform/ui/Form.h"

#include "platform/ui/Accelerator.h"
#include "platform/ui/Application.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QScreen>
#include <QShowEvent>
#include <QStyleOptionMenuItem>

namespace ui {

std::function<void(Form*, bool)> Form::loopStarted;

Form::Form(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

Form::~Form()
{
    if (auto* app = Application::instance())
        app->popModal(this);
}

void Form::setCloseBox(bool on)
{
    closeBox_ = on;
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (on)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    const bool visible = isVisible();
    setWindowFlags(flags);
    if (visible)
        show();
}

void Form::setPosition(Position position)
{
    position_ = position;
}

void Form::setAutoSize(bool on)
{
    if (!on) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        return;
    }
    QRect contents;
    const auto children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (!child->isWindow() && !child->isHidden())
            contents |= child->geometry();
    }
    setFixedSize(std::max(0, contents.right() + 1), std::max(0, contents.bottom() + 1));
}

namespace {
// The menu the keyboard is on stands out on the bar as an open one does, so
// the user sees where F10 or Alt has put them.
class MenuBarLook : public QProxyStyle {
public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        if (element == CE_MenuBarItem && (option->state & State_Selected)) {
            if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
                QStyleOptionMenuItem current = *item;
                current.state |= State_Sunken;
                QProxyStyle::drawControl(element, &current, painter, widget);
                return;
            }
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};
} // namespace

void Form::setMenuBar(QMenuBar* bar)
{
    if (!bar || menuBar_)
        return;
    menuBar_ = bar;
    auto* look = new MenuBarLook;
    look->setParent(bar);
    bar->setStyle(look);
    const int h = bar->sizeHint().height();
    const auto children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (child != bar && !child->isWindow())
            child->move(child->x(), child->y() + h);
    }
    resize(width(), height() + h);
    bar->setGeometry(0, 0, width(), h);
}

void Form::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    // No window has a minimise or maximise box; a window manager that offers
    // them anyway is undone at once.
    constexpr Qt::WindowStates unwanted = Qt::WindowMinimized | Qt::WindowMaximized;
    if (!(windowState() & unwanted))
        return;
    QMetaObject::invokeMethod(
        this,
        [this, unwanted] {
            const bool wasMinimized = windowState() & Qt::WindowMinimized;
            if (!(windowState() & unwanted))
                return;
            setWindowState(windowState() & ~unwanted);
            if (wasMinimized && isVisible()) {
                auto* app = Application::instance();
                if (!app || app->activeForm() == this)
                    activateWindow();
            }
        },
        Qt::QueuedConnection);
}

void Form::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (menuBar_)
        menuBar_->setGeometry(0, 0, width(), menuBar_->sizeHint().height());
}

int Form::showModal()
{
    auto* app = Application::instance();
    if (app && app->terminated())
        return mrCancel;
    if (isVisible() || loop_)
        throw std::logic_error("Cannot make a visible window modal");

    if (!placed_) {
        placed_ = true;
        if (position_ == Position::DesktopCenter) {
            if (QScreen* screen = QGuiApplication::primaryScreen())
                centreWindow(this, screen->availableGeometry());
        } else if (position_ == Position::MainFormCenter && app && app->mainForm() &&
                   app->mainForm() != this) {
            centreWindow(this, app->mainForm()->frameGeometry());
        }
    }

    modalResult_ = mrNone;
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    loop_ = &loop;
    if (app)
        app->pushModal(this);
    show();
    raise();
    activateWindow();
    if (app)
        app->noteActivated(this);
    runActivate();
    if (loopStarted)
        loopStarted(this, true);
    if (modalResult_ == mrNone && !(app && app->terminated()))
        loop.exec(QEventLoop::DialogExec);
    if (app)
        app->popModal(this);
    loop_ = nullptr;
    hide();
    setWindowModality(Qt::NonModal);
    if (modalResult_ == mrNone)
        modalResult_ = mrCancel;
    return modalResult_;
}

void Form::endModal(int result)
{
    if (modalResult_ == mrNone)
        modalResult_ = result;
    if (loop_)
        loop_->exit(0);
}

void Form::setModalResult(int result)
{
    modalResult_ = result;
    if (result != mrNone && loop_)
        loop_->exit(0);
}

void Form::closeForm()
{
    programClose_ = true;
    close();
    programClose_ = false;
}

void Form::closeEvent(QCloseEvent* event)
{
    if (!closeBox_ && !programClose_) {
        event->ignore();
        return;
    }
    bool allow = true;
    if (OnClose)
        runHandler([&] { OnClose(allow); });
    if (!allow) {
        event->ignore();
        return;
    }
    event->accept();
    auto* app = Application::instance();
    if (loop_) {
        endModal(mrCancel);
        // A preview opened from here outlives it; the loop that waits for it
        // keeps this modal showing open until it closes.
        if (app)
            app->handOverNonModal(this);
    } else if (app && app->mainForm() == this) {
        app->terminate();
    }
}

void Form::keyPressEvent(QKeyEvent* event)
{
    // Keys the focused control did not take: a letter clicks the first button
    // that carries it as its accelerator; with Alt, a letter no button takes
    // opens the menu of the menu bar whose caption begins with it.
    const QString text = event->text();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (menuBar_ && event->key() == Qt::Key_F10 && mods == Qt::NoModifier) {
        enterMenuBar();
        event->accept();
        return;
    }
    if (text.size() == 1 && text.at(0).isLetterOrNumber() &&
        !(mods & (Qt::ControlModifier | Qt::MetaModifier))) {
        if (dispatchAccelerator(text.at(0)) || ((mods & Qt::AltModifier) && openMenuOf(text.at(0)))) {
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void Form::enterMenuBar()
{
    // The menu bar takes the keyboard when Alt is pressed and released alone;
    // F10 is that same gesture. (The event of a modifier key carries the
    // modifiers as they were before it.)
    QKeyEvent altDown(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(this, &altDown);
    QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier);
    QCoreApplication::sendEvent(this, &altUp);
}

bool Form::openMenuOf(QChar letter)
{
    if (!menuBar_ || !menuBar_->isVisible())
        return false;
    const QChar wanted = letter.toUpper();
    const auto actions = menuBar_->actions();
    for (QAction* action : actions) {
        const QString caption = action->text().remove(QLatin1Char('&')).trimmed();
        if (!action->isVisible() || !action->isEnabled() || caption.isEmpty() ||
            caption.at(0).toUpper() != wanted)
            continue;
        QMenu* menu = action->menu();
        if (!menu) {
            // An entry on the bar itself acts at once.
            action->trigger();
            return true;
        }
        menuBar_->setActiveAction(action);
        const auto entries = menu->actions();
        for (QAction* entry : entries) {
            if (!entry->isSeparator() && entry->isVisible() && entry->isEnabled()) {
                menu->setActiveAction(entry);
                break;
            }
        }
        return true;
    }
    return false;
}

namespace {
QChar acceleratorOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            if (caption.at(i + 1) == QLatin1Char('&')) {
                ++i;
                continue;
            }
            return caption.at(i + 1).toUpper();
        }
    }
    return QChar();
}
} // namespace

bool Form::dispatchAccelerator(QChar letter)
{
    // findChildren() lists in stacking order, which raise() changes; the
    // rule goes by creation order.
    const QChar wanted = letter.toUpper();
    QAbstractButton* first = nullptr;
    quint64 firstNumber = 0;
    const auto buttons = findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons) {
        const quint64 number = acceleratorRank(button);
        if (number == 0 || button->window() != this || !button->isVisible() || !button->isEnabled())
            continue;
        if (acceleratorOf(button->text()) == wanted && (!first || number < firstNumber)) {
            first = button;
            firstNumber = number;
        }
    }
    if (!first)
        return false;
    // The button takes the focus first, as a click does; a box that refuses
    // to be left keeps it, and the button does not act.
    if (first->focusPolicy() & Qt::TabFocus) {
        first->setFocus(Qt::ShortcutFocusReason);
        if (focusWidget() != first || !first->isEnabled())
            return true;
    }
    first->click();
    return true;
}

void Form::runActivate()
{
    runHandler(OnActivate);
}

} // namespace ui
