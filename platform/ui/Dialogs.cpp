#include "platform/ui/Dialogs.h"

#include "platform/ui/Application.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QWindow>

#include <algorithm>
#include <memory>
#include <vector>

namespace ui {

namespace {

DialogResponder* responder = nullptr;

QString appTitle()
{
    if (auto* app = Application::instance())
        return app->title();
    return QString();
}

QRect screenArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// A run of characters without a blank wider than a message window can be
// (pasted text) may break anywhere; the shorter runs of ordinary messages
// stay as they are.
QString breakableText(const QString& text, const QFont& font)
{
    const QRect screen = screenArea();
    const int widest = std::max(200, std::min(screen.width() - 480, 1000) - 120);
    const QFontMetrics metrics(font);
    const int chunk = std::max(1, 400 / std::max(1, metrics.maxWidth()));
    QString out;
    qsizetype runStart = 0;
    auto flush = [&](qsizetype end) {
        const QString run = text.mid(runStart, end - runStart);
        if (metrics.horizontalAdvance(run) <= widest) {
            out += run;
            return;
        }
        for (qsizetype i = 0; i < run.size(); i += chunk) {
            if (i > 0)
                out += QChar(0x200B); // a place to break, not seen
            out += run.mid(i, chunk);
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isSpace()) {
            flush(i);
            out += text.at(i);
            runStart = i + 1;
        }
    }
    flush(text.size());
    return out;
}

QMessageBox::Icon iconOf(int flags)
{
    switch (flags & 0xF0) {
    case mbIconStop:
        return QMessageBox::Critical;
    case mbIconQuestion:
        return QMessageBox::Question;
    case mbIconExclamation:
        return QMessageBox::Warning;
    case mbIconInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// A real message box. Only a box with an OK or a Cancel button has an escape
// answer: a Yes/No question closes by Yes or No alone, not by Esc or the
// title bar's close box.
class MessageWindow : public QMessageBox {
public:
    bool escapes = true;
    QPointer<QWidget> owner;
    QPointer<QAbstractButton> answer; // of this showing

protected:
    // The box takes its size when it is shown; then it is kept within the
    // screen and centred, frame included.
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        keepOnScreen();
        centreWindow(this, screenArea());
        // The window manager gives the keyboard back to the window the user
        // was in when the box closes.
        if (owner && windowHandle())
            windowHandle()->setTransientParent(owner->window()->windowHandle());
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (!escapes && event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    bool event(QEvent* event) override
    {
        // The message box sizes itself again whenever its layout changes; once
        // its text scrolls, the size is the one given here.
        if (event->type() == QEvent::LayoutRequest && scrolls_)
            return QDialog::event(event);
        return QMessageBox::event(event);
    }
    void closeEvent(QCloseEvent* event) override
    {
        if (!escapes) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }

private:
    // A text too long for the screen scrolls inside the box, so that its
    // buttons stay within reach.
    void keepOnScreen()
    {
        const QRect screen = screenArea();
        const QMargins frame = expectedFrame(this);
        const int room = screen.height() - frame.top() - frame.bottom();
        auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        auto* grid = qobject_cast<QGridLayout*>(layout());
        if (!screen.isValid() || height() <= room || !label || !grid || findChild<QScrollArea*>())
            return;
        grid->setGeometry(rect()); // laid out at the size the box has now
        const QSize text = label->size();
        const int shown = std::max(3 * label->fontMetrics().height(), text.height() - (height() - room));
        int row = 0, column = 0, rows = 1, columns = 1;
        grid->getItemPosition(grid->indexOf(label), &row, &column, &rows, &columns);
        grid->removeWidget(label);
        auto* scroll = new QScrollArea(this);
        scroll->setObjectName(QStringLiteral("messageScroll"));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->setWidgetResizable(true);
        const int bar = scroll->verticalScrollBar()->sizeHint().width();
        scroll->setFixedSize(text.width() + bar, shown);
        scroll->setWidget(label);
        grid->addWidget(scroll, row, column, rows, columns);
        scrolls_ = true;
        setFixedSize(width() + bar, height() - text.height() + shown);
    }

    bool scrolls_ = false;
};

// The window manager puts the caption between the window's icon and its
// close button, in a bold font: the box is at least wide enough for that.
void makeRoomForCaption(QMessageBox& box)
{
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const int buttons = 4 * box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
    const int wanted = QFontMetrics(font).horizontalAdvance(box.windowTitle()) + buttons;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(),
                      0, 1, grid->columnCount());
}

// The error window shows its first line whole: it is as wide as that line,
// within the screen.
void makeRoomForFirstLine(QMessageBox& box, const QString& text)
{
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (end < 0 || !label || !grid)
        return;
    const QMargins margins = label->contentsMargins();
    const int wanted = label->fontMetrics().horizontalAdvance(text.left(end)) + std::max(0, label->indent()) +
                       margins.left() + margins.right() + 2 * label->margin() + 2;
    int row = 0, column = 0, rows = 1, columns = 1;
    grid->getItemPosition(grid->indexOf(label), &row, &column, &rows, &columns);
    grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(),
                  column);
}

// The window the user goes back to when a message window closes: the active
// one, unless a modal window has just opened over it.
QWidget* windowToGoBackTo()
{
    QWidget* active = QApplication::activeWindow();
    QWidget* modal = QApplication::activeModalWidget();
    if (!active || !modal)
        return active ? active : modal;
    const QWindow* a = active->windowHandle();
    const QWindow* m = modal->windowHandle();
    return a && m && (a == m || m->isAncestorOf(a, QWindow::IncludeTransients)) ? active : modal;
}

struct Choice {
    QMessageBox::StandardButton button;
    int id;
};

std::vector<Choice> choicesOf(int flags)
{
    switch (flags & 0x0F) {
    case mbOkCancel:
        return {{QMessageBox::Ok, idOk}, {QMessageBox::Cancel, idCancel}};
    case mbYesNoCancel:
        return {{QMessageBox::Yes, idYes}, {QMessageBox::No, idNo}, {QMessageBox::Cancel, idCancel}};
    case mbYesNo:
        return {{QMessageBox::Yes, idYes}, {QMessageBox::No, idNo}};
    default:
        return {{QMessageBox::Ok, idOk}};
    }
}

void buildBox(MessageWindow& box, const QString& caption, const QString& text, int flags,
              const std::vector<Choice>& choices)
{
    box.setWindowTitle(caption);
    box.setText(breakableText(text, box.font()));
    box.setIcon(iconOf(flags));
    box.setWindowModality(Qt::ApplicationModal);
    QMessageBox::StandardButtons buttons;
    for (const Choice& c : choices)
        buttons |= c.button;
    box.setStandardButtons(buttons);
    if (QAbstractButton* cancel = box.button(QMessageBox::Cancel))
        box.setEscapeButton(cancel);
    else if ((flags & 0x0F) == mbOk)
        box.setEscapeButton(box.button(QMessageBox::Ok));
    else
        box.escapes = false;
    makeRoomForCaption(box);
    if ((flags & 0xF0) == mbIconStop)
        makeRoomForFirstLine(box, text);
    QObject::connect(&box, &QMessageBox::buttonClicked, &box, [&box](QAbstractButton* b) { box.answer = b; });
}

// The window last shown, kept for the next one with the same caption, text
// and buttons (a question asked after every save); while it is open, another
// window is built for a second one.
struct Kept {
    QPointer<MessageWindow> box;
    QString caption, text;
    int flags = 0;
};

Kept& kept()
{
    static Kept k;
    return k;
}

void dropKeptBox()
{
    delete kept().box.data(); // before the application closes its windows
}

// No owner window, modal over the whole program, the first button the
// default. The window the user was in gets the keyboard back afterwards.
int runBox(const QString& caption, const QString& text, int flags)
{
    QPointer<QWidget> before = windowToGoBackTo();
    const std::vector<Choice> choices = choicesOf(flags);
    Kept& k = kept();
    const bool reuse =
        k.box && !k.box->isVisible() && k.caption == caption && k.text == text && k.flags == flags;
    std::unique_ptr<MessageWindow> built;
    MessageWindow* box = reuse ? k.box.data() : nullptr;
    if (!box) {
        built = std::make_unique<MessageWindow>();
        box = built.get();
        buildBox(*box, caption, text, flags, choices);
    }
    // The default button has the keyboard again, whichever was used last.
    box->setDefaultButton(choices.front().button);
    if (QAbstractButton* first = box->button(choices.front().button))
        first->setFocus();
    box->owner = before;
    box->answer = nullptr;
    QPointer<MessageWindow> guard(box);
    box->exec();
    if (before && before->isVisible() && !QApplication::activeModalWidget())
        before->activateWindow();
    QAbstractButton* clicked = guard ? guard->answer.data() : nullptr;
    int answer = 0;
    for (const Choice& c : choices) {
        if (guard && clicked && clicked == guard->button(c.button))
            answer = c.id;
    }
    if (built && (!k.box || !k.box->isVisible())) {
        if (!k.box)
            qAddPostRoutine(dropKeptBox);
        delete k.box.data();
        k = Kept{built.release(), caption, text, flags};
    }
    if (answer)
        return answer;
    // Ended without an answer (the program closing down): the escape answer,
    // or No.
    return (flags & 0x0F) == mbOk ? idOk : ((flags & 0x0F) == mbYesNo ? idNo : idCancel);
}

} // namespace

void setDialogResponder(DialogResponder* r)
{
    responder = r;
}

DialogResponder* dialogResponder()
{
    return responder;
}

void showMessage(const QString& text)
{
    if (responder) {
        responder->message(appTitle(), text);
        return;
    }
    runBox(appTitle(), text, mbOk);
}

int messageBox(const QString& text, const QString& caption, int flags)
{
    if (responder)
        return responder->question(caption, text, flags);
    return runBox(caption, text, flags);
}

void showErrorBox(const QString& caption, const QString& text)
{
    if (responder) {
        responder->error(caption, text);
        return;
    }
    runBox(caption, text, mbOk | mbIconStop);
}

void showError(const QString& text)
{
    showErrorBox(appTitle(), withFullStop(text));
}

QString withFullStop(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

} // namespace ui
