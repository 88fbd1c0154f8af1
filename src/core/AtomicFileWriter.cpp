#include "core/AtomicFileWriter.h"

#include "core/FileErrorText.h"
#include "core/FileIdentityCopy.h"
#include "core/InPlaceRewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <optional>
#include <utility>
#include <cstdio>
#include <cstring>
#ifdef Q_OS_UNIX
#include <climits>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
using FileErrorText::systemError;
using FileErrorText::shown;
using FileErrorText::cannotWrite;
constexpr qint64 ChunkBytes = 64 * 1024;




// The complete new file could not take the target's name.
FileError cannotRename(const QString &target, const QString &why)
{
    return FileError(QStringLiteral("cannot rename the written file to %1: %2").arg(shown(target), why));
}

Result<void> writeAll(QSaveFile &file, const QList<QByteArrayView> &parts, qint64 failAfterBytes,
                      const QString &target)
{
    qint64 written = 0; // of all the parts
    for (const QByteArrayView bytes : parts) {
        qint64 offset = 0; // in this part
        while (offset < bytes.size()) {
            qint64 size = qMin(ChunkBytes, bytes.size() - offset);
            if (failAfterBytes >= 0 && written + size > failAfterBytes) {
                size = failAfterBytes - written;
                if (size > 0 && file.write(bytes.data() + offset, size) == size)
                    written += size;
                file.flush();
                return cannotWrite(target, QStringLiteral("write error after %1 bytes (injected)")
                                               .arg(written));
            }
            // A short write is not yet an error: the next call tells why the disk took no
            // more (a full disk, a quota), which the short one leaves unsaid.
            const qint64 done = file.write(bytes.data() + offset, size);
            if (done <= 0) {
                if (file.error() != QFileDevice::NoError)
                    return cannotWrite(target, file.errorString());
                return cannotWrite(target,
                                   QStringLiteral("the disk took no more bytes after %1").arg(written));
            }
            written += done;
            offset += done;
        }
    }
    return {};
}

// Puts the data on the disk before it replaces the old file. Some file systems report
// a write that cannot be kept (a full disk, an I/O error) only here, and QSaveFile
// ignores the result of its own sync.
Result<void> syncToDisk(QSaveFile &file, const QString &target)
{
    if (!file.flush())
        return cannotWrite(target, file.errorString());
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != ENOTSUP)
        return cannotWrite(target, systemError(errno));
#endif
    return {};
}

// Gives the new file the old one's permissions, and its set-user-ID, set-group-ID and
// sticky bits (specialBits), which QFile::Permissions cannot hold. A file system that
// has none to give (FAT, some network and FUSE file systems) refuses the call, which
// leaves the new file as that file system makes every file: no failed save.
Result<void> keepPermissions(QSaveFile &file, QFile::Permissions permissions,
                             unsigned specialBits, const QString &target)
{
#ifdef Q_OS_UNIX
    mode_t mode = mode_t(specialBits) & (S_ISUID | S_ISGID | S_ISVTX);
    const std::pair<QFile::Permission, mode_t> bits[] = {
        {QFile::ReadOwner, S_IRUSR}, {QFile::WriteOwner, S_IWUSR}, {QFile::ExeOwner, S_IXUSR},
        {QFile::ReadGroup, S_IRGRP}, {QFile::WriteGroup, S_IWGRP}, {QFile::ExeGroup, S_IXGRP},
        {QFile::ReadOther, S_IROTH}, {QFile::WriteOther, S_IWOTH}, {QFile::ExeOther, S_IXOTH},
    };
    for (const auto &[permission, bit] : bits)
        if (permissions.testFlag(permission))
            mode |= bit;
    if (::fchmod(file.handle(), mode) == 0)
        return {};
    const int error = errno;
    if (error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS)
        return {};
    return FileError(QStringLiteral("cannot give the new %1 the old file's permissions: %2")
                         .arg(shown(target), systemError(error)));
#else
    Q_UNUSED(specialBits);
    if (file.setPermissions(permissions))
        return {};
    return FileError(QStringLiteral("cannot give the new %1 the old file's permissions: %2")
                         .arg(shown(target), file.errorString()));
#endif
}

// The file a save replaces, as far as the new one must be given what it was.
struct OldFile
{
    QString path; // links followed
    QFile::Permissions permissions;
    unsigned specialBits = 0; // set-user-ID, set-group-ID, sticky
    std::optional<FileOwnership> ownership;
    // The user may write into it, so that its content can be replaced in place when a
    // new file cannot be given its owner.
    bool writable = false;
};

