#include "platform/ui/Controls.h"

#include "platform/rtl/Errors.h"
#include "platform/rtl/Format.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"
#include "platform/ui/Jpeg.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QShortcutEvent>
#include <QTextDocument>
#include <QInputMethodEvent>
#include <QValidator>
#include <qdrawutil.h>

#include <utility>

namespace ui {

namespace {

const char* const rankProperty = "_ui_acceleratorRank";

// A shortcut event reaches a button through its '&' letter: the form decides
// which button takes it, so two buttons with one letter behave as the
// window's own accelerator rule says.
class ShortcutToForm : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Shortcut)
            return false;
        auto* shortcut = static_cast<QShortcutEvent*>(event);
        auto* form = qobject_cast<Form*>(static_cast<QWidget*>(watched)->window());
        if (form && !shortcut->key().isEmpty()) {
            const int key = shortcut->key()[0].key();
            if (key >= Qt::Key_0 && key <= Qt::Key_Z)
                form->dispatchAccelerator(QChar(key));
        }
        return true;
    }
};

// Push and speed buttons take their letter through the form, ranked by the
// order they were made.
void joinAcceleratorRule(QAbstractButton* button)
{
    static quint64 made = 0;
    static ShortcutToForm toForm;
    button->setProperty(rankProperty, ++made);
    button->installEventFilter(&toForm);
}

} // namespace

// ---- Edit

namespace {

// Characters, not 16-bit units: a pair of surrogates is one.
qsizetype charCount(QStringView text)
{
    qsizetype n = text.size();
    for (qsizetype i = 1; i < text.size(); ++i)
        n -= text.at(i).isLowSurrogate() && text.at(i - 1).isHighSurrogate();
    return n;
}

// The units of the first `chars` characters.
qsizetype unitsOf(QStringView text, qsizetype chars)
{
    qsizetype units = 0;
    for (; chars > 0 && units < text.size(); --chars)
        units += text.at(units).isHighSurrogate() && units + 1 < text.size() && text.at(units + 1).isLowSurrogate()
                     ? 2
                     : 1;
    return units;
}

// Never in the text: control characters, invisible format characters and
// halves of a pair.
bool dropped(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Other_Control || category == QChar::Other_Format || category == QChar::Other_Surrogate;
}

} // namespace

// Every text that enters the box, typed, pasted, dropped, composed or set by
// the program, passes here as the whole new text.
class Edit::Rules : public QValidator {
public:
    explicit Rules(Edit* edit) : QValidator(edit), edit_(edit) {}

    State validate(QString& input, int& pos) const override
    {
        QString taken;
        taken.reserve(input.size());
        qsizetype cursor = pos;
        for (qsizetype i = 0; i < input.size(); ++i) {
            const bool pair = input.at(i).isHighSurrogate() && i + 1 < input.size() && input.at(i + 1).isLowSurrogate();
            const char32_t c = pair ? QChar::surrogateToUcs4(input.at(i), input.at(i + 1)) : input.at(i).unicode();
            const qsizetype units = pair ? 2 : 1;
            if (dropped(c)) {
                if (i < pos)
                    cursor -= std::min<qsizetype>(units, pos - i);
                i += units - 1;
                continue;
            }
            if (edit_->latin1Only_ && c > 0xFF)
                return Invalid;
            if (pair)
                taken += input.mid(i, 2);
            else
                taken += edit_->upperCase_ ? capital(input.at(i)) : input.at(i);
            i += units - 1;
        }
        if (charCount(taken) > edit_->maxChars_)
            fitInto(taken, cursor);
        if (edit_->insertRule_ && !edit_->programText_ && !edit_->insertRule_(inserted(edit_->lastText_, taken)))
            return Invalid;
        input = taken;
        pos = int(cursor);
        return Acceptable;
    }

private:
    // Where a change begins and ends: what the new text shares with the old
    // at its start and at its end, in whole characters.
    static std::pair<qsizetype, qsizetype> shared(const QString& before, const QString& after)
    {
        qsizetype head = 0;
        const qsizetype shorter = std::min(before.size(), after.size());
        while (head < shorter && before.at(head) == after.at(head))
            ++head;
        if (head > 0 && head < after.size() && after.at(head).isLowSurrogate())
            --head;
        qsizetype tail = 0;
        while (tail < shorter - head && before.at(before.size() - 1 - tail) == after.at(after.size() - 1 - tail))
            ++tail;
        if (tail > 0 && tail < after.size() - head && after.at(after.size() - 1 - tail).isHighSurrogate())
            --tail;
        return {head, tail};
    }

    // What a change brought in.
    static QString inserted(const QString& before, const QString& after)
    {
        const auto [head, tail] = shared(before, after);
        return after.mid(head, after.size() - head - tail);
    }

