#include "platform/preview/Report.h"

#include "platform/preview/PreviewWindow.h"
#include "platform/ui/Application.h"

#include <QEventLoop>

namespace report {

Report::Report(const QString& layoutName, const DataSetResolver& resolveDataSet)
    : Layout(layoutName, resolveDataSet)
{
}

Report::Report(std::unique_ptr<LayoutModel> layout, data::DataSet* dataSet)
    : Layout(std::move(layout), dataSet)
{
}

Report::~Report() = default;

void Report::preview()
{
    if (preview_)
        return;
    ui::Application* app = ui::Application::instance();
    if (app && app->terminated())
        return;

    std::unique_ptr<PreviewWindow> window(new PreviewWindow(*this));
    PreviewWindow* shown = window.get();
    // Open from here until the window closes. A closed window is only freed
    // when the loops of previews opened after it have ended; it must not
    // block a new preview meanwhile.
    preview_ = shown;
    connect(shown, &PreviewWindow::closed, this, [this, shown] {
        if (preview_ == shown)
            preview_ = nullptr;
    });
    QEventLoop loop;
    connect(window.get(), &PreviewWindow::closed, &loop, &QEventLoop::quit);
    if (app)
        connect(app, &ui::Application::ending, &loop, &QEventLoop::quit);
    ui::markNonModal(window.get());
    // The first page is built before the window shows; an error there
    // leaves nothing open.
    window->start();
    loop.exec();
    window->close();
}

} // namespace report
