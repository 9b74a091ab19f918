#pragma once

#include "platform/report/Document.h"
#include "platform/report/Model.h"

#include <QObject>
#include <functional>
#include <memory>

namespace data {
class DataSet;
}

namespace report {

// Finds a dataset of the data module by its component name.
using DataSetResolver = std::function<data::DataSet*(const QString& name)>;

// A report layout: its definition, loaded when the object is created and
// bound to a dataset by name, and the pages built from it.
class Layout : public QObject {
    Q_OBJECT
public:
    // Loads ":/reports/<layoutName>.json". Raises rtl::Error for a definition
    // that cannot be used or a dataset the resolver does not know.
    Layout(const QString& layoutName, const DataSetResolver& resolveDataSet);
    ~Layout() override;

    const LayoutModel& layout() const { return *layout_; }
    data::DataSet* dataSet() const { return dataSet_; }

    Band* band(const QString& name) const;
    // An item by name, of the class the caller expects.
    template <class T> T* item(const QString& name) const
    {
        T* found = dynamic_cast<T*>(layout_->findItem(name));
        if (!found)
            missingItem(name);
        return found;
    }

    // Every page at once, from the dataset's first row; the dataset is left
    // at its last row.
    Document buildDocument() const;

protected:
    // For a layout built in code (tests).
    Layout(std::unique_ptr<LayoutModel> layout, data::DataSet* dataSet);

private:
    [[noreturn]] void missingItem(const QString& name) const;

    std::unique_ptr<LayoutModel> layout_;
    data::DataSet* dataSet_ = nullptr;
};

} // namespace report
