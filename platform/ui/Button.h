#pragma once

#include <QPushButton>

#include <functional>

namespace ui {

// Every event callback below runs through Application::guard, so an error a
// handler lets escape shows the error window and the loop goes on.

// Push button: hand-point cursor, never a default button; when focused,
// Enter and Space click it. '&' in the caption marks its accelerator letter.
class Button : public QPushButton {
    Q_OBJECT
public:
    explicit Button(QWidget* parent = nullptr);
    std::function<void()> OnClick;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void updatesLater();
    bool deferred_ = false;
};

} // namespace ui
