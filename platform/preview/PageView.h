#pragma once

#include <QWidget>
#include <functional>

namespace report {

class PreviewWindow;

// The page on show in a preview, drawn at the window's zoom on grey.
class PageView : public QWidget {
public:
    static constexpr int kGap = 12; // grey border around the page, in pixels

    explicit PageView(PreviewWindow* window) : QWidget(nullptr), window_(window) {}

    // Takes the size of the page at the window's zoom and draws it again.
    void changed();

    // Called after each paint.
    std::function<void()> painted;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    PreviewWindow* window_;
};

} // namespace report
