#include "core/AtomicFileWriter.h"

#include "core/DescriptorWriting.h"
#include "core/FileErrorText.h"
#include "core/FileIdentityCopy.h"
#include "core/FileNameBytes.h"
#include "core/InPlaceRewrite.h"

#include <QDir>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

// Every name here goes to the system as its bytes (FileNameBytes), so that a file whose
// name is not UTF-8 is saved under that very name.
namespace {
using FileErrorText::systemError;
using FileErrorText::shown;
using FileErrorText::cannotWrite;

// The complete new file could not take the target's name.
FileError cannotRename(const QString &target, const QString &why)
{
    return FileError(QStringLiteral("cannot rename the written file to %1: %2").arg(shown(target), why));
}

std::optional<struct stat> statusOf(const QString &path, bool followLinks = true)
{
    struct stat status;
    const QByteArray name = FileNameBytes(path);
    if ((followLinks ? ::stat(name.constData(), &status) : ::lstat(name.constData(), &status)) != 0)
        return std::nullopt;
    return status;
}

bool mayWrite(const QString &path, int access)
{
    return ::access(FileNameBytes(path).constData(), access) == 0;
}

// The file a save replaces: path, or the file its chain of links ends at (which need not
// exist yet), so that a link stays a link to the new file.
QString replacedFile(const QString &path)
{
    QString file = AbsoluteFileName(path);
    for (int depth = 0; depth < 128; ++depth) {
        const std::optional<struct stat> status = statusOf(file, false);
        if (!status || !S_ISLNK(status->st_mode))
            break;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(FileNameBytes(file).constData(), target.data(),
                                          size_t(target.size()));
        if (length <= 0 || length >= target.size())
            break;
        target.truncate(length);
        const QString next = FileNameOfBytes(target);
        file = QDir::cleanPath(QDir::isAbsolutePath(next) ? next
                                                          : FolderOfFileName(file) + u'/' + next);
    }
    return file;
}

// The longest name a folder entry may have, in bytes.
constexpr qsizetype LongestName = NAME_MAX;

// A name beside path for the new file: the name, shortened by whole characters when
// need be, a dot and six random letters.
QString nameBeside(const QString &path)
{
    static constexpr char Letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString stem = LastPartOfFileName(path);
    while (!stem.isEmpty() && FileNameBytes(stem).size() + 7 > LongestName) {
        stem.chop(1);
        if (!stem.isEmpty() && stem.back().isHighSurrogate())
            stem.chop(1);
    }
    const QString folder = FolderOfFileName(path);
    QString name = (folder == u"/" ? folder : folder + u'/') + stem + u'.';
    for (int k = 0; k < 6; ++k)
        name += QLatin1Char(Letters[QRandomGenerator::global()->bounded(62)]);
    return name;
}

// Tries names beside path until one is free: make(name) is 0 when it took the name,
// or -1 with errno set; EEXIST means another try.
template <typename Make>
bool takeNameBeside(const QString &path, QString &name, Make make)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = nameBeside(path);
        if (make(FileNameBytes(name)) == 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    name.clear();
    return false;
}

// The new content's file until it takes the target's name: at first a file without a
// name in the folder (so that nothing is left behind should the program be killed),
// where the file system has such files, and a name beside the target otherwise.
struct NewFile
{
    Descriptor descriptor{-1};
    QString name; // empty while it has none
    ~NewFile()
    {
        if (!name.isEmpty())
            ::unlink(FileNameBytes(name).constData());
    }
};

// Opens the new file beside path; false with errno set when the folder takes none.
bool openNewFile(const QString &path, NewFile &file)
{
    const QByteArray folder = FileNameBytes(FolderOfFileName(path));
    file.descriptor.fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (file.descriptor.fd >= 0)
        return true;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != ENOENT && errno != EINVAL)
        return false;
    return takeNameBeside(path, file.name, [&](const QByteArray &name) {
        // A new file's permissions, as the umask makes them.
        file.descriptor.fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        return file.descriptor.fd >= 0 ? 0 : -1;
    });
}

// Gives the file without a name a name beside path, so that it can be renamed over it.
bool nameNewFile(const QString &path, NewFile &file)
{
    if (!file.name.isEmpty())
        return true;
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(file.descriptor.fd);
    return takeNameBeside(path, file.name, [&](const QByteArray &name) {
        return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW);
    });
}

// Gives the new file the old one's permissions, and its set-user-ID, set-group-ID and
// sticky bits. A file system that has none to give (FAT, some network and FUSE file
// systems) refuses the call, which leaves the new file as that file system makes every
// file: no failed save.
Result<void> keepPermissions(int fd, mode_t mode, const QString &target)
{
    if (::fchmod(fd, mode & (S_ISUID | S_ISGID | S_ISVTX | 0777)) == 0)
        return {};
    const int error = errno;
    if (error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS)
        return {};
    return FileError(QStringLiteral("cannot give the new %1 the old file's permissions: %2")
                         .arg(shown(target), systemError(error)));
}

