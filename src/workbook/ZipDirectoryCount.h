#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <functional>
#include <optional>

// Reads a function's bytes: length bytes at offset of the archive, fewer at its end.
using ZipByteReader = std::function<QByteArray(qint64 offset, qint64 length)>;

// The number of entries a zip's end-of-central-directory record announces (the ZIP64
// record's count when the classic one says 0xFFFF), read from the archive's last 64 KiB
// without touching the directory itself. Nothing when no end record is found: that is
// left for the zip library to word.
std::optional<quint64> ZipDirectoryEntryCount(qint64 archiveSize, const ZipByteReader &read);
