#pragma once

#include <QByteArray>
#include <QString>

#include <limits>

namespace rtl {

// File helpers for small text files named relative to the current directory.
bool fileExists(const QString& path);
bool deleteFile(const QString& path);

// Reads a file as 8-bit text for a multi-line memo: every line break (CR LF,
// lone CR, lone LF) becomes CR LF and a NUL byte ends the text. At most
// `limit` bytes are read, whatever the file's size: the text of a longer
// file is its beginning. Raises InOutError when the file cannot be opened
// ("Cannot open file ...", at once also for a named pipe or a device: only
// regular files are read) or read.
QString loadMemoText(const QString& path, qint64 limit = std::numeric_limits<qint64>::max());

// Writes the bytes to a new file in the same folder and only then puts it in
// place of `path`, so a failure leaves the old file as it was. The new file
// keeps the old one's permissions and, where the program may set it, its
// owner; a symbolic link is followed and its target replaced. Raises
// InOutError ("File access denied", "Disk full", "I/O error %d").
void replaceFileContents(const QString& path, const QByteArray& bytes);

} // namespace rtl
