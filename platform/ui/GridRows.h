#pragma once

#include "platform/data/DataSet.h"
#include "platform/data/DataSource.h"

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

namespace ui {

// The rows a grid shows, read from its data source around the dataset's
// current row: the rows on screen plus a screenful on either side, never the
// whole table or result. It also knows the current row's place in the whole
// result and the result's size, for a proportional scroll bar.
//
// The dataset tells it of changes in the middle of its own operations, so it
// only notes them (invalidated) and reads rows when asked (synchronize). The
// place and size are found later, through the event loop, unless the rows
// already show them: counting a large result must not hold up the first rows
// on screen, nor a query's count the next key (it goes on in short steps). The grid's own moves tell it where
// they go, so moving never asks for a place.
class GridRows : public QObject {
    Q_OBJECT

public:
    explicit GridRows(QObject* parent = nullptr);
    ~GridRows() override;

    void setDataSource(data::DataSource* source);
    data::DataSource* dataSource() const { return link_.dataSource(); }
    data::DataSet* dataSet() const { return link_.dataSet(); }

    // Rows on screen; the window holds this many on either side as well.
    void setVisibleRows(int rows);
    int visibleRows() const { return visible_; }

    // Reads the rows now if the dataset changed. A read that fails leaves no
    // rows and reports failed().
    void synchronize();
    // Finds the current row's place and the result's size now if unknown.
    void measure();

    // What is on screen, as of the last synchronize().
    int shownCount() const;
    const std::vector<QVariant>* shownValues(int row) const; // raw values in field order
    int currentRow() const { return cur_ >= 0 ? cur_ - top_ : -1; }
    int heldCount() const { return int(rows_.size()); }
    // Place of the current row counted from 0, and the result's size; -1
    // while unknown (see measured()).
    qint64 currentPosition() const;
    qint64 resultSize() const { return size_; }

    // Moves of the dataset's current row, so every bound control follows.
    // Errors of the dataset propagate.
    void moveBy(int rows);
    void moveToFirst();
    void moveToLast();
    void moveToShownRow(int row);
    void moveToPosition(qint64 position);

signals:
    // The dataset changed; `fields`: its fields may have been replaced.
    void invalidated(bool fields);
    void aboutToChange();
    void changed(bool fields);
    void measured();
    void failed(const QString& message);

protected:
    bool event(QEvent* event) override;

private:
    enum class Dirty { None, Record, Full };
    struct Expected {
        data::Bookmark bookmark;
        qint64 position;
    };

    void invalidate(Dirty level);
    void sync(Dirty level);
    void reloadAround(data::DataSet& ds, const data::Bookmark& current, int screenPos);
    void showPendingInsert();
    void clear();
    void placeCurrent(int screenPos);
    void derivePlace();
    void measure(bool inSteps);
    bool countStep(data::DataSet& ds); // false while a query's count goes on
    void countRows(data::DataSet& ds);
    int indexOf(const data::Bookmark& bookmark) const;
    void scheduleMeasure();
    void goTo(const data::Bookmark& target, qint64 position);

    data::SourceLink link_;
    std::vector<data::Row> rows_;
    int top_ = 0;          // index in rows_ of the first row on screen
    int cur_ = -1;         // index in rows_ of the current row
    bool atStart_ = true;  // rows_ begins with the result's first row
    bool atEnd_ = true;    // rows_ ends with its last row
    qint64 firstPos_ = -1; // place of rows_[0] in the result, -1 unknown
    qint64 size_ = 0;      // -1 unknown
    bool insertShown_ = false;
    int visible_ = 1;
    std::optional<Expected> expected_;

    Dirty dirty_ = Dirty::Full;
    bool syncing_ = false;
    bool measureQueued_ = false;
    bool measuring_ = false;
};

} // namespace ui
