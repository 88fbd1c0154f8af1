#include "workbook/XlsxPackage.h"

#include "workbook/XlsxErrorReasons.h"
#include "workbook/XlsxLimits.h"
#include "workbook/ZipDirectoryCount.h"

#include "core/FileNameBytes.h"
#include "core/RegularFileReading.h"

#include <QFile>

#include <zip.h>

namespace {

constexpr qint64 ChunkBytes = 64 * 1024;

// A file that starts like a zip but whose directory cannot be found was cut short;
// anything else was never a zip.
bool StartsLikeZip(const QByteArray &firstBytes)
{
    return firstBytes.startsWith(QByteArrayLiteral("PK\x03\x04"));
}

QByteArray FirstBytes(const QString &path)
{
    QFile file;
    if (!OpenRegularFileForReading(file, path))
        return {};
    return file.read(4);
}

// libzip reads the whole directory, as long as it claims to be, before it gives the count;
// a forged count is refused from the end record alone, before that.
Result<void> CheckAnnouncedEntries(qint64 archiveSize, const ZipByteReader &read)
{
    const std::optional<quint64> announced = ZipDirectoryEntryCount(archiveSize, read);
    if (announced && *announced > quint64(XlsxLimits::MaxZipEntries))
        return XlsxErrorReasons::directoryTooLarge(*announced, XlsxLimits::MaxZipEntries);
    return {};
}

Result<void> CheckAnnouncedEntries(const QString &path)
{
    QFile file;
    if (!OpenRegularFileForReading(file, path))
        return {}; // libzip's own open gives the reason
    return CheckAnnouncedEntries(file.size(), [&file](qint64 offset, qint64 length) {
        return file.seek(offset) ? file.read(length) : QByteArray();
    });
}

FileError OpenFailure(int code, const QByteArray &firstBytes)
{
    switch (code) {
    case ZIP_ER_NOZIP:
        return StartsLikeZip(firstBytes) ? XlsxErrorReasons::incomplete()
                                         : XlsxErrorReasons::notAWorkbook();
    case ZIP_ER_EOF:
        return XlsxErrorReasons::incomplete();
    case ZIP_ER_INCONS:
        return XlsxErrorReasons::badContainer();
    case ZIP_ER_MULTIDISK:
        return XlsxErrorReasons::notAWorkbook();
    default:
        return XlsxErrorReasons::cannotOpen();
    }
}

FileError PartFailure(int code, const QString &partName)
{
    switch (code) {
    case ZIP_ER_CRC:
        return XlsxErrorReasons::badChecksum(partName);
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
    case ZIP_ER_ENCRNOTSUPP:
        return XlsxErrorReasons::encrypted();
    case ZIP_ER_COMPNOTSUPP:
        return XlsxErrorReasons::unsupportedCompression(partName);
    default:
        return XlsxErrorReasons::unreadablePart(partName);
    }
}

} // namespace

XlsxPartStream::XlsxPartStream(zip_file *file, const QString &partName, qint64 maxBytes)
    : m_file(file), m_partName(partName), m_maxBytes(maxBytes)
{
}

XlsxPartStream::~XlsxPartStream()
{
    if (m_file)
        zip_fclose(m_file);
}

bool XlsxPartStream::readChunk(QByteArray &chunk)
{
    chunk.clear();
    if (m_atEnd || m_failed)
        return false;
    // One byte more than the cap allows is enough to know the cap was passed.
    const qint64 wanted = qMin(ChunkBytes, m_maxBytes - m_inflated + 1);
    chunk.resize(wanted);
    const zip_int64_t got = zip_fread(m_file, chunk.data(), zip_uint64_t(wanted));
    if (got < 0) {
        m_failed = true;
        m_error = PartFailure(zip_error_code_zip(zip_file_get_error(m_file)), m_partName);
        chunk.clear();
        return false;
    }
    chunk.resize(got);
    m_inflated += got;
    if (m_inflated > m_maxBytes) {
        m_failed = true;
        m_error = XlsxErrorReasons::partTooLarge(m_partName, m_maxBytes);
        chunk.clear();
        return false;
    }
    if (got == 0) {
        m_atEnd = true;
        return false;
    }
    return true;
}

