#include "core/RegularFileReading.h"

#include "core/FileErrorText.h"
#include "core/FileNameBytes.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
using FileErrorText::shown;

#ifdef Q_OS_UNIX
// A descriptor of path, opened without blocking and checked to be a regular file, that
// then blocks again as a plain file's does; -1 with the reason otherwise.
int openRegular(const QString &path, QString &reason)
{
    const int fd = ::open(FileNameBytes(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = QStringLiteral("cannot open %1: %2")
                     .arg(shown(path), QString::fromLocal8Bit(std::strerror(errno)));
        return -1;
    }
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        reason = QStringLiteral("%1 is not a regular file").arg(shown(path));
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}
#endif
} // namespace

Result<void> OpenRegularFileForReading(QFile &file, const QString &path)
{
    file.close();
#ifdef Q_OS_UNIX
    QString reason;
    const int fd = openRegular(path, reason);
    if (fd < 0)
        return FileError(reason);
    file.setFileName(path);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return FileError(QStringLiteral("cannot open %1: %2").arg(shown(path), file.errorString()));
    }
    return {};
#else
    file.setFileName(path);
    if (!QFileInfo(path).isFile())
        return FileError(QStringLiteral("%1 is not a regular file").arg(shown(path)));
    if (!file.open(QIODevice::ReadOnly))
        return FileError(QStringLiteral("cannot open %1: %2").arg(shown(path), file.errorString()));
    return {};
#endif
}

Result<void> CheckRegularFile(const QString &path)
{
    QFile file;
    return OpenRegularFileForReading(file, path);
}

QByteArray FirstBytesOfRegularFile(const QString &path, qsizetype count)
{
    QFile file;
    return OpenRegularFileForReading(file, path) ? file.read(count) : QByteArray();
}
