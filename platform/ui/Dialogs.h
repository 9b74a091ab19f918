#pragma once

#include <QString>

namespace ui {

// Flags and answers of the message box, as the program writes them (36 is
// Yes/No with a question icon, 52 Yes/No with an exclamation icon).
constexpr int mbOk = 0, mbOkCancel = 1, mbYesNoCancel = 3, mbYesNo = 4;
constexpr int mbIconStop = 16, mbIconQuestion = 32, mbIconExclamation = 48, mbIconInformation = 64;
constexpr int idOk = 1, idCancel = 2, idYes = 6, idNo = 7;

// Message, question and error windows go through this seam; tests install a
// responder, the program uses real message boxes.
class DialogResponder {
public:
    virtual ~DialogResponder() = default;
    virtual void message(const QString& caption, const QString& text) = 0;
    virtual int question(const QString& caption, const QString& text, int flags) = 0;
    virtual void error(const QString& caption, const QString& text) = 0;
};

// Plain message window: the application title as caption, one "OK", centred
// on the screen, modal.
void showMessage(const QString& text);

// Question window with the given caption and flags; returns the id of the
// button pressed (idYes, idNo, ...). Other windows take no input meanwhile.
int messageBox(const QString& text, const QString& caption, int flags);

// The error window of the message loop: the application title as caption,
// stop icon, one OK; the text gets the full-stop rule.
void showError(const QString& text);

// An error window with a caption of its own and the text as given (the
// start-up failure's "Application Error").
void showErrorBox(const QString& caption, const QString& text);

// Adds a full stop when the last character comes after '.' in the character
// code; leaves the text as it is when it ends in '.' or a character before
// it (blank, '!', ')'), or is empty.
QString withFullStop(const QString& message);

// nullptr restores the real windows.
void setDialogResponder(DialogResponder* responder);
DialogResponder* dialogResponder();

} // namespace ui