enum class Replaced { Done, OwnerNotKept };

// Gives the new file what the old one was: owner and group first (a change of owner
// clears the set-user-ID bits), then permissions, then extended attributes, ACLs among
// them. OwnerNotKept when the owner or group cannot be given and the old file can be
// rewritten in place instead; a file that cannot is replaced all the same, as before.
Result<Replaced> keepWhatTheFileWas(QSaveFile &file, const OldFile &old, const QString &target)
{
    if (old.ownership) {
        const Result<OwnershipGiven> given = GiveOwnership(file.handle(), *old.ownership, target);
        if (!given)
            return given.error();
        if (*given == OwnershipGiven::Refused && old.writable)
            return Replaced::OwnerNotKept;
    }
    if (Result<void> kept = keepPermissions(file, old.permissions, old.specialBits, target); !kept)
        return kept.error();
    if (Result<void> kept = CopyExtendedAttributes(old.path, file.handle(), target); !kept)
        return kept.error();
    return Replaced::Done;
}

// Writes bytes to a file at path through a temporary file beside it, renamed over path
// when complete; the new file gets what the old one was when there is one. Reasons name
// target, the file the user asked for (path may be a name beside it).
Result<Replaced> writeThroughSaveFile(const QString &path, const QString &target,
                                      const QList<QByteArrayView> &bytes, qint64 failAfterBytes,
                                      const OldFile *old)
{
    QSaveFile file(path);
    // Unbuffered, so that every write reaches the disk here and a failing one is seen
    // with its reason rather than in a later flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // What fails here is making the temporary file in the folder.
        return FileError(QStringLiteral("cannot write to the folder %1: %2")
                             .arg(shown(QFileInfo(target).absolutePath()), file.errorString()));
    }
    // An uncommitted QSaveFile removes its temporary file when destroyed.
    if (Result<void> written = writeAll(file, bytes, failAfterBytes, target); !written) {
        file.cancelWriting();
        return written.error();
    }
    if (old) {
        const Result<Replaced> kept = keepWhatTheFileWas(file, *old, target);
        if (!kept || *kept == Replaced::OwnerNotKept) {
            file.cancelWriting();
            return kept;
        }
    }
    if (Result<void> synced = syncToDisk(file, target); !synced) {
        file.cancelWriting();
        return synced.error();
    }
    if (!file.commit())
        return cannotRename(target, file.errorString());
    return Replaced::Done;
}

#ifdef Q_OS_UNIX
constexpr qsizetype LongestName = NAME_MAX;
#else
constexpr qsizetype LongestName = 255;
#endif
// QSaveFile's temporary file is its target's name and a suffix of this many bytes.
constexpr qsizetype SaveFileSuffixBytes = 7;

// Whether QSaveFile can make its temporary file beside a file of this name.
bool fitsSaveFileSuffix(const QString &path)
{
    return QFile::encodeName(QFileInfo(path).fileName()).size() + SaveFileSuffixBytes
           <= LongestName;
}

// A name beside path that no file has yet: the name, shortened by whole characters when
// need be, a dot and six random letters, short enough for QSaveFile's own suffix.
QString unusedNameBeside(const QString &path)
{
    static constexpr char Letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const QFileInfo info(path);
    QString stem = info.fileName();
    while (!stem.isEmpty()
           && QFile::encodeName(stem).size() + 7 + SaveFileSuffixBytes > LongestName) {
        stem.chop(1);
        if (!stem.isEmpty() && stem.back().isHighSurrogate())
            stem.chop(1);
    }
    const QString folder = info.absolutePath() + u'/';
    for (;;) {
        QString name = folder + stem + u'.';
        for (int k = 0; k < 6; ++k)
            name += QLatin1Char(Letters[QRandomGenerator::global()->bounded(62)]);
        if (!QFileInfo::exists(name))
            return name;
    }
}

// The file a save replaces: path, or the file its chain of links ends at (which need not
// exist yet), so that a link stays a link to the new file.
QString replacedFile(const QString &path)
{
    QFileInfo file(path);
    for (int depth = 0; depth < 128 && file.isSymLink(); ++depth)
        file.setFile(file.symLinkTarget());
    return file.absoluteFilePath();
}

// A FIFO, a device or a socket is never replaced by a regular file, nor written into.
Result<void> refuseSpecialFile(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) == 0 && !S_ISREG(status.st_mode)
        && !S_ISDIR(status.st_mode))
        return FileError(QStringLiteral("%1 is not a regular file").arg(shown(path)));
