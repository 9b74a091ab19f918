#include "platform/ui/GridPainter.h"

#include "platform/ui/GridModel.h"

#include <QHash>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <list>
#include <unordered_map>

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

// A cell's text is mostly a repaint of one drawn before (a scrolled row, a
// search typed back), and shaping and drawing its glyphs is most of a grid's
// paint. So a cell drawn on the backing store's pixels is kept as those
// pixels: the same drawing on an image of the same format, moved by whole
// pixels only, gives the same pixels. Kept up to a budget, the least used go.
class CellPixels {
public:
    // Draws the cell as fillRect(cell, background) and drawText would; false
    // when the painter is not one whose pixels a copy can stand for.
    bool draw(QPainter& p, const QRect& cell, const QColor& background, const QColor& color, int margin,
              int flags, const QString& text);

private:
    struct Key {
        QString text;
        QFont font;
        QSize size;
        int margin, flags;
        QRgb background, color;
        qreal ratio;
        int format, dpiX, dpiY, direction, hints;
        bool operator==(const Key&) const = default;
    };
    struct Hash {
        size_t operator()(const Key& k) const
        {
            return qHashMulti(0, k.text, k.size.width(), k.size.height(), k.background, k.color, k.flags);
        }
    };
    using Entry = std::pair<Key, QImage>;

    static constexpr qint64 kBudget = 1 << 20; // bytes
    std::list<Entry> used_;                    // most recent first
    std::unordered_map<Key, std::list<Entry>::iterator, Hash> index_;
    qint64 bytes_ = 0;
};

bool CellPixels::draw(QPainter& p, const QRect& cell, const QColor& background, const QColor& color,
                      int margin, int flags, const QString& text)
{
    QPaintEngine* engine = p.paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    if (!device || engine->type() != QPaintEngine::Raster || device->devType() != QInternal::Image ||
        background.alpha() != 255 || p.opacity() != 1 ||
        p.compositionMode() != QPainter::CompositionMode_SourceOver)
        return false;
    const QTransform& t = p.deviceTransform();
    const qreal ratio = p.device()->devicePixelRatioF();
    if (t.type() > QTransform::TxTranslate || t.dx() != std::floor(t.dx()) || t.dy() != std::floor(t.dy()) ||
        ratio != std::floor(ratio) || cell.isEmpty())
        return false;
    const auto format = static_cast<QImage*>(device)->format();
    Key key{text,
            p.font(),
            cell.size(),
            margin,
            flags,
            background.rgba(),
            color.rgba(),
            ratio,
            int(format),
            p.device()->logicalDpiX(),
            p.device()->logicalDpiY(),
            int(p.layoutDirection()),
            int(p.renderHints())};
    auto hit = index_.find(key);
    if (hit != index_.end()) {
        used_.splice(used_.begin(), used_, hit->second);
    } else {
        QImage pixels(cell.size() * ratio, format);
        pixels.setDevicePixelRatio(ratio);
        pixels.setDotsPerMeterX(qRound(key.dpiX * 100 / 2.54));
        pixels.setDotsPerMeterY(qRound(key.dpiY * 100 / 2.54));
        QPainter ip(&pixels);
        ip.setRenderHints(p.renderHints());
        ip.setLayoutDirection(p.layoutDirection());
        ip.setFont(key.font);
        ip.fillRect(QRect(QPoint(0, 0), cell.size()), background);
        ip.setPen(color);
        ip.drawText(QRect(QPoint(0, 0), cell.size()).adjusted(margin / 2, 0, -margin / 2, 0), flags, text);
        ip.end();
        bytes_ += pixels.sizeInBytes();
        used_.emplace_front(key, std::move(pixels));
        index_.emplace(std::move(key), used_.begin());
        while (bytes_ > kBudget && used_.size() > 1) {
            bytes_ -= used_.back().second.sizeInBytes();
            index_.erase(used_.back().first);
            used_.pop_back();
        }
    }
    p.drawImage(cell.topLeft(), used_.front().second);
    return true;
}

CellPixels& cellPixels()
{
    static CellPixels kept;
    return kept;
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
            const QColor fill = highlighted            ? pal.color(QPalette::Highlight)
                                : background.isValid() ? background.value<QColor>()
                                                       : pal.color(QPalette::Base);
            const QColor color = pal.color(highlighted ? QPalette::HighlightedText : QPalette::Text);
            const int flags = model_.data(index, Qt::TextAlignmentRole).toInt() | Qt::TextSingleLine;
            const QString text = model_.data(index).toString();
            if (!cellPixels().draw(p, cell, fill, color, margin, flags, text)) {
                p.fillRect(cell, fill);
                p.setPen(color);
                p.drawText(cell.adjusted(margin / 2, 0, -margin / 2, 0), flags, text);
            }
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
