#pragma once

#include "platform/ui/GridModel.h"
#include "platform/ui/GridRows.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QRegion>
#include <QString>
#include <QVariant>
#include <functional>
#include <map>
#include <vector>

namespace data {
class DataSet;
class DataSource;
} // namespace data

namespace ui {

// A grid on a data source: a title row, an indicator column marking the
// current row, one row per dataset row. It follows the dataset's current row;
// clicks, keys, the wheel and the scroll bar move it. It shows what its model
// (GridModel over GridRows) holds: the rows on screen and a screenful on
// either side, never the whole dataset.
//
// The vertical scroll bar stands for the current row's place in the whole
// result: dragging it to the middle goes to the middle row, at any size. The
// place and size may be found after the first rows are painted; the bar is
// set then.
//
// Nothing is typed into a grid: it offers no cell editing, inserting or
// deleting.
class DBGrid : public QAbstractScrollArea {
    Q_OBJECT
    Q_PROPERTY(bool showTitles READ showTitles WRITE setShowTitles)
    Q_PROPERTY(bool showIndicator READ showIndicator WRITE setShowIndicator)
    Q_PROPERTY(bool columnLines READ columnLines WRITE setColumnLines)
    Q_PROPERTY(bool rowLines READ rowLines WRITE setRowLines)
    Q_PROPERTY(bool tabsBetweenColumns READ tabsBetweenColumns WRITE setTabsBetweenColumns)
    Q_PROPERTY(bool columnResizing READ columnResizing WRITE setColumnResizing)

public:
    static constexpr int kIndicatorWidth = 11;
    static constexpr int kCellMargin = 4; // two pixels either side of a cell's text

    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;

    void setDataSource(data::DataSource* source);
    data::DataSource* dataSource() const { return rows_.dataSource(); }
    data::DataSet* dataSet() const { return rows_.dataSet(); }
    GridRows& rows() { return rows_; }
    GridModel& model() { return model_; }

    // An empty list shows every field of the dataset in result order.
    void setColumns(std::vector<DBGridColumn> columns);
    const std::vector<DBGridColumn>& ownColumns() const { return model_.ownColumns(); }

    // Options; all are on by default.
    bool showTitles() const { return showTitles_; }
    void setShowTitles(bool on);
    bool showIndicator() const { return showIndicator_; }
    void setShowIndicator(bool on);
    bool columnLines() const { return columnLines_; }
    void setColumnLines(bool on);
    bool rowLines() const { return rowLines_; }
    void setRowLines(bool on);
    void setGridLines(bool on); // both
    bool tabsBetweenColumns() const { return tabs_; }
    void setTabsBetweenColumns(bool on) { tabs_ = on; }
    bool columnResizing() const { return resizable_; }
    void setColumnResizing(bool on) { resizable_ = on; }

    // What the grid shows, as the user sees it (brought up to date first).
    int columnCount();
    QString columnTitle(int column);
    int columnWidth(int column);
    QString columnFieldName(int column);
    int rowCount(); // rows on screen
    QString cellText(int row, int column);
    int currentRow(); // screen row of the current row, -1 without one
    int currentColumn() const { return curCol_; }
    void setCurrentColumn(int column);
    int fetchedRowCount(); // rows held in memory
    int rowsThatFit() const;
    QRect cellRect(int row, int column); // viewport coordinates
    QRect titleRect(int column);

    // Brings the rows, the current row's place and the result's size up to
    // date now (the grid otherwise reads rows before it paints and finds the
    // place and size afterwards).
    void synchronize();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void changeEvent(QEvent* event) override;

private:
    void onInvalidated();
    void ensureSynced();
    void layoutColumns();
    int defaultWidth(int column) const;
    QFont titleFont(int column) const;
    void updateScrollBars();
    int toBar(qint64 position) const;
    qint64 fromBar(int value) const;
    int rowHeight() const;
    int titleHeight() const;
    int dataLeft() const;
    int columnLeft(int column) const; // content coordinates
    int totalWidth() const;
    int borderAt(const QPoint& pos) const; // column whose title's right border is at pos, -1 none

    // User moves go through the dataset, so every bound control follows; an
    // error goes to the error window.
    void userAction(const std::function<void()>& action);
    // What the viewport shows, row by row, to repaint only the rows that
    // changed since the last paint.
    struct Looks {
        std::vector<QVariant> frame;             // everything that is not a row
        std::vector<std::vector<QVariant>> rows; // per screen row
    };
    Looks looks() const;
    void updateChanged(const QRegion& painted);
    void onScrollAction(int action);
    void ensureColumnVisible(int column);

    GridRows rows_;
    GridModel model_;
    std::vector<int> widths_;
    std::map<int, int> userWidths_; // columns the user resized
    int curCol_ = 0;
    int wheelDelta_ = 0;
    qint64 barSize_ = 0; // the result size the scroll bar's range stands for
    Looks painted_;      // as of the last paint
    bool resetWhilePainting_ = false;
    struct TitleWidth {
        QFont font;
        QString title;
        int width;
    };
    mutable std::vector<TitleWidth> titleWidths_;
    bool syncQueued_ = false;
    bool painting_ = false;
    bool settingScrollBar_ = false;
    int resizing_ = -1;
    int resizeFrom_ = 0;

    bool showTitles_ = true;
    bool showIndicator_ = true;
    bool columnLines_ = true;
    bool rowLines_ = true;
    bool tabs_ = true;
    bool resizable_ = true;
};

} // namespace ui
