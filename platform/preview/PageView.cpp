#include "platform/preview/PageView.h"

#include "platform/preview/PreviewWindow.h"
#include "platform/report/Renderer.h"

#include <QPainter>

namespace report {

void PageView::changed()
{
    const Document& doc = window_->document();
    const double ppm = window_->pixelsPerMm();
    resize(int(doc.pageWidth * ppm) + 2 * kGap, int(doc.pageHeight * ppm) + 2 * kGap);
    update();
}

void PageView::paintEvent(QPaintEvent*)
{
    const Document& doc = window_->document();
    const double ppm = window_->pixelsPerMm();
    QPainter painter(this);
    painter.fillRect(rect(), QColor(128, 128, 128));
    const QRectF paper(kGap, kGap, doc.pageWidth * ppm, doc.pageHeight * ppm);
    painter.fillRect(paper.translated(3, 3), QColor(64, 64, 64));
    painter.fillRect(paper, Qt::white);
    painter.translate(paper.topLeft());
    painter.scale(ppm, ppm);
    paintPage(doc, window_->currentPage(), painter);
    if (painted)
        painted();
}

} // namespace report
