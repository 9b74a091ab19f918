#include "platform/ui/Image.h"

#include "platform/image/Jpeg.h"
#include "platform/rtl/Errors.h"
#include "platform/ui/Application.h"

#include <QPainter>

namespace ui {

Image::Image(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
}

void Image::setPicture(const QString& resourcePath)
{
    path_ = resourcePath;
    const QString lower = resourcePath.toLower();
    if (lower.endsWith(QStringLiteral(".jpg")) || lower.endsWith(QStringLiteral(".jpeg"))) {
        image_ = loadJpeg(resourcePath);
    } else {
        image_ = QImage(resourcePath);
        if (image_.isNull())
            throw rtl::Error(QStringLiteral("Cannot load picture %1").arg(resourcePath));
    }
    fit();
    update();
}

void Image::setImage(const QImage& image)
{
    path_.clear();
    image_ = image;
    fit();
    update();
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
    if (autoSize_ && !image_.isNull())
        resize(image_.size());
}

void Image::paintEvent(QPaintEvent*)
{
    if (image_.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (stretch_) {
        p.drawImage(rect(), image_);
    } else if (center_) {
        QRect target(QPoint(0, 0), image_.size());
        target.moveCenter(rect().center());
        p.drawImage(target.topLeft(), image_);
    } else {
        p.drawImage(QPoint(0, 0), image_);
    }
}

void Image::mouseMoveEvent(QMouseEvent* event)
{
    runHandler(OnMouseMove);
    QWidget::mouseMoveEvent(event);
}

} // namespace ui
