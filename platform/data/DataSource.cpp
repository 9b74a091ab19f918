#include "platform/data/DataSource.h"

namespace data {

DataSource::DataSource(QString name, DataSet* dataSet) : name_(std::move(name))
{
    setDataSet(dataSet);
}

DataSource::~DataSource() = default;

void DataSource::setDataSet(DataSet* dataSet)
{
    if (dataSet_ == dataSet)
        return;
    unlink();
    dataSet_ = dataSet;
    if (dataSet_)
        dataSet_->addLink(this);
    dataSetChanged();
}

void DataSource::unlinked()
{
    dataSet_ = nullptr;
    dataSetChanged();
}

void DataSource::addLink(DataLink* link)
{
    links_.add(link);
}

void DataSource::removeLink(DataLink* link)
{
    links_.remove(link);
}

void DataSource::dataSetChanged()
{
    links_.forEach<DataLink>([](DataLink* l) { l->dataSetChanged(); });
}

void DataSource::recordChanged()
{
    links_.forEach<DataLink>([](DataLink* l) { l->recordChanged(); });
}

bool SourceLink::setDataSource(DataSource* source)
{
    if (source == source_)
        return false;
    unlink();
    source_ = source;
    if (source_)
        source_->addLink(this);
    return true;
}

void SourceLink::unlinked()
{
    // Bound controls must not keep a pointer to a source that is gone.
    source_ = nullptr;
    changed_(false);
}

} // namespace data
