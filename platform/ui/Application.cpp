#include "platform/ui/Application.h"

#include "platform/rtl/Errors.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFont>
#include <QMargins>
#include <QWindow>

#include <algorithm>
#include <exception>
#include <utility>

namespace ui {

Application* Application::instance_ = nullptr;

namespace {
const char* const nonModalProperty = "_ui_nonModal";

// The frames the window manager has put around the program's windows: one
// for windows of a fixed size and one for those the user can resize, which
// may carry a grip as well.
struct KnownFrames {
    QMargins margins[2];
    bool known[2] = {false, false};
};
KnownFrames& knownFrames()
{
    static KnownFrames frames;
    return frames;
}

int frameKind(const QWidget* window)
{
    return window->minimumSize() == window->maximumSize() ? 0 : 1;
}

// The frame the window has now, if the window manager has framed it.
QMargins frameNow(const QWidget* window)
{
    const QWindow* handle = window->windowHandle();
    return handle && window->isVisible() ? handle->frameMargins() : QMargins();
}

void learnFrame(const QWidget* window)
{
    const QMargins m = frameNow(window);
    if (m.isNull())
        return;
    KnownFrames& frames = knownFrames();
    frames.margins[frameKind(window)] = m;
    frames.known[frameKind(window)] = true;
}

// Where a window was put: its frame's top-left corner, and the top-left
// corner of its inside as it was asked for.
struct Placed {
    QPoint frame;
    QPoint inside;
};

// Puts the window where its frame is centred on the target.
Placed place(QWidget* window, const QRect& target, const QMargins& frame)
{
    QRect outer(QPoint(0, 0), window->size().grownBy(frame));
    outer.moveCenter(target.center());
    // Before it exists in the window system a window is placed by its frame;
    // once it exists, by its inside until the window manager has framed it.
    const bool byInside =
        window->testAttribute(Qt::WA_WState_Created) && window->pos() == window->geometry().topLeft();
    window->move(byInside ? outer.topLeft() + QPoint(frame.left(), frame.top()) : outer.topLeft());
    return {outer.topLeft(), window->geometry().topLeft()};
}

// Centres the window again once the window manager has framed it, when the
// frame is not the one it was placed with. It goes with the first frame seen,
// or when the window hides.
class Centring : public QObject {
public:
    static constexpr const char* name = "_ui_centring";

    Centring(QWidget* window, const QRect& target, const QMargins& assumed, Placed placed)
        : QObject(window), window_(window), target_(target), assumed_(assumed), placed_(placed)
    {
        setObjectName(QLatin1String(name));
        window->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Hide:
            deleteLater();
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Paint:
        case QEvent::UpdateRequest: {
            const QMargins m = frameNow(window_);
            if (m.isNull())
                break;
            learnFrame(window_);
            // Unless something else has moved it meanwhile.
            const bool untouched =
                window_->pos() == placed_.frame || window_->geometry().topLeft() == placed_.inside;
            if (m != assumed_ && untouched)
                place(window_, target_, m);
            window_->removeEventFilter(this);
            deleteLater();
            break;
        }
        default:
            break;
        }
        return false;
    }

private:
    QWidget* window_;
    QRect target_;
    QMargins assumed_;
    Placed placed_;
};
} // namespace

Application::Application()
{
    Q_ASSERT(qApp);
    Q_ASSERT(!instance_);
    instance_ = this;
    // The program closes down through the end request, not when the last
    // window hides.
    qApp->setQuitOnLastWindowClosed(false);
    // The windows were laid out in this font; Liberation Sans has Arial's
    // widths, close to it, where the platform's own font is wider.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    qApp->installEventFilter(this);
}

Application::~Application()
{
    qApp->removeEventFilter(this);
    for (auto it = objects_.rbegin(); it != objects_.rend(); ++it)
        (*it)();
    objects_.clear();
    if (instance_ == this)
        instance_ = nullptr;
}

Application* Application::instance()
{
    return instance_;
}

void Application::setTitle(const QString& title)
{
    title_ = title;
    // The program's name for the window system (the class of its windows),
    // not a display name: Qt would append that to every caption.
    QCoreApplication::setApplicationName(title);
}

void Application::setIcon(const QIcon& icon)
{
    qApp->setWindowIcon(icon);
}

