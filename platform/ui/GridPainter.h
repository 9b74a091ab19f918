#pragma once

#include <QFont>
#include <QPalette>
#include <QRect>

#include <vector>

class QPainter;

namespace ui {

class GridModel;

// Paints a grid's rows as its view has laid them out: the title row, the
// indicator column with the current row's mark, the cells and the lines.
class GridPainter {
public:
    struct Layout {
        std::vector<int> widths; // of the columns
        int scrolled = 0;        // pixels the columns are scrolled to the left
        int rowHeight = 0;
        int titleHeight = 0;    // 0 without titles
        int indicatorWidth = 0; // 0 without the indicator
        int cellMargin = 0;
        bool titles = true;
        bool indicator = true;
        bool columnLines = true;
        bool rowLines = true;
        int currentRow = -1;
        int highlightedColumn = -1; // the current row's cell shown highlighted, -1 none
    };

    GridPainter(const GridModel& model, const Layout& layout) : model_(model), layout_(layout) {}
    // Paints what lies in `dirty` of the viewport's `area`.
    void paint(QPainter& p, const QRect& area, const QRect& dirty, const QPalette& pal,
               const QFont& font) const;

private:
    int columnLeft(int column) const; // content coordinates
    QFont titleFont(int column, const QFont& font) const;

    const GridModel& model_;
    const Layout& layout_;
};

} // namespace ui
