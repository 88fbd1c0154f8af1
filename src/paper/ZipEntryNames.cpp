#include "paper/ZipEntryNames.h"

#include <QIODevice>

namespace {
constexpr qint64 EndRecordBytes = 22;        // without its comment
constexpr qint64 LongestComment = 0xFFFF;
constexpr qint64 EntryHeaderBytes = 46;      // a directory entry before its name
constexpr qint64 LongestDirectory = 4 << 20; // far more than any workbook or package needs
constexpr int MostEntries = 10000;

quint32 little(QByteArrayView bytes, qsizetype at, int width)
{
    quint32 value = 0;
    for (int k = width - 1; k >= 0; --k)
        value = (value << 8) | uchar(bytes[at + k]);
    return value;
}

QByteArray readAt(QIODevice &device, qint64 at, qint64 size)
{
    if (!device.seek(at))
        return {};
    return device.read(size);
}
} // namespace

QByteArrayList ZipEntryNames(QIODevice &device, qint64 start)
{
    if (device.isSequential())
        return {};
    const qint64 archiveBytes = device.size() - start;
    const qint64 tailBytes = qMin(archiveBytes, EndRecordBytes + LongestComment);
    if (tailBytes < EndRecordBytes)
        return {};
    const QByteArray tail = readAt(device, start + archiveBytes - tailBytes, tailBytes);
    // The end record is the last of its signature, with room for its fixed part.
    qsizetype end = tail.lastIndexOf("PK\x05\x06", tail.size() - EndRecordBytes);
    if (end < 0 || tail.size() - end < EndRecordBytes)
        return {};
    const qint64 directoryBytes = little(tail, end + 12, 4);
    const qint64 directoryAt = little(tail, end + 16, 4);
    if (directoryBytes > LongestDirectory || directoryAt + directoryBytes > archiveBytes)
        return {};
    const QByteArray directory = readAt(device, start + directoryAt, directoryBytes);

    QByteArrayList names;
    qsizetype at = 0;
    while (at + EntryHeaderBytes <= directory.size() && names.size() < MostEntries
           && QByteArrayView(directory).sliced(at).startsWith("PK\x01\x02")) {
        const qsizetype nameBytes = little(directory, at + 28, 2);
        const qsizetype extraBytes = little(directory, at + 30, 2);
        const qsizetype commentBytes = little(directory, at + 32, 2);
        if (at + EntryHeaderBytes + nameBytes > directory.size())
            break;
        names << directory.mid(at + EntryHeaderBytes, nameBytes);
        at += EntryHeaderBytes + nameBytes + extraBytes + commentBytes;
    }
    return names;
}
