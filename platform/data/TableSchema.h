#pragma once

// Internal to the data layer: a stored table's columns and indexes.

#include "platform/data/Field.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace data {

class Database;

struct TableSchema {
    struct Column {
        QString name;
        FieldType type;
        int width;
    };
    struct Index {
        QString name;
        QStringList columns;
    };

    // The table of that name, matched without regard to case; nothing when
    // the database has none.
    static std::optional<TableSchema> read(Database& db, const QString& name);

    // Matched without regard to case; null when there is none.
    const Column* column(const QString& name) const;
    const Index* index(const QString& name) const;

    QString sqlName; // as stored
    std::vector<Column> columns;
    std::vector<Index> indexes;
    QStringList primary; // key columns of the primary index; empty: none or rowid
};

} // namespace data