XlsxPackage::~XlsxPackage()
{
    zip_discard(m_archive);
}

Result<std::unique_ptr<XlsxPackage>> XlsxPackage::open(const QString &path)
{
    // libzip opens the file by its path, and would wait on a FIFO.
    if (Result<void> regular = CheckRegularFile(path); !regular)
        return regular.error();
    if (Result<void> bounded = CheckAnnouncedEntries(path); !bounded)
        return bounded.error();
    int code = ZIP_ER_OK;
    zip *archive = zip_open(FileNameBytes(path).constData(), ZIP_RDONLY, &code);
    if (!archive)
        return OpenFailure(code, FirstBytes(path));
    return checkEntries(archive, {});
}

Result<std::unique_ptr<XlsxPackage>> XlsxPackage::openBytes(const QByteArray &bytes)
{
    const Result<void> bounded =
        CheckAnnouncedEntries(bytes.size(), [&bytes](qint64 offset, qint64 length) {
            return bytes.mid(offset, length);
        });
    if (!bounded)
        return bounded.error();
    zip_error_t sourceError;
    zip_error_init(&sourceError);
    zip_source_t *source =
        zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &sourceError);
    if (!source) {
        zip_error_fini(&sourceError);
        return XlsxErrorReasons::cannotOpen();
    }
    zip *archive = zip_open_from_source(source, ZIP_RDONLY, &sourceError);
    if (!archive) {
        // Still ours when the open failed.
        zip_source_free(source);
        const int code = zip_error_code_zip(&sourceError);
        zip_error_fini(&sourceError);
        return OpenFailure(code, bytes.left(4));
    }
    zip_error_fini(&sourceError);
    return checkEntries(archive, bytes);
}

Result<std::unique_ptr<XlsxPackage>> XlsxPackage::checkEntries(zip *archive,
                                                               const QByteArray &bytes)
{
    std::unique_ptr<XlsxPackage> package(new XlsxPackage(archive, bytes));
    const zip_int64_t entries = zip_get_num_entries(archive, 0);
    if (entries > XlsxLimits::MaxZipEntries)
        return XlsxErrorReasons::tooManyEntries(XlsxLimits::MaxZipEntries);
    // libzip takes an empty file for an empty archive; either way there is no workbook.
    if (entries <= 0)
        return XlsxErrorReasons::notAWorkbook();
    return package;
}

qint64 XlsxPackage::indexOf(const QString &partName) const
{
    // Part names compare without regard to case; most packages spell them exactly.
    const QByteArray name = partName.toUtf8();
    zip_int64_t index = zip_name_locate(m_archive, name.constData(), 0);
    if (index < 0)
        index = zip_name_locate(m_archive, name.constData(), ZIP_FL_NOCASE);
    return index;
}

bool XlsxPackage::contains(const QString &partName) const
{
    return indexOf(partName) >= 0;
}

Result<std::unique_ptr<XlsxPartStream>> XlsxPackage::openPart(const QString &partName,
                                                              qint64 maxBytes) const
{
    const qint64 index = indexOf(partName);
    if (index < 0)
        return XlsxErrorReasons::missingPart(partName);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(m_archive, zip_uint64_t(index), 0, &stat) != 0)
        return XlsxErrorReasons::unreadablePart(partName);
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
        return XlsxErrorReasons::encrypted();
    zip_file *file = zip_fopen_index(m_archive, zip_uint64_t(index), 0);
    if (!file)
        return PartFailure(zip_error_code_zip(zip_get_error(m_archive)), partName);
    return std::unique_ptr<XlsxPartStream>(new XlsxPartStream(file, partName, maxBytes));
}