    // Too long: the user's change brings in what fits, the program's text
    // keeps its beginning.
    void fitInto(QString& text, qsizetype& cursor) const
    {
        const qsizetype max = edit_->maxChars_;
        const QString& before = edit_->lastText_;
        if (edit_->programText_ || charCount(before) > max) {
            text.truncate(unitsOf(text, max));
            cursor = std::min(cursor, text.size());
            return;
        }
        const auto [head, tail] = shared(before, text);
        const QStringView brought = QStringView(text).mid(head, text.size() - head - tail);
        const qsizetype room = max - charCount(QStringView(text).left(head)) - charCount(QStringView(text).right(tail));
        const qsizetype kept = unitsOf(brought, std::max<qsizetype>(0, room));
        const qsizetype cut = brought.size() - kept;
        text.remove(head + kept, cut);
        if (cursor > head + kept)
            cursor = std::max(head + kept, cursor - cut);
    }

    Edit* edit_;
};

Edit::Edit(QWidget* parent) : QLineEdit(parent)
{
    // The text runs from just inside the frame to the frame: the boxes were
    // drawn for their texts (five characters in a 41-pixel code box) with a
    // narrower inner margin than Qt's.
    setTextMargins(-1, 0, -2, 0);
    setValidator(new Rules(this));
    connect(this, &QLineEdit::textChanged, this, [this] {
        // A change cut back to the text there was (a key typed into a full
        // box) changes nothing.
        if (QLineEdit::text() == lastText_)
            return;
        lastText_ = QLineEdit::text();
        runHandler(OnChange);
    });
}

void Edit::setMaxLength(int characters)
{
    maxChars_ = std::max(0, characters);
    // The line edit's own limit counts 16-bit units: it only keeps a huge
    // paste short, the characters are counted above.
    QLineEdit::setMaxLength(maxChars_ < 16383 ? 2 * maxChars_ : 32767);
    if (charCount(QLineEdit::text()) > maxChars_)
        setText(QLineEdit::text());
}

QChar Edit::capital(QChar c)
{
    // One letter for one, within 8 bits: "ß" (capital "SS"), "ÿ" and "µ"
    // (capitals beyond Latin-1) stay as they are.
    const QChar upper = c.toUpper();
    return upper.unicode() <= 0xFF ? upper : c;
}

void Edit::setUpperCase(bool on)
{
    upperCase_ = on;
    if (on)
        setText(QLineEdit::text());
}

void Edit::setLatin1Only(bool on)
{
    latin1Only_ = on;
}

void Edit::setInsertRule(std::function<bool(const QString& inserted)> rule)
{
    insertRule_ = std::move(rule);
}

void Edit::setPasswordChar(const QString& sign)
{
    passwordChar_ = sign;
    if (sign.isEmpty()) {
        setEchoMode(QLineEdit::Normal);
        setStyleSheet(QString());
        return;
    }
    setEchoMode(QLineEdit::Password);
    setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: %1; lineedit-password-mask-delay: 0; }")
                      .arg(sign.at(0).unicode()));
}

void Edit::setText(const QString& text)
{
    programText_ = true;
    QLineEdit::setText(text);
    programText_ = false;
}

QChar Edit::offerKey(QChar key)
{
    if (!OnKeyPress)
        return key;
    return runHandler([&] { OnKeyPress(key); }) ? key : QChar();
}

QChar Edit::filterKey(QChar typed)
{
    // A character the box may not hold is not offered at all.
    const auto refused = [this](QChar c) { return latin1Only_ && (upperCase_ ? capital(c) : c).unicode() > 0xFF; };
    if (refused(typed))
        return QChar();
    const QChar key = offerKey(typed);
    return refused(key) ? QChar() : key;
}

void Edit::keyPressEvent(QKeyEvent* event)
{
    const int k = event->key();
    if (k == Qt::Key_Return || k == Qt::Key_Enter) {
        // Enter belongs to the key handler alone; it never reaches a button.
        // The keyboard is in use: a control the handler focuses shows its
        // focus frame at once, as after Tab.
        window()->setAttribute(Qt::WA_KeyboardFocusChange);
        offerKey(QChar(13));
        event->accept();
        return;
    }
    if (k == Qt::Key_Tab || k == Qt::Key_Backtab) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (k == Qt::Key_Delete) {
        editKey(event);
        return;
    }
    if (k == Qt::Key_Backspace) {
        const QChar key = offerKey(QChar(8));
        if (key == QChar(8))
            editKey(event);
        else
            event->accept();
        return;
    }
    const QString text = event->text();
    if (text.size() != 1 || text.at(0).unicode() == 127) {
        editKey(event);
        return;
    }
    QChar typed = text.at(0);
    const Qt::KeyboardModifiers mods = event->modifiers();
    // Alt+letter types nothing, also when no button carries the letter: it
    // goes on to the window's accelerator rule. Ctrl+Alt is AltGr typing.
    if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    // Ctrl with a letter types a control character (Ctrl+A is 1, Ctrl+V 22)
    // whatever text the platform put in the event.
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && k >= Qt::Key_A && k <= Qt::Key_Z)
        typed = QChar(k - Qt::Key_A + 1);
    const QChar key = filterKey(typed);
    if (key.isNull()) {
        event->accept();
        return;
    }
    if (typed.unicode() < 32) {
        // A control character (Ctrl+V, Ctrl+C ...) that passed: the edit's
        // own key binding acts on it.
        editKey(event);
        return;
    }
    insertTyped(event, key);
}