void Application::adopt(std::function<void()> destroy)
{
    objects_.push_back(std::move(destroy));
}

void Application::noteFormCreated(Form* form)
{
    if (!mainForm_)
        mainForm_ = form;
}

int Application::run()
{
    if (terminated_)
        return 0;
    QEventLoop loop;
    mainLoop_ = &loop;
    if (mainForm_) {
        mainForm_->show();
        mainForm_->raise();
        mainForm_->activateWindow();
        noteActivated(mainForm_);
        mainForm_->runActivate();
        if (Form::loopStarted)
            Form::loopStarted(mainForm_, false);
    }
    if (!terminated_)
        loop.exec();
    mainLoop_ = nullptr;
    if (mainForm_)
        mainForm_->hide();
    return 0;
}

void Application::terminate()
{
    if (terminated_)
        return;
    terminated_ = true;
    emit ending();
    // Each nested loop ends once control is back in it, so the innermost
    // returns first and its opener's handler goes on.
    for (auto it = modalStack_.rbegin(); it != modalStack_.rend(); ++it)
        (*it)->endModal(mrCancel);
    if (mainLoop_)
        mainLoop_->exit(0);
}

bool Application::guard(const std::function<void()>& handler)
{
    if (!handler)
        return true;
    try {
        handler();
        return true;
    } catch (const rtl::Error& e) {
        showError(e.message());
    } catch (const std::exception& e) {
        showError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        showError(QStringLiteral("Unknown error"));
    }
    return false;
}

Form* Application::activeForm() const
{
    for (auto it = modalStack_.rbegin(); it != modalStack_.rend(); ++it) {
        if ((*it)->isVisible())
            return *it;
    }
    return mainForm_;
}

void Application::pushModal(Form* form)
{
    modalStack_.push_back(form);
}

void Application::popModal(Form* form)
{
    std::erase(modalStack_, form);
}

// Activation: a form's OnActivate runs when it is opened (Form::showModal,
// run()) and when it becomes the active window while a non-modal window was
// the last of the program's windows the user was in: the window system made
// it active (a click, Alt+Tab, the window manager) or that window closed. The
// activation comes in before any key or click that reaches the form after it.
// Message windows are not tracked, so returning from them changes nothing;
// nor does returning from a modal form, or from another program.
void Application::noteActivated(QWidget* window)
{
    if (!window)
        return;
    if (auto* form = qobject_cast<Form*>(window)) {
        QWidget* previous = lastActive_;
        lastActive_ = form;
        if (previous && previous != form && isNonModal(previous) && form->isVisible())
            form->runActivate();
    } else if (isNonModal(window)) {
        lastActive_ = window;
    }
}

void Application::nonModalHidden(QWidget* window)
{
    if (lastActive_ != window || terminated_)
        return;
    // Back to the form it was opened from.
    Form* back = nullptr;
    if (QWidget* parent = window->parentWidget())
        back = qobject_cast<Form*>(parent->window());
    if (!back && window->windowHandle()) {
        for (QWindow* w = window->windowHandle()->transientParent(); w && !back; w = w->transientParent()) {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->windowHandle() == w) {
                    back = qobject_cast<Form*>(top);
                    break;
                }
            }
        }
    }
    if (!back || !back->isVisible())
        back = activeForm();
    if (back && back->isVisible()) {
        back->activateWindow();
        noteActivated(back);
    }
}

bool Application::waitingForNonModal() const
{
    return std::any_of(modalStack_.begin(), modalStack_.end(), [](const Form* f) { return !f->isVisible(); });
}

void Application::handOverNonModal(Form* closing)
{
    QWindow* from = closing->windowHandle();
    if (!from)
        return;
    // The next form out keeps them unblocked.
    Form* next = nullptr;
    for (auto it = modalStack_.rbegin(); it != modalStack_.rend() && !next; ++it) {
        if (*it != closing && (*it)->isVisible())
            next = *it;
    }
    for (QWidget* top : QApplication::topLevelWidgets()) {
        QWindow* handle = top->windowHandle();
        if (isNonModal(top) && handle && handle->transientParent() == from)
            handle->setTransientParent(next ? next->windowHandle() : nullptr);
    }
}

