#pragma once

#include "platform/report/Model.h"

#include <QImage>
#include <QRectF>
#include <QString>
#include <vector>

// Built pages: what the page builder produces and every output draws.
// Coordinates are millimetres from the page's top-left corner.
namespace report {

struct Primitive {
    enum class Kind : quint8 { Text, Line, Image };
    Kind kind = Kind::Text;
    QString item; // the layout item that printed it (a band's name for its rules)
    QRectF rect;  // text: its line box; line: from topLeft() to bottomRight(); image: target
    QRectF clip;  // drawing is cut to it; empty: nothing to cut
    QString text; // one line
    FontSpec font;
    double penWidth = 0;
    int image = -1; // into Document::images
};

// Where a band was printed on its page.
struct PlacedBand {
    QString name;
    BandType type = BandType::Detail;
    double top = 0;
    double height = 0;
};

struct Page {
    std::vector<PlacedBand> bands;
    std::vector<Primitive> primitives;
};

struct Document {
    Orientation orientation = Orientation::Portrait;
    double pageWidth = 210;
    double pageHeight = 297;
    std::vector<QImage> images;
    std::vector<Page> pages;
    // False when the dataset was closed or changed before the last row was
    // laid out: the pages end early and carry no summary.
    bool complete = true;

    int pageCount() const { return int(pages.size()); }
};

// Our own file format for saved pages. saveDocument raises
// rtl::InOutError; loadDocument raises rtl::InOutError for a file it cannot
// read and rtl::Error for one that holds no saved pages.
void saveDocument(const Document& document, const QString& path);
Document loadDocument(const QString& path);

} // namespace report
