#include "platform/ui/MaskEdit.h"

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
    State validate(QString& input, int&) const override
    {
        return own_ || input.isEmpty() ? Acceptable : Invalid;
    }

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
        if (eaten_ ||
            (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick))
            return false;
        eaten_ = true;
        return true;
    }

private:
    bool eaten_ = false;
};

bool leavesTheWindowAlone(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
           reason == Qt::MenuBarFocusReason;
}

} // namespace

MaskEdit::MaskEdit(QWidget* parent)
    : Edit(parent), plainRules_(validator()), maskRules_(new OwnChangesOnly(this, showing_))
{
    connect(this, &QLineEdit::textChanged, this, [this] {
        // QLineEdit's own setText() or clear(), reached through a base
        // pointer: the text is placed into the mask again.
        if (masked() && !showing_ && QLineEdit::text().size() != qsizetype(mask_.size()))
            setText(QLineEdit::text());
    });
}

void MaskEdit::setEditMask(const QString& mask)
{
    editMask_ = mask;
    mask_.setMask(mask);
    setValidator(masked() ? maskRules_ : plainRules_);
    setText(QString());
}

QString MaskEdit::text() const
{
    // Emptied through the line edit, the box reads empty until the mask is
    // put back.
    if (!masked() || QLineEdit::text().isEmpty())
        return QLineEdit::text();
    return mask_.text();
}

void MaskEdit::setText(const QString& text)
{
    if (!masked()) {
        Edit::setText(text);
        return;
    }
    mask_.setUpperCase(upperCase());
    mask_.setText(text);
    display();
}

void MaskEdit::clear()
{
    setText(QString());
}

void MaskEdit::display()
{
    showing_ = true;
    QLineEdit::setText(mask_.shown());
    setCursorPosition(mask_.cursor());
    showing_ = false;
}

std::pair<int, int> MaskEdit::range() const
{
    if (!hasSelectedText())
        return {cursorPosition(), cursorPosition()};
    return {selectionStart(), selectionEnd()};
}

void MaskEdit::typeIn(const QString& chars, bool beep)
{
    const auto [from, to] = range();
    mask_.setUpperCase(upperCase());
    const bool typed = mask_.type(chars, from, to);
    if (!typed && beep && chars.size() == 1)
        QApplication::beep();
    if (typed || chars.size() > 1)
        display();
}

void MaskEdit::erase(bool before)
{
    const auto [from, to] = range();
    if (mask_.erase(before, from, to))
        display();
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
    if (!mask_.abandon())
        return;
    display();
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
    add(tr("&Undo"), mask_.modified(), [this] { abandon(); });
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
    mask_.enter();
    if (event->reason() != Qt::MouseFocusReason)
        selectAll();
}

// Leaving is checked once the focus has gone: it comes back at once, before
// the control that took it acts on the key or click that moved it.
void MaskEdit::focusOutEvent(QFocusEvent* event)
{
    Edit::focusOutEvent(event);
    if (!masked() || !mask_.modified() || refusing_ || leavesTheWindowAlone(event->reason()))
        return;
    const QWidget* taker = QApplication::focusWidget();
    if (!taker || taker == this || taker->window() != window())
        return;
    const int missing = mask_.firstMissing();
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
