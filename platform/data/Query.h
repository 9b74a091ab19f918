#pragma once

#include "platform/data/DataSet.h"

#include <QByteArray>
#include <QDate>
#include <memory>

namespace data {

class Database;
class Statement;

enum class ParamType { Unknown, String, Date };

// A named parameter of a statement. Its type is fixed by the value set.
class Param {
public:
    explicit Param(QString name) : name_(std::move(name)) {}
    const QString& name() const { return name_; }
    ParamType dataType() const { return type_; }
    const QVariant& value() const { return value_; }
    void setAsString(const QString& text);
    void setAsDate(const QDate& date);
    void clear();

private:
    QString name_;
    ParamType type_ = ParamType::Unknown;
    QVariant value_;
};

// A read-only result of an SQL statement. Rows are read as they are needed
// into a small window around the ones last asked for; the result is never
// held whole, and no statement stays open once the program waits for the
// user (a walk from row to row within one event goes on where it was).
// Bookmarks are row numbers in the result, which is run again from a place
// when a row outside the window is wanted.
class Query : public DataSet {
public:
    explicit Query(QString name);
    ~Query() override;

    void setDatabaseName(const QString& alias) { alias_ = alias; }
    const QString& databaseName() const { return alias_; }

    // The statement as lines; its text is the lines joined by CR LF.
    void setSql(const QStringList& lines);
    const QStringList& sql() const { return sql_; }
    QString text() const;

    // Parameters as the statement names them: a colon and a name that ends
    // at a blank, comma, semicolon, closing parenthesis or line end.
    const std::vector<std::unique_ptr<Param>>& params() const { return params_; }
    Param& paramByName(const QString& name); // raises "Parameter '%s' not found"

    // Compiles the statement; only on a closed query.
    void prepare();

    // Runs a statement that returns no rows (INSERT, UPDATE, DELETE, DDL).
    void execSql();

    qint64 recordCount() override; // counted by the engine once per opening
    // The same count in steps of about `budgetMs` each, for a caller that
    // goes on between events: the count once known, nothing until then.
    // Every step is a read of its own, so none outlives the event; a change
    // of the database meanwhile starts the count again.
    std::optional<qint64> countStep(double budgetMs);
    std::vector<Row> fetchRows(const std::optional<Bookmark>& from, int count, bool forward) override;
    qint64 positionOf(const Bookmark& bookmark) override;
    std::vector<Row> fetchRowsFrom(qint64 position, int count) override;

    // Names parsed from a statement's text (exposed for tests).
    static QStringList parseParamNames(const QString& text);

protected:
    void doOpen() override;
    void doClose() override;
    bool fetchAt(const Bookmark& at, Row& row) override;

private:
    class Walk;
    // Parameter values the statement names; raises for one without a value.
    std::vector<std::pair<QByteArray, QVariant>> parameterValues(const Statement& st) const;
    std::vector<Row> readRows(qint64 start, qint64 count, qint64 before);
    void startRun(qint64 from);
    void seek(qint64 row, qint64 before);
    bool readNext();
    qint64 countRows();
    bool countRange(double budgetMs);

    struct Impl;
    std::unique_ptr<Impl> d;
    QString alias_;
    QStringList sql_;
    std::vector<std::unique_ptr<Param>> params_;
    std::shared_ptr<Database> db_;
};

} // namespace data
