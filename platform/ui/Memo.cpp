#include "platform/ui/Memo.h"

#include <QTextDocument>

#include <utility>

namespace ui {

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

} // namespace ui
