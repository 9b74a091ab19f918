#include "platform/report/Report.h"

#include "platform/report/PageBuilder.h"
#include "platform/report/PreviewWindow.h"
#include "platform/rtl/Errors.h"
#include "platform/ui/Application.h"

#include <QEventLoop>

namespace report {

Report::Report(const QString& layoutName, const DataSetResolver& resolveDataSet)
    : layout_(loadLayout(layoutName))
{
    if (!layout_->dataSetName.isEmpty()) {
        dataSet_ = resolveDataSet ? resolveDataSet(layout_->dataSetName) : nullptr;
        if (!dataSet_)
            throw rtl::Error(QStringLiteral("Report layout %1: unknown dataset %2").arg(layoutName, layout_->dataSetName));
    }
}

Report::Report(std::unique_ptr<LayoutModel> layout, data::DataSet* dataSet)
    : layout_(std::move(layout)), dataSet_(dataSet)
{
}

Report::~Report() = default;

Band* Report::band(const QString& name) const
{
    Band* found = layout_->findBand(name);
    if (!found)
        missingItem(name);
    return found;
}

void Report::missingItem(const QString& name) const
{
    throw rtl::Error(QStringLiteral("Report layout %1 has no %2").arg(layout_->name, name));
}

Document Report::buildDocument() const
{
    PageBuilder builder(*layout_, dataSet_);
    builder.finish();
    return builder.takeDocument();
}

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
