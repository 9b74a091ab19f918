#include "platform/rtl/Errors.h"

#include <cerrno>

namespace rtl {

InOutError InOutError::fromErrno(int err)
{
    switch (err) {
    case EACCES:
    case EPERM:
    case EROFS:
        return InOutError(QStringLiteral("File access denied"), err);
    case ENOSPC:
    case EDQUOT:
        return InOutError(QStringLiteral("Disk full"), err);
    default:
        return InOutError(QStringLiteral("I/O error %1").arg(err), err);
    }
}

} // namespace rtl
