#include "platform/ui/EditMask.h"

#include "platform/rtl/Format.h"
#include "platform/ui/Characters.h"

#include <QStringList>

#include <algorithm>

namespace ui {

void EditMask::setMask(const QString& mask)
{
    places_.clear();
    leadingBlanks_ = false;
    keepLiterals_ = true;
    blank_ = QLatin1Char('_');
    QStringList parts = mask.split(QLatin1Char(';'));
    if (parts.size() >= 3) {
        const QString blank = parts.takeLast();
        if (!blank.isEmpty())
            blank_ = blank.at(0);
    }
    if (parts.size() >= 2)
        keepLiterals_ = parts.takeLast() != QLatin1String("0");
    const QString pattern = parts.join(QLatin1Char(';'));
    char letterCase = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        Place place;
        place.letterCase = letterCase;
        switch (c.unicode()) {
        case '!':
            leadingBlanks_ = true;
            continue;
        case '>':
            letterCase = i + 1 < pattern.size() && pattern.at(i + 1) == QLatin1Char('<') ? (++i, '\0') : '>';
            continue;
        case '<':
            letterCase = '<';
            continue;
        case '0':
            place.kind = '0';
            place.required = true;
            break;
        case '9':
            place.kind = '0';
            break;
        case '#':
            place.kind = '#';
            break;
        case 'L':
            place.kind = 'L';
            place.required = true;
            break;
        case 'l':
            place.kind = 'L';
            break;
        case 'A':
            place.kind = 'A';
            place.required = true;
            break;
        case 'a':
            place.kind = 'A';
            break;
        case 'C':
            place.kind = 'C';
            place.required = true;
            break;
        case 'c':
            place.kind = 'C';
            break;
        case '/':
            place.literal = rtl::FormatSettings::current().dateSeparator;
            break;
        case '\\':
            place.literal = i + 1 < pattern.size() ? pattern.at(++i) : c;
            break;
        default:
            place.literal = c;
        }
        places_.push_back(place);
    }
    setText(QString());
}

QString EditMask::text() const
{
    QString text;
    for (size_t i = 0; i < places_.size() && qsizetype(i) < shown_.size(); ++i) {
        if (!places_[i].literal.isNull())
            text += keepLiterals_ ? shown_.at(qsizetype(i)) : QString();
        else
            text += shown_.at(qsizetype(i)) == blank_ ? QLatin1Char(' ') : shown_.at(qsizetype(i));
    }
    return text;
}

void EditMask::setText(const QString& text)
{
    // Place by place; a text with the literals has them where the mask does.
    QString box;
    qsizetype from = 0;
    for (const Place& place : places_) {
        if (!place.literal.isNull()) {
            if (keepLiterals_ && from < text.size() && text.at(from) == place.literal)
                ++from;
            box += place.literal;
            continue;
        }
        const QChar c = from < text.size() ? fitted(place, text.at(from++)) : QChar();
        box += c.isNull() ? blank_ : c;
    }
    modified_ = false;
    steppedOver_ = -1;
    shown_ = box;
    cursor_ = 0;
    entered_ = box;
}

QChar EditMask::fitted(const Place& place, QChar c) const
{
    if (c == QLatin1Char(' ') || c == blank_ || dropped(c.unicode()))
        return QChar();
    bool fits = false;
    switch (place.kind) {
    case '0':
        fits = c.isDigit();
        break;
    case '#':
        fits = c.isDigit() || c == QLatin1Char('+') || c == QLatin1Char('-');
        break;
    case 'L':
        fits = c.isLetter();
        break;
    case 'A':
        fits = c.isLetterOrNumber();
        break;
    default:
        fits = true;
    }
    if (!fits)
        return QChar();
    if (place.letterCase == '>' || (place.letterCase == 0 && upperCase_))
        return capital(c);
    if (place.letterCase == '<')
        return c.toLower();
    return c;
}

// The part that ends at the literal: what was typed in it before the cursor
// stays, the rest is emptied; under '!' the typed characters move to the
// end of the part, so " 1/ 3/2024" is what "1/3/2024" types.
void EditMask::closePart(QString& box, int typedEnd, int literal) const
{
    int start = literal;
    while (start > 0 && places_[size_t(start - 1)].literal.isNull())
        --start;
    QString typed;
    for (int i = start; i < std::min(typedEnd, literal); ++i)
        if (box.at(i) != blank_)
            typed += box.at(i);
    const QString blanks(literal - start - typed.size(), blank_);
    box.replace(start, literal - start, leadingBlanks_ ? blanks + typed : typed + blanks);
}

// Types one character at the cursor: into the next place it fits, or, for a
// literal of the mask, past that literal.
bool EditMask::put(QString& box, int& cursor, QChar c)
{
    const int n = int(places_.size());
    const int steppedOver = steppedOver_;
    int at = cursor;
    while (at < n && !places_[size_t(at)].literal.isNull())
        ++at;
    if (at < n) {
        const QChar fit = fitted(places_[size_t(at)], c);
        if (!fit.isNull()) {
            box[at] = fit;
            cursor = at + 1;
            while (cursor < n && !places_[size_t(cursor)].literal.isNull())
                ++cursor;
            steppedOver_ = cursor > at + 1 ? cursor : -1;
            return true;
        }
    }
    // The literal the last character stepped over: "01/" types "01" and
    // the "/" after it.
    if (cursor == steppedOver && places_[size_t(cursor - 1)].literal == c) {
        steppedOver_ = -1;
        return true;
    }
    for (int q = cursor; q < n; ++q) {
        if (places_[size_t(q)].literal == c) {
            closePart(box, cursor, q);
            cursor = q + 1;
            steppedOver_ = -1;
            return true;
        }
    }
    return false;
}

int EditMask::firstMissing() const
{
    for (size_t i = 0; i < places_.size() && qsizetype(i) < shown_.size(); ++i)
        if (places_[i].required && shown_.at(qsizetype(i)) == blank_)
            return int(i);
    return -1;
}

void EditMask::change(const QString& box, int cursor)
{
    if (box != shown_)
        modified_ = true;
    shown_ = box;
    cursor_ = cursor;
}

// The text with the places of the selection emptied.
QString EditMask::withoutSelection(int from, int to) const
{
    QString box = shown_;
    for (int i = from; i < to && i < box.size(); ++i)
        if (places_[size_t(i)].literal.isNull())
            box[i] = blank_;
    return box;
}

bool EditMask::type(const QString& chars, int from, int to)
{
    int cursor = from;
    QString box = withoutSelection(from, to);
    bool refused = false;
    for (QChar c : chars)
        refused |= !put(box, cursor, c);
    if (!refused || chars.size() > 1)
        change(box, cursor);
    return !refused;
}

bool EditMask::erase(bool before, int from, int to)
{
    steppedOver_ = -1;
    if (from < to) {
        change(withoutSelection(from, to), from);
        return true;
    }
    QString box = shown_;
    int at = from;
    if (before) {
        do
            --at;
        while (at >= 0 && !places_[size_t(at)].literal.isNull());
        if (at < 0)
            return false;
    } else if (at >= box.size() || !places_[size_t(at)].literal.isNull()) {
        return false;
    }
    box[at] = blank_;
    change(box, at);
    return true;
}

bool EditMask::abandon()
{
    if (!modified_)
        return false;
    shown_ = entered_;
    cursor_ = 0;
    modified_ = false;
    return true;
}

} // namespace ui
