#pragma once

#include "platform/report/Document.h"

class QPainter;
class QPagedPaintDevice;

namespace report {

// Draws one page. The painter's coordinates must be millimetres from the
// page's top-left corner: callers scale the painter, never the document.
// The paper itself (white) is the caller's.
void paintPage(const Document& document, int pageIndex, QPainter& painter);

// Scales a painter on a device so that one unit is one millimetre.
void scaleToMillimetres(QPainter& painter);

} // namespace report
