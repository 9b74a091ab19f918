#include "platform/data/Query.h"

#include "platform/data/Database.h"
#include "platform/data/Engine.h"
#include "platform/data/SqlValue.h"
#include "platform/data/Statement.h"
#include "platform/data/TextIndex.h"
#include "platform/rtl/Errors.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <limits>

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

namespace {

constexpr qint64 kWindowRows = 512;  // rows kept around the last ones asked for
constexpr qint64 kMargin = 32;       // rows read before a place jumped to
constexpr qint64 kBackMargin = 256;  // the same, when reading backwards
constexpr qint64 kStepAhead = 256;   // a walk steps on rather than run again
constexpr qint64 kFirstRange = 4096; // rowids a count step reads at first

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

} // namespace

struct Query::Impl {
    std::string plain; // the statement
    std::string paged; // the same from a place (LIMIT/OFFSET); empty when the engine will not wrap it
    std::vector<std::pair<QByteArray, QVariant>> values; // parameter values of this opening
    std::vector<FieldType> types;

    std::unique_ptr<Statement> cursor; // the run the last rows came from
    qint64 offset = 0;                 // its first row
    std::optional<qint64> count;
    qint64 known = 0; // rows known to be there

    // A count in steps: the rows of the table's rowids from `lo` on are
    // still to be counted; `changes` tells whether the database changed.
    struct Counting {
        std::string bounds, range;
        bool tried = false; // the whole result was stepped through once
        bool started = false;
        qint64 lo = 0, last = 0, counted = 0, changes = 0, width = kFirstRange;
    };
    std::optional<Counting> counting;
    std::string countedText; // the statement the ranges were made for, on this connection
    // The columns as the statement declares them, found once per text.
    struct Described {
        std::string text;
        std::weak_ptr<Database> db;
        QStringList names;
        std::vector<FieldType> types;
        std::vector<int> widths;
        std::vector<bool> declared;
    };
    std::optional<Described> described;
    std::string pagedChecked; // the wrapped statement last found to compile, on `pagedDb`
    std::weak_ptr<Database> pagedDb;
    std::weak_ptr<Database> countedDb;
    textindex::RangeCount ranges;

    qint64 windowStart = 0;
    std::deque<std::vector<QVariant>> window;

    qint64 next() const { return offset + cursor->position(); }
    bool holds(qint64 row) const { return row >= windowStart && row < windowStart + qint64(window.size()); }
    void keep(qint64 row, std::vector<QVariant>&& rowValues)
    {
        if (holds(row)) {
            window[size_t(row - windowStart)] = std::move(rowValues);
            return;
        }
        if (row != windowStart + qint64(window.size())) {
            window.clear();
            windowStart = row;
        }
        window.push_back(std::move(rowValues));
        if (qint64(window.size()) > kWindowRows) {
            window.pop_front();
            ++windowStart;
        }
        known = std::max(known, row + 1);
    }
    void forget()
    {
        cursor.reset();
        offset = 0;
        count.reset();
        counting.reset();
        known = 0;
        window.clear();
        windowStart = 0;
        values.clear();
    }
};

// A call that steps the cursor: meanwhile the connection leaves it alone.
class Query::Walk {
public:
    explicit Walk(Impl& m) : m_(m)
    {
        if (m_.cursor)
            m_.cursor->unpark();
    }
    ~Walk()
    {
        if (m_.cursor)
            m_.cursor->park();
    }
    Walk(const Walk&) = delete;
    Walk& operator=(const Walk&) = delete;

private:
    Impl& m_;
};

Query::Query(QString name) : DataSet(std::move(name)), d(std::make_unique<Impl>()) {}

Query::~Query()
{
    // The statement must go before the connection it was made on.
    d->cursor.reset();
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
            if (e == QLatin1Char(' ') || e == QLatin1Char(',') || e == QLatin1Char(';') ||
                e == QLatin1Char(')') || e == QLatin1Char('\r') || e == QLatin1Char('\n') ||
                e == QLatin1Char('\t'))
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
    db_ = Engine::database(alias_);
    Statement compiled(*db_, text().toStdString(), this);
}

std::vector<std::pair<QByteArray, QVariant>> Query::parameterValues(const Statement& st) const
{
    std::vector<std::pair<QByteArray, QVariant>> values;
    for (const auto& p : params_) {
        const QByteArray name = ':' + p->name().toUtf8();
        if (!st.hasParameter(name))
            continue;
        if (p->dataType() == ParamType::Unknown)
            raise(QStringLiteral("No value for parameter '%1'").arg(p->name()));
        values.emplace_back(name, p->value());
    }
    return values;
}

void Query::execSql()
{
    if (active())
        raise(QStringLiteral("Cannot perform this operation on an open dataset"));
    db_ = Engine::database(alias_);
    Statement st(*db_, text().toStdString(), this);
    for (const auto& [name, value] : parameterValues(st))
        st.bind(name, value);
    st.run();
}

