#include "platform/ui/Edit.h"

#include "platform/ui/Application.h"
#include "platform/ui/Characters.h"
#include "platform/ui/KeptLooks.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionFrame>
#include <QValidator>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace ui {

namespace {

// The box's panel (base and frame: antialiased rounded rectangles in the
// program's style) is kept as pixels for the few sizes, states and palettes
// last drawn, so a save that clears its boxes draws no frames again. The
// pixels are drawn on a clear ground and laid over what is behind the box,
// as the style's own strokes are.
class EditLook : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
        // Pixels kept at a fractional scale would not fall where the strokes do.
        const qreal ratio = painter->device()->devicePixelRatio();
        const QTransform& t = painter->transform();
        if (element != PE_PanelLineEdit || !frame || t.type() > QTransform::TxTranslate ||
            ratio != std::floor(ratio) || t.dx() != std::floor(t.dx()) || t.dy() != std::floor(t.dy())) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const Looks key{frame->rect.size(),        ratio,
                        int(frame->state),         int(frame->direction),
                        frame->palette.cacheKey(), frame->lineWidth,
                        frame->midLineWidth,       int(frame->features),
                        int(frame->frameShape)};
        const QPixmap& look = kept_.look(key, frame->rect.size(), ratio, [&](QPainter& pp) {
            QStyleOptionFrame at = *frame;
            at.rect.moveTo(0, 0);
            QProxyStyle::drawPrimitive(element, &at, &pp, widget);
        });
        painter->drawPixmap(frame->rect.topLeft(), look);
    }

private:
    struct Looks {
        QSize size;
        qreal ratio;
        int state, direction;
        qint64 palette;
        int lineWidth, midLineWidth, features, shape;
        bool operator==(const Looks&) const = default;
    };
    mutable KeptLooks<Looks, 16> kept_;
};

QStyle* editLook()
{
    static QPointer<EditLook> look;
    if (!look) {
        look = new EditLook;
        look->setParent(qApp);
    }
    return look;
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
            const bool pair =
                input.at(i).isHighSurrogate() && i + 1 < input.size() && input.at(i + 1).isLowSurrogate();
            const char32_t c =
                pair ? QChar::surrogateToUcs4(input.at(i), input.at(i + 1)) : input.at(i).unicode();
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
        if (edit_->insertRule_ && !edit_->programText_ &&
            !edit_->insertRule_(inserted(edit_->lastText_, taken)))
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
        while (tail < shorter - head &&
               before.at(before.size() - 1 - tail) == after.at(after.size() - 1 - tail))
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
        const qsizetype room =
            max - charCount(QStringView(text).left(head)) - charCount(QStringView(text).right(tail));
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
    setStyle(editLook());
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
    return ui::capital(c);
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
    setStyleSheet(
        QStringLiteral("QLineEdit { lineedit-password-character: %1; lineedit-password-mask-delay: 0; }")
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
    const auto refused = [this](QChar c) {
        return latin1Only_ && (upperCase_ ? capital(c) : c).unicode() > 0xFF;
    };
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
    if (!back && reason != Qt::MouseFocusReason && reason != Qt::PopupFocusReason &&
        reason != Qt::MenuBarFocusReason)
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

} // namespace ui
