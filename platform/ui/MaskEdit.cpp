#include "platform/ui/MaskEdit.h"

#include "platform/rtl/Format.h"
#include "platform/ui/Characters.h"
#include "platform/ui/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QValidator>

#include <functional>

namespace ui {

namespace {

const char* const maskRefusal = "Invalid input value.  Use escape key to abandon changes";

// Only the box's own steps change a masked text: a change that comes from
// elsewhere (the line edit's own paste, drop or undo) is undone, but for
// emptying it, which gives the empty mask.
class OwnChangesOnly : public QValidator {
public:
    OwnChangesOnly(QObject* parent, const bool& own) : QValidator(parent), own_(own) {}
    State validate(QString& input, int&) const override { return own_ || input.isEmpty() ? Acceptable : Invalid; }

private:
    const bool& own_;
};

// Eats the mouse press on its way to the control that the press gave the
// focus to, when the box took the focus back: the click does nothing.
class PressEater : public QObject {
public:
    explicit PressEater(QObject* parent) : QObject(parent)
    {
        qApp->installEventFilter(this);
        QMetaObject::invokeMethod(this, &QObject::deleteLater, Qt::QueuedConnection);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (eaten_ || (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick))
            return false;
        eaten_ = true;
        return true;
    }

private:
    bool eaten_ = false;
};

bool leavesTheWindowAlone(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason
        || reason == Qt::MenuBarFocusReason;
}

} // namespace


MaskEdit::MaskEdit(QWidget* parent) : Edit(parent), plainRules_(validator()), maskRules_(new OwnChangesOnly(this, showing_))
{
    connect(this, &QLineEdit::textChanged, this, [this] {
        // QLineEdit's own setText() or clear(), reached through a base
        // pointer: the text is placed into the mask again.
        if (masked() && !showing_ && QLineEdit::text().size() != qsizetype(places_.size()))
            setText(QLineEdit::text());
    });
}

void MaskEdit::setEditMask(const QString& mask)
{
    editMask_ = mask;
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
        case '!': leadingBlanks_ = true; continue;
        case '>':
            letterCase = i + 1 < pattern.size() && pattern.at(i + 1) == QLatin1Char('<') ? (++i, '\0') : '>';
            continue;
        case '<': letterCase = '<'; continue;
        case '0': place.kind = '0'; place.required = true; break;
        case '9': place.kind = '0'; break;
        case '#': place.kind = '#'; break;
        case 'L': place.kind = 'L'; place.required = true; break;
        case 'l': place.kind = 'L'; break;
        case 'A': place.kind = 'A'; place.required = true; break;
        case 'a': place.kind = 'A'; break;
        case 'C': place.kind = 'C'; place.required = true; break;
        case 'c': place.kind = 'C'; break;
        case '/': place.literal = rtl::FormatSettings::current().dateSeparator; break;
        case '\\': place.literal = i + 1 < pattern.size() ? pattern.at(++i) : c; break;
        default: place.literal = c;
        }
        places_.push_back(place);
    }
    setValidator(masked() ? maskRules_ : plainRules_);
    setText(QString());
}

QString MaskEdit::shown() const
{
    return QLineEdit::text();
}

QString MaskEdit::text() const
{
    if (!masked())
        return QLineEdit::text();
    const QString box = shown();
    QString text;
    for (size_t i = 0; i < places_.size() && qsizetype(i) < box.size(); ++i) {
        if (!places_[i].literal.isNull())
            text += keepLiterals_ ? box.at(qsizetype(i)) : QString();
        else
            text += box.at(qsizetype(i)) == blank_ ? QLatin1Char(' ') : box.at(qsizetype(i));
    }
    return text;
}

void MaskEdit::setText(const QString& text)
{
    if (!masked()) {
        Edit::setText(text);
        return;
    }
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
    display(box, 0);
    entered_ = box;
}

void MaskEdit::clear()
{
    setText(QString());
}

QChar MaskEdit::fitted(const Place& place, QChar c) const
{
    if (c == QLatin1Char(' ') || c == blank_ || dropped(c.unicode()))
        return QChar();
    bool fits = false;
    switch (place.kind) {
    case '0': fits = c.isDigit(); break;
    case '#': fits = c.isDigit() || c == QLatin1Char('+') || c == QLatin1Char('-'); break;
    case 'L': fits = c.isLetter(); break;
    case 'A': fits = c.isLetterOrNumber(); break;
    default: fits = true;
    }
    if (!fits)
        return QChar();
    if (place.letterCase == '>' || (place.letterCase == 0 && upperCase()))
        return capital(c);
    if (place.letterCase == '<')
        return c.toLower();
    return c;
}

// The part that ends at the literal: what was typed in it before the cursor
// stays, the rest is emptied; under '!' the typed characters move to the
// end of the part, so " 1/ 3/2024" is what "1/3/2024" types.
void MaskEdit::closePart(QString& box, int typedEnd, int literal) const
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
bool MaskEdit::put(QString& box, int& cursor, QChar c)
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

int MaskEdit::firstMissing() const
{
    const QString box = shown();
    for (size_t i = 0; i < places_.size() && qsizetype(i) < box.size(); ++i)
        if (places_[i].required && box.at(qsizetype(i)) == blank_)
            return int(i);
    return -1;
}

void MaskEdit::display(const QString& box, int cursor)
{
    showing_ = true;
    QLineEdit::setText(box);
    setCursorPosition(cursor);
    showing_ = false;
}

