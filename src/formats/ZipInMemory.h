#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>

// One file of an archive: its path inside the archive (UTF-8, '/' between folders) and
// its bytes.
struct ZipEntry
{
    QString name;
    QByteArray bytes;
};

// The archive holds at most this much, counting every entry's bytes before compression,
// so that a package stays well inside what a QByteArray and the platforms' upload forms
// take.
inline constexpr qint64 MaxZipContentBytes = 256 * 1024 * 1024;

// The entries, in their order and deflated, as the bytes of a zip archive built in memory
// with libzip; or why libzip could not build it.
Result<QByteArray> ZipInMemory(const QList<ZipEntry> &entries);
