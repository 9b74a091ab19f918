#include "platform/rtl/Files.h"

#include "platform/rtl/Errors.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
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

QString loadMemoText(const QString& path, qint64 limit)
{
    const QByteArray name = QFile::encodeName(path);
    // Not blocking: a named pipe or a device would otherwise hold the
    // program until something writes to it.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    const auto cannotOpen = [&](const QString& reason, int err) {
        return InOutError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason), err);
    };
    if (fd < 0) {
        const int err = errno;
        throw cannotOpen(InOutError::fromErrno(err).message(), err);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw cannotOpen(QStringLiteral("It is not a regular file"), EINVAL);
    }
    QByteArray bytes;
    bytes.reserve(qsizetype(std::min<qint64>(st.st_size, limit)));
    char buf[65536];
    // A NUL byte ends the text: nothing after it is read.
    for (bool ended = false; !ended && bytes.size() < limit;) {
        const ssize_t n = ::read(fd, buf, size_t(std::min<qint64>(qint64(sizeof buf), limit - bytes.size())));
        if (n < 0) {
            const int err = errno;
            if (err == EINTR)
                continue;
            ::close(fd);
            throw InOutError::fromErrno(err);
        }
        ended = n == 0 || std::memchr(buf, '\0', size_t(n));
        bytes.append(buf, n);
    }
    ::close(fd);

    const qsizetype nul = bytes.indexOf('\0');
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

namespace {

// The file a name leads to: symbolic links are followed to their target,
// which need not exist yet.
QByteArray followLinks(const QByteArray& path)
{
    QByteArray current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        QByteArray target(qsizetype(PATH_MAX), Qt::Uninitialized);
        const ssize_t n = ::readlink(current.constData(), target.data(), size_t(target.size()));
        if (n < 0 || n >= target.size())
            return current;
        target.truncate(n);
        const qsizetype slash = current.lastIndexOf('/');
        if (!target.startsWith('/') && slash >= 0)
            target.prepend(current.left(slash + 1));
        current = target;
    }
    throw InOutError::fromErrno(ELOOP);
}

} // namespace

void replaceFileContents(const QString& path, const QByteArray& bytes)
{
    // A link stays a link: its target gets the new text, in the target's
    // folder, so the rename that puts it in place stays within one folder.
    const QByteArray target = followLinks(QFile::encodeName(path));
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray dir = slash >= 0 ? target.left(slash + 1) : QByteArray();
    const QByteArray base = slash >= 0 ? target.mid(slash + 1) : target;

    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    // A write-protected file stays as it is, although the folder would let
    // us put a new one in its place.
    if (exists) {
        if (::access(target.constData(), W_OK) != 0)
            throw InOutError::fromErrno(errno);
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            throw InOutError::fromErrno(EACCES); // read-only for everyone, even for root
    }
    QByteArray tmpl = dir + '.' + base + ".XXXXXX";
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
    // The new file keeps the old one's owner where the program may set it,
    // and its permissions; a first file gets those of any new file rather
    // than mkstemp's 0600.
    mode_t mode = 0;
    if (exists) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, uid_t(-1), old.st_gid) != 0) {
            // Not ours to give away: the file stays the program's.
        }
        mode = old.st_mode & 07777;
    } else {
        mode = ::umask(0);
        ::umask(mode);
        mode = 0666 & ~mode;
    }
    if (::fchmod(fd, mode) != 0)
        fail(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmpl.constData());
        throw InOutError::fromErrno(err);
    }
    if (::rename(tmpl.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(tmpl.constData());
        throw InOutError::fromErrno(err);
    }
}

} // namespace rtl
