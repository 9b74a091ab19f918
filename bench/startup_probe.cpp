// The program's own start-up (the same as its main), which ends the process
// as soon as the login window has painted, so that a benchmark can time the
// whole process from its start to the first window on screen.
#include "shell/UPass.h"
#include "shell/program/Program.h"

#include "EndAfterPaint.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

class FirstPaint : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() && Fpass &&
            static_cast<QWidget*>(watched)->window() == Fpass && !seen_) {
            seen_ = true;
            endAfterThisPaint();
        }
        return false;
    }

private:
    bool seen_ = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    qapp.installEventFilter(new FirstPaint(&qapp));
    return shell::runProgram();
}
