#pragma once

// Internal to the data layer: declared types and quoted names.

#include "platform/data/Field.h"

#include <QString>

namespace data::sql {

// The field type a declared column type stands for; width of text types.
FieldType typeOfDeclared(const QString& declared, int* width = nullptr);
QString quoted(const QString& identifier);

} // namespace data::sql
