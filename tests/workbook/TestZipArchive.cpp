#include "TestZipArchive.h"

#include <QtEndian>

#include <zlib.h>

namespace {

void PutLe16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void PutLe32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

struct PackedData
{
    QByteArray bytes;
    quint32 crc = 0;
    qint64 size = 0;
};

// Deflates (raw, as zip stores it) or stores the entry's content a piece at a time.
PackedData Pack(const TestZipEntry &entry)
{
    PackedData packed;
    packed.crc = quint32(crc32(0, nullptr, 0));
    z_stream stream{};
    if (entry.deflate)
        deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);

    auto feed = [&](const QByteArray &piece, bool last) {
        packed.crc = quint32(
            crc32(packed.crc, reinterpret_cast<const Bytef *>(piece.constData()), uInt(piece.size())));
        packed.size += piece.size();
        if (!entry.deflate) {
            packed.bytes += piece;
            return;
        }
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(piece.constData()));
        stream.avail_in = uInt(piece.size());
        char buffer[65536];
        int result = Z_OK;
        do {
            stream.next_out = reinterpret_cast<Bytef *>(buffer);
            stream.avail_out = sizeof buffer;
            result = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            packed.bytes.append(buffer, qsizetype(sizeof buffer - stream.avail_out));
        } while (stream.avail_out == 0 || (last && result != Z_STREAM_END));
    };

    feed(entry.prefix, false);
    // Repeated units go in batches, so a part of hundreds of megabytes costs little memory.
    const qint64 unitsPerBatch = entry.unit.isEmpty() ? 0 : qMax<qint64>(1, 1048576 / entry.unit.size());
    qint64 left = entry.repeat;
    QByteArray batch;
    while (left > 0) {
        const qint64 units = qMin(left, unitsPerBatch);
        if (batch.size() != units * entry.unit.size())
            batch = entry.unit.repeated(units);
        feed(batch, false);
        left -= units;
    }
    feed(entry.suffix, true);
    if (entry.deflate)
        deflateEnd(&stream);
    if (entry.corruptChecksum)
        packed.crc ^= 0x5a5a5a5au;
    return packed;
}

void PutHeaderFields(QByteArray &out, const TestZipEntry &entry, const PackedData &packed)
{
    PutLe16(out, 20);                                // version needed
    PutLe16(out, entry.markEncrypted ? 0x0001 : 0);  // flags
    PutLe16(out, entry.deflate ? 8 : 0);             // method
    PutLe16(out, 0);                                 // time
    PutLe16(out, 0x21);                              // date: 1980-01-01
    PutLe32(out, packed.crc);
    PutLe32(out, quint32(packed.bytes.size()));
    PutLe32(out, quint32(entry.declaredSize >= 0 ? entry.declaredSize : packed.size));
    PutLe16(out, quint16(entry.name.toUtf8().size()));
    PutLe16(out, 0); // extra field length
}

} // namespace

QByteArray BuildTestZip(const QList<TestZipEntry> &entries)
{
    QByteArray out;
    QByteArray directory;
    for (const TestZipEntry &entry : entries) {
        const PackedData packed = Pack(entry);
        const QByteArray name = entry.name.toUtf8();
        const quint32 offset = quint32(out.size());

        PutLe32(out, 0x04034b50);
        PutHeaderFields(out, entry, packed);
        out += name;
        out += packed.bytes;

        PutLe32(directory, 0x02014b50);
        PutLe16(directory, 20); // version made by
        PutHeaderFields(directory, entry, packed);
        PutLe16(directory, 0); // comment length
        PutLe16(directory, 0); // disk
        PutLe16(directory, 0); // internal attributes
        PutLe32(directory, 0); // external attributes
        PutLe32(directory, offset);
        directory += name;
    }
    const quint32 directoryOffset = quint32(out.size());
    out += directory;
    PutLe32(out, 0x06054b50);
    PutLe16(out, 0);
    PutLe16(out, 0);
    PutLe16(out, quint16(entries.size()));
    PutLe16(out, quint16(entries.size()));
    PutLe32(out, quint32(directory.size()));
    PutLe32(out, directoryOffset);
    PutLe16(out, 0);
    return out;
}
