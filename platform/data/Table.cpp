#include "platform/data/Table.h"

#include "platform/data/Database.h"
#include "platform/data/Engine.h"
#include "platform/data/SqlValue.h"
#include "platform/rtl/Errors.h"

#include <QFileInfo>
#include <QStringList>

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

    const Column* column(const QString& name) const
    {
        for (const auto& c : columns)
            if (c.name.compare(name, Qt::CaseInsensitive) == 0)
                return &c;
        return nullptr;
    }
};

Table::Table(QString name) : DataSet(std::move(name)), d(std::make_unique<Impl>()) {}

Table::~Table()
{
    if (db_)
        db_->detach(this);
}

Field* Table::addField(const QString& componentName, const QString& fieldName, FieldType type, int size)
{
    auto& fs = mutableFields();
    fs.push_back(std::make_unique<Field>(this, componentName, fieldName, type, size, int(fs.size())));
    clearCurrent();
    return fs.back().get();
}

void Table::doOpen()
{
    db_ = Engine::database(alias_);
    Impl& m = *d;
    m = Impl();
    QString wanted = QFileInfo(fileName_).completeBaseName();
    if (wanted.isEmpty())
        wanted = fileName_;
    try {
        auto& st = db_->statement("SELECT name, sql FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE");
        st.bind(1, wanted.toStdString());
        QString createSql;
        if (st.executeStep()) {
            m.sqlName = QString::fromUtf8(st.getColumn(0).getText());
            createSql = QString::fromUtf8(st.getColumn(1).getText());
        }
        st.tryReset();
        if (m.sqlName.isEmpty()) {
            db_.reset();
            throw rtl::DatabaseError(QStringLiteral("Table not found: %1 (alias %2)").arg(fileName_, alias_));
        }
        const bool autoInc = createSql.contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive);

        SQLite::Statement info(db_->connection(), "PRAGMA table_info(" + sql::quoted(m.sqlName).toStdString() + ")");
        QStringList pkColumns;
        QString rowidColumn;
        while (info.executeStep()) {
            Column c;
            c.name = QString::fromUtf8(info.getColumn(1).getText());
            const QString decl = QString::fromUtf8(info.getColumn(2).getText());
            c.type = sql::typeOfDeclared(decl, &c.width);
            const int pk = info.getColumn(5).getInt();
            if (pk > 0) {
                pkColumns.append(c.name);
                if (decl.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
                    rowidColumn = c.name;
            }
            m.columns.push_back(c);
        }
        if (pkColumns.size() == 1 && !rowidColumn.isEmpty()) {
            for (auto& c : m.columns)
                if (c.name == rowidColumn && autoInc)
                    c.type = FieldType::AutoInc;
        } else {
            m.primary = pkColumns;
        }

        SQLite::Statement list(db_->connection(), "PRAGMA index_list(" + sql::quoted(m.sqlName).toStdString() + ")");
        while (list.executeStep()) {
            Index ix;
            ix.name = QString::fromUtf8(list.getColumn(1).getText());
            SQLite::Statement cols(db_->connection(), "PRAGMA index_info(" + sql::quoted(ix.name).toStdString() + ")");
            while (cols.executeStep())
                ix.columns.append(QString::fromUtf8(cols.getColumn(2).getText()));
            m.indexes.push_back(ix);
        }
    } catch (const SQLite::Exception& e) {
        db_.reset();
        Database::raise(e);
    }

    auto& fs = mutableFields();
    if (fs.empty()) {
        m.dynamicFields = true;
        for (const auto& c : m.columns)
            fs.push_back(std::make_unique<Field>(this, name() + c.name, c.name, c.type, c.width, int(fs.size())));
    }
    for (const auto& f : fs) {
        const Column* c = m.column(f->fieldName());
        if (!c) {
            db_.reset();
            raise(QStringLiteral("Field '%1' not found").arg(f->fieldName()));
        }
        const bool fits = c->type == f->dataType() ||
                          (f->dataType() == FieldType::Integer && c->type == FieldType::AutoInc);
        if (!fits) {
            db_.reset();
            raise(QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                      .arg(f->fieldName(), QLatin1String(fieldTypeName(f->dataType())),
                           QLatin1String(fieldTypeName(c->type))));
        }
    }

    QStringList select;
    for (const auto& f : fs)
        select.append(sql::quoted(m.column(f->fieldName())->name));
    m.selectList = select.join(QLatin1Char(',')).toStdString();

    // An unknown index name set while closed falls back to the default order.
    try {
        setIndexName(indexName_);
    } catch (const rtl::Error&) {
        indexName_.clear();
        setIndexName(QString());
    }
    db_->attach(this);
}

