#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include <functional>

class QAction;

namespace ui {

// Every event callback below runs through Application::guard, so an error a
// handler lets escape shows the error window and the loop goes on.

// Single-line edit. OnKeyPress sees every typed or composed character (Enter
// as 13, Backspace as 8) and may change it; QChar(0) swallows it. Tab moves
// the focus and is not offered. Enter never clicks a default button. Alt+letter
// types nothing: it goes on to the window's accelerator rule. Control
// characters (Tab, line ends, NUL) never enter the text.
class Edit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(bool upperCase READ upperCase WRITE setUpperCase)
    Q_PROPERTY(QString passwordChar READ passwordChar WRITE setPasswordChar)
    Q_PROPERTY(bool latin1Only READ latin1Only WRITE setLatin1Only)
public:
    explicit Edit(QWidget* parent = nullptr);

    std::function<void(QChar& key)> OnKeyPress;
    std::function<void()> OnChange; // text changed by the user or the program

    // Letters typed, pasted or assigned become capitals, one letter for one
    // within 8 bits (see capital()).
    void setUpperCase(bool on);
    bool upperCase() const { return upperCase_; }
    static QChar capital(QChar c);
    // Every character shows as this sign ("$", "%", "*"); empty: plain text.
    void setPasswordChar(const QString& sign);
    QString passwordChar() const { return passwordChar_; }
    // Only characters with an 8-bit (Latin-1) code are taken, typed or
    // pasted, for texts that are written to a file byte for byte.
    void setLatin1Only(bool on);
    bool latin1Only() const { return latin1Only_; }
    // Text the user puts in (typed, pasted, dropped or composed) is taken only
    // when the rule accepts what it brings in, as a whole; the program's own
    // setText() is not checked.
    void setInsertRule(std::function<bool(const QString& inserted)> rule);

    // Assigns the text (capitals when upper case is on).
    void setText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    // Offers a key to OnKeyPress; returns the key to insert, or 0 if swallowed
    // or the handler failed.
    QChar offerKey(QChar key);

private:
    class Rules;
    // A typed or composed character as the box takes it, or 0.
    QChar filterKey(QChar typed);

    bool upperCase_ = false;
    bool latin1Only_ = false;
    bool programText_ = false;
    QString passwordChar_;
    QString lastText_;
    std::function<bool(const QString&)> insertRule_;
};

// Edit with an edit mask written as "!99/99/0000;1;_": '0' a digit that must
// be typed, '9' a digit that may be, literals kept in text(), '_' the blank.
class MaskEdit : public Edit {
    Q_OBJECT
    Q_PROPERTY(QString editMask READ editMask WRITE setEditMask)
public:
    explicit MaskEdit(QWidget* parent = nullptr);
    void setEditMask(const QString& mask);
    QString editMask() const { return editMask_; }
    // The text with literals; untyped places read as blanks.
    QString text() const;

private:
    QString editMask_;
};

// Multi-line memo; Tab moves the focus. While nobody can see it (hidden, or
// covered by a control above it) it keeps its text aside without laying it
// out, however long the text is; it lays it out once it is seen or the user
// works in it. Set and read it through setText(), text() and clear().
class Memo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit Memo(QWidget* parent = nullptr);
    // The lines joined by CR LF.
    QString text() const;
    // CR LF, lone CR and lone LF all break lines.
    void setText(const QString& text);
    void clear();

protected:
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    bool seen() const;
    void layOut();
    QString aside_; // lines joined by LF, while detached_
    bool detached_ = false;
};

// Push button: hand-point cursor, never a default button; when focused,
// Enter and Space click it. '&' in the caption marks its accelerator letter.
class Button : public QPushButton {
    Q_OBJECT
public:
    explicit Button(QWidget* parent = nullptr);
    std::function<void()> OnClick;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// Flat button without a face of its own: its caption stands on whatever lies
// below; a raised edge while the pointer is over it, a sunken one while it is
// pressed. Takes no focus.
class SpeedButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(int fontSize READ fontSize WRITE setFontSize)
    Q_PROPERTY(QColor fontColor READ fontColor WRITE setFontColor)
public:
    explicit SpeedButton(QWidget* parent = nullptr);
    std::function<void()> OnClick;
    std::function<void()> OnMouseMove;

    // Both repaint only on a real change.
    void setFontSize(int points);
    int fontSize() const;
    void setFontColor(const QColor& color);
    QColor fontColor() const { return fontColor_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QColor fontColor_ = Qt::black;
};

// Push and speed buttons take their '&' letter through the window's
// accelerator rule (Form::dispatchAccelerator), which goes by the order they
// were made: their rank in it, from 1; 0 for other buttons.
quint64 acceleratorRank(const QAbstractButton* button);

// Label; sizes itself to its text when shown.
class Label : public QLabel {
    Q_OBJECT
    Q_PROPERTY(bool autoSize READ autoSize WRITE setAutoSize)
public:
    explicit Label(QWidget* parent = nullptr);
    void setAutoSize(bool on) { autoSize_ = on; }
    bool autoSize() const { return autoSize_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool autoSize_ = true;
};

// Group box whose caption stands on the frame's top line; the controls in it
// are placed from its top-left corner, above that line.
class GroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit GroupBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Picture. JPEG files are decoded with libjpeg, other formats by Qt.
class Image : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString picture READ picturePath WRITE setPicture)
    Q_PROPERTY(bool stretch READ stretch WRITE setStretch)
    Q_PROPERTY(bool center READ center WRITE setCenter)
    Q_PROPERTY(bool autoSize READ autoSize WRITE setAutoSize)
public:
    explicit Image(QWidget* parent = nullptr);
    std::function<void()> OnMouseMove;

    void setPicture(const QString& resourcePath); // raises rtl::Error if unreadable
    void setImage(const QImage& image);
    QString picturePath() const { return path_; }
    const QImage& image() const { return image_; }
    void setStretch(bool on);
    bool stretch() const { return stretch_; }
    void setCenter(bool on);
    bool center() const { return center_; }
    void setAutoSize(bool on);
    bool autoSize() const { return autoSize_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void fit();
    QString path_;
    QImage image_;
    bool stretch_ = false;
    bool center_ = false;
    bool autoSize_ = false;
};

// Binds a menu item's click to its handler, through the guard.
void onMenuClick(QAction* item, std::function<void()> handler);

} // namespace ui
