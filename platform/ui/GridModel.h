#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QString>
#include <optional>
#include <vector>

namespace data {
class Field;
} // namespace data

namespace ui {

class GridRows;

// One column of a grid's own column list.
struct DBGridColumn {
    QString fieldName;
    QString title{};                  // empty: headed by the field name
    int width = -1;                   // negative: the default width for the field
    std::optional<QFont> titleFont{}; // unset: the grid's font
    QColor color{};                   // invalid: the grid's base colour
};

// The table a grid shows: one row per row on screen (GridRows), one column per
// field of the dataset in result order, or per column of the grid's own list.
// Cells are the fields' display texts, numbers aligned right; titles are the
// columns' titles in their fonts; cells take their column's colour.
class GridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit GridModel(GridRows* rows, QObject* parent = nullptr);

    GridRows* rows() const { return rows_; }

    // An empty list shows every field of the dataset in result order.
    void setColumns(std::vector<DBGridColumn> columns);
    const std::vector<DBGridColumn>& ownColumns() const { return own_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    QString fieldName(int column) const;
    data::Field* field(int column) const; // nullptr when the dataset has no such field
    int width(int column) const;          // the column's own width, -1 for the default
    // The field's display width in characters, which the default width is
    // made of.
    int displayChars(int column) const;
    static int displayChars(const data::Field* field);

private:
    struct Shown {
        QString fieldName;
        QString title;
        int width = -1;
        std::optional<QFont> titleFont;
        QColor color;
        data::Field* field = nullptr;
    };

    void resolve();
    const Shown* column(int column) const;

    GridRows* rows_;
    std::vector<DBGridColumn> own_;
    std::vector<Shown> columns_;
};

} // namespace ui
