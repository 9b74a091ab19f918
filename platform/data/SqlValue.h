#pragma once

// Internal to the data layer: moving values between statements and rows.

#include "platform/data/Field.h"

#include <QVariant>
#include <SQLiteCpp/SQLiteCpp.h>

namespace data::sql {

// A column value as the field type keeps it: QString, double, qint64, QDate
// or the null QVariant.
QVariant read(const SQLite::Column& column, FieldType type);
// A column value as stored (for bookmarks).
QVariant readRaw(const SQLite::Column& column);
void bind(SQLite::Statement& st, int index, const QVariant& value);
// The field type a declared column type stands for; width of text types.
FieldType typeOfDeclared(const QString& declared, int* width = nullptr);
QString quoted(const QString& identifier);

} // namespace data::sql
