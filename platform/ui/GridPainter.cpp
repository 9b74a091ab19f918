#include "platform/ui/GridPainter.h"

#include "platform/ui/GridModel.h"

#include <QPainter>
#include <QVariant>

#include <algorithm>

namespace ui {

namespace {

void drawFixedCell(QPainter& p, const QRect& r, const QPalette& pal)
{
    p.fillRect(r, pal.color(QPalette::Button));
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

} // namespace

int GridPainter::columnLeft(int column) const
{
    int x = layout_.indicatorWidth;
    for (int c = 0; c < column && c < int(layout_.widths.size()); ++c)
        x += layout_.widths[size_t(c)] + (layout_.columnLines ? 1 : 0);
    return x;
}

QFont GridPainter::titleFont(int column, const QFont& font) const
{
    const QVariant f = model_.headerData(column, Qt::Horizontal, Qt::FontRole);
    return f.isValid() ? f.value<QFont>() : font;
}

void GridPainter::paint(QPainter& p, const QRect& area, const QRect& dirty, const QPalette& pal,
                        const QFont& font) const
{
    const int rh = layout_.rowHeight;
    const int th = layout_.titleHeight;
    const int xOff = layout_.scrolled;
    const int left = layout_.indicatorWidth;
    const int margin = layout_.cellMargin;
    const bool columnLines = layout_.columnLines, rowLines = layout_.rowLines;
    const int shown = model_.rowCount();
    const int vw = area.width();
    const int current = layout_.currentRow;

    p.fillRect(dirty & area, pal.color(QPalette::Base));
    // Screen rows that lie in the dirty part; the title row is row -1.
    const bool titleDirty = dirty.top() < th;
    const int firstRow = std::max(0, (dirty.top() - th) / std::max(1, rh));
    const int endRow = std::min(shown, (dirty.bottom() - th) / std::max(1, rh) + 1);

    for (int c = 0; c < int(layout_.widths.size()); ++c) {
        const int w = layout_.widths[size_t(c)];
        const int x = columnLeft(c) - xOff;
        if (x > vw)
            break;
        if (x + w < left)
            continue;
        p.save();
        p.setClipRect(QRect(left, 0, vw - left, area.height()));
        if (layout_.titles && titleDirty) {
            const QRect tr(x, 0, w + (columnLines ? 1 : 0), th);
            drawFixedCell(p, tr, pal);
            p.setFont(titleFont(c, font));
            p.setPen(pal.color(QPalette::ButtonText));
            p.drawText(tr.adjusted(margin / 2, 0, -margin / 2, 0),
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                       model_.headerData(c, Qt::Horizontal).toString());
        }
        p.setFont(font);
        for (int r = firstRow; r < endRow; ++r) {
            const QModelIndex index = model_.index(r, c);
            const QRect cell(x, th + r * rh, w, rh - (rowLines ? 1 : 0));
            const bool highlighted = r == current && c == layout_.highlightedColumn;
            const QVariant background = model_.data(index, Qt::BackgroundRole);
            p.fillRect(cell, highlighted            ? pal.color(QPalette::Highlight)
                             : background.isValid() ? background.value<QColor>()
                                                    : pal.color(QPalette::Base));
            p.setPen(pal.color(highlighted ? QPalette::HighlightedText : QPalette::Text));
            const auto align = Qt::Alignment(model_.data(index, Qt::TextAlignmentRole).toInt());
            p.drawText(cell.adjusted(margin / 2, 0, -margin / 2, 0), align | Qt::TextSingleLine,
                       model_.data(index).toString());
            p.setPen(pal.color(QPalette::Mid));
            if (columnLines)
                p.drawLine(cell.right() + 1, cell.top(), cell.right() + 1,
                           cell.bottom() + (rowLines ? 1 : 0));
            if (rowLines)
                p.drawLine(cell.left(), cell.bottom() + 1, cell.right() + (columnLines ? 1 : 0),
                           cell.bottom() + 1);
        }
        p.restore();
    }

    if (layout_.indicator) {
        if (layout_.titles && titleDirty)
            drawFixedCell(p, QRect(0, 0, left, th), pal);
        for (int r = firstRow; r < endRow; ++r) {
            const QRect ir(0, th + r * rh, left, rh);
            drawFixedCell(p, ir, pal);
            if (r == current) {
                // A small solid triangle pointing at the current row.
                const int cx = ir.left() + 3;
                const int cy = ir.center().y();
                const QPoint tri[3] = {QPoint(cx, cy - 4), QPoint(cx + 4, cy), QPoint(cx, cy + 4)};
                p.setPen(Qt::NoPen);
                p.setBrush(pal.color(QPalette::ButtonText));
                p.drawPolygon(tri, 3);
            }
        }
    }
}

} // namespace ui
