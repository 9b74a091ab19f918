#pragma once

// Internal to the data layer: the statements a table runs, as text.

#include <QString>
#include <QStringList>

#include <string>

namespace data {

// The reading statements for one order of a table. Names are as stored,
// unquoted. A row is read as the selected columns, then the order's key:
// the key columns and the rowid, which makes the order total.
struct TableStatements {
    TableStatements() = default;
    TableStatements(const QString& table, const QStringList& selected, const QStringList& keys);

    int orderSize = 0;                    // values in a row's key
    std::string first, last, next, prior; // LIMIT ?; next and prior after the key bound first
    std::string at;                       // the row of a rowid
    std::string find;            // the first row whose first key column is ?; empty without key columns
    std::string count;           // all rows
    std::string from;            // LIMIT ? OFFSET ?
    std::string before;          // how many rows come before a key
    std::string keyAt, keyAtEnd; // the key at a place, counted from either end
    std::string fromKey;         // rows from a key on, LIMIT ?

    // Writing statements: values bound in the order of `columns`; update and
    // remove then take the rowid.
    static std::string insert(const QString& table, const QStringList& columns);
    static std::string update(const QString& table, const QStringList& columns);
    static std::string remove(const QString& table);
};

} // namespace data