// The file a save replaces, as far as the new one must be given what it was.
struct OldFile
{
    QString path; // links followed
    mode_t mode = 0; // permissions with the set-user-ID, set-group-ID and sticky bits
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
Result<Replaced> keepWhatTheFileWas(int fd, const OldFile &old, const QString &target)
{
    if (old.ownership) {
        const Result<OwnershipGiven> given = GiveOwnership(fd, *old.ownership, target);
        if (!given)
            return given.error();
        if (*given == OwnershipGiven::Refused && old.writable)
            return Replaced::OwnerNotKept;
    }
    if (Result<void> kept = keepPermissions(fd, old.mode, target); !kept)
        return kept.error();
    if (Result<void> kept = CopyExtendedAttributes(old.path, fd, target); !kept)
        return kept.error();
    return Replaced::Done;
}

// Writes bytes to a new file beside replaced, the file at the end of the target's links,
// and renames it over replaced once it is complete and on the disk; the new file gets
// what the old one was when there is one. Reasons name target, the file the user asked
// for. On any failure the new file is gone and replaced untouched.
Result<Replaced> writeThroughNewFile(const QString &replaced, const QString &target,
                                     const QList<QByteArrayView> &bytes, qint64 failAfterBytes,
                                     const OldFile *old)
{
    NewFile file;
    if (!openNewFile(replaced, file)) {
        return FileError(QStringLiteral("cannot write to the folder %1: %2")
                             .arg(shown(FolderOfFileName(AbsoluteFileName(target))),
                                  systemError(errno)));
    }
    const int fd = file.descriptor.fd;
    if (QString why; !WriteAllParts(fd, bytes, failAfterBytes, why))
        return cannotWrite(target, why);
    if (old) {
        const Result<Replaced> kept = keepWhatTheFileWas(fd, *old, target);
        if (!kept || *kept == Replaced::OwnerNotKept)
            return kept;
    }
    // Some file systems report a write that cannot be kept (a full disk, an I/O error)
    // only here.
    if (!SyncToDisk(fd))
        return cannotWrite(target, systemError(errno));
    if (!nameNewFile(replaced, file))
        return cannotRename(target, systemError(errno));
    if (!file.descriptor.close())
        return cannotWrite(target, systemError(errno));
    if (std::rename(FileNameBytes(file.name).constData(), FileNameBytes(replaced).constData()) != 0)
        return cannotRename(target, systemError(errno));
    file.name.clear(); // it is the target now
    return Replaced::Done;
}

// A FIFO, a device or a socket is never replaced by a regular file, nor written into.
Result<void> refuseSpecialFile(const QString &path)
{
    const std::optional<struct stat> status = statusOf(path);
    if (status && !S_ISREG(status->st_mode) && !S_ISDIR(status->st_mode))
        return FileError(QStringLiteral("%1 is not a regular file").arg(shown(path)));
    return {};
}

// Replaces an existing regular file. A new file renamed over it is given what the old
// one was; when it could not be (the owner or group is not the user's to give), or when
// the folder takes no new file but the file itself may be written, the content is
// replaced in place instead, so that the file stays its owner's. A file the user may not
// write to is replaced all the same, as its owner may replace it by deleting it: the
// file itself, its permissions included, is never touched until the rename.
Result<void> replaceExistingFile(const QString &path, const struct stat &status,
                                 const QList<QByteArrayView> &bytes, qint64 failAfterBytes)
{
    OldFile old;
    old.path = replacedFile(path);
    old.mode = status.st_mode;
    old.ownership = OwnershipOf(old.path);
    const QString folder = FolderOfFileName(old.path);
    old.writable = mayWrite(old.path, W_OK);
    const bool folderTakesFiles = mayWrite(folder, W_OK | X_OK);
    if (old.writable
        && (!folderTakesFiles || (old.ownership && !MayGiveOwnership(*old.ownership))))
        return RewriteFileInPlace(old.path, bytes,
                                  folderTakesFiles ? folder : QDir::tempPath(), failAfterBytes);
    const Result<Replaced> replaced = writeThroughNewFile(old.path, path, bytes, failAfterBytes, &old);
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
    const QString folder = FolderOfFileName(AbsoluteFileName(path));
    const std::optional<struct stat> folderStatus = statusOf(folder);
    if (!folderStatus || !S_ISDIR(folderStatus->st_mode)) {
        return FileError(folderStatus
                             ? QStringLiteral("%1 is not a folder").arg(shown(folder))
                             : QStringLiteral("the folder %1 does not exist").arg(shown(folder)));
    }
    const std::optional<struct stat> status = statusOf(path);
    if (status && S_ISDIR(status->st_mode))
        return FileError(QStringLiteral("%1 is a folder, not a file").arg(shown(path)));
    if (status)
        return replaceExistingFile(path, *status, bytes, failAfterBytes);
    const Result<Replaced> written =
        writeThroughNewFile(replacedFile(path), path, bytes, failAfterBytes, nullptr);
    if (!written)
        return written.error();
    return {};
}
