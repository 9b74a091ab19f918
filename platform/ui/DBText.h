#pragma once

#include "platform/data/DataSource.h"

#include <QLabel>
#include <QString>

namespace data {
class DataSource;
class Field;
} // namespace data

namespace ui {

// A label showing the display text of one field of its data source's
// current row; empty when the dataset is closed, empty or lacks the field.
class DBText : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString dataField READ dataField WRITE setDataField)

public:
    explicit DBText(QWidget* parent = nullptr);
    ~DBText() override;

    void setDataSource(data::DataSource* source);
    data::DataSource* dataSource() const { return link_.dataSource(); }
    void setDataField(const QString& fieldName);
    const QString& dataField() const { return fieldName_; }
    // Resolved against the bound dataset each time: a query makes new fields
    // whenever it opens.
    data::Field* field() const;

private:
    void refresh();

    data::SourceLink link_;
    QString fieldName_;
};

} // namespace ui
