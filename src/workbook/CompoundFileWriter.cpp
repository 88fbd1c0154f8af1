#include "workbook/CompoundFileWriter.h"

#include <QtEndian>

namespace {
constexpr qsizetype SectorBytes = 512;
constexpr qsizetype IdsPerSector = SectorBytes / 4;
constexpr qsizetype HeaderDifatEntries = 109;
constexpr qsizetype DirectoryEntryBytes = 128;

constexpr quint32 FreeSector = 0xFFFFFFFF;
constexpr quint32 EndOfChain = 0xFFFFFFFE;
constexpr quint32 FatSector = 0xFFFFFFFD;
constexpr quint32 DifatSector = 0xFFFFFFFC;
constexpr quint32 NoStream = 0xFFFFFFFF;

void put16(QByteArray &bytes, qsizetype at, quint16 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

void put32(QByteArray &bytes, qsizetype at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

qsizetype sectorsFor(qsizetype bytes)
{
    return (bytes + SectorBytes - 1) / SectorBytes;
}

// Where everything goes: the stream from sector 0, then the directory, the FAT and the
// DIFAT sectors.
struct Layout
{
    qsizetype streamSectors = 0;
    qsizetype directorySector = 0;
    qsizetype fatSectors = 0;
    qsizetype difatSectors = 0;

    qsizetype firstFatSector() const { return directorySector + 1; }
    qsizetype firstDifatSector() const { return firstFatSector() + fatSectors; }
    qsizetype totalSectors() const { return firstDifatSector() + difatSectors; }
};

Layout layoutFor(qsizetype streamBytes)
{
    Layout layout;
    layout.streamSectors = sectorsFor(streamBytes);
    layout.directorySector = layout.streamSectors;
    // The FAT must also map its own sectors and the DIFAT's: grow both until they do.
    for (;;) {
        const qsizetype fat = (layout.totalSectors() + IdsPerSector - 1) / IdsPerSector;
        const qsizetype beyondHeader = qMax<qsizetype>(0, fat - HeaderDifatEntries);
        const qsizetype difat = (beyondHeader + IdsPerSector - 2) / (IdsPerSector - 1);
        if (fat == layout.fatSectors && difat == layout.difatSectors)
            return layout;
        layout.fatSectors = fat;
        layout.difatSectors = difat;
    }
}

QByteArray header(const Layout &layout)
{
    QByteArray bytes(SectorBytes, '\0');
    const char signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    bytes.replace(0, 8, QByteArrayView(signature, 8));
    put16(bytes, 0x18, 0x003E); // minor version
    put16(bytes, 0x1A, 0x0003); // major version 3
    put16(bytes, 0x1C, 0xFFFE); // little-endian
    put16(bytes, 0x1E, 9);      // 2^9 = 512-byte sectors
    put16(bytes, 0x20, 6);      // 2^6 = 64-byte mini sectors
    put32(bytes, 0x2C, quint32(layout.fatSectors));
    put32(bytes, 0x30, quint32(layout.directorySector));
    put32(bytes, 0x38, quint32(CompoundFileMiniStreamCutoff));
    put32(bytes, 0x3C, EndOfChain); // no mini FAT
    put32(bytes, 0x40, 0);
    put32(bytes, 0x44, layout.difatSectors ? quint32(layout.firstDifatSector()) : EndOfChain);
    put32(bytes, 0x48, quint32(layout.difatSectors));
    for (qsizetype i = 0; i < HeaderDifatEntries; ++i) {
        const quint32 id = i < layout.fatSectors ? quint32(layout.firstFatSector() + i) : FreeSector;
        put32(bytes, 0x4C + 4 * i, id);
    }
    return bytes;
}

QByteArray directoryEntry(const QString &name, quint8 type, quint32 child, quint32 start,
                          quint32 size)
{
    QByteArray entry(DirectoryEntryBytes, '\0');
    if (type != 0) {
        Q_ASSERT(name.size() < 32);
        qToLittleEndian<quint16>(name.utf16(), name.size(), entry.data());
        put16(entry, 0x40, quint16((name.size() + 1) * 2)); // with the terminating NUL
        entry[0x42] = char(type);
        entry[0x43] = 1; // black
    }
    put32(entry, 0x44, NoStream); // left sibling
    put32(entry, 0x48, NoStream); // right sibling
    put32(entry, 0x4C, child);
    put32(entry, 0x74, start);
    put32(entry, 0x78, size);
    return entry;
}

QByteArray directorySector(const QString &streamName, quint32 streamBytes)
{
    constexpr quint8 RootType = 5;
    constexpr quint8 StreamType = 2;
    QByteArray sector;
    sector += directoryEntry(QStringLiteral("Root Entry"), RootType, 1, EndOfChain, 0);
    sector += directoryEntry(streamName, StreamType, NoStream, 0, streamBytes);
    sector += directoryEntry({}, 0, NoStream, 0, 0);
    sector += directoryEntry({}, 0, NoStream, 0, 0);
    return sector;
}

QByteArray fatSectors(const Layout &layout)
{
    QByteArray bytes(layout.fatSectors * SectorBytes, '\xFF'); // FreeSector
    qsizetype sector = 0;
    auto mark = [&](quint32 value) { put32(bytes, 4 * sector++, value); };
    for (qsizetype i = 0; i < layout.streamSectors; ++i)
        mark(i + 1 < layout.streamSectors ? quint32(sector + 1) : EndOfChain);
    mark(EndOfChain); // the directory's one sector
    for (qsizetype i = 0; i < layout.fatSectors; ++i)
        mark(FatSector);
    for (qsizetype i = 0; i < layout.difatSectors; ++i)
        mark(DifatSector);
    return bytes;
}

// The FAT sectors the header cannot list, 127 to a sector; each sector's last entry
// points to the next DIFAT sector.
QByteArray difatSectors(const Layout &layout)
{
    QByteArray bytes(layout.difatSectors * SectorBytes, '\xFF');
    qsizetype fat = HeaderDifatEntries;
    for (qsizetype d = 0; d < layout.difatSectors; ++d) {
        const qsizetype base = d * SectorBytes;
        for (qsizetype i = 0; i < IdsPerSector - 1 && fat < layout.fatSectors; ++i, ++fat)
            put32(bytes, base + 4 * i, quint32(layout.firstFatSector() + fat));
        const bool last = d + 1 == layout.difatSectors;
        put32(bytes, base + SectorBytes - 4,
              last ? EndOfChain : quint32(layout.firstDifatSector() + d + 1));
    }
    return bytes;
}
} // namespace

QByteArray BuildCompoundFile(const QString &streamName, const QByteArray &stream)
{
    if (stream.size() < CompoundFileMiniStreamCutoff || quint64(stream.size()) > 0xFFFFFFFFu
        || streamName.isEmpty() || streamName.size() >= 32)
        return {};
    const Layout layout = layoutFor(stream.size());

    QByteArray file;
    file.reserve((1 + layout.totalSectors()) * SectorBytes);
    file += header(layout);
    file += stream;
    file += QByteArray(layout.streamSectors * SectorBytes - stream.size(), '\0');
    file += directorySector(streamName, quint32(stream.size()));
    file += fatSectors(layout);
    file += difatSectors(layout);
    return file;
}
