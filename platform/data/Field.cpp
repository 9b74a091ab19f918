#include "platform/data/Field.h"

#include "platform/data/DataSet.h"
#include "platform/rtl/Errors.h"
#include "platform/rtl/Format.h"

#include <cmath>

namespace data {

namespace {
// Day 0 of a date-time number, which a date field without a value reads as.
const QDate kDateZero(1899, 12, 30);
} // namespace

const char* fieldTypeName(FieldType type)
{
    switch (type) {
    case FieldType::String:
        return "String";
    case FieldType::Float:
        return "Float";
    case FieldType::Integer:
        return "Integer";
    case FieldType::AutoInc:
        return "AutoInc";
    case FieldType::Date:
        return "Date";
    }
    return "Unknown";
}

QString cutToWidth(const QString& text, int width)
{
    qsizetype units = 0;
    for (int chars = 0; chars < width && units < text.size(); ++chars)
        units += text[units].isHighSurrogate() && units + 1 < text.size() && text[units + 1].isLowSurrogate()
                     ? 2
                     : 1;
    return text.left(units);
}

Field::Field(DataSet* dataSet, QString name, QString fieldName, FieldType type, int size, int index)
    : dataSet_(dataSet), name_(std::move(name)), fieldName_(std::move(fieldName)), type_(type), size_(size),
      index_(index)
{
}

bool Field::readOnly() const
{
    return type_ == FieldType::AutoInc;
}

QVariant Field::value() const
{
    const auto& buf = dataSet_->buffer();
    if (index_ < 0 || size_t(index_) >= buf.size())
        return QVariant();
    return buf[size_t(index_)];
}

bool Field::isNull() const
{
    return !value().isValid();
}

QString Field::displayTextOf(const QVariant& raw) const
{
    if (!raw.isValid())
        return QString();
    switch (type_) {
    case FieldType::String:
        return raw.toString();
    case FieldType::Float:
        return rtl::floatToStr(raw.toDouble());
    case FieldType::Integer:
    case FieldType::AutoInc:
        return QString::number(raw.toLongLong());
    case FieldType::Date:
        return rtl::dateToStr(raw.toDate());
    }
    return raw.toString();
}

QString Field::asString() const
{
    return displayTextOf(value());
}

QString Field::displayText() const
{
    return displayTextOf(value());
}

double Field::asFloat() const
{
    Q_ASSERT(type_ != FieldType::String && type_ != FieldType::Date);
    const QVariant v = value();
    return v.isValid() ? v.toDouble() : 0;
}

qint64 Field::asInteger() const
{
    Q_ASSERT(type_ == FieldType::Integer || type_ == FieldType::AutoInc);
    const QVariant v = value();
    return v.isValid() ? v.toLongLong() : 0;
}

QDateTime Field::asDateTime() const
{
    Q_ASSERT(type_ == FieldType::Date);
    const QVariant v = value();
    return QDateTime(v.isValid() ? v.toDate() : kDateZero, QTime(0, 0));
}

void Field::assign(const QVariant& raw)
{
    const DataSetState st = dataSet_->state();
    if (st != DataSetState::Edit && st != DataSetState::Insert)
        dataSet_->raise(QStringLiteral("Dataset not in edit or insert mode"));
    if (readOnly())
        dataSet_->raise(QStringLiteral("Field '%1' cannot be modified").arg(fieldName_));
    auto& buf = dataSet_->editBuffer();
    buf[size_t(index_)] = raw;
    dataSet_->notifyRecordChanged();
}

void Field::setAsString(const QString& text)
{
    Q_ASSERT(type_ == FieldType::String);
    assign(size_ > 0 ? cutToWidth(text, size_) : text);
}

void Field::setAsFloat(double value)
{
    Q_ASSERT(type_ == FieldType::Float);
    // An infinite sum (two quantities near the largest number) or no number
    // at all is refused as a text that does not convert would be.
    if (!std::isfinite(value))
        throw rtl::ConvertError(
            QStringLiteral("'%1' is not a valid floating point value").arg(rtl::floatToStr(value)));
    assign(value);
}

void Field::setAsInteger(qint64 value)
{
    Q_ASSERT(type_ == FieldType::Integer || type_ == FieldType::AutoInc);
    assign(value);
}

void Field::setAsDateTime(const QDateTime& value)
{
    Q_ASSERT(type_ == FieldType::Date);
    assign(value.date());
}

} // namespace data
