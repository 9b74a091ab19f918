#pragma once

#include "platform/preview/PreviewWindow.h"
#include "platform/report/Layout.h"

#include <QPointer>
#include <memory>

namespace report {

// The base of every report layout the windows show: the layout, and the
// preview they ask for.
class Report : public Layout {
    Q_OBJECT
public:
    // Loads ":/reports/<layoutName>.json" (see Layout).
    Report(const QString& layoutName, const DataSetResolver& resolveDataSet);
    ~Report() override;

    // Opens the preview window (not modal) and returns when it closes or the
    // application ends; meanwhile events keep running, so the caller stays
    // usable. Does nothing while a preview of this layout is open.
    void preview();
    // The open preview window; nullptr once it has closed.
    PreviewWindow* previewWindow() const { return preview_; }

protected:
    // For a layout built in code (tests).
    Report(std::unique_ptr<LayoutModel> layout, data::DataSet* dataSet);

private:
    QPointer<PreviewWindow> preview_; // set while a preview is open
};

} // namespace report
