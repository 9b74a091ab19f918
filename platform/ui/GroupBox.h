#pragma once

#include <QGroupBox>

namespace ui {

// Group box whose caption stands on the frame's top line; the controls in it
// are placed from its top-left corner, above that line.
class GroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit GroupBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace ui
