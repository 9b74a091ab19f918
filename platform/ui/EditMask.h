#pragma once

#include <QChar>
#include <QString>

#include <vector>

namespace ui {

// The rules of an edit mask, without a box: the mask, whether its literals
// are part of text(), and the sign shown for an empty place, as
// "!99/99/0000;1;_". In the mask '0' is a digit that must be typed and '9'
// one that may be, '#' a digit or sign that may be, 'L'/'l' a letter,
// 'A'/'a' a letter or digit, 'C'/'c' any character (the capital: must be
// typed); '>' and '<' turn the letters after them into capitals or small
// letters, "<>" neither; '\' takes the next character as it is; '!' holds
// the places a part was not typed in as leading blanks; any other character
// is a literal ('/' the date separator).
//
// Typing overwrites the place at the cursor and steps over the literals;
// typing a literal closes the part before it. Erasing empties a place
// without moving the characters after it. The user's steps act on the range
// [from, to) the box has selected (from == to: no selection, the cursor at
// from) and leave the cursor at cursor().
class EditMask {
public:
    // An empty mask: no places, nothing to check.
    void setMask(const QString& mask);
    bool isEmpty() const { return places_.empty(); }
    int size() const { return int(places_.size()); }
    // Letters in places without a case of their own become capitals.
    void setUpperCase(bool on) { upperCase_ = on; }

    // The text as the box shows it, with the blank sign for an empty place.
    const QString& shown() const { return shown_; }
    // Empty places read as blanks; the literals as the mask says.
    QString text() const;
    // Placed into the mask (literals where the mask has them, a blank for an
    // empty place); not a change of the user's, and what abandon() goes back to.
    void setText(const QString& text);
    int cursor() const { return cursor_; }

    // Changed by the user since the program last set the text or abandon().
    bool modified() const { return modified_; }
    // The first empty place that must be typed, or -1.
    int firstMissing() const;
    bool complete() const { return firstMissing() < 0; }

    // Types the characters one by one. False when the mask refused one; a
    // single refused character changes nothing.
    bool type(const QString& chars, int from, int to);
    // Empties the selection, or the place before the cursor (before) or at
    // it. False when nothing was there to empty.
    bool erase(bool before, int from, int to);
    // Back to the text the box had when it was entered, the cursor at the
    // start; false when nothing had changed.
    bool abandon();
    // The box is entered: its text is what abandon() goes back to.
    void enter() { entered_ = shown_; }

private:
    struct Place {
        QChar literal; // a literal's character; null for a place to type in
        char kind = 0; // '0' digit, '#' digit or sign, 'L' letter, 'A' letter or digit, 'C' any
        bool required = false;
        char letterCase = 0; // '>' capitals, '<' small letters
    };
    QChar fitted(const Place& place, QChar c) const; // c as the place takes it, or 0
    bool put(QString& shown, int& cursor, QChar c);
    void closePart(QString& shown, int typedEnd, int literal) const;
    QString withoutSelection(int from, int to) const;
    void change(const QString& shown, int cursor);

    std::vector<Place> places_;
    bool leadingBlanks_ = false;
    bool keepLiterals_ = true;
    bool upperCase_ = false;
    QChar blank_ = QLatin1Char('_');
    QString shown_;
    int cursor_ = 0;
    bool modified_ = false;
    int steppedOver_ = -1; // where the cursor went past a literal after the last character typed
    QString entered_;
};

} // namespace ui
