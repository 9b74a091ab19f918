#include "platform/data/SqlValue.h"

#include <QDate>
#include <QRegularExpression>
#include <sqlite3.h>

namespace data::sql {

QVariant readRaw(const SQLite::Column& column)
{
    switch (column.getType()) {
    case SQLITE_INTEGER:
        return QVariant(qint64(column.getInt64()));
    case SQLITE_FLOAT:
        return QVariant(column.getDouble());
    case SQLITE_NULL:
        return QVariant();
    default:
        return QVariant(QString::fromUtf8(column.getText()));
    }
}

QVariant read(const SQLite::Column& column, FieldType type)
{
    if (column.isNull())
        return QVariant();
    switch (type) {
    case FieldType::String:
        if (column.getType() == SQLITE_FLOAT || column.getType() == SQLITE_INTEGER)
            return QVariant(readRaw(column).toString());
        return QVariant(QString::fromUtf8(column.getText()));
    case FieldType::Float:
        return QVariant(column.getDouble());
    case FieldType::Integer:
    case FieldType::AutoInc:
        return QVariant(qint64(column.getInt64()));
    case FieldType::Date: {
        const QDate d = QDate::fromString(QString::fromUtf8(column.getText()).left(10), Qt::ISODate);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    }
    return readRaw(column);
}

void bind(SQLite::Statement& st, int index, const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        st.bind(index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        st.bind(index, value.toDouble());
        return;
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        st.bind(index, static_cast<int64_t>(value.toLongLong()));
        return;
    case QMetaType::QDate:
        st.bind(index, value.toDate().toString(Qt::ISODate).toStdString());
        return;
    case QMetaType::QDateTime:
        st.bind(index, value.toDateTime().date().toString(Qt::ISODate).toStdString());
        return;
    default:
        st.bind(index, value.toString().toStdString());
        return;
    }
}

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
    if (d.contains(QLatin1String("CHAR")) || d.contains(QLatin1String("TEXT")) || d.contains(QLatin1String("CLOB")))
        return FieldType::String;
    if (d.contains(QLatin1String("INT")))
        return FieldType::Integer;
    if (d.contains(QLatin1String("REAL")) || d.contains(QLatin1String("FLOA")) || d.contains(QLatin1String("DOUB")) ||
        d.contains(QLatin1String("NUM")))
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