void MaskEdit::change(const QString& box, int cursor)
{
    if (box != shown())
        modified_ = true;
    display(box, cursor);
}

// The text with the selection emptied; cursor: where the selection began.
QString MaskEdit::withoutSelection(int& cursor) const
{
    QString box = shown();
    cursor = cursorPosition();
    if (!hasSelectedText())
        return box;
    cursor = selectionStart();
    for (int i = cursor; i < selectionEnd() && i < box.size(); ++i)
        if (places_[size_t(i)].literal.isNull())
            box[i] = blank_;
    return box;
}

void MaskEdit::typeIn(const QString& chars, bool beep)
{
    int cursor = 0;
    QString box = withoutSelection(cursor);
    bool refused = false;
    for (QChar c : chars)
        refused |= !put(box, cursor, c);
    if (refused && beep && chars.size() == 1)
        QApplication::beep();
    if (!refused || chars.size() > 1)
        change(box, cursor);
}

void MaskEdit::erase(bool before)
{
    steppedOver_ = -1;
    if (hasSelectedText()) {
        int cursor = 0;
        const QString box = withoutSelection(cursor);
        change(box, cursor);
        return;
    }
    QString box = shown();
    int at = cursorPosition();
    if (before) {
        do
            --at;
        while (at >= 0 && !places_[size_t(at)].literal.isNull());
        if (at < 0)
            return;
    } else if (at >= box.size() || !places_[size_t(at)].literal.isNull()) {
        return;
    }
    box[at] = blank_;
    change(box, at);
}

void MaskEdit::cutSelection()
{
    if (!hasSelectedText())
        return;
    copy();
    erase(false);
}

void MaskEdit::abandon()
{
    if (!modified_)
        return;
    display(entered_, 0);
    modified_ = false;
    selectAll();
}

void MaskEdit::insertTyped(QKeyEvent* event, QChar key)
{
    if (!masked()) {
        Edit::insertTyped(event, key);
        return;
    }
    event->accept();
    typeIn(QString(key), true);
}

void MaskEdit::editKey(QKeyEvent* event)
{
    if (!masked()) {
        Edit::editKey(event);
        return;
    }
    event->accept();
    if (event->matches(QKeySequence::Cut))
        cutSelection();
    else if (event->matches(QKeySequence::Paste))
        typeIn(QApplication::clipboard()->text(), false);
    else if (event->key() == Qt::Key_Escape)
        abandon();
    else if (event->key() == Qt::Key_Backspace)
        erase(true);
    else if (event->key() == Qt::Key_Delete)
        erase(false);
    else if (!event->matches(QKeySequence::Undo) && !event->matches(QKeySequence::Redo))
        QLineEdit::keyPressEvent(event); // moves, selects, copies
}

void MaskEdit::insertComposed(QInputMethodEvent* event, const QString& taken)
{
    if (!masked()) {
        Edit::insertComposed(event, taken);
        return;
    }
    event->accept();
    typeIn(taken, taken.size() == 1);
}

void MaskEdit::contextMenuEvent(QContextMenuEvent* event)
{
    if (!masked()) {
        Edit::contextMenuEvent(event);
        return;
    }
    // The line edit's own menu would change the text around the mask.
    QMenu menu(this);
    const auto add = [&](const QString& caption, bool enabled, std::function<void()> step) {
        QAction* action = menu.addAction(caption);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, std::move(step));
    };
    const bool selected = hasSelectedText();
    add(tr("&Undo"), modified_, [this] { abandon(); });
    menu.addSeparator();
    add(tr("Cu&t"), selected, [this] { cutSelection(); });
    add(tr("&Copy"), selected, [this] { copy(); });
    add(tr("&Paste"), !QApplication::clipboard()->text().isEmpty(),
        [this] { typeIn(QApplication::clipboard()->text(), false); });
    add(tr("&Delete"), selected, [this] { erase(false); });
    menu.addSeparator();
    add(tr("Select &All"), true, [this] { selectAll(); });
    menu.exec(event->globalPos());
}

void MaskEdit::focusInEvent(QFocusEvent* event)
{
    if (!masked()) {
        Edit::focusInEvent(event);
        return;
    }
    // The mask's own rule, not the plain box's.
    QLineEdit::focusInEvent(event);
    if (refusing_ || leavesTheWindowAlone(event->reason()))
        return;
    entered_ = shown();
    if (event->reason() != Qt::MouseFocusReason)
        selectAll();
}

// Leaving is checked once the focus has gone: it comes back at once, before
// the control that took it acts on the key or click that moved it.
void MaskEdit::focusOutEvent(QFocusEvent* event)
{
    Edit::focusOutEvent(event);
    if (!masked() || !modified_ || refusing_ || leavesTheWindowAlone(event->reason()))
        return;
    const QWidget* taker = QApplication::focusWidget();
    if (!taker || taker == this || taker->window() != window())
        return;
    const int missing = firstMissing();
    if (missing >= 0)
        refuseLeaving(missing, event->reason() == Qt::MouseFocusReason);
}

void MaskEdit::refuseLeaving(int missing, bool byMouse)
{
    QApplication::beep();
    refusing_ = true;
    setFocus(Qt::OtherFocusReason);
    refusing_ = false;
    setCursorPosition(missing);
    if (byMouse)
        new PressEater(this);
    // The error window comes once the step that moved the focus is over.
    QMetaObject::invokeMethod(
        this, [] { showError(QLatin1String(maskRefusal)); }, Qt::QueuedConnection);
}

} // namespace ui
