#include "platform/data/Table.h"

#include "platform/data/Database.h"
#include "platform/data/Engine.h"
#include "platform/data/SqlValue.h"
#include "platform/data/Statement.h"
#include "platform/rtl/Errors.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QStringList>

#include <algorithm>

namespace data {

namespace {

struct Column {
    QString name;
    FieldType type;
    int width;
};

struct Index {
    QString name;
    QStringList columns;
};

} // namespace

struct Table::Impl {
    explicit Impl(Table& table) : member(table) {}
    Database::Member member; // read again after a rollback

    QString sqlName;
    std::vector<Column> columns;
    std::vector<Index> indexes;
    QStringList primary;  // key columns of the primary index; empty: none or rowid
    bool dynamicFields = false;

    // The current order: key columns, then rowid to make it total.
    QStringList order;
    QString keyColumn; // first key column of the current index, empty when it has none
    int keyWidth = 0;

    std::string selectList;
    std::string sqlFirst, sqlLast, sqlNext, sqlPrior, sqlAt, sqlFind, sqlCount, sqlFrom, sqlBefore;
    std::string sqlKeyAt, sqlKeyAtEnd, sqlFromKey;

    void forget()
    {
        sqlName.clear();
        columns.clear();
        indexes.clear();
        primary.clear();
        order.clear();
        keyColumn.clear();
        keyWidth = 0;
    }

    const Column* column(const QString& name) const
    {
        for (const auto& c : columns)
            if (c.name.compare(name, Qt::CaseInsensitive) == 0)
                return &c;
        return nullptr;
    }
};

Table::Table(QString name) : DataSet(std::move(name)), d(std::make_unique<Impl>(*this)) {}

Table::~Table() = default;

Field* Table::addField(const QString& componentName, const QString& fieldName, FieldType type, int size)
{
    auto& fs = mutableFields();
    fs.push_back(std::make_unique<Field>(this, componentName, fieldName, type, size, int(fs.size())));
    clearCurrent();
    return fs.back().get();
}

void Table::doOpen()
{
    std::shared_ptr<Database> db = Engine::database(alias_);
    Impl& m = *d;
    m.forget();
    QString wanted = QFileInfo(fileName_).completeBaseName();
    if (wanted.isEmpty())
        wanted = fileName_;
    QString createSql;
    {
        Statement st(*db, "SELECT name, sql FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE");
        st.bind(1, wanted);
        if (st.step()) {
            m.sqlName = st.text(0);
            createSql = st.text(1);
        }
    }
    if (m.sqlName.isEmpty())
        throw rtl::DatabaseError(QStringLiteral("Table not found: %1 (alias %2)").arg(fileName_, alias_));
    const bool autoInc = createSql.contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive);
    const std::string table = sql::quoted(m.sqlName).toStdString();