void Query::doOpen()
{
    db_ = Engine::database(alias_);
    Impl& m = *d;
    m.forget();
    m.plain = text().toStdString();
    {
        Statement plain(*db_, m.plain, this);
        m.values = parameterValues(plain);
        if (!m.described || m.described->text != m.plain || m.described->db.lock() != db_ ||
            m.described->names.size() != plain.columnCount()) {
            Impl::Described c{m.plain, db_, {}, {}, {}, {}};
            const int n = plain.columnCount();
            c.types.assign(size_t(n), FieldType::String);
            c.widths.assign(size_t(n), 0);
            c.declared.assign(size_t(n), false);
            for (int i = 0; i < n; ++i) {
                QString col = plain.columnName(i);
                c.names << col.mid(col.lastIndexOf(QLatin1Char('.')) + 1);
                const QString decl = plain.declaredType(i);
                if (!decl.isEmpty()) {
                    c.types[size_t(i)] = sql::typeOfDeclared(decl, &c.widths[size_t(i)]);
                    c.declared[size_t(i)] = true;
                }
            }
            m.described = std::move(c);
        }
    }
    const QStringList& names = m.described->names;
    const std::vector<int>& widths = m.described->widths;
    const std::vector<bool>& declared = m.described->declared;
    m.types = m.described->types;
    if (m.countedText != m.plain || m.countedDb.lock() != db_) { // a count's statements, once per text
        m.countedText = m.plain;
        m.countedDb = db_;
        m.ranges = textindex::rangeCount(m.plain);
        if (!m.ranges.range.empty() && !(db_->compiles(m.ranges.bounds) && db_->compiles(m.ranges.range)))
            m.ranges = {};
    }
    if (!m.ranges.range.empty())
        m.counting = Impl::Counting{m.ranges.bounds, m.ranges.range};
    // The engine may answer the same rows through an index of its own.
    m.plain = textindex::plan(*db_, m.plain, m.values);
    // The result from any place: the statement wrapped with LIMIT/OFFSET,
    // one text for every run so that the rows keep one order.
    m.paged = "SELECT * FROM (\n" + m.plain + "\n) LIMIT :tk_limit OFFSET :tk_offset";
    if (m.pagedChecked != m.paged || m.pagedDb.lock() != db_) {
        if (!db_->compiles(m.paged)) {
            m.paged.clear();
        } else {
            m.pagedChecked = m.paged;
            m.pagedDb = db_;
        }
    }

    Walk walk(m);
    startRun(0);
    // Columns without a declared type take the type of their first value.
    const bool first = m.cursor->step();
    if (first) {
        for (size_t i = 0; i < m.types.size(); ++i) {
            if (declared[i])
                continue;
            m.types[i] = m.cursor->storedType(int(i));
        }
    } else {
        m.count = 0;
    }
    mutableFields().clear();
    for (int i = 0; i < names.size(); ++i)
        makeField(name() + names[i], names[i], m.types[size_t(i)], widths[size_t(i)]);
    if (first) {
        std::vector<QVariant> values(m.types.size());
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = m.cursor->value(int(i), m.types[i]);
        m.keep(0, std::move(values));
    }
}

void Query::doClose()
{
    d->forget();
    mutableFields().clear();
}

// A new run whose next row is `from` (or, for a statement that cannot be
// wrapped, the first row).
void Query::startRun(qint64 from)
{
    Impl& m = *d;
    if (!m.cursor) {
        m.cursor = std::make_unique<Statement>(*db_, m.paged.empty() ? m.plain : m.paged, this);
        for (const auto& [name, value] : m.values)
            m.cursor->bind(name, value);
        if (!m.paged.empty())
            m.cursor->bind(QByteArrayLiteral(":tk_limit"), qint64(-1));
    } else {
        m.cursor->rewind();
    }
    m.offset = m.paged.empty() ? 0 : from;
    if (!m.paged.empty())
        m.cursor->bind(QByteArrayLiteral(":tk_offset"), from);
}

// Places the cursor so that its next row is `row`; the rows from
// `row - before` on are kept on the way. Stops early at the end.
void Query::seek(qint64 row, qint64 before)
{
    Impl& m = *d;
    const qint64 from = std::max<qint64>(0, row - before);
    if (!m.cursor || m.next() > row || row - m.next() > kStepAhead)
        startRun(from);
    while (m.next() < from) { // skipped without reading
        if (!m.cursor->step()) {
            m.count = m.next();
            return;
        }
    }
    while (m.next() < row)
        if (!readNext())
            return;
}

// The cursor's next row into the window; false at the end of the result.
bool Query::readNext()
{
    Impl& m = *d;
    if (!m.cursor->step()) {
        m.count = m.next();
        return false;
    }
    std::vector<QVariant> values(m.types.size());
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = m.cursor->value(int(i), m.types[i]);
    m.keep(m.next() - 1, std::move(values));
    return true;
}

std::vector<Row> Query::readRows(qint64 start, qint64 count, qint64 before)
{
    std::vector<Row> out;
    if (!active() || count <= 0 || start < 0)
        return out;
    Impl& m = *d;
    Walk walk(m);
    for (qint64 row = start; row < start + count; ++row) {
        if (!m.holds(row)) {
            if (m.count && row >= *m.count)
                break;
            seek(row, before);
            if (m.next() != row || !readNext())
                break;
        }
        out.push_back(Row{Bookmark{{QVariant(row)}}, m.window[size_t(row - m.windowStart)]});
    }
    return out;
}

