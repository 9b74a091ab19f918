#pragma once

#include <QAbstractButton>
#include <QColor>

#include <functional>

namespace ui {

// Every event callback below runs through Application::guard, so an error a
// handler lets escape shows the error window and the loop goes on.

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

} // namespace ui
