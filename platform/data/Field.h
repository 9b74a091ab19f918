#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace data {

class DataSet;

enum class FieldType { String, Float, Integer, AutoInc, Date };

// The type's name as the dataset layer's messages print it.
const char* fieldTypeName(FieldType type);

// The first `width` characters of a text. A text field's width counts
// characters, not UTF-16 units: one outside the Basic Multilingual Plane
// counts once and is never split.
QString cutToWidth(const QString& text, int width);

// One column of a dataset's current row. Values follow these rules: a text
// longer than the width is cut when assigned; a field without a value (or
// a dataset without a current row) reads as 0 / empty text and displays
// empty; numbers display in the general format; dates as short-date text.
// Any field reads as text; the other reads and the writes are for fields of
// their own type (a whole number reads as a float too).
class Field {
public:
    Field(DataSet* dataSet, QString name, QString fieldName, FieldType type, int size, int index);

    const QString& name() const { return name_; }           // component name, e.g. TBarangKdBrg
    const QString& fieldName() const { return fieldName_; } // stored name, e.g. KdBrg
    FieldType dataType() const { return type_; }
    int size() const { return size_; } // width of a text field in characters, 0 otherwise
    bool readOnly() const;
    DataSet* dataSet() const { return dataSet_; }
    int index() const { return index_; } // position in the dataset's row

    bool isNull() const;
    QVariant value() const; // null QVariant when there is no value
    QString asString() const;
    double asFloat() const;
    qint64 asInteger() const;
    QDateTime asDateTime() const;
    QString displayText() const;

    void setAsString(const QString& text);
    void setAsFloat(double value); // refuses a value that is not a finite number
    void setAsInteger(qint64 value);
    void setAsDateTime(const QDateTime& value); // a date field keeps the date only

    // The display text of a raw value of this field (grids format fetched
    // rows with it).
    QString displayTextOf(const QVariant& raw) const;

private:
    void assign(const QVariant& raw);

    DataSet* dataSet_;
    QString name_;
    QString fieldName_;
    FieldType type_;
    int size_;
    int index_;
};

} // namespace data
