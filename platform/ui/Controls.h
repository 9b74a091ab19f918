#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include <functional>
#include <vector>

class QAction;

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

// Edit with an edit mask: the mask, whether its literals are part of
// text(), and the sign shown for an empty place, as "!99/99/0000;1;_". In
// the mask '0' is a digit that must be typed and '9' one that may be, '#' a
// digit or sign that may be, 'L'/'l' a letter, 'A'/'a' a letter or digit,
// 'C'/'c' any character (the capital: must be typed); '>' and '<' turn the
// letters after them into capitals or small letters, "<>" neither; '\'
// takes the next character as it is; '!' holds the places a part was not
// typed in as leading blanks; any other character is a literal ('/' the date
// separator).
//
// Typing overwrites the place at the cursor and steps over the literals;
// typing a literal closes the part before it. Backspace and Delete empty
// a place without moving the characters after it. Once the user has changed
// the text, he cannot leave the box while a place that must be typed is
// empty: a beep, the error "Invalid input value.  Use escape key to abandon
// changes", and the focus stays. Esc abandons the changes made since the box was entered.
class MaskEdit : public Edit {
    Q_OBJECT
    Q_PROPERTY(QString editMask READ editMask WRITE setEditMask)
public:
    explicit MaskEdit(QWidget* parent = nullptr);
    void setEditMask(const QString& mask);
    QString editMask() const { return editMask_; }

    // Empty places read as blanks; the literals as the mask says.
    QString text() const;
    // Placed into the mask (literals where the mask has them, a blank for an
    // empty place); not a change of the user's.
    void setText(const QString& text);
    void clear(); // the empty mask
    // Changed by the user since the program last set the text.
    bool modified() const { return modified_; }
    // Every place that must be typed is filled.
    bool complete() const { return firstMissing() < 0; }

protected:
    void insertTyped(QKeyEvent* event, QChar key) override;
    void editKey(QKeyEvent* event) override;
    void insertComposed(QInputMethodEvent* event, const QString& taken) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Place {
        QChar literal; // a literal's character; null for a place to type in
        char kind = 0; // '0' digit, '#' digit or sign, 'L' letter, 'A' letter or digit, 'C' any
        bool required = false;
        char letterCase = 0; // '>' capitals, '<' small letters
    };
    bool masked() const { return !places_.empty(); }
    QString shown() const; // the text as the box shows it, with the blank sign
    QChar fitted(const Place& place, QChar c) const; // c as the place takes it, or 0
    bool put(QString& shown, int& cursor, QChar c);
    void closePart(QString& shown, int typedEnd, int literal) const;
    int firstMissing() const;
    // The user's change: the text shown and the cursor after it.
    void change(const QString& shown, int cursor);
    void display(const QString& shown, int cursor);
    QString withoutSelection(int& cursor) const;
    void typeIn(const QString& chars, bool beep);
    void erase(bool before);
    void cutSelection();
    void abandon();
    void refuseLeaving(int missing, bool byMouse);

    QString editMask_;
    std::vector<Place> places_;
    bool leadingBlanks_ = false;
    bool keepLiterals_ = true;
    QChar blank_ = QLatin1Char('_');
    bool modified_ = false;
    bool showing_ = false; // the box's own change of its text
    bool refusing_ = false;
    int steppedOver_ = -1; // where the cursor went past a literal after the last character typed
    QString entered_; // the text when the box was entered: what Esc goes back to
    const QValidator* plainRules_;
    QValidator* maskRules_;
};

// Multi-line memo; Tab moves the focus. While nobody can see it (hidden, or
// covered by a control above it) it keeps its text aside without laying it
// out, however long the text is; it lays it out once it is seen or the user
// works in it. Set and read it through setText(), text() and clear().
class Memo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit Memo(QWidget* parent = nullptr);
    // The lines joined by CR LF.
    QString text() const;
    // CR LF, lone CR and lone LF all break lines.
    void setText(const QString& text);
    void clear();

protected:
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    bool seen() const;
    void layOut();
    QString aside_; // lines joined by LF, while detached_
    bool detached_ = false;
};

// Push button: hand-point cursor, never a default button; when focused,
// Enter and Space click it. '&' in the caption marks its accelerator letter.
class Button : public QPushButton {
    Q_OBJECT
public:
    explicit Button(QWidget* parent = nullptr);
    std::function<void()> OnClick;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// Flat button without a face of its own: its caption stands on whatever lies
// below; a raised edge while the pointer is over it, a sunken one while it is
// pressed. Takes no focus.
class SpeedButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(int fontSize READ fontSize WRITE setFontSize)
    Q_PROPERTY(QColor fontColor READ fontColor WRITE setFontColor)
public:
    explicit SpeedButton(QWidget* parent = nullptr);
    std::function<void()> OnClick;
    std::function<void()> OnMouseMove;

    // Both repaint only on a real change.
    void setFontSize(int points);
    int fontSize() const;
    void setFontColor(const QColor& color);
    QColor fontColor() const { return fontColor_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QColor fontColor_ = Qt::black;
};

// Push and speed buttons take their '&' letter through the window's
// accelerator rule (Form::dispatchAccelerator), which goes by the order they
// were made: their rank in it, from 1; 0 for other buttons.
quint64 acceleratorRank(const QAbstractButton* button);

// Label; sizes itself to its text when shown.
class Label : public QLabel {
    Q_OBJECT
    Q_PROPERTY(bool autoSize READ autoSize WRITE setAutoSize)
public:
    explicit Label(QWidget* parent = nullptr);
    void setAutoSize(bool on) { autoSize_ = on; }
    bool autoSize() const { return autoSize_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool autoSize_ = true;
};

// Group box whose caption stands on the frame's top line; the controls in it
// are placed from its top-left corner, above that line.
class GroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit GroupBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Picture. JPEG files are decoded with libjpeg, other formats by Qt.
class Image : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString picture READ picturePath WRITE setPicture)
    Q_PROPERTY(bool stretch READ stretch WRITE setStretch)
    Q_PROPERTY(bool center READ center WRITE setCenter)
    Q_PROPERTY(bool autoSize READ autoSize WRITE setAutoSize)
public:
    explicit Image(QWidget* parent = nullptr);
    std::function<void()> OnMouseMove;

    void setPicture(const QString& resourcePath); // raises rtl::Error if unreadable
    void setImage(const QImage& image);
    QString picturePath() const { return path_; }
    const QImage& image() const { return image_; }
    void setStretch(bool on);
    bool stretch() const { return stretch_; }
    void setCenter(bool on);
    bool center() const { return center_; }
    void setAutoSize(bool on);
    bool autoSize() const { return autoSize_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void fit();
    QString path_;
    QImage image_;
    bool stretch_ = false;
    bool center_ = false;
    bool autoSize_ = false;
};

// Binds a menu item's click to its handler, through the guard.
void onMenuClick(QAction* item, std::function<void()> handler);

} // namespace ui
