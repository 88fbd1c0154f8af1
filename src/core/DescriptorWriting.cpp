#include "core/DescriptorWriting.h"

#include "core/FileErrorText.h"

#include <cerrno>
#include <unistd.h>
#include <utility>

Descriptor::~Descriptor()
{
    if (fd >= 0)
        ::close(fd);
}

bool Descriptor::close()
{
    const int closing = std::exchange(fd, -1);
    return ::close(closing) == 0;
}

bool WriteAllParts(int fd, const QList<QByteArrayView> &parts, qint64 failAfterBytes,
                   QString &why)
{
    constexpr qint64 ChunkBytes = 64 * 1024;
    qint64 written = 0; // of all the parts
    for (const QByteArrayView bytes : parts) {
        qint64 offset = 0; // in this part
        while (offset < bytes.size()) {
            qint64 size = qMin(ChunkBytes, bytes.size() - offset);
            if (failAfterBytes >= 0 && written + size > failAfterBytes) {
                size = failAfterBytes - written;
                if (size == 0) {
                    why = QStringLiteral("write error after %1 bytes (injected)").arg(written);
                    return false;
                }
            }
            const ssize_t done = ::write(fd, bytes.data() + offset, size_t(size));
            if (done < 0 && errno == EINTR)
                continue;
            if (done < 0) {
                why = FileErrorText::systemError(errno);
                return false;
            }
            // A short write is not yet an error: the next call tells why the disk took
            // no more (a full disk, a quota). A disk that takes nothing and says nothing
            // is reported as such.
            if (done == 0) {
                why = QStringLiteral("the disk took no more bytes after %1").arg(written);
                return false;
            }
            written += done;
            offset += done;
        }
    }
    return true;
}

bool SyncToDisk(int fd)
{
    return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
}
