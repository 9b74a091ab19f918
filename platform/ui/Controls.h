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

// Single-line edit. OnKeyPress sees every typed character (Enter as 13,
// Backspace as 8) and may change it; QChar(0) swallows it. Tab moves the
// focus and is not offered. Enter never clicks a default button. Alt+letter
// types nothing: it goes on to the window's accelerator rule.
class Edit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(bool upperCase READ upperCase WRITE setUpperCase)
    Q_PROPERTY(QString passwordChar READ passwordChar WRITE setPasswordChar)
    Q_PROPERTY(bool latin1Only READ latin1Only WRITE setLatin1Only)
public:
    explicit Edit(QWidget* parent = nullptr);

    std::function<void(QChar& key)> OnKeyPress;
    std::function<void()> OnChange; // text changed by the user or the program

    // Letters typed, pasted or assigned become capitals.
    void setUpperCase(bool on);
    bool upperCase() const { return upperCase_; }
    // Every character shows as this sign ("$", "%", "*"); empty: plain text.
    void setPasswordChar(const QString& sign);
    QString passwordChar() const { return passwordChar_; }
    // Only characters with an 8-bit (Latin-1) code are taken, typed or
    // pasted, for texts that are written to a file byte for byte.
    void setLatin1Only(bool on);
    bool latin1Only() const { return latin1Only_; }

    // Assigns the text (capitals when upper case is on).
    void setText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Offers a key to OnKeyPress; returns the key to insert, or 0 if swallowed
    // or the handler failed.
    QChar offerKey(QChar key);

private:
    void updateValidator();
    bool upperCase_ = false;
    bool latin1Only_ = false;
    QString passwordChar_;
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

// Multi-line memo; Tab moves the focus.
class Memo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit Memo(QWidget* parent = nullptr);
    // The lines joined by CR LF.
    QString text() const;
    // CR LF, lone CR and lone LF all break lines.
    void setText(const QString& text);
};

// Push button: hand-point cursor, never a default button; when focused,
// Enter and Space click it. '&' in the caption marks its accelerator letter.
class Button : public QPushButton {
    Q_OBJECT
public:
    explicit Button(QWidget* parent = nullptr);
    std::function<void()> OnClick;
    // Rank in the order buttons were made; the accelerator rule goes by it.
    quint64 creationNumber() const { return creationNumber_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    quint64 creationNumber_;
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
    quint64 creationNumber() const { return creationNumber_; } // as Button's

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
    bool event(QEvent* event) override;

private:
    QColor fontColor_ = Qt::black;
    quint64 creationNumber_;
};

// Label; sizes itself to its text when shown (the platform's font is wider
// than the one the places were laid out with).
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

class GroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit GroupBox(QWidget* parent = nullptr);
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
