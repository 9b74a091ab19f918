#pragma once

#include "platform/data/DataSet.h"

#include <QString>
#include <functional>

namespace data {

// Joins one dataset to the controls bound to it and tells them when the
// dataset's rows or its current row change.
class DataSource : private DataLink {
public:
    explicit DataSource(QString name, DataSet* dataSet = nullptr);
    ~DataSource() override; // bound controls are told, and unbound
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    const QString& name() const { return name_; }
    DataSet* dataSet() const { return dataSet_; }
    void setDataSet(DataSet* dataSet);

    // Bound listeners; a listener destroyed first leaves by itself.
    void addLink(DataLink* link);
    void removeLink(DataLink* link);

private:
    void dataSetChanged() override;
    void recordChanged() override;
    void unlinked() override; // the dataset went first

    QString name_;
    DataSet* dataSet_ = nullptr;
    LinkList links_;
};

// A control's binding to a data source. It calls `changed(false)` when the
// dataset's rows change (opened, closed, rows added, removed, another source
// bound, the source gone) and `changed(true)` when only the current row moved
// or changed.
class SourceLink : public DataLink {
public:
    explicit SourceLink(std::function<void(bool recordOnly)> changed) : changed_(std::move(changed)) {}
    SourceLink(const SourceLink&) = delete;
    SourceLink& operator=(const SourceLink&) = delete;

    DataSource* dataSource() const { return source_; }
    DataSet* dataSet() const { return source_ ? source_->dataSet() : nullptr; }
    // Returns whether the binding changed.
    bool setDataSource(DataSource* source);

private:
    void dataSetChanged() override { changed_(false); }
    void recordChanged() override { changed_(true); }
    void unlinked() override;

    std::function<void(bool)> changed_;
    DataSource* source_ = nullptr;
};

} // namespace data
