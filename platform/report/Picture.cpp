#include "platform/report/Picture.h"

#include "platform/image/Jpeg.h"
#include "platform/rtl/Errors.h"

namespace report {

QImage loadPicture(const QString& path)
{
    const QString lower = path.toLower();
    if (lower.endsWith(QLatin1String(".jpg")) || lower.endsWith(QLatin1String(".jpeg"))) {
        try {
            return ui::loadJpeg(path);
        } catch (const rtl::Error&) {
            return QImage();
        }
    }
    return QImage(path);
}

} // namespace report
