#pragma once

#include "platform/data/DataSet.h"

#include <QString>
#include <vector>

namespace data {

// Joins one dataset to the controls bound to it and tells them when the
// dataset's rows or its current row change.
class DataSource : private DataLink {
public:
    explicit DataSource(QString name, DataSet* dataSet = nullptr);
    ~DataSource() override;
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    const QString& name() const { return name_; }
    DataSet* dataSet() const { return dataSet_; }
    void setDataSet(DataSet* dataSet);

    void addLink(DataLink* link);
    void removeLink(DataLink* link);

private:
    void dataSetChanged() override;
    void recordChanged() override;

    QString name_;
    DataSet* dataSet_ = nullptr;
    std::vector<DataLink*> links_;
};

} // namespace data