namespace {
void bringUpNonModal()
{
    QWidget* last = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (isNonModal(top) && top->isVisible()) {
            top->raise();
            last = top;
        }
    }
    if (last)
        last->activateWindow();
}
} // namespace

// While a closed form waits for a non-modal window opened from it, the forms
// behind it take no input: a click on one brings that window up instead.
bool Application::blockedInput(QWidget* window, QEvent* event)
{
    if (!qobject_cast<Form*>(window) || !waitingForNonModal())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        bringUpNonModal();
        return true;
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return true;
    case QEvent::ShortcutOverride:
        event->accept();
        return true;
    case QEvent::Close:
        if (!event->spontaneous())
            return false;
        event->ignore();
        return true;
    default:
        return false;
    }
}

bool Application::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    auto* w = static_cast<QWidget*>(watched);
    if (blockedInput(w->window(), event))
        return true;
    switch (event->type()) {
    case QEvent::WindowActivate:
        // A late word from the window system about a window gone meanwhile
        // is no activation.
        if (!w->isWindow() || !w->isVisible())
            break;
        if (waitingForNonModal() && qobject_cast<Form*>(w))
            bringUpNonModal();
        else
            noteActivated(w);
        break;
    case QEvent::Show:
        if (w->isWindow() && isNonModal(w))
            noteActivated(w);
        break;
    case QEvent::Close:
        // The title bar's close box is the user's act in that window, as a
        // click on its own close button is.
        if (event->spontaneous() && w->isWindow() && isNonModal(w))
            noteActivated(w);
        break;
    case QEvent::Hide:
        if (w->isWindow() && isNonModal(w))
            nonModalHidden(w);
        break;
    case QEvent::Move:
    case QEvent::Resize:
        // The window manager frames the program's windows alike: the first
        // frame of each kind is enough.
        if (w->isWindow() && !knownFrames().known[frameKind(w)])
            learnFrame(w);
        break;
    case QEvent::FontChange:
        // A font a window or control sets for itself is drawn at the pixel
        // size its points have at 96 pixels per inch; the changed font comes
        // with an event of its own.
        if (w->testAttribute(Qt::WA_SetFont) && w->font().pixelSize() <= 0 && w->font().pointSizeF() > 0) {
            QFont font = w->font();
            font.setPixelSize(pixelsOfPoints(font.pointSizeF()));
            w->setFont(font);
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

int pixelsOfPoints(double points)
{
    return qRound(points * 96 / 72);
}

int pointsOfPixels(int pixels)
{
    return qRound(pixels * 72 / 96.0);
}

bool runHandler(const std::function<void()>& handler)
{
    if (!handler)
        return true;
    if (Application* app = Application::instance())
        return app->guard(handler);
    handler();
    return true;
}

void markNonModal(QWidget* window)
{
    if (!window)
        return;
    window->setProperty(nonModalProperty, true);
    if (window->parentWidget())
        return;
    // Without an owner the window would be blocked by the modal form that
    // opened it; give it that form as its owner on the window-system side
    // only, so its lifetime stays with whoever made it.
    if (Application* app = Application::instance()) {
        if (Form* owner = app->activeForm(); owner && owner->windowHandle()) {
            window->winId();
            if (QWindow* handle = window->windowHandle())
                handle->setTransientParent(owner->windowHandle());
        }
    }
}

QMargins expectedFrame(const QWidget* window)
{
    const QMargins now = frameNow(window);
    if (!now.isNull())
        return now;
    const KnownFrames& frames = knownFrames();
    const int kind = frameKind(window);
    return frames.known[kind] ? frames.margins[kind] : frames.margins[1 - kind];
}

void centreWindow(QWidget* window, const QRect& target)
{
    if (!window || !target.isValid())
        return;
    delete window->findChild<QObject*>(QLatin1String(Centring::name), Qt::FindDirectChildrenOnly);
    const QMargins frame = expectedFrame(window);
    const Placed placed = place(window, target, frame);
    if (frameNow(window).isNull())
        new Centring(window, target, frame, placed);
}

bool isNonModal(const QWidget* window)
{
    return window && window->property(nonModalProperty).toBool();
}

void onMenuClick(QAction* item, std::function<void()> handler)
{
    QObject::connect(item, &QAction::triggered, item,
                     [handler = std::move(handler)] { runHandler(handler); });
}

} // namespace ui
