#include "platform/report/Renderer.h"

#include "platform/report/Fonts.h"

#include <QPaintDevice>
#include <QPainter>

namespace report {

void scaleToMillimetres(QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    painter.scale(device->logicalDpiX() / 25.4, device->logicalDpiY() / 25.4);
}

void paintPage(const Document& document, int pageIndex, QPainter& painter)
{
    if (pageIndex < 0 || pageIndex >= document.pageCount())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);

    // Texts that need no clip are drawn one after the other in text units
    // with the font set once, not with the painter's state saved and put
    // back around each.
    const QTransform pageTransform = painter.worldTransform();
    QTransform textTransform = pageTransform;
    textTransform.scale(1 / kTextUnitsPerMm, 1 / kTextUnitsPerMm);
    bool inTextUnits = false;
    const FontSpec* font = nullptr;

    for (const Primitive& p : document.pages[size_t(pageIndex)].primitives) {
        const bool clipped = !p.clip.isEmpty();
        if (p.kind == Primitive::Kind::Text && !clipped) {
            if (!inTextUnits) {
                painter.setWorldTransform(textTransform);
                painter.setPen(Qt::black);
                inTextUnits = true;
            }
            if (!font || !(*font == p.font)) {
                painter.setFont(textFont(p.font));
                font = &p.font;
            }
            const QPointF baseline(p.rect.left(), p.rect.top() + ascent(p.font));
            painter.drawText(baseline * kTextUnitsPerMm, p.text);
            continue;
        }
        if (inTextUnits) {
            painter.setWorldTransform(pageTransform);
            inTextUnits = false;
        }
        font = nullptr;
        if (clipped) {
            painter.save();
            painter.setClipRect(p.clip, Qt::IntersectClip);
        }
        switch (p.kind) {
        case Primitive::Kind::Line:
            painter.setPen(QPen(Qt::black, p.penWidth, Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(p.rect.topLeft(), p.rect.bottomRight());
            break;
        case Primitive::Kind::Text: {
            // Text is drawn in the units it was measured in.
            painter.save();
            painter.scale(1 / kTextUnitsPerMm, 1 / kTextUnitsPerMm);
            painter.setFont(textFont(p.font));
            painter.setPen(Qt::black);
            const QPointF baseline(p.rect.left(), p.rect.top() + ascent(p.font));
            painter.drawText(baseline * kTextUnitsPerMm, p.text);
            painter.restore();
            break;
        }
        case Primitive::Kind::Image:
            if (p.image >= 0 && p.image < int(document.images.size()))
                painter.drawImage(p.rect, document.images[size_t(p.image)]);
            break;
        }
        if (clipped)
            painter.restore();
    }
    painter.restore();
}

} // namespace report
