#include "platform/data/Query.h"

#include "platform/data/Database.h"
#include "platform/data/Engine.h"
#include "platform/data/SqlValue.h"
#include "platform/rtl/Errors.h"

#include <sqlite3.h>

namespace data {

void Param::setAsString(const QString& text)
{
    type_ = ParamType::String;
    value_ = text;
}

void Param::setAsDate(const QDate& date)
{
    type_ = ParamType::Date;
    value_ = date;
}

void Param::clear()
{
    type_ = ParamType::Unknown;
    value_ = QVariant();
}

struct Query::Impl {
    std::unique_ptr<SQLite::Statement> statement;
    std::vector<std::vector<QVariant>> rows;
    std::vector<FieldType> types;
    bool exhausted = true;
};

Query::Query(QString name) : DataSet(std::move(name)), d(std::make_unique<Impl>()) {}

Query::~Query()
{
    // The statement must go before the connection it was made on.
    d->statement.reset();
}

QString Query::text() const
{
    return sql_.join(QStringLiteral("\r\n"));
}

QStringList Query::parseParamNames(const QString& text)
{
    QStringList names;
    QChar quote;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            continue;
        }
        if (c != QLatin1Char(':'))
            continue;
        int j = i + 1;
        while (j < text.size()) {
            const QChar e = text[j];
            if (e == QLatin1Char(' ') || e == QLatin1Char(',') || e == QLatin1Char(';') || e == QLatin1Char(')') ||
                e == QLatin1Char('\r') || e == QLatin1Char('\n') || e == QLatin1Char('\t'))
                break;
            ++j;
        }
        const QString name = text.mid(i + 1, j - i - 1);
        if (!name.isEmpty() && !names.contains(name, Qt::CaseInsensitive))
            names.append(name);
        i = j - 1;
    }
    return names;
}

void Query::setSql(const QStringList& lines)
{
    if (active())
        close();
    d->statement.reset();
    sql_ = lines;
    // Values already set for a name that stays are kept.
    std::vector<std::unique_ptr<Param>> kept;
    for (const QString& n : parseParamNames(text())) {
        std::unique_ptr<Param> p;
        for (auto& old : params_)
            if (old && old->name().compare(n, Qt::CaseInsensitive) == 0)
                p = std::move(old);
        kept.push_back(p ? std::move(p) : std::make_unique<Param>(n));
    }
    params_ = std::move(kept);
}

Param& Query::paramByName(const QString& name)
{
    for (auto& p : params_)
        if (p->name().compare(name, Qt::CaseInsensitive) == 0)
            return *p;
    raise(QStringLiteral("Parameter '%1' not found").arg(name));
}

void Query::prepare()
{
    if (active())
        raise(QStringLiteral("Cannot perform this operation on an open dataset"));
    d->statement.reset();
    db_ = Engine::database(alias_);
    try {
        d->statement = std::make_unique<SQLite::Statement>(db_->connection(), text().toStdString());
    } catch (const SQLite::Exception& e) {
        raiseEngine(e);
    }
}

void Query::raiseEngine(const std::exception& e) const
{
    if (const auto* engine = dynamic_cast<const SQLite::Exception*>(&e))
        raise(Database::messageOf(*engine));
    raise(QString::fromUtf8(e.what()));
}

// Every parameter the statement names needs a value.
void Query::bindParams()
{
    SQLite::Statement& st = *d->statement;
    try {
        st.tryReset();
        st.clearBindings();
        for (const auto& p : params_) {
            const int index = st.getIndex((":" + p->name()).toUtf8().constData());
            if (index == 0)
                continue;
            if (p->dataType() == ParamType::Unknown)
                raise(QStringLiteral("No value for parameter '%1'").arg(p->name()));
            sql::bind(st, index, p->value());
        }
    } catch (const SQLite::Exception& e) {
        raiseEngine(e);
    }
}

void Query::execSql()
{
    if (active())
        raise(QStringLiteral("Cannot perform this operation on an open dataset"));
    if (!d->statement)
        prepare();
    bindParams();
    SQLite::Statement& st = *d->statement;
    try {
        while (st.executeStep()) {
        }
        st.tryReset();
    } catch (const SQLite::Exception& e) {
        st.tryReset();
        raiseEngine(e);
    }
}

