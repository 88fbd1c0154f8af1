#include "AtomicFileWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
constexpr qint64 ChunkBytes = 64 * 1024;

// QSaveFile refuses a target the user may not write to. Giving the owner write
// permission for the time of the save lets it replace a read-only file; the target's
// permissions are put back when the save fails.
class WritableForSave
{
public:
    explicit WritableForSave(const QString &path) : path_(path)
    {
        const QFileInfo info(path);
        if (!info.exists() || !info.isFile())
            return;
        // The "User" flags describe the running user and QFile maps them onto the owner's
        // bits when setting; keep only the bits the file really has.
        old_ = info.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
        if (!(old_ & QFile::WriteOwner))
            changed_ = QFile::setPermissions(path, old_ | QFile::WriteOwner);
    }
    void restore()
    {
        if (changed_)
            QFile::setPermissions(path_, old_);
    }

private:
    QString path_;
    QFile::Permissions old_;
    bool changed_ = false;
};

bool writeAll(QSaveFile &file, QByteArrayView bytes, qint64 failAfterBytes, QString &reason)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        qint64 size = qMin(ChunkBytes, bytes.size() - written);
        if (failAfterBytes >= 0 && written + size > failAfterBytes) {
            size = failAfterBytes - written;
            if (size > 0 && file.write(bytes.data() + written, size) == size)
                written += size;
            file.flush();
            reason = QStringLiteral("write error after %1 bytes (injected)").arg(written);
            return false;
        }
        if (file.write(bytes.data() + written, size) != size) {
            reason = file.errorString();
            return false;
        }
        written += size;
    }
    return true;
}
} // namespace

bool WriteFileAtomically(const QString &path, QByteArrayView bytes, QString &reason,
                         qint64 failAfterBytes)
{
    WritableForSave writable(path);
    QSaveFile file(path);
    bool done = file.open(QIODevice::WriteOnly);
    if (!done)
        reason = file.errorString();
    if (done && !writeAll(file, bytes, failAfterBytes, reason)) {
        file.cancelWriting();
        done = false;
    }
    if (done && !file.commit()) {
        reason = file.errorString();
        done = false;
    }
    if (!done) {
        writable.restore();
        reason = QStringLiteral("the file could not be written: %1").arg(reason);
    }
    return done; // an uncommitted QSaveFile removes its temporary file when destroyed
}
