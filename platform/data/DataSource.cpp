#include "platform/data/DataSource.h"

#include <algorithm>

namespace data {

DataSource::DataSource(QString name, DataSet* dataSet) : name_(std::move(name))
{
    setDataSet(dataSet);
}

DataSource::~DataSource()
{
    if (dataSet_)
        dataSet_->removeLink(this);
    // Bound controls must not keep a pointer to a source that is gone.
    const auto links = links_;
    for (DataLink* l : links)
        if (auto* bound = dynamic_cast<SourceLink*>(l)) {
            bound->source_ = nullptr;
            bound->dataSetChanged();
        }
}

void DataSource::setDataSet(DataSet* dataSet)
{
    if (dataSet_ == dataSet)
        return;
    if (dataSet_)
        dataSet_->removeLink(this);
    dataSet_ = dataSet;
    if (dataSet_)
        dataSet_->addLink(this);
    dataSetChanged();
}

void DataSource::addLink(DataLink* link)
{
    if (std::find(links_.begin(), links_.end(), link) == links_.end())
        links_.push_back(link);
}

void DataSource::removeLink(DataLink* link)
{
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

void DataSource::dataSetChanged()
{
    const auto links = links_;
    for (DataLink* l : links)
        l->dataSetChanged();
}

void DataSource::recordChanged()
{
    const auto links = links_;
    for (DataLink* l : links)
        l->recordChanged();
}

} // namespace data

namespace data {

bool SourceLink::setDataSource(DataSource* source)
{
    if (source == source_)
        return false;
    if (source_)
        source_->removeLink(this);
    source_ = source;
    if (source_)
        source_->addLink(this);
    return true;
}

} // namespace data
