#include "core/FileIdentityCopy.h"

#include "core/FileErrorText.h"
#include "core/FileNameBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <vector>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/xattr.h>
#endif

namespace {
using FileErrorText::systemError;
using FileErrorText::shown;

#ifdef Q_OS_LINUX
// The names of the attributes of the file at path, each ended by a NUL; false with errno
// set when they cannot be listed.
bool listAttributes(const QByteArray &path, std::vector<char> &names)
{
    // The list may grow between the call that sizes it and the one that reads it.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const ssize_t size = ::listxattr(path.constData(), nullptr, 0);
        if (size < 0)
            return false;
        names.resize(size_t(size));
        if (size == 0)
            return true;
        const ssize_t got = ::listxattr(path.constData(), names.data(), names.size());
        if (got >= 0) {
            names.resize(size_t(got));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
    errno = ERANGE;
    return false;
}

// The value of one attribute; false with errno set when it cannot be read.
bool attributeValue(const QByteArray &path, const char *name, std::vector<char> &value)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        const ssize_t size = ::getxattr(path.constData(), name, nullptr, 0);
        if (size < 0)
            return false;
        value.resize(size_t(size));
        if (size == 0)
            return true;
        const ssize_t got = ::getxattr(path.constData(), name, value.data(), value.size());
        if (got >= 0) {
            value.resize(size_t(got));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
    errno = ERANGE;
    return false;
}

bool unsupported(int error)
{
    return error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS;
}
#endif
} // namespace

std::optional<FileOwnership> OwnershipOf(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat status;
    if (::stat(FileNameBytes(path).constData(), &status) != 0)
        return std::nullopt;
    return FileOwnership{unsigned(status.st_uid), unsigned(status.st_gid)};
#else
    Q_UNUSED(path);
    return std::nullopt;
#endif
}

bool MayGiveOwnership(const FileOwnership &ownership)
{
#ifdef Q_OS_UNIX
    if (::geteuid() == 0)
        return true;
    if (ownership.owner != unsigned(::geteuid()))
        return false;
    if (ownership.group == unsigned(::getegid()))
        return true;
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(size_t(qMax(count, 0)));
    if (count > 0 && ::getgroups(count, groups.data()) >= 0) {
        for (gid_t group : groups)
            if (unsigned(group) == ownership.group)
                return true;
    }
    return false;
#else
    Q_UNUSED(ownership);
    return true;
#endif
}

Result<OwnershipGiven> GiveOwnership(int fd, const FileOwnership &ownership,
                                     const QString &target)
{
#ifdef Q_OS_UNIX
    struct stat status;
    if (::fstat(fd, &status) == 0 && unsigned(status.st_uid) == ownership.owner
        && unsigned(status.st_gid) == ownership.group)
        return OwnershipGiven::Kept;
    if (::fchown(fd, uid_t(ownership.owner), gid_t(ownership.group)) == 0)
        return OwnershipGiven::Kept;
    const int error = errno;
    if (error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS)
        return OwnershipGiven::Kept;
    // EINVAL: an owner this system (a user namespace) cannot name.
    if (error == EPERM || error == EINVAL) {
        ::fchown(fd, uid_t(-1), gid_t(ownership.group)); // the group alone, when allowed
        return OwnershipGiven::Refused;
    }
    return FileError(QStringLiteral("cannot give the new %1 the old file's owner and group: %2")
                         .arg(shown(target), systemError(error)));
#else
    Q_UNUSED(fd);
    Q_UNUSED(ownership);
    Q_UNUSED(target);
    return OwnershipGiven::Kept;
#endif
}

Result<void> CopyExtendedAttributes(const QString &from, int fd, const QString &target)
{
#ifdef Q_OS_LINUX
    const QByteArray path = FileNameBytes(from);
    std::vector<char> names;
    if (!listAttributes(path, names)) {
        if (unsupported(errno))
            return {};
        return FileError(QStringLiteral("cannot read the extended attributes of %1: %2")
                             .arg(shown(target), systemError(errno)));
    }
    std::vector<char> value;
    for (size_t at = 0; at < names.size(); at += std::strlen(names.data() + at) + 1) {
        const char *name = names.data() + at;
        if (!attributeValue(path, name, value)) {
            // Removed since the list was made, or one this user may list but not read.
            if (errno == ENODATA || errno == EACCES || errno == EPERM || unsupported(errno))
                continue;
            return FileError(QStringLiteral("cannot read the extended attribute %1 of %2: %3")
                                 .arg(QString::fromLocal8Bit(name), shown(target),
                                      systemError(errno)));
        }
        if (::fsetxattr(fd, name, value.data(), value.size(), 0) == 0)
            continue;
        const int error = errno;
        if (error == EPERM || error == EACCES || unsupported(error))
            continue;
        return FileError(QStringLiteral("cannot give the new %1 the old file's extended "
                                        "attribute %2: %3")
                             .arg(shown(target), QString::fromLocal8Bit(name),
                                  systemError(error)));
    }
#else
    Q_UNUSED(from);
    Q_UNUSED(fd);
    Q_UNUSED(target);
#endif
    return {};
}
