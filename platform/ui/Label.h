#pragma once

#include <QLabel>

namespace ui {

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

} // namespace ui
