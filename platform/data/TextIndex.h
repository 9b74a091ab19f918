#pragma once

// Internal to the data layer: the engine's own index of the pieces of a text
// column, which answers a LIKE pattern that begins with a wildcard without
// reading the whole table. The program never names it.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <string>
#include <utility>
#include <vector>

namespace data {

class Database;

namespace textindex {

// Makes the index of `table`.`column` from the rows there are, and the
// triggers that keep it in step with every later change.
QStringList statements(const QString& table, const QString& column);

// What to run for `sql` with these parameter values: for a statement
// "SELECT <columns> FROM <table> WHERE <column> LIKE :<name>" whose column
// has an index, and a pattern that the index narrows (it begins with a
// wildcard and holds three characters in a row that are none), the same rows
// in the same order through the index; otherwise `sql` itself. A column
// without the index is given one at the connection's next write.
std::string plan(Database& db, const std::string& sql,
                 const std::vector<std::pair<QByteArray, QVariant>>& values);

// For a statement of that shape, the count of its rows in a range of the
// table's rowids (:tk_lo to :tk_hi), read from the table alone, beside the
// connection's total_changes(); and the table's first and last rowid beside
// the same. Empty for any other statement.
struct RangeCount {
    std::string bounds;
    std::string range;
};
RangeCount rangeCount(const std::string& sql);

} // namespace textindex
} // namespace data
