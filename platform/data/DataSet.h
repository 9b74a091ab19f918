#pragma once

#include "platform/data/Field.h"
#include "platform/data/Link.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

namespace data {

class Database;
class DataLink;

// A row position that survives moves: the order's key values for a table,
// the row number for a query.
struct Bookmark {
    std::vector<QVariant> key;
    bool operator==(const Bookmark&) const = default;
};

// A fetched row: its bookmark and its raw values in field order.
struct Row {
    Bookmark bookmark;
    std::vector<QVariant> values;
};

enum class DataSetState { Inactive, Browse, Edit, Insert };

// A named dataset with one current row. Errors about it are raised as
// rtl::DatabaseError whose message starts with the component's name.
class DataSet {
public:
    explicit DataSet(QString name);
    virtual ~DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    const QString& name() const { return name_; }
    DataSetState state() const { return state_; }
    bool active() const { return state_ != DataSetState::Inactive; }

    void open();
    void close();

    // Navigation over the current order. On an empty dataset they do nothing.
    void first();
    void last();
    void next();  // at the last row sets eof() and stays
    void prior(); // at the first row sets bof() and stays
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    bool isEmpty() const;             // no current row
    virtual qint64 recordCount() = 0; // counted by the engine, no row is kept

    // Fields in row order. Tables use the persistent fields they were given;
    // queries make one field per result column when opened.
    const std::vector<std::unique_ptr<Field>>& fields() const { return fields_; }
    Field* findField(const QString& fieldName) const;   // matched without regard to case
    Field* fieldByName(const QString& fieldName) const; // raises "Field '%s' not found"

    // Raw values of the current row (empty when there is none).
    const std::vector<QVariant>& buffer() const { return buffer_; }

    // Bound controls: rows around a position, and moving to a row.
    // fetchRows gives up to `count` rows strictly after (forward) or before
    // (backward, nearest first) `from`; without `from`, from the start or the
    // end. It does not move the current row.
    virtual std::vector<Row> fetchRows(const std::optional<Bookmark>& from, int count, bool forward) = 0;
    // Places in the current order, counted from 0, for scroll bars and jumps.
    // positionOf gives -1 for a row that is not there; fetchRowsFrom gives up
    // to `count` rows from `position` on. Neither moves the current row.
    virtual qint64 positionOf(const Bookmark& bookmark) = 0;
    virtual std::vector<Row> fetchRowsFrom(qint64 position, int count) = 0;
    std::optional<Bookmark> bookmark() const
    {
        return isEmpty() ? std::nullopt : std::optional(current_.bookmark);
    }
    void gotoBookmark(const Bookmark& bookmark);

    // Bound listeners; a listener destroyed first leaves by itself.
    void addLink(DataLink* link);
    void removeLink(DataLink* link);

    // Walking many rows (a report) need not redraw bound controls at each
    // step: between these calls they are told nothing, and once at the end.
    // Calls nest.
    void disableControls();
    void enableControls();

    // "<name>: <message>"
    [[noreturn]] void raise(const QString& message) const;

protected:
    virtual void doOpen() = 0;
    virtual void doClose() = 0;
    // The row next to `from` in the direction given, or without `from` the
    // first or the last row; false when there is none. The default comes from
    // fetchRows; a dataset reads a row by its bookmark itself.
    virtual bool fetchOne(const std::optional<Bookmark>& from, bool forward, Row& row);
    virtual bool fetchAt(const Bookmark& at, Row& row) = 0;

    void setCurrent(const Row& row);
    void clearCurrent();
    void moveTo(const Row& row); // a found row becomes current and the controls follow
    virtual void doCancel() {}
    void setState(DataSetState state) { state_ = state; }
    std::vector<QVariant>& editBuffer() { return buffer_; }
    const Row& currentRow() const { return current_; }
    bool hasCurrent() const { return hasCurrent_; }
    void checkActive() const;
    void dropPending(); // a change still pending when the row moves is dropped
    std::vector<std::unique_ptr<Field>>& mutableFields() { return fields_; }
    // A new field at the end of the row.
    Field* makeField(const QString& componentName, const QString& fieldName, FieldType type, int size);

    // Tell bound controls.
    void notifyDataSetChanged();
    void notifyRecordChanged();

    friend class Field;

private:
    // first/last (restart) and next/prior: one move, either way. Returns
    // whether the current row changed.
    bool move(bool forward, bool restart);

    QString name_;
    DataSetState state_ = DataSetState::Inactive;
    std::vector<std::unique_ptr<Field>> fields_;
    Row current_;
    std::vector<QVariant> buffer_;
    bool hasCurrent_ = false;
    bool eof_ = true;
    bool bof_ = true;
    LinkList links_;
    int controlsDisabled_ = 0;
    bool changedWhileDisabled_ = false;
};

// Something bound to a dataset (through a data source).
class DataLink : public Link {
public:
    // Opened, closed, rows added, removed or changed.
    virtual void dataSetChanged() {}
    // The current row moved, or its values changed.
    virtual void recordChanged() {}
};

} // namespace data