void Table::doClose()
{
    if (db_)
        db_->detach(this);
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
    m.sqlBefore = "SELECT count(*)" + from + " WHERE " + lhs + " < " + rhs;

    // The current row stays current; its bookmark follows the new order.
    if (hasCurrent()) {
        Row row;
        if (fetchAt(currentRow().bookmark, row))
            setCurrent(row);
    }
    notifyDataSetChanged();
}

namespace {

void readRow(SQLite::Statement& st, const std::vector<std::unique_ptr<Field>>& fields, int orderCount, Row& row)
{
    row.values.resize(fields.size());
    for (size_t i = 0; i < fields.size(); ++i)
        row.values[i] = sql::read(st.getColumn(int(i)), fields[i]->dataType());
    row.bookmark.key.resize(size_t(orderCount));
    for (int i = 0; i < orderCount; ++i)
        row.bookmark.key[size_t(i)] = sql::readRaw(st.getColumn(int(fields.size()) + i));
}

} // namespace

std::vector<Row> Table::fetchRows(const std::optional<Bookmark>& from, int count, bool forward)
{
    std::vector<Row> rows;
    if (!db_ || count <= 0)
        return rows;
    Impl& m = *d;
    try {
        SQLite::Statement* st;
        int next = 1;
        if (!from) {
            st = &db_->statement(forward ? m.sqlFirst : m.sqlLast);
        } else {
            st = &db_->statement(forward ? m.sqlNext : m.sqlPrior);
            for (const auto& v : from->key)
                sql::bind(*st, next++, v);
        }
        st->bind(next, count);
        while (st->executeStep()) {
            Row row;
            readRow(*st, fields(), int(m.order.size()), row);
            rows.push_back(std::move(row));
        }
        st->tryReset();
    } catch (const SQLite::Exception& e) {
        Database::raise(e);
    }
    return rows;
}

qint64 Table::positionOf(const Bookmark& bookmark)
{
    if (!db_ || int(bookmark.key.size()) != d->order.size())
        return -1;
    Row row;
    if (!fetchAt(bookmark, row) || !(row.bookmark == bookmark))
        return -1;
    try {
        auto& st = db_->statement(d->sqlBefore);
        int n = 1;
        for (const auto& v : bookmark.key)
            sql::bind(st, n++, v);
        st.executeStep();
        const qint64 position = st.getColumn(0).getInt64();
        st.tryReset();
        return position;
    } catch (const SQLite::Exception& e) {
        Database::raise(e);
    }
}

std::vector<Row> Table::fetchRowsFrom(qint64 position, int count)
{
    std::vector<Row> rows;
    if (!db_ || count <= 0 || position < 0)
        return rows;
    try {
        auto& st = db_->statement(d->sqlFrom);
        st.bind(1, count);
        st.bind(2, static_cast<int64_t>(position));
        while (st.executeStep()) {
            Row row;
            readRow(st, fields(), int(d->order.size()), row);
            rows.push_back(std::move(row));
        }
        st.tryReset();
    } catch (const SQLite::Exception& e) {
        Database::raise(e);
    }
    return rows;
}

bool Table::fetchAt(const Bookmark& at, Row& row)
{
    if (!db_ || at.key.empty())
        return false;
    try {
        auto& st = db_->statement(d->sqlAt);
        sql::bind(st, 1, at.key.back());
        const bool found = st.executeStep();
        if (found)
            readRow(st, fields(), int(d->order.size()), row);
        st.tryReset();
        return found;
    } catch (const SQLite::Exception& e) {
        Database::raise(e);
    }
}

