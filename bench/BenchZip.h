#pragma once
// What the benchmarks of zipped formats share: the parts of a zip, unpacked with libzip,
// and zlib's deflate of one part, as the floors measure it.
#include <QByteArray>
#include <vector>
#include <zip.h>
#include <zlib.h>

// The parts of a zip held in memory, uncompressed; empty when it cannot be read.
inline std::vector<QByteArray> zipParts(const QByteArray &zipBytes)
{
    std::vector<QByteArray> parts;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(zipBytes.constData(), zip_uint64_t(zipBytes.size()), 0, &error);
    zip_t *zip = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    if (!zip) {
        if (source)
            zip_source_free(source);
        zip_error_fini(&error);
        return parts;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        zip_stat_t stat;
        zip_file_t *file = zip_fopen_index(zip, zip_uint64_t(i), 0);
        if (!file || zip_stat_index(zip, zip_uint64_t(i), 0, &stat) != 0) {
            if (file)
                zip_fclose(file);
            continue;
        }
        QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
        if (zip_fread(file, bytes.data(), stat.size) == zip_int64_t(stat.size))
            parts.push_back(bytes);
        zip_fclose(file);
    }
    zip_close(zip);
    zip_error_fini(&error);
    return parts;
}

// The bytes deflated by compress2 at the default level; empty when zlib fails.
inline QByteArray deflated(const QByteArray &bytes)
{
    uLongf size = compressBound(uLong(bytes.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(bytes.constData()),
                  uLong(bytes.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
        return {};
    out.resize(qsizetype(size));
    return out;
}
