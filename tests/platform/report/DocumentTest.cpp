#include "ReportTestSupport.h"

#include "platform/report/Renderer.h"
#include "platform/rtl/Errors.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace report;

namespace {

constexpr double kPixelsPerMm = 4;

QImage render(const Document& doc, int page, double pixelsPerMm = kPixelsPerMm)
{
    QImage image(int(doc.pageWidth * pixelsPerMm), int(doc.pageHeight * pixelsPerMm), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(pixelsPerMm, pixelsPerMm);
    paintPage(doc, page, painter);
    painter.end();
    return image;
}

bool dark(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

// The ink of a region in millimetres: its left edge, or -1 when blank.
double inkLeft(const QImage& image, const QRectF& mm)
{
    const QRect px(int(mm.left() * kPixelsPerMm), int(mm.top() * kPixelsPerMm),
                   int(mm.width() * kPixelsPerMm), int(mm.height() * kPixelsPerMm));
    for (int x = px.left(); x <= px.right(); ++x)
        for (int y = px.top(); y <= px.bottom(); ++y)
            if (dark(image, x, y))
                return x / kPixelsPerMm;
    return -1;
}

} // namespace

TEST(Renderer, DrawsRulesTextAndPictureWhereTheBuilderPutThem)
{
    auto ds = testLines(3);
    TestReport report(testLayoutJson(), ds.get());
    const Document doc = report.buildDocument();
    const QImage image = render(doc, 0);

    // The title band's bottom rule at 38.4 mm, across the band only.
    const int ruleY = int(38.4 * kPixelsPerMm);
    bool ruleFound = false;
    for (int dy = -1; dy <= 1; ++dy)
        ruleFound = ruleFound || (dark(image, int(100 * kPixelsPerMm), ruleY + dy) &&
                                  dark(image, int(13 * kPixelsPerMm), ruleY + dy));
    EXPECT_TRUE(ruleFound);
    EXPECT_FALSE(dark(image, int(12 * kPixelsPerMm), ruleY));
    EXPECT_FALSE(dark(image, int(198 * kPixelsPerMm), ruleY));

    // Each text starts within half a millimetre of its box.
    for (const auto& p : doc.pages[0].primitives) {
        if (p.kind != Primitive::Kind::Text)
            continue;
        const double left = inkLeft(image, p.rect.adjusted(-1, 0, 0, 0));
        EXPECT_NEAR(left, p.rect.left(), 0.5) << p.item.toStdString() << " " << p.text.toStdString();
    }
    // Capitals and digits start below the top of the line box by the font's
    // internal leading; the box top is the layout's position.
    const double finePpm = 8;
    const QImage fine = render(doc, 0, finePpm);
    auto inkTop = [&](const QRectF& box) {
        for (int y = int((box.top() - 0.3) * finePpm); y < int((box.top() + 5) * finePpm); ++y)
            for (int x = int(box.left() * finePpm); x < int(box.right() * finePpm); ++x)
                if (qGray(fine.pixel(x, y)) < 140)
                    return y / finePpm;
        return -1.0;
    };
    for (const auto& p : doc.pages[0].primitives) {
        if (p.kind != Primitive::Kind::Text)
            continue;
        const double glyphTop = inkTop(p.rect);
        EXPECT_GE(glyphTop, p.rect.top() - 0.01) << p.item.toStdString();
        EXPECT_LE(glyphTop, p.rect.top() + 0.35 * p.font.pointSize / 72 * 25.4) << p.item.toStdString();
    }
    // Nothing in the left margin.
    EXPECT_EQ(inkLeft(image, QRectF(0, 0, 12, 297)), -1);
    // The picture's drawn lines appear inside its box.
    const auto* logo = primitivesOf(doc.pages[0], "Logo").at(0);
    EXPECT_NEAR(inkLeft(image, logo->clip), logo->clip.left(), 0.3);
    EXPECT_EQ(inkLeft(image, QRectF(logo->clip.right() + 0.3, logo->clip.top(), 2, logo->clip.height())), -1);
}

TEST(Renderer, PrintsEveryPageToAPdfFile)
{
    auto ds = testLines(50);
    TestReport report(testLayoutJson(), ds.get());
    const Document doc = report.buildDocument();
    ASSERT_EQ(doc.pageCount(), 3);
    std::vector<int> told;
    const QString path =
        writeTestPdf(doc, QStringLiteral("report-engine-sample.pdf"), [&](int page, int count) {
            EXPECT_EQ(count, 3);
            told.push_back(page);
        });
    EXPECT_EQ(told, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(pdfPageCount(path), 3);
}

TEST(Document, SavedPagesLoadBackAndDrawTheSame)
{
    auto ds = testLines(30);
    TestReport report(testLayoutJson(), ds.get());
    const Document doc = report.buildDocument();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pages.tkr"));
    saveDocument(doc, path);
    const Document loaded = loadDocument(path);

    ASSERT_EQ(loaded.pageCount(), doc.pageCount());
    EXPECT_EQ(loaded.pageWidth, doc.pageWidth);
    EXPECT_EQ(loaded.images.size(), doc.images.size());
    for (int p = 0; p < doc.pageCount(); ++p) {
        const auto& a = doc.pages[size_t(p)];
        const auto& b = loaded.pages[size_t(p)];
        ASSERT_EQ(a.primitives.size(), b.primitives.size());
        ASSERT_EQ(a.bands.size(), b.bands.size());
        for (size_t i = 0; i < a.primitives.size(); ++i) {
            EXPECT_EQ(a.primitives[i].text, b.primitives[i].text);
            EXPECT_EQ(a.primitives[i].rect, b.primitives[i].rect);
            EXPECT_EQ(a.primitives[i].clip, b.primitives[i].clip);
            EXPECT_EQ(a.primitives[i].font, b.primitives[i].font);
        }
        EXPECT_EQ(render(doc, p), render(loaded, p));
    }
    EXPECT_TRUE(loaded.complete);

    // Pages cut off by a closed dataset stay marked so.
    Document cutOff = doc;
    cutOff.complete = false;
    saveDocument(cutOff, path);
    EXPECT_FALSE(loadDocument(path).complete);
}

TEST(Document, LoadingAFileWithoutSavedPagesFailsWithoutHarm)
{
    QTemporaryDir dir;
    auto fails = [&](const QByteArray& bytes) {
        const QString path = dir.filePath(QStringLiteral("bad.tkr"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        EXPECT_THROW(loadDocument(path), rtl::Error);
    };
    fails("not a report at all");
    fails(QByteArray());

    auto ds = testLines(5);
    TestReport report(testLayoutJson(), ds.get());
    const QString good = dir.filePath(QStringLiteral("good.tkr"));
    saveDocument(report.buildDocument(), good);
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    fails(bytes.left(bytes.size() / 2));
    EXPECT_EQ(loadDocument(good).pageCount(), 1);
    EXPECT_THROW(loadDocument(dir.filePath(QStringLiteral("missing.tkr"))), rtl::InOutError);
}
