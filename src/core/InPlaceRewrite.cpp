#include "core/InPlaceRewrite.h"

#include "core/DescriptorWriting.h"
#include "core/FileErrorText.h"
#include "core/FileNameBytes.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using FileErrorText::systemError;
using FileErrorText::shown;
using FileErrorText::cannotWrite;

// The copy's name in folder: the file's own name, shortened to leave room for the suffix
// the system fills in, so that the user knows it when a failure leaves it behind.
QByteArray copyTemplate(const QString &path, const QString &folder)
{
    QString stem = LastPartOfFileName(path);
    while (!stem.isEmpty() && FileNameBytes(stem).size() + 7 > NAME_MAX) {
        stem.chop(1);
        if (!stem.isEmpty() && stem.back().isHighSurrogate())
            stem.chop(1);
    }
    return FileNameBytes(AbsoluteFileName(folder) + u'/' + stem) + ".XXXXXX";
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
    const QString copyPath = FileNameOfBytes(copyName);
    const auto dropCopy = [&](const FileError &error) {
        ::unlink(copyName.constData());
        return error;
    };
    if (QString why; !WriteAllParts(copy.fd, parts, failAfterBytes, why))
        return dropCopy(cannotWrite(path, why));
    if (!SyncToDisk(copy.fd) || !copy.close())
        return dropCopy(cannotWrite(path, systemError(errno)));

    // The file itself, checked to be the regular file it was: never a FIFO put there since.
    Descriptor file(::open(FileNameBytes(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
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
    const auto keepCopy = [&](const QString &why) {
        return FileError(QStringLiteral("cannot write %1 in place: %2; the complete new content "
                                        "is kept in %3")
                             .arg(shown(path), why, shown(copyPath)));
    };
    if (QString why; !WriteAllParts(file.fd, parts, -1, why))
        return keepCopy(why);
    if (::ftruncate(file.fd, off_t(size)) != 0 || !SyncToDisk(file.fd) || !file.close())
        return keepCopy(systemError(errno));
    ::unlink(copyName.constData());
    return {};
}
