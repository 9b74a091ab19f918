#include "platform/data/Statement.h"

#include "platform/data/DataSet.h"
#include "platform/rtl/Errors.h"

#include <QDate>
#include <QDateTime>
#include <sqlite3.h>

namespace data {

Statement::Statement(Database& db, const std::string& sql, const DataSet* owner)
    : db_(db), slot_(db.borrow(sql, owner)), owner_(owner)
{
}

Statement::~Statement()
{
    db_.giveBack(slot_);
}

void Statement::fail(int code)
{
    // The message is read first; the reset then leaves nothing in progress.
    const QString message = db_.failure(code);
    rewind();
    Database::raise(message, owner_);
}

void Statement::bind(int index, const QVariant& value)
{
    sqlite3_stmt* h = slot_.handle;
    int rc;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(h, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(h, index, value.toDouble());
            break;
        case QMetaType::LongLong:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            rc = sqlite3_bind_int64(h, index, value.toLongLong());
            break;
        default: {
            const QByteArray text = value.typeId() == QMetaType::QDate
                                        ? value.toDate().toString(Qt::ISODate).toUtf8()
                                    : value.typeId() == QMetaType::QDateTime
                                        ? value.toDateTime().date().toString(Qt::ISODate).toUtf8()
                                        : value.toString().toUtf8();
            rc = sqlite3_bind_text(h, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        fail(rc);
}

bool Statement::hasParameter(const QByteArray& name) const
{
    return sqlite3_bind_parameter_index(slot_.handle, name.constData()) > 0;
}

bool Statement::bind(const QByteArray& name, const QVariant& value)
{
    const int index = sqlite3_bind_parameter_index(slot_.handle, name.constData());
    if (index > 0)
        bind(index, value);
    return index > 0;
}

bool Statement::step()
{
    if (slot_.done)
        return false;
    sqlite3_stmt* h = slot_.handle;
    if (!sqlite3_stmt_busy(h) && !sqlite3_stmt_readonly(h))
        db_.beforeWrite();
    const int rc = sqlite3_step(h);
    if (rc == SQLITE_ROW) {
        ++slot_.position;
        return true;
    }
    if (rc == SQLITE_DONE) {
        slot_.done = true;
        return false;
    }
    fail(rc);
}

void Statement::run()
{
    while (step()) {
    }
}

void Statement::rewind()
{
    sqlite3_reset(slot_.handle);
    slot_.position = 0;
    slot_.done = false;
}

long long Statement::position() const
{
    return slot_.position;
}

void Statement::park()
{
    slot_.parked = true;
    db_.watchEventLoop();
}

void Statement::unpark()
{
    slot_.parked = false;
}

int Statement::columnCount() const
{
    return sqlite3_column_count(slot_.handle);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(slot_.handle, column));
}

QString Statement::declaredType(int column) const
{
    return QString::fromUtf8(sqlite3_column_decltype(slot_.handle, column));
}

int Statement::columnType(int column) const
{
    return sqlite3_column_type(slot_.handle, column);
}

FieldType Statement::storedType(int column) const
{
    switch (columnType(column)) {
    case SQLITE_INTEGER:
        return FieldType::Integer;
    case SQLITE_FLOAT:
        return FieldType::Float;
    default:
        return FieldType::String;
    }
}

long long Statement::integer(int column) const
{
    return sqlite3_column_int64(slot_.handle, column);
}

QString Statement::text(int column) const
{
    sqlite3_stmt* h = slot_.handle;
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(h, column));
    return QString::fromUtf8(p, sqlite3_column_bytes(h, column));
}

QVariant Statement::raw(int column) const
{
    switch (columnType(column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(integer(column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(slot_.handle, column));
    case SQLITE_NULL:
        return QVariant();
    default:
        return QVariant(text(column));
    }
}

QVariant Statement::value(int column, FieldType type) const
{
    const int stored = columnType(column);
    if (stored == SQLITE_NULL)
        return QVariant();
    switch (type) {
    case FieldType::String:
        if (stored == SQLITE_FLOAT || stored == SQLITE_INTEGER)
            return QVariant(raw(column).toString());
        return QVariant(text(column));
    case FieldType::Float:
        return QVariant(sqlite3_column_double(slot_.handle, column));
    case FieldType::Integer:
    case FieldType::AutoInc:
        return QVariant(qint64(integer(column)));
    case FieldType::Date: {
        const QDate d = QDate::fromString(text(column).left(10), Qt::ISODate);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    }
    return raw(column);
}

} // namespace data
