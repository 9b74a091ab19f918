#include "platform/ui/Dialogs.h"

#include "platform/ui/Application.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

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

QMessageBox::Icon iconOf(int flags)
{
    switch (flags & 0xF0) {
    case mbIconStop: return QMessageBox::Critical;
    case mbIconQuestion: return QMessageBox::Question;
    case mbIconExclamation: return QMessageBox::Warning;
    case mbIconInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// A real message box. Only a box with an OK or a Cancel button has an escape
// answer: a Yes/No question closes by Yes or No alone, not by Esc or the
// title bar's close box.
class MessageWindow : public QMessageBox {
public:
    bool escapes = true;

protected:
    // The box takes its size when it is shown; then it is centred, frame
    // included.
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        centreWindow(this, screenArea());
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (!escapes && event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override
    {
        if (!escapes) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }
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
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

// No owner window, modal over the whole program, the first button the
// default.
int runBox(const QString& caption, const QString& text, int flags)
{
    MessageWindow box;
    box.setWindowTitle(caption);
    box.setText(text);
    box.setIcon(iconOf(flags));
    box.setWindowModality(Qt::ApplicationModal);
    struct Choice {
        QMessageBox::StandardButton button;
        int id;
    };
    std::vector<Choice> choices;
    switch (flags & 0x0F) {
    case mbOkCancel: choices = {{QMessageBox::Ok, idOk}, {QMessageBox::Cancel, idCancel}}; break;
    case mbYesNoCancel:
        choices = {{QMessageBox::Yes, idYes}, {QMessageBox::No, idNo}, {QMessageBox::Cancel, idCancel}};
        break;
    case mbYesNo: choices = {{QMessageBox::Yes, idYes}, {QMessageBox::No, idNo}}; break;
    default: choices = {{QMessageBox::Ok, idOk}}; break;
    }
    QMessageBox::StandardButtons buttons;
    for (const Choice& c : choices)
        buttons |= c.button;
    box.setStandardButtons(buttons);
    box.setDefaultButton(choices.front().button);
    if (QAbstractButton* cancel = box.button(QMessageBox::Cancel))
        box.setEscapeButton(cancel);
    else if ((flags & 0x0F) == mbOk)
        box.setEscapeButton(box.button(QMessageBox::Ok));
    else
        box.escapes = false;
    makeRoomForCaption(box);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const Choice& c : choices) {
        if (clicked && clicked == box.button(c.button))
            return c.id;
    }
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