    QStringList pkColumns;
    QString rowidColumn;
    {
        Statement info(*db, "PRAGMA table_info(" + table + ")");
        while (info.step()) {
            Column c;
            c.name = info.text(1);
            const QString decl = info.text(2);
            c.type = sql::typeOfDeclared(decl, &c.width);
            if (info.integer(5) > 0) {
                pkColumns.append(c.name);
                if (decl.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
                    rowidColumn = c.name;
            }
            m.columns.push_back(c);
        }
    }
    if (pkColumns.size() == 1 && !rowidColumn.isEmpty()) {
        for (auto& c : m.columns)
            if (c.name == rowidColumn && autoInc)
                c.type = FieldType::AutoInc;
    } else {
        m.primary = pkColumns;
    }
    {
        Statement list(*db, "PRAGMA index_list(" + table + ")");
        while (list.step())
            m.indexes.push_back(Index{list.text(1), {}});
    }
    for (auto& ix : m.indexes) {
        Statement cols(*db, "PRAGMA index_info(" + sql::quoted(ix.name).toStdString() + ")");
        while (cols.step())
            ix.columns.append(cols.text(2));
    }

    auto& fs = mutableFields();
    if (fs.empty()) {
        m.dynamicFields = true;
        for (const auto& c : m.columns)
            fs.push_back(std::make_unique<Field>(this, name() + c.name, c.name, c.type, c.width, int(fs.size())));
    }
    for (const auto& f : fs) {
        const Column* c = m.column(f->fieldName());
        if (!c)
            raise(QStringLiteral("Field '%1' not found").arg(f->fieldName()));
        const bool fits = c->type == f->dataType() ||
                          (f->dataType() == FieldType::Integer && c->type == FieldType::AutoInc);
        if (!fits) {
            raise(QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                      .arg(f->fieldName(), QLatin1String(fieldTypeName(f->dataType())),
                           QLatin1String(fieldTypeName(c->type))));
        }
    }

    QStringList select;
    for (const auto& f : fs)
        select.append(sql::quoted(m.column(f->fieldName())->name));
    m.selectList = select.join(QLatin1Char(',')).toStdString();

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
    QStringList keys;
    if (indexName.isEmpty()) {
        keys = m.primary;
    } else {
        const Index* found = nullptr;
        for (const auto& ix : m.indexes)
            if (ix.name.compare(indexName, Qt::CaseInsensitive) == 0)
                found = &ix;
        if (!found)
            raise(QStringLiteral("Index '%1' not found").arg(indexName));
        keys = found->columns;
    }
    indexName_ = indexName;
    m.order.clear();
    for (const auto& k : keys)
        m.order.append(sql::quoted(k));
    m.order.append(QStringLiteral("rowid"));
    m.keyColumn = keys.isEmpty() ? QString() : keys.first();
    m.keyWidth = 0;
    if (!m.keyColumn.isEmpty()) {
        if (Field* f = findField(m.keyColumn); f && f->dataType() == FieldType::String)
            m.keyWidth = f->size();
        else if (const Column* c = m.column(m.keyColumn))
            m.keyWidth = c->type == FieldType::String ? c->width : 0;
    }

    const std::string from = " FROM " + sql::quoted(m.sqlName).toStdString();
    const std::string cols = m.selectList + (m.selectList.empty() ? "" : ",") + m.order.join(QLatin1Char(',')).toStdString();
    const std::string asc = " ORDER BY " + m.order.join(QLatin1Char(',')).toStdString();
    QStringList descList;
    for (const auto& o : m.order)
        descList.append(o + QStringLiteral(" DESC"));
    const std::string desc = " ORDER BY " + descList.join(QLatin1Char(',')).toStdString();
    QStringList marks;
    for (int i = 0; i < m.order.size(); ++i)
        marks.append(QStringLiteral("?"));
    // Row values compare the whole order key at once.
    const QString keyList = m.order.join(QLatin1Char(','));
    const QString markList = marks.join(QLatin1Char(','));
    const std::string lhs = (m.order.size() == 1 ? keyList : QStringLiteral("(%1)").arg(keyList)).toStdString();
    const std::string rhs = (m.order.size() == 1 ? markList : QStringLiteral("(%1)").arg(markList)).toStdString();
    m.sqlFirst = "SELECT " + cols + from + asc + " LIMIT ?";
    m.sqlLast = "SELECT " + cols + from + desc + " LIMIT ?";
    m.sqlNext = "SELECT " + cols + from + " WHERE " + lhs + " > " + rhs + asc + " LIMIT ?";
    m.sqlPrior = "SELECT " + cols + from + " WHERE " + lhs + " < " + rhs + desc + " LIMIT ?";
    m.sqlAt = "SELECT " + cols + from + " WHERE rowid = ?";
    m.sqlFind = m.keyColumn.isEmpty()
                    ? std::string()
                    : "SELECT " + cols + from + " WHERE " + sql::quoted(m.keyColumn).toStdString() + " = ?" + asc +
                          " LIMIT 1";
    m.sqlCount = "SELECT count(*)" + from;
    m.sqlFrom = "SELECT " + cols + from + asc + " LIMIT ? OFFSET ?";
    // A place is found on the order's index alone, counted from the nearer
    // end, and the rows are read from the key found there.
    m.sqlKeyAt = "SELECT " + keyList.toStdString() + from + asc + " LIMIT 1 OFFSET ?";
    m.sqlKeyAtEnd = "SELECT " + keyList.toStdString() + from + desc + " LIMIT 1 OFFSET ?";
    m.sqlFromKey = "SELECT " + cols + from + " WHERE " + lhs + " >= " + rhs + asc + " LIMIT ?";
    // Rows before a key: a smaller first key, or the same one and before it
    // (counted on the first key's index, cheaper than a row value).
    const std::string first = m.order.first().toStdString();
    if (m.order.size() == 1) {
        m.sqlBefore = "SELECT count(*)" + from + " WHERE " + first + " < ?1";
    } else {
        QStringList rest, restMarks;
        for (int i = 1; i < m.order.size(); ++i) {
            rest.append(m.order[i]);
            restMarks.append(QStringLiteral("?%1").arg(i + 1));
        }
        m.sqlBefore = "SELECT (SELECT count(*)" + from + " WHERE " + first + " < ?1) + (SELECT count(*)" + from +
                      " WHERE " + first + " = ?1 AND (" + rest.join(QLatin1Char(',')).toStdString() + ") < (" +
                      restMarks.join(QLatin1Char(',')).toStdString() + "))";
    }

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
        readRow(st, fields(), int(d->order.size()), row);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<Row> Table::fetchRows(const std::optional<Bookmark>& from, int count, bool forward)
{
    if (!db_ || count <= 0)
        return {};
    Impl& m = *d;
    Statement st(*db_, from ? (forward ? m.sqlNext : m.sqlPrior) : (forward ? m.sqlFirst : m.sqlLast));
    int next = 1;
    if (from)
        for (const auto& v : from->key)
            st.bind(next++, v);
    st.bind(next, count);
    return readRows(st);
}

qint64 Table::positionOf(const Bookmark& bookmark)
{
    if (!db_ || int(bookmark.key.size()) != d->order.size())
        return -1;
    Row row;
    if (!fetchAt(bookmark, row) || !(row.bookmark == bookmark))
        return -1;
    Statement st(*db_, d->sqlBefore);
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
        Statement at(*db_, fromEnd ? d->sqlKeyAtEnd : d->sqlKeyAt);
        at.bind(1, fromEnd ? total - 1 - position : position);
        if (!at.step())
            return {};
        for (int i = 0; i < d->order.size(); ++i)
            key.key.push_back(at.raw(i));
    }
    // A key without a value compares with nothing: read by place instead.
    const bool null = std::any_of(key.key.begin(), key.key.end(), [](const QVariant& v) { return !v.isValid(); });
    Statement st(*db_, null ? d->sqlFrom : d->sqlFromKey);
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
    Statement st(*db_, d->sqlAt);
    st.bind(1, at.key.back());
    const bool found = st.step();
    if (found)
        readRow(st, fields(), int(d->order.size()), row);
    return found;
}

qint64 Table::recordCount()
{
    checkActive();
    Statement st(*db_, d->sqlCount);
    st.step();
    return st.integer(0);
}

bool Table::findKey(const QString& value)
{
    checkActive();
    dropPending();
    if (d->sqlFind.empty())
        raise(QStringLiteral("Index has no key field"));
    Row row;
    bool found;
    {
        Statement st(*db_, d->sqlFind);
        st.bind(1, d->keyWidth > 0 ? cutToWidth(value, d->keyWidth) : value);
        found = st.step();
        if (found)
            readRow(st, fields(), int(d->order.size()), row);
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
    QStringList cols, marks;
    std::vector<QVariant> values;
    for (size_t i = 0; i < fs.size(); ++i) {
        if (fs[i]->readOnly() || !buf[i].isValid())
            continue;
        cols.append(sql::quoted(d->column(fs[i]->fieldName())->name));
        marks.append(QStringLiteral("?"));
        values.push_back(buf[i]);
    }
    const std::string into = "INSERT INTO " + sql::quoted(d->sqlName).toStdString();
    Statement ins(*db_, cols.isEmpty() ? into + " DEFAULT VALUES"
                                       : into + " (" + cols.join(QLatin1Char(',')).toStdString() + ") VALUES (" +
                                             marks.join(QLatin1Char(',')).toStdString() + ")");
    for (size_t i = 0; i < values.size(); ++i)
        ins.bind(int(i) + 1, values[i]);
    ins.run();
    return db_->lastInsertId();
}

qint64 Table::updateRow()
{
    const auto& fs = fields();
    const auto& buf = buffer();
    QStringList sets;
    std::vector<QVariant> values;
    for (size_t i = 0; i < fs.size(); ++i) {
        if (fs[i]->readOnly())
            continue;
        sets.append(sql::quoted(d->column(fs[i]->fieldName())->name) + QStringLiteral("=?"));
        values.push_back(buf[i]);
    }
    const qint64 rowid = currentRow().bookmark.key.back().toLongLong();
    if (!sets.isEmpty()) {
        Statement upd(*db_, "UPDATE " + sql::quoted(d->sqlName).toStdString() + " SET " +
                                sets.join(QLatin1Char(',')).toStdString() + " WHERE rowid=?");
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
        Statement del(*db_, "DELETE FROM " + sql::quoted(d->sqlName).toStdString() + " WHERE rowid=?");
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
