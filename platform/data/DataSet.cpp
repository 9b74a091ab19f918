#include "platform/data/DataSet.h"

#include "platform/rtl/Errors.h"

namespace data {

DataSet::DataSet(QString name) : name_(std::move(name)) {}

DataSet::~DataSet() = default;

void DataSet::raise(const QString& message) const
{
    throw rtl::DatabaseError(name_ + QStringLiteral(": ") + message);
}

void DataSet::checkActive() const
{
    if (!active())
        raise(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void DataSet::dropPending()
{
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        doCancel();
        state_ = DataSetState::Browse;
        buffer_ = hasCurrent_ ? current_.values : std::vector<QVariant>(fields_.size());
        notifyRecordChanged();
    }
}

void DataSet::open()
{
    if (active())
        return;
    doOpen();
    state_ = DataSetState::Browse;
    move(true, true);
    notifyDataSetChanged();
}

void DataSet::close()
{
    if (!active())
        return;
    dropPending();
    doClose();
    state_ = DataSetState::Inactive;
    clearCurrent();
    eof_ = bof_ = true;
    notifyDataSetChanged();
}

void DataSet::first()
{
    if (move(true, true))
        notifyRecordChanged();
}

void DataSet::last()
{
    if (move(false, true))
        notifyRecordChanged();
}

void DataSet::next()
{
    if (move(true, false))
        notifyRecordChanged();
}

void DataSet::prior()
{
    if (move(false, false))
        notifyRecordChanged();
}

bool DataSet::move(bool forward, bool restart)
{
    checkActive();
    dropPending();
    bool& ahead = forward ? eof_ : bof_; // the end the move goes towards
    bool& behind = forward ? bof_ : eof_;
    Row row;
    const bool found = (restart || hasCurrent_) &&
                       fetchOne(restart ? std::nullopt : std::optional(current_.bookmark), forward, row);
    if (restart) {
        if (found)
            setCurrent(row);
        else
            clearCurrent();
        ahead = !found;
        behind = true;
    } else if (found) {
        setCurrent(row);
        ahead = behind = false;
    } else {
        ahead = true; // stays on the row at the end
        return false;
    }
    return true;
}

bool DataSet::isEmpty() const
{
    return !hasCurrent_ && state_ != DataSetState::Insert;
}

Field* DataSet::findField(const QString& fieldName) const
{
    for (const auto& f : fields_) {
        if (f->fieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return f.get();
    }
    return nullptr;
}

Field* DataSet::fieldByName(const QString& fieldName) const
{
    Field* f = findField(fieldName);
    if (!f)
        raise(QStringLiteral("Field '%1' not found").arg(fieldName));
    return f;
}

void DataSet::gotoBookmark(const Bookmark& bookmark)
{
    checkActive();
    dropPending();
    Row row;
    if (!fetchAt(bookmark, row))
        raise(QStringLiteral("Record not found"));
    setCurrent(row);
    eof_ = bof_ = false;
    notifyRecordChanged();
}

bool DataSet::fetchOne(const std::optional<Bookmark>& from, bool forward, Row& row)
{
    std::vector<Row> rows = fetchRows(from, 1, forward);
    if (rows.empty())
        return false;
    row = std::move(rows.front());
    return true;
}

Field* DataSet::makeField(const QString& componentName, const QString& fieldName, FieldType type, int size)
{
    fields_.push_back(
        std::make_unique<Field>(this, componentName, fieldName, type, size, int(fields_.size())));
    return fields_.back().get();
}

void DataSet::setCurrent(const Row& row)
{
    current_ = row;
    buffer_ = row.values;
    hasCurrent_ = true;
}

void DataSet::moveTo(const Row& row)
{
    setCurrent(row);
    eof_ = bof_ = false;
    notifyRecordChanged();
}

void DataSet::clearCurrent()
{
    current_ = Row();
    buffer_.assign(fields_.size(), QVariant());
    hasCurrent_ = false;
}

void DataSet::addLink(DataLink* link)
{
    links_.add(link);
}

void DataSet::removeLink(DataLink* link)
{
    links_.remove(link);
}

void DataSet::disableControls()
{
    ++controlsDisabled_;
}

void DataSet::enableControls()
{
    if (controlsDisabled_ > 0 && --controlsDisabled_ == 0 && changedWhileDisabled_) {
        changedWhileDisabled_ = false;
        notifyDataSetChanged();
    }
}

void DataSet::notifyDataSetChanged()
{
    if (controlsDisabled_ > 0) {
        changedWhileDisabled_ = true;
        return;
    }
    links_.forEach<DataLink>([](DataLink* l) { l->dataSetChanged(); });
}

void DataSet::notifyRecordChanged()
{
    if (controlsDisabled_ > 0) {
        changedWhileDisabled_ = true;
        return;
    }
    links_.forEach<DataLink>([](DataLink* l) { l->recordChanged(); });
}

} // namespace data
