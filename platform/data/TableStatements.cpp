#include "platform/data/TableStatements.h"

#include "platform/data/SqlValue.h"

namespace data {

namespace {

QStringList quotedAll(const QStringList& names)
{
    QStringList q;
    for (const auto& n : names)
        q.append(sql::quoted(n));
    return q;
}

} // namespace

TableStatements::TableStatements(const QString& table, const QStringList& selected, const QStringList& keys)
{
    QStringList order = quotedAll(keys);
    order.append(QStringLiteral("rowid"));
    orderSize = int(order.size());
    const std::string selectList = quotedAll(selected).join(QLatin1Char(',')).toStdString();

    const std::string source = " FROM " + sql::quoted(table).toStdString();
    const std::string cols =
        selectList + (selectList.empty() ? "" : ",") + order.join(QLatin1Char(',')).toStdString();
    const std::string asc = " ORDER BY " + order.join(QLatin1Char(',')).toStdString();
    QStringList descList;
    for (const auto& o : order)
        descList.append(o + QStringLiteral(" DESC"));
    const std::string desc = " ORDER BY " + descList.join(QLatin1Char(',')).toStdString();
    QStringList marks;
    for (int i = 0; i < order.size(); ++i)
        marks.append(QStringLiteral("?"));
    // Row values compare the whole order key at once.
    const QString keyList = order.join(QLatin1Char(','));
    const QString markList = marks.join(QLatin1Char(','));
    const std::string lhs = (order.size() == 1 ? keyList : QStringLiteral("(%1)").arg(keyList)).toStdString();
    const std::string rhs =
        (order.size() == 1 ? markList : QStringLiteral("(%1)").arg(markList)).toStdString();
    first = "SELECT " + cols + source + asc + " LIMIT ?";
    last = "SELECT " + cols + source + desc + " LIMIT ?";
    next = "SELECT " + cols + source + " WHERE " + lhs + " > " + rhs + asc + " LIMIT ?";
    prior = "SELECT " + cols + source + " WHERE " + lhs + " < " + rhs + desc + " LIMIT ?";
    at = "SELECT " + cols + source + " WHERE rowid = ?";
    if (!keys.isEmpty())
        find = "SELECT " + cols + source + " WHERE " + sql::quoted(keys.first()).toStdString() + " = ?" +
               asc + " LIMIT 1";
    count = "SELECT count(*)" + source;
    from = "SELECT " + cols + source + asc + " LIMIT ? OFFSET ?";
    // A place is found on the order's index alone, counted from the nearer
    // end, and the rows are read from the key found there.
    keyAt = "SELECT " + keyList.toStdString() + source + asc + " LIMIT 1 OFFSET ?";
    keyAtEnd = "SELECT " + keyList.toStdString() + source + desc + " LIMIT 1 OFFSET ?";
    fromKey = "SELECT " + cols + source + " WHERE " + lhs + " >= " + rhs + asc + " LIMIT ?";
    // Rows before a key: a smaller first key, or the same one and before it
    // (counted on the first key's index, cheaper than a row value).
    const std::string firstKey = order.first().toStdString();
    if (order.size() == 1) {
        before = "SELECT count(*)" + source + " WHERE " + firstKey + " < ?1";
    } else {
        QStringList rest, restMarks;
        for (int i = 1; i < order.size(); ++i) {
            rest.append(order[i]);
            restMarks.append(QStringLiteral("?%1").arg(i + 1));
        }
        before = "SELECT (SELECT count(*)" + source + " WHERE " + firstKey + " < ?1) + (SELECT count(*)" +
                 source + " WHERE " + firstKey + " = ?1 AND (" + rest.join(QLatin1Char(',')).toStdString() +
                 ") < (" + restMarks.join(QLatin1Char(',')).toStdString() + "))";
    }
}

std::string TableStatements::insert(const QString& table, const QStringList& columns)
{
    const std::string into = "INSERT INTO " + sql::quoted(table).toStdString();
    if (columns.isEmpty())
        return into + " DEFAULT VALUES";
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks.append(QStringLiteral("?"));
    return into + " (" + quotedAll(columns).join(QLatin1Char(',')).toStdString() + ") VALUES (" +
           marks.join(QLatin1Char(',')).toStdString() + ")";
}

std::string TableStatements::update(const QString& table, const QStringList& columns)
{
    QStringList sets;
    for (const auto& c : columns)
        sets.append(sql::quoted(c) + QStringLiteral("=?"));
    return "UPDATE " + sql::quoted(table).toStdString() + " SET " +
           sets.join(QLatin1Char(',')).toStdString() + " WHERE rowid=?";
}

std::string TableStatements::remove(const QString& table)
{
    return "DELETE FROM " + sql::quoted(table).toStdString() + " WHERE rowid=?";
}

} // namespace data