qint64 Query::countRows()
{
    Impl& m = *d;
    if (!m.count && m.counting && m.counting->started)
        countRange(-1); // the rest in one read
    if (!m.count) {
        Statement c(*db_, m.paged.empty() ? m.plain : "SELECT count(*) FROM (\n" + m.plain + "\n)", this);
        for (const auto& [name, value] : m.values)
            c.bind(name, value);
        qint64 n = 0;
        if (m.paged.empty()) {
            while (c.step())
                ++n;
        } else {
            c.step();
            n = c.integer(0);
        }
        m.count = n;
    }
    return *m.count;
}

std::optional<qint64> Query::countStep(double budgetMs)
{
    checkActive();
    Impl& m = *d;
    if (m.count)
        return m.count;
    if (!m.counting) {
        countRows();
        return m.count;
    }
    const auto start = Clock::now();
    Impl::Counting& c = *m.counting;
    if (!c.tried) {
        // Most results are small: stepped through within the budget, they
        // are counted by the statement's own plan.
        c.tried = true;
        Statement st(*db_, m.plain, this);
        for (const auto& [name, value] : m.values)
            st.bind(name, value);
        qint64 n = 0;
        while (st.step()) {
            if (++n % 64 == 0 && msSince(start) > budgetMs)
                return std::nullopt;
        }
        m.count = n;
        return m.count;
    }
    countRange(budgetMs - msSince(start));
    return m.count;
}

// Counts ranges of the table's rowids until the budget is spent (a negative
// budget: the rest at once). Each range is a read of its own.
bool Query::countRange(double budgetMs)
{
    Impl& m = *d;
    Impl::Counting& c = *m.counting;
    const auto start = Clock::now();
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    if (!c.started) {
        Statement b(*db_, c.bounds, this);
        b.step();
        c.started = true;
        if (b.raw(0).isNull()) { // no rows at all
            m.count = 0;
            return true;
        }
        c.lo = b.integer(0);
        c.last = b.integer(1);
        c.changes = b.integer(2);
        c.counted = 0;
    }
    double last = 0; // the last range's time: the next one is not begun when it would not fit
    do {
        const auto t = Clock::now();
        const bool rest = budgetMs < 0 || c.lo > c.last || quint64(c.last) - quint64(c.lo) < quint64(c.width);
        const qint64 hi = rest ? kMax : c.lo + c.width - 1;
        Statement r(*db_, c.range, this);
        for (const auto& [name, value] : m.values)
            r.bind(name, value);
        r.bind(QByteArrayLiteral(":tk_lo"), c.lo);
        r.bind(QByteArrayLiteral(":tk_hi"), hi);
        r.step();
        if (r.integer(1) != c.changes) { // the rows changed meanwhile
            c.started = false;
            return budgetMs < 0 ? countRange(budgetMs) : false;
        }
        c.counted += r.integer(0);
        if (hi == kMax) {
            m.count = c.counted;
            return true;
        }
        c.lo = hi + 1;
        // Ranges of a few milliseconds each, however dense the rowids are.
        last = msSince(t);
        if (last < budgetMs / 4 && c.width < kMax / 4)
            c.width *= 2;
        else if (last > budgetMs / 2 && c.width > 256)
            c.width /= 2;
    } while (msSince(start) + last < budgetMs);
    return false;
}

namespace {

qint64 rowOf(const Bookmark& bookmark)
{
    return bookmark.key.empty() ? -1 : bookmark.key.front().toLongLong();
}

} // namespace

std::vector<Row> Query::fetchRows(const std::optional<Bookmark>& from, int count, bool forward)
{
    if (!active() || count <= 0)
        return {};
    if (forward)
        return readRows(from ? rowOf(*from) + 1 : 0, count, kMargin);
    // Backwards: the rows before `end`, nearest first; the last rows cost
    // the count and one run from their place.
    const qint64 end = from ? rowOf(*from) : countRows();
    const qint64 start = std::max<qint64>(0, end - count);
    // The rows before them are kept on the way, for the screen above.
    std::vector<Row> rows = readRows(start, end - start, kBackMargin);
    std::reverse(rows.begin(), rows.end());
    return rows;
}

std::vector<Row> Query::fetchRowsFrom(qint64 position, int count)
{
    return readRows(position, count, kMargin);
}

qint64 Query::positionOf(const Bookmark& bookmark)
{
    const qint64 row = rowOf(bookmark);
    if (!active() || row < 0)
        return -1;
    if (row < d->known)
        return row;
    if (d->count)
        return row < *d->count ? row : -1;
    return readRows(row, 1, kMargin).empty() ? -1 : row;
}

qint64 Query::recordCount()
{
    checkActive();
    return countRows();
}

bool Query::fetchAt(const Bookmark& at, Row& row)
{
    std::vector<Row> rows = readRows(rowOf(at), 1, kMargin);
    if (rows.empty())
        return false;
    row = std::move(rows.front());
    return true;
}

} // namespace data
