// Draws the program's pictures into resources/images. Run through
// scripts/make-pictures; the results are kept in the tree.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>

namespace {

QString outDir;

void save(const QImage& image, const QString& name, const char* format, int quality = -1)
{
    QImageWriter writer(QDir(outDir).filePath(name), format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(image)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(name), qPrintable(writer.errorString()));
        std::exit(1);
    }
}

// The firm's mark: a navy disc with a stacked crate and the letters TK.
void drawLogo(QPainter& p, const QRectF& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient disc(r.center() - QPointF(r.width() * 0.15, r.height() * 0.15), r.width() * 0.7);
    disc.setColorAt(0, QColor(60, 110, 200));
    disc.setColorAt(1, QColor(10, 30, 90));
    p.setBrush(disc);
    p.setPen(QPen(QColor(230, 180, 40), r.width() * 0.04));
    const qreal inset = r.width() * 0.03;
    p.drawEllipse(r.adjusted(inset, inset, -inset, -inset));

    // Two crates, one on the other.
    const qreal u = r.width() / 81.0;
    p.setPen(QPen(QColor(90, 50, 10), 1.2 * u));
    p.setBrush(QColor(230, 180, 40));
    const QRectF lower(r.left() + 22 * u, r.top() + 44 * u, 37 * u, 18 * u);
    const QRectF upper(r.left() + 29 * u, r.top() + 28 * u, 23 * u, 16 * u);
    p.drawRect(lower);
    p.drawRect(upper);
    p.drawLine(QPointF(lower.center().x(), lower.top()), QPointF(lower.center().x(), lower.bottom()));
    p.drawLine(QPointF(upper.center().x(), upper.top()), QPointF(upper.center().x(), upper.bottom()));

    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(int(15 * u));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(r.left(), r.top() + 8 * u, r.width(), 20 * u), Qt::AlignCenter, QStringLiteral("TK"));
    p.restore();
}

QImage loginBackground()
{
    QImage img(376, 234, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, 234);
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, Qt::black);
    p.fillRect(img.rect(), g);
    // The word stands left of the entry (144, 88, 121 x 21) at its height.
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(14);
    p.setFont(f);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRect word(20, 88, 116, 21);
    p.setPen(QColor(255, 255, 255, 160));
    p.drawText(word.translated(1, 1), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Password"));
    p.setPen(QColor(10, 20, 70));
    p.drawText(word, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Password"));
    return img;
}

QImage menuBackground()
{
    const int w = 800, h = 600;
    QImage img(w, h, QImage::Format_RGB32);
    // A blue swirl around a point below the banner.
    const double cx = 400, cy = 380;
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double dx = x - cx, dy = y - cy;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double a = std::atan2(dy, dx);
            const double s = 0.5 + 0.5 * std::sin(3.0 * a + r / 38.0);
            const double fade = std::min(1.0, r / 520.0);
            const int red = int(10 + 40 * s * (1 - fade));
            const int green = int(40 + 90 * s + 30 * (1 - fade));
            const int blue = int(120 + 120 * s * (1 - 0.4 * fade));
            line[x] = qRgb(std::min(red, 255), std::min(green, 255), std::min(blue, 255));
        }
    }
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // The banner across the upper part, above the button column (its first
    // button starts at 211).
    const QRectF banner(40, 40, 720, 140);
    QLinearGradient g(banner.topLeft(), banner.bottomLeft());
    g.setColorAt(0, QColor(250, 250, 255, 235));
    g.setColorAt(1, QColor(200, 215, 240, 235));
    p.setPen(QPen(QColor(230, 180, 40), 3));
    p.setBrush(g);
    p.drawRoundedRect(banner, 14, 14);
    drawLogo(p, QRectF(70, 70, 81, 81));
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setBold(true);
    title.setPixelSize(40);
    p.setFont(title);
    p.setPen(QColor(10, 30, 90));
    p.drawText(QRectF(170, 62, 570, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TORAMBU KESTI"));
    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(18);
    p.setFont(sub);
    p.setPen(QColor(40, 60, 120));
    p.drawText(QRectF(172, 112, 570, 40), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Sistem Persediaan Barang Gudang"));
    // A light panel behind the button column (280-521, 205-565) keeps the
    // captions readable.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 240, 255, 150));
    p.drawRoundedRect(QRectF(272, 203, 257, 366), 10, 10);
    return img;
}

QImage aboutBackground()
{
    const int w = 1024, h = 768;
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(236, 236, 236));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Soft rings from two corners and a few diagonal bands.
    for (int i = 0; i < 24; ++i) {
        p.setPen(QPen(QColor(205, 205, 210, 140), 6));
        p.setBrush(Qt::NoBrush);
        const double r = 60 + i * 48;
        p.drawEllipse(QPointF(w, h), r, r);
        p.setPen(QPen(QColor(220, 220, 226, 120), 3));
        p.drawEllipse(QPointF(0, 0), r * 0.7, r * 0.7);
    }
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        p.setBrush(QColor(250, 250, 250, 90));
        QPainterPath band;
        const double x = -200 + i * 260;
        band.moveTo(x, h);
        band.lineTo(x + 90, h);
        band.lineTo(x + 90 + 500, 0);
        band.lineTo(x + 500, 0);
        band.closeSubpath();
        p.drawPath(band);
    }
    return img;
}

QImage logo()
{
    QImage img(81, 81, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    drawLogo(p, QRectF(0, 0, 81, 81));
    return img;
}

QImage icon()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    drawLogo(p, QRectF(0, 0, 32, 32));
    p.end();
    return img.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdAlphaDither);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources/images");
    QDir().mkpath(outDir);
    save(loginBackground(), QStringLiteral("login.png"), "png");
    save(menuBackground(), QStringLiteral("menu.png"), "png");
    save(aboutBackground(), QStringLiteral("about.jpg"), "jpeg", 85);
    save(logo(), QStringLiteral("logo.jpg"), "jpeg", 92);
    save(icon(), QStringLiteral("icon.png"), "png");
    return 0;
}
