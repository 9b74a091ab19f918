#pragma once

// Internal to the data layer: a database as files on disk - the lock that
// keeps it to one connection, whether the program may write it, and which
// file a name leads to.

#include <QByteArray>
#include <QString>

#include <optional>

namespace data {

// Which file a name leads to, compared to see one removed or replaced.
struct FileId {
    unsigned long long device = 0, inode = 0;
    bool operator==(const FileId&) const = default;

    static std::optional<FileId> of(const QString& path); // nothing when there is no file
};

// A lock on a file beside the database, which the system drops when the
// process ends, however it ends. The file goes when the lock is given back.
class DatabaseLock {
public:
    // Raises when another connection, in any process, holds it.
    explicit DatabaseLock(const QString& database);
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

private:
    QByteArray name_;
    int fd_ = -1;
};

// Raises when the program could not write the database, its folder or the
// log files beside it. `engineReadOnly`: the engine opened it read-only.
void checkWritable(const QString& database, bool engineReadOnly);

} // namespace data
