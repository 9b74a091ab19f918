#include "platform/ui/Controls.h"

#include "platform/rtl/Errors.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Jpeg.h"

#include <QAction>
#include <QFile>
#include <QKeyEvent>
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

// Every text that enters the box, typed, pasted, dropped, composed or set by
// the program, passes here as the whole new text.
class Edit::Rules : public QValidator {
public:
    explicit Rules(Edit* edit) : QValidator(edit), edit_(edit) {}

    State validate(QString& input, int& pos) const override
    {
        QString taken;
        taken.reserve(input.size());
        int cursor = pos;
        for (qsizetype i = 0; i < input.size(); ++i) {
            const QChar c = input.at(i);
            if (c.category() == QChar::Other_Control) {
                if (i < pos)
                    --cursor;
                continue;
            }
            if (edit_->latin1Only_ && c.unicode() > 0xFF)
                return Invalid;
            taken += edit_->upperCase_ ? capital(c) : c;
        }
        if (edit_->insertRule_ && !edit_->programText_ && !edit_->insertRule_(inserted(edit_->lastText_, taken)))
            return Invalid;
        input = taken;
        pos = cursor;
        return Acceptable;
    }

private:
    // What a change brought in: the new text without what it shares with the
    // old one at its start and at its end.
    static QString inserted(const QString& before, const QString& after)
    {
        qsizetype head = 0;
        const qsizetype shorter = std::min(before.size(), after.size());
        while (head < shorter && before.at(head) == after.at(head))
            ++head;
        qsizetype tail = 0;
        while (tail < shorter - head && before.at(before.size() - 1 - tail) == after.at(after.size() - 1 - tail))
            ++tail;
        return after.mid(head, after.size() - head - tail);
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
        lastText_ = QLineEdit::text();
        runHandler(OnChange);
    });
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
    if (k == Qt::Key_Tab || k == Qt::Key_Backtab || k == Qt::Key_Delete) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (k == Qt::Key_Backspace) {
        const QChar key = offerKey(QChar(8));
        if (key == QChar(8))
            QLineEdit::keyPressEvent(event);
        else
            event->accept();
        return;
    }
    const QString text = event->text();
    if (text.size() != 1 || text.at(0).unicode() == 127) {
        QLineEdit::keyPressEvent(event);
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
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent changed(event->type(), event->key(), event->modifiers(), QString(key), event->isAutoRepeat(),
                      event->count());
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
        const QChar key = c.category() == QChar::Other_Control ? QChar() : filterKey(c);
        if (!key.isNull())
            taken += key;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(taken, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
    event->setAccepted(filtered.isAccepted());
}

// ---- MaskEdit

MaskEdit::MaskEdit(QWidget* parent) : Edit(parent) {}

void MaskEdit::setEditMask(const QString& mask)
{
    editMask_ = mask;
    const QStringList parts = mask.split(QLatin1Char(';'));
    const QString pattern = parts.value(0);
    const QString blank = parts.size() > 2 && !parts.at(2).isEmpty() ? parts.at(2).left(1) : QStringLiteral("_");
    QString qt;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        switch (c.unicode()) {
        case '!': break;
        case '0': qt += QLatin1Char('9'); break;
        case '9': qt += QLatin1Char('0'); break;
        case 'L': qt += QLatin1Char('A'); break;
        case 'l': qt += QLatin1Char('a'); break;
        case 'A': qt += QLatin1Char('N'); break;
        case 'a': qt += QLatin1Char('n'); break;
        case 'C': qt += QLatin1Char('X'); break;
        case 'c': qt += QLatin1Char('x'); break;
        case '#': qt += QLatin1Char('#'); break;
        case '>': qt += QLatin1Char('>'); break;
        case '<': qt += QLatin1Char('<'); break;
        case '\\':
            if (i + 1 < pattern.size())
                qt += QLatin1Char('\\') + pattern.at(++i);
            break;
        default:
            // Everything else is a literal; escape what Qt reads as a mask letter.
            if (QStringLiteral("AaNnXx90Dd#HhBb><!{}[]\\").contains(c))
                qt += QLatin1Char('\\');
            qt += c;
        }
    }
    setInputMask(qt.isEmpty() ? QString() : qt + QLatin1Char(';') + blank);
}

QString MaskEdit::text() const
{
    if (inputMask().isEmpty())
        return QLineEdit::text();
    // displayText() holds every place; the blank sign reads as a blank.
    QString shown = displayText();
    const QString mask = inputMask();
    const qsizetype semi = mask.lastIndexOf(QLatin1Char(';'));
    if (semi >= 0 && semi + 1 < mask.size())
        shown.replace(mask.at(semi + 1), QLatin1Char(' '));
    return shown;
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
