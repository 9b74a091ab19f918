#pragma once

#include "platform/report/Document.h"
#include "platform/report/Model.h"

#include "platform/report/PreviewWindow.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

namespace data {
class DataSet;
}

namespace report {


// Finds a dataset of the data module by its component name.
using DataSetResolver = std::function<data::DataSet*(const QString& name)>;

// The base of every report layout: its definition, loaded when the object is
// created and bound to a dataset by name, and the preview the windows ask for.
class Report : public QObject {
    Q_OBJECT
public:
    // Loads ":/reports/<layoutName>.json". Raises rtl::Error for a definition
    // that cannot be used or a dataset the resolver does not know.
    Report(const QString& layoutName, const DataSetResolver& resolveDataSet);
    ~Report() override;

    const LayoutModel& layout() const { return *layout_; }
    data::DataSet* dataSet() const { return dataSet_; }

    Band* band(const QString& name) const;
    // An item by name, of the class the caller expects.
    template <class T>
    T* item(const QString& name) const
    {
        T* found = dynamic_cast<T*>(layout_->findItem(name));
        if (!found)
            missingItem(name);
        return found;
    }

    // Every page at once, from the dataset's first row; the dataset is left
    // at its last row.
    Document buildDocument() const;

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
    [[noreturn]] void missingItem(const QString& name) const;

    std::unique_ptr<LayoutModel> layout_;
    data::DataSet* dataSet_ = nullptr;
    QPointer<PreviewWindow> preview_; // set while a preview is open
};

} // namespace report
