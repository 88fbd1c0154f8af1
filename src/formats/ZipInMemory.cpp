#include "formats/ZipInMemory.h"

#include <zip.h>

#include <memory>

namespace {
struct SourceFree
{
    void operator()(zip_source_t *source) const { zip_source_free(source); }
};
using SourcePointer = std::unique_ptr<zip_source_t, SourceFree>;

// An archive that is still open when the build fails is discarded, never written.
struct ArchiveDiscard
{
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using ArchivePointer = std::unique_ptr<zip_t, ArchiveDiscard>;

FileError libzipError(const QString &what, zip_error_t *error)
{
    return FileError(QStringLiteral("%1: %2").arg(what, QString::fromUtf8(zip_error_strerror(error))));
}

FileError archiveError(const QString &what, zip_t *archive)
{
    return libzipError(what, zip_get_error(archive));
}

// The bytes libzip wrote into the buffer source when the archive was closed.
Result<QByteArray> readBack(zip_source_t *source)
{
    if (zip_source_open(source) < 0)
        return libzipError(QStringLiteral("the archive could not be read back"), zip_source_error(source));
    QByteArray bytes;
    if (zip_source_seek(source, 0, SEEK_END) == 0) {
        const zip_int64_t size = zip_source_tell(source);
        if (size >= 0 && zip_source_seek(source, 0, SEEK_SET) == 0) {
            bytes.resize(qsizetype(size));
            if (zip_source_read(source, bytes.data(), zip_uint64_t(size)) != size)
                bytes.clear();
        }
    }
    zip_source_close(source);
    if (bytes.isEmpty())
        return libzipError(QStringLiteral("the archive could not be read back"), zip_source_error(source));
    return bytes;
}
} // namespace

Result<QByteArray> ZipInMemory(const QList<ZipEntry> &entries)
{
    qint64 total = 0;
    for (const ZipEntry &entry : entries)
        total += entry.bytes.size();
    if (total > MaxZipContentBytes)
        return FileError(QStringLiteral("the package would hold %1 MiB, more than the %2 MiB it may")
                             .arg(total / (1024 * 1024))
                             .arg(MaxZipContentBytes / (1024 * 1024)));

    zip_error_t error;
    zip_error_init(&error);
    SourcePointer buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!buffer) {
        const FileError failure = libzipError(QStringLiteral("no memory for the archive"), &error);
        zip_error_fini(&error);
        return failure;
    }
    ArchivePointer archive(zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error));
    if (!archive) {
        const FileError failure = libzipError(QStringLiteral("the archive could not be started"), &error);
        zip_error_fini(&error);
        return failure;
    }
    zip_error_fini(&error);
    // The archive now owns one reference to the buffer; this one keeps it past zip_close,
    // which is where the finished archive is written into it.
    zip_source_keep(buffer.get());

    for (const ZipEntry &entry : entries) {
        // libzip reads the bytes only in zip_close; `entries` outlives that.
        zip_source_t *data = zip_source_buffer(archive.get(), entry.bytes.constData(),
                                               zip_uint64_t(entry.bytes.size()), 0);
        if (!data)
            return archiveError(QStringLiteral("the part %1 could not be added").arg(entry.name), archive.get());
        const QByteArray name = entry.name.toUtf8();
        const zip_int64_t index = zip_file_add(archive.get(), name.constData(), data, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(data);
            return archiveError(QStringLiteral("the part %1 could not be added").arg(entry.name), archive.get());
        }
        if (zip_set_file_compression(archive.get(), zip_uint64_t(index), ZIP_CM_DEFLATE, 9) < 0)
            return archiveError(QStringLiteral("the part %1 could not be compressed").arg(entry.name), archive.get());
    }

    if (zip_close(archive.get()) < 0)
        return archiveError(QStringLiteral("the archive could not be finished"), archive.get());
    archive.release(); // zip_close freed it
    return readBack(buffer.get());
}
