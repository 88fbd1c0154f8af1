#include "workbook/ZipDirectoryCount.h"

namespace {

// The classic end record is 22 bytes and may be followed by a comment of up to 65535.
constexpr qint64 EndRecordBytes = 22;
constexpr qint64 MaxCommentBytes = 0xFFFF;
constexpr qint64 Zip64LocatorBytes = 20;
constexpr qint64 Zip64EndRecordBytes = 56;

quint64 LittleEndian(const QByteArray &bytes, qint64 at, int width)
{
    quint64 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return value;
}

// The count of the ZIP64 end record that the locator just before the classic record
// names, or nothing when there is no such pair.
std::optional<quint64> Zip64EntryCount(qint64 endRecordOffset, const ZipByteReader &read)
{
    if (endRecordOffset < Zip64LocatorBytes)
        return std::nullopt;
    const QByteArray locator = read(endRecordOffset - Zip64LocatorBytes, Zip64LocatorBytes);
    if (locator.size() != Zip64LocatorBytes || !locator.startsWith("PK\x06\x07"))
        return std::nullopt;
    const quint64 recordOffset = LittleEndian(locator, 8, 8);
    if (recordOffset > quint64(endRecordOffset))
        return std::nullopt;
    const QByteArray record = read(qint64(recordOffset), Zip64EndRecordBytes);
    if (record.size() != Zip64EndRecordBytes || !record.startsWith("PK\x06\x06"))
        return std::nullopt;
    // Entries on this disk and in all: a forger may set either.
    return qMax(LittleEndian(record, 24, 8), LittleEndian(record, 32, 8));
}

} // namespace

std::optional<quint64> ZipDirectoryEntryCount(qint64 archiveSize, const ZipByteReader &read)
{
    if (archiveSize < EndRecordBytes)
        return std::nullopt;
    const qint64 tailOffset = qMax<qint64>(0, archiveSize - EndRecordBytes - MaxCommentBytes);
    const QByteArray tail = read(tailOffset, archiveSize - tailOffset);
    // The record nearest the end is the archive's own; an earlier signature may sit in
    // the comment or in compressed data.
    for (qint64 at = tail.size() - EndRecordBytes; at >= 0; --at) {
        if (tail.at(at) != 'P' || tail.mid(at, 4) != QByteArrayLiteral("PK\x05\x06"))
            continue;
        // Entries on this disk and in all: a forger may set either.
        const quint64 entries = qMax(LittleEndian(tail, at + 8, 2), LittleEndian(tail, at + 10, 2));
        const quint64 directoryOffset = LittleEndian(tail, at + 16, 4);
        if (entries == 0xFFFF || directoryOffset == 0xFFFFFFFF) {
            if (std::optional<quint64> zip64 = Zip64EntryCount(tailOffset + at, read))
                return zip64;
        }
        return entries;
    }
    return std::nullopt;
}