qint64 Table::recordCount()
{
    checkActive();
    try {
        auto& st = db_->statement(d->sqlCount);
        st.executeStep();
        const qint64 n = st.getColumn(0).getInt64();
        st.tryReset();
        return n;
    } catch (const SQLite::Exception& e) {
        Database::raise(e);
    }
}

bool Table::findKey(const QString& value)
{
    checkActive();
    dropPending();
    if (d->sqlFind.empty())
        raise(QStringLiteral("Index has no key field"));
    const QString key = d->keyWidth > 0 ? value.left(d->keyWidth) : value;
    Row row;
    bool found = false;
    try {
        auto& st = db_->statement(d->sqlFind);
        st.bind(1, key.toStdString());
        found = st.executeStep();
        if (found)
            readRow(st, fields(), int(d->order.size()), row);
        st.tryReset();
    } catch (const SQLite::Exception& e) {
        Database::raise(e);
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
    const auto& fs = fields();
    const auto& buf = buffer();
    qint64 rowid = 0;
    try {
        if (st == DataSetState::Insert) {
            QStringList cols, marks;
            std::vector<QVariant> values;
            for (size_t i = 0; i < fs.size(); ++i) {
                if (fs[i]->readOnly() || !buf[i].isValid())
                    continue;
                cols.append(sql::quoted(d->column(fs[i]->fieldName())->name));
                marks.append(QStringLiteral("?"));
                values.push_back(buf[i]);
            }
            const std::string text = cols.isEmpty() ? "INSERT INTO " + sql::quoted(d->sqlName).toStdString() + " DEFAULT VALUES"
                                                    : "INSERT INTO " + sql::quoted(d->sqlName).toStdString() + " (" +
                                                          cols.join(QLatin1Char(',')).toStdString() + ") VALUES (" +
                                                          marks.join(QLatin1Char(',')).toStdString() + ")";
            auto& ins = db_->statement(text);
            for (size_t i = 0; i < values.size(); ++i)
                sql::bind(ins, int(i) + 1, values[i]);
            ins.exec();
            ins.tryReset();
            rowid = db_->connection().getLastInsertRowid();
        } else {
            QStringList sets;
            std::vector<QVariant> values;
            for (size_t i = 0; i < fs.size(); ++i) {
                if (fs[i]->readOnly())
                    continue;
                sets.append(sql::quoted(d->column(fs[i]->fieldName())->name) + QStringLiteral("=?"));
                values.push_back(buf[i]);
            }
            rowid = currentRow().bookmark.key.back().toLongLong();
            if (!sets.isEmpty()) {
                auto& upd = db_->statement("UPDATE " + sql::quoted(d->sqlName).toStdString() + " SET " +
                                           sets.join(QLatin1Char(',')).toStdString() + " WHERE rowid=?");
                int n = 1;
                for (const auto& v : values)
                    sql::bind(upd, n++, v);
                upd.bind(n, static_cast<int64_t>(rowid));
                upd.exec();
                upd.tryReset();
            }
        }
    } catch (const SQLite::Exception& e) {
        // The change is dropped: no half-filled row stays behind.
        dropPending();
        Database::raise(e);
    } catch (...) {
        dropPending();
        throw;
    }
    setState(DataSetState::Browse);
    Row row;
    Bookmark at;
    at.key.push_back(rowid);
    if (fetchAt(at, row))
        setCurrent(row);
    notifyDataSetChanged();
}

void Table::deleteRecord()
{
    checkActive();
    dropPending();
    if (isEmpty())
        raise(QStringLiteral("Cannot perform this operation on an empty dataset"));
    const Bookmark old = currentRow().bookmark;
    try {
        auto& del = db_->statement("DELETE FROM " + sql::quoted(d->sqlName).toStdString() + " WHERE rowid=?");
        sql::bind(del, 1, old.key.back());
        del.exec();
        del.tryReset();
    } catch (const SQLite::Exception& e) {
        Database::raise(e);
    }
    Row row;
    if (fetchNext(old, row) || fetchPrior(old, row))
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
        if (fetchAt(old, row) || fetchNext(old, row) || fetchPrior(old, row))
            setCurrent(row);
        else
            clearCurrent();
    } else {
        Row row;
        if (fetchFirst(row))
            setCurrent(row);
    }
    notifyDataSetChanged();
}

} // namespace data
