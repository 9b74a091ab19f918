#include "platform/ui/Dialogs.h"

#include "platform/ui/Application.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace ui {

namespace {

DialogResponder* responder = nullptr;

QString appTitle()
{
    if (auto* app = Application::instance())
        return app->title();
    return QString();
}

void centreOnScreen(QMessageBox& box)
{
    box.adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = box.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        box.move(frame.topLeft());
    }
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

// A real message box: no owner window, modal over the whole program, the
// first button the default, and no escape button unless there is Cancel.
int runBox(const QString& caption, const QString& text, int flags)
{
    QMessageBox box;
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
    if ((flags & 0x0F) == mbOk)
        box.setEscapeButton(box.button(QMessageBox::Ok));
    else if (QAbstractButton* cancel = box.button(QMessageBox::Cancel))
        box.setEscapeButton(cancel);
    centreOnScreen(box);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const Choice& c : choices) {
        if (clicked && clicked == box.button(c.button))
            return c.id;
    }
    // Closed by the window manager: the box's cancel answer.
    return (flags & 0x0F) == mbYesNo ? idNo : ((flags & 0x0F) == mbOk ? idOk : idCancel);
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
