#include "platform/ui/Image.h"

#include "platform/image/Jpeg.h"
#include "platform/rtl/Errors.h"
#include "platform/ui/Application.h"

#include <QImageReader>
#include <QPainter>

namespace ui {

Image::Image(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
}

namespace {

bool isJpeg(const QString& path)
{
    const QString lower = path.toLower();
    return lower.endsWith(QStringLiteral(".jpg")) || lower.endsWith(QStringLiteral(".jpeg"));
}

QImage decodePicture(const QString& path)
{
    if (isJpeg(path))
        return loadJpeg(path);
    QImage image(path);
    if (image.isNull())
        throw rtl::Error(QStringLiteral("Cannot load picture %1").arg(path));
    return image;
}

} // namespace

void Image::setPicture(const QString& resourcePath)
{
    QSize size;
    QImage decoded;
    if (isJpeg(resourcePath)) {
        size = jpegSize(resourcePath);
    } else {
        QImageReader reader(resourcePath);
        size = reader.canRead() ? reader.size() : QSize();
        // A format that does not tell its size up front is decoded now.
        if (!size.isValid()) {
            decoded = decodePicture(resourcePath);
            size = decoded.size();
        }
    }
    path_ = resourcePath;
    image_ = decoded;
    pending_ = decoded.isNull();
    size_ = size;
    fit();
    update();
}

void Image::setImage(const QImage& image)
{
    path_.clear();
    image_ = image;
    pending_ = false;
    size_ = image.size();
    fit();
    update();
}

const QImage& Image::image() const
{
    if (pending_) {
        pending_ = false;
        try {
            image_ = decodePicture(path_);
        } catch (const rtl::Error&) {
            // Its header read well but its data does not: nothing to show.
            image_ = QImage();
        }
    }
    return image_;
}

void Image::setStretch(bool on)
{
    stretch_ = on;
    update();
}

void Image::setCenter(bool on)
{
    center_ = on;
    update();
}

void Image::setAutoSize(bool on)
{
    autoSize_ = on;
    fit();
}

void Image::fit()
{
    if (autoSize_ && !size_.isEmpty())
        resize(size_);
}

void Image::paintEvent(QPaintEvent*)
{
    const QImage& picture = image();
    if (picture.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (stretch_) {
        p.drawImage(rect(), picture);
    } else if (center_) {
        QRect target(QPoint(0, 0), picture.size());
        target.moveCenter(rect().center());
        p.drawImage(target.topLeft(), picture);
    } else {
        p.drawImage(QPoint(0, 0), picture);
    }
}

void Image::mouseMoveEvent(QMouseEvent* event)
{
    runHandler(OnMouseMove);
    QWidget::mouseMoveEvent(event);
}

} // namespace ui
