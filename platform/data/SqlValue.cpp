#include "platform/data/SqlValue.h"

#include <QRegularExpression>

namespace data::sql {

FieldType typeOfDeclared(const QString& declared, int* width)
{
    const QString d = declared.toUpper();
    if (width) {
        static const QRegularExpression size(QStringLiteral("\\((\\d+)"));
        const auto m = size.match(d);
        *width = m.hasMatch() ? m.captured(1).toInt() : 0;
    }
    if (d.contains(QLatin1String("DATE")))
        return FieldType::Date;
    if (d.contains(QLatin1String("CHAR")) || d.contains(QLatin1String("TEXT")) ||
        d.contains(QLatin1String("CLOB")))
        return FieldType::String;
    if (d.contains(QLatin1String("INT")))
        return FieldType::Integer;
    if (d.contains(QLatin1String("REAL")) || d.contains(QLatin1String("FLOA")) ||
        d.contains(QLatin1String("DOUB")) || d.contains(QLatin1String("NUM")))
        return FieldType::Float;
    return FieldType::String;
}

QString quoted(const QString& identifier)
{
    QString q = identifier;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

} // namespace data::sql
