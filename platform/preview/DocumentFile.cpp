#include "platform/preview/DocumentFile.h"

#include <QFileDialog>
#include <QFileInfo>

namespace report {

namespace {

const char* const kFileFilter = "Report pages (*.tkr)";

} // namespace

QString askSavePath(QWidget* parent)
{
    QString path =
        QFileDialog::getSaveFileName(parent, QStringLiteral("Save"), QString(), QLatin1String(kFileFilter));
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1String(".tkr");
    return path;
}

QString askLoadPath(QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Load"), QString(),
                                        QLatin1String(kFileFilter));
}

} // namespace report