void Query::doOpen()
{
    if (!d->statement)
        prepare();
    bindParams();
    SQLite::Statement& st = *d->statement;

    const int n = st.getColumnCount();
    d->types.assign(size_t(n), FieldType::String);
    std::vector<int> widths(size_t(n), 0);
    std::vector<bool> declared(size_t(n), false);
    for (int i = 0; i < n; ++i) {
        try {
            const char* decl = st.getColumnDeclaredType(i);
            d->types[size_t(i)] = sql::typeOfDeclared(QString::fromUtf8(decl), &widths[size_t(i)]);
            declared[size_t(i)] = true;
        } catch (const SQLite::Exception&) {
            // an expression: typed by its first value below
        }
    }
    d->rows.clear();
    d->exhausted = false;
    // Columns without a declared type take the type of their first value.
    bool first = false;
    try {
        first = st.executeStep();
    } catch (const SQLite::Exception& e) {
        raiseEngine(e);
    }
    if (first) {
        for (int i = 0; i < n; ++i) {
            if (declared[size_t(i)])
                continue;
            const int t = st.getColumn(i).getType();
            d->types[size_t(i)] = t == SQLITE_INTEGER ? FieldType::Integer
                                  : t == SQLITE_FLOAT ? FieldType::Float
                                                      : FieldType::String;
        }
    }
    auto& fs = mutableFields();
    fs.clear();
    for (int i = 0; i < n; ++i) {
        QString col = QString::fromUtf8(st.getColumnName(i));
        const int dot = col.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0)
            col = col.mid(dot + 1);
        fs.push_back(std::make_unique<Field>(this, name() + col, col, d->types[size_t(i)], widths[size_t(i)], i));
    }
    if (first) {
        std::vector<QVariant> values(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            values[size_t(i)] = sql::read(st.getColumn(i), d->types[size_t(i)]);
        d->rows.push_back(std::move(values));
    } else {
        d->exhausted = true;
    }
}

void Query::doClose()
{
    if (d->statement)
        d->statement->tryReset();
    d->rows.clear();
    d->rows.shrink_to_fit();
    d->exhausted = true;
    mutableFields().clear();
}

bool Query::fetchUpTo(size_t index)
{
    auto& rows = d->rows;
    SQLite::Statement& st = *d->statement;
    while (rows.size() <= index && !d->exhausted) {
        bool more = false;
        try {
            more = st.executeStep();
        } catch (const SQLite::Exception& e) {
            // A result cut short must not pass for a complete one.
            d->exhausted = true;
            raiseEngine(e);
        }
        if (!more) {
            d->exhausted = true;
            break;
        }
        std::vector<QVariant> row(d->types.size());
        for (size_t i = 0; i < d->types.size(); ++i)
            row[i] = sql::read(st.getColumn(int(i)), d->types[i]);
        rows.push_back(std::move(row));
    }
    return rows.size() > index;
}

std::vector<Row> Query::fetchRows(const std::optional<Bookmark>& from, int count, bool forward)
{
    std::vector<Row> out;
    if (!active() || count <= 0)
        return out;
    auto& rows = d->rows;
    if (forward) {
        qint64 start = from ? from->key.front().toLongLong() + 1 : 0;
        for (qint64 i = start; i < start + count; ++i) {
            if (!fetchUpTo(size_t(i)))
                break;
            out.push_back(Row{Bookmark{{QVariant(i)}}, rows[size_t(i)]});
        }
    } else {
        qint64 start;
        if (from) {
            start = from->key.front().toLongLong() - 1;
        } else {
            fetchUpTo(SIZE_MAX - 1);
            start = qint64(rows.size()) - 1;
        }
        for (qint64 i = start; i >= 0 && i > start - count; --i) {
            if (!fetchUpTo(size_t(i)))
                break;
            out.push_back(Row{Bookmark{{QVariant(i)}}, rows[size_t(i)]});
        }
    }
    return out;
}

qint64 Query::recordCount()
{
    checkActive();
    fetchUpTo(SIZE_MAX - 1);
    return qint64(d->rows.size());
}

bool Query::fetchAt(const Bookmark& at, Row& row)
{
    if (at.key.empty())
        return false;
    const qint64 i = at.key.front().toLongLong();
    if (i < 0 || !fetchUpTo(size_t(i)))
        return false;
    row = Row{at, d->rows[size_t(i)]};
    return true;
}

} // namespace data
