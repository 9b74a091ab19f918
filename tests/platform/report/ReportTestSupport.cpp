#include "ReportTestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

QByteArray testFrameJson()
{
    return QString::fromUtf8(R"json({
  "page": { "width": 210, "height": 297, "margins": 127 },
  "font": { "family": "Arial", "size": 10 },
  "printIfEmpty": true,
  "texts": { "address": "Jl. Contoh 1, Kota" },
  "pictures": { "logo": "%1" }
})json")
        .arg(testLogoPath())
        .toUtf8();
}

QByteArray testLayoutJson(const QString& extraDetailItems, const QString& orientation)
{
    return QString::fromUtf8(R"json({
  "dataSet": "Lines",
  "orientation": "%2",
  "bands": [
    { "name": "Title", "type": "rbTitle", "height": 25.7, "frame": { "bottom": true },
      "items": [
        { "name": "Logo", "kind": "image", "picture": "logo", "left": 11.4, "top": 3.2, "width": 21.4, "height": 21.4 },
        { "name": "Heading", "kind": "label", "caption": "Heading", "left": 69.8, "top": 2.1, "font": { "size": 14, "bold": true } },
        { "name": "Address", "kind": "label", "captionRef": "address", "left": 41.8, "top": 20.4, "font": { "bold": true } }
      ] },
    { "name": "Header", "type": "rbColumnHeader", "height": 10.6, "frame": { "top": true, "bottom": true },
      "items": [
        { "name": "NoCaption", "kind": "label", "caption": "No.", "left": 2.1, "top": 2.1 },
        { "name": "CodeCaption", "kind": "label", "caption": "Kode", "left": 12.7, "top": 2.1 },
        { "name": "Rule", "kind": "shape", "left": 0, "top": 8.5, "width": 184.4, "height": 2.1 }
      ] },
    { "name": "Detail", "type": "rbDetail", "height": 10.6,
      "items": [
        { "name": "RowNo", "kind": "sysData", "data": "qrsDetailNo", "left": 2.1, "top": 2.1 },
        { "name": "Code", "kind": "dbText", "dataField": "Code", "left": 12.7, "top": 2.1 },
        { "name": "Qty", "kind": "dbText", "dataField": "Qty", "left": 160.9, "top": 2.1 }%1
      ] },
    { "name": "Summary", "type": "rbSummary", "height": 33.9, "frame": { "top": true }, "alignToBottom": true,
      "items": [
        { "name": "Sign", "kind": "label", "caption": "(____)", "left": 21.2, "top": 27.5 }
      ] }
  ]
})json")
        .arg(extraDetailItems.isEmpty() ? QString() : QStringLiteral(",") + extraDetailItems, orientation)
        .toUtf8();
}

QString testLogoPath()
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("logo.png"));
    if (!QFile::exists(path)) {
        QImage image(81, 81, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(QPen(Qt::darkBlue, 3));
        painter.drawEllipse(4, 4, 72, 72);
        painter.drawLine(0, 0, 80, 80);
        painter.end();
        image.save(path);
    }
    return path;
}

TestReport::TestReport(const QByteArray& layoutJson, data::DataSet* dataSet)
    : report::Report(report::parseLayout(QStringLiteral("Test"), layoutJson, testFrameJson()), dataSet)
{
}

std::unique_ptr<MemoryDataSet> testLines(int count)
{
    auto ds = std::make_unique<MemoryDataSet>(
        QStringLiteral("Lines"),
        std::vector<std::pair<QString, data::FieldType>>{{QStringLiteral("Code"), data::FieldType::String},
                                                         {QStringLiteral("Qty"), data::FieldType::Float}});
    for (int i = 1; i <= count; ++i)
        ds->rows.push_back({QStringLiteral("C%1").arg(i), double(i)});
    ds->open();
    return ds;
}

std::vector<const report::Primitive*> primitivesOf(const report::Page& page, const QString& item)
{
    std::vector<const report::Primitive*> result;
    for (const auto& p : page.primitives)
        if (p.item == item)
            result.push_back(&p);
    return result;
}

const report::PlacedBand* placedBand(const report::Page& page, report::BandType type)
{
    for (const auto& band : page.bands)
        if (band.type == type)
            return &band;
    return nullptr;
}
