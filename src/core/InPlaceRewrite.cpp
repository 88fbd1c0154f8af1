#include "core/InPlaceRewrite.h"

#include "core/FileErrorText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {
using FileErrorText::systemError;
using FileErrorText::shown;
using FileErrorText::cannotWrite;

// An open descriptor, closed when it goes.
struct Descriptor
{
    int fd = -1;
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    // Closes now, for the error a close may still report.
    bool close()
    {
        const int closing = std::exchange(fd, -1);
        return ::close(closing) == 0;
    }
};

// Writes all parts from the descriptor's current offset; false with errno set when the
// disk takes no more. Stops with EIO once failAfterBytes have been written when that is
// not negative.
bool writeAll(int fd, const QList<QByteArrayView> &parts, qint64 failAfterBytes)
{
    qint64 written = 0;
    for (const QByteArrayView bytes : parts) {
        qint64 offset = 0;
        while (offset < bytes.size()) {
            qint64 size = bytes.size() - offset;
            const bool failing = failAfterBytes >= 0 && written + size > failAfterBytes;
            if (failing)
                size = failAfterBytes - written;
            const ssize_t done = size > 0 ? ::write(fd, bytes.data() + offset, size_t(size)) : 0;
            if (done < 0 && errno == EINTR)
                continue;
            if (done < 0)
                return false;
            if (failing && done == size) {
                errno = EIO;
                return false;
            }
            if (done == 0) {
                errno = ENOSPC; // a disk that takes nothing more and says nothing
                return false;
            }
            written += done;
            offset += done;
        }
    }
    return true;
}

bool syncToDisk(int fd)
{
    return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
}

// The copy's name in folder: the file's own name, shortened to leave room for the suffix
// the system fills in, so that the user knows it when a failure leaves it behind.
QByteArray copyTemplate(const QString &path, const QString &folder)
{
    QString stem = QFileInfo(path).fileName();
    while (!stem.isEmpty() && QFile::encodeName(stem).size() + 7 > NAME_MAX) {
        stem.chop(1);
        if (!stem.isEmpty() && stem.back().isHighSurrogate())
            stem.chop(1);
    }
    return QFile::encodeName(QDir(folder).absoluteFilePath(stem)) + ".XXXXXX";
}
} // namespace

Result<void> RewriteFileInPlace(const QString &path, const QList<QByteArrayView> &parts,
                                const QString &copyFolder, qint64 failAfterBytes)
{
    qint64 size = 0;
    for (const QByteArrayView bytes : parts)
        size += bytes.size();

    // The copy of the new content.
    QByteArray copyName = copyTemplate(path, copyFolder);
    Descriptor copy(::mkostemp(copyName.data(), O_CLOEXEC));
    if (copy.fd < 0) {
        return FileError(QStringLiteral("cannot write to the folder %1: %2")
                             .arg(shown(copyFolder), systemError(errno)));
    }
    const QString copyPath = QFile::decodeName(copyName);
    const auto dropCopy = [&](const FileError &error) {
        ::unlink(copyName.constData());
        return error;
    };
    if (!writeAll(copy.fd, parts, failAfterBytes)) {
        const QString why = failAfterBytes >= 0 && errno == EIO
                                ? QStringLiteral("write error after %1 bytes (injected)").arg(failAfterBytes)
                                : systemError(errno);
        return dropCopy(cannotWrite(path, why));
    }
    if (!syncToDisk(copy.fd) || !copy.close())
        return dropCopy(cannotWrite(path, systemError(errno)));

    // The file itself, checked to be the regular file it was: never a FIFO put there since.
    Descriptor file(::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.fd < 0)
        return dropCopy(cannotWrite(path, systemError(errno)));
    struct stat status;
    if (::fstat(file.fd, &status) != 0)
        return dropCopy(cannotWrite(path, systemError(errno)));
    if (!S_ISREG(status.st_mode))
        return dropCopy(FileError(QStringLiteral("%1 is not a regular file").arg(shown(path))));
    // Room for the new content, so that a full disk is found before a byte of the old
    // content is lost. A file system that cannot reserve it is written all the same.
    if (size > 0 && ::fallocate(file.fd, FALLOC_FL_KEEP_SIZE, 0, off_t(size)) != 0
        && errno != EOPNOTSUPP && errno != ENOSYS && errno != EINVAL)
        return dropCopy(cannotWrite(path, systemError(errno)));

    // From here on the old content is being overwritten: a failure keeps the copy.
    const auto keepCopy = [&](int error) {
        return FileError(QStringLiteral("cannot write %1 in place: %2; the complete new content "
                                        "is kept in %3")
                             .arg(shown(path), systemError(error), shown(copyPath)));
    };
    if (!writeAll(file.fd, parts, -1) || ::ftruncate(file.fd, off_t(size)) != 0
        || !syncToDisk(file.fd) || !file.close())
        return keepCopy(errno);
    ::unlink(copyName.constData());
    return {};
}
