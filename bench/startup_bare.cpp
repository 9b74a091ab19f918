// The least a Qt program does to show a window: an application and one
// widget of the login window's size, ended as soon as it has painted, the
// same way startup_probe ends the program. Start-up is measured beside it.
#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <cstdio>
#include <unistd.h>

namespace {

// The login window's size.
constexpr int kWidth = 376, kHeight = 234;

class FirstPaint : public QWidget {
public:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // After this paint and its flush: the next turn of the loop.
            QMetaObject::invokeMethod(
                qApp, [] {
                    std::fputs("painted\n", stdout);
                    std::fflush(stdout);
                    ::_exit(0);
                },
                Qt::QueuedConnection);
        }
        return QWidget::event(event);
    }

private:
    bool seen_ = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    FirstPaint window;
    window.setFixedSize(kWidth, kHeight);
    window.show();
    return app.exec();
}
