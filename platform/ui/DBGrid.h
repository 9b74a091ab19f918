#pragma once

#include "platform/data/DataSet.h"
#include "platform/data/DataSource.h"
#include "platform/ui/GridModel.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace data {
class DataSource;
class Field;
} // namespace data

namespace ui {

// A read-only grid on a data source: one row per dataset row, a title row, an
// indicator column marking the current row. It follows the dataset's current
// row, and clicks, arrow keys, the wheel and the scroll bar move it.
//
// Rows are fetched as they are shown: the grid keeps the rows of its window
// plus one window's worth on either side, never the whole dataset.
//
// Vertical scroll bar: it stands for the current row. A result of up to
// kExactLimit rows is held whole, so the bar is exact (one step per row).
// For a larger result the grid learns its size from nothing cheaper than a
// full count, so it does not ask: the bar has three positions, at the top
// when the current row is the first, at the bottom when it is the last, and
// in the middle otherwise; dragging it to either end goes to the first or the
// last row, its arrows and page areas move by a row or a page.
class DBGrid : public QAbstractScrollArea {
    Q_OBJECT
    Q_PROPERTY(bool readOnly READ isReadOnly WRITE setReadOnly)
    Q_PROPERTY(bool showTitles READ showTitles WRITE setShowTitles)
    Q_PROPERTY(bool showIndicator READ showIndicator WRITE setShowIndicator)
    Q_PROPERTY(bool columnLines READ columnLines WRITE setColumnLines)
    Q_PROPERTY(bool rowLines READ rowLines WRITE setRowLines)
    Q_PROPERTY(bool tabsBetweenColumns READ tabsBetweenColumns WRITE setTabsBetweenColumns)

public:
    static constexpr int kExactLimit = 500;
    static constexpr int kIndicatorWidth = 11;

    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;

    void setDataSource(data::DataSource* source);
    data::DataSource* dataSource() const { return link_.dataSource(); }
    data::DataSet* dataSet() const;

    // An empty list shows every field of the dataset in result order.
    void setColumns(std::vector<DBGridColumn> columns);
    const std::vector<DBGridColumn>& ownColumns() const { return ownColumns_; }

    // Always read-only; the setter only takes the forms' property.
    bool isReadOnly() const { return true; }
    void setReadOnly(bool) {}
    bool showTitles() const { return showTitles_; }
    void setShowTitles(bool on);
    bool showIndicator() const { return showIndicator_; }
    void setShowIndicator(bool on);
    bool columnLines() const { return columnLines_; }
    void setColumnLines(bool on);
    bool rowLines() const { return rowLines_; }
    void setRowLines(bool on);
    bool tabsBetweenColumns() const { return tabs_; }
    void setTabsBetweenColumns(bool on) { tabs_ = on; }

    // What the grid shows, as the user sees it (brought up to date first).
    int columnCount();
    QString columnTitle(int column);
    int columnWidth(int column);
    QString columnFieldName(int column);
    int rowCount();                   // rows on screen
    QString cellText(int row, int column);
    int currentRow();                 // screen row of the current row, -1 without one
    int currentColumn() const { return curCol_; }
    void setCurrentColumn(int column);
    bool exactScrollBar();            // see the class comment
    int fetchedRowCount();            // rows held in memory
    int rowsThatFit() const;
    QRect cellRect(int row, int column); // viewport coordinates

    // Brings the shown rows up to date with the dataset now (the grid
    // otherwise does it before it paints).
    void synchronize();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void changeEvent(QEvent* event) override;

private:

    enum class Dirty { None, Record, Full };

    struct ShownColumn {
        QString fieldName;
        QString title;
        int width = 0;
        QFont titleFont;
        QColor color;
        data::Field* field = nullptr;
        bool rightAligned = false;
    };

    void invalidate(Dirty level);
    void scheduleSync();
    void ensureSynced();
    void sync(Dirty level);
    void resolveColumns();
    int defaultWidth(const data::Field* field, const QString& title) const;
    void reloadAround(const data::Bookmark& current, int screenPos);
    void reloadWhole(const data::Bookmark& current, int screenPos);
    void showPendingInsert();
    void clearRows();
    void placeCurrent(int screenPos);
    int indexOf(const data::Bookmark& bookmark) const;
    void updateScrollBars();
    int rowHeight() const;
    int titleHeight() const;
    int dataLeft() const;
    int columnLeft(int column) const; // content coordinates
    int totalWidth() const;

    // User moves; each goes through the dataset so every bound control follows.
    void userAction(const std::function<void()>& action);
    void moveBy(int rows);
    void moveToFirst();
    void moveToLast();
    void moveToShownRow(int row);
    void onScrollAction(int action);
    void ensureColumnVisible(int column);

    data::SourceLink link_;
    std::vector<DBGridColumn> ownColumns_;
    std::vector<ShownColumn> columns_;

    // Fetched rows: the window plus margins (large results) or all rows.
    std::vector<data::Row> rows_;
    int top_ = 0;   // index in rows_ of the first row on screen
    int cur_ = -1;  // index in rows_ of the current row
    bool exact_ = true;
    bool atStart_ = true; // rows_ begins with the dataset's first row
    bool atEnd_ = true;   // rows_ ends with its last row
    bool insertShown_ = false;
    int curCol_ = 0;
    int wheelDelta_ = 0;

    Dirty dirty_ = Dirty::Full;
    bool syncQueued_ = false;
    bool syncing_ = false;
    bool settingScrollBar_ = false;

    bool showTitles_ = true;
    bool showIndicator_ = true;
    bool columnLines_ = true;
    bool rowLines_ = true;
    bool tabs_ = true;
};

} // namespace ui
