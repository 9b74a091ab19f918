#pragma once

#include <QIcon>
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>
#include <type_traits>
#include <vector>

class QAction;
class QEventLoop;

namespace ui {

class Form;

// The application object: title, the start-up objects, the message loop with
// its error window, and the end request. One per process, made after the
// QApplication.
class Application : public QObject {
    Q_OBJECT
public:
    Application();
    ~Application() override; // destroys the created objects in reverse order

    static Application* instance();

    void setTitle(const QString& title);
    const QString& title() const { return title_; }
    void setIcon(const QIcon& icon);

    // Creates an object of class T into its program-wide reference, owned by
    // the application. The first Form created becomes the main window. Works
    // for forms, the data module and report layouts (plain classes too). An
    // error in the constructor propagates and nothing is recorded.
    template <class T> void createForm(T*& ref)
    {
        T* object = new T();
        ref = object;
        T** slot = &ref;
        adopt([object, slot] {
            if (*slot == object)
                *slot = nullptr;
            delete object;
        });
        if constexpr (std::is_base_of_v<Form, T>)
            noteFormCreated(object);
    }

    Form* mainForm() const { return mainForm_; }

    // Shows the main form and dispatches messages until the end request.
    // Returns 0.
    int run();

    // The end request: every open modal form closes with a cancel result, from
    // the innermost, each opener's handler going on after its showModal();
    // then run() returns. Emits ending() once.
    void terminate();
    bool terminated() const { return terminated_; }

    // Runs an event handler. An exception it lets escape is shown in the error
    // window and the loop goes on. Returns false when the handler failed.
    bool guard(const std::function<void()>& handler);

    // The form the user is working in: the innermost open modal form that is
    // on screen, else the main form. Non-modal windows opened from a handler
    // (the report preview) take it as their owner so a modal form does not
    // block them.
    Form* activeForm() const;

    // Modal forms open now, outermost first.
    const std::vector<Form*>& modalForms() const { return modalStack_; }

signals:
    void ending(); // emitted once, when the end request starts

private:
    friend class Form;
    friend void markNonModal(QWidget*);

    void adopt(std::function<void()> destroy);
    void noteFormCreated(Form* form);
    void pushModal(Form* form);
    void popModal(Form* form);
    // Activation tracking (see Form::OnActivate).
    void noteActivated(QWidget* window);
    void nonModalHidden(QWidget* window);
    // A modal form closed while a non-modal window opened from it (and the
    // loop that waits for that window) is still open: its modal showing ends
    // once that window closes; until then only that window takes input.
    bool waitingForNonModal() const;
    void handOverNonModal(Form* closing);
    bool blockedInput(QWidget* window, QEvent* event);
    bool eventFilter(QObject* watched, QEvent* event) override;

    static Application* instance_;
    QString title_;
    std::vector<std::function<void()>> objects_;
    Form* mainForm_ = nullptr;
    std::vector<Form*> modalStack_;
    QEventLoop* mainLoop_ = nullptr;
    bool terminated_ = false;
    QPointer<QWidget> lastActive_;
};

// Marks a top-level window as not modal (the report preview): coming back
// from it to a form runs the form's OnActivate. When it has no parent it is
// given the active form as its owner, so a modal form does not block it.
void markNonModal(QWidget* window);
bool isNonModal(const QWidget* window);

// Fonts are drawn as at 96 pixels per inch whatever the screen reports, so
// the pixel geometry of every window holds: 8 points are 11 pixels, 10 are 13,
// 12 are 16. While the application lives, a font that a window or control
// sets for itself in points is set again at that pixel size.
int pixelsOfPoints(double points);
int pointsOfPixels(int pixels); // the whole points that give these pixels

// Places a top-level window so that the centre of its frame, title bar and
// borders included, is the centre of `target`. Before a window is first shown
// the window manager has not framed it yet: its frame is taken to be that of
// the program's windows of the same kind, and corrected once it is known.
void centreWindow(QWidget* window, const QRect& target);
// The frame the window has, or is expected to get from the window manager.
QMargins expectedFrame(const QWidget* window);

// Runs an event handler through the application's guard, or directly (an
// error propagates) when there is no application. Returns false when the
// guard caught an error.
bool runHandler(const std::function<void()>& handler);

// Binds a menu item's click to its handler, through the guard.
void onMenuClick(QAction* item, std::function<void()> handler);

} // namespace ui
