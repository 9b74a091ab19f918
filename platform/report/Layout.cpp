#include "platform/report/Layout.h"

#include "platform/report/PageBuilder.h"
#include "platform/rtl/Errors.h"

namespace report {

Layout::Layout(const QString& layoutName, const DataSetResolver& resolveDataSet)
    : layout_(loadLayout(layoutName))
{
    if (!layout_->dataSetName.isEmpty()) {
        dataSet_ = resolveDataSet ? resolveDataSet(layout_->dataSetName) : nullptr;
        if (!dataSet_)
            throw rtl::Error(
                QStringLiteral("Report layout %1: unknown dataset %2").arg(layoutName, layout_->dataSetName));
    }
}

Layout::Layout(std::unique_ptr<LayoutModel> layout, data::DataSet* dataSet)
    : layout_(std::move(layout)), dataSet_(dataSet)
{
}

Layout::~Layout() = default;

Band* Layout::band(const QString& name) const
{
    Band* found = layout_->findBand(name);
    if (!found)
        missingItem(name);
    return found;
}

void Layout::missingItem(const QString& name) const
{
    throw rtl::Error(QStringLiteral("Report layout %1 has no %2").arg(layout_->name, name));
}

Document Layout::buildDocument() const
{
    PageBuilder builder(*layout_, dataSet_);
    builder.finish();
    return builder.takeDocument();
}

} // namespace report
