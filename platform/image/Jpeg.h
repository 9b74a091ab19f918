#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace ui {

// JPEG pictures decoded with libjpeg, for the image control and the report
// engine alike. Both raise rtl::Error when the file cannot be read or holds
// no valid JPEG.
QImage loadJpeg(const QString& path); // a resource path too
QImage decodeJpeg(const QByteArray& bytes);
// The picture's size from its header alone, without decoding it.
QSize jpegSize(const QString& path);

} // namespace ui