void Edit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    // The window comes back to the box that had the focus when it was left;
    // a box the program focused meanwhile is entered now.
    const bool back = reason == Qt::ActiveWindowFocusReason && leftWithWindow_;
    leftWithWindow_ = false;
    if (!back && reason != Qt::MouseFocusReason && reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason)
        selectAll();
}

void Edit::focusOutEvent(QFocusEvent* event)
{
    leftWithWindow_ = event->reason() == Qt::ActiveWindowFocusReason;
    QLineEdit::focusOutEvent(event);
}

void Edit::editKey(QKeyEvent* event)
{
    QLineEdit::keyPressEvent(event);
}

void Edit::insertTyped(QKeyEvent* event, QChar key)
{
    QKeyEvent changed(event->type(), event->key(), event->modifiers(), QString(key), event->isAutoRepeat(),
                      quint16(event->count()));
    QLineEdit::keyPressEvent(&changed);
    event->setAccepted(changed.isAccepted());
}

void Edit::inputMethodEvent(QInputMethodEvent* event)
{
    // Composed characters (dead keys, input methods) go through the key
    // handler one by one, as typed ones do.
    const QString commit = event->commitString();
    if (commit.isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QString taken;
    for (qsizetype i = 0; i < commit.size(); ++i) {
        const QChar c = commit.at(i);
        if (c.isHighSurrogate() && i + 1 < commit.size() && commit.at(i + 1).isLowSurrogate()) {
            // Beyond one 16-bit unit: taken as a typed one is, without the key
            // handler, and never by a Latin-1 box.
            if (!latin1Only_)
                taken += commit.mid(i, 2);
            ++i;
            continue;
        }
        const QChar key = dropped(c.unicode()) ? QChar() : filterKey(c);
        if (!key.isNull())
            taken += key;
    }
    insertComposed(event, taken);
}

void Edit::insertComposed(QInputMethodEvent* event, const QString& taken)
{
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(taken, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
    event->setAccepted(filtered.isAccepted());
}

// ---- MaskEdit

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

// ---- Memo

Memo::Memo(QWidget* parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
}

QString Memo::text() const
{
    if (detached_)
        return QString(aside_).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    // The raw text: toPlainText() would turn a no-break space into a plain
    // one, and the text must match what was read byte for byte.
    QString raw = document()->toRawText();
    for (QChar& c : raw) {
        switch (c.unicode()) {
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
        case 0xFDD0: // frame start
        case 0xFDD1: // frame end
            c = QLatin1Char('\n');
            break;
        default:
            break;
        }
    }
    return raw.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void Memo::setText(const QString& text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (seen()) {
        detached_ = false;
        aside_.clear();
        setPlainText(plain);
        return;
    }
    // Laying out one long line takes time that grows faster than its length.
    QPlainTextEdit::clear();
    aside_ = std::move(plain);
    detached_ = true;
}

void Memo::clear()
{
    detached_ = false;
    aside_.clear();
    QPlainTextEdit::clear();
}

bool Memo::seen() const
{
    if (!isVisible())
        return false;
    const QWidget* parent = parentWidget();
    if (!parent)
        return true;
    // Siblings made later lie above it.
    const QObjectList& siblings = parent->children();
    for (qsizetype i = siblings.indexOf(const_cast<Memo*>(this)) + 1; i < siblings.size(); ++i) {
        const auto* w = qobject_cast<const QWidget*>(siblings.at(i));
        if (w && !w->isWindow() && w->isVisible() && w->geometry().contains(geometry()))
            return false;
    }
    return true;
}

void Memo::layOut()
{
    if (!detached_)
        return;
    detached_ = false;
    setPlainText(std::exchange(aside_, QString()));
}

void Memo::focusInEvent(QFocusEvent* event)
{
    layOut(); // the user works in it
    QPlainTextEdit::focusInEvent(event);
}

bool Memo::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Paint && detached_ && seen())
        layOut();
    return QPlainTextEdit::viewportEvent(event);
}

// ---- Button

Button::Button(QWidget* parent) : QPushButton(parent)
{
    joinAcceleratorRule(this);
    setCursor(Qt::PointingHandCursor);
    setAutoDefault(false);
    setDefault(false);
    connect(this, &QAbstractButton::clicked, this, [this] { runHandler(OnClick); });
}

void Button::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

// ---- SpeedButton

SpeedButton::SpeedButton(QWidget* parent) : QAbstractButton(parent)
{
    joinAcceleratorRule(this);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, true);
    connect(this, &QAbstractButton::clicked, this, [this] { runHandler(OnClick); });
}

