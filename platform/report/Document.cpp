#include "platform/report/Document.h"

#include "platform/rtl/Errors.h"
#include "platform/rtl/Files.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <cerrno>

namespace report {

namespace {

constexpr quint32 kMagic = 0x544B5250; // "TKRP"
constexpr quint16 kVersion = 2;        // 2: whether the pages are complete

QDataStream& operator<<(QDataStream& out, const FontSpec& font)
{
    return out << font.family << font.pointSize << font.bold << font.italic;
}

QDataStream& operator>>(QDataStream& in, FontSpec& font)
{
    return in >> font.family >> font.pointSize >> font.bold >> font.italic;
}

} // namespace

void saveDocument(const Document& document, const QString& path)
{
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << kMagic << kVersion;
        out << quint8(document.orientation) << document.pageWidth << document.pageHeight << document.complete;
        out << quint32(document.images.size());
        for (const QImage& image : document.images)
            out << image;
        out << quint32(document.pages.size());
        for (const Page& page : document.pages) {
            out << quint32(page.bands.size());
            for (const PlacedBand& band : page.bands)
                out << band.name << quint8(band.type) << band.top << band.height;
            out << quint32(page.primitives.size());
            for (const Primitive& p : page.primitives)
                out << quint8(p.kind) << p.item << p.rect << p.clip << p.text << p.font << p.penWidth
                    << qint32(p.image);
        }
    }
    rtl::replaceFileContents(path, bytes);
}

Document loadDocument(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw rtl::InOutError::fromErrno(file.error() == QFileDevice::PermissionsError ? EACCES : ENOENT);
    const QByteArray bytes = file.readAll();
    const rtl::Error notSaved(QStringLiteral("%1 does not hold saved report pages").arg(path));

    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    quint16 version = 0;
    in >> magic >> version;
    if (magic != kMagic || version < 1 || version > kVersion)
        throw notSaved;

    Document doc;
    quint8 orientation = 0;
    in >> orientation >> doc.pageWidth >> doc.pageHeight;
    if (version >= 2)
        in >> doc.complete;
    doc.orientation =
        orientation == quint8(Orientation::Landscape) ? Orientation::Landscape : Orientation::Portrait;
    // Counts are checked against what is left, so a damaged file cannot make
    // us allocate without bound.
    auto count = [&](quint32 n, qint64 minBytesEach) {
        if (in.status() != QDataStream::Ok || qint64(n) * minBytesEach > bytes.size())
            throw notSaved;
        return n;
    };
    quint32 images = 0;
    in >> images;
    for (quint32 i = 0, n = count(images, 4); i < n; ++i) {
        QImage image;
        in >> image;
        doc.images.push_back(image);
    }
    quint32 pages = 0;
    in >> pages;
    for (quint32 i = 0, n = count(pages, 8); i < n; ++i) {
        Page page;
        quint32 bands = 0;
        in >> bands;
        for (quint32 b = 0, nb = count(bands, 21); b < nb; ++b) {
            PlacedBand band;
            quint8 type = 0;
            in >> band.name >> type >> band.top >> band.height;
            if (type > quint8(BandType::Summary))
                throw notSaved;
            band.type = BandType(type);
            page.bands.push_back(band);
        }
        quint32 primitives = 0;
        in >> primitives;
        for (quint32 p = 0, np = count(primitives, 90); p < np; ++p) {
            Primitive prim;
            quint8 kind = 0;
            qint32 image = -1;
            in >> kind >> prim.item >> prim.rect >> prim.clip >> prim.text >> prim.font >> prim.penWidth >>
                image;
            if (kind > quint8(Primitive::Kind::Image) || image >= qint32(doc.images.size()))
                throw notSaved;
            prim.kind = Primitive::Kind(kind);
            prim.image = image;
            if (prim.kind == Primitive::Kind::Image && image < 0)
                throw notSaved;
            page.primitives.push_back(std::move(prim));
        }
        doc.pages.push_back(std::move(page));
    }
    if (in.status() != QDataStream::Ok)
        throw notSaved;
    return doc;
}

} // namespace report
