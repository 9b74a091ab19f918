#include "platform/image/Jpeg.h"

#include "platform/rtl/Errors.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace ui {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    QImage image; // lives in memory libjpeg knows of, so it survives a longjmp
    QSize size;
};

extern "C" void onJpegError(j_common_ptr info)
{
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

extern "C" void onJpegMessage(j_common_ptr, int) {}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw rtl::Error(QStringLiteral("Cannot open file \"%1\"").arg(path));
    return file.readAll();
}

// Reads the header into err.size, then the pixels into err.image unless
// headerOnly.
void decode(const QByteArray& bytes, ErrorManager& err, bool headerOnly)
{
    jpeg_decompress_struct info{};
    info.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onJpegError;
    err.pub.emit_message = onJpegMessage;
    // Locals changed after setjmp are not read after a longjmp back.
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        throw rtl::Error(QStringLiteral("JPEG error: %1").arg(QString::fromLocal8Bit(err.message)));
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    err.size = QSize(static_cast<int>(info.image_width), static_cast<int>(info.image_height));
    if (headerOnly) {
        jpeg_destroy_decompress(&info);
        return;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    err.image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                       QImage::Format_RGB888);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = err.image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
}

} // namespace

QImage decodeJpeg(const QByteArray& bytes)
{
    ErrorManager err{};
    decode(bytes, err, false);
    return std::move(err.image);
}

QImage loadJpeg(const QString& path)
{
    return decodeJpeg(readFile(path));
}

QSize jpegSize(const QString& path)
{
    ErrorManager err{};
    decode(readFile(path), err, true);
    return err.size;
}

} // namespace ui
