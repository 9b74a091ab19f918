#pragma once

#include <QLineEdit>
#include <QString>

#include <functional>

namespace ui {

// Every event callback below runs through Application::guard, so an error a
// handler lets escape shows the error window and the loop goes on.

// Single-line edit. OnKeyPress sees every typed or composed character (Enter
// as 13, Backspace as 8) and may change it; QChar(0) swallows it. Tab moves
// the focus and is not offered. Enter never clicks a default button. Alt+letter
// types nothing: it goes on to the window's accelerator rule. Control
// characters (Tab, line ends, NUL) and invisible format characters (as the
// right-to-left override) never enter the text. Entered from the
// keyboard or by the program (Tab, setFocus()), the box selects its whole
// text, so typing replaces it; a click places the cursor, and coming back to
// its window leaves the text as it was.
class Edit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(bool upperCase READ upperCase WRITE setUpperCase)
    Q_PROPERTY(QString passwordChar READ passwordChar WRITE setPasswordChar)
    Q_PROPERTY(bool latin1Only READ latin1Only WRITE setLatin1Only)
    Q_PROPERTY(int maxLength READ maxLength WRITE setMaxLength)
public:
    explicit Edit(QWidget* parent = nullptr);

    std::function<void(QChar& key)> OnKeyPress;
    std::function<void()> OnChange; // text changed by the user or the program

    // Letters typed, pasted or assigned become capitals, one letter for one
    // within 8 bits (see capital()).
    void setUpperCase(bool on);
    bool upperCase() const { return upperCase_; }
    static QChar capital(QChar c);
    // Every character shows as this sign ("$", "%", "*"); empty: plain text.
    void setPasswordChar(const QString& sign);
    QString passwordChar() const { return passwordChar_; }
    // Only characters with an 8-bit (Latin-1) code are taken, typed or
    // pasted, for texts that are written to a file byte for byte.
    void setLatin1Only(bool on);
    bool latin1Only() const { return latin1Only_; }
    // Text the user puts in (typed, pasted, dropped or composed) is taken only
    // when the rule accepts what it brings in, as a whole; the program's own
    // setText() is not checked.
    void setInsertRule(std::function<bool(const QString& inserted)> rule);

    // Assigns the text (capitals when upper case is on).
    void setText(const QString& text);

    // The most characters the box holds, counted whole (a character beyond
    // 16 bits is one), typed, pasted, dropped or set; text that brings more
    // is cut to what fits, never in the middle of a character.
    void setMaxLength(int characters);
    int maxLength() const { return maxChars_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Offers a key to OnKeyPress; returns the key to insert, or 0 if swallowed
    // or the handler failed.
    QChar offerKey(QChar key);
    // What a key does once the key handler has let it through: a typed
    // character to insert, or any other key (Backspace, Delete, Ctrl+V,
    // Esc, the arrows ...); and what composed input inserts.
    virtual void insertTyped(QKeyEvent* event, QChar key);
    virtual void editKey(QKeyEvent* event);
    virtual void insertComposed(QInputMethodEvent* event, const QString& taken);

private:
    class Rules;
    // A typed or composed character as the box takes it, or 0.
    QChar filterKey(QChar typed);

    bool upperCase_ = false;
    bool latin1Only_ = false;
    int maxChars_ = 32767;
    bool programText_ = false;
    bool leftWithWindow_ = false; // had the focus when its window was left
    QString passwordChar_;
    QString lastText_;
    std::function<bool(const QString&)> insertRule_;
};

} // namespace ui
