#include "platform/data/DatabaseFiles.h"

#include "platform/rtl/Errors.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace data {

namespace {

// Whether this process may write `path` (and, for a folder, make files in
// it). The effective rights count, as the engine will meet them.
bool writable(const QString& path, bool folder)
{
#ifdef Q_OS_UNIX
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), folder ? W_OK | X_OK : W_OK,
                       AT_EACCESS) == 0;
#else
    Q_UNUSED(folder);
    return QFileInfo(path).isWritable();
#endif
}

#ifdef Q_OS_UNIX
// Whether the open file `fd` is the one `name` leads to now.
bool isFileAt(int fd, const QByteArray& name)
{
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::stat(name.constData(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}
#endif

} // namespace

std::optional<FileId> FileId::of(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileId{static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)};
#else
    if (!QFileInfo::exists(path))
        return std::nullopt;
    return FileId{};
#endif
}

DatabaseLock::DatabaseLock(const QString& database)
    : name_(QFile::encodeName(database + QStringLiteral("-lock")))
{
#ifdef Q_OS_UNIX
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = ::open(name_.constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int err = errno;
            if (fd >= 0)
                ::close(fd);
            if (err == EWOULDBLOCK)
                throw rtl::DatabaseError(
                    QStringLiteral("The database %1 is in use by another copy of the program").arg(database));
            if (err == ENOSPC || err == EDQUOT)
                throw rtl::DatabaseError(QStringLiteral("Disk full"));
            throw rtl::DatabaseError(QStringLiteral("Cannot lock the database %1: %2")
                                         .arg(database, QString::fromLocal8Bit(std::strerror(err))));
        }
        // A copy that was just ending may have removed the file it locked:
        // the lock holds only on the file the name leads to.
        if (isFileAt(fd, name_)) {
            fd_ = fd;
            return;
        }
        ::close(fd);
    }
    throw rtl::DatabaseError(QStringLiteral("Cannot lock the database %1").arg(database));
#endif
}

DatabaseLock::~DatabaseLock()
{
#ifdef Q_OS_UNIX
    if (fd_ < 0)
        return;
    // Removed while still held, so that a copy starting now locks a new one.
    if (isFileAt(fd_, name_))
        ::unlink(name_.constData());
    ::close(fd_);
#endif
}

// A database the program cannot write is refused before anything is read:
// reading a logged database would leave its -wal and -shm files behind.
void checkWritable(const QString& database, bool engineReadOnly)
{
    const QFileInfo info(database);
    if (!writable(info.absolutePath(), true))
        throw rtl::DatabaseError(QStringLiteral("The database %1 is in a read-only folder").arg(database));
    if (engineReadOnly || !writable(database, false))
        throw rtl::DatabaseError(QStringLiteral("The database %1 is read-only").arg(database));
    for (const char* suffix : {"-wal", "-shm"}) {
        const QString companion = database + QLatin1String(suffix);
        if (QFileInfo::exists(companion) && !writable(companion, false))
            throw rtl::DatabaseError(QStringLiteral("The database file %1 is read-only").arg(companion));
    }
}

} // namespace data
