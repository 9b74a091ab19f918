#pragma once

#include <QImage>
#include <QString>

namespace report {

// A picture of a layout definition (a resource path); a null image when it
// cannot be read.
QImage loadPicture(const QString& path);

// Pictures are drawn at their natural size as the screen shows them.
constexpr double kPicturePixelsPerInch = 96.0;

} // namespace report
