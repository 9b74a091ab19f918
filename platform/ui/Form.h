#pragma once

#include <QPoint>
#include <QWidget>

#include <functional>

class QEventLoop;
class QMenuBar;

namespace ui {

enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };
enum class Position { Designed, DesktopCenter, MainFormCenter };

// A window of the program. Every window class derives from it and from its
// generated Ui:: class; created hidden, reused for the whole run.
class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(QWidget* parent = nullptr);
    ~Form() override;

    // Runs when the form is opened, and when it becomes the active window
    // after a window marked with markNonModal was (that window closed, or the
    // user came back while it is still open), before any key or click reaches
    // it; not when a modal form opened from it, or a message window, closes,
    // nor when the user comes back from another program.
    std::function<void()> OnActivate;
    // Runs when the form is asked to close; set allowClose to false to keep
    // it open.
    std::function<void(bool& allowClose)> OnClose;
    int Tag = 0;

    // Shows the form modally in a nested loop and returns its modal result
    // once it closes (mrCancel when closed by the close box, closeForm() or
    // the end request). Closed while a non-modal window opened from one of
    // its handlers is open, it hides at once and returns once that window
    // has closed; meanwhile only that window takes input.
    int showModal();
    // Asks the form to close: OnClose, then it hides and its modal loop ends.
    // Closing the main form is the end request.
    void closeForm();
    // A result other than mrNone ends the modal loop.
    void setModalResult(int result);
    int modalResult() const { return modalResult_; }
    bool isModalOpen() const { return loop_ != nullptr; }

    // false: no title-bar buttons; Alt+F4 and the window manager's close are
    // ignored, only the form's own buttons close it.
    void setCloseBox(bool on);
    bool hasCloseBox() const { return closeBox_; }

    // Where the form appears on its first showing; later showings keep the
    // place it had. Designed uses the form's own pos(); the centred ones
    // centre its frame.
    void setPosition(Position position);

    // The form fits its client area to its controls and keeps that size: the
    // user can neither resize nor maximise it. Call after setupUi (and
    // setMenuBar).
    void setAutoSize(bool on);

    // Puts the menu bar over the client area: the controls placed at their
    // client coordinates move down by its height and the form grows by it.
    // Call once, after setupUi.
    void setMenuBar(QMenuBar* bar);
    QMenuBar* menuBar() const { return menuBar_; }

    // A typed letter offered to the buttons in creation order: the first
    // whose caption marks that letter with '&' takes the focus, if it takes
    // any, and is clicked. Returns whether one took it.
    bool dispatchAccelerator(QChar letter);

    // The keyboard reaches the menu bar: F10, or Alt pressed and released
    // alone, enters it (arrows move, Enter opens, Esc leaves); Alt with a
    // letter that no button takes opens the menu whose caption begins with
    // it, or runs an entry that stands on the bar itself.
    void enterMenuBar();
    bool openMenuOf(QChar letter);

    // Seam for tests that drive windows from inside their loops: called when
    // a loop starts (modal: showModal once the form is shown and activated;
    // not modal: Application::run with the main form).
    static std::function<void(Form* form, bool modal)> loopStarted;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    friend class Application;
    void runActivate();
    void endModal(int result);

    int modalResult_ = mrNone;
    QEventLoop* loop_ = nullptr;
    bool closeBox_ = true;
    bool programClose_ = false;
    bool placed_ = false;
    Position position_ = Position::Designed;
    QMenuBar* menuBar_ = nullptr;
};

} // namespace ui
