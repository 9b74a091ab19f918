#pragma once

// Internal to the data layer: the one way a statement runs.

#include "platform/data/Database.h"
#include "platform/data/Field.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <string>

namespace data {

class DataSet;

// One run of an SQL statement, borrowed from the connection's prepared
// statements. An engine failure leaves as rtl::DatabaseError with the
// layer's message (after "<name>: " when a dataset is given), and the
// statement is reset on every way out: when this object goes, after a
// failure, and - while parked between two calls - when the program waits
// for the user. Writing statements switch the file to its log mode first.
class Statement {
public:
    Statement(Database& db, const std::string& sql, const DataSet* owner = nullptr);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters by position (from 1) or by name (with its colon); binding a
    // name the statement does not hold does nothing.
    void bind(int index, const QVariant& value);
    bool bind(const QByteArray& name, const QVariant& value);
    bool hasParameter(const QByteArray& name) const;

    bool step();                // the next row; false at the end
    void run();                 // every row, for statements that return none
    void rewind();              // from the start again, with the same values
    long long position() const; // rows stepped since the run began

    int columnCount() const;
    QString columnName(int column) const;
    QString declaredType(int column) const; // empty for an expression
    FieldType storedType(int column) const; // what the current value is stored as: Integer, Float or String
    QVariant value(int column, FieldType type) const; // as the field type keeps it
    QVariant raw(int column) const;                   // as stored
    long long integer(int column) const;
    QString text(int column) const;

    // A statement kept between calls (a query's walk) is parked while no call
    // runs on it; the connection may then reset it, and its next step starts
    // the run again.
    void park();
    void unpark();

private:
    [[noreturn]] void fail(int code);
    int columnType(int column) const; // the engine's type code of the current value

    Database& db_;
    Database::Slot& slot_;
    const DataSet* owner_;
};

} // namespace data
