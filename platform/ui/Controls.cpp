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
#include <QValidator>
#include <qdrawutil.h>

#include <utility>

namespace ui {

namespace {

// Turns letters into capitals as they are typed, pasted or assigned; with
// Latin-1 only, refuses a text holding a character without an 8-bit code.
class EditValidator : public QValidator {
public:
    EditValidator(QObject* parent, bool upperCase, bool latin1Only)
        : QValidator(parent), upperCase_(upperCase), latin1Only_(latin1Only)
    {
    }
    State validate(QString& input, int&) const override
    {
        if (upperCase_)
            input = input.toUpper();
        if (latin1Only_) {
            for (QChar c : std::as_const(input)) {
                if (c.unicode() > 0xFF)
                    return Invalid;
            }
        }
        return Acceptable;
    }

private:
    bool upperCase_;
    bool latin1Only_;
};

quint64 nextCreationNumber()
{
    static quint64 next = 0;
    return ++next;
}

// A shortcut event reached a button through its '&' letter: the form decides
// which button takes it, so two buttons with one letter behave as the
// window's own accelerator rule says.
bool forwardShortcut(QWidget* button, QEvent* event)
{
    auto* shortcut = static_cast<QShortcutEvent*>(event);
    auto* form = qobject_cast<Form*>(button->window());
    if (!form || shortcut->key().isEmpty())
        return false;
    const int key = shortcut->key()[0].key();
    if (key < Qt::Key_0 || key > Qt::Key_Z)
        return false;
    return form->dispatchAccelerator(QChar(key));
}

} // namespace

// ---- Edit

Edit::Edit(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, [this] { runHandler(OnChange); });
}

void Edit::setUpperCase(bool on)
{
    if (upperCase_ == on)
        return;
    upperCase_ = on;
    updateValidator();
    if (on)
        QLineEdit::setText(QLineEdit::text().toUpper());
}

void Edit::setLatin1Only(bool on)
{
    if (latin1Only_ == on)
        return;
    latin1Only_ = on;
    updateValidator();
}

void Edit::updateValidator()
{
    const QValidator* old = validator();
    setValidator(upperCase_ || latin1Only_ ? new EditValidator(this, upperCase_, latin1Only_) : nullptr);
    delete old;
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
    QLineEdit::setText(upperCase_ ? text.toUpper() : text);
}

QChar Edit::offerKey(QChar key)
{
    if (!OnKeyPress)
        return key;
    return runHandler([&] { OnKeyPress(key); }) ? key : QChar();
}

void Edit::keyPressEvent(QKeyEvent* event)
{
    const int k = event->key();
    if (k == Qt::Key_Return || k == Qt::Key_Enter) {
        // Enter belongs to the key handler alone; it never reaches a button.
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
    // A character the box may not hold is not typed at all.
    const auto refused = [this](QChar c) { return latin1Only_ && (upperCase_ ? c.toUpper() : c).unicode() > 0xFF; };
    if (refused(typed)) {
        event->accept();
        return;
    }
    QChar key = offerKey(typed);
    if (key.isNull() || refused(key)) {
        event->accept();
        return;
    }
    if (typed.unicode() < 32) {
        // A control character (Ctrl+V, Ctrl+C ...) that passed: the edit's
        // own key binding acts on it.
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (upperCase_)
        key = key.toUpper();
    QKeyEvent changed(event->type(), event->key(), event->modifiers(), QString(key), event->isAutoRepeat(),
                      event->count());
    QLineEdit::keyPressEvent(&changed);
    event->setAccepted(changed.isAccepted());
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
    return raw.split(QLatin1Char('\n')).join(QStringLiteral("\r\n"));
}

void Memo::setText(const QString& text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setPlainText(plain);
}

// ---- Button

Button::Button(QWidget* parent) : QPushButton(parent), creationNumber_(nextCreationNumber())
{
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

bool Button::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        forwardShortcut(this, event);
        return true;
    }
    return QPushButton::event(event);
}

// ---- SpeedButton

SpeedButton::SpeedButton(QWidget* parent) : QAbstractButton(parent), creationNumber_(nextCreationNumber())
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, true);
    connect(this, &QAbstractButton::clicked, this, [this] { runHandler(OnClick); });
}

void SpeedButton::setFontSize(int points)
{
    if (font().pointSize() == points)
        return;
    QFont f = font();
    f.setPointSize(points);
    setFont(f);
}

int SpeedButton::fontSize() const
{
    return font().pointSize();
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

bool SpeedButton::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        forwardShortcut(this, event);
        return true;
    }
    return QAbstractButton::event(event);
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
