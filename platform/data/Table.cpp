#include "platform/data/Table.h"

#include "platform/data/Database.h"
#include "platform/data/Engine.h"
#include "platform/data/Statement.h"
#include "platform/data/TableSchema.h"
#include "platform/data/TableStatements.h"
#include "platform/rtl/Errors.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QStringList>

#include <algorithm>
#include <optional>

namespace data {

struct Table::Impl {
    explicit Impl(Table& table) : member(table) {}
    Database::Member member; // read again after a rollback

    TableSchema schema;
    QStringList selected; // stored names of the fields' columns, in field order
    bool dynamicFields = false;

    // The statements of each order once built, the default order first, then
    // the schema's indexes; a save switches the order and back.
    struct Order {
        TableStatements sql;
        int keyWidth = 0; // of the order's first key field; 0 when it is no text
    };
    std::vector<std::optional<Order>> orders;
    int order = -1; // in use; -1 before the first open

    const TableStatements* sql = nullptr; // of the order in use
    int keyWidth = 0;

    QString stored(const Field& f) const { return schema.column(f.fieldName())->name; }
};

Table::Table(QString name) : DataSet(std::move(name)), d(std::make_unique<Impl>(*this)) {}

Table::~Table() = default;

Field* Table::addField(const QString& componentName, const QString& fieldName, FieldType type, int size)
{
    Field* f = makeField(componentName, fieldName, type, size);
    clearCurrent();
    return f;
}

void Table::doOpen()
{
    std::shared_ptr<Database> db = Engine::database(alias_);
    Impl& m = *d;
    QString wanted = QFileInfo(fileName_).completeBaseName();
    if (wanted.isEmpty())
        wanted = fileName_;
    std::optional<TableSchema> schema = TableSchema::read(*db, wanted);
    if (!schema)
        throw rtl::DatabaseError(QStringLiteral("Table not found: %1 (alias %2)").arg(fileName_, alias_));
    m.schema = std::move(*schema);

    auto& fs = mutableFields();
    if (fs.empty()) {
        m.dynamicFields = true;
        for (const auto& c : m.schema.columns)
            makeField(name() + c.name, c.name, c.type, c.width);
    }
    m.selected.clear();
    for (const auto& f : fs) {
        const TableSchema::Column* c = m.schema.column(f->fieldName());
        if (!c)
            raise(QStringLiteral("Field '%1' not found").arg(f->fieldName()));
        const bool fits = c->type == f->dataType() ||
                          (f->dataType() == FieldType::Integer && c->type == FieldType::AutoInc);
        if (!fits) {
            raise(QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                      .arg(f->fieldName(), QLatin1String(fieldTypeName(f->dataType())),
                           QLatin1String(fieldTypeName(c->type))));
        }
        m.selected.append(c->name);
    }

    m.orders.assign(m.schema.indexes.size() + 1, std::nullopt);
    m.order = -1;
    db_ = std::move(db);
    // An unknown index name set while closed falls back to the default order.
    try {
        setIndexName(indexName_);
    } catch (const rtl::Error&) {
        indexName_.clear();
        setIndexName(QString());
    }
    db_->attach(m.member);
}

void Table::doClose()
{
    d->member.unlink();
    db_.reset();
    if (d->dynamicFields) {
        mutableFields().clear();
        d->dynamicFields = false;
    }
}

void Table::setIndexName(const QString& indexName)
{
    if (!db_) { // closed: takes effect when opened
        indexName_ = indexName;
        return;
    }
    dropPending();
    Impl& m = *d;
    int order = 0;
    if (!indexName.isEmpty()) {
        const TableSchema::Index* found = m.schema.index(indexName);
        if (!found)
            raise(QStringLiteral("Index '%1' not found").arg(indexName));
        order = int(found - m.schema.indexes.data()) + 1;
    }
    indexName_ = indexName;
    // The same order again: the row and its bookmark are as they were.
    if (order == m.order)
        return;
    std::optional<Impl::Order>& kept = m.orders[size_t(order)];
    if (!kept) {
        const QStringList& keys = order == 0 ? m.schema.primary : m.schema.indexes[size_t(order - 1)].columns;
        kept.emplace();
        if (!keys.isEmpty()) {
            if (Field* f = findField(keys.first()); f && f->dataType() == FieldType::String)
                kept->keyWidth = f->size();
            else if (const TableSchema::Column* c = m.schema.column(keys.first()))
                kept->keyWidth = c->type == FieldType::String ? c->width : 0;
        }
        kept->sql = TableStatements(m.schema.sqlName, m.selected, keys);
    }
    m.order = order;
    m.sql = &kept->sql;
    m.keyWidth = kept->keyWidth;

    // The current row stays current; its bookmark follows the new order.
    if (hasCurrent()) {
        Row row;
        if (fetchAt(currentRow().bookmark, row))
            setCurrent(row);
    }
    notifyDataSetChanged();
}

namespace {

void readRow(const Statement& st, const std::vector<std::unique_ptr<Field>>& fields, int orderCount, Row& row)
{
    row.values.resize(fields.size());
    for (size_t i = 0; i < fields.size(); ++i)
        row.values[i] = st.value(int(i), fields[i]->dataType());
    row.bookmark.key.resize(size_t(orderCount));
    for (int i = 0; i < orderCount; ++i)
        row.bookmark.key[size_t(i)] = st.raw(int(fields.size()) + i);
}

} // namespace

std::vector<Row> Table::readRows(Statement& st) const
{
    std::vector<Row> rows;
    while (st.step()) {
        Row row;
        readRow(st, fields(), d->sql->orderSize, row);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<Row> Table::fetchRows(const std::optional<Bookmark>& from, int count, bool forward)
{
    if (!db_ || count <= 0)
        return {};
    Impl& m = *d;
    Statement st(*db_,
                 from ? (forward ? m.sql->next : m.sql->prior) : (forward ? m.sql->first : m.sql->last));
    int next = 1;
    if (from)
        for (const auto& v : from->key)
            st.bind(next++, v);
    st.bind(next, count);
    return readRows(st);
}

qint64 Table::positionOf(const Bookmark& bookmark)
{
    if (!db_ || int(bookmark.key.size()) != d->sql->orderSize)
        return -1;
    Row row;
    if (!fetchAt(bookmark, row) || !(row.bookmark == bookmark))
        return -1;
    Statement st(*db_, d->sql->before);
    int n = 1;
    for (const auto& v : bookmark.key)
        st.bind(n++, v);
    st.step();
    return st.integer(0);
}

std::vector<Row> Table::fetchRowsFrom(qint64 position, int count)
{
    if (!db_ || count <= 0 || position < 0)
        return {};
    // The engine's count, not a subclass's: a jump is not a question of size.
    const qint64 total = Table::recordCount();
    if (position >= total)
        return {};
    Bookmark key;
    {
        const bool fromEnd = position > total / 2;
        Statement at(*db_, fromEnd ? d->sql->keyAtEnd : d->sql->keyAt);
        at.bind(1, fromEnd ? total - 1 - position : position);
        if (!at.step())
            return {};
        for (int i = 0; i < d->sql->orderSize; ++i)
            key.key.push_back(at.raw(i));
    }
    // A key without a value compares with nothing: read by place instead.
    const bool null =
        std::any_of(key.key.begin(), key.key.end(), [](const QVariant& v) { return !v.isValid(); });
    Statement st(*db_, null ? d->sql->from : d->sql->fromKey);
    int n = 1;
    if (null) {
        st.bind(n++, count);
        st.bind(n, position);
    } else {
        for (const auto& v : key.key)
            st.bind(n++, v);
        st.bind(n, count);
    }
    return readRows(st);
}

bool Table::fetchAt(const Bookmark& at, Row& row)
{
    if (!db_ || at.key.empty())
        return false;
    Statement st(*db_, d->sql->at);
    st.bind(1, at.key.back());
    const bool found = st.step();
    if (found)
        readRow(st, fields(), d->sql->orderSize, row);
    return found;
}

qint64 Table::recordCount()
{
    checkActive();
    Statement st(*db_, d->sql->count);
    st.step();
    return st.integer(0);
}

bool Table::findKey(const QString& value)
{
    checkActive();
    dropPending();
    if (d->sql->find.empty())
        raise(QStringLiteral("Index has no key field"));
    Row row;
    bool found;
    {
        Statement st(*db_, d->sql->find);
        st.bind(1, d->keyWidth > 0 ? cutToWidth(value, d->keyWidth) : value);
        found = st.step();
        if (found)
            readRow(st, fields(), d->sql->orderSize, row);
    }
    if (found)
        moveTo(row);
    return found;
}

void Table::append()
{
    checkActive();
    dropPending();
    setState(DataSetState::Insert);
    editBuffer().assign(fields().size(), QVariant());
    notifyRecordChanged();
}

void Table::edit()
{
    checkActive();
    if (state() == DataSetState::Edit)
        return;
    dropPending();
    if (isEmpty())
        raise(QStringLiteral("Cannot perform this operation on an empty dataset"));
    setState(DataSetState::Edit);
}

void Table::cancel()
{
    dropPending();
}

void Table::post()
{
    checkActive();
    const DataSetState st = state();
    if (st != DataSetState::Insert && st != DataSetState::Edit)
        return;
    // A failure drops the change: no half-filled row stays behind.
    auto dropOnFailure = qScopeGuard([this] { dropPending(); });
    const qint64 rowid = st == DataSetState::Insert ? insertRow() : updateRow();
    dropOnFailure.dismiss();
    setState(DataSetState::Browse);
    Row row;
    Bookmark at;
    at.key.push_back(rowid);
    if (fetchAt(at, row))
        setCurrent(row);
    notifyDataSetChanged();
}

qint64 Table::insertRow()
{
    const auto& fs = fields();
    const auto& buf = buffer();
    QStringList cols;
    std::vector<QVariant> values;
    for (size_t i = 0; i < fs.size(); ++i) {
        if (fs[i]->readOnly() || !buf[i].isValid())
            continue;
        cols.append(d->stored(*fs[i]));
        values.push_back(buf[i]);
    }
    Statement ins(*db_, TableStatements::insert(d->schema.sqlName, cols));
    for (size_t i = 0; i < values.size(); ++i)
        ins.bind(int(i) + 1, values[i]);
    ins.run();
    return db_->lastInsertId();
}

qint64 Table::updateRow()
{
    const auto& fs = fields();
    const auto& buf = buffer();
    QStringList cols;
    std::vector<QVariant> values;
    for (size_t i = 0; i < fs.size(); ++i) {
        if (fs[i]->readOnly())
            continue;
        cols.append(d->stored(*fs[i]));
        values.push_back(buf[i]);
    }
    const qint64 rowid = currentRow().bookmark.key.back().toLongLong();
    if (!cols.isEmpty()) {
        Statement upd(*db_, TableStatements::update(d->schema.sqlName, cols));
        int n = 1;
        for (const auto& v : values)
            upd.bind(n++, v);
        upd.bind(n, rowid);
        upd.run();
    }
    return rowid;
}

void Table::deleteRecord()
{
    checkActive();
    dropPending();
    if (isEmpty())
        raise(QStringLiteral("Cannot perform this operation on an empty dataset"));
    const Bookmark old = currentRow().bookmark;
    {
        // A refused delete leaves the row current, as it was.
        Statement del(*db_, TableStatements::remove(d->schema.sqlName));
        del.bind(1, old.key.back());
        del.run();
    }
    Row row;
    if (fetchOne(old, true, row) || fetchOne(old, false, row))
        setCurrent(row);
    else
        clearCurrent();
    notifyDataSetChanged();
}

void Table::refresh()
{
    if (!db_)
        return;
    dropPending();
    if (hasCurrent()) {
        const Bookmark old = currentRow().bookmark;
        Row row;
        if (fetchAt(old, row) || fetchOne(old, true, row) || fetchOne(old, false, row))
            setCurrent(row);
        else
            clearCurrent();
    } else {
        Row row;
        if (fetchOne(std::nullopt, true, row))
            setCurrent(row);
    }
    notifyDataSetChanged();
}

} // namespace data
