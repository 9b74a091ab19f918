#include "platform/rtl/Files.h"

#include "platform/rtl/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rtl {

bool fileExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool deleteFile(const QString& path)
{
    return ::unlink(QFile::encodeName(path).constData()) == 0;
}

QString loadMemoText(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY);
    if (fd < 0)
        throw InOutError::fromErrno(errno);
    QByteArray bytes;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            throw InOutError::fromErrno(err);
        }
        if (n == 0)
            break;
        bytes.append(buf, n);
    }
    ::close(fd);

    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    QByteArray normal;
    normal.reserve(bytes.size() + 16);
    for (int i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r') {
            normal.append("\r\n");
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            normal.append("\r\n");
        } else {
            normal.append(c);
        }
    }
    // 8-bit text in the workstation's code page; Latin-1 keeps every byte.
    return QString::fromLatin1(normal);
}

void replaceFileContents(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    const QString dir = info.absolutePath();
    // A write-protected file stays as it is, although the folder would let
    // us put a new one in its place.
    if (info.exists()) {
        const QByteArray name = QFile::encodeName(path);
        struct stat st {};
        if (::access(name.constData(), W_OK) != 0)
            throw InOutError::fromErrno(errno);
        if (::stat(name.constData(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            throw InOutError::fromErrno(EACCES); // read-only for everyone, even for root
    }
    QByteArray tmpl = QFile::encodeName(QDir(dir).filePath(QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        throw InOutError::fromErrno(errno);
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tmpl.constData());
        throw InOutError::fromErrno(err);
    };
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        written += n;
    }
    if (::fsync(fd) != 0)
        fail(errno);
    // Keep the usual permissions of a new file rather than mkstemp's 0600.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmpl.constData());
        throw InOutError::fromErrno(err);
    }
    if (::rename(tmpl.constData(), QFile::encodeName(path).constData()) != 0) {
        const int err = errno;
        ::unlink(tmpl.constData());
        throw InOutError::fromErrno(err);
    }
}

} // namespace rtl
