#pragma once

#include "platform/data/DataSet.h"

#include <QDate>
#include <memory>

namespace data {

class Database;

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

// A read-only result of an SQL statement. Rows are fetched as they are
// needed, never all at once.
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

    qint64 recordCount() override;
    std::vector<Row> fetchRows(const std::optional<Bookmark>& from, int count, bool forward) override;

    // Names parsed from a statement's text (exposed for tests).
    static QStringList parseParamNames(const QString& text);

protected:
    void doOpen() override;
    void doClose() override;
    bool fetchAt(const Bookmark& at, Row& row) override;

private:
    void bindParams();
    bool fetchUpTo(size_t index); // reads rows up to `index`; false when the result ends before
    [[noreturn]] void raiseEngine(const std::exception& e) const;

    struct Impl;
    std::unique_ptr<Impl> d;
    QString alias_;
    QStringList sql_;
    std::vector<std::unique_ptr<Param>> params_;
    std::shared_ptr<Database> db_;
};

} // namespace data
