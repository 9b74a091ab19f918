#pragma once

#include "platform/ui/Edit.h"

#include <QString>

#include <vector>

class QValidator;

namespace ui {

// Every event callback below runs through Application::guard, so an error a
// handler lets escape shows the error window and the loop goes on.

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

} // namespace ui