void SpeedButton::setFontSize(int points)
{
    if (fontSize() == points)
        return;
    QFont f = font();
    f.setPixelSize(pixelsOfPoints(points));
    setFont(f);
}

int SpeedButton::fontSize() const
{
    return font().pixelSize() > 0 ? pointsOfPixels(font().pixelSize()) : font().pointSize();
}

void SpeedButton::setFontColor(const QColor& color)
{
    if (fontColor_ == color)
        return;
    fontColor_ = color;
    update();
}

QSize SpeedButton::sizeHint() const
{
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, QAbstractButton::text());
    return text + QSize(8, 8);
}

void SpeedButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    if (isDown())
        qDrawShadePanel(&p, r, palette(), true, 1);
    else if (underMouse() && isEnabled())
        qDrawShadePanel(&p, r, palette(), false, 1);
    p.setPen(isEnabled() ? fontColor_ : palette().color(QPalette::Disabled, QPalette::WindowText));
    p.setFont(font());
    p.drawText(r.translated(isDown() ? 1 : 0, isDown() ? 1 : 0), Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

void SpeedButton::mouseMoveEvent(QMouseEvent* event)
{
    runHandler(OnMouseMove);
    QAbstractButton::mouseMoveEvent(event);
}

void SpeedButton::enterEvent(QEnterEvent* event)
{
    update();
    QAbstractButton::enterEvent(event);
}

void SpeedButton::leaveEvent(QEvent* event)
{
    update();
    QAbstractButton::leaveEvent(event);
}

quint64 acceleratorRank(const QAbstractButton* button)
{
    return button->property(rankProperty).toULongLong();
}

// ---- Label, GroupBox

Label::Label(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void Label::showEvent(QShowEvent* event)
{
    if (autoSize_)
        resize(sizeHint());
    QLabel::showEvent(event);
}

GroupBox::GroupBox(QWidget* parent) : QGroupBox(parent) {}

void GroupBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QFontMetrics fm(font());
    // An etched frame whose top line runs through the middle of the caption.
    const QRect frame = rect().adjusted(0, fm.height() / 2, -1, -1);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    p.setPen(palette().color(QPalette::Light));
    p.drawRect(frame.adjusted(1, 1, 0, 0));
    if (title().isEmpty())
        return;
    const QRect caption(8, 0, fm.horizontalAdvance(title()) + 2, fm.height());
    p.fillRect(caption, palette().window());
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(caption, Qt::AlignCenter | Qt::TextShowMnemonic, title());
}

// ---- Image

Image::Image(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
}

void Image::setPicture(const QString& resourcePath)
{
    path_ = resourcePath;
    const QString lower = resourcePath.toLower();
    if (lower.endsWith(QStringLiteral(".jpg")) || lower.endsWith(QStringLiteral(".jpeg"))) {
        image_ = loadJpeg(resourcePath);
    } else {
        image_ = QImage(resourcePath);
        if (image_.isNull())
            throw rtl::Error(QStringLiteral("Cannot load picture %1").arg(resourcePath));
    }
    fit();
    update();
}

void Image::setImage(const QImage& image)
{
    path_.clear();
    image_ = image;
    fit();
    update();
}

void Image::setStretch(bool on)
{
    stretch_ = on;
    update();
}

void Image::setCenter(bool on)
{
    center_ = on;
    update();
}

void Image::setAutoSize(bool on)
{
    autoSize_ = on;
    fit();
}

void Image::fit()
{
    if (autoSize_ && !image_.isNull())
        resize(image_.size());
}

void Image::paintEvent(QPaintEvent*)
{
    if (image_.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (stretch_) {
        p.drawImage(rect(), image_);
    } else if (center_) {
        QRect target(QPoint(0, 0), image_.size());
        target.moveCenter(rect().center());
        p.drawImage(target.topLeft(), image_);
    } else {
        p.drawImage(QPoint(0, 0), image_);
    }
}

void Image::mouseMoveEvent(QMouseEvent* event)
{
    runHandler(OnMouseMove);
    QWidget::mouseMoveEvent(event);
}

// ---- Menus

void onMenuClick(QAction* item, std::function<void()> handler)
{
    QObject::connect(item, &QAction::triggered, item, [handler = std::move(handler)] { runHandler(handler); });
}

} // namespace ui
