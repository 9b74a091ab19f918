#pragma once

#include "platform/data/DataSet.h"

#include <memory>

namespace data {

class Database;
class Statement;

// A stored table opened by alias and file name ("Barang.db" is the table
// Barang). It walks its current order with keyed look-ups, so opening and
// moving cost the same whatever the table's size.
class Table : public DataSet {
public:
    explicit Table(QString name);
    ~Table() override;

    void setDatabaseName(const QString& alias) { alias_ = alias; }
    void setTableName(const QString& fileName) { fileName_ = fileName; }
    const QString& databaseName() const { return alias_; }
    const QString& tableName() const { return fileName_; }

    // A persistent field; call before open(). Owned by the table.
    Field* addField(const QString& componentName, const QString& fieldName, FieldType type, int size = 0);

    // Secondary index by name, matched without regard to case; the empty
    // name is the default order. The current row stays current.
    void setIndexName(const QString& indexName);
    const QString& indexName() const { return indexName_; }

    // Looks a row up by the first key field of the current index. The value is
    // cut to that field's width first. Found: that row becomes current. Not
    // found: the current row stays as it was.
    bool findKey(const QString& value);

    void append();       // a new empty row becomes current (Insert state)
    void edit();         // the current row in place (Edit state)
    void post();         // store it; a failure drops the change and raises
    void cancel();       // drop the change
    void deleteRecord(); // the next row, or at the end the previous one, becomes current

    qint64 recordCount() override;
    std::vector<Row> fetchRows(const std::optional<Bookmark>& from, int count, bool forward) override;
    qint64 positionOf(const Bookmark& bookmark) override;
    std::vector<Row> fetchRowsFrom(qint64 position, int count) override;

    Database* database() const { return db_.get(); }

    // Re-reads the current row from storage (after a rolled-back transaction).
    void refresh();

protected:
    void doOpen() override;
    void doClose() override;
    bool fetchAt(const Bookmark& at, Row& row) override;

private:
    std::vector<Row> readRows(Statement& st) const;
    qint64 insertRow(); // the new row's id
    qint64 updateRow();

    struct Impl;
    std::unique_ptr<Impl> d;
    QString alias_;
    QString fileName_;
    QString indexName_;
    std::shared_ptr<Database> db_;
};

} // namespace data