#else
    Q_UNUSED(path);
#endif
    return {};
}

// QSaveFile refuses a file the user may not write to, although replacing it by a rename
// needs only the folder's permission, as the owner may delete it; and it cannot make its
// temporary file beside a name within a few bytes of the longest. Such a file is written
// complete under a shorter new name beside it, given what the old file was, and renamed
// over it; the file itself, its permissions included, is never touched until the rename.
Result<Replaced> replaceThroughNameBeside(const QString &path, const OldFile *old,
                                          const QList<QByteArrayView> &bytes,
                                          qint64 failAfterBytes)
{
    const QString fresh = unusedNameBeside(path);
    const Result<Replaced> written = writeThroughSaveFile(fresh, path, bytes, failAfterBytes, old);
    if (!written || *written == Replaced::OwnerNotKept)
        return written;
    if (std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path).constData())
        != 0) {
        const FileError error = cannotRename(path, systemError(errno));
        QFile::remove(fresh);
        return error;
    }
    return Replaced::Done;
}

#ifdef Q_OS_UNIX
bool mayWrite(const QString &path, int access)
{
    return ::access(QFile::encodeName(path).constData(), access) == 0;
}
#endif

// Replaces an existing regular file. A new file renamed over it is given what the old
// one was; when it could not be (the owner or group is not the user's to give), or when
// the folder takes no new file but the file itself may be written, the content is
// replaced in place instead, so that the file stays its owner's.
Result<void> replaceExistingFile(const QString &path, const QList<QByteArrayView> &bytes,
                                 qint64 failAfterBytes)
{
    const QFileInfo target(path);
    OldFile old;
    old.path = replacedFile(path);
    // QSaveFile copies the permissions too, but with the "User" flags, which describe the
    // running user rather than the file, mapped onto the owner's bits: keep only the bits
    // the file has.
    old.permissions =
        target.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    old.ownership = OwnershipOf(old.path);
#ifdef Q_OS_UNIX
    struct stat status;
    if (::stat(QFile::encodeName(old.path).constData(), &status) == 0)
        old.specialBits = unsigned(status.st_mode & (S_ISUID | S_ISGID | S_ISVTX));
#endif
    const QString folder = QFileInfo(old.path).absolutePath();
#ifdef Q_OS_UNIX
    old.writable = mayWrite(old.path, W_OK);
    const bool folderTakesFiles = mayWrite(folder, W_OK | X_OK);
#else
    const bool folderTakesFiles = true;
#endif
    if (old.writable
        && (!folderTakesFiles || (old.ownership && !MayGiveOwnership(*old.ownership))))
        return RewriteFileInPlace(old.path, bytes,
                                  folderTakesFiles ? folder : QDir::tempPath(), failAfterBytes);
    const Result<Replaced> replaced =
        target.isWritable() && fitsSaveFileSuffix(old.path)
            ? writeThroughSaveFile(path, path, bytes, failAfterBytes, &old)
            : replaceThroughNameBeside(old.path, &old, bytes, failAfterBytes);
    if (!replaced)
        return replaced.error();
    if (*replaced == Replaced::OwnerNotKept)
        return RewriteFileInPlace(old.path, bytes, folder, failAfterBytes);
    return {};
}
} // namespace

Result<void> WriteFileAtomically(const QString &path, QByteArrayView bytes,
                                 qint64 failAfterBytes)
{
    return WriteFileAtomically(path, QList<QByteArrayView>{bytes}, failAfterBytes);
}

Result<void> WriteFileAtomically(const QString &path, const QList<QByteArrayView> &bytes,
                                 qint64 failAfterBytes)
{
    if (Result<void> special = refuseSpecialFile(path); !special)
        return special;
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir()) {
        return FileError(folder.exists()
                             ? QStringLiteral("%1 is not a folder").arg(shown(folder.filePath()))
                             : QStringLiteral("the folder %1 does not exist").arg(shown(folder.filePath())));
    }
    if (target.isDir())
        return FileError(QStringLiteral("%1 is a folder, not a file").arg(shown(path)));
    if (target.exists() && target.isFile())
        return replaceExistingFile(path, bytes, failAfterBytes);
    const Result<Replaced> written =
        fitsSaveFileSuffix(replacedFile(path))
            ? writeThroughSaveFile(path, path, bytes, failAfterBytes, nullptr)
            : replaceThroughNameBeside(replacedFile(path), nullptr, bytes, failAfterBytes);
    if (!written)
        return written.error();
    return {};
}
